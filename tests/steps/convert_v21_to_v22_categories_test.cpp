// The category merges of the step V2.1 -> V2.2, run in process on the
// sample at V2.1 after changes made with the driver's shell. In the sample,
// category 52 holds the suppliers 53 (sub-categories 54 and 55, which share
// ingredients 13 and 25), 56 (57, and 58 with 59), 80 and 81; the import
// categories are 60 (61 with 63, and 62) and 70 (71), the latter named
// "Import" in German only.
#include <gtest/gtest.h>

#include "test_support/db_shell.h"
#include "test_support/step_harness.h"

namespace {

class CategoriesV22Test : public ::testing::Test {
 protected:
  CategoriesV22Test() : m_db(m_harness.Fixture(SAMPLE_V21_DB)) {}

  bool Run() { return m_harness.RunStep(2001, m_db); }

  // The lines of the journal between the first and the last marker, both
  // included.
  static std::string Between(const std::string& journal, const std::string& first, const std::string& last) {
    const std::size_t begin = journal.find(first);
    const std::size_t end = journal.find(last, begin);
    if (begin == std::string::npos || end == std::string::npos) return journal;
    return journal.substr(begin, end + last.size() - begin);
  }

  std::string Count(const std::string& where) const {
    return Text(m_db, "SELECT COUNT(*) FROM " + where);
  }

  // Every category below 52, with its links, deepest first.
  void RemoveSuppliers() {
    Shell(m_db, "DELETE FROM [CategIngre] WHERE " + AnyOf("[CLASS_ID]", {53, 54, 55, 57, 58, 59, 80}));
    Shell(m_db, "DELETE FROM [Categories] WHERE [CLASS_ID]=59");
    Shell(m_db, "DELETE FROM [Categories] WHERE " + AnyOf("[CLASS_ID]", {54, 55, 57, 58}));
    Shell(m_db, "DELETE FROM [Categories] WHERE [PERE_ID]=52");
  }

  StepHarness m_harness{TEMPLATE_DIR};
  std::string m_db;
};

constexpr const char* kLanguages = "Données table [Langue_System] mises à jour.\n";
constexpr const char* kCategoriesDone = "Données table [Categories] mises à jour.\n";

}  // namespace

TEST_F(CategoriesV22Test, AnImportCategoryFoundInEnglishIsNotSoughtAgainInGerman) {
  // 60 is no longer named in French, so English finds it first.
  Shell(m_db, "UPDATE [Categories] SET [NAME_1]='Importé' WHERE [CLASS_ID]=60");
  ASSERT_TRUE(Run()) << m_harness.Journal();
  EXPECT_EQ(Between(m_harness.Journal(), kLanguages, kCategoriesDone),
            std::string(kLanguages) +
                "Catégorie 63 supprimée\nCatégorie 61 supprimée\nCatégorie 62 supprimée\nCatégorie 60 supprimée\n"
                "Catégorie 71 supprimée\nCatégorie 70 supprimée\n" +
                kCategoriesDone);
  // Their recipe and ingredient links went with them.
  EXPECT_EQ(Count("[CategRecet] WHERE " + AnyOf("[CLASS_ID]", {62, 63})), "0");
  EXPECT_EQ(Count("[CategIngre] WHERE " + AnyOf("[CLASS_ID]", {61, 63, 71})), "0");
  EXPECT_EQ(Count("[Categories] WHERE " + AnyOf("[CLASS_ID]", {60, 61, 62, 63, 70, 71})), "0");
  EXPECT_EQ(Text(m_db, "SELECT [NAME_2] FROM [Categories] WHERE [CLASS_ID]=25"), "Import");
}

TEST_F(CategoriesV22Test, TheRootUnderAnImportNameIsPassedOver) {
  Shell(m_db, "UPDATE [Categories] SET [NAME_1]='Importation' WHERE [CLASS_ID]=-1");
  ASSERT_TRUE(Run()) << m_harness.Journal();
  // French finds the root first and moves on; English finds 60.
  EXPECT_EQ(Count("[Categories] WHERE " + AnyOf("[CLASS_ID]", {60, 70})), "0");
  EXPECT_EQ(Count("[Categories] WHERE [CLASS_ID]=-1"), "1");
}

