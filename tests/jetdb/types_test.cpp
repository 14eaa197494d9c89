// Values checked on every write as Access checks them, and read back with
// the representation the API promises.
#include "test_db.h"

namespace jetdb::test {
namespace {

class Types : public DbTest {
 protected:
  void SetUp() override {
    DbTest::SetUp();
    ok("CREATE TABLE [T] ([ID] COUNTER CONSTRAINT PrimaryKey PRIMARY KEY, [TXT] TEXT(5), [M] MEMO, [B] BIT, "
       "[BY] BYTE, [S] SMALLINT, [L] INTEGER, [R] REAL, [D] DOUBLE, [C] CURRENCY, [DT] DATETIME, [Y] YESNO)");
  }
  std::string setState(const std::string& column, const std::string& literal) {
    if (db_->execute("INSERT INTO [T] ([" + column + "]) VALUES (" + literal + ")")) return "ok";
    return db_->lastError().state;
  }
};

TEST_F(Types, IntegerRangesFollowTheJetSizes) {
  EXPECT_EQ(setState("BY", "255"), "ok");
  EXPECT_EQ(setState("BY", "256"), "22003");
  EXPECT_EQ(setState("BY", "-1"), "22003");
  EXPECT_EQ(setState("S", "-32768"), "ok");
  EXPECT_EQ(setState("S", "32768"), "22003");
  EXPECT_EQ(setState("L", "2147483647"), "ok");
  EXPECT_EQ(setState("L", "2147483648"), "22003");
  EXPECT_EQ(setState("L", "-2147483649"), "22003");
  EXPECT_EQ(setState("L", "'12'"), "ok");
  EXPECT_EQ(setState("L", "'douze'"), "22018");
  EXPECT_EQ(setState("R", "1e39"), "22003");
  EXPECT_EQ(setState("D", "'x'"), "22018");
  EXPECT_EQ(count("T"), 4);
}

TEST_F(Types, TextSizeCountsCharactersNotBytes) {
  EXPECT_EQ(setState("TXT", "'éàçüö'"), "ok");
  EXPECT_EQ(setState("TXT", "'abcdef'"), "22001");
  EXPECT_EQ(db_->lastError().native, 3163);
  EXPECT_EQ(setState("M", "'" + std::string(5000, 'x') + "'"), "ok");
  EXPECT_EQ(setState("TXT", "12345"), "ok");  // numbers become text
  EXPECT_EQ(setState("DT", "'pas une date'"), "22018");
  // Access spells a Memo LONGCHAR too.
  ok("ALTER TABLE [T] ADD COLUMN [LC] LONGCHAR");
  EXPECT_EQ((*db_->columns("T")).back().type, JetType::Memo);
  EXPECT_EQ(setState("LC", "'" + std::string(5000, 'x') + "'"), "ok");
}

TEST_F(Types, BitIsMinusOneOrZeroAndNeverNull) {
  ok("INSERT INTO [T] ([B]) VALUES (True)");
  ok("INSERT INTO [T] ([B]) VALUES (5)");
  ok("INSERT INTO [T] ([B], [Y]) VALUES (Null, False)");
  auto q = db_->query("SELECT [B], [Y] FROM [T] ORDER BY [ID]");
  ASSERT_TRUE(q);
  std::vector<std::int64_t> bits;
  while (q->next()) {
    EXPECT_EQ(q->value(1).kind, Value::Kind::Integer);
    bits.push_back(q->value(0).integer);
  }
  EXPECT_EQ(bits, (std::vector<std::int64_t>{-1, -1, 0}));
  EXPECT_EQ(one("SELECT COUNT(*) FROM [T] WHERE [B] = True").integer, 2);
  EXPECT_EQ(one("SELECT COUNT(*) FROM [T] WHERE [B] IS NULL").integer, 0);
  EXPECT_FALSE(db_->columns("T")->at(3).nullable);
  // A Bit added to a table with rows starts False in every row.
  ok("ALTER TABLE [T] ADD [NEW] BIT");
  EXPECT_EQ(one("SELECT COUNT(*) FROM [T] WHERE [NEW] = 0").integer, 3);
}

TEST_F(Types, SingleCurrencyAndDatesKeepAccessPrecision) {
  ok("INSERT INTO [T] ([R], [C], [DT]) VALUES (0.1, 12.345678, #2024-02-29 13:45:10#)");
  auto q = db_->query("SELECT [R], [C], [DT] FROM [T]");
  ASSERT_TRUE(q && q->next());
  EXPECT_EQ(q->value(0).real, static_cast<double>(0.1f));
  EXPECT_DOUBLE_EQ(q->value(1).real, 12.3457);
  EXPECT_EQ(q->value(2).kind, Value::Kind::DateTime);
  EXPECT_EQ(q->value(2).integer, 1709214310);
  EXPECT_EQ(q->value(2).asText(), "2024-02-29 13:45:10");
  EXPECT_EQ(one("SELECT COUNT(*) FROM [T] WHERE [DT] > #02/28/2024#").integer, 1);
  EXPECT_EQ(fails("INSERT INTO [T] ([DT]) VALUES (#2023-02-29#)"), "42000");
}

TEST_F(Types, CounterNumbersNewRowsAndCannotBeChanged) {
  RowId first = 0, second = 0;
  ASSERT_TRUE(db_->insertRow("T", {{"L", Value::of(1)}}, &first));
  ASSERT_TRUE(db_->insertRow("T", {{"L", Value::of(2)}}, &second));
  EXPECT_EQ(one("SELECT MAX([ID]) FROM [T]").integer, 2);
  EXPECT_FALSE(db_->updateRow("T", first, {{"ID", Value::of(10)}}));
  EXPECT_EQ(db_->lastError().state, "HY000");
  EXPECT_TRUE(db_->updateRow("T", second, {{"L", Value::of(20)}, {"TXT", Value::of("abc")}}));
  EXPECT_EQ(one("SELECT [L] FROM [T] WHERE [ID] = 2").integer, 20);
  EXPECT_FALSE(db_->updateRow("T", second, {{"TXT", Value::of("abcdef")}}));
  EXPECT_EQ(db_->lastError().state, "22001");
  EXPECT_EQ(one("SELECT [TXT] FROM [T] WHERE [ID] = 2").text, "abc");
}


// The types Access has beside the application's: bytes, GUIDs and exact
// decimals, written and read back unchanged.
class NewTypes : public DbTest {
 protected:
  void SetUp() override {
    DbTest::SetUp();
    ok("CREATE TABLE [N] ([ID] COUNTER(100, 10), [BIN] BINARY(4), [VB] VARBINARY, [OLE] OLEOBJECT, "
       "[G] UNIQUEIDENTIFIER, [DEC] DECIMAL(10,4), [NUM] NUMERIC(28,10), [PLAIN] DECIMAL)");
  }
  std::string write(const std::string& column, const Value& v) {
    if (db_->execute("INSERT INTO [N] ([" + column + "]) VALUES (?)", {v})) return "ok";
    return db_->lastError().state;
  }
  Value last(const std::string& column) { return one("SELECT [" + column + "] FROM [N] WHERE [ID] = (SELECT MAX([ID]) FROM [N])"); }
};

TEST_F(NewTypes, DdlSpellsEachTypeAsAccessDoes) {
  auto cs = *db_->columns("N");
  EXPECT_EQ(typeSpelling(cs[0]), "COUNTER(100,10)");
  EXPECT_EQ(typeSpelling(cs[1]), "BINARY(4)");
  EXPECT_EQ(typeSpelling(cs[2]), "BINARY(510)");  // VARBINARY without a size takes Access's most
  EXPECT_EQ(cs[3].type, JetType::LongBinary);
  EXPECT_EQ(cs[4].type, JetType::Guid);
  EXPECT_EQ(typeSpelling(cs[5]), "DECIMAL(10,4)");
  EXPECT_EQ(typeSpelling(cs[7]), "DECIMAL(18,0)");
  for (const char* bad : {"BINARY(511)", "BINARY(0)", "DECIMAL(29,2)", "DECIMAL(5,6)", "GUID(16)", "COUNTER(1,0)",
                          "COUNTER(5)", "LONGBINARY(10)"})
    EXPECT_EQ(fails(std::string("CREATE TABLE [X] ([A] ") + bad + ")"), "42000") << bad;
  // The catalog keeps what the statement said, across a reopen.
  reopen();
  cs = *db_->columns("N");
  EXPECT_EQ(typeSpelling(cs[6]), "DECIMAL(28,10)");
  EXPECT_EQ(cs[0].seed, 100);
  EXPECT_EQ(cs[0].increment, 10);
}

TEST_F(NewTypes, BytesAreKeptAndLimitedToTheSize) {
  const std::string bytes("\x00\xff\x10\x00", 4);
  EXPECT_EQ(write("BIN", Value::bytes(bytes)), "ok");
  EXPECT_EQ(last("BIN"), Value::bytes(bytes));
  EXPECT_EQ(write("BIN", Value::bytes("12345")), "22001");
  EXPECT_EQ(write("BIN", Value::of("text")), "22018");
  EXPECT_EQ(write("BIN", Value::of(7)), "22018");
  // No bytes is a value, not Null.
  EXPECT_EQ(write("VB", Value::bytes("")), "ok");
  EXPECT_EQ(last("VB").kind, Value::Kind::Binary);
  const std::string large(100000, '\x7f');
  EXPECT_EQ(write("OLE", Value::bytes(large)), "ok");
  EXPECT_EQ(last("OLE").text, large);
  // Literals as Access writes them; comparisons are by bytes.
  ok("INSERT INTO [N] ([BIN]) VALUES (0x0aFF)");
  EXPECT_EQ(last("BIN"), Value::bytes("\x0a\xff"));
  EXPECT_EQ(one("SELECT COUNT(*) FROM [N] WHERE [BIN] = 0x0AFF").integer, 1);
  EXPECT_EQ(one("SELECT COUNT(*) FROM [N] WHERE [BIN] = 0x0AFE").integer, 0);
  EXPECT_EQ(one("SELECT COUNT(*) FROM [N] WHERE [VB] = 0x").integer, 1);
  EXPECT_EQ(one("SELECT [BIN] FROM [N] WHERE [BIN] > 0x0A").asText(), "0x0AFF");
  EXPECT_EQ(fails("INSERT INTO [N] ([BIN]) VALUES (0x0102030405)"), "22001");
}

TEST_F(NewTypes, GuidReadsInAccessFormAndRefusesOtherText) {
  EXPECT_EQ(write("G", Value::of("de2ac9c6-8676-4b0b-b8a6-217a8580cbee")), "ok");
  EXPECT_EQ(last("G").text, "{DE2AC9C6-8676-4B0B-B8A6-217A8580CBEE}");
  EXPECT_EQ(one("SELECT COUNT(*) FROM [N] WHERE [G] = '{de2ac9c6-8676-4b0b-b8a6-217a8580cbee}'").integer, 1);
  // Its sixteen bytes as Windows lays a GUID out.
  const std::string raw("\x33\x22\x11\x00\x55\x44\x77\x66\x88\x99\xaa\xbb\xcc\xdd\xee\xff", 16);
  EXPECT_EQ(write("G", Value::bytes(raw)), "ok");
  EXPECT_EQ(last("G").text, "{00112233-4455-6677-8899-AABBCCDDEEFF}");
  for (const char* bad : {"de2ac9c6-8676-4b0b-b8a6-217a8580cbe", "{de2ac9c6-8676-4b0b-b8a6-217a8580cbeg}",
                          "de2ac9c6x8676-4b0b-b8a6-217a8580cbee", "{de2ac9c6-8676-4b0b-b8a6-217a8580cbee", ""})
    EXPECT_EQ(write("G", Value::of(bad)), "22018") << bad;
  EXPECT_EQ(write("G", Value::bytes("short")), "22018");
}

TEST_F(NewTypes, DecimalsRoundTripExactly) {
  struct Case { Value in; const char* column; const char* out; };
  const Case cases[] = {
      {Value::of("12345.6789"), "DEC", "12345.6789"},
      {Value::of("-10.0010"), "DEC", "-10.001"},
      {Value::of("0.00005"), "DEC", "0"},        // half to even: down to 0.0000
      {Value::of("0.00015"), "DEC", "0.0002"},   // and up to the even 2
      {Value::of("99999.99995"), "DEC", "100000"},  // rounding carries into a new digit
      {Value::of(" 1e3 "), "DEC", "1000"},
      {Value::of(0.1), "DEC", "0.1"},
      {Value::of(-42), "DEC", "-42"},
      {Value::of("-0.00001"), "DEC", "0"},
      {Value::of("123456789012345678.0123456789"), "NUM", "123456789012345678.0123456789"},
      {Value::of("-0.0000000001"), "NUM", "-0.0000000001"},
      {Value::of("999999999999999999"), "PLAIN", "999999999999999999"},
      {Value::of("2.5"), "PLAIN", "2"},
  };
  for (const auto& c : cases) {
    ASSERT_EQ(write(c.column, c.in), "ok") << c.in.asText();
    const Value v = last(c.column);
    EXPECT_EQ(v.kind, Value::Kind::Decimal);
    EXPECT_EQ(v.text, c.out) << c.in.asText();
  }
  // Read back and written again, through a reopen: still the same digits.
  reopen();
  ok("INSERT INTO [N] ([NUM]) SELECT [NUM] FROM [N] WHERE [NUM] > 1");
  EXPECT_EQ(last("NUM").text, "123456789012345678.0123456789");
  EXPECT_EQ(write("DEC", Value::of("1000000")), "22003");
  EXPECT_EQ(write("DEC", Value::of(-1e6)), "22003");
  EXPECT_EQ(write("PLAIN", Value::of("1e18")), "22003");
  EXPECT_EQ(write("DEC", Value::of("12,5")), "22018");
  EXPECT_EQ(write("DEC", Value::of("1.2.3")), "22018");
  EXPECT_EQ(write("DEC", Value::bytes("1")), "22018");
  // Expressions reckon with them as numbers.
  EXPECT_DOUBLE_EQ(one("SELECT [DEC] * 2 FROM [N] WHERE [DEC] > 12345").asDouble(), 24691.3578);
  EXPECT_EQ(one("SELECT COUNT(*) FROM [N] WHERE [DEC] < 0").integer, 2);  // -10.001 and -42
}

TEST_F(NewTypes, CounterStartsAtItsSeedAndStepsByItsIncrement) {
  ok("INSERT INTO [N] ([DEC]) VALUES (1)");
  ok("INSERT INTO [N] ([DEC]) VALUES (2)");
  EXPECT_EQ(one("SELECT MAX([ID]) FROM [N]").integer, 110);
  ok("CREATE TABLE [Down] ([ID] AUTOINCREMENT(-1, -1), [X] LONG)");
  ok("INSERT INTO [Down] ([X]) VALUES (1)");
  ok("INSERT INTO [Down] ([X]) VALUES (2)");
  EXPECT_EQ(one("SELECT [ID] FROM [Down] WHERE [X] = 2").integer, -2);
  EXPECT_EQ(one("SELECT @@IDENTITY").integer, -2);
}

}  // namespace
}  // namespace jetdb::test
