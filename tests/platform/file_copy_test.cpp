#include "platform/file_copy.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <set>

#include "jetdb/jetdb.h"
#include "test_support/db_writers.h"
#include "test_support/temp_dir.h"

namespace {

std::set<std::string> NamesIn(const std::string& folder) {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) names.insert(entry.path().filename());
  return names;
}

// Whether process `pid` has a file of `folder` other than `source` open:
// the copy it is writing.
bool WritesInto(pid_t pid, const std::string& folder, const std::string& source) {
  std::error_code error;
  for (std::filesystem::directory_iterator it("/proc/" + std::to_string(pid) + "/fd", error), end;
       !error && it != end; it.increment(error)) {
    std::error_code unreadable;
    const std::string target = std::filesystem::read_symlink(it->path(), unreadable).string();
    if (!unreadable && target.rfind(folder + "/", 0) == 0 && target != source) return true;
  }
  return false;
}

// Copies in a child process and kills it with SIGKILL as soon as it writes
// the copy. False when the copy ended before it could be caught.
bool KillCopyMidway(const std::string& source, const std::string& dest, BOOL bFailIfExists) {
  const pid_t child = fork();
  if (child == 0) _exit(CopyFileA(source.c_str(), dest.c_str(), bFailIfExists) ? 0 : 1);
  if (child < 0) return false;
  const std::string folder = std::filesystem::path(dest).parent_path().string();
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  bool caught = false;
  while (!caught && waitpid(child, nullptr, WNOHANG) == 0 && std::chrono::steady_clock::now() < deadline)
    caught = WritesInto(child, folder, source);
  if (caught) kill(child, SIGKILL);
  waitpid(child, nullptr, 0);
  return caught;
}

// The rows of [T] as a read-only open of `path` sees them.
std::int64_t RowsOf(const std::string& path) {
  jetdb::Error error;
  auto db = jetdb::Database::open(path, jetdb::OpenMode::ReadOnly, error);
  EXPECT_TRUE(db) << error.message;
  auto query = db ? db->query("SELECT COUNT(*) FROM [T]") : nullptr;
  return query && query->next() ? query->value(0).integer : -1;
}

// A new database at `path` with the empty table [T] that LiveWriter fills.
bool CreateTable(const std::string& path) {
  jetdb::Error error;
  auto db = jetdb::Database::open(path, true, error);
  return db && db->execute("CREATE TABLE [T] ([N] INTEGER CONSTRAINT PrimaryKey PRIMARY KEY)");
}

}  // namespace

TEST(FileCopyTest, CopiesBytesAndReplacesOrKeepsTheDestinationAsAsked) {
  TempDir dir;
  const std::string a = dir.path() + "/a.mdb", b = dir.path() + "/b.mdb";
  std::string bytes(200000, '\0');
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 7);
  WriteFile(a, bytes);
  WriteFile(b, "old");
  EXPECT_FALSE(CopyFileA(a.c_str(), b.c_str(), TRUE));
  EXPECT_EQ(ReadFile(b), "old");
  EXPECT_TRUE(CopyFileA(a.c_str(), b.c_str(), FALSE));
  EXPECT_EQ(ReadFile(b), bytes);
}

TEST(FileCopyTest, OneFileUnderTwoNamesIsNeverCopiedOntoItself) {
  TempDir dir;
  const std::string a = dir.path() + "/a.mdb";
  WriteFile(a, "data");
  ASSERT_EQ(chdir(dir.path().c_str()), 0);
  EXPECT_TRUE(IsSameFile("./a.mdb", a.c_str()));
  ASSERT_EQ(symlink(a.c_str(), (dir.path() + "/link.mdb").c_str()), 0);
  EXPECT_TRUE(IsSameFile((dir.path() + "/link.mdb").c_str(), "a.mdb"));
  EXPECT_FALSE(CopyFileA("./a.mdb", a.c_str(), FALSE));
  EXPECT_EQ(ReadFile(a), "data");
  EXPECT_FALSE(IsSameFile(a.c_str(), (dir.path() + "/missing.mdb").c_str()));
}

TEST(FileCopyTest, AFailedCopyLeavesNothingBehind) {
  TempDir dir;
  const std::string a = dir.path() + "/a.mdb", out = dir.path() + "/ro";
  WriteFile(a, "data");
  // Root writes into a read-only folder; a "folder" that is a file stops it.
  if (geteuid() == 0) {
    WriteFile(out, "");
  } else {
    ASSERT_EQ(mkdir(out.c_str(), 0500), 0);
  }
  EXPECT_FALSE(CopyFileA(a.c_str(), (out + "/b.mdb").c_str(), FALSE));
  EXPECT_FALSE(CopyFileA((dir.path() + "/missing").c_str(), (dir.path() + "/c.mdb").c_str(), FALSE));
  EXPECT_FALSE(FileExists(dir.path() + "/c.mdb"));
}