TEST_F(CategoriesV22Test, WithoutCategory52NoImportCategoryIsAddedAndTheStepFails) {
  // Category 52 and its suppliers go, links first.
  RemoveSuppliers();
  Shell(m_db, "DELETE FROM [Categories] WHERE [CLASS_ID]=52");
  // The chain reaches no version: the program's exit code 1000.
  EXPECT_EQ(m_harness.RunChain(2001, m_db), kDbVersionNone);
  const std::string journal = m_harness.Journal();
  EXPECT_NE(journal.find("Catégorie 70 supprimée\n"
                         "ERREUR : Données table [Categories] non mises à jour.\n"
                         "ERREUR : Données database V2.2 non mise à jour\n"),
            std::string::npos)
      << journal;
  EXPECT_EQ(Count("[Categories] WHERE " + AnyOf("[CLASS_ID]", {25, 60, 70})), "0");
  EXPECT_EQ(Version(m_db), "2.1.1.91");
}

TEST_F(CategoriesV22Test, ARefusedDeletionOfAnImportCategoryLeavesOnlyTheMergesErrorLine) {
  // An ingredient whose principal family is category 61 holds it.
  Shell(m_db, "UPDATE [Ingredients] SET [ENTPRINCIPAL]=61 WHERE [INGRED_ID]=1");
  EXPECT_FALSE(Run());
  const std::string journal = m_harness.Journal();
  // 63 went; 61 stayed, so its parent 60 was not tried and nothing after.
  EXPECT_EQ(Between(journal, kLanguages, "ERREUR : Données table [Categories] non mises à jour.\n"),
            std::string(kLanguages) + "Catégorie 63 supprimée\nERREUR : Données table [Categories] non mises à jour.\n");
  EXPECT_EQ(Count("[Categories] WHERE " + AnyOf("[CLASS_ID]", {60, 61, 62, 70})), "4");
  EXPECT_EQ(Count("[CategRecet] WHERE [CLASS_ID]=62"), "2");
  EXPECT_EQ(Count("[Categories] WHERE [CLASS_ID]=25"), "0");
  EXPECT_EQ(journal.find("[CategIngre]"), std::string::npos);
}

TEST_F(CategoriesV22Test, ARefusedCollapseStillLinksItsIngredientsAndEndsTheWalk) {
  // A recipe linked to sub-category 55 holds it: the collapse leaves recipe
  // links alone.
  Shell(m_db, "INSERT INTO [CategRecet] ([RECET_ID], [CLASS_ID], [CLASSPARENT], [MASQUE]) VALUES (1, 55, 53, 0)");
  EXPECT_FALSE(Run());
  const std::string journal = m_harness.Journal();
  EXPECT_NE(journal.find("Catégorie 54 supprimée\nERREUR : "), std::string::npos) << journal;
  EXPECT_NE(journal.find("ERREUR : Données table [CategIngre] non mises à jour.\n"
                         "ERREUR : Données table [Categories] non mises à jour.\n"
                         "ERREUR : Données database V2.2 non mise à jour\n"),
            std::string::npos)
      << journal;
  // 55 lost its links, which went to its supplier; the supplier was still
  // reset, the next supplier not reached, and 52 got its type all the same.
  EXPECT_EQ(Count("[Categories] WHERE [CLASS_ID]=55"), "1");
  EXPECT_EQ(Count("[CategIngre] WHERE [CLASS_ID]=55"), "0");
  EXPECT_EQ(Count("[CategIngre] WHERE [CLASS_ID]=53"), "6");
  EXPECT_EQ(Text(m_db, "SELECT [TYPE] & '/' & [ASCHILD] FROM [Categories] WHERE [CLASS_ID]=53"), "0/0");
  EXPECT_EQ(Count("[Categories] WHERE [PERE_ID]=56"), "2");
  EXPECT_EQ(Text(m_db, "SELECT [TYPE] FROM [Categories] WHERE [CLASS_ID]=52"), "4");
  EXPECT_EQ(Version(m_db), "2.1.1.91");
}

