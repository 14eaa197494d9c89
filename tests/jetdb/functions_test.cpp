// Access's built-in functions, `&`, `+` on texts and Like patterns, each
// checked against what Access answers, through SELECT expr FROM a one-row
// table.
#include <string>

#include "test_db.h"

namespace jetdb::test {
namespace {

class Functions : public DbTest {
 protected:
  void SetUp() override {
    DbTest::SetUp();
    ok("CREATE TABLE [T] ([S] TEXT(20), [N] DOUBLE, [L] LONG, [D] DATETIME, [E] TEXT(5), [Z] LONG)");
    ok("INSERT INTO [T] ([S], [N], [L], [D]) VALUES ('Abc', 2.5, -7, #12/25/2020 14:30:05#)");
  }
  // The value with its kind: 'text', number, #date#, Null; or the error.
  std::string eval(const std::string& expr) {
    auto q = db_->query("SELECT " + expr + " FROM [T]");
    if (!q) return "error " + db_->lastError().state + "/" + std::to_string(db_->lastError().native);
    if (!q->next())
      return q->error() ? "error " + q->error()->state + "/" + std::to_string(q->error()->native) : "no row";
    const Value& v = q->value(0);
    switch (v.kind) {
      case Value::Kind::Null:
        return "Null";
      case Value::Kind::Text:
        return "'" + v.text + "'";
      case Value::Kind::DateTime:
        return "#" + v.asText() + "#";
      default:
        return v.asText();
    }
  }
};

TEST_F(Functions, AnswerAsAccessDoes) {
  const struct {
    const char* expr;
    const char* expected;
  } kCases[] = {
      // Choices and Null tests: Null as a condition takes the false branch.
      {"IIf(N > 2, 'grand', 'petit')", "'grand'"},
      {"IIf(Z > 2, 'grand', 'petit')", "'petit'"},
      {"iif(D > #1/1/2020#, D, Null)", "#2020-12-25 14:30:05#"},
      {"Switch(N < 1, 'a', N < 3, 'b', True, 'c')", "'b'"},
      {"Switch(N > 9, 'a')", "Null"},
      {"IIf(N > 2, 'a', Null) + 'c'", "'ac'"},
      {"Choose(2.9, 'a', 'b', 'c')", "'b'"},  // the index is truncated
      {"Choose(4, 'a', 'b', 'c')", "Null"},
      {"IsNull(E)", "-1"},
      {"IsNull(S)", "0"},
      {"Nz(E)", "''"},  // Nz(Null) without a default is a zero-length text
      {"Nz(Z, 0) + 1", "1"},
      {"Nz(S, 'x')", "'Abc'"},
      {"IsNumeric('2,5')", "-1"},
      {"IsNumeric('abc')", "0"},
      {"IsNumeric(E)", "0"},
      {"IsDate('31/12/2020')", "-1"},
      {"IsDate('31/02/2020')", "0"},
      {"IsDate(D)", "-1"},
      // Texts: positions and lengths count characters, not bytes.
      {"Len('été')", "3"},
      {"Len(E)", "Null"},
      {"Len(L)", "2"},  // the length of the number's text
      {"Left(S, 2)", "'Ab'"},
      {"Left(E, 2)", "Null"},
      {"Left(S, 9)", "'Abc'"},
      {"Right('déjà', 2)", "'jà'"},
      {"Mid('abcdef', 2, 3)", "'bcd'"},
      {"Mid('abcdef', 4)", "'def'"},
      {"Mid('abc', 5)", "''"},
      {"InStr(S, 'B')", "2"},        // text compare: case is ignored
      {"InStr(1, S, 'B', 0)", "0"},  // binary compare
      {"InStr(3, 'abcb', 'b')", "4"},
      {"InStr('Crème', 'E')", "5"},  // accents are kept
      {"InStr('un Œuf', 'oeu')", "4"},
      {"InStr('oeuf', 'Œ')", "1"},
      {"InStrRev('Œuf et oeuf', 'œu')", "8"},
      {"Replace('un Œuf, deux oeufs', 'oeuf', 'X')", "'un X, deux Xs'"},
      {"Replace('été', 'e', '-')", "'été'"},
      {"StrComp('Été', 'éTÉ')", "0"},
      {"StrComp('Ete', 'Été')", "-1"},
      {"StrComp('Straße', 'STRASSE')", "0"},
      {"InStr(S, E)", "Null"},
      {"InStrRev('abcabc', 'bc')", "5"},
      {"InStrRev('abcabc', 'bc', 4)", "2"},
      {"LCase('ÉTÉ Œuf')", "'été œuf'"},
      {"UCase(S)", "'ABC'"},
      {"'[' & Trim('  a b  ') & '|' & LTrim('  a ') & '|' & RTrim(' a  ') & ']'", "'[a b|a | a]'"},
      {"Replace('aXbxc', 'x', '-')", "'a-b-c'"},
      {"Replace('aXbxc', 'x', '-', 3)", "'b-c'"},  // the result starts at `start`
      {"Replace('xxx', 'x', 'y', 1, 2)", "'yyx'"},
      {"Space(3) & '|'", "'   |'"},
      {"String(3, 'xy')", "'xxx'"},
      {"String(2, 65)", "'AA'"},
      {"StrComp('a', 'B')", "-1"},
      {"StrComp('a', 'A')", "0"},
      {"StrComp('a', 'A', 0)", "1"},
      {"StrReverse('été!')", "'!été'"},
      {"Asc('A')", "65"},
      {"Asc('€')", "128"},  // Windows-1252 codes
      {"Chr(233) & Chr(128)", "'é€'"},
      {"Val(' 1 2 3abc')", "123"},  // spaces anywhere are skipped
      {"Val('-2.5e2x')", "-250"},
      {"Val('&H1F')", "31"},
      {"Val('abc')", "0"},
      {"Str(5)", "' 5'"},  // room for the sign of a positive number
      {"Str(-2.5)", "'-2.5'"},
      {"Str(0.5)", "' .5'"},
      {"Str(Z)", "Null"},
      // Concatenation: & reads Null as "", + propagates it.
      {"S & E", "'Abc'"},
      {"E & Z", "Null"},
      {"S & 1 & N", "'Abc12,5'"},
      {"S + 'x'", "'Abcx'"},
      {"E + 'x'", "Null"},
      {"L + 1", "-6"},
      {"'a' & D", "'a25/12/2020 14:30:05'"},
      // Conversions: CInt and CLng round half to even.
      {"CStr(N)", "'2,5'"},
      {"CStr(D)", "'25/12/2020 14:30:05'"},
      {"CLng(2.5)", "2"},
      {"CInt(3.5)", "4"},
      {"CInt('-2,5')", "-2"},
      {"CDbl('1,25')", "1.25"},
      {"CSng(0.1) = 0.1", "0"},  // a Single is not the Double it came from
      {"CCur(1.23456)", "1.2346"},
      {"CBool(5)", "-1"},
      {"CBool('Faux')", "0"},
      {"CDate('25/12/2020 10:00')", "#2020-12-25 10:00:00#"},
      {"CDate(36526.5)", "#2000-01-01 12:00:00#"},  // a serial counts days from 30/12/1899
      {"CDbl(#1/1/2000 6:00#)", "36526.25"},
      // Arithmetic: Int rounds toward -infinity, Fix toward 0, Round half to even.
      {"Abs(L)", "7"},
      {"Sgn(L) & Sgn(0) & Sgn(N)", "'-101'"},
      {"Int(-2.5)", "-3"},
      {"Fix(-2.5)", "-2"},
      {"Int(L)", "-7"},
      {"Round(2.5)", "2"},
      {"Round(3.5)", "4"},
      {"Round(-2.567, 2)", "-2.57"},
      {"Sqr(16)", "4"},
      {"Round(Exp(1), 4)", "2.7183"},
      {"Round(Log(100) / Log(10), 6)", "2"},
      {"Round(Sin(0) + Cos(0) + Atn(1) * 4, 6)", "4.141593"},
      {"Abs(Z)", "Null"},
      // Dates.
      {"Year(D) & '-' & Month(D) & '-' & Day(D)", "'2020-12-25'"},
      {"Hour(D) & ':' & Minute(D) & ':' & Second(D)", "'14:30:5'"},
      {"Month(Z)", "Null"},
      {"Weekday(D)", "6"},  // Friday, counted from Sunday = 1
      {"Weekday(D, 2)", "5"},
      {"DateAdd('m', 1, #1/31/2020#)", "#2020-02-29 00:00:00#"},  // clamped to the month's end
      {"DateAdd('yyyy', -1, #2/29/2020#)", "#2019-02-28 00:00:00#"},
      {"DateAdd('q', 1, D)", "#2021-03-25 14:30:05#"},
      {"DateAdd('h', 10, D)", "#2020-12-26 00:30:05#"},
      {"DateAdd('ww', 1, D)", "#2021-01-01 14:30:05#"},
      {"DateAdd('d', 1, Null)", "Null"},
      // DateDiff counts calendar boundaries crossed, not whole periods.
      {"DateDiff('yyyy', #12/31/2020#, #1/1/2021#)", "1"},
      {"DateDiff('m', #1/31/2020#, #2/1/2020#)", "1"},
      {"DateDiff('q', #3/31/2020#, #4/1/2020#)", "1"},
      {"DateDiff('d', #1/1/2020 23:59#, #1/2/2020 0:01#)", "1"},
      {"DateDiff('h', #1/1/2020 10:59#, #1/1/2020 11:00#)", "1"},
      {"DateDiff('n', #1/1/2020 10:00:59#, #1/1/2020 10:01:00#)", "1"},
      {"DateDiff('s', D, DateAdd('s', -3, D))", "-3"},
      {"DateDiff('ww', #1/2/2021#, #1/3/2021#)", "1"},  // Saturday to Sunday crosses a week
      {"DateDiff('w', #1/2/2021#, #1/15/2021#)", "1"},
      {"DateDiff('yyyy', E, D)", "Null"},
      {"DatePart('q', D) & DatePart('y', #2/1/2020#) & DatePart('ww', #1/10/2021#)", "'4323'"},
      {"DatePart('w', D)", "6"},
      {"DateSerial(2020, 14, 0)", "#2021-01-31 00:00:00#"},  // months and days roll over
      {"DateSerial(20, 3, -1)", "#2020-02-28 00:00:00#"},    // 20 is 2020
      {"DateSerial(99, 1, 1)", "#1999-01-01 00:00:00#"},
      {"TimeSerial(14, 90, 0)", "#1899-12-30 15:30:00#"},
      {"DateValue('25/12/2020 10:00')", "#2020-12-25 00:00:00#"},
      {"Year(36526)", "2000"},  // a number read as a date is a serial
      {"Int(CDbl(Now())) = CDbl(Date())", "-1"},
      {"Year(Time())", "1899"},
      // Format, French conventions.
      {"Format(1234.5, 'Currency')", "'1 234,50 €'"},
      {"Format(-1234.5, 'currency')", "'-1 234,50 €'"},
      {"Format(1234.5, 'Fixed')", "'1234,50'"},
      {"Format(1234567.891, 'Standard')", "'1 234 567,89'"},
      {"Format(0.125, 'Percent')", "'12,50%'"},
      {"Format(1234.5, 'Scientific')", "'1,23E+03'"},
      {"Format(1234.5, 'General Number')", "'1234,5'"},
      {"Format(0, 'Yes/No') & Format(-1, 'True/False') & Format(1, 'On/Off')", "'NonVraiActivé'"},
      {"Format(D, 'General Date')", "'25/12/2020 14:30:05'"},
      {"Format(D, 'Long Date')", "'vendredi 25 décembre 2020'"},
      {"Format(D, 'Medium Date')", "'25-déc-20'"},
      {"Format(D, 'Short Date')", "'25/12/2020'"},
      {"Format(D, 'Long Time')", "'14:30:05'"},
      {"Format(D, 'Medium Time')", "'02:30 PM'"},
      {"Format(D, 'Short Time')", "'14:30'"},
      {"Format(D, 'dddd d mmmm yy')", "'vendredi 25 décembre 20'"},
      {"Format(D, 'ddd dd/mm/yyyy h:nn')", "'ven 25/12/2020 14:30'"},
      {"Format(D, 'hh:mm:ss AM/PM')", "'02:30:05 PM'"},  // m after an hour is minutes
      {"Format(#1/5/2021#, 'd/m/yy \\q q')", "'5/1/21 q 1'"},
      {"Format(1234.567, '#,##0.00')", "'1 234,57'"},
      {"Format(2.5, '0')", "'3'"},  // Format rounds half away from zero
      {"Format(5, '000')", "'005'"},
      {"Format(0.5, '#.##')", "',5'"},
      {"Format(1.5, '0.0#')", "'1,5'"},
      {"Format(0.256, '0.0%')", "'25,6%'"},
      {"Format(-5, '0;(0)')", "'(5)'"},
      {"Format(0, '0;(0);\"zéro\"')", "'zéro'"},
      {"Format(12345, '00-00-0')", "'12-34-5'"},
      {"Format(N)", "'2,5'"},
      {"Format(Z, '0')", "Null"},
      {"Format('abc', '>')", "'ABC'"},
      // Like: * ? # [list] [!list] [a-z], ignoring case but not accents.
      {"S Like 'a*'", "-1"},
      {"S Like '?B?'", "-1"},
      {"'Réf 12' Like 'RÉF ##'", "-1"},
      {"'Réf 12' Like 'ref ##'", "0"},
      {"'Réf 1x' Like 'réf ##'", "0"},
      {"S Like '[a-c]bc'", "-1"},
      {"S Like '[!a]*'", "0"},
      {"'a*b' Like 'a[*]b'", "-1"},
      {"E Like '*'", "Null"},
  };
  for (const auto& c : kCases) EXPECT_EQ(eval(c.expr), c.expected) << c.expr;
}

// Run-time faults are Access's errors, in French; none reaches the user in
// SQLite's words, and no input crashes a function.
TEST_F(Functions, RefuseWhatAccessRefuses) {
  const struct {
    const char* expr;
    const char* expected;
  } kErrors[] = {
      {"Foo(S)", "error 42000/3085"},
      {"Left(S)", "error 42000/3075"},
      {"Mid(S, 1, 2, 3)", "error 42000/3075"},
      {"Switch(N > 1)", "error 42000/3075"},
      {"Now(1)", "error 42000/3075"},
      {"Sqr(-1)", "error 22023/5"},
      {"Log(0)", "error 22023/5"},
      {"CInt(32767.5)", "error 22003/6"},  // rounds to 32768
      {"CInt(-32768.5)", "-32768"},
      {"CLng(2147483648)", "error 22003/6"},
      {"Exp(1000)", "error 22003/6"},
      {"Left(S, -1)", "error 22023/5"},
      {"Mid(S, 0)", "error 22023/5"},
      {"Mid(S, 1, -1)", "error 22023/5"},
      {"InStr(0, S, 'a')", "error 22023/5"},
      {"CLng(E)", "error 22004/94"},
      {"CDate('abc')", "error 22018/13"},
      {"Year('abc')", "error 22018/13"},
      {"Sqr('x')", "error 22018/13"},
      {"DateAdd('z', 1, D)", "error 22023/5"},
      {"DateAdd('yyyy', 9000, D)", "error 22023/5"},
      {"Chr(256)", "error 22023/5"},
      {"Asc('')", "error 22023/5"},
      {"Space(2147483647)", "error HY001/14"},
      {"String(100000000, 'a')", "error HY001/14"},
  };
  for (const auto& c : kErrors) EXPECT_EQ(eval(c.expr), c.expected) << c.expr;
  auto q = db_->query("SELECT Left(S, -1) FROM [T]");
  ASSERT_TRUE(q);
  EXPECT_FALSE(q->next());
  ASSERT_TRUE(q->error());
  EXPECT_EQ(q->error()->message, "Argument ou appel de procédure incorrect.");

  const char* kExtremes[] = {
      "Left(S, 1E300)",
      "Mid(S, 2147483647, 2147483647)",
      "DateSerial(2147483647, 2147483647, 1)",
      "TimeSerial(2147483647, 2147483647, 2147483647)",
      "DateAdd('s', -1E300, D)",
      "Round(N, 400)",
      "Format(1E308, 'Standard')",
      "Format(-1E-300, '0.00')",
      "Format(D, 'dddddddddd yyyyyyy mmmmmm')",
      "CDate(1E300)",
      "Val('1e99999')",
      "Str(-1E308)",
      "Replace(S, '', 'x')",
      "InStrRev(S, 'c', 99)",
      "String(-5, 'a')",
      "Weekday(D, 9)",
      "DatePart('ww', D, 7)",
      "Format(1E20, '0.00E+00')",
  };
  for (const char* expr : kExtremes) {
    auto extreme = db_->query(std::string("SELECT ") + expr + " FROM [T]");
    if (!extreme) continue;  // refused at compilation: nothing ran
    while (extreme->next()) {
    }
    if (extreme->error()) {
      EXPECT_NE(extreme->error()->native, 3146) << expr << ": " << extreme->error()->message;
      EXPECT_EQ(extreme->error()->message.find("error"), std::string::npos) << expr;
    }
  }
}

// Functions write as well as read, and a failing one undoes its statement.
TEST_F(Functions, WorkInWritesAndFilters) {
  ok("UPDATE [T] SET [E] = Left(UCase([S]), 2) & '!', [Z] = DateDiff('d', #12/24/2020#, [D])");
  EXPECT_EQ(eval("E & Z"), "'AB!1'");
  EXPECT_FALSE(db_->execute("UPDATE [T] SET [Z] = 5, [E] = Left([S], [L])"));
  EXPECT_EQ(db_->lastError().native, 5);
  EXPECT_EQ(eval("Z"), "1");
  EXPECT_EQ(one("SELECT COUNT(*) FROM [T] WHERE Year([D]) = 2020 AND InStr([S], 'c') > 0").integer, 1);
  EXPECT_EQ(one("SELECT COUNT(*) FROM [T] WHERE IsNull([S])").integer, 0);
}

}  // namespace
}  // namespace jetdb::test
