// The step V2.4.3 -> V2.5.1 in process on the V2.4.3 fixture, and through
// the program where the exit code matters.
#include <ctime>
#include <filesystem>

#include "fixture_step_test.h"
#include "framework/data_source.h"
#include "test_support/updater_run.h"

namespace {

using ConvertV243ToV251Test = FixtureStepTest;

constexpr int kFailed = 1000 % 256;

const char kTemplate[] = "tq2V2_5_1.mdb";

// "YYYY-MM-DD HH:MM:SS" of a time, as the shell shows dates.
std::string ShellTime(std::time_t t) {
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", std::localtime(&t));
  return text;
}

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

const char kStructureLines[] =
    "\nModification structure database V2.4.3\n"
    "Table [CategIngAllerg] créee\n"
    "Index [CategIngAllerg].[CLASS_ID] crée\n"
    "Index [CategIngAllerg].[CLASSPARENT] crée\n"
    "Index [CategIngAllerg].[INGR_ID] crée\n"
    "Index [CategIngAllerg].[MASQUE] crée\n"
    "PrimaryKey [CategIngAllerg] créee\n"
    "Table [FmtEtiquette] champs ajustés\n"
    "Table [RecetPreEmbal] modifiée\n"
    "Table [RecetteAffIngrCompos] modifiée\n"
    "Relation [CategIngAllerg].[CLASS_ID] Créee\n"
    "Relation [CategIngAllerg].[INGR_ID] Créee\n"
    "Relation [LibellesPreEmballeRecetPreEmbal1].[ID_VOLPDS] Créee\n"
    "Relation [LibellesPreEmballeRecetPreEmbal2].[ID_DATE] Créee\n"
    "Relation [LibellesPreEmballeRecetPreEmbal3].[ID_LIEU] Créee\n"
    "Relation [LibellesPreEmballeRecetPreEmbal4].[ID_APOUVERT] Créee\n"
    "Champs [Ingredients].[PREEM_CATADDITIF] Reinitialisé\n"
    "Relation [LibellesPreEmballeIngredients2].[PREEM_CATADDITIF] Créee\n"
    "Structure database V2.5.1 mise à jour\n\n";

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

  ASSERT_TRUE(m_harness.RunStep(kDbVersion243, db)) << m_harness.Journal();
  EXPECT_EQ(m_harness.Journal(), std::string("Mise à jour Toquelin V2.4.3 -> V2.5.1\n") + kStructureLines +
                                     "\nMise à jour des données database V2.4.3\n"
                                     "Données table [Langue_Printer] mises à jour.\n"
                                     "Données table [Langue_System] mises à jour.\n"
                                     "Données table [Categories] mises à jour.\n"
                                     "Données table [LibellesPreEmballe] mises à jour.\n"
                                     "Données database V2.5.1 mise à jour\n\n");
  EXPECT_EQ(Text(db,
                 "SELECT COUNT(*) FROM [Langue_System] WHERE [Libelle]='IDS_VERSION_DB' AND [Langue_1]='2.5.1.341' "
                 "AND [Langue_2]='2.5.1.341' AND [Langue_3]='2.5.1.341' AND [Langue_4]='2.5.1.341' "
                 "AND [Langue_5]='2.5.1.341'"),
            "1");

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

  // The structure, as the driver describes it.
  EXPECT_EQ(StepHarness::Query(db, ".schema CategIngAllerg"),
            "Champ,Type,Null\nINGR_ID,LONG,NOT NULL\nCLASS_ID,LONG,NOT NULL\nCLASSPARENT,LONG,\nMASQUE,LONG,\n\n"
            "Index,Genre,Champs\nCLASS_ID,INDEX,[CLASS_ID]\nCLASSPARENT,INDEX,[CLASSPARENT]\nINGR_ID,INDEX,[INGR_ID]\n"
            "MASQUE,INDEX,[MASQUE]\nPrimaryKey,PRIMARY KEY,\"[INGR_ID], [CLASS_ID]\"\n\n"
            "Relation,Table,Référence\n"
            "CategoriesCategIngAllerg,[CategIngAllerg]([CLASS_ID]),[Categories]([CLASS_ID])\n"
            "IngredientsCategIngAllerg,[CategIngAllerg]([INGR_ID]),[Ingredients]([INGRED_ID])\n");
  for (const char* column : {"MRGHAUT", "MRGCOTE", "HAUTEUR", "LARGEUR", "PASVERT", "PASHORIZ"})
    EXPECT_EQ(ColumnType(db, "FmtEtiquette", column), "LONG") << column;
  for (const char* gone : {"ID_CONSERV", "VOLPDS", "DATE", "CONSERV"})
    EXPECT_EQ(ColumnType(db, "RecetPreEmbal", gone), "") << gone;
  const std::pair<const char*, const char*> added[] = {
      {"ID_LIEU", "LONG"},        {"ID_APOUVERT", "LONG"},  {"QTE", "TEXT(50)"},      {"CONTENU", "TEXT(50)"},
      {"NLOT", "TEXT(50)"},       {"JJMMAAAA", "TEXT(32)"}, {"DUREEAPO", "TEXT(50)"}, {"FABRICANT", "MEMO"},
      {"SUCRE_MESURE", "DOUBLE"}, {"INGCUMDETENA", "BIT"}};
  for (const auto& [column, type] : added) EXPECT_EQ(ColumnType(db, "RecetPreEmbal", column), type) << column;
  const std::string recetPreEmbal = StepHarness::Query(db, ".schema RecetPreEmbal");
  EXPECT_EQ(recetPreEmbal.find("CategoriesRecetPreEmbal"), std::string::npos);
  for (const char* relation : {"LibellesPreEmballeRecetPreEmbal1,[RecetPreEmbal]([ID_VOLPDS])",
                               "LibellesPreEmballeRecetPreEmbal2,[RecetPreEmbal]([ID_DATE])",
                               "LibellesPreEmballeRecetPreEmbal3,[RecetPreEmbal]([ID_LIEU])",
                               "LibellesPreEmballeRecetPreEmbal4,[RecetPreEmbal]([ID_APOUVERT])"})
    EXPECT_NE(recetPreEmbal.find(std::string("\n") + relation + ",[LibellesPreEmballe]([ID])\n"), std::string::npos)
        << relation;
  EXPECT_EQ(ColumnType(db, "RecetteAffIngrCompos", "CENT_COMPOSITION"), "BIT");
  EXPECT_NE(
      StepHarness::Query(db, ".schema Ingredients")
          .find("\nLibellesPreEmballeIngredients2,[Ingredients]([PREEM_CATADDITIF]),[LibellesPreEmballe]([ID])\n"),
      std::string::npos);
}

}  // namespace
