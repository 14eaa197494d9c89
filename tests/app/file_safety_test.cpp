// The real program against the files around it, as an unlucky user and a
// careless admin leave them: templates it may not write, a source another
// program holds open, planted links, odd settings paths, signals, debris,
// and failures that must say why.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/run_lock.h"
#include "test_support/db_shell.h"
#include "test_support/updater_run.h"

namespace fs = std::filesystem;

namespace {

bool IsRoot() { return geteuid() == 0; }

// The bytes of every file of a folder, by name.
std::map<std::string, std::string> Snapshot(const std::string& folder) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::directory_iterator(folder)) files[entry.path().filename()] = ReadFile(entry.path());
  return files;
}

// True once the process catches `sig` (its SigCgt mask in /proc says so).
bool WaitUntilCaught(pid_t pid, int sig) {
  for (int i = 0; i < 5000; ++i) {
    const std::string status = ReadFile("/proc/" + std::to_string(pid) + "/status");
    const std::size_t at = status.find("SigCgt:");
    if (at != std::string::npos && (std::stoull(status.substr(at + 7), nullptr, 16) >> (sig - 1)) & 1) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return false;
}

bool Sql(sqlite3* db, const char* sql) { return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK; }

class FileSafetyTest : public ::testing::Test {
 protected:
  FileSafetyTest() {
    // Templates of its own: some tests make the folder read-only or aim a
    // destination at it.
    CopyTemplates(TEMPLATE_DIR, m_templates.path());
  }

  std::string Sample(const std::string& name = "Base.mdb") {
    const std::string path = m_run.work() + "/" + name;
    fs::copy_file(SAMPLE_DB, path, fs::copy_options::overwrite_existing);
    return path;
  }

  std::string Dest() const { return m_run.work() + "/out/Base.mdb"; }

  int Convert(const std::string& source, const std::string& dest, const std::string& env = "") {
    fs::create_directories(m_run.work() + "/out");
    return m_run.Run("'/SRC=" + source + "' '/DEST=" + dest + "'", env);
  }

  // Exactly one line of standard error gives the reason, and names it;
  // the others name the journal and the settings' mistakes.
  void ExpectOneReason(const std::string& words) {
    std::vector<std::string> reasons;
    std::istringstream lines(m_run.stderrText());
    for (std::string line; std::getline(lines, line);) {
      if (line.rfind("updater : ", 0) == 0 && line.rfind("updater : journal : ", 0) != 0 &&
          line.rfind("updater : réglages", 0) != 0) {
        reasons.push_back(line);
      }
    }
    ASSERT_EQ(reasons.size(), 1u) << m_run.stderrText();
    EXPECT_NE(reasons[0].find(words), std::string::npos) << reasons[0];
  }

  TempDir m_templates;
  UpdaterRun m_run{m_templates.path()};
};

TEST_F(FileSafetyTest, TemplatesAndASourceWithDestinationAreOnlyRead) {
  const std::string source = Sample();
  // A source in rollback-journal mode, as another SQLite tool leaves it.
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(source.c_str(), &db), SQLITE_OK);
  ASSERT_TRUE(Sql(db, "PRAGMA journal_mode=DELETE"));
  sqlite3_close(db);
  const std::string before = ReadFile(source);
  const auto templates = Snapshot(m_templates.path());
  ASSERT_EQ(chmod(m_templates.path().c_str(), 0555), 0);

  ASSERT_EQ(Convert(source, Dest()), 0) << m_run.stderrText();
  chmod(m_templates.path().c_str(), 0755);
  EXPECT_EQ(Version(Dest()), ReachedVersion());
  EXPECT_TRUE(ReadFile(source) == before) << "the source changed";
  EXPECT_FALSE(FileExists(source + "-wal"));
  EXPECT_FALSE(FileExists(source + "-shm"));
  // Byte for byte, and nothing written beside them.
  EXPECT_TRUE(Snapshot(m_templates.path()) == templates) << "the template folder changed";
}

