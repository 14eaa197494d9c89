// The step V2.4.3 -> V2.5.1 in process on the V2.4.3 fixture, and through
// the program where the exit code matters.
#include <sqlite3.h>

#include <filesystem>

#include "fixture_step_test.h"
#include "framework/data_source.h"
#include "test_support/updater_run.h"

namespace {

using ConvertV243ToV251Test = FixtureStepTest;

const char kTemplate[] = "tq2V2_5_1.mdb";

// The type of a column as the driver's shell describes it, "" when the
// table has no such column.
std::string ColumnType(const std::string& db, const std::string& table, const std::string& column) {
  const std::string schema = StepHarness::Query(db, ".schema " + table);
  const std::size_t at = schema.find("\n" + column + ",");
  if (at == std::string::npos) return "";
  const std::size_t from = at + column.size() + 2;
  return schema.substr(from, schema.find(',', from) - from);
}

const char kCategoryColumns[] =
    "SELECT [CLASS_ID], [TYPE], [MASQUE], [PERE_ID], [NAME_1], [NAME_2], [NAME_3], [NAME_4], [NAME_5], [OWNER], "
    "[ASCHILD], [EXPORTABLE] FROM [Categories] ";

TEST_F(ConvertV243ToV251Test, RebuildsTheAllergensAndReplacesThePrePackedLabels) {
  const std::string db = Fixture("V243");
  const std::string tmpl = std::string(TEMPLATE_DIR) + "/" + kTemplate;
  // A label of the user's, named by two ingredients and a pre-packed recipe;
  // the system row as the user renamed it.
  Shell(db, "INSERT INTO [LibellesPreEmballe] ([ID], [NAME_1], [TYPE], [OWNER]) VALUES (7, 'Mon libellé', 1, -1)");
  Shell(db, "UPDATE [LibellesPreEmballe] SET [NAME_1]='Système à moi' WHERE [ID]=-1");
  Shell(db, "UPDATE [Ingredients] SET [PREEM_DENVENT]=7, [PREEM_COMPOS]=7, [PREEM_CATADDITIF]=12 WHERE [INGRED_ID]=1");
  Shell(db, "UPDATE [Ingredients] SET [PREEM_CATADDITIF]=12 WHERE [INGRED_ID]=2");
  Shell(db, "INSERT INTO [RecetPreEmbal] ([ID_RECET], [ID_DENOMLEG], [NLOT], [FABRICANT]) VALUES (8, 7, 'L42', 'Moi')");
  // The earlier allergens: children of 27 with their links, 242 under 26.
  ASSERT_NE(Text(db, "SELECT COUNT(*) FROM [Categories] WHERE [PERE_ID]=27"), "0");
  ASSERT_NE(Text(db, "SELECT COUNT(*) FROM [CategRecet] WHERE [CLASSPARENT]=27"), "0");
  ASSERT_EQ(Text(db, "SELECT [PERE_ID] FROM [Categories] WHERE [CLASS_ID]=242"), "26");
  ASSERT_NE(Text(db, "SELECT COUNT(*) FROM [CategIngre] WHERE [CLASS_ID]=242"), "0");
  const std::string others = "WHERE [PERE_ID]<>26 AND [PERE_ID]<>27 AND [CLASS_ID]<>26 ORDER BY [CLASS_ID]";
  const std::string otherCategories = StepHarness::Query(db, "SELECT * FROM [Categories] " + others);
  const std::string before = ShellTime(std::time(nullptr));

  ASSERT_TRUE(m_harness.RunStep(2004003, db)) << m_harness.Journal();

  // The allergen branch: the root edited in place, its first child, then
  // the template's categories as they are there.
  EXPECT_EQ(StepHarness::Query(db, std::string(kCategoryColumns) + "WHERE [CLASS_ID]=26 OR [CLASS_ID]=36"),
            "CLASS_ID,TYPE,MASQUE,PERE_ID,NAME_1,NAME_2,NAME_3,NAME_4,NAME_5,OWNER,ASCHILD,EXPORTABLE\n"
            "26,2,0,-1,Allergène,Allergen,Allergen,Alergeno,Allergene,-1,-1,0\n"
            "36,0,0,26,Sans allergène,Without allergen,Ohne Allergene,Sin alergenos,Senza allergeni,-1,0,0\n");
  EXPECT_GE(Text(db, "SELECT [DATE_MAJ] FROM [Categories] WHERE [CLASS_ID]=26"), before);
  EXPECT_GE(Text(db, "SELECT [DATE_MAJ] FROM [Categories] WHERE [CLASS_ID]=36"), before);
  const std::string all = "SELECT * FROM [Categories] ";
  const std::string copied = StepHarness::Query(tmpl, all + "ORDER BY [CLASS_ID]");
  ASSERT_NE(Text(tmpl, "SELECT COUNT(*) FROM [Categories]"), "0");
  EXPECT_EQ(StepHarness::Query(db, all + "WHERE [PERE_ID]=26 AND [CLASS_ID]<>36 ORDER BY [CLASS_ID]"), copied);
  EXPECT_EQ(StepHarness::Query(db, all + others), otherCategories);
  EXPECT_EQ(Text(db, "SELECT COUNT(*) FROM [Categories] WHERE [PERE_ID]=27"), "0");
  EXPECT_EQ(Text(db, "SELECT COUNT(*) FROM [CategRecet] WHERE [CLASSPARENT]=27"), "0");
  EXPECT_EQ(Text(db, "SELECT COUNT(*) FROM [CategIngre] WHERE [CLASSPARENT]=27 OR [CLASS_ID]=242"), "0");
  EXPECT_NE(Text(db, "SELECT COUNT(*) FROM [CategIngre]"), "0");

  // The labels: the database's own row -1, then the template's others.
  EXPECT_EQ(Text(db, "SELECT [NAME_1] FROM [LibellesPreEmballe] WHERE [ID]=-1"), "Système à moi");
  const std::string labels = "SELECT * FROM [LibellesPreEmballe] WHERE [ID]<>-1 ORDER BY [ID]";
  EXPECT_EQ(StepHarness::Query(db, labels), StepHarness::Query(tmpl, labels));
  EXPECT_EQ(Text(db, "SELECT COUNT(*) FROM [RecetPreEmbal]"), "0");
  // An ingredient with a legal name points at the system row everywhere;
  // the others keep the additive category the structure emptied.
  const std::string preem = "SELECT [PREEM_DENVENT], [PREEM_COMPOS], [PREEM_CATADDITIF] FROM [Ingredients] ";
  EXPECT_EQ(StepHarness::Query(db, preem + "WHERE [INGRED_ID]=1"),
            "PREEM_DENVENT,PREEM_COMPOS,PREEM_CATADDITIF\n-1,-1,-1\n");
  EXPECT_EQ(StepHarness::Query(db, preem + "WHERE [INGRED_ID]=2"),
            "PREEM_DENVENT,PREEM_COMPOS,PREEM_CATADDITIF\nNull,Null,Null\n");
  EXPECT_EQ(Text(db, "SELECT COUNT(*) FROM [Ingredients] WHERE [PREEM_CATADDITIF] IS NOT NULL AND [INGRED_ID]<>1"),
            "0");
}

// The structure phase stops at its first statement: nothing else of the
// step happens, the template is not even registered.
TEST_F(ConvertV243ToV251Test, AnAllergenTableThatExistsStopsTheStepAtItsFirstStatement) {
  ASSERT_TRUE(AddDataSource("TQ2TMPSRC", "/elsewhere/tq2.mdb"));
  const std::string journal = RunBroken("V243", 2004003, "CREATE TABLE [CategIngAllerg] ([INGR_ID] INTEGER)");
  EXPECT_EQ(journal,
            "Mise à jour Toquelin V2.4.3 -> V2.5.1\n"
            "\nModification structure database V2.4.3\n"
            "ERREUR : La table 'CategIngAllerg' existe déjà.\n"
            "State:42S01,Native:3010,Origin:[jetdb][Pilote Access]\n"
            "ERREUR : Structure database V2.4.3 non mise à jour\n\n");
  EXPECT_EQ(Version(m_db), "2.4.3.307");
  EXPECT_EQ(ColumnType(m_db, "CategIngAllerg", "CLASS_ID"), "");
  EXPECT_EQ(ColumnType(m_db, "FmtEtiquette", "MRGHAUT"), "DOUBLE");
  EXPECT_NE(ReadFile(m_harness.work() + "/odbc.ini").find("\nDBQ=/elsewhere/tq2.mdb\n"), std::string::npos);
}

// The indexes are marked "go on": an index the driver cannot make leaves
// the later ones and the key to be made, silently, and the phase stops
// after the operation.
TEST_F(ConvertV243ToV251Test, AnIndexThatCannotBeMadeLetsTheOthersAndTheKeyBeMadeWithoutTheirLines) {
  m_db = Fixture("V243");
  // The driver keeps its indexes under names of its own in the file; one
  // that a crashed program left takes the name of the second index.
  sqlite3* raw = nullptr;
  ASSERT_EQ(sqlite3_open(m_db.c_str(), &raw), SQLITE_OK);
  EXPECT_EQ(sqlite3_exec(raw, "CREATE TABLE \"jetix.CategIngAllerg.CLASSPARENT\" (x)", nullptr, nullptr, nullptr),
            SQLITE_OK);
  sqlite3_close(raw);
  EXPECT_FALSE(m_harness.RunStep(2004003, m_db));
  EXPECT_EQ(m_harness.Journal(),
            "Mise à jour Toquelin V2.4.3 -> V2.5.1\n"
            "\nModification structure database V2.4.3\n"
            "Table [CategIngAllerg] créee\n"
            "Index [CategIngAllerg].[CLASS_ID] crée\n"
            "ERREUR : Échec de l'appel ODBC : erreur 1 du moteur de stockage.\n"
            "State:HY000,Native:3146,Origin:[jetdb][Pilote Access]\n"
            "ERREUR : Structure database V2.4.3 non mise à jour\n\n");
  const std::string schema = StepHarness::Query(m_db, ".schema CategIngAllerg");
  EXPECT_NE(schema.find("\nINGR_ID,INDEX,[INGR_ID]\nMASQUE,INDEX,[MASQUE]\nPrimaryKey,PRIMARY KEY,"), std::string::npos)
      << schema;
  EXPECT_EQ(schema.find("CLASSPARENT,INDEX"), std::string::npos);
  EXPECT_EQ(ColumnType(m_db, "FmtEtiquette", "MRGHAUT"), "DOUBLE");
  EXPECT_EQ(Version(m_db), "2.4.3.307");
}

// The label formats run "all run": the other five columns change, and
// the phase stops after the operation without its line.
TEST_F(ConvertV243ToV251Test, AHeightThatCannotChangeLeavesTheOtherFiveChangedAndStopsThePhase) {
  const std::string journal = RunBroken("V243", 2004003, "CREATE INDEX [HAUTEUR] ON [FmtEtiquette] ([HAUTEUR])");
  EXPECT_NE(journal.find("PrimaryKey [CategIngAllerg] créee\n"
                         "ERREUR : Impossible de modifier ou de supprimer le champ 'HAUTEUR' de la table "
                         "'FmtEtiquette'. Il fait partie d'un ou plusieurs index.\n"
                         "State:HY000,Native:3280,Origin:[jetdb][Pilote Access]\n"
                         "ERREUR : Structure database V2.4.3 non mise à jour\n\n"),
            std::string::npos)
      << journal;
  EXPECT_EQ(Count(journal, "ERREUR : "), 2) << journal;
  EXPECT_EQ(journal.find("champs ajustés"), std::string::npos);
  for (const char* column : {"MRGHAUT", "MRGCOTE", "LARGEUR", "PASVERT", "PASHORIZ"})
    EXPECT_EQ(ColumnType(m_db, "FmtEtiquette", column), "LONG") << column;
  EXPECT_EQ(ColumnType(m_db, "FmtEtiquette", "HAUTEUR"), "DOUBLE");
  EXPECT_EQ(ColumnType(m_db, "RecetPreEmbal", "VOLPDS"), "TEXT(50)");
  EXPECT_EQ(Version(m_db), "2.4.3.307");
}

// A label still named by an ingredient without a legal name cannot be
// deleted: the merge fails without a line of its own, after the reset and
// the emptying of the pre-packed recipes, which stay done.
TEST_F(ConvertV243ToV251Test, ALabelStillInUseFailsTheLabelMergeSilently) {
  m_db = Fixture("V243");
  Shell(m_db, "INSERT INTO [LibellesPreEmballe] ([ID], [NAME_1], [TYPE], [OWNER]) VALUES (7, 'Mon libellé', 2, -1)");
  Shell(m_db, "UPDATE [Ingredients] SET [PREEM_DENVENT]=7, [PREEM_COMPOS]=7 WHERE [INGRED_ID]=1");
  Shell(m_db, "UPDATE [Ingredients] SET [PREEM_COMPOS]=7 WHERE [INGRED_ID]=2");
  Shell(m_db, "INSERT INTO [RecetPreEmbal] ([ID_RECET], [ID_DENOMLEG]) VALUES (8, 7)");
  EXPECT_FALSE(m_harness.RunStep(2004003, m_db));
  const std::string journal = m_harness.Journal();
  const std::string end =
      "Données table [Langue_System] mises à jour.\n"
      "Données table [Categories] mises à jour.\n"
      "ERREUR : Données database V2.5.1 non mise à jour\n\n";
  ASSERT_GE(journal.size(), end.size());
  EXPECT_EQ(journal.substr(journal.size() - end.size()), end) << journal;
  EXPECT_EQ(Count(journal, "ERREUR"), 1);
  EXPECT_EQ(Text(m_db, "SELECT [PREEM_COMPOS] FROM [Ingredients] WHERE [INGRED_ID]=1"), "-1");
  EXPECT_EQ(Text(m_db, "SELECT [PREEM_COMPOS] FROM [Ingredients] WHERE [INGRED_ID]=2"), "7");
  EXPECT_EQ(Text(m_db, "SELECT COUNT(*) FROM [RecetPreEmbal]"), "0");
  EXPECT_EQ(Text(m_db, "SELECT COUNT(*) FROM [LibellesPreEmballe]"), "2");
  EXPECT_EQ(Version(m_db), "2.4.3.307");
}

// The step on the fixture with a template of the test's own: a copy of
// the delivered one, changed first.
class ConvertV243ToV251TemplateTest : public ::testing::Test {
 protected:
  ConvertV243ToV251TemplateTest() {
    std::filesystem::copy_file(std::string(TEMPLATE_DIR) + "/" + kTemplate, Template());
  }

