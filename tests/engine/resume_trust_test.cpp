// The resume after an unfinished in-place run, against what other users of
// a shared folder can put beside the source: only a note and a backup that
// the database's owner wrote are acted on, and a resume never puts aside
// work done since the failed run.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <map>

#include "engine/conversion.h"
#include "engine/plan.h"
#include "engine/unfinished_mark.h"
#include "shell/failure.h"
#include "steps/versions.h"
#include "test_support/journal_capture.h"
#include "test_support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

class ResumeTrustTest : public ::testing::Test {
 protected:
  ResumeTrustTest() {
    for (const auto& entry : fs::directory_iterator(TEMPLATE_DIR))
      if (entry.path().filename().string().rfind("tq2V2_", 0) == 0)
        fs::copy_file(entry.path(), m_templates.path() + "/" + entry.path().filename().string());
    fs::copy_file(SAMPLE_DB, m_source);
    m_original = ReadFile(m_source);
  }

  ConversionPlan Plan() const {
    return PlanConversion(m_source.c_str(), m_source.c_str(), m_templates.path().c_str(),
                          ProbeLocks(m_source.c_str(), m_source.c_str()));
  }
  DbVersion Run() {
    JournalCapture capture;
    CString written(m_source.c_str());
    return RunConversion(m_source.c_str(), written, m_templates.path().c_str());
  }
  // An in-place run that stops at its third step, the source half converted.
  void FailHalfWay() {
    const std::string missing = m_templates.path() + "/" + StepsFrom(2000)[2]->templateFile;
    fs::rename(missing, m_work.path() + "/kept.mdb");
    ASSERT_EQ(Run(), kDbVersionNone);
    fs::rename(m_work.path() + "/kept.mdb", missing);
    ASSERT_TRUE(FileExists(m_source + ".reprise"));
  }
  std::map<std::string, std::string> Files() const {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::directory_iterator(m_work.path()))
      files[entry.path().filename()] = entry.is_regular_file() ? ReadFile(entry.path()) : "<autre>";
    return files;
  }
  // Work of the user's, done with SQLite itself.
  void Change(const std::string& path) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, "CREATE TABLE travail_du_chef (x)", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
  }

  TempDir m_work, m_templates, m_elsewhere;
  ScopedEnv m_odbcIni{"ODBCINI", m_work.path() + "/odbc.ini"};
  std::string m_source = m_work.path() + "/Base.mdb";
  std::string m_original;
};

// Whatever else holds the note's name names nothing that is copied: the
// run converts the user's own file, and says what it passed over.
TEST_F(ResumeTrustTest, APlantedNoteIsPassedOverAndNeverDecidesWhatIsCopied) {
  // Another database, that a planted note would have put in place of the
  // user's.
  const std::string other = m_elsewhere.path() + "/Autre.mdb";
  fs::copy_file(SAMPLE_DB, other);
  Change(other);
  const std::string note = m_source + ".reprise";
  const std::string backupName = m_source + ".V2.0";
  const auto plant = [&](int kind) {
    fs::remove_all(note);
    switch (kind) {
      case 0:  // a note naming another folder's file
        WriteFile(note, "sauvegarde=../" + fs::path(m_elsewhere.path()).filename().string() +
                            "/Autre.mdb\nempreinte-sauvegarde=1 1 1\n");
        ASSERT_EQ(chmod(note.c_str(), 0600), 0);
        break;
      case 1:  // the old one-line form, naming any file
        WriteFile(note, other + "\n");
        ASSERT_EQ(chmod(note.c_str(), 0600), 0);
        break;
      case 2:  // a link to a good-looking note
        WriteFile(m_elsewhere.path() + "/note", "sauvegarde=Base.mdb.V2.0\nempreinte-sauvegarde=1 1 1\n");
        fs::create_symlink(m_elsewhere.path() + "/note", note);
        break;
      case 3:  // a note any user may write
        WriteFile(note, "sauvegarde=Base.mdb.V2.0\nempreinte-sauvegarde=1 1 1\n");
        ASSERT_EQ(chmod(note.c_str(), 0666), 0);
        break;
      case 4:  // a FIFO
        ASSERT_EQ(mkfifo(note.c_str(), 0666), 0);
        break;
    }
  };
  for (int kind = 0; kind < 5; ++kind) {
    plant(kind);
    const ConversionPlan plan = Plan();
    EXPECT_NE(plan.resume.passedOver.Find("est ignorée"), -1) << kind;
    EXPECT_TRUE(plan.resume.backup.IsEmpty()) << kind;
    EXPECT_EQ(plan.versionFile, m_source.c_str()) << kind;
  }
  // The run converts the user's file, behind a backup of it.
  plant(1);
  ASSERT_EQ(Run(), ChainTarget()) << FailureReason().GetString();
  EXPECT_EQ(ReadFile(backupName), m_original);
  EXPECT_EQ(ReadFile(m_source).find("travail_du_chef"), std::string::npos);
  EXPECT_FALSE(FileExists(note));
}