TEST(FileCopyTest, ADatabaseInUseIsCopiedWithItsLastCommitsAndLeftAlone) {
  TempDir dir, out;
  const std::string source = dir.path() + "/base.mdb";
  ASSERT_TRUE(CreateTable(source));
  LiveWriter writer(source, 30);
  ASSERT_TRUE(writer.ready());
  const std::string bytes = ReadFile(source), log = ReadFile(source + "-wal"), index = ReadFile(source + "-shm");
  ASSERT_FALSE(log.empty());  // the commits wait in the other program's log

  EXPECT_TRUE(CopyFileA(source.c_str(), (out.path() + "/copy.mdb").c_str(), FALSE));
  EXPECT_EQ(ReadFile(source), bytes);
  EXPECT_EQ(ReadFile(source + "-wal"), log);
  EXPECT_EQ(ReadFile(source + "-shm"), index);
  EXPECT_EQ(RowsOf(out.path() + "/copy.mdb"), 30);
  EXPECT_EQ(NamesIn(out.path()), std::set<std::string>{"copy.mdb"});

  // Once the writer has closed it, the database is copied byte for byte.
  writer.Finish();
  EXPECT_TRUE(CopyFileA(source.c_str(), (out.path() + "/again.mdb").c_str(), TRUE));
  EXPECT_EQ(ReadFile(out.path() + "/again.mdb"), ReadFile(source));
  EXPECT_EQ(RowsOf(out.path() + "/again.mdb"), 30);
}

// A copy to convert is the same database in the log's mode, the source
// untouched, whether the copy came from a snapshot or byte for byte.
TEST(FileCopyTest, ACopyForWritingDiffersOnlyByItsLogMode) {
  TempDir dir, out;
  const std::string source = dir.path() + "/base.mdb";
  ASSERT_TRUE(CreateTable(source));
  const auto logMode = [](const std::string& path) { return ReadFile(path).substr(18, 2); };
  LiveWriter writer(source, 30);
  ASSERT_TRUE(writer.ready());
  const std::string live = out.path() + "/live.mdb";
  EXPECT_TRUE(CopyFileForWriting(source.c_str(), live.c_str(), TRUE));
  EXPECT_EQ(logMode(live), "\2\2");
  EXPECT_EQ(RowsOf(live), 30);

  writer.Finish();
  const std::string bytes = ReadFile(source);
  const std::string closed = out.path() + "/closed.mdb";
  EXPECT_TRUE(CopyFileForWriting(source.c_str(), closed.c_str(), TRUE));
  EXPECT_EQ(ReadFile(source), bytes);
  std::string expected = bytes;
  expected.replace(18, 2, "\2\2");
  EXPECT_EQ(ReadFile(closed), expected);
  EXPECT_EQ(NamesIn(out.path()), (std::set<std::string>{"live.mdb", "closed.mdb"}));
}

TEST(FileCopyTest, TheLogsOfAWriterKilledOnTheDestinationAreNotPlayedIntoTheCopy) {
  TempDir dir;
  const std::string source = dir.path() + "/base.mdb", dest = dir.path() + "/out.mdb";
  for (const auto& [path, rows] : {std::pair{source, 3}, std::pair{dest, 30}}) {
    ASSERT_TRUE(CreateTable(path));
    LiveWriter writer(path, rows);
    ASSERT_TRUE(writer.ready());
    if (path == dest) {
      // What a kill -9 of that writer leaves: its log and index beside it.
      const std::string log = ReadFile(dest + "-wal"), index = ReadFile(dest + "-shm");
      writer.Finish();
      WriteFile(dest + "-wal", log);
      WriteFile(dest + "-shm", index);
    }
  }
  EXPECT_TRUE(CopyFileA(source.c_str(), dest.c_str(), FALSE));
  EXPECT_EQ(RowsOf(dest), 3);
  EXPECT_EQ(NamesIn(dir.path()), (std::set<std::string>{"base.mdb", "out.mdb"}));
}

