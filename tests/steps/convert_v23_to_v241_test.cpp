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

TEST_F(ConvertV23ToV241Test, AColumnThatExistsStopsAfterTheFourBefore) {
  const std::string journal = RunBroken("V23", 2003, "ALTER TABLE [Ingredients] ADD [PREEM_FICHTECH_2] MEMO");
  EXPECT_NE(journal.find("\nModification structure database V2.3\n"
                         "Champs [Ingredients].[PREEM_DENVENT] ajouté\n"
                         "Champs [Ingredients].[PREEM_COMPOS] ajouté\n"
                         "Champs [Ingredients].[PREEM_COMPCT] ajouté\n"
                         "Champs [Ingredients].[PREEM_FICHTECH_1] ajouté\n"
                         "ERREUR : "),
            std::string::npos)
      << journal;
  // The failure line of this version says V2.41, as its journals always did.
  EXPECT_NE(journal.find("\nERREUR : Structure database V2.41 non mise à jour\n\n"), std::string::npos);
  EXPECT_EQ(Count(journal, "ERREUR : "), 2);
  EXPECT_TRUE(HasColumn(m_db, "Ingredients", "PREEM_FICHTECH_1"));
  EXPECT_FALSE(HasColumn(m_db, "Ingredients", "PREEM_FICHTECH_3"));
  EXPECT_EQ(Version(m_db), "2.3.1.217");
}

TEST_F(ConvertV23ToV241Test, ALabelTableThatExistsStillGetsItsIndex) {
  const std::string journal =
      RunBroken("V23", 2003, "CREATE TABLE [LibellesPreEmballe] ( [ID] INTEGER, [TYPE] BYTE )");
  EXPECT_NE(journal.find("Champs [Recettes].[CODE_AN] modifié\nERREUR : "), std::string::npos) << journal;
  EXPECT_EQ(journal.find("Index [LibellesPreEmballe].[TYPE] crée"), std::string::npos);
  EXPECT_EQ(journal.find("RecetPreEmbal"), std::string::npos);
  EXPECT_TRUE(HasColumn(m_db, "LibellesPreEmballe", "TYPE"));
  // The index exists: a second one of that name is refused.
  EXPECT_NE(StepHarness::Query(m_db, "CREATE INDEX [TYPE] ON [LibellesPreEmballe] ( [TYPE] )"), "");
}

TEST_F(ConvertV23ToV241Test, NoPrimaryKeyIsAttemptedWithoutItsTable) {
  const std::string journal =
      RunBroken("V23", 2003, "CREATE TABLE [RecetteAffIngrCompos] ( [ID_RECET] INTEGER, [ID_INGRD] INTEGER )");
  EXPECT_NE(journal.find("Table [RecetPreEmbal] créee\nERREUR : "), std::string::npos) << journal;
  EXPECT_EQ(Count(journal, "ERREUR : "), 2) << journal;
  EXPECT_EQ(journal.find("PrimaryKey [RecetteAffIngrCompos]"), std::string::npos);
  EXPECT_EQ(journal.find("Relation "), std::string::npos);
  // Without a key the old table takes the same pair twice.
  Shell(m_db, "INSERT INTO [RecetteAffIngrCompos] ([ID_RECET], [ID_INGRD]) VALUES (1, 1)");
  Shell(m_db, "INSERT INTO [RecetteAffIngrCompos] ([ID_RECET], [ID_INGRD]) VALUES (1, 1)");
}

}  // namespace
