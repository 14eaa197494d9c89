// The durable point of a connection kept open across units of work: what
// it asks of the disk, and what a power cut after it would leave.
#include <fcntl.h>
#include <sqlite3.h>
#include <unistd.h>

#include <map>

#include "test_db.h"

namespace jetdb::test {
namespace {

// The default VFS, wrapped so that it counts the syncs of each kind of file.
// Each file keeps the real VFS's methods but for xSync, which counts first.
class SyncCounter {
 public:
  SyncCounter() {
    real_ = sqlite3_vfs_find(nullptr);
    vfs_ = *real_;
    vfs_.zName = "sync-counter";
    vfs_.pAppData = this;
    vfs_.xOpen = &SyncCounter::open;
    sqlite3_vfs_register(&vfs_, 1);
    current_ = this;
  }
  ~SyncCounter() {
    current_ = nullptr;
    sqlite3_vfs_register(real_, 1);
    sqlite3_vfs_unregister(&vfs_);
  }
  int log = 0;
  int main = 0;
  int journal = 0;  // and the folder's, which SQLite syncs once it has made the journal

 private:
  static int open(sqlite3_vfs* vfs, sqlite3_filename name, sqlite3_file* file, int flags, int* outFlags) {
    auto* self = static_cast<SyncCounter*>(vfs->pAppData);
    const int rc = self->real_->xOpen(self->real_, name, file, flags, outFlags);
    if (rc != SQLITE_OK || file->pMethods == nullptr) return rc;
    const int kind = flags & (SQLITE_OPEN_WAL | SQLITE_OPEN_MAIN_DB);
    auto [it, added] = self->methods_.try_emplace({file->pMethods, kind}, *file->pMethods);
    it->second.xSync = kind == SQLITE_OPEN_WAL ? &SyncCounter::syncLog : kind ? &SyncCounter::syncMain : &syncOther;
    self->originals_[&it->second] = file->pMethods;
    file->pMethods = &it->second;
    return rc;
  }
  static int forward(sqlite3_file* file, int flags) { return current_->originals_.at(file->pMethods)->xSync(file, flags); }
  static int syncLog(sqlite3_file* file, int flags) {
    ++current_->log;
    return forward(file, flags);
  }
  static int syncMain(sqlite3_file* file, int flags) {
    ++current_->main;
    return forward(file, flags);
  }
  static int syncOther(sqlite3_file* file, int flags) {
    ++current_->journal;
    return forward(file, flags);
  }