TEST(FileCopyTest, TheCopyKeepsTheSourcesModeAndGroupWithTheOwnersWriteNeverMore) {
  TempDir dir;
  const std::string source = dir.path() + "/a.mdb";
  WriteFile(source, "data");
  const auto statOf = [](const std::string& path) {
    struct stat st {};
    stat(path.c_str(), &st);
    return st;
  };
  const bool root = geteuid() == 0;
  // As root the copy can keep any group; a user's copy keeps a group of the
  // user's own.
  const gid_t group = root ? 65534 : getegid();
  if (root) {
    ASSERT_EQ(chown(source.c_str(), static_cast<uid_t>(-1), group), 0);
  }
  // A private database stays private whatever the umask; a read-only one
  // can be converted; nothing gains a bit the source did not have.
  const std::pair<mode_t, mode_t> cases[] = {{0600, 0600}, {0444, 0644}, {0640, 0640}, {0664, 0664}, {0400, 0600}};
  for (const mode_t mask : {022, 0}) {
    for (const auto& [from, expected] : cases) {
      ASSERT_EQ(chmod(source.c_str(), from), 0);
      const std::string dest = dir.path() + "/b" + std::to_string(mask) + "-" + std::to_string(from) + ".mdb";
      // Replacing a destination does not keep its mode either.
      WriteFile(dest, "old");
      ASSERT_EQ(chmod(dest.c_str(), 0666), 0);
      const mode_t old = umask(mask);
      const BOOL copied = CopyFileA(source.c_str(), dest.c_str(), FALSE);
      umask(old);
      EXPECT_TRUE(copied);
      EXPECT_EQ(statOf(dest).st_mode & 07777, expected) << std::oct << from << " umask " << mask;
      EXPECT_EQ(statOf(dest).st_gid, group);
      EXPECT_EQ(ReadFile(dest), "data");
    }
  }
}

TEST(FileCopyTest, ACopyKilledMidwayLeavesNothingBehind) {
  TempDir dir;
  const std::string source = dir.path() + "/big.bin", dest = dir.path() + "/b.mdb";
  // Long enough to copy that the copy can be caught in the act.
  WriteFile(source, "");
  std::filesystem::resize_file(source, 128u << 20);
  ASSERT_TRUE(KillCopyMidway(source, dest, TRUE)) << "the copy ended before it could be killed";
  EXPECT_EQ(NamesIn(dir.path()), std::set<std::string>{"big.bin"});

  WriteFile(dest, "old");
  ASSERT_TRUE(KillCopyMidway(source, dest, FALSE)) << "the copy ended before it could be killed";
  EXPECT_EQ(NamesIn(dir.path()), (std::set<std::string>{"big.bin", "b.mdb"}));
  EXPECT_EQ(ReadFile(dest), "old");
}

TEST(FileCopyTest, OnlyTheTemporariesOfInterruptedCopiesAreRemoved) {
  TempDir dir;
  for (const char* name : {".b.mdb.tmpcopy-Ab12Cd", ".Base.mdb.V2.0.tmpcopy-000000", ".b.mdb.tmpcopy-Ab12C",
                           "b.mdb.tmpcopy-Ab12Cd", ".tmpcopy-Ab12Cd", "b.mdb", ".hidden"})
    WriteFile(dir.path() + "/" + name, "x");
  EXPECT_EQ(RemoveCopyLeftovers(dir.path().c_str()), 2);
  EXPECT_EQ(NamesIn(dir.path()),
            (std::set<std::string>{".b.mdb.tmpcopy-Ab12C", "b.mdb.tmpcopy-Ab12Cd", ".tmpcopy-Ab12Cd", "b.mdb", ".hidden"}));
  EXPECT_EQ(RemoveCopyLeftovers((dir.path() + "/missing").c_str()), 0);
}

TEST(FileCopyTest, ALinkAtANewNameIsATakenNameAndIsNeverFollowed) {
  TempDir dir;
  const std::string source = dir.path() + "/a.mdb", dest = dir.path() + "/a.mdb.V2.0";
  const std::string target = dir.path() + "/elsewhere";
  WriteFile(source, "data");
  ASSERT_EQ(symlink(target.c_str(), dest.c_str()), 0);
  errno = 0;
  EXPECT_FALSE(CopyFileA(source.c_str(), dest.c_str(), TRUE));
  EXPECT_EQ(errno, EEXIST);
  EXPECT_TRUE(NameTaken(dest.c_str()));
  EXPECT_FALSE(PathExists(dest.c_str()));
  EXPECT_FALSE(FileExists(target));
  // Replacing: the link goes, the file it names is not written.
  WriteFile(target, "other");
  EXPECT_TRUE(CopyFileA(source.c_str(), dest.c_str(), FALSE));
  struct stat st {};
  ASSERT_EQ(lstat(dest.c_str(), &st), 0);
  EXPECT_TRUE(S_ISREG(st.st_mode));
  EXPECT_EQ(ReadFile(target), "other");
}