TEST_F(FileSafetyTest, ASourceLeftInWalModeIsConvertedAndLeftAsItWas) {
  // Earlier builds, and other SQLite tools, leave files whose header asks
  // for a log that a clean close removed.
  const std::string source = Sample();
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(source.c_str(), &db), SQLITE_OK);
  ASSERT_TRUE(Sql(db, "PRAGMA journal_mode=WAL"));
  sqlite3_close(db);
  const std::string before = ReadFile(source);
  ASSERT_EQ(Convert(source, Dest()), 0) << m_run.stderrText();
  EXPECT_EQ(Version(Dest()), ReachedVersion());
  EXPECT_TRUE(ReadFile(source) == before) << "the source changed";
  EXPECT_FALSE(FileExists(source + "-wal"));
  EXPECT_FALSE(FileExists(source + "-shm"));
}

TEST_F(FileSafetyTest, TheCopyHoldsCommitsStillInAnotherProgramsLog) {
  const std::string source = Sample();
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(source.c_str(), &db), SQLITE_OK);
  ASSERT_TRUE(Sql(db, "PRAGMA journal_mode=WAL"));
  ASSERT_TRUE(Sql(db, "PRAGMA wal_autocheckpoint=0"));
  // By the row's identity: the driver's collation is not registered here.
  ASSERT_TRUE(Sql(db, "UPDATE [Recettes] SET [CODE_AN]='Commis au journal' WHERE _jet_row=1"));
  ASSERT_GT(fs::file_size(source + "-wal"), 0u);

  EXPECT_EQ(Convert(source, Dest()), 0) << m_run.stderrText();
  EXPECT_EQ(Text(Dest(), "SELECT [CODE_AN] FROM [Recettes] WHERE [CODE_AN]='Commis au journal'"), "Commis au journal");
  sqlite3_close(db);
}

TEST_F(FileSafetyTest, ATemplateIsNeverTheFileConverted) {
  const std::string source = Sample();
  const auto templates = Snapshot(m_templates.path());
  // A relative DEST= is taken in the template folder.
  EXPECT_EQ(m_run.Run("'/SRC=" + source + "' /DEST=tq2V2_1.mdb"), kFailed);
  ExpectOneReason("base modèle");
  EXPECT_NE(m_run.Journal(m_templates.path()).find("ERREUR : Le fichier à mettre à jour est une base modèle"),
            std::string::npos);
  fs::remove(m_templates.path() + "/Updater.log");
  // Converting a template in place is refused the same way.
  EXPECT_EQ(m_run.Run("/SRC=tq2V2_2.mdb"), kFailed);
  fs::remove(m_templates.path() + "/Updater.log");
  EXPECT_TRUE(Snapshot(m_templates.path()) == templates) << "the template folder changed";
}

TEST_F(FileSafetyTest, NoValueChangesTheShapeOfTheDataSourceFile) {
  const std::string other = "[ODBC Data Sources]\nPaie=Autre\n\n[Paie]\nDriver=Autre\nDatabase=/srv/paie\n";
  WriteFile(m_run.odbcIni(), other);
  const std::string source = Sample("Base\n[Injecte]\nDriver=x\n.mdb");
  EXPECT_EQ(Convert(source, Dest()), kFailed);
  EXPECT_EQ(ReadFile(m_run.odbcIni()), other);
  ExpectOneReason("TQ2TMP");
}

TEST_F(FileSafetyTest, APlantedJournalLinkIsNotFollowed) {
  fs::create_directories(m_run.work() + "/out");
  const std::string victim = m_run.work() + "/victime.txt";
  WriteFile(victim, "le fichier d'un autre\n");
  fs::create_symlink(victim, m_run.work() + "/out/Updater.log");
  // The run goes on without a journal.
  EXPECT_EQ(Convert(Sample(), Dest()), 0) << m_run.stderrText();
  EXPECT_EQ(ReadFile(victim), "le fichier d'un autre\n");
  EXPECT_TRUE(fs::is_symlink(m_run.work() + "/out/Updater.log"));
  EXPECT_EQ(Version(Dest()), ReachedVersion());
}

