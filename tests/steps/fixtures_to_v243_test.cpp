// From every entry version the steps know up to the last version linked in
// one run: the chain in process on each fixture, and the same run without
// a journal.
#include "fixture_step_test.h"
#include "framework/step_table.h"
#include "steps/chain.h"

namespace {

// The version the chain reaches from any entry version.
DbVersion LastVersion() { return StepTable()[ChainLinks().size() - 1].to; }

struct Entry {
  const char* fixture;
  DbVersion version;
};

class FixturesToV243Test : public FixtureStepTest, public ::testing::WithParamInterface<Entry> {};

TEST_P(FixturesToV243Test, ReachesTheLastVersionInOneRun) {
  const std::string db = Fixture(GetParam().fixture);
  EXPECT_EQ(m_harness.RunChain(GetParam().version, db), LastVersion()) << m_harness.Journal();
  const std::string reached = ReachedVersion();
  EXPECT_EQ(Version(db), reached);
  EXPECT_EQ(Text(db, "SELECT COUNT(*) FROM [Langue_System] WHERE [Langue_1]='" + reached + "' AND [Langue_2]='" +
                         reached + "' AND [Langue_3]='" + reached + "' AND [Langue_4]='" + reached +
                         "' AND [Langue_5]='" + reached + "'"),
            "1");
  EXPECT_EQ(Text(db, "SELECT [PERE_ID] FROM [Categories] WHERE [CLASS_ID]=28"), "-1");
}

INSTANTIATE_TEST_SUITE_P(EntryVersions, FixturesToV243Test,
                         ::testing::Values(Entry{"V22", kDbVersion22}, Entry{"V23", kDbVersion23},
                                           Entry{"V241", kDbVersion241}, Entry{"V242", kDbVersion242},
                                           Entry{"V242_303", kDbVersion242Early}, Entry{"V243", kDbVersion243},
                                           Entry{"V251", kDbVersion251}),
                         [](const auto& info) { return std::string(info.param.fixture); });

// What the run leaves in the database, but for the dates it writes.
std::string Contents(const std::string& db) {
  std::string all = StepHarness::Query(db, ".tables");
  for (const char* table :
       {"FicheProduction", "LAN_Clients", "Utilisateurs", "Ingredients", "Recettes", "Planning", "LibellesPreEmballe",
        "RecetPreEmbal", "RecetteAffIngrCompos", "FmtEtiquette", "CategIngAllerg"}) {
    all += StepHarness::Query(db, std::string(".schema ") + table);
    all += StepHarness::Query(db, std::string("SELECT * FROM [") + table + "]");
  }
  // The System unit is dated by the run that adds it.
  all += StepHarness::Query(db, ".schema Unites");
  all += StepHarness::Query(db, "SELECT * FROM [Unites] WHERE [UNITDEF_ID] <> -1");
  all += StepHarness::Query(db, "SELECT * FROM [Langue_System] ORDER BY [Item_Id]");
  all += StepHarness::Query(db, "SELECT * FROM [Langue_Printer] ORDER BY [Item_Id]");
  all +=
      StepHarness::Query(db, "SELECT [CLASS_ID], [PERE_ID], [NAME_1], [NAME_5] FROM [Categories] ORDER BY [CLASS_ID]");
  return all;
}

using NoJournalTest = FixtureStepTest;

TEST_F(NoJournalTest, TheStepsDoTheSameWithoutAJournal) {
  const std::string journaled = Fixture("V22");
  ASSERT_EQ(m_harness.RunChain(kDbVersion22, journaled), LastVersion());
  const std::string journal = m_harness.Journal();  // and closes it
  ASSERT_NE(journal.find(StepTable()[ChainLinks().size() - 1].dataSuccess), std::string::npos);
  const std::string silent = m_harness.Fixture(std::string(FIXTURE_DIR) + "/Fixture_V22.mdb", "Silent.mdb");
  ASSERT_EQ(m_harness.RunChain(kDbVersion22, silent), LastVersion());
  EXPECT_EQ(Contents(silent), Contents(journaled));
  EXPECT_EQ(m_harness.Journal(), journal);  // nothing more was written
}

}  // namespace
