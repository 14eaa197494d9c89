// From every entry version to V2.5.3 in one run, each database held against
// the schema written by hand from the descriptions of the steps
// (data/v253/expected_schema.txt); the rows of the sample's user through the
// whole chain; and the same run without a journal.
#include <fstream>
#include <utility>
#include <vector>

#include "fixture_step_test.h"
#include "steps/versions.h"

namespace {

// The blocks of the hand-written schema: table, then what `.schema` prints.
std::vector<std::pair<std::string, std::string>> ExpectedSchema() {
  std::ifstream in(EXPECTED_SCHEMA);
  std::vector<std::pair<std::string, std::string>> blocks;
  for (std::string line; std::getline(in, line);) {
    if (line.rfind('#', 0) == 0) continue;
    if (line.rfind(".schema ", 0) == 0)
      blocks.emplace_back(line.substr(8), "");
    else if (!blocks.empty())
      blocks.back().second += line + "\n";
  }
  // The empty line that parts two blocks is none of the first one's.
  for (auto& block : blocks)
    while (block.second.ends_with("\n\n")) block.second.pop_back();
  return blocks;
}

struct Entry {
  const char* name;
  DbVersion version;
};

class FixturesToV253Test : public FixtureStepTest, public ::testing::WithParamInterface<Entry> {
 protected:
  std::string EntryDb() {
    const std::string name = GetParam().name;
    return name == "V20" ? m_harness.Fixture(SAMPLE_DB) : Fixture(name);
  }
};

TEST_P(FixturesToV253Test, ReachesV253InOneRunWithTheSchemaOfTheDescriptions) {
  const auto expected = ExpectedSchema();
  ASSERT_GT(expected.size(), 20u) << EXPECTED_SCHEMA;
  const std::string db = EntryDb();
  ASSERT_EQ(StoredVersionText(m_harness.RunChain(GetParam().version, db)), ReachedVersion()) << m_harness.Journal();
  std::string stamped = "SELECT COUNT(*) FROM [Langue_System] WHERE [Libelle]='IDS_VERSION_DB'";
  for (const char* column : {"1", "2", "3", "4", "5"})
    stamped += std::string(" AND [Langue_") + column + "]='" + ReachedVersion() + "'";
  EXPECT_EQ(Text(db, stamped), "1");
  std::string tables = "Table\n";
  for (const auto& [table, schema] : expected) {
    tables += table + "\n";
    EXPECT_EQ(StepHarness::Schema(db, table), schema) << table;
  }
  EXPECT_EQ(StepHarness::Query(db, ".tables"), tables) << "no table more, none fewer";
  // No data source stays registered after the chain.
  EXPECT_EQ(ReadFile(m_harness.work() + "/odbc.ini").find("TQ2TMP"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(EntryVersions, FixturesToV253Test,
                         ::testing::Values(Entry{"V20", 2000}, Entry{"V21", 2001},
                                           Entry{"V22", 2002}, Entry{"V23", 2003},
                                           Entry{"V241", 2004}, Entry{"V242", 2004002},
                                           Entry{"V242_303", 2004001}, Entry{"V243", 2004003},
                                           Entry{"V251", 2005001}, Entry{"V2514", 2005001004},
                                           Entry{"V252", 2005002}),
                         [](const auto& info) { return std::string(info.param.name); });

using SampleToV253Test = FixtureStepTest;

TEST_F(SampleToV253Test, TheRowsOfTheSamplesUserComeThroughTheWholeChain) {
  const std::string before = m_harness.Fixture(SAMPLE_DB, "Before.mdb");
  const std::string db = m_harness.Fixture(SAMPLE_DB);
  ASSERT_EQ(m_harness.RunChain(2000, db), ChainTarget()) << m_harness.Journal();

  // In the columns of V2.0 that no step rewrites ([Ingredients].[PXKG] is
  // emptied, the category tree is rebuilt around the user's categories),
  // leaving out the categories and links that a step removes by design.
  const std::string userCategories = AnyOf("[CLASS_ID]", {53, 56, 80, 81, 100, 101, 102});
  struct Rows {
    const char* table;
    std::string select;
    std::size_t count;
  };
  const Rows rows[] = {
      {"Utilisateurs",
       "SELECT [USER_ID], [NOM], [MOTPASSE], [LANGUE], [DEVISE], [DROITS], [DATE_MAJ] FROM [Utilisateurs] "
       "ORDER BY [USER_ID]",
       3},
      {"Unites",
       "SELECT [UNITDEF_ID], [IMPERIAL], [CFACT], [TYPE], [OWNER], [NBDIGIT], [NAME_1], [NAME_2], [NAME_3], [NAME_4], "
       "[NAME_5], [SYMBOL_1], [SYMBOL_2], [SYMBOL_3], [SYMBOL_4], [SYMBOL_5], [DATE_MAJ], [CODE_ECH] FROM [Unites] "
       "WHERE [OWNER]<>-1 ORDER BY [UNITDEF_ID]",
       5},
      {"Categories",
       "SELECT [CLASS_ID], [PERE_ID], [NAME_1], [NAME_2], [NAME_3], [NAME_4], [NAME_5], [OWNER] FROM [Categories] "
       "WHERE " +
           userCategories + " ORDER BY [CLASS_ID]",
       7},
      {"Ingredients",
       "SELECT [INGRED_ID], [NOM], [CODE_AN], [UNITE], [DEVISE], [DENSITE], [RENDEMENT], [OWNER], [DATE_MAJ], "
       "[REMARQUE] FROM [Ingredients] ORDER BY [INGRED_ID]",
       30},
      {"Recettes",
       "SELECT [RECET_ID], [NOM], [CODE_AN], [NBPORTIONS], [PX_VENTE], [DEVISE], [OWNER], [DATE_MAJ], [PROCEDE] "
       "FROM [Recettes] ORDER BY [RECET_ID]",
       11},
      {"Compositions", "SELECT * FROM [Compositions] ORDER BY [RECET_ID], [LIGNE]", 37},
      {"CategIngre",
       "SELECT * FROM [CategIngre] WHERE " + AnyOf("[CLASS_ID]", {4, 5, 6, 7, 8, 9, 80, 102}) +
           " ORDER BY [CLASS_ID], [INGR_ID]",
       35},
      {"CategRecet",
       "SELECT * FROM [CategRecet] WHERE " + AnyOf("[CLASS_ID]", {10, 11, 12, 13, 14, 100, 101}) +
           " ORDER BY [CLASS_ID], [RECET_ID]",
       15},
      {"Planning",
       "SELECT [PLAN_ID], [DATEPLAN], [SERVICE], [RECET_ID], [NBCOUVERTS], [CLIENT], [PX_VENTE], [OWNER] "
       "FROM [Planning] ORDER BY [PLAN_ID]",
       8},
      {"FicheProduction",
       "SELECT [FICHE_ID], [PLAN_ID], [DATEPROD], [RECET_ID], [QTE], [UNITE], [RESPONSABLE], [REMARQUE] "
       "FROM [FicheProduction] ORDER BY [FICHE_ID]",
       6},
      {"Progression", "SELECT * FROM [Progression] WHERE [IDPROGRESSION]>=10 ORDER BY [IDPROGRESSION]", 2},
  };
  for (const Rows& r : rows) {
    const std::string sample = StepHarness::Query(before, r.select);
    EXPECT_EQ(Count(sample, "\n"), static_cast<int>(r.count) + 1) << r.table << "\n" << sample;
    EXPECT_EQ(StepHarness::Query(db, r.select), sample) << r.table;
  }
  // The suppliers own the ingredients of their former sub-categories.
  EXPECT_EQ(
      Text(db, "SELECT COUNT(*) FROM [CategIngre] WHERE [CLASS_ID]=56 AND " + AnyOf("[INGR_ID]", {14, 15, 16, 17})),
      "4");
  EXPECT_EQ(Text(db, "SELECT [NOM] FROM [Ingredients] WHERE [INGRED_ID]=4"), "Œufs frais calibre 63/73");
  EXPECT_EQ(Text(db, "SELECT [NAME_1] FROM [Unites] WHERE [UNITDEF_ID]=43"), "cuillère à soupe");
}

// What the run leaves in the database, but for the dates of its own clock.
std::string Contents(const std::string& db) {
  std::string all = StepHarness::Query(db, ".tables");
  for (const auto& block : ExpectedSchema()) {
    const std::string& table = block.first;
    all += StepHarness::Schema(db, table);
    if (table == "Categories")
      all += StepHarness::Query(db,
                                "SELECT [CLASS_ID], [TYPE], [MASQUE], [PERE_ID], [NAME_1], [NAME_2], [NAME_3], "
                                "[NAME_4], [NAME_5], [OWNER], [ASCHILD], [EXPORTABLE] FROM [Categories] "
                                "ORDER BY [CLASS_ID]");
    else if (table == "Unites")
      all += StepHarness::Query(db,
                                "SELECT [UNITDEF_ID], [IMPERIAL], [CFACT], [TYPE], [OWNER], [NBDIGIT], [NAME_1], "
                                "[NAME_2], [NAME_3], [NAME_4], [NAME_5], [SYMBOL_1], [SYMBOL_2], [SYMBOL_3], "
                                "[SYMBOL_4], [SYMBOL_5], [CODE_ECH] FROM [Unites] ORDER BY [UNITDEF_ID]");
    else
      all += StepHarness::Query(db, "SELECT * FROM [" + table + "]");
  }
  return all;
}

using NoJournalTest = FixtureStepTest;

TEST_F(NoJournalTest, TheStepsDoTheSameWithoutAJournal) {
  const std::string journaled = m_harness.Fixture(SAMPLE_DB);
  ASSERT_EQ(m_harness.RunChain(2000, journaled), ChainTarget());
  const std::string journal = m_harness.Journal();  // and closes it
  ASSERT_NE(journal.find("Données database V2.5.3 mise à jour"), std::string::npos);
  const std::string silent = m_harness.Fixture(SAMPLE_DB, "Silent.mdb");
  ASSERT_EQ(m_harness.RunChain(2000, silent), ChainTarget());
  EXPECT_EQ(Contents(silent), Contents(journaled));
  EXPECT_EQ(m_harness.Journal(), journal);  // nothing more was written
}

}  // namespace
