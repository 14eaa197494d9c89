// The step V2.4.3 -> V2.5.1 in process on the V2.4.3 fixture.
#include <filesystem>

#include "fixture_step_test.h"

namespace {

using ConvertV243ToV251Test = FixtureStepTest;

const char kTemplate[] = "tq2V2_5_1.mdb";

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

}  // namespace