TEST_F(CategoriesV22Test, ALinkWhoseIngredientCannotBeCollectedIsKeptWithItsCategory) {
  Shell(m_db, "INSERT INTO [Ingredients] ([INGRED_ID], [NOM]) VALUES (-4, 'Ancien')");
  Shell(m_db, "INSERT INTO [CategIngre] ([INGR_ID], [CLASS_ID], [CLASSPARENT], [MASQUE]) VALUES (-4, 54, 53, 0)");
  EXPECT_FALSE(Run());
  EXPECT_NE(m_harness.Journal().find("ERREUR : Données table [CategIngre] non mises à jour.\n"), std::string::npos)
      << m_harness.Journal();
  // The link stays where it was, with its category; the others of 54 moved.
  EXPECT_EQ(Count("[CategIngre] WHERE [CLASS_ID]=54"), "1");
  EXPECT_EQ(Count("[Categories] WHERE [CLASS_ID]=54"), "1");
  EXPECT_EQ(Count("[CategIngre] WHERE [CLASS_ID]=53 AND [INGR_ID]=12"), "1");
}

TEST_F(CategoriesV22Test, SuppliersOwnTheIngredientsOfTheirSubCategoriesOnceEach) {
  // An existing link of the supplier is kept as it is.
  Shell(m_db, "UPDATE [CategIngre] SET [MASQUE]=7 WHERE [CLASS_ID]=53 AND [INGR_ID]=22");
  ASSERT_TRUE(Run()) << m_harness.Journal();
  const std::string journal = m_harness.Journal();
  EXPECT_EQ(Between(journal, "Catégorie 54", "Données table [CategIngre] mises à jour.\n"),
            "Catégorie 54 supprimée\nCatégorie 55 supprimée\n"
            "Catégorie 57 supprimée\nCatégorie 59 supprimée\nCatégorie 58 supprimée\n"
            "Données table [CategIngre] mises à jour.\n");
  EXPECT_EQ(StepHarness::Query(m_db, "SELECT [INGR_ID], [CLASSPARENT], [MASQUE] FROM [CategIngre] "
                                     "WHERE [CLASS_ID]=53 ORDER BY [INGR_ID]"),
            "INGR_ID,CLASSPARENT,MASQUE\n10,52,0\n12,52,0\n13,52,0\n22,52,7\n23,52,0\n25,52,0\n");
  EXPECT_EQ(StepHarness::Query(m_db, "SELECT [INGR_ID] FROM [CategIngre] WHERE [CLASS_ID]=56 ORDER BY [INGR_ID]"),
            "INGR_ID\n14\n15\n16\n17\n");
  EXPECT_EQ(Count("[Categories] WHERE " + AnyOf("[CLASS_ID]", {54, 55, 57, 58, 59})), "0");
  EXPECT_EQ(Count("[Categories] WHERE " + AnyOf("[CLASS_ID]", {53, 56, 80, 81}) + " AND [TYPE]=0 AND [ASCHILD]=0"), "4");
  EXPECT_EQ(Text(m_db, "SELECT [TYPE] FROM [Categories] WHERE [CLASS_ID]=52"), "4");
}

TEST_F(CategoriesV22Test, SubCategoriesOfASupplierWithoutTheFlagAreLeftAlone) {
  Shell(m_db, "UPDATE [Categories] SET [ASCHILD]=False WHERE [CLASS_ID]=53");
  ASSERT_TRUE(Run()) << m_harness.Journal();
  EXPECT_EQ(Count("[Categories] WHERE [PERE_ID]=53"), "2");
  EXPECT_EQ(Count("[CategIngre] WHERE " + AnyOf("[CLASS_ID]", {54, 55})), "8");
  EXPECT_EQ(Count("[CategIngre] WHERE [CLASS_ID]=53"), "1");
  // The other suppliers were collapsed all the same.
  EXPECT_EQ(Count("[Categories] WHERE [PERE_ID]=56"), "0");
}

