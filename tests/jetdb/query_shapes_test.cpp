// Queries that differ only in their numbers: each one answers for its own
// numbers, whatever was sent before it, and a changed table is read as it
// is now.
#include <string>
#include <vector>

#include "test_db.h"

namespace jetdb::test {
namespace {

class QueryShapesTest : public DbTest {
 protected:
  void SetUp() override {
    DbTest::SetUp();
    ok("CREATE TABLE [T] ([ID] INTEGER CONSTRAINT PK PRIMARY KEY, [V] INTEGER, [NAME_1] TEXT(20))");
    for (int id = 1; id <= 6; ++id)
      ok("INSERT INTO [T] VALUES (" + std::to_string(id) + ", " + std::to_string(id * 10) + ", 'n" +
         std::to_string(id) + "')");
  }

  // The first column of every row, in order.
  std::vector<std::int64_t> column(const std::string& sql) {
    std::vector<std::int64_t> out;
    auto q = db_->query(sql);
    EXPECT_TRUE(q) << sql << " -> " << db_->lastError().message;
    while (q && q->next()) out.push_back(q->value(0).integer);
    return out;
  }
};

using Ids = std::vector<std::int64_t>;

TEST_F(QueryShapesTest, EachKeyFindsItsOwnRow) {
  for (int round = 0; round < 2; ++round)
    for (int id = 1; id <= 6; ++id)
      EXPECT_EQ(column("SELECT [V] FROM [T] WHERE [ID]=" + std::to_string(id)), Ids{id * 10}) << id;
  EXPECT_EQ(column("SELECT [V] FROM [T] WHERE [ID]=7"), Ids{});
}

TEST_F(QueryShapesTest, NumbersInOneQueryKeepTheirPlaces) {
  EXPECT_EQ(column("SELECT [ID] FROM [T] WHERE [ID]=1 OR [V]=10 ORDER BY [ID]"), (Ids{1}));
  EXPECT_EQ(column("SELECT [ID] FROM [T] WHERE [ID]=2 OR [V]=30 ORDER BY [ID]"), (Ids{2, 3}));
  EXPECT_EQ(column("SELECT [ID] FROM [T] WHERE [ID]=5 OR [V]=10 ORDER BY [ID]"), (Ids{1, 5}));
  EXPECT_EQ(column("SELECT [ID] FROM [T] WHERE [ID]>2 AND [V]<50 ORDER BY [ID]"), (Ids{3, 4}));
  EXPECT_EQ(column("SELECT [ID] FROM [T] WHERE [ID]>4 AND [V]<70 ORDER BY [ID]"), (Ids{5, 6}));
  EXPECT_EQ(column("SELECT [ID] FROM [T] WHERE [ID]=-3 OR [ID]=3"), (Ids{3}));
  EXPECT_EQ(column("SELECT [ID] FROM [T] WHERE [ID]=-4 OR [ID]=4"), (Ids{4}));
}

TEST_F(QueryShapesTest, NumbersOfNamesAndTextsAreNotKeys) {
  EXPECT_EQ(one("SELECT [ID] FROM [T] WHERE [NAME_1]='n2'").integer, 2);
  EXPECT_EQ(one("SELECT [ID] FROM [T] WHERE [NAME_1]='n3'").integer, 3);
  EXPECT_EQ(one("SELECT [ID] FROM [T] WHERE [NAME_1]='N4'").integer, 4);
  // Large numbers stay in the text; the next one still answers for itself.
  EXPECT_EQ(column("SELECT [ID] FROM [T] WHERE [V]=1000000000"), Ids{});
  EXPECT_EQ(column("SELECT [ID] FROM [T] WHERE [V]=60"), Ids{6});
}

TEST_F(QueryShapesTest, DecimalsDatesAndQuotedTextsKeepTheirValues) {
  EXPECT_EQ(column("SELECT [ID] FROM [T] WHERE [V] > 25.5 ORDER BY [ID]"), (Ids{3, 4, 5, 6}));
  EXPECT_EQ(column("SELECT [ID] FROM [T] WHERE [V] > 45.5 ORDER BY [ID]"), (Ids{5, 6}));
  EXPECT_EQ(column("SELECT [ID] FROM [T] WHERE [V] > .5e2 ORDER BY [ID]"), (Ids{6}));
  ok("UPDATE [T] SET [NAME_1]='it''s 5' WHERE [ID]=5");
  EXPECT_EQ(column("SELECT [ID] FROM [T] WHERE [NAME_1]='it''s 5' AND [ID]=5"), (Ids{5}));
  EXPECT_EQ(column("SELECT [ID] FROM [T] WHERE [NAME_1]='it''s 6' AND [ID]=5"), (Ids{}));
  EXPECT_EQ(column("SELECT [ID] FROM [T] WHERE [NAME_1]=\"it's 5\" AND [ID]=5"), (Ids{5}));
  ok("ALTER TABLE [T] ADD [D] DATETIME");
  ok("UPDATE [T] SET [D]=#2004-01-05# WHERE [ID]<3");
  EXPECT_EQ(column("SELECT [ID] FROM [T] WHERE [D]=#2004-01-05# AND [ID]>1"), (Ids{2}));
  EXPECT_EQ(column("SELECT [ID] FROM [T] WHERE [D]=#2004-01-06# AND [ID]>0"), (Ids{}));
}

// Every row of a query and its error, as text, on `db`.
std::string Answer(Database& db, const std::string& sql) {
  auto q = db.query(sql);
  if (!q) return "error " + db.lastError().state;
  std::string out;
  while (q->next()) {
    for (std::size_t i = 0; i < q->columns().size(); ++i) {
      const Value& v = q->value(i);
      out += std::to_string(static_cast<int>(v.kind)) + ":" + (v.isNull() ? "" : v.asText()) + "|";
    }
    out += ";";
  }
  return q->error() ? out + "error" : out;
}

// A text that is the one before it with other digits is read without
// being read through again: each one, after its neighbour, must give what
// it gives alone on a connection that has seen nothing before.
TEST_F(QueryShapesTest, ATextLikeTheOneBeforeAnswersAsItWouldAlone) {
  const std::vector<std::vector<std::string>> sequences = {
      {"SELECT [V] FROM [T] WHERE [ID]=5", "SELECT [V] FROM [T] WHERE [ID]=12345",
       "SELECT [V] FROM [T] WHERE [ID]=3", "SELECT [V] FROM [T] WHERE [ID]=1234567890",
       "SELECT [V] FROM [T] WHERE [ID]=4"},
      {"SELECT [ID] FROM [T] WHERE [ID]=1 OR [V]=30", "SELECT [ID] FROM [T] WHERE [ID]=10 OR [V]=3",
       "SELECT [ID] FROM [T] WHERE [ID]=2 OR [V]=60 ORDER BY [ID]"},
      // the digits of a name or a text are no literals
      {"SELECT [ID] FROM [T] WHERE [NAME_1]='n2' AND [ID]=2", "SELECT [ID] FROM [T] WHERE [NAME_1]='n3' AND [ID]=3",
       "SELECT [ID] FROM [T] WHERE [NAME_1]='n3' AND [ID]=2"},
      // a literal that becomes part of a decimal, an exponent or bytes
      {"SELECT [ID] FROM [T] WHERE [V]>5 ORDER BY [ID]", "SELECT [ID] FROM [T] WHERE [V]>5.5 ORDER BY [ID]",
       "SELECT [ID] FROM [T] WHERE [V]>4e1 ORDER BY [ID]", "SELECT [ID] FROM [T] WHERE [V]>45 ORDER BY [ID]"},
      {"SELECT 5 AS x FROM [T] WHERE [ID]=1", "SELECT 0 AS x FROM [T] WHERE [ID]=1", "SELECT 5x FROM [T] WHERE [ID]=1",
       "SELECT 0x FROM [T] WHERE [ID]=1", "SELECT 7x FROM [T] WHERE [ID]=1"},
      // the same length, other places
      {"SELECT [ID] FROM [T] WHERE [ID]=1 AND [V]=10", "SELECT [ID] FROM [T] WHERE [ID]=11 AND [V]=1",
       "SELECT [ID] FROM [T] WHERE [ID]=1 AND [V]=1"},
  };
  for (const auto& sequence : sequences) {
    for (const std::string& sql : sequence) {
      Error e;
      auto fresh = Database::open(path(), false, e);
      ASSERT_TRUE(fresh) << e.message;
      EXPECT_EQ(Answer(*db_, sql), Answer(*fresh, sql)) << sql;
    }
  }
}

TEST_F(QueryShapesTest, AChangedTableIsReadAsItIsNow) {
  EXPECT_EQ(db_->query("SELECT * FROM [T] WHERE [ID]=1")->columns().size(), 3u);
  ok("ALTER TABLE [T] ADD [W] INTEGER");
  ok("UPDATE [T] SET [W]=[V]+1 WHERE [ID]=2");
  auto q = db_->query("SELECT * FROM [T] WHERE [ID]=2");
  ASSERT_TRUE(q);
  ASSERT_EQ(q->columns().size(), 4u);
  ASSERT_TRUE(q->next());
  EXPECT_EQ(q->value(3).integer, 21);
  ok("ALTER TABLE [T] DROP COLUMN [V]");
  EXPECT_FALSE(db_->query("SELECT [V] FROM [T] WHERE [ID]=3"));
  EXPECT_EQ(db_->lastError().state, "42S22");
}

TEST_F(QueryShapesTest, AWrongQueryFailsEveryTime) {
  EXPECT_FALSE(db_->query("SELECT [X] FROM [T] WHERE [ID]=1"));
  const Error first = db_->lastError();
  EXPECT_FALSE(db_->query("SELECT [X] FROM [T] WHERE [ID]=2"));
  EXPECT_EQ(db_->lastError().state, first.state);
  EXPECT_EQ(db_->lastError().message, first.message);
  EXPECT_EQ(column("SELECT [V] FROM [T] WHERE [ID]=2"), Ids{20});
}

}  // namespace
}  // namespace jetdb::test
