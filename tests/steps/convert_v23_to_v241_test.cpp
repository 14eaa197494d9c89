// The step V2.3 -> V2.4.1 in process on the V2.3 fixture.
#include "fixture_step_test.h"

namespace {

using ConvertV23ToV241Test = FixtureStepTest;

TEST_F(ConvertV23ToV241Test, WritesTheSystemLabelClearsThePricesAndGivesTheGramADigit) {
  const std::string db = Fixture("V23");
  ASSERT_NE(Text(db, "SELECT COUNT(*) FROM [Ingredients] WHERE [PXKG] IS NOT NULL"), "0");
  ASSERT_EQ(Text(db, "SELECT [NBDIGIT] FROM [Unites] WHERE [UNITDEF_ID]=3"), "0");
  const std::string otherDigits = StepHarness::Query(db, "SELECT [NBDIGIT] FROM [Unites] WHERE [UNITDEF_ID]<>3");
  ASSERT_TRUE(m_harness.RunStep(2003, db));
  EXPECT_EQ(StepHarness::Query(db,
                               "SELECT [ID], [NAME_1], [NAME_2], [NAME_3], [NAME_4], [NAME_5], [TYPE], [OWNER] "
                               "FROM [LibellesPreEmballe]"),
            "ID,NAME_1,NAME_2,NAME_3,NAME_4,NAME_5,TYPE,OWNER\n-1,SYSTEM,SYSTEM,SYSTEM,SYSTEM,SYSTEM,255,-1\n");
  EXPECT_EQ(Text(db, "SELECT COUNT(*) FROM [Ingredients] WHERE [PXKG] IS NOT NULL"), "0");
  EXPECT_NE(Text(db, "SELECT COUNT(*) FROM [Ingredients]"), "0");
  EXPECT_EQ(Text(db, "SELECT [NBDIGIT] FROM [Unites] WHERE [UNITDEF_ID]=3"), "1");
  EXPECT_EQ(StepHarness::Query(db, "SELECT [NBDIGIT] FROM [Unites] WHERE [UNITDEF_ID]<>3"), otherDigits);
}

// A refused data statement says so twice, the driver's error and its own
// line, and the merges after it do not run.
TEST_F(ConvertV23ToV241Test, APriceColumnThatIsGoneFailsTheDataPhaseBeforeTheGram) {
  const std::string journal = RunBroken("V23", 2003, "ALTER TABLE [Ingredients] DROP COLUMN [PXKG]");
  EXPECT_NE(journal.find("Données table [LibellesPreEmballe] mises à jour.\nERREUR : "), std::string::npos) << journal;
  EXPECT_NE(journal.find("\nERREUR : Données table [Ingredients].[PXKG] non mises à jour.\n"
                         "ERREUR : Données database V2.4.1 non mise à jour\n\n"),
            std::string::npos)
      << journal;
  EXPECT_EQ(journal.find("gramme"), std::string::npos);
  EXPECT_EQ(Text(m_db, "SELECT [NBDIGIT] FROM [Unites] WHERE [UNITDEF_ID]=3"), "0");
  EXPECT_EQ(Version(m_db), "2.3.1.217");
}

}  // namespace
