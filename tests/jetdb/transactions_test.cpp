// Transactions of a caller's across statements: a rollback takes back
// writes and definitions whole, another connection sees nothing before the
// commit, and a closed database keeps nothing uncommitted.
#include <sqlite3.h>

#include <chrono>
#include <thread>

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


// A row write with nothing to read first runs in SQLite's own transaction
// outside the caller's: it must still wait for another writer's lock, and
// a refused one must leave neither a change nor a lock behind.
TEST_F(Transactions, ARowWriteOutsideATransactionWaitsForTheLockAndIsUndoneWhole) {
  ok("CREATE TABLE L (ID LONG CONSTRAINT PK_L PRIMARY KEY, CODE TEXT(10), NOTE TEXT(20))");
  ok("CREATE UNIQUE INDEX UQ_L ON L (CODE)");
  ok("INSERT INTO L (ID, CODE, NOTE) VALUES (1, 'a', 'un')");
  ok("INSERT INTO L (ID, CODE, NOTE) VALUES (2, 'b', 'deux')");
  auto rowOf = [&](int id) {
    auto q = db_->query("SELECT ID FROM L WHERE ID = " + std::to_string(id));
    return q && q->next() ? q->rowId() : RowId{0};
  };
  const RowId first = rowOf(1), second = rowOf(2);
  ASSERT_NE(first, 0);

  // Another process holds the write lock for a while, then lets it go.
  auto holdLock = [&](std::chrono::milliseconds held) {
    sqlite3* holder = nullptr;
    EXPECT_EQ(sqlite3_open(path().c_str(), &holder), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(holder, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
    return std::thread([holder, held] {
      std::this_thread::sleep_for(held);
      sqlite3_exec(holder, "COMMIT", nullptr, nullptr, nullptr);
      sqlite3_close(holder);
    });
  };
  const auto held = std::chrono::milliseconds(300);
  for (int write = 0; write < 2; ++write) {
    std::thread release = holdLock(held);
    const auto start = std::chrono::steady_clock::now();
    const bool done = write == 0 ? db_->updateRow("L", first, {{"NOTE", Value::of("changé")}})
                                 : db_->deleteRow("L", second);
    const auto waited = std::chrono::steady_clock::now() - start;
    release.join();
    EXPECT_TRUE(done) << db_->lastError().message;
    EXPECT_GE(waited, held - std::chrono::milliseconds(50)) << "the write did not wait for the lock";
  }
  EXPECT_EQ(one("SELECT NOTE FROM L WHERE ID = 1"), Value::of("changé"));
  EXPECT_EQ(count("L"), 1);

  // A duplicate in a unique index is refused whole, and the file is free.
  ok("INSERT INTO L (ID, CODE, NOTE) VALUES (3, 'c', 'trois')");
  EXPECT_FALSE(db_->updateRow("L", first, {{"CODE", Value::of("c")}, {"NOTE", Value::of("perdu")}}));
  EXPECT_EQ(db_->lastError().state, "23000") << db_->lastError().message;
  EXPECT_FALSE(db_->inTransaction());
  EXPECT_EQ(one("SELECT NOTE FROM L WHERE ID = 1"), Value::of("changé"));
  EXPECT_EQ(one("SELECT CODE FROM L WHERE ID = 1"), Value::of("a"));
  auto writer = other();
  ASSERT_TRUE(writer->execute("INSERT INTO L (ID, CODE) VALUES (4, 'd')")) << writer->lastError().message;
  // A row that is not there is told, not taken for a write.
  const RowId missing = rowOf(4) + 1000;
  EXPECT_FALSE(db_->updateRow("L", missing, {{"NOTE", Value::of("personne")}}));
  EXPECT_EQ(db_->lastError().native, 3167);
  EXPECT_FALSE(db_->deleteRow("L", missing));
  EXPECT_EQ(db_->lastError().native, 3167);
}

}  // namespace
}  // namespace jetdb::test
