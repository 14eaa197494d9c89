// The step V2.5.1.4 -> V2.5.2 in process on the V2.5.1.4 fixture.
#include "fixture_step_test.h"

namespace {

using ConvertV2514ToV252Test = FixtureStepTest;

const std::string kTemplate = std::string(TEMPLATE_DIR) + "/tq2V2_5_2.mdb";
constexpr const char* kEntryVersion = "2.5.1.343";

constexpr const char* kCategoryColumns =
    "[CLASS_ID], [TYPE], [MASQUE], [PERE_ID], [NAME_1], [NAME_2], [NAME_3], [NAME_4], [NAME_5], [OWNER], "
    "[DATE_MAJ], [ASCHILD], [EXPORTABLE]";

TEST_F(ConvertV2514ToV252Test, BuildsTheNutritionTablesAndFillsThemFromTheTemplate) {
  const std::string db = Fixture("V2514");
  const std::string ownLabels = "SELECT * FROM [LibellesPreEmballe] WHERE [ID] < 101 ORDER BY [ID]";
  const std::string labelsBefore = StepHarness::Query(db, ownLabels);
  const std::string ownUnits = "SELECT * FROM [Unites] WHERE [UNITDEF_ID] <> -1 ORDER BY [UNITDEF_ID]";
  const std::string unitsBefore = StepHarness::Query(db, ownUnits);
  const std::string before = ShellTime(std::time(nullptr));
  ASSERT_TRUE(m_harness.RunStep(2005001004, db)) << m_harness.Journal();

  // The nutrient labels are the template's, every column of every row.
  const std::string labels = "SELECT * FROM [NutriLibelles] ORDER BY [ID]";
  EXPECT_EQ(StepHarness::Query(db, labels), StepHarness::Query(kTemplate, labels));
  const std::string categories = std::string("SELECT ") + kCategoryColumns +
                                 " FROM [Categories] WHERE [CLASS_ID] >= 90 AND [CLASS_ID] <= 95 ORDER BY [CLASS_ID]";
  EXPECT_EQ(StepHarness::Query(db, categories), StepHarness::Query(kTemplate, categories));
  EXPECT_EQ(StepHarness::Query(db, "SELECT * FROM [LibellesPreEmballe] WHERE [ID] >= 101 ORDER BY [ID]"),
            StepHarness::Query(kTemplate, "SELECT * FROM [LibellesPreEmballe] ORDER BY [ID]"));
  EXPECT_EQ(StepHarness::Query(db, ownLabels), labelsBefore);

  EXPECT_EQ(StepHarness::Query(db,
                               "SELECT [UNITDEF_ID], [IMPERIAL], [CFACT], [TYPE], [OWNER], [NBDIGIT], [NAME_1], "
                               "[NAME_2], [NAME_3], [NAME_4], [NAME_5], [SYMBOL_1], [SYMBOL_2], [SYMBOL_3], "
                               "[SYMBOL_4], [SYMBOL_5] FROM [Unites] WHERE [UNITDEF_ID]=-1"),
            "UNITDEF_ID,IMPERIAL,CFACT,TYPE,OWNER,NBDIGIT,NAME_1,NAME_2,NAME_3,NAME_4,NAME_5,SYMBOL_1,SYMBOL_2,"
            "SYMBOL_3,SYMBOL_4,SYMBOL_5\n"
            "-1,0,0,0,-1,-1,System,System,System,System,System,System,System,System,System,System\n");
  EXPECT_GE(Text(db, "SELECT [DATE_MAJ] FROM [Unites] WHERE [UNITDEF_ID]=-1"), before);
  EXPECT_EQ(StepHarness::Query(db, ownUnits), unitsBefore);
}

// The template's quality signs come parent first: those before the one the
// database has are added, those after it are not, and the step goes on.
TEST_F(ConvertV2514ToV252Test, ACategoryAlreadyThereEndsTheCategoriesButNotTheStep) {
  const std::string db = Fixture("V2514");
  Shell(db,
        "INSERT INTO [Categories] ([CLASS_ID], [TYPE], [MASQUE], [PERE_ID], [NAME_1], [OWNER]) "
        "VALUES (92, 0, 0, -1, 'AOP maison', 1)");
  ASSERT_TRUE(m_harness.RunStep(2005001004, db)) << m_harness.Journal();
  const std::string journal = m_harness.Journal();
  EXPECT_NE(journal.find("Données table [Langue_System] mises à jour.\n"
                         "ERREUR : Données table [Categories] non mises à jour.\n"
                         "Données table [NutriLibelles] mises à jour.\n"),
            std::string::npos)
      << journal;
  EXPECT_NE(journal.find("Données table [Unites] mises à jour.\nDonnées database V2.5.2 mise à jour\n\n"),
            std::string::npos);
  const std::string added =
      std::string("SELECT ") + kCategoryColumns + " FROM [Categories] WHERE [CLASS_ID] >= 90 AND [CLASS_ID] <= 91";
  EXPECT_EQ(StepHarness::Query(db, added), StepHarness::Query(kTemplate, added));
  EXPECT_EQ(Text(db, "SELECT [NAME_1] FROM [Categories] WHERE [CLASS_ID]=92"), "AOP maison");
  EXPECT_EQ(Text(db, "SELECT COUNT(*) FROM [Categories] WHERE [CLASS_ID] >= 93 AND [CLASS_ID] <= 95"), "0");
  EXPECT_EQ(Version(db), "2.5.2.399");
}

}  // namespace
