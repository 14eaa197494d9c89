// The step V2.0 -> V2.1 through the real program, on copies of the sample
// database, some of them broken beforehand with the driver's shell.
#include <gtest/gtest.h>

#include <filesystem>

#include "framework/data_source.h"
#include "platform/run_lock.h"
#include "test_support/db_shell.h"
#include "test_support/updater_run.h"

namespace {

class ConvertV20ToV21Test : public ::testing::Test {
 protected:
  // A fresh copy of the sample in the work folder.
  std::string Sample(const std::string& name = "Base.mdb") {
    const std::string path = m_run.work() + "/" + name;
    std::filesystem::copy_file(SAMPLE_DB, path, std::filesystem::copy_options::overwrite_existing);
    return path;
  }

  UpdaterRun m_run{TEMPLATE_DIR};
};

}  // namespace

TEST_F(ConvertV20ToV21Test, WithoutDestinationTheSourceIsBackedUpOnceAndConverted) {
  const std::string source = Sample();
  ASSERT_EQ(m_run.Run("'/SRC=" + source + "'"), 0) << m_run.stderrText();
  EXPECT_EQ(Version(source), ReachedVersion());
  EXPECT_EQ(Version(source + ".V2.0"), "2.0.1.49");
  // The backup has the name the journal's readers expect, so no line names it.
  const std::string journal = m_run.Journal(m_run.work());
  EXPECT_NE(journal.find("Toquelin database version : 2000\nFichier à mettre à jour : <WORK>/Base.mdb\n"),
            std::string::npos)
      << journal;
  EXPECT_EQ(journal.find("Fichier de sauvegarde"), std::string::npos);

  // The same V2.0 file again, under another spelling of its path: the first
  // backup is kept and the new one takes the next free name.
  const std::string firstBackup = ReadFile(source + ".V2.0");
  Shell(source + ".V2.0", "UPDATE [Langue_System] SET [Langue_2]='marque' WHERE [Libelle]='IDS_VERSION_DB'");
  Sample();
  ASSERT_EQ(m_run.Run("'/SRC=" + m_run.work() + "/./Base.mdb' '/DEST=" + source + "'"), 0);
  EXPECT_EQ(Text(source + ".V2.0", "SELECT [Langue_2] FROM [Langue_System] WHERE [Libelle]='IDS_VERSION_DB'"),
            "marque");
  EXPECT_EQ(Version(source + ".V2.0.1"), "2.0.1.49");
  const std::string second = m_run.Journal(m_run.work());
  EXPECT_NE(second.find("Fichier de sauvegarde : <WORK>/./Base.mdb.V2.0.1\n"
                        "Fichier à mettre à jour : <WORK>/./Base.mdb\n"),
            std::string::npos)
      << second;
  EXPECT_EQ(Version(source), ReachedVersion());
}

TEST_F(ConvertV20ToV21Test, ATemplateCategoryMissingFromTheDatabaseDoesNotStopTheStep) {
  const std::string db = Sample();
  // The cellar: no later step needs it (a missing category 20 would stop
  // the step V2.4.1 -> V2.4.2).
  Shell(db, "DELETE FROM [Categories] WHERE [CLASS_ID]=23");
  EXPECT_EQ(m_run.Run("'/SRC=" + db + "'"), 0);
  const std::string journal = m_run.Journal(m_run.work());
  EXPECT_NE(journal.find("ERREUR : Données table [Categories] non mises à jour.\n"
                         "Données table [FmtEtiquette] mises à jour.\n"),
            std::string::npos)
      << journal;
  EXPECT_EQ(Version(db), ReachedVersion());
}

// The units' exchange codes are unique per kind. A user unit that took the
// kind and code a system unit gets back from the template makes the full
// update of that system unit fail.
TEST_F(ConvertV20ToV21Test, UserModifiedUnits10And15TakeOnlyTheTemplatesValue) {
  const std::string db = Sample();
  Shell(db, "UPDATE [Unites] SET [TYPE]=2, [CFACT]=0.5, [IMPERIAL]=False WHERE [UNITDEF_ID]=10");
  Shell(db, "UPDATE [Unites] SET [TYPE]=0, [CODE_ECH]='LBR' WHERE [UNITDEF_ID]=41");
  // Unit 15 the same way: it gets back its kind 3, which a user unit took
  // with the same code.
  Shell(db, "UPDATE [Unites] SET [TYPE]=2 WHERE [UNITDEF_ID]=15");
  Shell(db, "UPDATE [Unites] SET [TYPE]=3, [CODE_ECH]='PM' WHERE [UNITDEF_ID]=43");
  EXPECT_EQ(m_run.Run("'/SRC=" + db + "'"), 0);
  const std::string journal = m_run.Journal(m_run.work());
  EXPECT_NE(journal.find("Données table [Unites] (10) modifiée par l'utilisateur.\n"
                         "Données table [Unites] (15) modifiée par l'utilisateur.\n"
                         "Données table [Unites] (16) modifiée par l'utilisateur.\n"
                         "Données table [Unites] mises à jour.\n"),
            std::string::npos)
      << journal;
  EXPECT_EQ(Text(db, "SELECT [CFACT] FROM [Unites] WHERE [UNITDEF_ID]=10"), "0.45359237");
  EXPECT_EQ(Text(db, "SELECT [TYPE] FROM [Unites] WHERE [UNITDEF_ID]=10"), "2");
  EXPECT_EQ(Text(db, "SELECT [IMPERIAL] FROM [Unites] WHERE [UNITDEF_ID]=10"), "0");
  // Unit 11 comes after and is overwritten whole.
  EXPECT_EQ(Text(db, "SELECT [DATE_MAJ] FROM [Unites] WHERE [UNITDEF_ID]=11"),
            Text(std::string(TEMPLATE_DIR) + "/tq2V2_1.mdb", "SELECT [DATE_MAJ] FROM [Unites] WHERE [UNITDEF_ID]=11"));
  EXPECT_EQ(Version(db), ReachedVersion());
}

