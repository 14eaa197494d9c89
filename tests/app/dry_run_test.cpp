// updater --info as a user runs it: what it says about a run, and that it
// changes no file and registers no data source on the way.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "steps/versions.h"
#include "test_support/updater_run.h"

namespace fs = std::filesystem;

namespace {

std::string StepName(const ConversionStep& k) {
  std::string name = k.lines.opening;
  while (!name.empty() && name.back() == '\n') name.pop_back();
  return name;
}

class DryRunTest : public ::testing::Test {
 protected:
  DryRunTest() {
    CopyTemplates(TEMPLATE_DIR, m_templates.path());
    fs::copy_file(SAMPLE_DB, m_source);
  }

  // Runs --info and checks that no file of the run's folders changed.
  int Info(const std::string& args) {
    const auto work = FolderSnapshot(m_run.work()), templates = FolderSnapshot(m_templates.path());
    const int code = m_run.Run("--info " + args);
    EXPECT_EQ(FolderSnapshot(m_run.work()), work) << "the dry run changed the work folder";
    EXPECT_EQ(FolderSnapshot(m_templates.path()), templates) << "the dry run changed the templates";
    EXPECT_FALSE(FileExists(m_run.odbcIni())) << "the dry run registered a data source";
    return code;
  }

  bool Says(const std::string& text) const { return m_run.stdoutText().find(text) != std::string::npos; }

  TempDir m_templates;
  UpdaterRun m_run{m_templates.path()};
  std::string m_source = m_run.work() + "/Base.mdb";
};

// The two lines that name a step and the state of its template.
std::string StepLines(const ConversionStep& k, const std::string& templates, const std::string& state) {
  return ". " + StepName(k) + "\n     modèle " + templates + "/" + k.templateFile + " : " + state;
}

TEST_F(DryRunTest, ListsTheChainsStepsInOrderWithTheirTemplatesAndTouchesNothing) {
  fs::create_directories(m_run.work() + "/out");
  ASSERT_EQ(Info("'/SRC=" + m_source + "' '/DEST=" + m_run.work() + "/out/Base.mdb'"), 0) << m_run.stderrText();
  const std::string& out = m_run.stdoutText();
  EXPECT_TRUE(Says("Version détectée       : 2.0.1.49 (2000)\n")) << out;
  EXPECT_TRUE(Says("Destination            : " + m_run.work() + "/out/Base.mdb (copie de la source)\n")) << out;
  EXPECT_TRUE(Says("Journal                : " + m_run.work() + "/out/Updater.log\n")) << out;
  EXPECT_FALSE(Says("sauvegarde")) << out;
  const auto steps = StepsFrom(2000);
  ASSERT_FALSE(steps.empty());
  std::size_t at = 0;
  for (const ConversionStep* step : steps) {
    const ConversionStep& k = *step;
    at = out.find(StepLines(k, m_templates.path(), "présent, s'ouvre\n"), at);
    ASSERT_NE(at, std::string::npos) << StepName(k) << " missing or out of order in\n" << out;
  }
  EXPECT_EQ(out.find(". Mise à jour", at + 1), std::string::npos) << "a step beyond the chain\n" << out;
  EXPECT_TRUE(Says("la conversion démarrerait et mènerait la base à la version " +
                   std::string(StoredVersionText(ChainTarget())) + ".\n"))
      << out;
  EXPECT_FALSE(FileExists(m_run.work() + "/out/Base.mdb"));
}

TEST_F(DryRunTest, InPlaceItNamesTheFreeBackupAndTheStepThatAMissingTemplateWouldStop) {
  WriteFile(m_source + ".V2.0", "an earlier backup");
  const auto steps = StepsFrom(2000);
  ASSERT_GE(steps.size(), 3u);
  const ConversionStep& missing = *steps[1];
  const ConversionStep& broken = *steps[2];
  fs::remove(m_templates.path() + "/" + missing.templateFile);
  WriteFile(m_templates.path() + "/" + broken.templateFile, "not a database");

  EXPECT_EQ(Info("'/SRC=" + m_source + "'"), 3) << "a step would fail: an exit code of its own";
  const std::string& out = m_run.stdoutText();
  EXPECT_TRUE(Says("Conversion sur place   : copie de sauvegarde " + m_source + ".V2.0.1\n")) << out;
  EXPECT_TRUE(Says(StepLines(missing, m_templates.path(), "absent\n"))) << out;
  EXPECT_TRUE(Says(StepLines(broken, m_templates.path(), "présent, ne s'ouvre pas : "))) << out;
  EXPECT_TRUE(Says("mais « " + StepName(missing) + " » échouerait : son modèle " + missing.templateFile + " manque.\n"))
      << out;
}

TEST_F(DryRunTest, ARunThatCouldNotStartEndsWith1000AndSaysWhy) {
  const std::string notADatabase = m_run.work() + "/notes.mdb";
  WriteFile(notADatabase, "shopping list");
  const std::pair<std::string, std::string> cases[] = {
      {"'/SRC=" + notADatabase + "'", "ne s'ouvre pas"},
      {"'/SRC=" + m_run.work() + "/absent.mdb'", "base source introuvable"},
      {"", "aucune base source n'est donnée"},
      // A relative destination lands in the template folder.
      {"'/SRC=" + m_source + "' /DEST=tq2V2_1.mdb", "est la base modèle"},
  };
  for (const auto& [args, reason] : cases) {
    EXPECT_EQ(Info(args), kFailed) << args;
    const std::string& out = m_run.stdoutText();
    const std::size_t at = out.find("Résultat : aucune conversion ne démarrerait : ");
    ASSERT_NE(at, std::string::npos) << out;
    EXPECT_NE(out.find(reason, at), std::string::npos) << out;
  }
}

TEST_F(DryRunTest, TellsWhereEachSettingComesFrom) {
  const std::string registry = m_run.registryDir();
  EXPECT_EQ(Info("'/SRC=" + m_source + "'"), 0);
  EXPECT_TRUE(Says("Registre             : dossier " + registry + " (variable UPDATER_REGISTRY)\n"));
  EXPECT_TRUE(Says("HKEY_CURRENT_USER    : " + registry + "/HKEY_CURRENT_USER.reg (présent, REGEDIT4 en UTF-8)\n"));
  EXPECT_TRUE(Says("Debug                : 1 (valeur \"Debug\""));
  EXPECT_TRUE(Says("Dossier des modèles  : " + m_templates.path() + " (valeur \"ExePath\""));
  EXPECT_TRUE(Says("Sources de données   : " + m_run.odbcIni() + " (variable ODBCINI)\n"));

  m_run.SetDebug(false);
  fs::remove(registry + "/HKEY_LOCAL_MACHINE.reg");
  Info("'/SRC=" + m_source + "'");
  const std::string& out = m_run.stdoutText();
  EXPECT_TRUE(Says("Debug                : 0 (valeur \"Debug\"")) << out;
  EXPECT_TRUE(Says("HKEY_LOCAL_MACHINE   : " + registry + "/HKEY_LOCAL_MACHINE.reg (absent)\n")) << out;
  EXPECT_TRUE(Says("Dossier des modèles  : " + m_run.work() + " (\"ExePath\" absent du registre")) << out;
  EXPECT_FALSE(Says("Journal")) << out;

  EXPECT_EQ(m_run.Run("--help"), 0);
  EXPECT_TRUE(Says("--info")) << out;
}

}  // namespace