  sqlite3_vfs* real_ = nullptr;
  sqlite3_vfs vfs_{};
  std::map<std::pair<const sqlite3_io_methods*, int>, sqlite3_io_methods> methods_;
  std::map<const sqlite3_io_methods*, const sqlite3_io_methods*> originals_;
  static inline SyncCounter* current_ = nullptr;
};

// What a power cut would leave is what the disk holds of the file and its
// log: copies of both, without the log's index, stand for that.
TEST(Durability, ADurablePointSyncsTheLogOnceAndLeavesTheConnectionsAsTheyWere) {
  SyncCounter counter;
  TempDir dir;
  const std::string path = dir.file("kept.mdb");
  Error e;
  auto keeper = Database::open(path, true, e);
  ASSERT_TRUE(keeper);
  ASSERT_TRUE(keeper->execute("CREATE TABLE [T] ([ID] INTEGER)"));
  auto writer = Database::open(path, false, e);
  ASSERT_TRUE(writer) << e.message;
  ASSERT_TRUE(writer->setWriteBatching(true));
  for (int i = 0; i < 50; ++i) ASSERT_TRUE(writer->execute("INSERT INTO [T] VALUES (" + std::to_string(i) + ")"));
  ASSERT_TRUE(writer->setWriteBatching(false));
  ASSERT_TRUE(writer->execute("INSERT INTO [T] VALUES (50)"));
  const auto rowsAfterPowerCut = [&](const std::string& name) {
    const std::string copy = dir.file(name);
    WriteFile(copy, ReadFile(path));
    if (std::filesystem::exists(path + "-wal")) WriteFile(copy + "-wal", ReadFile(path + "-wal"));
    auto db = Database::open(copy, false, e);
    auto q = db ? db->query("SELECT COUNT(*) FROM [T]") : nullptr;
    return q && q->next() ? q->value(0).integer : -1;
  };

  // The commits went to the log without waiting for the disk; the durable
  // point waits once, for the log, and copies nothing into the file.
  counter.log = counter.main = 0;
  ASSERT_TRUE(keeper->makeDurable()) << keeper->lastError().message;
  EXPECT_EQ(counter.log, 1);
  EXPECT_EQ(counter.main, 0);
  EXPECT_EQ(rowsAfterPowerCut("after.mdb"), 51);

  // A batch open on the keeper itself is committed first.
  ASSERT_TRUE(keeper->setWriteBatching(true));
  ASSERT_TRUE(keeper->execute("INSERT INTO [T] VALUES (51)"));
  ASSERT_TRUE(keeper->makeDurable()) << keeper->lastError().message;
  EXPECT_EQ(rowsAfterPowerCut("batch.mdb"), 52);
  ASSERT_TRUE(keeper->setWriteBatching(false));

  // Both stay usable, and the last close still leaves one file.
  ASSERT_TRUE(writer->execute("INSERT INTO [T] VALUES (52)"));
  writer.reset();
  keeper.reset();
  EXPECT_FALSE(std::filesystem::exists(path + "-wal"));
  auto closed = Database::open(path, OpenMode::ReadOnly, e);
  ASSERT_TRUE(closed) << e.message;
  auto q = closed->query("SELECT COUNT(*) FROM [T]");
  ASSERT_TRUE(q && q->next());
  EXPECT_EQ(q->value(0).integer, 53);
}

// A mark set in a file at rest: one journaled transaction, in the file
// itself once committed, with no log made on the way.
TEST(Durability, AFileAtRestTakesAWriteWithoutTheLog) {
  TempDir dir;
  const std::string path = dir.file("rest.mdb");
  Error e;
  ASSERT_TRUE(Database::open(path, OpenMode::Create, e)) << e.message;
  SyncCounter counter;
  {
    auto db = Database::open(path, OpenMode::ExistingAtRest, e);
    ASSERT_TRUE(db) << e.message;
    ASSERT_TRUE(db->setApplicationNote("mark", "backup.mdb")) << db->lastError().message;
    EXPECT_FALSE(std::filesystem::exists(path + "-wal"));
    EXPECT_EQ(counter.log, 0);
    EXPECT_GE(counter.main, 1);
    // The main file alone, as a power cut leaves it, holds the mark.
    WriteFile(dir.file("cut.mdb"), ReadFile(path));
    auto cut = Database::open(dir.file("cut.mdb"), OpenMode::ReadOnly, e);
    ASSERT_TRUE(cut) << e.message;
    EXPECT_EQ(cut->applicationNote("mark"), std::optional<std::string>("backup.mdb"));
  }
  // A file another writer holds in its log is taken over as a writer does,
  // and left at rest by the last close.
  auto other = Database::open(path, OpenMode::Existing, e);
  ASSERT_TRUE(other) << e.message;
  {
    auto db = Database::open(path, OpenMode::ExistingAtRest, e);
    ASSERT_TRUE(db) << e.message;
    ASSERT_TRUE(db->setApplicationNote("mark", std::nullopt)) << db->lastError().message;
  }
  other.reset();
  EXPECT_FALSE(std::filesystem::exists(path + "-wal"));
  auto closed = Database::open(path, OpenMode::ReadOnly, e);
  ASSERT_TRUE(closed) << e.message;
  EXPECT_EQ(closed->applicationNote("mark"), std::nullopt);
}

// A copy made for writing is in the log's mode already: its first writer
// opens it without the journaled switch, and its last close leaves it at
// rest with every row.
TEST(Durability, ACopyForWritingOpensWithoutASwitch) {
  TempDir dir;
  const std::string path = dir.file("source.mdb");
  Error e;
  {
    auto db = Database::open(path, OpenMode::Create, e);
    ASSERT_TRUE(db) << e.message;
    ASSERT_TRUE(db->execute("CREATE TABLE [T] ([ID] INTEGER)"));
    ASSERT_TRUE(db->execute("INSERT INTO [T] VALUES (1)"));
  }
  const auto copy = [&](const std::string& name, bool forWriting) {
    const std::string to = dir.file(name);
    WriteFile(to, ReadFile(path));
    const int fd = ::open(to.c_str(), O_RDWR | O_CLOEXEC);
    EXPECT_GE(fd, 0);
    Error unset;
    EXPECT_TRUE(!forWriting || setLogModeInCopy(fd, unset)) << unset.message;
    ::close(fd);
    return to;
  };
  const auto journalSyncsOfFirstWrite = [&](const std::string& file) {
    SyncCounter counter;
    auto db = Database::open(file, OpenMode::Existing, e);
    EXPECT_TRUE(db) << e.message;
    EXPECT_TRUE(db && db->execute("INSERT INTO [T] VALUES (2)"));
    return counter.journal + counter.main;
  };
  EXPECT_GT(journalSyncsOfFirstWrite(copy("plain.mdb", false)), 0);
  const std::string marked = copy("marked.mdb", true);
  EXPECT_EQ(journalSyncsOfFirstWrite(marked), 0);
  EXPECT_FALSE(std::filesystem::exists(marked + "-wal"));
  const std::string header = ReadFile(marked).substr(18, 2);
  EXPECT_EQ(header, std::string(2, '\1'));
  auto closed = Database::open(marked, OpenMode::ReadOnly, e);
  ASSERT_TRUE(closed) << e.message;
  auto q = closed->query("SELECT COUNT(*) FROM [T]");
  ASSERT_TRUE(q && q->next());
  EXPECT_EQ(q->value(0).integer, 2);

  // Anything that is not a database in a rollback journal is left as it was.
  const std::string other = dir.file("other.bin");
  WriteFile(other, std::string("SQLite format 3\0\x10\0\3\3", 20) + std::string(80, 'x'));
  const int fd = ::open(other.c_str(), O_RDWR | O_CLOEXEC);
  ASSERT_GE(fd, 0);
  Error unset;
  EXPECT_TRUE(setLogModeInCopy(fd, unset));
  ::close(fd);
  EXPECT_EQ(ReadFile(other).substr(18, 2), "\x03\x03");
}

}  // namespace
}  // namespace jetdb::test