TEST_F(ConvertV20ToV21Test, AnyOtherUserModifiedUnitStopsTheMergeAndTheStep) {
  const std::string db = Sample();
  Shell(db, "UPDATE [Unites] SET [TYPE]=2 WHERE [UNITDEF_ID]=3");
  Shell(db, "UPDATE [Unites] SET [TYPE]=0, [CODE_ECH]='GRM' WHERE [UNITDEF_ID]=42");
  EXPECT_EQ(m_run.Run("'/SRC=" + db + "'"), kFailed);
  const std::string journal = m_run.Journal(m_run.work());
  EXPECT_NE(journal.find("Données table [Langue_System] mises à jour.\n"
                         "Données table [Unites] (3) modifiée par l'utilisateur.\n"
                         "ERREUR : Données table [Unites] non mises à jour.\n"
                         "ERREUR : Données database V2.1 non mise à jour\n"),
            std::string::npos)
      << journal;
  EXPECT_EQ(journal.find("Données table [Variables]"), std::string::npos);
  // The units before the refused one were merged; the later ones were not.
  EXPECT_EQ(Text(db, "SELECT [TYPE] FROM [Unites] WHERE [UNITDEF_ID]=3"), "2");
  EXPECT_EQ(Text(db, "SELECT [CFACT] FROM [Unites] WHERE [UNITDEF_ID]=10"), "0.45");
  EXPECT_EQ(Version(db), "2.0.1.49");
}

TEST_F(ConvertV20ToV21Test, RefusedRegistrationAndRefusedCopyEndTheRunEarly) {
  const std::string db = Sample();
  // The data-source file cannot be written: its folder is a file.
  WriteFile(m_run.work() + "/notafolder", "");
  EXPECT_EQ(m_run.Run("'/SRC=" + db + "'", "ODBCINI='" + m_run.work() + "/notafolder/odbc.ini'"), kFailed);
  EXPECT_NE(m_run.Journal(m_run.work()).find("\n\nERREUR : ODBC_ADD_DSN {DSN=TQ2TMP}\n\nFin du journal.\n"),
            std::string::npos)
      << m_run.Journal(m_run.work());

  // The destination cannot be written: a folder has its name.
  std::filesystem::create_directory(m_run.work() + "/New.mdb");
  EXPECT_EQ(m_run.Run("'/SRC=" + db + "' '/DEST=" + m_run.work() + "/New.mdb'"), kFailed);
  EXPECT_NE(
      m_run.Journal(m_run.work())
          .find("Toquelin database version : 2000\n"
                "ATTENTION : impossible de creer le fichier de destination : <WORK>/New.mdb\n\nFin du journal.\n"),
      std::string::npos)
      << m_run.Journal(m_run.work());
  EXPECT_FALSE(FileExists(m_run.work() + "/Base.mdb.V2.0"));
  EXPECT_EQ(Version(db), "2.0.1.49");
}

TEST_F(ConvertV20ToV21Test, ASecondRunWaitsForTheFirstOnesDataSources) {
  // Another run holds the data sources (the lock beside their file).
  {
    ScopedEnv odbc("ODBCINI", m_run.odbcIni());
    CRunLock other;
    ASSERT_EQ(other.Acquire(DataSourceLockPath(), 0), CRunLock::Result::Held);
    const std::string db = Sample();
    EXPECT_EQ(m_run.Run("'/SRC=" + db + "'", "UPDATER_LOCK_TIMEOUT=1"), kFailed);
    EXPECT_NE(m_run.stderrText().find("une autre conversion utilise les sources de données"), std::string::npos)
        << m_run.stderrText();
    EXPECT_EQ(Version(db), "2.0.1.49");
    EXPECT_FALSE(FileExists(db + ".V2.0"));
  }
  // Two runs started together on two databases: each converts its own.
  const std::string a = Sample("A.mdb"), b = Sample("B.mdb");
  std::filesystem::create_directories(m_run.work() + "/ra");
  std::filesystem::create_directories(m_run.work() + "/rb");
  const std::string both = "sh -c \"'" + std::string(UPDATER_BINARY) + "' '/SRC=" + a + "' '/DEST=" + m_run.work() +
                           "/ra/A21.mdb' & '" + UPDATER_BINARY + "' '/SRC=" + b + "' '/DEST=" + m_run.work() +
                           "/rb/B21.mdb' & wait\"";
  const std::string command = "cd '" + m_run.work() + "' && env UPDATER_REGISTRY='" + m_run.registryDir() +
                              "' ODBCINI='" + m_run.odbcIni() + "' " + both + " >/dev/null 2>&1";
  ASSERT_EQ(std::system(command.c_str()), 0);
  EXPECT_EQ(Version(m_run.work() + "/ra/A21.mdb"), ReachedVersion());
  EXPECT_EQ(Version(m_run.work() + "/rb/B21.mdb"), ReachedVersion());
  EXPECT_NE(m_run.Journal(m_run.work() + "/ra").find("Fichier à mettre à jour : <WORK>/ra/A21.mdb\n"),
            std::string::npos);
  EXPECT_NE(m_run.Journal(m_run.work() + "/rb").find("Données database V2.1 mise à jour\n"), std::string::npos);
  EXPECT_EQ(Version(a), "2.0.1.49");
  EXPECT_EQ(Version(b), "2.0.1.49");
}
