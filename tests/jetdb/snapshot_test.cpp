// snapshotCopy: a copy of a database as its last commit left it, taken
// without writing to it, whoever else has it open.
#include <fcntl.h>
#include <sqlite3.h>
#include <unistd.h>

#include "jetdb/text.h"
#include "test_db.h"
#include "test_support/db_writers.h"

namespace jetdb::test {
namespace {

// A closed database with an empty table [T] ([N]).
std::string makeDatabase(const std::string& path) {
  Error e;
  auto db = Database::open(path, true, e);
  EXPECT_TRUE(db) << e.message;
  EXPECT_TRUE(db && db->execute("CREATE TABLE [T] ([N] INTEGER CONSTRAINT PrimaryKey PRIMARY KEY)"));
  return path;
}

// snapshotCopy into a new file `dest`.
Snapshot copyTo(const std::string& source, const std::string& dest, Error& e) {
  const int fd = ::open(dest.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  EXPECT_GE(fd, 0) << dest;
  const Snapshot result = snapshotCopy(source, fd, e);
  ::close(fd);
  return result;
}

// What SQLite's own check says of a file; its indexes are in the order of
// the driver's collation.
std::string integrity(const std::string& path) {
  const auto collate = [](void*, int na, const void* a, int nb, const void* b) {
    return compareFolded(std::string_view(static_cast<const char*>(a), static_cast<std::size_t>(na)),
                         std::string_view(static_cast<const char*>(b), static_cast<std::size_t>(nb)));
  };
  sqlite3* raw = nullptr;
  std::string verdict = "cannot check";
  if (sqlite3_open_v2(path.c_str(), &raw, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK &&
      sqlite3_create_collation(raw, "JETNOCASE", SQLITE_UTF8, nullptr, collate) == SQLITE_OK) {
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(raw, "PRAGMA integrity_check", -1, &stmt, nullptr) == SQLITE_OK &&
        sqlite3_step(stmt) == SQLITE_ROW)
      verdict = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
    sqlite3_finalize(stmt);
  }
  sqlite3_close(raw);
  return verdict;
}

// The rows of [T] as a read-only open sees them; -1 when it does not open.
std::int64_t rowsOf(const std::string& path, OpenMode mode = OpenMode::ReadOnly) {
  Error e;
  auto db = Database::open(path, mode, e);
  EXPECT_TRUE(db) << path << ": " << e.message;
  auto q = db ? db->query("SELECT COUNT(*) FROM [T]") : nullptr;
  return q && q->next() ? q->value(0).integer : -1;
}

TEST(Snapshot, ADatabaseNoWriterHoldsIsCopiedByteForByte) {
  TempDir dir, out;
  const std::string path = makeDatabase(dir.file("base.mdb"));
  {
    Error e;
    auto db = Database::open(path, false, e);
    ASSERT_TRUE(db);
    for (int n = 1; n <= 20; ++n) ASSERT_TRUE(db->insertRow("T", {{"N", Value::of(n)}}));
    db.reset();
    // A reader holding it does not keep it from being copied as it is.
    auto reader = Database::open(path, OpenMode::ReadOnly, e);
    ASSERT_TRUE(reader);
    Error copyError;
    ASSERT_EQ(copyTo(path, out.file("copy.mdb"), copyError), Snapshot::Written) << copyError.message;
  }
  EXPECT_EQ(ReadFile(out.file("copy.mdb")), ReadFile(path));
  EXPECT_EQ(rowsOf(out.file("copy.mdb")), 20);
}

TEST(Snapshot, CommitsStillInAnotherProgramsLogAreInTheCopyAndTheSourceIsUntouched) {
  TempDir dir, out;
  const std::string path = makeDatabase(dir.file("base.mdb"));
  LiveWriter writer(path, 50);
  ASSERT_TRUE(writer.ready());
  ASSERT_TRUE(std::filesystem::file_size(path + "-wal") > 0);  // the commits wait in the log
  const auto before = contents(dir.path());

  Error e;
  ASSERT_EQ(copyTo(path, out.file("copy.mdb"), e), Snapshot::Written) << e.message;
  EXPECT_EQ(contents(dir.path()), before);
  EXPECT_EQ(integrity(out.file("copy.mdb")), "ok");
  // One file with every commit, that a reader opens as it is.
  EXPECT_EQ(rowsOf(out.file("copy.mdb")), 50);
  EXPECT_EQ(contents(out.path()).size(), 1u);
}

TEST(Snapshot, AKilledWritersFileIsCopiedAsItsLastCommit) {
  TempDir dir, out;
  const std::string path = makeDatabase(dir.file("killed.mdb"));
  ASSERT_TRUE(KillWriterMidWork(path, [](Database& db, int n) { db.insertRow("T", {{"N", Value::of(n)}}); }));
  ASSERT_TRUE(std::filesystem::exists(path + "-wal"));
  const auto before = contents(dir.path());

  Error e;
  ASSERT_EQ(copyTo(path, out.file("copy.mdb"), e), Snapshot::Written) << e.message;
  EXPECT_EQ(contents(dir.path()), before);
  EXPECT_EQ(integrity(out.file("copy.mdb")), "ok");
  const std::int64_t copied = rowsOf(out.file("copy.mdb"));
  EXPECT_GT(copied, 0);
  // An open for writing replays the log to the same last commit.
  EXPECT_EQ(rowsOf(path, OpenMode::Existing), copied);
}

TEST(Snapshot, FilesWhoseBytesAreTheCopyAreLeftToTheCaller) {
  TempDir dir, out;
  // Not a database.
  WriteFile(dir.file("notes.txt"), "SQLite format 3 is not enough");
  // A database left in WAL mode without its log by an older driver.
  const std::string old = makeDatabase(dir.file("old.mdb"));
  sqlite3* raw = nullptr;
  ASSERT_EQ(sqlite3_open(old.c_str(), &raw), SQLITE_OK);
  EXPECT_EQ(sqlite3_exec(raw, "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr), SQLITE_OK);
  sqlite3_close(raw);
  const auto before = contents(dir.path());

  for (const char* name : {"notes.txt", "old.mdb"}) {
    Error e;
    EXPECT_EQ(copyTo(dir.file(name), out.file(name), e), Snapshot::NotNeeded) << name;
    EXPECT_EQ(ReadFile(out.file(name)), "") << name;
  }
  EXPECT_EQ(contents(dir.path()), before);

  Error e;
  EXPECT_EQ(copyTo(dir.file("missing.mdb"), out.file("missing.mdb"), e), Snapshot::Failed);
  EXPECT_FALSE(e.message.empty());
}

}  // namespace
}  // namespace jetdb::test
