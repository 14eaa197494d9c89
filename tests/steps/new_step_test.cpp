// A new step is its source and one line of the chain: the program built with
// a throw-away step V2.5.3 -> V2.5.4 (new_step/, and chain.cpp with one line
// more) runs it after the others, stamps its version, backs a V2.5.3
// database up under its name, lists it in --info and takes a V2.5.4
// database for a converted one, with no other change anywhere.
#include <gtest/gtest.h>

#include <filesystem>

#include "test_support/db_shell.h"
#include "test_support/updater_run.h"

namespace fs = std::filesystem;

namespace {

const char kNewStepLines[] =
    "Mise à jour Toquelin V2.5.3 -> V2.5.4\n"
    "\nModification structure database V2.5.3\n"
    "Champs [Recettes].[ESSAI] ajouté\n"
    "Structure database V2.5.4 mise à jour\n\n"
    "\nMise à jour des données database V2.5.3\n"
    "Données table [Langue_Printer] mises à jour.\n"
    "Données table [Langue_System] mises à jour.\n"
    "Données database V2.5.4 mise à jour\n\n";
const char kClosing[] = "\nFin du journal.\n";

class NewStepTest : public ::testing::Test {
 protected:
  NewStepTest() {
    for (const auto& entry : fs::directory_iterator(TEMPLATE_DIR))
      if (entry.path().filename().string().rfind("tq2V2_", 0) == 0)
        fs::copy_file(entry.path(), m_templates.path() + "/" + entry.path().filename().string());
    // The new template: the last one and a label of its own, which only a
    // merge that reads the template can bring.
    const std::string tmpl = m_templates.path() + "/tq2V2_5_4.mdb";
    fs::copy_file(m_templates.path() + "/tq2V2_5_3.mdb", tmpl);
    Shell(tmpl, "INSERT INTO [Langue_System] ([Item_Id], [Libelle], [Langue_1], [Owner]) VALUES (9001, 'IDS_ESSAI', "
                "'Essai', -1)");
  }

  TempDir m_templates;
  UpdaterRun m_run{m_templates.path(), true, UPDATER_NEW_STEP};
};

TEST_F(NewStepTest, TheChainRunsTheNewStepLastAndStampsItsVersion) {
  const std::string source = m_run.work() + "/Base.mdb";
  fs::copy_file(SAMPLE_DB, source);
  fs::create_directory(m_run.work() + "/out");
  const std::string dest = m_run.work() + "/out/Base253.mdb";
  ASSERT_EQ(m_run.Run("'/SRC=" + source + "' '/DEST=" + dest + "'"), 0) << m_run.stderrText();
  EXPECT_EQ(Version(dest), "2.5.4.501");
  EXPECT_TRUE(HasColumn(dest, "Recettes", "ESSAI"));
  EXPECT_EQ(Text(dest, "SELECT [Langue_1] FROM [Langue_System] WHERE [Item_Id]=9001"), "Essai");
  // The ten steps journal as they always did; the new one follows them.
  std::string golden = ReadFile(std::string(GOLDEN_DIR) + "/convert_v20_to_v253.log");
  golden.resize(golden.size() - std::string(kClosing).size());
  EXPECT_EQ(m_run.Journal(m_run.work() + "/out"), golden + kNewStepLines + kClosing);
}

TEST_F(NewStepTest, AV253DatabaseIsPlannedBackedUpAndConvertedByTheNewStepAlone) {
  const std::string db = m_run.work() + "/Base.mdb";
  fs::copy_file(std::string(FIXTURE_DIR) + "/Fixture_V253.mdb", db);
  ASSERT_EQ(m_run.Run("--info '/SRC=" + db + "'"), 0) << m_run.stdoutText();
  const std::string& out = m_run.stdoutText();
  EXPECT_NE(out.find("Conversion sur place   : copie de sauvegarde " + db + ".V2.5.3\n"), std::string::npos) << out;
  EXPECT_NE(out.find("\nÉtapes, dans l'ordre\n  1. Mise à jour Toquelin V2.5.3 -> V2.5.4\n     modèle " +
                     m_templates.path() + "/tq2V2_5_4.mdb : présent, s'ouvre\n\nRésultat : la conversion "
                                          "démarrerait et mènerait la base à la version 2.5.4.501.\n"),
            std::string::npos)
      << out;

  ASSERT_EQ(m_run.Run("'/SRC=" + db + "'"), 0) << m_run.stderrText();
  EXPECT_EQ(Version(db), "2.5.4.501");
  EXPECT_EQ(Version(db + ".V2.5.3"), "2.5.3.459");
  EXPECT_EQ(m_run.Journal(m_run.work()), std::string("Mise à jour database Toquelin V2.5.3 Beta\n\n") +
                                             "Toquelin database version : 2005003\n"
                                             "Fichier à mettre à jour : <WORK>/Base.mdb\n" +
                                             kNewStepLines + kClosing);

  // Now at the new target: left as it is.
  const std::string converted = ReadFile(db);
  ASSERT_EQ(m_run.Run("'/SRC=" + db + "'"), 0) << m_run.stderrText();
  EXPECT_TRUE(ReadFile(db) == converted);
  EXPECT_FALSE(FileExists(db + ".V2.5.3.1"));
  EXPECT_FALSE(FileExists(db + ".VERR"));
}

}  // namespace
