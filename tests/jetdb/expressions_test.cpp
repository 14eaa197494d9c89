// Long operator chains, IN, and the bound on nesting.
#include <string>

#include "test_db.h"

namespace jetdb::test {
namespace {

class Expressions : public DbTest {
 protected:
  void SetUp() override {
    DbTest::SetUp();
    ok("CREATE TABLE [T] ([ID] INTEGER CONSTRAINT PK PRIMARY KEY, [NAME] TEXT(20), [QTY] INTEGER)");
    ok("CREATE TABLE [U] ([REF] INTEGER, [TAG] TEXT(10))");
    const char* names[] = {"un", "deux", "trois", "quatre", nullptr};
    for (int i = 0; i < 5; ++i)
      ok("INSERT INTO [T] VALUES (" + std::to_string(i + 1) + ", " +
         (names[i] ? "'" + std::string(names[i]) + "'" : std::string("NULL")) + ", " + std::to_string(10 * i) + ")");
    ok("INSERT INTO [U] VALUES (2, 'x')");
    ok("INSERT INTO [U] VALUES (4, 'x')");
    ok("INSERT INTO [U] VALUES (5, 'y')");
  }
  // The IDs a filter selects, in order, as "1,3".
  std::string ids(const std::string& where) {
    auto q = db_->query("SELECT [ID] FROM [T] WHERE " + where + " ORDER BY [ID]");
    EXPECT_TRUE(q) << where.substr(0, 200) << " -> " << db_->lastError().message;
    std::string out;
    while (q && q->next()) out += (out.empty() ? "" : ",") + std::to_string(q->value(0).integer);
    if (q && q->error()) ADD_FAILURE() << q->error()->message;
    return out;
  }
  // Refused as too deep or too large, in French, with its state.
  void tooComplex(const std::string& sql) {
    EXPECT_FALSE(db_->execute(sql)) << sql.substr(0, 200);
    const Error& e = db_->lastError();
    EXPECT_EQ(e.state + "/" + std::to_string(e.native), "54001/3360") << sql.substr(0, 200) << " -> " << e.message;
    EXPECT_EQ(e.message.rfind("Requête trop complexe", 0), 0u) << e.message;
  }
};

std::string repeat(const std::string& head, int n, const std::string& leaf, const std::string& tail) {
  std::string out;
  for (int i = 0; i < n; ++i) out += head;
  out += leaf;
  for (int i = 0; i < n; ++i) out += tail;
  return out;
}

TEST_F(Expressions, LongChainsOfOneOperatorRun) {
  const int n = 20000;
  std::string anyOf;
  for (int i = 0; i < n; ++i) anyOf += "[NAME] IS NULL OR ";
  EXPECT_EQ(ids(anyOf + "[ID] = 2"), "2,5");
  std::string allOf;
  for (int i = 0; i < n; ++i) allOf += "[NAME] LIKE '*" + std::string(i % 2, 'e') + "*' AND ";
  EXPECT_EQ(ids(allOf + "[ID] <> 4"), "2");

  // Signs mixed at random places: a group of the translation that follows
  // a minus must keep the sum of the plain chain.
  std::string sum = "[QTY]";
  std::int64_t expected = 20;
  for (int i = 1; i <= n; ++i) {
    const bool minus = i % 3 == 0 || i % 32 == 0;
    sum += (minus ? " - " : " + ") + std::to_string(i % 7);
    expected += (minus ? -1 : 1) * (i % 7);
  }
  EXPECT_EQ(one("SELECT " + sum + " FROM [T] WHERE [ID] = 3").asInteger(), expected);

  std::string text = "[NAME]";
  for (int i = 0; i < 5000; ++i) text += " & NULL & 'a'";
  EXPECT_EQ(one("SELECT " + text + " FROM [T] WHERE [ID] = 1").text, "un" + std::string(5000, 'a'));

  std::string product = "[ID]";
  for (int i = 0; i < 5000; ++i) product += " * 1";
  ok("UPDATE [T] SET [QTY] = " + product + " WHERE " + anyOf + "[ID] = 2");
  EXPECT_EQ(one("SELECT SUM([QTY]) FROM [T] WHERE [ID] IN (2, 5)").asInteger(), 7);
}

TEST_F(Expressions, ChainsKeepJetArithmetic) {
  EXPECT_EQ(one("SELECT 7 / 2 * 2 FROM [T] WHERE [ID] = 1").real, 7.0);
  EXPECT_EQ(one("SELECT 10 - 4 - 3 + 1 FROM [T] WHERE [ID] = 1").asInteger(), 4);
  // A condition used as a value is -1 or 0 inside arithmetic and comparisons.
  EXPECT_EQ(one("SELECT ([ID] = 1) + 1 FROM [T] WHERE [ID] = 1").asInteger(), 0);
  EXPECT_EQ(ids("([ID] > 3) = -1"), "4,5");
  EXPECT_EQ(ids("-([ID] > 3) = 1"), "4,5");
}

TEST_F(Expressions, InTakesListsAndSubqueries) {
  EXPECT_EQ(ids("[NAME] IN ('UN', 'Trois', 'cinq')"), "1,3");
  EXPECT_EQ(ids("[NAME] NOT IN ('UN', 'Trois')"), "2,4");  // Null is in no list and out of none
  EXPECT_EQ(ids("[ID] NOT IN (1, NULL)"), "");
  EXPECT_EQ(ids("[ID] IN (1 + 1, [QTY] / 10, -1) AND NOT [ID] IN (1)"), "2");
  EXPECT_EQ(ids("[ID] IN (SELECT [REF] FROM [U] WHERE [TAG] = 'X')"), "2,4");
  EXPECT_EQ(ids("[ID] NOT IN (SELECT [REF] FROM [U])"), "1,3");
  EXPECT_EQ(ids("[ID] IN (SELECT MAX([REF]) FROM [U])"), "5");
  // Values on both sides of a subquery stay bound to their own places.
  EXPECT_EQ(ids("[NAME] = 'trois' OR [ID] IN (SELECT [REF] FROM [U] WHERE [TAG] = 'y') AND [QTY] > 30"), "3,5");

  std::string many = "[ID] IN (";
  for (int i = 0; i < 20000; ++i) many += std::to_string(1000 + i) + ", ";
  EXPECT_EQ(ids(many + "4)"), "4");

  ok("DELETE FROM [U] WHERE [REF] IN (SELECT [ID] FROM [T] WHERE [NAME] IN ('deux', 'quatre'))");
  EXPECT_EQ(count("U"), 1);
  ok("UPDATE [T] SET [QTY] = 0 WHERE [ID] NOT IN (SELECT [REF] FROM [U])");
  EXPECT_EQ(one("SELECT COUNT(*) FROM [T] WHERE [QTY] = 0").asInteger(), 4);

  EXPECT_EQ(fails("SELECT [ID] FROM [T] WHERE [ID] IN (SELECT [REF], [TAG] FROM [U])"), "42000");
  EXPECT_EQ(db_->lastError().native, 3306);
  EXPECT_EQ(fails("SELECT [ID] FROM [T] WHERE [ID] IN (SELECT [REF] FROM [Nulle])"), "42S02");
  EXPECT_EQ(fails("SELECT [ID] FROM [T] WHERE [ID] IN 1, 2"), "42000");
  EXPECT_EQ(fails("SELECT [ID] FROM [T] WHERE [ID] NOT 1"), "42000");
}

TEST_F(Expressions, NestingRunsToItsBoundAndIsRefusedBeyond) {
  struct Form {
    const char* head;
    const char* leaf;
    const char* tail;
    int levels;  // per repetition
  };
  const Form forms[] = {
      {"([ID] = 1 OR ", "[ID] = 2", ")", 1},
      {"NOT (", "[ID] = 2", ")", 2},
      {"NOT ", "[ID] <> 2", "", 1},
      {"-(", "[ID]", " + 0)", 2},
      {"([NAME] & (", "'x'", " & 'y'))", 2},
      {"(2 / (", "2", " / 2))", 2},
      {"[ID] IN (", "[ID]", ", 2)", kInNesting},
      {"[ID] IN (SELECT [ID] FROM [T] WHERE ", "[ID] = 2", ")", kSubqueryNesting},
  };
  for (const auto& f : forms) {
    const int n = kMaxNesting / f.levels;
    const std::string deepest = repeat(f.head, n, f.leaf, f.tail);
    EXPECT_TRUE(db_->query("SELECT " + deepest + " FROM [T] WHERE " + deepest))
        << deepest << " -> " << db_->lastError().message;
    ok("UPDATE [T] SET [QTY] = [QTY] WHERE " + deepest);
    tooComplex("SELECT [ID] FROM [T] WHERE " + repeat(f.head, n + 1, f.leaf, f.tail));
  }
  EXPECT_EQ(ids(repeat("([ID] = 1 OR ", kMaxNesting, "[ID] = 2", ")")), "1,2");
  tooComplex("SELECT [ID] FROM [T] WHERE " + repeat("(", 100000, "1", ")"));
  tooComplex("SELECT [ID] FROM [T] WHERE " + repeat("NOT ", 100000, "1", ""));
  tooComplex("SELECT [ID] FROM [T] WHERE " + repeat("- ", 100000, "1", ""));
  tooComplex("SELECT " + repeat("MIN(", 100000, "1", ")") + " FROM [T]");
  tooComplex("INSERT INTO [T] ([ID]) VALUES (" + repeat("(", 100000, "1", ")") + ")");
  EXPECT_NE(db_->lastError().message.find("'((((((("), std::string::npos) << db_->lastError().message;
  // Too long for SQLite itself, which only a chain of divisions is.
  std::string quotient = "1";
  for (int i = 0; i < 2000; ++i) quotient += " / 1";
  tooComplex("SELECT " + quotient + " FROM [T]");
  EXPECT_EQ(count("T"), 5);
}

}  // namespace
}  // namespace jetdb::test
