// The step V2.5.2 -> V2.5.3, the last of the chain, in process on the V2.5.2
// fixture.
#include "fixture_step_test.h"

namespace {

using ConvertV252ToV253Test = FixtureStepTest;

const std::string kTemplate = std::string(TEMPLATE_DIR) + "/tq2V2_5_3.mdb";
constexpr const char* kEntryVersion = "2.5.2.399";

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

}  // namespace
