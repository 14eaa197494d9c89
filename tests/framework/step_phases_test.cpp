// The step driver and its phases on a step of the test's own, small
// databases and a data-source file of the test: what runs in which order,
// what each failure leaves out, the stamp, the data sources, and the timing
// records, which are on for every test here and change nothing else.
#include "framework/step_phases.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "platform/connect_string.h"
#include "shell/failure.h"
#include "test_support/db_files.h"
#include "test_support/journal_capture.h"

namespace {

TempDir& TimingDir() {
  static TempDir dir;
  return dir;
}
std::string TimingFile() { return TimingDir().path() + "/timing.txt"; }
// Before any step runs: the framework reads the variable once.
[[maybe_unused]] const bool kTimingOn = setenv("UPDATER_TIMING", TimingFile().c_str(), 1) == 0;

const char kLabels[] =
    "CREATE TABLE [Langue_System] ([Item_Id] SHORT, [Libelle] TEXT(50), [Langue_1] TEXT(255), [Langue_2] TEXT(255), "
    "[Langue_3] TEXT(255), [Langue_4] TEXT(255), [Langue_5] TEXT(255), [Classement] TEXT(50), [Owner] INTEGER)";

const char kOpening[] = "Mise à jour V9 -> V10\n";
const char kStructure[] = "\nStructure V9\nTable [T] créee\nStructure V10 faite\n\n";
const char kDataOpening[] = "\nDonnées V9\n";
const char kDataFailure[] = "ERREUR : Données V10 non faites\n\n";

class StepPhasesTest : public ::testing::Test {
 protected:
  StepPhasesTest() {
    m_base = m_files.Create("base.mdb", {kLabels,
                                         "INSERT INTO [Langue_System] VALUES (1, 'IDS_VERSION_DB', '9.0', '9.0', '9.0', "
                                         "'9.0', '9.0', 'C', 7)"});
    m_template = m_files.Create("tq.mdb", {kLabels, "INSERT INTO [Langue_System] ([Item_Id], [Langue_1]) VALUES (2, "
                                                    "'Modèle')"});
    // The code of the version that the chain ended at before: a template
    // set of it reads the template all the same.
    m_step.from = {2005003, "9.0", "V9"};
  }

  // A merge that notes its name, and what the template set reads.
  Merge Noting(const char* name, BOOL result = TRUE) {
    return {name, [this, name, result](const MergeContext& c) {
              c.templateSet.m_strFilter = "[Item_Id]=2";
              c.templateSet.Requery();
              m_calls.push_back(std::string(name) + ":" + c.templateSet.m_Langue_1.str() + ":" +
                                std::to_string(c.step.from.code));
              return result;
            }};
  }

  BOOL Run(const std::string& templatePath = "") {
    return RunStep(m_base.c_str(), m_step, (templatePath.empty() ? m_template : templatePath).c_str());
  }

  // The version row's five texts, its Classement and Owner.
  std::string VersionRow() {
    CDatabase db;
    db.OpenEx(FileConnectString(m_base).c_str(), CDatabase::openReadOnly);
    CSysLanguageSet row(&db, kConvertedDatabase);
    row.m_strFilter = "[Item_Id]=1";
    row.Open();
    return (row.m_Langue_1 + "," + row.m_Langue_2 + "," + row.m_Langue_3 + "," + row.m_Langue_4 + "," +
            row.m_Langue_5 + "," + row.m_Libelle + "," + row.m_Classement)
               .str() +
           "," + std::to_string(row.m_Owner);
  }

  std::string DataSources() const { return ReadFile(m_files.odbcIni()); }

