// Write batching: many statements in one SQLite transaction, each still
// atomic on its own, seen by other connections only once committed.
#include <signal.h>
#include <sys/resource.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "test_db.h"

namespace jetdb::test {
namespace {

class BatchingTest : public DbTest {
 protected:
  void SetUp() override {
    DbTest::SetUp();
    ok("CREATE TABLE [T] ([ID] INTEGER CONSTRAINT PK PRIMARY KEY, [V] INTEGER)");
    ok("INSERT INTO [T] VALUES (1, 10)");
    db_->setWriteBatching(true);
  }

  // What a second connection on the same file counts.
  std::int64_t countElsewhere(const std::string& where = "") {
    Error e;
    auto other = Database::open(path(), false, e);
    EXPECT_TRUE(other) << e.message;
    if (!other) return -1;
    auto q = other->query("SELECT COUNT(*) FROM [T]" + where);
    return q && q->next() ? q->value(0).integer : -1;
  }
};

TEST_F(BatchingTest, OtherConnectionsSeeTheWritesOnceTheBatchIsCommitted) {
  ok("INSERT INTO [T] VALUES (2, 20)");
  RowId row = 0;
  ASSERT_TRUE(db_->insertRow("T", {{"ID", Value::of(3)}, {"V", Value::of(30)}}, &row));
  // This connection sees its own writes at once, another one not yet.
  EXPECT_EQ(count("T"), 3);
  EXPECT_EQ(countElsewhere(), 1);
  db_->setWriteBatching(false);
  EXPECT_EQ(countElsewhere(), 3);
}

TEST_F(BatchingTest, ACommitTheDiskRefusesIsReportedAndUndone) {
  for (int id = 2; id < 400; ++id)
    ASSERT_TRUE(db_->insertRow("T", {{"ID", Value::of(id)}, {"V", Value::of(id * 7)}}));
  // No file may grow any more, as on a full disk.
  const auto logSize = std::filesystem::file_size(path() + "-wal");
  rlimit old{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
  signal(SIGXFSZ, SIG_IGN);
  rlimit full = old;
  full.rlim_cur = logSize;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &full), 0);
  const bool committed = db_->setWriteBatching(false);
  setrlimit(RLIMIT_FSIZE, &old);
  EXPECT_FALSE(committed);
  EXPECT_FALSE(db_->lastError().message.empty());
  EXPECT_EQ(countElsewhere(), 1);
}

TEST_F(BatchingTest, ClosingCommitsTheBatch) {
  ok("UPDATE [T] SET [V]=11 WHERE [ID]=1");
  ok("INSERT INTO [T] VALUES (2, 20)");
  reopen();
  EXPECT_EQ(count("T"), 2);
  EXPECT_EQ(one("SELECT [V] FROM [T] WHERE [ID]=1").integer, 11);
}

TEST_F(BatchingTest, ARefusedStatementIsUndoneAloneAndTheBatchGoesOn) {
  ok("INSERT INTO [T] VALUES (2, 20)");
  EXPECT_EQ(fails("INSERT INTO [T] VALUES (1, 99)"), "23000");
  EXPECT_FALSE(db_->insertRow("T", {{"ID", Value::of(2)}, {"V", Value::of(98)}}));
  ok("INSERT INTO [T] VALUES (3, 30)");
  db_->setWriteBatching(false);
  EXPECT_EQ(countElsewhere(), 3);
  EXPECT_EQ(countElsewhere(" WHERE [V] > 90"), 0);
}

// A bulk load runs one prepared INSERT of parameters many times: its rows
// must be those the same INSERT written out in full gives, checked alike,
// and a refused one undone alone.
TEST_F(BatchingTest, APreparedInsertOfParametersWritesWhatItsTextWouldWrite) {
  for (const char* t : {"P", "Q"})
    ok(std::string("CREATE TABLE [") + t +
       "] ([N] COUNTER, [S] TEXT(5) NOT NULL, [B] BIT, [C] CURRENCY, [D] DATETIME, [X] DOUBLE, [L] BYTE)");
  auto insert = db_->prepare("INSERT INTO [P] ([S], [B], [C], [D], [X], [L]) VALUES (?, ?, ?, ?, ?, ?)");
  ASSERT_TRUE(insert) << db_->lastError().message;
  const auto date = Value::dateTime(-2209161600 + 6 * 3600);  // 1899-12-30 06:00
  ASSERT_TRUE(db_->execute(*insert, {Value::of("abc"), Value::of(5), Value::of(1.23456), date, Value::of(2.5),
                                     Value::of(2.5)}));
  EXPECT_FALSE(db_->execute(*insert, {Value::of("abcdef"), Value::null(), Value::null(), Value::null(),
                                      Value::null(), Value::null()}));
  EXPECT_EQ(db_->lastError().state, "22001");
  EXPECT_FALSE(db_->execute(*insert, {Value::null(), Value::null(), Value::null(), Value::null(), Value::null(),
                                      Value::null()}));
  EXPECT_FALSE(db_->execute(*insert, {Value::of("x"), Value::null(), Value::null(), Value::null(), Value::null(),
                                      Value::of(256)}));
  EXPECT_EQ(db_->lastError().state, "22003");
  ASSERT_TRUE(db_->execute(*insert, {Value::of("été"), Value::of(0), Value::of("7"), Value::of("2024-02-29 10:00:00"),
                                     Value::null(), Value::null()}));
  ok("INSERT INTO [Q] ([S], [B], [C], [D], [X], [L]) VALUES ('abc', 5, 1.23456, #12/30/1899 6:00:00 AM#, 2.5, 2.5)");
  ok("INSERT INTO [Q] ([S], [B], [C], [D], [X], [L]) VALUES ('été', 0, '7', '2024-02-29 10:00:00', Null, Null)");
  // A definition in between changes the catalog the statement was read for.
  ok("CREATE INDEX [S] ON [P] ([S])");
  ASSERT_TRUE(db_->execute(*insert, {Value::of("z"), Value::null(), Value::null(), Value::null(), Value::null(),
                                     Value::null()}));
  ok("INSERT INTO [Q] ([S]) VALUES ('z')");
  db_->setWriteBatching(false);
  auto p = db_->query("SELECT * FROM [P] ORDER BY [N]");
  auto q = db_->query("SELECT * FROM [Q] ORDER BY [N]");
  ASSERT_TRUE(p && q);
  int rows = 0;
  while (p->next()) {
    ASSERT_TRUE(q->next());
    ++rows;
    for (std::size_t i = 0; i < p->columns().size(); ++i)
      EXPECT_EQ(p->value(i), q->value(i)) << "row " << rows << ", column " << p->columns()[i].name;
  }
  EXPECT_FALSE(q->next());
  EXPECT_EQ(rows, 3);
}

TEST_F(BatchingTest, ARefusedRowUpdateOrDeleteIsUndoneAloneAndTheBatchGoesOn) {
  ok("CREATE TABLE [C] ([ID] INTEGER CONSTRAINT PKC PRIMARY KEY, [T_ID] INTEGER)");
  ok("ALTER TABLE [C] ADD CONSTRAINT [TC] FOREIGN KEY ([T_ID]) REFERENCES [T] ([ID])");
  ok("INSERT INTO [T] VALUES (2, 20)");
  ok("INSERT INTO [C] VALUES (1, 2)");
  RowId two = 0;
  {
    auto q = db_->query("SELECT [ID] FROM [T] WHERE [ID]=2");
    ASSERT_TRUE(q && q->next());
    two = q->rowId();
  }
  ASSERT_TRUE(db_->updateRow("T", two, {{"V", Value::of(21)}}));
  // The key of row 1 taken by row 2: refused by the unique index itself.
  EXPECT_FALSE(db_->updateRow("T", two, {{"ID", Value::of(1)}, {"V", Value::of(99)}}));
  EXPECT_EQ(db_->lastError().state, "23000");
  // Row 2 has a child: refused before anything is written.
  EXPECT_FALSE(db_->deleteRow("T", two));
  ok("INSERT INTO [T] VALUES (3, 30)");
  db_->setWriteBatching(false);
  EXPECT_EQ(countElsewhere(), 3);
  EXPECT_EQ(countElsewhere(" WHERE [ID]=2 AND [V]=21"), 1);
  EXPECT_EQ(countElsewhere(" WHERE [V] > 90"), 0);
}

TEST_F(BatchingTest, ADefinitionCommitsTheWritesBeforeIt) {
  ok("INSERT INTO [T] VALUES (2, 20)");
  ok("ALTER TABLE [T] ADD [W] DOUBLE");
  EXPECT_EQ(countElsewhere(), 2);
  // A refused definition leaves the committed writes alone.
  EXPECT_FALSE(db_->execute("ALTER TABLE [T] ADD [W] DOUBLE"));
  EXPECT_EQ(countElsewhere(), 2);
}

TEST_F(BatchingTest, ABatchIsCommittedByTheFirstWriteAfterItsTime) {
  ok("INSERT INTO [T] VALUES (2, 20)");
  std::this_thread::sleep_for(std::chrono::milliseconds(Database::kBatchMillis + 20));
  // The first write after the batch's time commits it, itself included.
  ok("INSERT INTO [T] VALUES (3, 30)");
  EXPECT_EQ(countElsewhere(), 3);
}

TEST_F(BatchingTest, NoMoreThanABatchOfWritesIsEverUncommitted) {
  // However fast the writes come (a slow machine commits by time first),
  // fewer than kBatchWrites of them wait for a commit.
  const int writes = 2 * Database::kBatchWrites;
  for (int id = 2; id <= writes + 1; ++id)
    ASSERT_TRUE(db_->insertRow("T", {{"ID", Value::of(id)}, {"V", Value::of(id)}}));
  EXPECT_GT(countElsewhere(), writes + 1 - Database::kBatchWrites);
}

TEST_F(BatchingTest, AnUnboundedBatchWaitsForItsEndWhateverItsSizeAndAge) {
  db_->setWriteBatching(false);
  db_->setWriteBatching(true, Database::BatchLimit::None);
  const int writes = 2 * Database::kBatchWrites;
  for (int id = 2; id <= writes + 1; ++id)
    ASSERT_TRUE(db_->insertRow("T", {{"ID", Value::of(id)}, {"V", Value::of(id)}}));
  std::this_thread::sleep_for(std::chrono::milliseconds(Database::kBatchMillis + 20));
  ok("INSERT INTO [T] VALUES (0, 0)");
  EXPECT_EQ(countElsewhere(), 1);
  // A refused statement is still undone alone.
  EXPECT_FALSE(db_->execute("INSERT INTO [T] VALUES (2, 2)"));
  // A definition ends it, as it ends a bounded one.
  ok("ALTER TABLE [T] ADD [W] DOUBLE");
  EXPECT_EQ(countElsewhere(), writes + 2);
  ok("INSERT INTO [T] ([ID], [V]) VALUES (-1, 0)");
  EXPECT_EQ(countElsewhere(), writes + 2);
  ASSERT_TRUE(db_->setWriteBatching(false));
  EXPECT_EQ(countElsewhere(), writes + 3);
  // Batching on again without a limit named is bounded as before.
  db_->setWriteBatching(true);
  for (int id = writes + 2; id <= 2 * writes + 1; ++id)
    ASSERT_TRUE(db_->insertRow("T", {{"ID", Value::of(id)}, {"V", Value::of(id)}}));
  EXPECT_GT(countElsewhere(), writes + 3);
}

}  // namespace
}  // namespace jetdb::test
