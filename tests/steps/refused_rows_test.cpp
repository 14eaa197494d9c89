// Rows that a merge writes without looking first, and that the database
// refuses, or a row it needs and does not find: the merge fails the data
// phase there, with the driver's error or its own line, after the merges
// before it; what they wrote stays, the later merges do not run, the step
// does not stamp its version.
#include <algorithm>
#include <filesystem>
#include <vector>

#include "fixture_step_test.h"
#include "steps/versions.h"

namespace {

struct Refusal {
  const char* name;
  const char* fixture;  // of the step's entry version
  DbVersion from;
  std::vector<const char*> templateChanges;
  const char* databaseChange;
  const char* lastMerged;  // the journal line before the failure
  const char* failure;     // the start of the failure's lines
  int failureLines;        // the driver's two, or the merge's one
  const char* check;       // what the database holds afterwards
  const char* expected;
};

void PrintTo(const Refusal& r, std::ostream* os) { *os << r.name; }

class RefusedRowsTest : public FixtureStepTest, public ::testing::WithParamInterface<Refusal> {};

TEST_P(RefusedRowsTest, FailTheDataPhaseWhereTheMergeMeetsThem) {
  const Refusal& r = GetParam();
  const ConversionStep& step = *StepFrom(r.from);
  TempDir templates;
  const std::string tmpl = templates.path() + "/" + step.templateFile;
  std::filesystem::copy_file(std::string(TEMPLATE_DIR) + "/" + step.templateFile, tmpl);
  for (const char* change : r.templateChanges) Shell(tmpl, change);
  StepHarness harness(templates.path());
  const std::string db = harness.Fixture(std::string(FIXTURE_DIR) + "/Fixture_" + r.fixture + ".mdb");
  if (r.databaseChange != nullptr) Shell(db, r.databaseChange);

  EXPECT_FALSE(harness.RunStep(r.from, db));
  const std::string journal = harness.Journal();
  const std::size_t at = journal.find(r.lastMerged);
  ASSERT_NE(at, std::string::npos) << journal;
  const std::string rest = journal.substr(at + std::string(r.lastMerged).size());
  EXPECT_EQ(rest.rfind(std::string("ERREUR : ") + r.failure, 0), 0u) << rest;
  EXPECT_EQ(std::count(rest.begin(), rest.end(), '\n'), r.failureLines + 2) << rest;
  EXPECT_TRUE(rest.ends_with(step.lines.dataFailure)) << rest;
  EXPECT_EQ(Text(db, r.check), r.expected);
  EXPECT_EQ(Version(db), step.from.text);
}

const char kTaken[] = "Les modifications apportées à la table '";

INSTANTIATE_TEST_SUITE_P(
    Merges, RefusedRowsTest,
    ::testing::Values(
        // V2.4.2: the inventory category comes first, the storage places'
        // move needs category 20.
        Refusal{"NoStoragePlaces", "V241", 2004, {}, "DELETE FROM [Categories] WHERE [CLASS_ID]=20",
                "Données table [Langue_System] mises à jour.\n", "Données table [Categories] non mises à jour.\n", 1,
                "SELECT [NAME_1] FROM [Categories] WHERE [CLASS_ID]=28", "Inventaire"},
        Refusal{"InventoryTaken", "V241", 2004, {},
                "INSERT INTO [Categories] ([CLASS_ID], [TYPE], [PERE_ID], [NAME_1], [OWNER]) "
                "VALUES (28, 0, 3, 'Caves', 1)",
                "Données table [Langue_System] mises à jour.\n", kTaken, 2,
                "SELECT [NAME_1] & '/' & [PERE_ID] FROM [Categories] WHERE [CLASS_ID]=28", "Caves/3"},
        // V2.5.1: the allergen branch is written before the template's
        // categories; the labels come after them.
        Refusal{"AllergenCategoryTaken", "V243", 2004003, {},
                "INSERT INTO [Categories] ([CLASS_ID], [TYPE], [PERE_ID], [NAME_1], [OWNER]) "
                "VALUES (40, 1, 1, 'Poissons à moi', 1)",
                "Données table [Langue_System] mises à jour.\n", kTaken, 2,
                "SELECT COUNT(*) FROM [Categories] WHERE [PERE_ID]=26", "4"},
        Refusal{"LabelOfNoUser", "V243",
                2004003,
                {"INSERT INTO [LibellesPreEmballe] ([ID], [NAME_1], [TYPE], [OWNER]) VALUES (60, 'À lui', 1, 77)"},
                nullptr,
                "Données table [Categories] mises à jour.\n",
                "Vous ne pouvez pas ajouter ou modifier un enregistrement car l'enregistrement associé est requis "
                "dans la table 'Utilisateurs'.",
                2,
                "SELECT COUNT(*) FROM [LibellesPreEmballe] WHERE [ID]>50",
                "1"},
        // V2.5.2: two template labels of one [ID], the first written.
        Refusal{"NutrientLabelTwice", "V2514",
                2005001004,
                {"ALTER TABLE [NutriLibelles] DROP CONSTRAINT [PrimaryKey]",
                 "INSERT INTO [NutriLibelles] ([ID], [LIBELLE_1]) VALUES (5, 'Doublon')"},
                nullptr,
                "Données table [Categories] mises à jour.\n",
                kTaken,
                2,
                "SELECT [LIBELLE_1] FROM [NutriLibelles] WHERE [ID]=5",
                "Glucides"},
        Refusal{"PrePackedLabelTaken", "V2514", 2005001004, {},
                "INSERT INTO [LibellesPreEmballe] ([ID], [NAME_1], [TYPE], [OWNER]) "
                "VALUES (104, 'Sans lactose maison', 8, 1)",
                "Données table [NutriLibelles] mises à jour.\n", kTaken, 2,
                "SELECT [NAME_1] FROM [LibellesPreEmballe] WHERE [ID]=104", "Sans lactose maison"},
        Refusal{"SystemUnitTaken", "V2514", 2005001004, {},
                "INSERT INTO [Unites] ([UNITDEF_ID], [TYPE], [OWNER], [NBDIGIT], [NAME_1]) "
                "VALUES (-1, 9, 1, 0, 'Mienne')",
                "Données table [LibellesPreEmballe] mises à jour.\n", kTaken, 2,
                "SELECT [NAME_1] FROM [Unites] WHERE [UNITDEF_ID]=-1", "Mienne"},
        // V2.5.3: the line feed of the progressions, after the labels.
        Refusal{"LineFeedTaken", "V252", 2005002, {},
                "INSERT INTO [Progression] ([IDPROGRESSION], [PROGRESSION_1], [OWNER]) VALUES (-2, 'Retour', 1)",
                "Données table [Categories] mises à jour.\n", kTaken, 2,
                "SELECT [OWNER] FROM [NutriLibelles] WHERE [ID]=15", "-1"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