TEST_F(FileSafetyTest, OddSettingsPathsAreRefusalsNotCrashes) {
  const std::string source = Sample();
  // A data-source file that is a link loop.
  const std::string loop = m_run.work() + "/boucle.ini";
  fs::create_symlink(loop, loop);
  EXPECT_EQ(Convert(source, Dest(), "ODBCINI='" + loop + "'"), kFailed) << m_run.stderrText();
  ExpectOneReason("TQ2TMP");
  // FIFOs where the settings are read must not hang the run.
  const std::string fifo = m_run.work() + "/fifo.ini";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_EQ(Convert(source, Dest(), "ODBCINI='" + fifo + "' timeout 20"), kFailed) << m_run.stderrText();
  const std::string hive = m_run.registryDir() + "/HKEY_CURRENT_USER.reg";
  fs::remove(hive);
  ASSERT_EQ(mkfifo(hive.c_str(), 0600), 0);
  EXPECT_EQ(Convert(source, Dest(), "timeout 20"), 0) << m_run.stderrText();
  EXPECT_EQ(Version(Dest()), ReachedVersion());
}

TEST_F(FileSafetyTest, AFolderTheUserCannotSearchIsARefusal) {
  if (IsRoot() && !FileExists("/usr/bin/setpriv")) GTEST_SKIP() << "root without setpriv: no other user to run as";
  const std::string closed = m_run.work() + "/ferme";
  fs::create_directories(closed);
  ASSERT_EQ(chmod(closed.c_str(), 0), 0);
  fs::permissions(m_run.work(), fs::perms::all);
  fs::permissions(m_run.registryDir(), fs::perms::all);
  const std::string source = Sample();
  fs::permissions(source, fs::perms::all);
  fs::create_directories(m_run.work() + "/out");
  fs::permissions(m_run.work() + "/out", fs::perms::all);
  // As root a mode restricts nothing: drop to nobody for the run.
  const std::string asUser = IsRoot() ? "setpriv --reuid=nobody --regid=nogroup --clear-groups" : "";
  EXPECT_EQ(m_run.Run("'/SRC=" + source + "' '/DEST=" + Dest() + "'", "ODBCINI='" + closed + "/odbc.ini' " + asUser),
            kFailed)
      << m_run.stderrText();
  ExpectOneReason("TQ2TMP");
  chmod(closed.c_str(), 0755);
}

TEST_F(FileSafetyTest, ADatabaseThatAnotherRunWritesIsLeftToIt) {
  const std::string source = Sample();
  const std::string before = ReadFile(source);
  CRunLock other;
  ASSERT_EQ(other.Acquire(source + ".lock", 0), CRunLock::Result::Held);
  // Settings of its own: the data-source lock does not stand in its way.
  EXPECT_EQ(m_run.Run("'/SRC=" + source + "'", "UPDATER_LOCK_TIMEOUT=1 ODBCINI='" + m_run.work() + "/autre.ini'"),
            kFailed);
  ExpectOneReason("une autre conversion écrit déjà " + source);
  EXPECT_TRUE(ReadFile(source) == before) << "the source changed";
  EXPECT_FALSE(FileExists(source + ".V2.0"));
}

