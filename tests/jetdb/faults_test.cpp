// Faults of the file and the disk, as SQLite meets them, reach the caller
// in French with their SQL state and native number.
#include <sqlite3.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <csignal>
#include <algorithm>
#include <cstdio>

#include "jetdb/faults.h"
#include "test_db.h"

namespace jetdb::test {
namespace {

std::string code(const Error& e) { return e.state + "/" + std::to_string(e.native); }

// Creates a database with a table of `rows` rows of 200 characters.
std::string makeDatabase(const std::string& path, int rows) {
  Error e;
  auto db = Database::open(path, true, e);
  if (!db || !db->execute("CREATE TABLE [T] ([ID] INTEGER CONSTRAINT PK PRIMARY KEY, [TXT] MEMO)")) return "create";
  db->setWriteBatching(true);
  for (int i = 0; i < rows; ++i)
    if (!db->insertRow("T", {{"ID", Value::of(i)}, {"TXT", Value::of(std::string(200, 'a' + i % 26))}}))
      return "insert";
  return "";
}

// A tmpfs of `size` bytes mounted on a folder of its own while it lives;
// only root may mount one.
class SmallDisk {
 public:
  explicit SmallDisk(const std::string& size) {
    if (::geteuid() != 0) return;
    mounted_ = ::mount("tmpfs", dir_.path().c_str(), "tmpfs", 0, ("size=" + size).c_str()) == 0;
  }
  ~SmallDisk() {
    if (mounted_) ::umount2(dir_.path().c_str(), MNT_DETACH);
  }
  bool remountReadOnly() {
    return ::mount("tmpfs", dir_.path().c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr) == 0;
  }
  bool mounted() const { return mounted_; }
  std::string file(const std::string& name) const { return dir_.file(name); }

 private:
  TempDir dir_;
  bool mounted_ = false;
};

TEST(Faults, ACorruptPageIsReportedAsADamagedFile) {
  TempDir dir;
  const std::string path = dir.file("corrupt.mdb");
  ASSERT_EQ(makeDatabase(path, 200), "");
  int root = 0, pageSize = 0;
  {
    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &raw), SQLITE_OK);
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(raw,
                       "SELECT rootpage, (SELECT page_size FROM pragma_page_size) FROM sqlite_schema WHERE name = 'T'",
                       -1, &st, nullptr);
    if (sqlite3_step(st) == SQLITE_ROW) {
      root = sqlite3_column_int(st, 0);
      pageSize = sqlite3_column_int(st, 1);
    }
    sqlite3_finalize(st);
    sqlite3_close(raw);
  }
  ASSERT_GT(root, 1);
  std::string bytes = ReadFile(path);
  bytes.replace(static_cast<std::size_t>((root - 1) * pageSize), static_cast<std::size_t>(pageSize),
                static_cast<std::size_t>(pageSize), '\x5a');
  WriteFile(path, bytes);

  Error e;
  auto db = Database::open(path, false, e);
  ASSERT_TRUE(db) << e.message;
  auto q = db->query("SELECT [TXT] FROM [T]");
  if (q)
    while (q->next()) {
    }
  const Error seen = q ? q->error().value_or(Error{}) : db->lastError();
  EXPECT_EQ(code(seen), "HY000/3049") << seen.message;
  EXPECT_EQ(seen.message, "Impossible d'utiliser la base de données '" + path +
                              "' : le fichier est endommagé. Réparez-le ou reprenez sa copie de sauvegarde.");
}