  DbFiles m_files;
  JournalCapture m_journal;
  std::string m_base, m_template;
  std::vector<std::string> m_calls;
  ConversionStep m_step{
      .name = "V9 -> V10",
      .from = {},
      .to = {2005004, "10.0"},
      .templateFile = "tq.mdb",
      .lines = {kOpening, "Conversion V9 -> V10", "\nStructure V9\n", "Structure V10 faite\n\n",
                "ERREUR : Structure V10 non faite\n\n", kDataOpening, "Données V10 faites\n\n", kDataFailure},
      .structure = {{"CreateTableT", {{"CREATE TABLE [T] ([N] INTEGER)", "Table [T] créee\n"}}}},
      .merges = {},
  };
};

TEST_F(StepPhasesTest, TheMergesRunInOrderOnTheTemplateAndTheStampTakesTheFiveColumns) {
  m_step.merges = {Noting("MergeA"), OnDatabase("MergeB", [](CDatabase* pDb) {
                     pDb->ExecuteSQL("INSERT INTO [T] ([N]) VALUES (1)");
                     return TRUE;
                   })};
  ASSERT_TRUE(Run());
  EXPECT_EQ(m_journal.Text(), std::string(kOpening) + kStructure + kDataOpening + "Données V10 faites\n\n");
  EXPECT_EQ(m_calls, std::vector<std::string>{"MergeA:Modèle:2005003"});
  EXPECT_EQ(VersionRow(), "10.0,10.0,10.0,10.0,10.0,IDS_VERSION_DB,C,7");
  EXPECT_EQ(DataSources().find("TQ2TMP"), std::string::npos) << DataSources();
  // One record per part, named by the step and the merges, as each ends.
  std::vector<std::string> parts;
  const std::string records = ReadFile(TimingFile());
  for (std::size_t at = 0; at < records.size(); at = records.find('\n', at) + 1)
    parts.push_back(records.substr(at, records.find('\t', records.find('\t', at) + 1) - at));
  EXPECT_EQ(parts, (std::vector<std::string>{"V9 -> V10\tstructure", "V9 -> V10\tmerge 1 MergeA",
                                             "V9 -> V10\tmerge 2 MergeB", "V9 -> V10\tdata", "V9 -> V10\tstep"}));
}

TEST_F(StepPhasesTest, AFailedStructurePhaseRunsNoMergeAndLeavesTheTemplatesSourceAlone) {
  m_base = m_files.Create("old.mdb", {kLabels, "INSERT INTO [Langue_System] ([Item_Id], [Langue_1]) VALUES (1, '9.0')",
                                      "CREATE TABLE [T] ([M] TEXT(5))"});
  m_files.Register("TQ2TMPSRC", "/ailleurs/tq.mdb");
  m_step.merges = {Noting("MergeA")};
  EXPECT_FALSE(Run());
  EXPECT_EQ(m_journal.Text(), std::string(kOpening) +
                                  "\nStructure V9\nERREUR : La table 'T' existe déjà.\n"
                                  "State:42S01,Native:3010,Origin:[jetdb][Pilote Access]\n"
                                  "ERREUR : Structure V10 non faite\n\n");
  EXPECT_TRUE(m_calls.empty());
  EXPECT_NE(DataSources().find("DBQ=/ailleurs/tq.mdb"), std::string::npos) << DataSources();
  EXPECT_EQ(DataSources().find("[TQ2TMP]"), std::string::npos) << DataSources();
}

TEST_F(StepPhasesTest, AMissingTemplateFailsTheDataPhaseBeforeAnyMergeAndKeepsTheStructure) {
  ClearFailure();
  m_step.merges = {Noting("MergeA")};
  EXPECT_FALSE(Run(m_files.dir() + "/absent.mdb"));
  EXPECT_EQ(m_journal.Text(), std::string(kOpening) + kStructure + kDataOpening +
                                  "ERREUR : Ouverture de la base de données source.\n" + kDataFailure);
  EXPECT_TRUE(m_calls.empty());
  EXPECT_EQ(std::string(FailureReason().GetString()).rfind("ouverture de la base modèle " + m_files.dir(), 0), 0u);
  EXPECT_EQ(VersionRow(), "9.0,9.0,9.0,9.0,9.0,IDS_VERSION_DB,C,7");
  EXPECT_EQ(DataSources().find("TQ2TMP"), std::string::npos) << DataSources();
}

// Without a structure phase the data phase comes at once. A merge's FALSE,
// and a database error no merge handles, each end it there: no later merge,
// no stamp, the data sources removed.
TEST_F(StepPhasesTest, AFailedMergeAndADatabaseErrorEachEndTheDataPhase) {
  m_step.structure.clear();
  m_step.merges = {Noting("MergeA", FALSE), Noting("MergeB")};
  EXPECT_FALSE(Run());
  m_step.merges = {Noting("MergeC"), OnDatabase("MergeD",
                                                [](CDatabase* pDb) {
                                                  pDb->ExecuteSQL("INSERT INTO [Absente] ([N]) VALUES (1)");
                                                  return TRUE;
                                                }),
                   Noting("MergeE")};
  EXPECT_FALSE(Run());
  const std::string run = std::string(kOpening) + kDataOpening, journal = m_journal.Text();
  ASSERT_EQ(journal.rfind(run + kDataFailure + run + "ERREUR : ", 0), 0u) << journal;
  // The driver's two lines, then the phase's.
  const std::string rest = journal.substr(2 * run.size() + std::string(kDataFailure).size());
  EXPECT_EQ(std::count(rest.begin(), rest.end(), '\n'), 4) << rest;
  EXPECT_TRUE(rest.ends_with(kDataFailure)) << rest;
  EXPECT_EQ(m_calls, (std::vector<std::string>{"MergeA:Modèle:2005003", "MergeC:Modèle:2005003"}));
  EXPECT_EQ(VersionRow(), "9.0,9.0,9.0,9.0,9.0,IDS_VERSION_DB,C,7");
  EXPECT_EQ(DataSources().find("TQ2TMP"), std::string::npos) << DataSources();
}

}  // namespace
