// The step V2.2 -> V2.3 in process on the V2.2 fixture.
#include "fixture_step_test.h"

namespace {

using ConvertV22ToV23Test = FixtureStepTest;

TEST_F(ConvertV22ToV23Test, AddsTheDiscountTheNetworkClientsAndTheConsultFlag) {
  const std::string db = Fixture("V22");
  ASSERT_TRUE(m_harness.RunStep(2002, db)) << m_harness.Journal();
  EXPECT_EQ(Version(db), "2.3.1.217");
  EXPECT_EQ(Text(db, "SELECT COUNT(*) FROM [Langue_System] WHERE [Langue_5]='2.3.1.217'"), "1");
  EXPECT_TRUE(HasColumn(db, "FicheProduction", "REMISE"));
  EXPECT_TRUE(HasColumn(db, "Utilisateurs", "CONSULT_ONLY"));
  // The serial number is the key: a second client with it is refused.
  Shell(db, "INSERT INTO [LAN_Clients] ([SERNUM], [ENABLE]) VALUES ('TQ-0001', True)");
  EXPECT_NE(StepHarness::Query(db, "INSERT INTO [LAN_Clients] ([SERNUM]) VALUES ('TQ-0001')"), "");
  // The labels above the V2.2 limits are appended from the template.
  EXPECT_EQ(Text(db, "SELECT COUNT(*) FROM [Langue_Printer] WHERE [Item_Id] > 155"), "3");
}

// The index statement is marked "go on": it still runs after the table was
// refused, but the operation writes no success line any more and fails.
TEST_F(ConvertV22ToV23Test, AClientTableThatExistsStillGetsItsIndexButFailsTheStep) {
  const std::string journal =
      RunBroken("V22", 2002, "CREATE TABLE [LAN_Clients] ( [SERNUM] TEXT(12), [NOTE] TEXT(20) )");
  EXPECT_NE(journal.find("Champs [FicheProduction].[REMISE] ajouté\nERREUR : "), std::string::npos) << journal;
  EXPECT_EQ(Count(journal, "ERREUR : "), 2) << journal;
  EXPECT_EQ(journal.find("Index [LAN_Clients].[SERNUM] crée"), std::string::npos);
  EXPECT_NE(journal.find("\nERREUR : Structure database V2.3 non mise à jour\n\n"), std::string::npos);
  EXPECT_EQ(journal.find("Mise à jour des données"), std::string::npos);
  // The index was made on the old table; the later operation was not run.
  Shell(m_db, "INSERT INTO [LAN_Clients] ([SERNUM]) VALUES ('A')");
  EXPECT_NE(StepHarness::Query(m_db, "INSERT INTO [LAN_Clients] ([SERNUM]) VALUES ('A')"), "");
  EXPECT_FALSE(HasColumn(m_db, "Utilisateurs", "CONSULT_ONLY"));
  EXPECT_EQ(Version(m_db), "2.2.1.197");
}

TEST_F(ConvertV22ToV23Test, ADiscountThatExistsStopsBeforeTheClientTable) {
  const std::string journal = RunBroken("V22", 2002, "ALTER TABLE [FicheProduction] ADD [REMISE] REAL");
  EXPECT_NE(journal.find("\nModification structure database V2.2\nERREUR : "), std::string::npos) << journal;
  EXPECT_EQ(journal.find("LAN_Clients"), std::string::npos);
  EXPECT_EQ(StepHarness::Query(m_db, ".tables").find("LAN_Clients"), std::string::npos);
  EXPECT_EQ(Version(m_db), "2.2.1.197");
}

}  // namespace