TEST(Faults, AFileLockedByAnotherConnectionIsReportedAsInUse) {
  TempDir dir;
  const std::string path = dir.file("locked.mdb");
  ASSERT_EQ(makeDatabase(path, 1), "");
  Error e;
  auto db = Database::open(path, false, e);
  ASSERT_TRUE(db) << e.message;
  sqlite3* other = nullptr;
  ASSERT_EQ(sqlite3_open(path.c_str(), &other), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
  EXPECT_FALSE(db->execute("INSERT INTO [T] ([ID]) VALUES (7)"));
  EXPECT_EQ(code(db->lastError()), "HY000/3045");
  EXPECT_EQ(db->lastError().message, "Impossible d'utiliser '" + path + "' ; fichier déjà utilisé.");
  sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
  sqlite3_close(other);
  EXPECT_TRUE(db->execute("INSERT INTO [T] ([ID]) VALUES (7)")) << db->lastError().message;
}

TEST(Faults, AFullDiskAndAReadOnlyDiskAreReportedInFrench) {
  SmallDisk disk("256k");
  if (!disk.mounted()) GTEST_SKIP() << "needs root to mount a small tmpfs";
  const std::string path = disk.file("full.mdb");
  ASSERT_EQ(makeDatabase(path, 10), "");
  Error e;
  auto db = Database::open(path, false, e);
  ASSERT_TRUE(db) << e.message;
  bool full = false;
  for (int i = 10; i < 10000 && !full; ++i)
    full = !db->insertRow("T", {{"ID", Value::of(i)}, {"TXT", Value::of(std::string(2000, 'x'))}});
  ASSERT_TRUE(full);
  EXPECT_EQ(code(db->lastError()), "HY000/3026") << db->lastError().message;
  const std::string folder = path.substr(0, path.rfind('/'));
  EXPECT_EQ(db->lastError().message,
            "Espace insuffisant sur le disque du dossier '" + folder + "' ('" + path + "').");
  EXPECT_TRUE(isMachineFault(db->lastError().native));
  db.reset();

  // Turned read-only between two connections (the kernel refuses it under
  // a file open for writing), as between two steps of a run.
  ASSERT_TRUE(disk.remountReadOnly());
  const std::string readOnly =
      "Impossible de mettre à jour. Le système de fichiers qui contient '" + path + "' est en lecture seule.";
  db = Database::open(path, false, e);
  const Error seen = db ? (db->execute("DELETE FROM [T]"), db->lastError()) : e;
  EXPECT_EQ(code(seen), "HY000/3027") << seen.message;
  EXPECT_EQ(seen.message, readOnly);
  EXPECT_TRUE(isMachineFault(seen.native));
}

// The engine names its logs after the file: a path with room for
// "-journal" opens, one byte more is refused as too long, not as unknown.
TEST(Faults, APathLongerThanTheEngineTakesIsNamedAsSuch) {
  TempDir dir;
  std::string folder = dir.path();
  for (int i = 0; folder.size() < maxDatabasePathBytes() - 100; ++i) {
    folder += "/" + std::string(std::min<std::size_t>(200, maxDatabasePathBytes() - 100 - folder.size()), 'd');
    ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0) << folder;
  }
  const auto named = [&](std::size_t bytes) { return folder + "/" + std::string(bytes - folder.size() - 1, 'a'); };
  const std::string longest = named(maxDatabasePathBytes());
  ASSERT_EQ(makeDatabase(longest, 3), "");
  Error e;
  EXPECT_TRUE(Database::open(longest, false, e)) << e.message;

  const std::string over = named(maxDatabasePathBytes() + 1);
  ASSERT_TRUE(std::rename(longest.c_str(), over.c_str()) == 0);
  for (bool create : {false, true}) {
    if (create) std::remove(over.c_str());
    EXPECT_FALSE(Database::open(over, create, e));
    EXPECT_EQ(code(e), "HY000/3044");
    EXPECT_EQ(e.message, "Le chemin '" + over + "' est trop long : " + std::to_string(over.size()) +
                             " octets, le moteur de stockage en accepte " +
                             std::to_string(maxDatabasePathBytes()) + " au plus.");
    EXPECT_TRUE(isMachineFault(e.native));
  }
  // SQLite's own limit, less the longest suffix of its logs.
  EXPECT_EQ(maxDatabasePathBytes(), static_cast<std::size_t>(sqlite3_vfs_find(nullptr)->mxPathname) - 8);
}

// A file-size limit makes every write past it fail as a disk does.
TEST(Faults, AFailedWriteIsReportedInFrench) {
  TempDir dir;
  const std::string path = dir.file("limited.mdb");
  ASSERT_EQ(makeDatabase(path, 10), "");
  int pipeFd[2];
  ASSERT_EQ(::pipe(pipeFd), 0);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    std::signal(SIGXFSZ, SIG_IGN);
    Error e;
    auto db = Database::open(path, false, e);
    const rlimit limit{64 * 1024, 64 * 1024};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    std::string seen = db ? "" : code(e) + " " + e.message;
    for (int i = 10; db && i < 1000 && seen.empty(); ++i)
      if (!db->insertRow("T", {{"ID", Value::of(i)}, {"TXT", Value::of(std::string(2000, 'x'))}}))
        seen = code(db->lastError()) + " " + db->lastError().message;
    (void)!::write(pipeFd[1], seen.data(), seen.size());
    ::_exit(0);
  }
  ::close(pipeFd[1]);
  std::string seen;
  char buffer[512];
  for (ssize_t n; (n = ::read(pipeFd[0], buffer, sizeof buffer)) > 0;) seen.append(buffer, static_cast<std::size_t>(n));
  ::close(pipeFd[0]);
  int status = 0;
  ::waitpid(child, &status, 0);
  // A write cut short reads as a full disk, one refused outright as a failed one.
  EXPECT_TRUE(seen == "HY000/3043 Erreur de disque ou de réseau ('" + path + "')." ||
              seen == "HY000/3026 Espace insuffisant sur le disque ('" + path + "').")
      << seen;
  Error e;
  auto db = Database::open(path, false, e);
  ASSERT_TRUE(db) << e.message;
  auto q = db->query("SELECT COUNT(*) FROM [T]");
  ASSERT_TRUE(q && q->next());
  EXPECT_GE(q->value(0).integer, 10);
}

}  // namespace
}  // namespace jetdb::test
