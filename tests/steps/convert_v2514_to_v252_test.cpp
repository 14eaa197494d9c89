// The step V2.5.1.4 -> V2.5.2 on the V2.5.1.4 fixture: in process, and
// through the program where the exit code matters.
#include <filesystem>
#include <ostream>
#include <set>

#include "fixture_step_test.h"
#include "jetdb/jetdb.h"
#include "test_support/updater_run.h"

namespace {

using ConvertV2514ToV252Test = FixtureStepTest;

const std::string kTemplate = std::string(TEMPLATE_DIR) + "/tq2V2_5_2.mdb";
constexpr const char* kEntryVersion = "2.5.1.343";

// How many of the step's ten relations the database holds.
int StepRelations(const std::string& db) {
  static const std::set<std::string> step{"IngredientsIngRecAlias",       "RecettesIngRecAlias",
                                          "IngredientsMSpecifIng",        "IngredientsNutriIngred",
                                          "UnitesIngredients2",           "LibellesPreEmballeMSpecifIng",
                                          "LibellesPreEmballeMSpecifRec", "RecettesMSpecifRec",
                                          "NutriLibellesNutriIngred",     "UnitesRecettes"};
  jetdb::Error error;
  auto database = jetdb::Database::open(db, false, error);
  if (!database) return -1;
  std::set<std::string> found;
  for (const std::string& table : database->tables())
    for (const jetdb::RelationInfo& relation : database->relations(table))
      if (step.count(relation.name)) found.insert(relation.name);
  return static_cast<int>(found.size());
}

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

// The table has the key columns, so that an index or key that the step
// went on to create would be taken.
TEST_F(ConvertV2514ToV252Test, AnAliasTableThatExistsStopsTheStepAtItsFirstStatement) {
  const std::string journal =
      RunBroken("V2514", 2005001004, "CREATE TABLE [IngRecAlias] ([INGRED_ID] INTEGER, [RECET_ID] INTEGER)");
  EXPECT_EQ(journal.rfind("Mise à jour Toquelin V2.5.1.4 -> V2.5.2\n\nModification structure database V2.5.1.4\n"
                          "ERREUR : ",
                          0),
            0u)
      << journal;
  const std::string failure = "\nERREUR : Structure database V2.5.1.4 non mise à jour\n\n";
  EXPECT_EQ(journal.substr(journal.size() - failure.size()), failure);
  EXPECT_EQ(Count(journal, "\n"), 7) << "one driver error, nothing else";
  jetdb::Error error;
  auto database = jetdb::Database::open(m_db, false, error);
  ASSERT_TRUE(database) << error.message;
  EXPECT_TRUE(database->indexes("IngRecAlias").empty());
  EXPECT_FALSE(HasColumn(m_db, "IngRecAlias", "ALIAS_1"));
  EXPECT_FALSE(HasColumn(m_db, "Ingredients", "NUTRI_QTE"));
  EXPECT_EQ(Version(m_db), kEntryVersion);
}

// The date and the manufacturer go in one statement: without the first it
// drops neither, and what follows it does not run.
TEST_F(ConvertV2514ToV252Test, APrePackedRecipeWithoutItsDateStopsBeforeTheNewColumnsAndTheRelations) {
  const std::string journal = RunBroken("V2514", 2005001004, "ALTER TABLE [RecetPreEmbal] DROP COLUMN [JJMMAAAA]");
  EXPECT_NE(journal.find("PrimaryKey [NutriLibelles] créee\nERREUR : "), std::string::npos) << journal;
  EXPECT_EQ(journal.find("Champs [RecetPreEmbal]"), std::string::npos);
  EXPECT_EQ(journal.find("Champs [Recettes]"), std::string::npos);
  EXPECT_NE(journal.find("\nERREUR : Structure database V2.5.1.4 non mise à jour\n\n"), std::string::npos);
  EXPECT_EQ(journal.find("Mise à jour des données"), std::string::npos);
  // What ran before stays.
  EXPECT_TRUE(HasColumn(m_db, "Ingredients", "NUTRI_UNIT"));
  EXPECT_EQ(Text(m_db, "SELECT COUNT(*) FROM [NutriLibelles]"), "0");
  EXPECT_TRUE(HasColumn(m_db, "RecetPreEmbal", "FABRICANT"));
  for (const char* column : {"FABDISPAR1", "FABDISPAR2", "FABDISTYPE1", "FABDISTYPE2", "NBREJOURS"})
    EXPECT_FALSE(HasColumn(m_db, "RecetPreEmbal", column)) << column;
  EXPECT_FALSE(HasColumn(m_db, "Recettes", "NUTRI_QTE"));
  EXPECT_FALSE(HasColumn(m_db, "Recettes", "NUTRI_UNIT"));
  EXPECT_EQ(StepRelations(m_db), 0);
  EXPECT_EQ(Version(m_db), kEntryVersion);
}

// The merges that add rows without looking: a key that the database
// already holds is a database error, which fails the data phase.
struct Collision {
  const char* name;
  const char* templateChanges[2];  // on the copy of the template, in order
  const char* databaseChange;
  const char* lastMerged;  // the journal line before the driver's error
  const char* check;       // what the database then holds
  const char* expected;
};

// Names the case in test listings instead of dumping the struct's bytes.
void PrintTo(const Collision& c, std::ostream* os) { *os << c.name; }

class ConvertV2514ToV252CollisionTest : public ::testing::TestWithParam<Collision> {};

TEST_P(ConvertV2514ToV252CollisionTest, FailsTheDataPhaseAndTheRunWithTheDriversError) {
  const Collision& c = GetParam();
  TempDir templates;
  const std::string tmpl = templates.path() + "/tq2V2_5_2.mdb";
  std::filesystem::copy_file(kTemplate, tmpl);
  for (const char* change : c.templateChanges)
    if (change != nullptr) Shell(tmpl, change);
  UpdaterRun run(templates.path());
  const std::string db = run.work() + "/Base.mdb";
  std::filesystem::copy_file(std::string(FIXTURE_DIR) + "/Fixture_V2514.mdb", db);
  if (c.databaseChange != nullptr) Shell(db, c.databaseChange);

  EXPECT_EQ(run.Run("'/SRC=" + db + "'"), kFailed) << run.stderrText();
  const std::string journal = run.Journal(run.work());
  EXPECT_NE(journal.find(std::string(c.lastMerged) + "ERREUR : "), std::string::npos) << journal;
  EXPECT_NE(journal.find("\nERREUR : Données database V2.5.2 non mise à jour\n\n\nFin du journal.\n"),
            std::string::npos);
  EXPECT_EQ(journal.find("Données table [Unites] mises à jour."), std::string::npos);
  EXPECT_EQ(Text(db, c.check), c.expected);
  EXPECT_EQ(Version(db), kEntryVersion);
  EXPECT_EQ(ReadFile(run.odbcIni()).find("[TQ2TMP"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Merges, ConvertV2514ToV252CollisionTest,
                         ::testing::Values(
                             // Two template labels of one [ID]: the first is written, the second refused.
                             Collision{"NutrientLabel",
                                       {"ALTER TABLE [NutriLibelles] DROP CONSTRAINT [PrimaryKey]",
                                        "INSERT INTO [NutriLibelles] ([ID], [LIBELLE_1]) VALUES (5, 'Doublon')"},
                                       nullptr,
                                       "Données table [Categories] mises à jour.\n",
                                       "SELECT [LIBELLE_1] FROM [NutriLibelles] WHERE [ID]=5",
                                       "Glucides"},
                             Collision{"PrePackedLabel",
                                       {nullptr, nullptr},
                                       "INSERT INTO [LibellesPreEmballe] ([ID], [NAME_1], [TYPE], [OWNER]) "
                                       "VALUES (104, 'Sans lactose maison', 8, 1)",
                                       "Données table [NutriLibelles] mises à jour.\n",
                                       "SELECT [NAME_1] FROM [LibellesPreEmballe] WHERE [ID]=104",
                                       "Sans lactose maison"},
                             Collision{"Unit",
                                       {nullptr, nullptr},
                                       "INSERT INTO [Unites] ([UNITDEF_ID], [TYPE], [OWNER], [NBDIGIT], [NAME_1]) "
                                       "VALUES (-1, 9, 1, 0, 'Mienne')",
                                       "Données table [LibellesPreEmballe] mises à jour.\n",
                                       "SELECT [NAME_1] FROM [Unites] WHERE [UNITDEF_ID]=-1",
                                       "Mienne"}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
