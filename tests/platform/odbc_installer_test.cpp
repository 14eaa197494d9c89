#include "platform/odbc_installer.h"

#include <fcntl.h>
#include <pwd.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <set>
#include <string>

#include "child_process.h"
#include "platform/database.h"
#include "platform/run_lock.h"
#include "test_support/temp_dir.h"

namespace {

// Nul-separated attribute list, as the installer takes it.
std::string Attributes(std::initializer_list<std::string> pairs) {
  std::string list;
  for (const auto& pair : pairs) list += pair + '\0';
  return list + '\0';
}

BOOL Add(const std::string& attributes, const char* driver = kAccessDriverName) {
  return SQLConfigDataSource(nullptr, ODBC_ADD_DSN, driver, attributes.c_str());
}

BOOL Remove(const std::string& name) {
  return SQLConfigDataSource(nullptr, ODBC_REMOVE_DSN, kAccessDriverName, Attributes({"DSN=" + name}).c_str());
}

const std::string kPath = "/srv/toquelin data/BASE.MDB";

std::atomic<int> g_fsyncs{0};

}  // namespace

// The syncs of the code linked into this binary, the installer's among
// them, are counted here before they reach the system.
extern "C" int fsync(int fd) {
  ++g_fsyncs;
  return static_cast<int>(::syscall(SYS_fsync, fd));
}

