// Opening files: only jetdb files open, and a refused file is never changed.
// Sharing one file between two connections.
#include <sys/stat.h>

#include <chrono>
#include <thread>

#include "test_db.h"
#include "test_support/db_writers.h"

namespace jetdb::test {
namespace {

std::string openState(const std::string& path, bool create = false) {
  Error e;
  auto db = Database::open(path, create, e);
  if (db) return "ok";
  EXPECT_FALSE(e.message.empty());
  return e.state + "/" + std::to_string(e.native);
}

TEST(Files, ForeignFilesAreRefusedAndLeftUntouched) {
  TempDir dir;
  std::string random;
  for (int i = 0; i < 4096; ++i) random += static_cast<char>((i * 7919) % 251);
  std::string access = std::string("\x00\x01\x00\x00Standard Jet DB\x00", 20) + std::string(2000, '\x11');
  const std::pair<std::string, std::string> files[] = {
      {"random.mdb", random}, {"empty.mdb", ""}, {"access.mdb", access}, {"short.mdb", "SQLite format 3"}};
  for (const auto& [name, bytes] : files) {
    std::string path = dir.file(name);
    WriteFile(path, bytes);
    EXPECT_EQ(openState(path), "HY000/3343") << name;
    EXPECT_EQ(ReadFile(path), bytes) << name;
  }
  EXPECT_EQ(openState(dir.file("missing.mdb")), "HY000/3024");
  EXPECT_FALSE(std::filesystem::exists(dir.file("missing.mdb")));
  EXPECT_EQ(openState(dir.file("")), "HY000/3343");  // a directory
}

TEST(Files, PlainSqliteFileWithoutCatalogIsRefused) {
  TempDir dir;
  std::string path = dir.file("plain.mdb");
  {
    Error e;
    ASSERT_TRUE(Database::open(path, true, e));
  }
  // Take a jetdb file and remove the mark that makes it one.
  std::string bytes = ReadFile(path);
  std::size_t mark = bytes.find("jetdb 1");
  ASSERT_NE(mark, std::string::npos);
  bytes[mark] = 'X';
  WriteFile(path, bytes);
  EXPECT_EQ(openState(path), "HY000/3343");
  EXPECT_EQ(ReadFile(path), bytes);
}

TEST(Files, CreateRefusesAnExistingFile) {
  TempDir dir;
  std::string path = dir.file("a.mdb");
  WriteFile(path, "precious");
  EXPECT_EQ(openState(path, true), "HY000/3204");
  EXPECT_EQ(ReadFile(path), "precious");
}

TEST(Files, TwoConnectionsShareOneFile) {
  TempDir dir;
  std::string path = dir.file("shared.mdb");
  Error e;
  auto a = Database::open(path, true, e);
  ASSERT_TRUE(a);
  ASSERT_TRUE(a->execute("CREATE TABLE [T] ([ID] INTEGER)"));
  auto b = Database::open(path, false, e);
  ASSERT_TRUE(b) << e.message;
  ASSERT_TRUE(a->execute("INSERT INTO [T] VALUES (1)"));
  auto q = b->query("SELECT COUNT(*) FROM [T]");
  ASSERT_TRUE(q && q->next());
  EXPECT_EQ(q->value(0).integer, 1);
  ASSERT_TRUE(b->execute("INSERT INTO [T] VALUES (2)"));
  q.reset();
  a.reset();
  b.reset();
  // Closed, the database is a single file again.
  EXPECT_FALSE(std::filesystem::exists(path + "-wal"));
  auto c = Database::open(path, false, e);
  ASSERT_TRUE(c);
  auto n = c->query("SELECT COUNT(*) FROM [T]");
  ASSERT_TRUE(n && n->next());
  EXPECT_EQ(n->value(0).integer, 2);
}

TEST(Files, ProcessKilledMidWorkLeavesTheStateAfterAWholeStatement) {
  TempDir dir;
  std::string path = dir.file("killed.mdb");
  {
    Error e;
    auto db = Database::open(path, true, e);
    ASSERT_TRUE(db);
    ASSERT_TRUE(db->execute("CREATE TABLE [T] ([N] INTEGER CONSTRAINT PrimaryKey PRIMARY KEY)"));
  }
  // Rows and columns go in by turns until the writer is killed.
  ASSERT_TRUE(KillWriterMidWork(path, [](Database& db, int n) {
    db.execute("INSERT INTO [T] ([N]) VALUES (" + std::to_string(n) + ")");
    if (n % 10 == 0)
      db.execute("ALTER TABLE [T] ADD COLUMN [C" + std::to_string(n) + "] TEXT(10), [D" + std::to_string(n) + "] BIT");
  }));

  Error e;
  auto db = Database::open(path, false, e);
  ASSERT_TRUE(db) << e.message;
  auto q = db->query("SELECT COUNT(*), MAX([N]) FROM [T]");
  ASSERT_TRUE(q && q->next());
  std::int64_t rows = q->value(0).integer;
  EXPECT_GT(rows, 0);
  EXPECT_EQ(q->value(1).integer, rows);  // no statement half done, none lost in the middle
  auto columns = db->columns("T");
  ASSERT_TRUE(columns);
  EXPECT_EQ(columns->size() % 2, 1u);  // each ADD of two columns whole
  auto all = db->query("SELECT * FROM [T]");
  ASSERT_TRUE(all);
  while (all->next()) {}
  EXPECT_FALSE(all->error());
}

// Another user who can write the folder builds a log of changes on a copy
// of the database and puts it beside the original: it must never be read.
class PlantedLogs : public ::testing::Test {
 protected:
  void SetUp() override {
    Error e;
    auto db = Database::open(path, true, e);
    ASSERT_TRUE(db && db->execute("CREATE TABLE [T] ([N] INTEGER)") && db->execute("INSERT INTO [T] VALUES (1)"));
    db.reset();
    // The planter's copy, with its rows still in its log.
    std::filesystem::copy_file(path, copy);
    // A bounded number of commits: a fast writer's log would otherwise reach
    // the checkpoint, which writes the copy's file and starts its log anew,
    // and the planted log would then no longer be the original's last commits.
    ASSERT_TRUE(KillWriterMidWork(copy, [](Database& d, int n) {
      if (n <= 2000) d.insertRow("T", {{"N", Value::of(n + 100)}});
      else std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }));
    ASSERT_TRUE(std::filesystem::exists(copy + "-wal"));
  }
  // The planted pair, as files of their own or as links to the copy's.
  void plant(bool links) {
    for (const char* suffix : {"-wal", "-shm"}) {
      if (links) std::filesystem::create_symlink(copy + suffix, path + suffix);
      else std::filesystem::copy_file(copy + suffix, path + suffix);
    }
  }
  std::string rows(OpenMode mode) {
    Error e;
    auto db = Database::open(path, mode, e);
    if (!db) return e.state + "/" + std::to_string(e.native) + " " + e.message;
    auto q = db->query("SELECT COUNT(*) FROM [T]");
    if (q && q->next()) return std::to_string(q->value(0).integer);
    const Error& why = q && q->error() ? *q->error() : db->lastError();
    return "? " + why.state + "/" + std::to_string(why.native) + " " + why.message;
  }
  TempDir dir, other;
  std::string path = dir.file("base.mdb"), copy = other.file("copie.mdb");
};

TEST_F(PlantedLogs, LinksAndSpecialFilesAreRefusedNamingThemAndChangeNothing) {
  plant(true);
  const auto before = contents(dir.path());
  for (OpenMode mode : {OpenMode::ReadOnly, OpenMode::Existing}) {
    const std::string answer = rows(mode);
    EXPECT_EQ(answer.rfind("HY000/3051", 0), 0u) << answer;
    EXPECT_NE(answer.find(path + "-wal"), std::string::npos) << answer;
  }
  Error e;
  EXPECT_EQ(snapshotCopy(path, -1, e), Snapshot::Failed);
  EXPECT_EQ(e.native, 3051);
  EXPECT_EQ(contents(dir.path()), before);
  EXPECT_EQ(foreignLog(path), path + "-wal");
  // A FIFO as the rollback journal would hold or feed the open.
  for (const char* suffix : {"-wal", "-shm"}) std::filesystem::remove(path + suffix);
  ASSERT_EQ(::mkfifo((path + "-journal").c_str(), 0666), 0);
  EXPECT_EQ(rows(OpenMode::ReadOnly).rfind("HY000/3051", 0), 0u);
  EXPECT_EQ(foreignLog(path), path + "-journal");
  std::filesystem::remove(path + "-journal");
  EXPECT_EQ(rows(OpenMode::ReadOnly), "1");
}

TEST_F(PlantedLogs, OnlyTheDatabaseOwnersLogIsPlayed) {
  plant(false);
  // The owner's own log (a writer of the owner's, killed) is the database's
  // last commits: it is read.
  const std::string owners = rows(OpenMode::ReadOnly);
  ASSERT_EQ(owners.find_first_not_of("0123456789"), std::string::npos) << owners;
  EXPECT_GT(std::stoi(owners), 1);
  if (::geteuid() != 0) GTEST_SKIP() << "only root can give the planted log to another user";
  for (const char* suffix : {"-wal", "-shm"}) ASSERT_EQ(::chown((path + suffix).c_str(), 65534, 65534), 0);
  const auto before = contents(dir.path());
  for (OpenMode mode : {OpenMode::ReadOnly, OpenMode::Existing}) {
    const std::string answer = rows(mode);
    EXPECT_EQ(answer.rfind("HY000/3051", 0), 0u) << answer;
    EXPECT_NE(answer.find("autre utilisateur"), std::string::npos) << answer;
  }
  EXPECT_EQ(contents(dir.path()), before);
}

// What an application records inside the file goes with it, and is neither
// a table nor one of the driver's own facts.
TEST(Files, ApplicationNotesStayInsideTheFileAndOutOfItsCatalog) {
  TempDir dir;
  const std::string path = dir.file("noted.mdb");
  Error e;
  {
    auto db = Database::open(path, true, e);
    ASSERT_TRUE(db && db->execute("CREATE TABLE [T] ([ID] INTEGER)"));
    EXPECT_FALSE(db->applicationNote("reprise"));
    ASSERT_TRUE(db->setApplicationNote("reprise", std::string("Base.mdb.V2.0")));
    ASSERT_TRUE(db->setApplicationNote("autre", std::string("x")));
    // The driver's own facts are not notes, nor can a note stand for one.
    EXPECT_FALSE(db->applicationNote("format"));
    ASSERT_TRUE(db->setApplicationNote("format", std::string("faux")));
  }
  std::filesystem::copy_file(path, dir.file("copy.mdb"));
  {
    auto ro = Database::open(dir.file("copy.mdb"), OpenMode::ReadOnly, e);
    ASSERT_TRUE(ro) << e.message;
    EXPECT_EQ(ro->applicationNote("reprise"), "Base.mdb.V2.0");
    EXPECT_FALSE(ro->setApplicationNote("reprise", std::nullopt));
    EXPECT_EQ(ro->lastError().native, 3027);
    EXPECT_EQ(ro->tables(), std::vector<std::string>{"T"});
    EXPECT_TRUE(ro->check().empty());
  }
  auto db = Database::open(path, false, e);
  ASSERT_TRUE(db) << e.message;
  ASSERT_TRUE(db->setApplicationNote("reprise", std::nullopt));
  EXPECT_FALSE(db->applicationNote("reprise"));
  EXPECT_EQ(db->applicationNote("autre"), "x");
}

}  // namespace
}  // namespace jetdb::test
