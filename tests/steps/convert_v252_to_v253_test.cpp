// The step V2.5.2 -> V2.5.3, the last of the chain, on the V2.5.2 fixture:
// in process, and through the program where the exit code matters.
#include <filesystem>

#include "fixture_step_test.h"
#include "jetdb/jetdb.h"
#include "test_support/updater_run.h"

namespace {

using ConvertV252ToV253Test = FixtureStepTest;

const std::string kTemplate = std::string(TEMPLATE_DIR) + "/tq2V2_5_3.mdb";
constexpr const char* kEntryVersion = "2.5.2.399";

bool HasOwnerRelation(const std::string& db) {
  jetdb::Error error;
  auto database = jetdb::Database::open(db, false, error);
  if (!database) return false;
  for (const jetdb::RelationInfo& relation : database->relations("NutriLibelles"))
    if (relation.name == "UtilisateursNutriLibelles") return true;
  return false;
}

TEST_F(ConvertV252ToV253Test, AddsOrOverwritesTheTemplatesRowsAndKeepsTheDatabasesOwn) {
  const std::string db = Fixture("V252");
  // A label of the template that the user changed, and one of the user's.
  Shell(db, "UPDATE [NutriLibelles] SET [LIB_CIQUAL]='Sel (g/100 g)', [BKCOL]=0 WHERE [ID]=9");
  Shell(db,
        "INSERT INTO [NutriLibelles] ([ID], [LIBELLE_1], [UNITE], [NUMORDRE]) VALUES (50, 'Mon nutriment', 'g', 50)");
  // A category of the template that has sub-categories in this database only.
  Shell(db, "UPDATE [Categories] SET [ASCHILD]=True, [NAME_1]='Stock' WHERE [CLASS_ID]=28");
  const std::string asChild = "SELECT [ASCHILD] FROM [Categories] WHERE [CLASS_ID]=28";
  const std::string ownAsChild = Text(db, asChild);
  ASSERT_NE(ownAsChild, Text(kTemplate, asChild));
  const std::string others =
      "SELECT * FROM [Categories] WHERE [CLASS_ID]<>26 AND [CLASS_ID]<>28 AND [CLASS_ID]<>52 AND [CLASS_ID]<>90 "
      "AND [CLASS_ID]<>96 AND [CLASS_ID]<>97 ORDER BY [CLASS_ID]";
  const std::string othersBefore = StepHarness::Query(db, others);

  ASSERT_TRUE(m_harness.RunStep(2005002, db)) << m_harness.Journal();

  // Every template label, added or overwritten, in all fifteen columns.
  EXPECT_EQ(StepHarness::Query(db, "SELECT * FROM [NutriLibelles] WHERE [ID] < 50 ORDER BY [ID]"),
            StepHarness::Query(kTemplate, "SELECT * FROM [NutriLibelles] ORDER BY [ID]"));
  EXPECT_EQ(StepHarness::Query(db,
                               "SELECT [LIBELLE_1], [UNITE], [OWNER], [DATE_MAJ] FROM [NutriLibelles] "
                               "WHERE [ID]=50"),
            "LIBELLE_1,UNITE,OWNER,DATE_MAJ\nMon nutriment,g,Null,Null\n");

  const std::string templateCategories =
      "SELECT [CLASS_ID], [TYPE], [MASQUE], [PERE_ID], [NAME_1], [NAME_2], [NAME_3], [NAME_4], [NAME_5], [OWNER], "
      "[DATE_MAJ], [EXPORTABLE] FROM [Categories] WHERE " +
      AnyOf("[CLASS_ID]", {26, 28, 52, 90, 96, 97}) + " ORDER BY [CLASS_ID]";
  EXPECT_EQ(StepHarness::Query(db, templateCategories), StepHarness::Query(kTemplate, templateCategories));
  EXPECT_EQ(Text(db, asChild), ownAsChild);
  const std::string addedAsChild =
      "SELECT [CLASS_ID], [ASCHILD] FROM [Categories] WHERE " + AnyOf("[CLASS_ID]", {96, 97}) + " ORDER BY [CLASS_ID]";
  EXPECT_EQ(StepHarness::Query(db, addedAsChild), StepHarness::Query(kTemplate, addedAsChild));
  EXPECT_EQ(StepHarness::Query(db, others), othersBefore);

  EXPECT_EQ(StepHarness::Query(db, "SELECT * FROM [Progression] WHERE [IDPROGRESSION]=-2"),
            "IDPROGRESSION,PROGRESSION_1,PROGRESSION_2,PROGRESSION_3,PROGRESSION_4,PROGRESSION_5,OWNER\n"
            "-2,*[Saut de ligne],*[Line feed],*[Zeilenumbruch],*[Salto de línea],*[Nuova riga],-1\n");
}

TEST_F(ConvertV252ToV253Test, NutrientLabelsWithAnOwnerAlreadyStopTheStepAtItsFirstStatement) {
  const std::string journal =
      RunBroken("V252", 2005002, "ALTER TABLE [NutriLibelles] ADD COLUMN [OWNER] INTEGER");
  EXPECT_EQ(
      journal.rfind("Mise à jour Toquelin V2.5.2 -> V2.5.3\n\nModification structure database V2.5.2\nERREUR : ", 0),
      0u)
      << journal;
  const std::string failure = "\nERREUR : Structure database V2.5.2 non mise à jour\n\n";
  EXPECT_EQ(journal.substr(journal.size() - failure.size()), failure);
  EXPECT_EQ(journal.find("modifiée"), std::string::npos);
  EXPECT_EQ(journal.find("Mise à jour des données"), std::string::npos);
  EXPECT_FALSE(HasColumn(m_db, "NutriLibelles", "DATE_MAJ"));
  EXPECT_FALSE(HasColumn(m_db, "RecetPreEmbal", "INGCUMDETMASENA"));
  EXPECT_FALSE(HasOwnerRelation(m_db));
  EXPECT_EQ(Version(m_db), kEntryVersion);
}

TEST_F(ConvertV252ToV253Test, WithoutUsersTheRelationFailsAfterTheColumnsWereAdded) {
  m_db = Fixture("V252");
  {
    jetdb::Error error;
    auto database = jetdb::Database::open(m_db, false, error);
    ASSERT_TRUE(database) << error.message;
    for (const jetdb::RelationInfo& relation : database->relations("Utilisateurs"))
      Shell(m_db, "ALTER TABLE [" + relation.table + "] DROP CONSTRAINT [" + relation.name + "]");
  }
  Shell(m_db, "DROP TABLE [Utilisateurs]");
  ASSERT_FALSE(m_harness.RunStep(2005002, m_db));
  const std::string journal = m_harness.Journal();
  EXPECT_NE(journal.find("\nModification structure database V2.5.2\n"
                         "Table [NutriLibelles] modifiée\n"
                         "Table [RecetPreEmbal] modifiée\n"
                         "ERREUR : "),
            std::string::npos)
      << journal;
  const std::string failure = "\nERREUR : Structure database V2.5.2 non mise à jour\n\n";
  EXPECT_EQ(journal.substr(journal.size() - failure.size()), failure);
  EXPECT_EQ(journal.find("Mise à jour des données"), std::string::npos);
  EXPECT_TRUE(HasColumn(m_db, "NutriLibelles", "OWNER"));
  EXPECT_TRUE(HasColumn(m_db, "NutriLibelles", "DATE_MAJ"));
  EXPECT_TRUE(HasColumn(m_db, "RecetPreEmbal", "INGCUMDETMASENA"));
  EXPECT_EQ(Version(m_db), kEntryVersion);
}

// The line feed is added without looking: a row -2 of the database's own is
// a database error that fails the data phase, after the merges before it.
TEST(ConvertV252ToV253RunTest, AProgressionRowMinusTwoFailsTheDataPhaseAndTheRun) {
  UpdaterRun run(TEMPLATE_DIR);
  const std::string db = run.work() + "/Base.mdb";
  std::filesystem::copy_file(std::string(FIXTURE_DIR) + "/Fixture_V252.mdb", db);
  Shell(db, "INSERT INTO [Progression] ([IDPROGRESSION], [PROGRESSION_1], [OWNER]) VALUES (-2, 'Retour', 1)");
  EXPECT_EQ(run.Run("'/SRC=" + db + "'"), kFailed) << run.stderrText();
  const std::string journal = run.Journal(run.work());
  EXPECT_NE(journal.find("Données table [Categories] mises à jour.\nERREUR : "), std::string::npos) << journal;
  EXPECT_NE(journal.find("\nERREUR : Données database V2.5.3 non mise à jour\n\n\nFin du journal.\n"),
            std::string::npos);
  EXPECT_EQ(journal.find("[Progression] mises à jour"), std::string::npos);
  EXPECT_EQ(Text(db, "SELECT [PROGRESSION_1] FROM [Progression] WHERE [IDPROGRESSION]=-2"), "Retour");
  // Nothing is undone: the labels merged before stay, the version does not move.
  EXPECT_EQ(Text(db, "SELECT [OWNER] FROM [NutriLibelles] WHERE [ID]=15"), "-1");
  EXPECT_EQ(Version(db), kEntryVersion);
  EXPECT_EQ(ReadFile(run.odbcIni()).find("[TQ2TMP"), std::string::npos);
}

}  // namespace