TEST_F(CategoriesV22Test, Category52WithoutChildrenInTheTreeOnlyGetsItsType) {
  // With its flag clear, category 52 is read without children.
  Shell(m_db, "UPDATE [Categories] SET [ASCHILD]=False WHERE [CLASS_ID]=52");
  ASSERT_TRUE(Run()) << m_harness.Journal();
  EXPECT_EQ(Text(m_db, "SELECT [TYPE] FROM [Categories] WHERE [CLASS_ID]=52"), "4");
  EXPECT_EQ(Count("[Categories] WHERE " + AnyOf("[PERE_ID]", {53, 56, 58})), "5");
  EXPECT_EQ(Count("[Categories] WHERE [PERE_ID]=52 AND [TYPE]=0"), "0");
  EXPECT_EQ(m_harness.Journal().find("Catégorie 54"), std::string::npos);
}

TEST_F(CategoriesV22Test, Category52WithNoChildAtAllOnlyGetsItsType) {
  RemoveSuppliers();
  ASSERT_TRUE(Run()) << m_harness.Journal();
  EXPECT_NE(m_harness.Journal().find("Données table [CategIngre] mises à jour.\n" + std::string(kCategoriesDone)),
            std::string::npos);
  EXPECT_EQ(Text(m_db, "SELECT [TYPE] & '/' & [NAME_4] FROM [Categories] WHERE [CLASS_ID]=52"), "4/Proveedor");
  EXPECT_EQ(Version(m_db), "2.2.1.197");
}

TEST_F(CategoriesV22Test, ATakenCategory25IsAJournaledFailureOfTheDataPhase) {
  Shell(m_db, "INSERT INTO [Categories] ([CLASS_ID], [TYPE], [PERE_ID], [NAME_1]) VALUES (25, 1, -1, 'Vins')");
  EXPECT_FALSE(Run());
  const std::string journal = m_harness.Journal();
  EXPECT_NE(journal.find("Catégorie 70 supprimée\nERREUR : "), std::string::npos) << journal;
  EXPECT_NE(journal.find("ERREUR : Données database V2.2 non mise à jour\n"), std::string::npos);
  EXPECT_EQ(Text(m_db, "SELECT [NAME_1] FROM [Categories] WHERE [CLASS_ID]=25"), "Vins");
  EXPECT_EQ(Version(m_db), "2.1.1.91");
}

TEST_F(CategoriesV22Test, AMissingUnitStopsTheUnitsAtItsPlace) {
  Shell(m_db, "DELETE FROM [Unites] WHERE [UNITDEF_ID]=21");
  EXPECT_FALSE(Run());
  EXPECT_NE(m_harness.Journal().find("ERREUR : Données table [Unites] non mises à jour.\n"
                                     "ERREUR : Données database V2.2 non mise à jour\n"),
            std::string::npos)
      << m_harness.Journal();
  // Units before it got their new texts, the one after it did not.
  EXPECT_EQ(Text(m_db, "SELECT [NAME_1] & '/' & [SYMBOL_5] FROM [Unites] WHERE [UNITDEF_ID]=14"),
            "recette/s/ricetta(e)");
  EXPECT_EQ(Text(m_db, "SELECT [NAME_4] FROM [Unites] WHERE [UNITDEF_ID]=12"), "Medida de capacidad");
  EXPECT_NE(Text(m_db, "SELECT [NAME_2] FROM [Unites] WHERE [UNITDEF_ID]=23"), "person/s");
  EXPECT_EQ(Version(m_db), "2.1.1.91");
}
