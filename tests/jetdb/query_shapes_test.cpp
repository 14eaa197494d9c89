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