namespace {

class OdbcInstallerTest : public ::testing::Test {
 protected:
  std::string ini() const { return m_dir.path() + "/odbc.ini"; }
  std::string systemIni() const { return m_systemDir.path() + "/odbc.ini"; }
  TempDir m_dir, m_systemDir;
  ScopedEnv m_env{"ODBCINI", m_dir.path() + "/odbc.ini"};
  // The machine's own /etc/odbc.ini must not answer the tests' look-ups.
  ScopedEnv m_systemEnv{"ODBCSYSINI", m_systemDir.path()};
};

// A file as a user and other programs leave it: comments, spacing, another
// data source, no line end at the very end.
const char kUserFile[] =
    "; data sources of this user\n"
    "[ODBC Data Sources]\n"
    "Stock   =  PostgreSQL Unicode\n"
    "\n"
    "[Stock]\n"
    "Driver      = PostgreSQL Unicode\n"
    "# the accounting server\n"
    "Servername  = compta.local\n"
    "Database=stock";

TEST_F(OdbcInstallerTest, AddsThenRemovesLeavingTheOtherEntriesAsTheyWere) {
  WriteFile(ini(), kUserFile);
  ASSERT_TRUE(Add(Attributes({"DSN=TQ2TMP", "FIL=MS Access", "MAXBUFFERSIZE=4096", "DBQ=" + kPath})));

  EXPECT_EQ(ReadFile(ini()),
            "; data sources of this user\n"
            "[ODBC Data Sources]\n"
            "Stock   =  PostgreSQL Unicode\n"
            "TQ2TMP=Toquelin jetdb\n"
            "\n"
            "[Stock]\n"
            "Driver      = PostgreSQL Unicode\n"
            "# the accounting server\n"
            "Servername  = compta.local\n"
            "Database=stock\n"
            "\n"
            "[TQ2TMP]\n"
            "Driver=Toquelin jetdb\n"
            "FIL=MS Access\n"
            "MAXBUFFERSIZE=4096\n"
            "DBQ=" + kPath + "\n");
  auto entry = LookUpDataSource("TQ2TMP");
  ASSERT_TRUE(entry);
  EXPECT_EQ(entry->databaseFile, kPath);
  EXPECT_EQ(entry->driver, kAccessDriverName);

  ASSERT_TRUE(Remove("TQ2TMP"));
  // Only the line end that the new section needed after the last line stays.
  EXPECT_EQ(ReadFile(ini()), std::string(kUserFile) + "\n");
  EXPECT_FALSE(LookUpDataSource("TQ2TMP"));
  EXPECT_FALSE(Remove("TQ2TMP"));
}

TEST_F(OdbcInstallerTest, AListTheAddPutAtTheTopGoesWithItsLastName) {
  // Files without the list, in both line-end conventions, one whose first
  // line merely looks like a header, one that ends with a blank line.
  for (const std::string text : {"[Paie]\nDriver=Autre\n", "; compta\r\n[Paie]\r\nDriver=Autre\r\n",
                                 "[ODBC Data Source\rs\n]TQ3mp]\r\nDriver=x\r\nDBQ=/a.mdb\n", "[Paie]\nDriver=Autre\n\n"}) {
    WriteFile(ini(), text);
    ASSERT_TRUE(Add(Attributes({"DSN=TQ2TMP", "DBQ=" + kPath})));
    ASSERT_TRUE(Remove("TQ2TMP"));
    EXPECT_EQ(ReadFile(ini()), text);
  }
}

TEST_F(OdbcInstallerTest, AddingAgainReplacesInPlaceAndKeepsCrLf) {
  WriteFile(ini(), "[ODBC Data Sources]\r\nTQ2TMP=Microsoft Access Driver (*.mdb)\r\n\r\n"
                   "[TQ2TMP]\r\nDBQ=/old.mdb\r\n\r\n[Other]\r\nDriver=x\r\n");
  ASSERT_TRUE(Add(Attributes({"DSN=TQ2TMP", "DBQ=/new.mdb"})));
  EXPECT_EQ(ReadFile(ini()), "[ODBC Data Sources]\r\nTQ2TMP=Toquelin jetdb\r\n\r\n"
                             "[TQ2TMP]\r\nDriver=Toquelin jetdb\r\nDBQ=/new.mdb\r\n\r\n"
                             "[Other]\r\nDriver=x\r\n");
  ASSERT_TRUE(Remove("tq2tmp"));  // names compare without case, as unixODBC's do
  // The list at the top, left empty, goes too: it lists nothing.
  EXPECT_EQ(ReadFile(ini()), "[Other]\r\nDriver=x\r\n");
}

TEST_F(OdbcInstallerTest, CreatesAMissingFile) {
  ASSERT_TRUE(Add(Attributes({"DSN=TQ2TMPSRC", "DBQ=/t/tq2V2_1.mdb"})));
  EXPECT_EQ(ReadFile(ini()), "[ODBC Data Sources]\nTQ2TMPSRC=Toquelin jetdb\n\n"
                             "[TQ2TMPSRC]\nDriver=Toquelin jetdb\nDBQ=/t/tq2V2_1.mdb\n");
}

TEST_F(OdbcInstallerTest, AFileTheAddsMadeGoesWithTheLastRemoveAndAUsersFileStays) {
  ASSERT_TRUE(Add(Attributes({"DSN=TQ2TMP", "DBQ=/a.mdb"})));
  ASSERT_TRUE(Add(Attributes({"DSN=TQ2TMPSRC", "DBQ=/t.mdb"})));
  ASSERT_TRUE(Remove("TQ2TMP"));
  EXPECT_TRUE(LookUpDataSource("TQ2TMPSRC"));
  ASSERT_TRUE(Remove("TQ2TMPSRC"));
  EXPECT_FALSE(FileExists(ini()));

  WriteFile(ini(), kUserFile);
  ASSERT_TRUE(Add(Attributes({"DSN=TQ2TMP", "DBQ=/a.mdb"})));
  ASSERT_TRUE(Remove("TQ2TMP"));
  EXPECT_EQ(ReadFile(ini()), std::string(kUserFile) + "\n");

  // A link the user made stays a link, even to a file left without entries.
  const std::string target = m_dir.path() + "/target.ini";
  const std::string link = m_dir.path() + "/link.ini";
  WriteFile(target, "");
  ASSERT_EQ(symlink(target.c_str(), link.c_str()), 0);
  ScopedEnv env("ODBCINI", link);
  ASSERT_TRUE(Add(Attributes({"DSN=TQ2TMP", "DBQ=/a.mdb"})));
  ASSERT_TRUE(Remove("TQ2TMP"));
  struct stat st {};
  ASSERT_EQ(lstat(link.c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
}

TEST_F(OdbcInstallerTest, OnlyAFileWithLinesOfOthersWaitsForTheDisk) {
  // A file the adds made holds only their data sources: nobody needs it
  // after a power cut.
  g_fsyncs = 0;
  ASSERT_TRUE(Add(Attributes({"DSN=TQ2TMP", "DBQ=/a.mdb"})));
  ASSERT_TRUE(Add(Attributes({"DSN=TQ2TMPSRC", "DBQ=/t.mdb"})));
  ASSERT_TRUE(Remove("TQ2TMPSRC"));
  EXPECT_EQ(g_fsyncs, 0);
  // Another program adds a data source of its own meanwhile: from then on
  // each replacement waits, so that a power cut cannot take that one away.
  WriteFile(ini(), ReadFile(ini()) + "\n[Other]\nDriver=PostgreSQL Unicode\n");
  ASSERT_TRUE(Add(Attributes({"DSN=TQ2TMPSRC", "DBQ=/t.mdb"})));
  EXPECT_EQ(g_fsyncs, 1);
  ASSERT_TRUE(Remove("TQ2TMPSRC"));
  EXPECT_EQ(g_fsyncs, 2);
  ASSERT_TRUE(Remove("TQ2TMP"));
  EXPECT_EQ(g_fsyncs, 3);
  EXPECT_NE(ReadFile(ini()).find("[Other]"), std::string::npos);

  // The user's own file waits from its first change.
  WriteFile(ini(), kUserFile);
  ASSERT_TRUE(Add(Attributes({"DSN=TQ2TMP", "DBQ=/a.mdb"})));
  EXPECT_EQ(g_fsyncs, 4);
  // Removed once it holds no data source, and made again, the file is the
  // adds' own again.
  std::filesystem::remove(ini());
  ASSERT_TRUE(Add(Attributes({"DSN=TQ2TMP", "DBQ=/a.mdb"})));
  ASSERT_TRUE(Add(Attributes({"DSN=TQ2TMPSRC", "DBQ=/t.mdb"})));
  EXPECT_EQ(g_fsyncs, 4);
}

TEST_F(OdbcInstallerTest, TheSystemFileAnswersWhatTheUserFileDoesNotHold) {
  const std::string system =
      "[ODBC Data Sources]\nCentral=Microsoft Access Driver (*.mdb)\n\n"
      "[Central]\nDriver=Microsoft Access Driver (*.mdb)\nDBQ=/srv/central.mdb\n\n"
      "[TQ2TMP]\nDriver=Microsoft Access Driver (*.mdb)\nDBQ=/srv/system.mdb\n";
  WriteFile(systemIni(), system);
  EXPECT_EQ(SystemDataSourceFile(), systemIni());
  ASSERT_TRUE(LookUpDataSource("central"));
  EXPECT_EQ(LookUpDataSource("central")->databaseFile, "/srv/central.mdb");

  // A user data source hides the system one of its name until it goes.
  ASSERT_TRUE(Add(Attributes({"DSN=TQ2TMP", "DBQ=/home/user.mdb"})));
  EXPECT_EQ(LookUpDataSource("TQ2TMP")->databaseFile, "/home/user.mdb");
  ASSERT_TRUE(Remove("TQ2TMP"));
  EXPECT_EQ(LookUpDataSource("TQ2TMP")->databaseFile, "/srv/system.mdb");

  // Data sources of older runs name our driver by the Access name; one of
  // another driver keeps its own name, which the callers refuse.
  WriteFile(ini(), "[Old]\nDriver=Microsoft Access Driver (*.mdb)\nDBQ=/o.mdb\n[Mdb]\nDriver=MDBTools\nDBQ=/m.mdb\n");
  EXPECT_EQ(LookUpDataSource("Old")->driver, kAccessDriverName);
  EXPECT_EQ(LookUpDataSource("Mdb")->driver, "MDBTools");

  // System data sources are only read.
  EXPECT_FALSE(Remove("Central"));
  EXPECT_EQ(ReadFile(systemIni()), system);

  unsetenv("ODBCSYSINI");
  EXPECT_EQ(SystemDataSourceFile(), "/etc/odbc.ini");
}

TEST_F(OdbcInstallerTest, RefusesOtherDriversRequestsAndUnwritableFiles) {
  WriteFile(ini(), kUserFile);
  EXPECT_FALSE(Add(Attributes({"DSN=TQ2TMP", "DBQ=/a.mdb"}), "SQLite3"));
  EXPECT_FALSE(Add(Attributes({"FIL=MS Access", "DBQ=/a.mdb"})));  // no DSN
  EXPECT_FALSE(SQLConfigDataSource(nullptr, 4 /* ODBC_ADD_SYS_DSN */, kAccessDriverName,
                                   Attributes({"DSN=TQ2TMP", "DBQ=/a.mdb"}).c_str()));
  EXPECT_EQ(ReadFile(ini()), kUserFile);

  ScopedEnv elsewhere("ODBCINI", m_dir.path() + "/missing/odbc.ini");
  EXPECT_FALSE(Add(Attributes({"DSN=TQ2TMP", "DBQ=/a.mdb"})));
}

std::string Shell(const std::string& command) {
  std::string out;
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  char buffer[256];
  while (pipe && fgets(buffer, sizeof buffer, pipe.get())) out += buffer;
  return out;
}

TEST_F(OdbcInstallerTest, UnixOdbcListsTheDataSourceWhileItIsRegistered) {
  if (Shell("command -v odbcinst").empty()) GTEST_SKIP() << "odbcinst is not installed";
  WriteFile(ini(), kUserFile);
  ASSERT_TRUE(Add(Attributes({"DSN=TQ2TMP", "FIL=MS Access", "MAXBUFFERSIZE=4096", "DBQ=" + kPath})));
  std::string listed = Shell("odbcinst -q -s 2>&1");
  EXPECT_NE(listed.find("[TQ2TMP]"), std::string::npos) << listed;
  EXPECT_NE(listed.find("[Stock]"), std::string::npos) << listed;
  const std::string section = Shell("odbcinst -q -s -n TQ2TMP 2>&1");
  EXPECT_NE(section.find("DBQ=" + kPath), std::string::npos) << section;
  // The driver unixODBC loads for it is ours, whoever holds the Access name.
  EXPECT_NE(section.find(std::string("Driver=") + kJetdbDriverName + "\n"), std::string::npos) << section;

  ASSERT_TRUE(Remove("TQ2TMP"));
  listed = Shell("odbcinst -q -s 2>&1");
  EXPECT_EQ(listed.find("[TQ2TMP]"), std::string::npos) << listed;
  EXPECT_NE(listed.find("[Stock]"), std::string::npos) << listed;
}

// unixODBC reads the passwd entry's home, not $HOME (a test's or sudo's),
// and ODBCINI before it: the file written is the file its tools read.
TEST_F(OdbcInstallerTest, TheUserFileIsTheOneUnixOdbcReadsWhateverHomeSays) {
  ScopedEnv home("HOME", m_dir.path());
  const passwd* pw = getpwuid(getuid());
  ASSERT_NE(pw, nullptr);
  EXPECT_EQ(UserDataSourceFile(), ini());
  const bool tools = !Shell("command -v odbcinst").empty();
  auto unixOdbcFile = [] {
    std::string out = Shell("odbcinst -j 2>&1");
    const std::string label = "USER DATA SOURCES..: ";
    std::size_t at = out.find(label);
    return at == std::string::npos ? out : out.substr(at + label.size(), out.find('\n', at) - at - label.size());
  };
  if (tools) {
    EXPECT_EQ(unixOdbcFile(), ini());
  }
  unsetenv("ODBCINI");
  EXPECT_EQ(UserDataSourceFile(), std::string(pw->pw_dir) + "/.odbc.ini");
  if (tools) {
    EXPECT_EQ(unixOdbcFile(), UserDataSourceFile());
  }
  ScopedEnv empty("ODBCINI", "");
  EXPECT_EQ(UserDataSourceFile(), std::string(pw->pw_dir) + "/.odbc.ini");
}

std::set<std::string> Names(const std::string& folder) {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) names.insert(entry.path().filename());
  return names;
}

mode_t Mode(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0;
}

TEST_F(OdbcInstallerTest, NoByteOfAPairChangesTheFilesStructure) {
  const std::string refused[] = {
      Attributes({"DSN=TQ2TMP", "DBQ=/srv/a.mdb\n[Evil]\nDriver=/tmp/evil.so"}),
      Attributes({"DSN=TQ2TMP", "DBQ=/srv/a.mdb\r"}),
      Attributes({"DSN=TQ2TMP", "DBQ=/srv/\ta.mdb"}),
      Attributes({"DSN=TQ2TMP", "DBQ=/srv/a.mdb "}),  // read back as another file
      Attributes({"DSN=TQ2TMP", "DBQ= /srv/a.mdb"}),
      Attributes({"DSN=TQ2TMP", "DBQ=/srv/a\x7F.mdb"}),
      Attributes({"DSN=TQ2TMP", "DBQ=/srv/a\x01.mdb"}),
      Attributes({"DSN=TQ2TMP", "FIL\n[Evil]\nx=MS Access"}),  // in a key
      Attributes({"DSN=TQ2\nTMP", "DBQ=/a.mdb"}),               // in the name
      Attributes({"DSN=TQ2TMP", "[Evil]=x"}),                   // a key that reads as a header
      Attributes({"DSN=TQ2TMP", ";FIL=MS Access"}),             // a key that reads as a comment
  };
  WriteFile(ini(), kUserFile);
  for (const std::string& attributes : refused) {
    EXPECT_FALSE(Add(attributes)) << attributes;
    EXPECT_EQ(ReadFile(ini()), kUserFile) << attributes;
  }
  EXPECT_FALSE(LookUpDataSource("Evil"));
  EXPECT_FALSE(Remove("Stock\n"));
  EXPECT_EQ(ReadFile(ini()), kUserFile);

  // Every other byte is the value's own, and reads back as it was written.
  const std::string path = "/srv/a=b [x]; #y \xC3\xA9.mdb";
  ASSERT_TRUE(Add(Attributes({"DSN=TQ2TMP", "DBQ=" + path})));
  ASSERT_TRUE(LookUpDataSource("TQ2TMP"));
  EXPECT_EQ(LookUpDataSource("TQ2TMP")->databaseFile, path);

  ScopedEnv missing("ODBCINI", m_dir.path() + "/new.ini");
  EXPECT_FALSE(Add(refused[0]));
  EXPECT_FALSE(FileExists(m_dir.path() + "/new.ini"));
}

TEST_F(OdbcInstallerTest, ALoopOfLinksIsARefusalNotAnException) {
  ASSERT_EQ(symlink("loop", (m_dir.path() + "/loop").c_str()), 0);
  for (const std::string& file : {m_dir.path() + "/loop", m_dir.path() + "/loop/odbc.ini"}) {
    ScopedEnv env("ODBCINI", file);
    EXPECT_FALSE(Add(Attributes({"DSN=TQ2TMP", "DBQ=/a.mdb"}))) << file;
    EXPECT_FALSE(Remove("TQ2TMP")) << file;
    EXPECT_FALSE(LookUpDataSource("TQ2TMP")) << file;
    CDatabase db;
    EXPECT_THROW(db.OpenEx("ODBC;DSN=TQ2TMP;"), CDBException) << file;
  }
  EXPECT_EQ(CRunLock().Acquire(m_dir.path() + "/loop/odbc.ini.lock", 0), CRunLock::Result::Unavailable);
}

TEST_F(OdbcInstallerTest, AFolderTheUserCannotSearchIsARefusalNotAnException) {
  // Root searches every folder: the child gives up root to see the refusal.
  const bool root = geteuid() == 0;
  const std::optional<UserIds> nobody = Nobody();
  if (root && !nobody) GTEST_SKIP() << "running as root and there is no user nobody to run as";
  const std::string folder = m_dir.path() + "/locked";
  ASSERT_EQ(mkdir(folder.c_str(), 0700), 0);
  WriteFile(folder + "/odbc.ini", kUserFile);
  ScopedEnv env("ODBCINI", folder + "/odbc.ini");
  ASSERT_EQ(chmod(m_dir.path().c_str(), 0711), 0);  // the child reaches the folder, not into it
  ASSERT_EQ(chmod(folder.c_str(), 0), 0);
  const std::string problems = ProblemsInChild([&] {
    if (root && !BecomeUser(*nobody)) return std::string("could not become nobody; ");
    std::string report;
    if (Add(Attributes({"DSN=TQ2TMP", "DBQ=/a.mdb"}))) report += "added; ";
    if (Remove("Stock")) report += "removed; ";
    if (LookUpDataSource("Stock")) report += "looked up; ";
    try {
      CDatabase db;
      db.OpenEx("ODBC;DSN=Stock;");
      report += "opened; ";
    } catch (CDBException&) {
    }
    if (CRunLock().Acquire(UserDataSourceFile() + ".lock", 0) != CRunLock::Result::Unavailable) report += "locked; ";
    return report;
  });
  ASSERT_EQ(chmod(folder.c_str(), 0700), 0);
  EXPECT_EQ(problems, "");
  EXPECT_EQ(ReadFile(folder + "/odbc.ini"), kUserFile);
}

TEST_F(OdbcInstallerTest, AFifoIsRefusedWithoutWaitingForAWriter) {
  ASSERT_EQ(mkfifo(ini().c_str(), 0600), 0);
  EXPECT_EQ(ProblemsInChild(
                [] {
                  std::string report;
                  if (Add(Attributes({"DSN=TQ2TMP", "DBQ=/a.mdb"}))) report += "added; ";
                  if (Remove("TQ2TMP")) report += "removed; ";
                  if (LookUpDataSource("TQ2TMP")) report += "looked up; ";
                  return report;
                },
                5),
            "");
  struct stat st {};
  ASSERT_EQ(lstat(ini().c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));
}

TEST_F(OdbcInstallerTest, AKillWhileWritingLeavesTheFileAndNothingElse) {
  const int probe = open(m_dir.path().c_str(), O_TMPFILE | O_WRONLY, 0600);
  if (probe < 0) GTEST_SKIP() << "this file system has no unnamed files (O_TMPFILE): the copy is named from the start";
  close(probe);
  WriteFile(ini(), kUserFile);
  const ChildEnd end = RunInChild([] {
    // No file may grow at all: the first write of the new text ends the
    // process with SIGXFSZ, as a kill would.
    const rlimit none{0, 0};
    setrlimit(RLIMIT_CORE, &none);
    std::signal(SIGXFSZ, SIG_DFL);
    setrlimit(RLIMIT_FSIZE, &none);
    return std::string(Add(Attributes({"DSN=TQ2TMP", "DBQ=/a.mdb"})) ? "added" : "refused");
  });
  EXPECT_EQ(end.signal, SIGXFSZ) << end.report;
  EXPECT_EQ(Names(m_dir.path()), std::set<std::string>{"odbc.ini"});
  EXPECT_EQ(ReadFile(ini()), kUserFile);
}

TEST_F(OdbcInstallerTest, TheFileKeepsItsModeAndItsLinkAndNoCopyStays) {
  ASSERT_TRUE(Add(Attributes({"DSN=TQ2TMP", "DBQ=/a.mdb"})));
  EXPECT_EQ(Mode(ini()), 0600u);  // a new file is the user's alone
  ASSERT_EQ(chmod(ini().c_str(), 0664), 0);  // bits that a umask of 022 would clear
  ASSERT_TRUE(Add(Attributes({"DSN=TQ2TMPSRC", "DBQ=/t.mdb"})));
  EXPECT_EQ(Mode(ini()), 0664u);

  const std::string link = m_dir.path() + "/link.ini";
  ASSERT_EQ(symlink(ini().c_str(), link.c_str()), 0);
  ScopedEnv env("ODBCINI", link);
  ASSERT_TRUE(Remove("TQ2TMP"));
  struct stat st {};
  ASSERT_EQ(lstat(link.c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  EXPECT_EQ(ReadFile(ini()).find("[TQ2TMP]"), std::string::npos);
  EXPECT_NE(ReadFile(ini()).find("[TQ2TMPSRC]"), std::string::npos);
  EXPECT_EQ(Mode(ini()), 0664u);
  EXPECT_EQ(Names(m_dir.path()), (std::set<std::string>{"odbc.ini", "link.ini"}));
}

TEST_F(OdbcInstallerTest, RemovesOnlyTheUsersOwnStaleCopiesOfTheFile) {
  const std::string dir = m_dir.path() + "/";
  WriteFile(ini(), kUserFile);
  for (const char* stale : {"odbc.ini.updater-a1B2c3", "odbc.ini.updater-XXXXXX"}) WriteFile(dir + stale, "[half");
  std::set<std::string> kept{"odbc.ini",
                              "odbc.ini.old",
                              "odbc.ini.updater-a1B2",      // not the shape of a copy
                              "odbc.ini.updater-a1B2c3d",
                              "odbc.ini.updater-a1B2c!",
                              "other.ini.updater-a1B2c3"};  // another file's
  for (const std::string& name : kept) {
    if (name != "odbc.ini") WriteFile(dir + name, "x");
  }
  ASSERT_EQ(mkdir((dir + "odbc.ini.updater-d4E5f6").c_str(), 0700), 0);
  ASSERT_EQ(symlink(ini().c_str(), (dir + "odbc.ini.updater-g7H8i9").c_str()), 0);
  kept.insert({"odbc.ini.updater-d4E5f6", "odbc.ini.updater-g7H8i9"});
  if (const std::optional<UserIds> nobody = Nobody(); geteuid() == 0 && nobody) {
    WriteFile(dir + "odbc.ini.updater-j1K2l3", "x");
    ASSERT_EQ(chown((dir + "odbc.ini.updater-j1K2l3").c_str(), nobody->uid, nobody->gid), 0);
    kept.insert("odbc.ini.updater-j1K2l3");  // another user's
  }
  EXPECT_EQ(RemoveStaleDataSourceCopies(), 2);
  EXPECT_EQ(Names(m_dir.path()), kept);
  EXPECT_EQ(ReadFile(ini()), kUserFile);

  // Behind a link, the copies are beside the file the link leads to.
  ASSERT_EQ(mkdir((dir + "real").c_str(), 0700), 0);
  WriteFile(dir + "real/odbc.ini", kUserFile);
  WriteFile(dir + "real/odbc.ini.updater-m4N5o6", "[half");
  ASSERT_EQ(symlink((dir + "real/odbc.ini").c_str(), (dir + "link.ini").c_str()), 0);
  ScopedEnv env("ODBCINI", dir + "link.ini");
  EXPECT_EQ(RemoveStaleDataSourceCopies(), 1);
  EXPECT_FALSE(FileExists(dir + "real/odbc.ini.updater-m4N5o6"));
}

}  // namespace