TEST_F(ResumeTrustTest, AFolderAtTheNotesNameStopsTheRunBeforeAnyStep) {
  fs::create_directory(m_source + ".reprise");
  EXPECT_EQ(Run(), kDbVersionNone);
  EXPECT_NE(FailureReason().Find("note de reprise"), -1) << FailureReason().GetString();
  EXPECT_EQ(ReadFile(m_source), m_original);
}

// The user goes on working on a file that a failed run left: the next run
// must not put that work aside for the backup.
TEST_F(ResumeTrustTest, WorkDoneSinceTheFailedRunIsNeverReplacedByTheBackup) {
  FailHalfWay();
  Change(m_source);
  const auto before = Files();
  const ConversionPlan plan = Plan();
  EXPECT_NE(plan.refusal.Find("a changé depuis la conversion inachevée"), -1) << plan.refusal.GetString();
  EXPECT_EQ(Run(), kDbVersionNone);
  EXPECT_NE(FailureReason().Find("a changé depuis la conversion inachevée"), -1);
  EXPECT_TRUE(Files() == before) << "a file changed";
}

TEST_F(ResumeTrustTest, ABackupChangedSinceItWasWrittenIsNotPutBack) {
  FailHalfWay();
  const std::string backup = m_source + ".V2.0";
  Change(backup);
  const auto before = Files();
  const ConversionPlan plan = Plan();
  EXPECT_NE(plan.refusal.Find("n'est pas rétablie : elle a changé"), -1) << plan.refusal.GetString();
  EXPECT_EQ(Run(), kDbVersionNone);
  EXPECT_TRUE(Files() == before) << "a file changed";
  // Replaced by a link to a copy of the original: still not its own.
  fs::remove(backup);
  fs::copy_file(SAMPLE_DB, m_elsewhere.path() + "/copie.mdb");
  fs::create_symlink(m_elsewhere.path() + "/copie.mdb", backup);
  EXPECT_NE(Plan().refusal.Find("n'est pas un fichier ordinaire"), -1);
}

// A run that another program keeps from writing converts nothing: no note
// stays, and the next run after the user's work keeps that work.
TEST_F(ResumeTrustTest, ARunThatConvertedNothingLeavesNoNote) {
  sqlite3* holder = nullptr;
  ASSERT_EQ(sqlite3_open(m_source.c_str(), &holder), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(holder, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
  EXPECT_EQ(Run(), kDbVersionNone);
  sqlite3_exec(holder, "ROLLBACK", nullptr, nullptr, nullptr);
  sqlite3_close(holder);
  EXPECT_EQ(ReadFile(m_source), m_original);
  EXPECT_FALSE(FileExists(m_source + ".reprise"));
  Change(m_source);
  ASSERT_EQ(Run(), ChainTarget()) << FailureReason().GetString();
  EXPECT_NE(ReadFile(m_source).find("travail_du_chef"), std::string::npos) << "the user's work was lost";
}

// In a group folder another member may delete the owner's note: the file
// itself still says it is half converted, and is not converted further as
// if it were the user's own.
TEST_F(ResumeTrustTest, AHalfConvertedFileWhoseNoteIsGoneIsNotConvertedFurther) {
  FailHalfWay();
  EXPECT_FALSE(UnfinishedMark(m_source + ".V2.0")) << "the backup carries no mark";
  fs::remove(m_source + ".reprise");
  const auto before = Files();
  const ConversionPlan plan = Plan();
  EXPECT_NE(plan.refusal.Find("à moitié convertie"), -1) << plan.refusal.GetString();
  EXPECT_NE(plan.refusal.Find("Base.mdb.V2.0"), -1) << plan.refusal.GetString();
  EXPECT_EQ(Run(), kDbVersionNone);
  EXPECT_NE(FailureReason().Find("à moitié convertie"), -1) << FailureReason().GetString();
  EXPECT_TRUE(Files() == before) << "a file changed";
  // A planted note does not lift it either.
  WriteFile(m_source + ".reprise", "sauvegarde=Base.mdb.V2.0\nempreinte-sauvegarde=1 1 1\n");
  ASSERT_EQ(chmod((m_source + ".reprise").c_str(), 0666), 0);
  EXPECT_NE(Plan().refusal.Find("à moitié convertie"), -1);
  // The backup put back by hand: the run converts it, and leaves no mark.
  fs::remove(m_source + ".reprise");
  fs::copy_file(m_source + ".V2.0", m_source, fs::copy_options::overwrite_existing);
  ASSERT_EQ(Run(), ChainTarget()) << FailureReason().GetString();
  EXPECT_FALSE(UnfinishedMark(m_source));
}

}  // namespace
