// The step V2.5.1 -> V2.5.1.4 in process on the V2.5.1 fixture.
#include "fixture_step_test.h"
#include "framework/data_source.h"

namespace {

using ConvertV251ToV2514Test = FixtureStepTest;

TEST_F(ConvertV251ToV2514Test, AddsAnEmptyHtmlColumnToEveryRecipeAndMergesTheLabels) {
  const std::string db = Fixture("V251");
  const std::string tmpl = std::string(TEMPLATE_DIR) + "/tq2V2_5_1_4.mdb";
  ASSERT_NE(Text(db, "SELECT COUNT(*) FROM [Recettes]"), "0");
  ASSERT_TRUE(m_harness.RunStep(2005001, db)) << m_harness.Journal();
  EXPECT_EQ(Text(db, "SELECT COUNT(*) FROM [Recettes] WHERE [HTML2] IS NOT NULL"), "0");
  // The full form of the label merges: every template label is there.
  for (const char* table : {"Langue_Printer", "Langue_System"}) {
    const std::string labels = std::string("SELECT [Item_Id], [Langue_1], [Langue_5] FROM [") + table +
                               "] WHERE [Libelle]<>'IDS_VERSION_DB' ORDER BY [Item_Id]";
    EXPECT_EQ(StepHarness::Query(db, labels), StepHarness::Query(tmpl, labels)) << table;
  }
}

// A failed structure phase never reaches the template: a template data
// source registered by someone else is neither replaced nor removed.
TEST_F(ConvertV251ToV2514Test, AnHtmlColumnThatExistsStopsTheStepBeforeTheTemplate) {
  ASSERT_TRUE(AddDataSource("TQ2TMPSRC", "/elsewhere/tq2.mdb"));
  const std::string journal = RunBroken("V251", 2005001, "ALTER TABLE [Recettes] ADD COLUMN [HTML2] MEMO");
  EXPECT_EQ(journal,
            "Mise à jour Toquelin V2.5.1 -> V2.5.1.4\n"
            "\nModification structure database V2.5.1\n"
            "ERREUR : Le champ 'HTML2' existe déjà dans la table 'Recettes'.\n"
            "State:42S21,Native:3380,Origin:[jetdb][Pilote Access]\n"
            "ERREUR : Structure database V2.5.1 non mise à jour\n\n");
  EXPECT_EQ(Version(m_db), "2.5.1.341");
  const std::string sources = ReadFile(m_harness.work() + "/odbc.ini");
  EXPECT_NE(sources.find("\nDBQ=/elsewhere/tq2.mdb\n"), std::string::npos) << sources;
  EXPECT_EQ(sources.find("[TQ2TMP]"), std::string::npos);
}

}  // namespace
