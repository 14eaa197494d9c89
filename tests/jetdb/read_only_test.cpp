// Read-only opens: nothing is written to the file or beside it, in a
// read-only folder too, and every write is refused; and how writers leave a
// file for such readers.
#include <sqlite3.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <optional>

#include "test_db.h"
#include "test_support/db_writers.h"

namespace jetdb::test {
namespace {

constexpr const char* kRefused = "HY000/3027";

std::string failure(const Error& e) { return e.state + "/" + std::to_string(e.native); }

// A closed database whose table [T] ([N]) holds the rows 1 ... rows.
std::string makeDatabase(const std::string& path, int rows = 3) {
  Error e;
  auto db = Database::open(path, true, e);
  EXPECT_TRUE(db) << e.message;
  if (!db) return path;
  EXPECT_TRUE(db->execute("CREATE TABLE [T] ([N] INTEGER CONSTRAINT PrimaryKey PRIMARY KEY)"));
  for (int n = 1; n <= rows; ++n) EXPECT_TRUE(db->insertRow("T", {{"N", Value::of(n)}}));
  return path;
}

// A database whose writer was killed while inserting rows one by one: its
// last commits are in the log left beside it.
std::string makeKilledWritersFile(const std::string& path) {
  makeDatabase(path, 0);
  EXPECT_TRUE(KillWriterMidWork(path, [](Database& db, int n) { db.insertRow("T", {{"N", Value::of(n)}}); }));
  EXPECT_TRUE(std::filesystem::exists(path + "-wal"));
  return path;
}

// COUNT(*) and MAX([N]) of [T], or (-1, -1) when the file does not open.
std::pair<std::int64_t, std::int64_t> countAndMax(const std::string& path, OpenMode mode) {
  Error e;
  auto db = Database::open(path, mode, e);
  EXPECT_TRUE(db) << e.message;
  auto q = db ? db->query("SELECT COUNT(*), MAX([N]) FROM [T]") : nullptr;
  if (!q || !q->next()) return {-1, -1};
  return {q->value(0).integer, q->value(1).integer};
}

// Whether the header of the file asks for no log: bytes 18 and 19 of an
// SQLite file are 1 in rollback-journal mode, 2 in WAL mode.
bool atRest(const std::string& path) {
  const std::string bytes = ReadFile(path);
  return bytes.size() >= 100 && bytes[18] == 1 && bytes[19] == 1;
}

TEST(ReadOnly, ReadsAClosedDatabaseWritingNothingAndRefusesEveryWrite) {
  TempDir dir;
  // A name with the characters that a URI would take for its own.
  const std::string path = makeDatabase(dir.file("base #1?%41.mdb"));
  const auto before = contents(dir.path());
  Error e;
  auto db = Database::open(path, OpenMode::ReadOnly, e);
  ASSERT_TRUE(db) << e.message;
  auto q = db->query("SELECT [N] FROM [T] WHERE [N]=2");
  ASSERT_TRUE(q && q->next());
  const RowId row = q->rowId();
  q.reset();

  for (const char* sql :
       {"INSERT INTO [T] ([N]) VALUES (4)", "UPDATE [T] SET [N]=[N]+10", "DELETE FROM [T]",
        "CREATE TABLE [U] ([N] INTEGER)", "ALTER TABLE [T] ADD COLUMN [C] TEXT(10)", "CREATE INDEX [I] ON [T] ([N])",
        "DROP TABLE [T]"}) {
    EXPECT_FALSE(db->execute(sql)) << sql;
    EXPECT_EQ(failure(db->lastError()), kRefused) << sql;
  }
  EXPECT_FALSE(db->insertRow("T", {{"N", Value::of(4)}}));
  EXPECT_EQ(failure(db->lastError()), kRefused);
  EXPECT_FALSE(db->updateRow("T", row, {{"N", Value::of(20)}}));
  EXPECT_EQ(failure(db->lastError()), kRefused);
  EXPECT_FALSE(db->deleteRow("T", row));
  EXPECT_EQ(failure(db->lastError()), kRefused);
  ASSERT_TRUE(db->columns("T"));
  EXPECT_EQ(db->columns("T")->size(), 1u);

  // Nothing beside the file while it is open, nothing changed once closed.
  EXPECT_EQ(contents(dir.path()), before);
  db.reset();
  EXPECT_EQ(contents(dir.path()), before);
  EXPECT_EQ(countAndMax(path, OpenMode::ReadOnly), std::make_pair(std::int64_t{3}, std::int64_t{3}));
}

TEST(ReadOnly, AKilledWritersFileIsReadAsItsLastCommitWritingNothing) {
  TempDir dir;
  const std::string path = makeKilledWritersFile(dir.file("killed.mdb"));
  const auto before = contents(dir.path());
  const auto [rows, max] = countAndMax(path, OpenMode::ReadOnly);
  EXPECT_GT(rows, 0);
  EXPECT_EQ(max, rows);  // whole statements, none lost in the middle
  EXPECT_EQ(contents(dir.path()), before);

  // An open for writing replays the same log: the reader saw the last
  // commit. Closed, the file is one file again, at rest.
  EXPECT_EQ(countAndMax(path, OpenMode::Existing), std::make_pair(rows, max));
  EXPECT_EQ(contents(dir.path()).size(), 1u);
  EXPECT_TRUE(atRest(path));
}

TEST(ReadOnly, AFileInWalModeWithoutItsLogIsReadUntouchedAndALogWithoutIndexRefused) {
  TempDir dir;
  const std::string path = makeDatabase(dir.file("old.mdb"));
  // Left in WAL mode, as an older driver left its files: SQLite removes the
  // log when it closes, the header keeps asking for one.
  sqlite3* raw = nullptr;
  ASSERT_EQ(sqlite3_open(path.c_str(), &raw), SQLITE_OK);
  EXPECT_EQ(sqlite3_exec(raw, "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr), SQLITE_OK);
  sqlite3_close(raw);
  ASSERT_FALSE(atRest(path));
  const auto before = contents(dir.path());
  ASSERT_EQ(before.size(), 1u);

  // Every commit is in the main file: it is read, and nothing is written.
  EXPECT_EQ(countAndMax(path, OpenMode::ReadOnly).first, 3);
  EXPECT_EQ(contents(dir.path()), before);

  // A log without its index cannot be read without writing one.
  std::fclose(std::fopen((path + "-wal").c_str(), "w"));
  Error e;
  EXPECT_FALSE(Database::open(path, OpenMode::ReadOnly, e));
  EXPECT_EQ(failure(e), "HY000/3051");
  std::filesystem::remove(path + "-wal");

  EXPECT_EQ(countAndMax(path, OpenMode::Existing).first, 3);
  EXPECT_TRUE(atRest(path));
}

TEST(ReadOnly, TheLastWriterToCloseLeavesTheFileAtRest) {
  TempDir dir;
  const std::string path = makeDatabase(dir.file("base.mdb"));
  EXPECT_TRUE(atRest(path));
  EXPECT_EQ(contents(dir.path()).size(), 1u);

  // Two writers, the first to close leaves the file to the second.
  for (bool firstClosesFirst : {true, false}) {
    Error e;
    auto a = Database::open(path, false, e);
    auto b = Database::open(path, false, e);
    ASSERT_TRUE(a && b) << e.message;
    ASSERT_TRUE(a->execute("INSERT INTO [T] ([N]) VALUES (" + std::to_string(firstClosesFirst ? 10 : 11) + ")"));
    (firstClosesFirst ? a : b).reset();
    a.reset();
    b.reset();
    EXPECT_TRUE(atRest(path)) << firstClosesFirst;
    EXPECT_EQ(contents(dir.path()).size(), 1u) << firstClosesFirst;
  }

  // A reader that outlives the writer keeps reading; the file it leaves is
  // read again read-only, and the next writer brings it to rest.
  Error e;
  auto writer = Database::open(path, false, e);
  auto reader = Database::open(path, OpenMode::ReadOnly, e);
  ASSERT_TRUE(writer && reader) << e.message;
  ASSERT_TRUE(writer->execute("INSERT INTO [T] ([N]) VALUES (12)"));
  writer.reset();
  auto q = reader->query("SELECT COUNT(*) FROM [T]");
  ASSERT_TRUE(q && q->next());
  EXPECT_EQ(q->value(0).integer, 6);
  q.reset();
  reader.reset();
  EXPECT_EQ(countAndMax(path, OpenMode::ReadOnly).first, 6);
  EXPECT_EQ(countAndMax(path, OpenMode::Existing).first, 6);
  EXPECT_TRUE(atRest(path));
  EXPECT_EQ(contents(dir.path()).size(), 1u);
}

// Runs the probe on `path` under rights that the folder's permissions bind:
// this process's user, or nobody when it is root (whom permissions do not
// bind). Empty when that cannot be done here.
std::optional<std::string> probeAsAnotherUser(const std::string& path) {
  const std::string run = geteuid() == 0 ? "setpriv --reuid=nobody --regid=nogroup --clear-groups " : "";
  const auto status = [](const std::string& command, std::string* out) {
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return -1;
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, pipe))
      if (out) *out += buffer;
    const int s = pclose(pipe);
    return WIFEXITED(s) ? WEXITSTATUS(s) : -1;
  };
  // Without a path the probe only answers 64: it runs under those rights.
  if (status(run + READ_ONLY_PROBE " 2>/dev/null", nullptr) != 64) return std::nullopt;
  std::string out;
  status(run + READ_ONLY_PROBE " '" + path + "'", &out);
  return out;
}

TEST(ReadOnly, ReadsInAReadOnlyFolderFilesWithoutWritePermission) {
  TempDir dir;
  ASSERT_EQ(chmod(dir.path().c_str(), 0755), 0);
  const std::string folder = dir.file("ro");
  ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
  const std::string closed = makeDatabase(folder + "/base.mdb");
  const std::string killed = makeKilledWritersFile(folder + "/killed.mdb");
  for (const auto& [name, bytes] : contents(folder)) ASSERT_EQ(chmod((folder + "/" + name).c_str(), 0444), 0);
  ASSERT_EQ(chmod(folder.c_str(), 0555), 0);
  const auto before = contents(folder);

  const auto closedSeen = probeAsAnotherUser(closed);
  const auto killedSeen = probeAsAnotherUser(killed);
  EXPECT_EQ(contents(folder), before);
  ASSERT_EQ(chmod(folder.c_str(), 0755), 0);
  for (const auto& [name, bytes] : before) ASSERT_EQ(chmod((folder + "/" + name).c_str(), 0644), 0);
  if (!closedSeen) GTEST_SKIP() << "cannot run the probe as a user that permissions bind (setpriv, nobody)";

  EXPECT_EQ(*closedSeen, std::string("rows=3 write=") + kRefused + "\n");
  // The killed writer's last commit, as an open for writing replays it.
  const auto [rows, max] = countAndMax(killed, OpenMode::Existing);
  EXPECT_GT(rows, 0);
  EXPECT_EQ(*killedSeen, "rows=" + std::to_string(rows) + " write=" + kRefused + "\n");
}

}  // namespace
}  // namespace jetdb::test