TEST_F(FileSafetyTest, StaleDataSourcesOfAKilledRunAreRemovedUnderTheLock) {
  const std::string other = "[ODBC Data Sources]\nPaie=Autre\n\n[Paie]\nDriver=Autre\n";
  WriteFile(m_run.odbcIni(), other +
                                 "\n[TQ2TMP]\nDriver=Microsoft Access Driver (*.mdb)\nDBQ=/ailleurs/a.mdb\n"
                                 "\n[TQ2TMPSRC]\nDriver=Microsoft Access Driver (*.mdb)\nDBQ=/ailleurs/b.mdb\n");
  // And the copy a killed edit of the file left.
  const std::string debris = m_run.odbcIni() + ".updater-Ab12Cd";
  WriteFile(debris, "[TQ2TMP]\n");
  // And a copy killed where the file system has no unnamed files.
  const std::string copyDebris = m_run.work() + "/.Base.mdb.tmpcopy-Xy12Zt";
  WriteFile(copyDebris, "moitié de copie");
  // Even a run that converts nothing leaves the file clean.
  const std::string notADatabase = m_run.work() + "/texte.mdb";
  WriteFile(notADatabase, "pas une base");
  EXPECT_EQ(m_run.Run("'/SRC=" + notADatabase + "'"), kFailed);
  ExpectOneReason("non reconnue");
  const std::string after = ReadFile(m_run.odbcIni());
  EXPECT_EQ(after.find("TQ2TMP"), std::string::npos) << after;
  EXPECT_NE(after.find("[Paie]\nDriver=Autre\n"), std::string::npos) << after;
  EXPECT_FALSE(FileExists(debris));
  EXPECT_FALSE(FileExists(copyDebris));
}