  std::string Template() const { return m_templates.path() + "/" + kTemplate; }

  TempDir m_templates;  // before the harness, which is given its path
  StepHarness m_harness{m_templates.path()};
};

// With nothing to copy, the branch is the root and its first child; the
// root is added when the database has none.
TEST_F(ConvertV243ToV251TemplateTest, AnEmptyTemplateLeavesTheRootAndItsFirstChildAndTheSystemLabel) {
  Shell(Template(), "DELETE FROM [Categories]");
  Shell(Template(), "DELETE FROM [LibellesPreEmballe] WHERE [ID]<>-1");
  Shell(Template(), "UPDATE [LibellesPreEmballe] SET [NAME_1]='Modèle' WHERE [ID]=-1");
  const std::string db = m_harness.Fixture(std::string(FIXTURE_DIR) + "/Fixture_V243.mdb");
  Shell(db, "DELETE FROM [CategIngre] WHERE [CLASS_ID]=242");
  Shell(db, "DELETE FROM [Categories] WHERE [PERE_ID]=26");
  Shell(db, "DELETE FROM [Categories] WHERE [CLASS_ID]=26");
  Shell(db, "INSERT INTO [LibellesPreEmballe] ([ID], [NAME_1], [TYPE], [OWNER]) VALUES (7, 'Mon libellé', 1, -1)");
  ASSERT_TRUE(m_harness.RunStep(2004003, db));
  EXPECT_NE(m_harness.Journal().find("Données table [Categories] mises à jour.\n"
                                     "Données table [LibellesPreEmballe] mises à jour.\n"
                                     "Données database V2.5.1 mise à jour\n\n"),
            std::string::npos);
  EXPECT_EQ(StepHarness::Query(db, std::string(kCategoryColumns) + "WHERE [CLASS_ID]=26 OR [PERE_ID]=26"),
            "CLASS_ID,TYPE,MASQUE,PERE_ID,NAME_1,NAME_2,NAME_3,NAME_4,NAME_5,OWNER,ASCHILD,EXPORTABLE\n"
            "26,2,0,-1,Allergène,Allergen,Allergen,Alergeno,Allergene,-1,-1,0\n"
            "36,0,0,26,Sans allergène,Without allergen,Ohne Allergene,Sin alergenos,Senza allergeni,-1,0,0\n");
  EXPECT_EQ(StepHarness::Query(db, "SELECT [ID], [NAME_1] FROM [LibellesPreEmballe]"), "ID,NAME_1\n-1,SYSTEM\n");
  EXPECT_EQ(Version(db), "2.5.1.341");
}

// A template row that the database refuses to take is a database error of
// the data phase: journaled, the step failed, the program ends with 1000.
class ConvertV243ToV251RunTest : public ConvertV243ToV251TemplateTest {
 protected:
  int RunOn(const std::string& change) {
    m_db = m_run.work() + "/Base.mdb";
    std::filesystem::copy_file(std::string(FIXTURE_DIR) + "/Fixture_V243.mdb", m_db);
    if (!change.empty()) Shell(m_db, change);
    return m_run.Run("'/SRC=" + m_db + "'");
  }

