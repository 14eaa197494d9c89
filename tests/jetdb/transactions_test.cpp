// Transactions of a caller's across statements: a rollback takes back
// writes and definitions whole, another connection sees nothing before the
// commit, and a closed database keeps nothing uncommitted.
#include "jetdb/test_db.h"

namespace jetdb::test {
namespace {

class Transactions : public DbTest {
 protected:
  void SetUp() override {
    DbTest::SetUp();
    ok("CREATE TABLE P (ID COUNTER CONSTRAINT PK_P PRIMARY KEY, NOM TEXT(20))");
    ok("CREATE TABLE E (ID LONG, PID LONG CONSTRAINT FK_E REFERENCES P (ID))");
    ok("INSERT INTO P (NOM) VALUES ('gardé')");
  }
  std::unique_ptr<Database> other() {
    Error e;
    auto db = Database::open(path(), OpenMode::Existing, e);
    EXPECT_TRUE(db) << e.message;
    return db;
  }
};

TEST_F(Transactions, RollbackTakesBackWritesAndDefinitionsWhole) {
  ASSERT_TRUE(db_->beginTransaction());
  EXPECT_TRUE(db_->inTransaction());
  ok("INSERT INTO P (NOM) VALUES ('deux')");
  ok("UPDATE P SET NOM = 'changé' WHERE ID = 1");
  ok("CREATE TABLE N (X LONG)");
  ok("INSERT INTO N (X) VALUES (1)");
  ok("ALTER TABLE P ADD COLUMN PRIX CURRENCY");
  // A refused statement inside is undone alone: the transaction goes on.
  EXPECT_EQ(fails("INSERT INTO E (ID, PID) VALUES (1, 99)"), "23000");
  EXPECT_EQ(count("P"), 2);
  EXPECT_EQ(one("SELECT COUNT(*) FROM N").integer, 1);
  ASSERT_TRUE(db_->rollbackTransaction());
  EXPECT_FALSE(db_->inTransaction());

  EXPECT_EQ(count("P"), 1);
  EXPECT_EQ(one("SELECT NOM FROM P WHERE ID = 1"), Value::of("gardé"));
  EXPECT_EQ(db_->tables(), (std::vector<std::string>{"P", "E"}));
  EXPECT_EQ(db_->columns("P")->size(), 2u) << "the added column is gone from the catalog too";
  EXPECT_EQ(fails("SELECT PRIX FROM P"), "42S22");
  // The file agrees with the catalog, and the counter goes on from the rows kept.
  EXPECT_TRUE(db_->check().empty());
  ok("INSERT INTO P (NOM) VALUES ('après')");
  EXPECT_EQ(one("SELECT MAX(ID) FROM P"), Value::of(2));
}

TEST_F(Transactions, OthersSeeTheWritesOnlyOnceCommitted) {
  auto reader = other();
  ASSERT_TRUE(db_->beginTransaction());
  ok("INSERT INTO P (NOM) VALUES ('nouveau')");
  EXPECT_EQ(count("P"), 2) << "the transaction sees its own writes";
  auto q = reader->query("SELECT COUNT(*) FROM P");
  ASSERT_TRUE(q && q->next());
  EXPECT_EQ(q->value(0), Value::of(1));
  q.reset();
  ASSERT_TRUE(db_->commitTransaction());
  q = reader->query("SELECT COUNT(*) FROM P");
  ASSERT_TRUE(q && q->next());
  EXPECT_EQ(q->value(0), Value::of(2));
  // Committing or rolling back with none open does nothing; beginning twice is refused.
  EXPECT_TRUE(db_->commitTransaction());
  EXPECT_TRUE(db_->rollbackTransaction());
  ASSERT_TRUE(db_->beginTransaction());
  EXPECT_FALSE(db_->beginTransaction());
  EXPECT_EQ(db_->lastError().state, "25000");
  EXPECT_TRUE(db_->rollbackTransaction());
}

TEST_F(Transactions, ABatchIsCommittedFirstAndAClosedDatabaseKeepsNothingUncommitted) {
  ASSERT_TRUE(db_->setWriteBatching(true));
  ok("INSERT INTO P (NOM) VALUES ('en lot')");
  ASSERT_TRUE(db_->beginTransaction());
  ok("INSERT INTO P (NOM) VALUES ('jamais validé')");
  ASSERT_TRUE(db_->insertRow("P", {{"NOM", Value::of("ligne")}}));
  ASSERT_TRUE(db_->rollbackTransaction());
  EXPECT_EQ(count("P"), 2) << "the batch before the transaction is kept";

  ASSERT_TRUE(db_->beginTransaction());
  ok("DELETE FROM P");
  reopen();
  EXPECT_EQ(count("P"), 2);
  EXPECT_FALSE(db_->inTransaction());
}

}  // namespace
}  // namespace jetdb::test