TEST_F(FileSafetyTest, SignalsEndTheRunAtAStatementAndRemoveItsDataSources) {
  const std::string source = Sample();
  fs::create_directories(m_run.work() + "/out");
  int interrupted = 0;
  const int signals[] = {SIGINT, SIGTERM, SIGHUP};
  for (int attempt = 0; attempt < 24; ++attempt) {
    const int sig = signals[attempt % 3];
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      setenv("UPDATER_REGISTRY", m_run.registryDir().c_str(), 1);
      setenv("ODBCINI", m_run.odbcIni().c_str(), 1);
      const int out = open("/dev/null", O_WRONLY);
      const int err = open((m_run.work() + "/stderr.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      if (out < 0 || err < 0 || dup2(out, 1) < 0 || dup2(err, 2) < 0) _exit(126);
      const std::string src = "/SRC=" + source, dest = "/DEST=" + Dest();
      execl(UPDATER_BINARY, "updater", src.c_str(), dest.c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
    // A signal before the program holds them ends it as any program; what
    // is tested starts once it does, from the very start of the run to well
    // past the structure phase.
    ASSERT_TRUE(WaitUntilCaught(pid, sig));
    std::this_thread::sleep_for(std::chrono::milliseconds(attempt * 6));
    kill(pid, sig);
    int status = 0;
    waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFEXITED(status)) << "attempt " << attempt << " ended by signal " << WTERMSIG(status);
    const int code = WEXITSTATUS(status);
    ASSERT_TRUE(code == 0 || code == kFailed) << code;
    if (code == kFailed) {
      ++interrupted;
      EXPECT_NE(ReadFile(m_run.work() + "/stderr.txt").find("interrompue par le signal"), std::string::npos)
          << ReadFile(m_run.work() + "/stderr.txt");
    }
    if (FileExists(m_run.odbcIni())) {
      EXPECT_EQ(ReadFile(m_run.odbcIni()).find("TQ2TMP"), std::string::npos) << "attempt " << attempt;
    }
  }
  EXPECT_GT(interrupted, 0);
  // The lock is free: a run after them converts.
  EXPECT_EQ(Convert(source, Dest(), "UPDATER_LOCK_TIMEOUT=1"), 0) << m_run.stderrText();
}

TEST_F(FileSafetyTest, AFailedRunSaysWhyWhateverDebugSays) {
  m_run.SetDebug(false);
  const std::string source = Sample();
  EXPECT_EQ(m_run.Run("'/SRC=" + source + "' '/DEST=" + m_run.work() + "/absent/Base.mdb'"), kFailed);
  ExpectOneReason(m_run.work() + "/absent/Base.mdb");
  EXPECT_EQ(m_run.Run("/SRC="), kFailed);
  ExpectOneReason("/SRC=");
  EXPECT_EQ(m_run.Run(""), kFailed);
  EXPECT_EQ(m_run.stderrText().rfind("Usage : updater", 0), 0u) << m_run.stderrText();
}

TEST_F(FileSafetyTest, AFailedInPlaceRunNamesTheBackupThatHoldsTheOriginal) {
  m_run.SetDebug(false);
  const std::string source = Sample();
  const std::string original = ReadFile(source);
  // The first step changes the structure, then fails on its template.
  fs::remove(m_templates.path() + "/tq2V2_1.mdb");
  EXPECT_EQ(m_run.Run("'/SRC=" + source + "'"), kFailed);
  ExpectOneReason("la base d'origine est conservée dans " + source + ".V2.0.");
  EXPECT_EQ(ReadFile(source + ".V2.0"), original);
  // The first step left its structure half changed: the next run starts
  // again from the backup rather than run that step a second time.
  fs::copy_file(std::string(TEMPLATE_DIR) + "/tq2V2_1.mdb", m_templates.path() + "/tq2V2_1.mdb");
  EXPECT_EQ(m_run.Run("'/SRC=" + source + "'"), 0) << m_run.stderrText();
  EXPECT_EQ(Version(source), ReachedVersion());
  EXPECT_TRUE(ReadFile(source + ".V2.0.1") == original) << "the second backup is not the original";
  EXPECT_FALSE(FileExists(source + ".reprise"));
  // The file it replaced is kept, in case the user had worked on it since.
  EXPECT_TRUE(HasColumn(source + ".inachevee", "Utilisateurs", "VALNULLBE"));
  // A run that fails before any backup names none.
  EXPECT_EQ(m_run.Run("'/SRC=" + m_run.work() + "/absente.mdb'"), kFailed);
  EXPECT_EQ(m_run.stderrText().find("conservée"), std::string::npos) << m_run.stderrText();
}

TEST_F(FileSafetyTest, AConvertedDatabaseRunAgainInPlaceIsLeftAsItIs) {
  ASSERT_EQ(Convert(Sample(), Dest()), 0) << m_run.stderrText();
  ASSERT_EQ(Version(Dest()), ReachedVersion());
  const std::string folder = m_run.work() + "/out";
  fs::remove(folder + "/Updater.log");
  const auto converted = Snapshot(folder);
  auto names = [](const std::map<std::string, std::string>& files) {
    std::string text;
    for (const auto& file : files) text += " " + file.first;
    return text;
  };
  // Byte for byte, and no backup beside it; with Debug, the journal asked for.
  m_run.SetDebug(false);
  EXPECT_EQ(m_run.Run("'/SRC=" + Dest() + "'"), 0) << m_run.stderrText();
  EXPECT_TRUE(Snapshot(folder) == converted) << names(Snapshot(folder));
  m_run.SetDebug(true);
  EXPECT_EQ(m_run.Run("'/SRC=" + Dest() + "'"), 0) << m_run.stderrText();
  auto journaled = Snapshot(folder);
  EXPECT_EQ(journaled.erase("Updater.log"), 1u) << names(journaled);
  EXPECT_TRUE(journaled == converted) << names(journaled);
}

TEST_F(FileSafetyTest, ACopyOfAReadOnlySourceIsWritable) {
  const std::string source = Sample();
  ASSERT_EQ(chmod(source.c_str(), 0444), 0);
  EXPECT_EQ(Convert(source, Dest()), 0) << m_run.stderrText();
  EXPECT_EQ(Version(Dest()), ReachedVersion());
  struct stat info {};
  ASSERT_EQ(stat(Dest().c_str(), &info), 0);
  const mode_t mask = umask(0);
  umask(mask);
  EXPECT_EQ(info.st_mode & 0777, 0666 & ~mask);
}

}  // namespace
