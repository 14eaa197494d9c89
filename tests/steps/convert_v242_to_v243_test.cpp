// The step V2.4.2 -> V2.4.3, the first with the full form of the label
// merges and the only one without a structure phase.
#include <filesystem>

#include "fixture_step_test.h"
#include "test_support/updater_run.h"

namespace {

using ConvertV242ToV243Test = FixtureStepTest;

TEST_F(ConvertV242ToV243Test, MergesEveryTemplateLabelAndKeepsTheDatabasesOwn) {
  const std::string db = Fixture("V242");
  const std::string tmpl = std::string(TEMPLATE_DIR) + "/tq2V2_4_3.mdb";
  // A label of the user's that the template lacks, and one that the
  // template has under the same identifier.
  Shell(
      db,
      "INSERT INTO [Langue_System] ([Item_Id], [Libelle], [Langue_1], [Owner]) VALUES (4000, 'IDS_MINE', 'À moi', 1)");
  Shell(db, "UPDATE [Langue_Printer] SET [Langue_1]='changé' WHERE [Item_Id]=12");
  ASSERT_NE(Text(tmpl, "SELECT COUNT(*) FROM [Langue_System] WHERE [Item_Id] > 1086"), "0");
  ASSERT_TRUE(m_harness.RunStep(2004002, db));
  EXPECT_EQ(Text(db, "SELECT [Langue_1] FROM [Langue_System] WHERE [Item_Id]=4000"), "À moi");
  EXPECT_EQ(Text(db, "SELECT [Langue_1] FROM [Langue_Printer] WHERE [Item_Id]=12"),
            Text(tmpl, "SELECT [Langue_1] FROM [Langue_Printer] WHERE [Item_Id]=12"));
  const std::string appended = "SELECT * FROM [Langue_System] WHERE [Item_Id] > 1086 AND [Item_Id] < 4000";
  EXPECT_EQ(StepHarness::Query(db, appended), StepHarness::Query(tmpl, appended));
  EXPECT_EQ(Text(db, "SELECT COUNT(*) FROM [Langue_Printer]"), Text(tmpl, "SELECT COUNT(*) FROM [Langue_Printer]"));
}

// The early V2.4.2 build converts like the later one; only its backup takes
// the short text of an unnamed version (the plain name, so the journal does
// not name it).
TEST(ConvertV242EarlyTest, TheEarlyBuildIsConvertedAndBackedUpAsVERR) {
  UpdaterRun run(TEMPLATE_DIR);
  const std::string db = run.work() + "/Base.mdb";
  std::filesystem::copy_file(std::string(FIXTURE_DIR) + "/Fixture_V242_303.mdb", db);
  ASSERT_EQ(run.Run("'/SRC=" + db + "'"), 0) << run.stderrText();
  const std::string journal = run.Journal(run.work());
  EXPECT_NE(journal.find("Toquelin database version : 2004001\n"
                         "Fichier à mettre à jour : <WORK>/Base.mdb\n"
                         "Mise à jour Toquelin V2.4.2 -> V2.4.3\n"),
            std::string::npos)
      << journal;
  EXPECT_EQ(Text(db, "SELECT [Langue_3] FROM [Langue_System] WHERE [Libelle]='IDS_VERSION_DB'"), ReachedVersion());
  EXPECT_EQ(Text(db + ".VERR", "SELECT [Langue_1] FROM [Langue_System] WHERE [Libelle]='IDS_VERSION_DB'"), "2.4.2.303");
}

}  // namespace