  // The end of the journal after a refused row: the driver's error, and
  // the data phase's failure as the run's last step.
  void ExpectRefused(const std::string& before, const std::string& error) {
    const std::string journal = m_run.Journal(m_run.work());
    EXPECT_NE(journal.find(before + "ERREUR : " + error +
                           "\nERREUR : Données database V2.5.1 non mise à jour\n\n\n"
                           "Fin du journal.\n"),
              std::string::npos)
        << journal;
    EXPECT_NE(m_run.stderrText().find("V2.4.3 -> V2.5.1"), std::string::npos) << m_run.stderrText();
    EXPECT_EQ(Version(m_db), "2.4.3.307");
    EXPECT_EQ(ReadFile(m_run.odbcIni()).find("[TQ2TMP"), std::string::npos);
  }

  UpdaterRun m_run{m_templates.path()};
  std::string m_db;
};

TEST_F(ConvertV243ToV251RunTest, ACategoryOfTheTemplateThatTheDatabaseHoldsFailsTheStep) {
  EXPECT_EQ(RunOn("INSERT INTO [Categories] ([CLASS_ID], [TYPE], [PERE_ID], [NAME_1], [OWNER]) "
                  "VALUES (40, 1, 1, 'Poissons à moi', 1)"),
            kFailed);
  ExpectRefused("Données table [Langue_System] mises à jour.\n",
                "Les modifications apportées à la table 'Categories' n'ont pas été effectuées car elles créeraient "
                "des valeurs en double dans l'index, la clé primaire ou la relation. Modifiez les données du ou des "
                "champs contenant des valeurs en double, supprimez l'index ou redéfinissez-le pour autoriser les "
                "entrées en double et réessayez.\nState:23000,Native:3022,Origin:[jetdb][Pilote Access]");
  // What was written before the refused row stays; the labels were not
  // reached.
  EXPECT_EQ(Text(m_db, "SELECT COUNT(*) FROM [Categories] WHERE [PERE_ID]=26"), "4");
  EXPECT_EQ(Text(m_db, "SELECT [NAME_1] FROM [Categories] WHERE [CLASS_ID]=40"), "Poissons à moi");
  EXPECT_EQ(Text(m_db, "SELECT COUNT(*) FROM [LibellesPreEmballe]"), "1");
}

TEST_F(ConvertV243ToV251RunTest, ALabelOfTheTemplateThatTheDatabaseRefusesFailsTheStep) {
  Shell(Template(), "INSERT INTO [LibellesPreEmballe] ([ID], [NAME_1], [TYPE], [OWNER]) VALUES (60, 'À lui', 1, 77)");
  EXPECT_EQ(RunOn(""), kFailed);
  ExpectRefused("Données table [Categories] mises à jour.\n",
                "Vous ne pouvez pas ajouter ou modifier un enregistrement car l'enregistrement associé est requis "
                "dans la table 'Utilisateurs'.\nState:23000,Native:3201,Origin:[jetdb][Pilote Access]");
  // The labels before it in the template's order are in.
  EXPECT_EQ(StepHarness::Query(m_db, "SELECT [ID] FROM [LibellesPreEmballe] WHERE [ID]>50 ORDER BY [ID]"), "ID\n51\n");
}

}  // namespace
