// From every entry version the steps know up to V2.4.3 in one run: the
// chain in process on each fixture, and the same run without a journal.
#include "fixture_step_test.h"

namespace {

struct Entry {
  const char* fixture;
  DbVersion version;
};

class FixturesToV243Test : public FixtureStepTest, public ::testing::WithParamInterface<Entry> {};

TEST_P(FixturesToV243Test, ReachesV243InOneRun) {
  const std::string db = Fixture(GetParam().fixture);
  EXPECT_EQ(m_harness.RunChain(GetParam().version, db), kDbVersion243) << m_harness.Journal();
  EXPECT_EQ(Version(db), "2.4.3.307");
  EXPECT_EQ(Text(db,
                 "SELECT COUNT(*) FROM [Langue_System] WHERE [Langue_1]='2.4.3.307' AND [Langue_2]='2.4.3.307' "
                 "AND [Langue_3]='2.4.3.307' AND [Langue_4]='2.4.3.307' AND [Langue_5]='2.4.3.307'"),
            "1");
  EXPECT_EQ(Text(db, "SELECT COUNT(*) FROM [LibellesPreEmballe]"), "1");
  EXPECT_EQ(Text(db, "SELECT [PERE_ID] FROM [Categories] WHERE [CLASS_ID]=28"), "-1");
}

INSTANTIATE_TEST_SUITE_P(EntryVersions, FixturesToV243Test,
                         ::testing::Values(Entry{"V22", kDbVersion22}, Entry{"V23", kDbVersion23},
                                           Entry{"V241", kDbVersion241}, Entry{"V242", kDbVersion242},
                                           Entry{"V242_303", kDbVersion242Early}),
                         [](const auto& info) { return std::string(info.param.fixture); });

// What the run leaves in the database, but for the dates it writes.
std::string Contents(const std::string& db) {
  std::string all = StepHarness::Query(db, ".tables");
  for (const char* table : {"FicheProduction", "LAN_Clients", "Utilisateurs", "Ingredients", "Recettes", "Planning",
                            "LibellesPreEmballe", "RecetPreEmbal", "RecetteAffIngrCompos", "Unites"}) {
    all += StepHarness::Query(db, std::string(".schema ") + table);
    all += StepHarness::Query(db, std::string("SELECT * FROM [") + table + "]");
  }
  all += StepHarness::Query(db, "SELECT * FROM [Langue_System] ORDER BY [Item_Id]");
  all += StepHarness::Query(db, "SELECT * FROM [Langue_Printer] ORDER BY [Item_Id]");
  all +=
      StepHarness::Query(db, "SELECT [CLASS_ID], [PERE_ID], [NAME_1], [NAME_5] FROM [Categories] ORDER BY [CLASS_ID]");
  return all;
}

using NoJournalTest = FixtureStepTest;

TEST_F(NoJournalTest, TheStepsDoTheSameWithoutAJournal) {
  const std::string journaled = Fixture("V22");
  ASSERT_EQ(m_harness.RunChain(kDbVersion22, journaled), kDbVersion243);
  const std::string journal = m_harness.Journal();  // and closes it
  ASSERT_NE(journal.find("Données database V2.4.3 mise à jour"), std::string::npos);
  const std::string silent = m_harness.Fixture(std::string(FIXTURE_DIR) + "/Fixture_V22.mdb", "Silent.mdb");
  ASSERT_EQ(m_harness.RunChain(kDbVersion22, silent), kDbVersion243);
  EXPECT_EQ(Contents(silent), Contents(journaled));
  EXPECT_EQ(m_harness.Journal(), journal);  // nothing more was written
}

}  // namespace
