// The plan of a run against what the run then does, in the process, on
// the sample and the fixtures: the resume after a failed in-place run, a
// missing template, a file another run holds, a converted database. What
// the run did is read from the journal and the files, never from the plan.
#include "engine/plan.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "engine/conversion.h"
#include "framework/data_source.h"
#include "framework/step_phases.h"
#include "platform/run_lock.h"
#include "shell/failure.h"
#include "steps/versions.h"
#include "test_support/journal_capture.h"

namespace fs = std::filesystem;

namespace {

class PlanTest : public ::testing::Test {
 protected:
  PlanTest() {
    for (const auto& entry : fs::directory_iterator(TEMPLATE_DIR))
      if (entry.path().filename().string().rfind("tq2V2_", 0) == 0)
        fs::copy_file(entry.path(), m_templates.path() + "/" + entry.path().filename().string());
    fs::copy_file(SAMPLE_DB, m_source);
  }

  ConversionPlan Plan(const std::string& dest) const {
    return PlanConversion(m_source.c_str(), dest.c_str(), m_templates.path().c_str(),
                          ProbeLocks(m_source.c_str(), dest.c_str()));
  }

  // Runs the conversion; its journal lands in m_journal.
  DbVersion Run(const std::string& dest) {
    JournalCapture capture;
    CString written(dest.c_str());
    const DbVersion reached = RunConversion(m_source.c_str(), written, m_templates.path().c_str());
    m_journal = capture.Text();
    return reached;
  }

  // The steps the journal shows, by their opening lines.
  std::vector<std::string> StepsRun() const {
    std::vector<std::string> steps;
    for (std::size_t at = m_journal.find("Mise à jour Toquelin "); at != std::string::npos;
         at = m_journal.find("Mise à jour Toquelin ", at + 1))
      steps.push_back(m_journal.substr(at, m_journal.find('\n', at) - at));
    return steps;
  }

  static std::vector<std::string> StepsPlanned(const ConversionPlan& plan) {
    std::vector<std::string> steps;
    for (const PlannedStep& step : plan.steps) steps.push_back(StepTitle(*step.step).str());
    return steps;
  }

  bool Journals(const std::string& text) const { return m_journal.find(text) != std::string::npos; }

  TempDir m_work, m_templates;
  ScopedEnv m_odbcIni{"ODBCINI", m_work.path() + "/odbc.ini"};
  std::string m_source = m_work.path() + "/Base.mdb";
  std::string m_journal;
};

// The run that fails half way in place leaves the source half converted;
// the next one puts the backup back, so it converts from V2.0 again, all ten
// steps, behind a second backup.
TEST_F(PlanTest, AfterAFailedInPlaceRunThePlanIsTheResumeThatTheRunMakes) {
  const std::string missing = m_templates.path() + "/" + StepsFrom(2000)[2]->templateFile;
  fs::rename(missing, m_work.path() + "/kept.mdb");
  ASSERT_EQ(Run(m_source), kDbVersionNone);
  fs::rename(m_work.path() + "/kept.mdb", missing);

  const ConversionPlan plan = Plan(m_source);
  EXPECT_EQ(plan.refusal, "");
  EXPECT_EQ(plan.resume.backup, (m_source + ".V2.0").c_str());
  EXPECT_EQ(plan.versionFile, plan.resume.backup);
  EXPECT_EQ(plan.version, 2000);
  EXPECT_EQ(plan.backup, (m_source + ".V2.0.1").c_str());
  EXPECT_EQ(plan.steps.size(), StepsFrom(2000).size());

  EXPECT_EQ(Run(m_source), plan.reached);
  EXPECT_EQ(plan.reached, ChainTarget());
  EXPECT_TRUE(Journals("Reprise après une conversion inachevée : base rétablie depuis " + plan.resume.backup.str() +
                       " ; la base inachevée est gardée dans " + plan.resume.unfinished.str() + "\n"))
      << m_journal;
  EXPECT_TRUE(Journals("Toquelin database version : 2000\nFichier de sauvegarde : " + plan.backup.str() + "\n"));
  EXPECT_EQ(StepsRun(), StepsPlanned(plan));
  EXPECT_TRUE(FileExists(plan.backup.str()));
  EXPECT_TRUE(FileExists(plan.resume.unfinished.str()));
  EXPECT_FALSE(FileExists(plan.resume.note.str()));
}

TEST_F(PlanTest, AMissingTemplateIsTheStepAtWhichBothStop) {
  const std::string dest = m_work.path() + "/New.mdb";
  fs::remove(m_templates.path() + "/" + StepsFrom(2000)[4]->templateFile);
  const ConversionPlan plan = Plan(dest);
  ASSERT_EQ(plan.steps.size(), StepsFrom(2000).size());
  std::size_t failing = 0;
  while (!plan.steps[failing].FailsOnTemplate()) ++failing;
  EXPECT_EQ(failing, 4u);
  EXPECT_FALSE(plan.steps[failing].templateExists);

  ClearFailure();
  EXPECT_EQ(Run(dest), kDbVersionNone);
  const std::vector<std::string> planned = StepsPlanned(plan);
  EXPECT_EQ(StepsRun(), std::vector<std::string>(planned.begin(), planned.begin() + failing + 1));
  EXPECT_TRUE(Journals("ERREUR : Ouverture de la base de données source.\n"));
  // The run looked for the template where the plan did.
  EXPECT_NE(std::string(FailureReason().GetString()).find(plan.steps[failing].templatePath.str()), std::string::npos)
      << FailureReason();
}

// A destination whose folder is not there: the plan says so, the copy then
// fails on it before any step.
TEST_F(PlanTest, AnUnwritableDestinationFolderStopsBothBeforeAnyStep) {
  const std::string dest = m_work.path() + "/absent/New.mdb";
  const ConversionPlan plan = Plan(dest);
  EXPECT_EQ(plan.refusal, ("le dossier " + m_work.path() + "/absent n'est pas accessible en écriture").c_str());
  ClearFailure();
  EXPECT_EQ(Run(dest), kDbVersionNone);
  EXPECT_TRUE(StepsRun().empty()) << m_journal;
  EXPECT_TRUE(Journals("ATTENTION : impossible de creer le fichier de destination : " + dest + "\n")) << m_journal;
}

TEST_F(PlanTest, AFileOrDataSourcesAnotherRunHoldsStopBoth) {
  ScopedEnv wait("UPDATER_LOCK_TIMEOUT", "0");
  const std::string before = ReadFile(m_source);
  {
    CRunLock other;
    ASSERT_EQ(other.Acquire(FileLockPath(m_source.c_str()), 0), CRunLock::Result::Held);
    const ConversionPlan plan = Plan(m_source);
    EXPECT_EQ(plan.refusal, FileBusyReason(m_source.c_str()));
    EXPECT_TRUE(plan.steps.empty());
    ClearFailure();
    EXPECT_EQ(Run(m_source), kDbVersionNone);
    EXPECT_EQ(std::string(FailureReason().GetString()).rfind(plan.refusal.str(), 0), 0u) << FailureReason();
  }
  {
    CRunLock other;
    ASSERT_EQ(other.Acquire(DataSourceLockPath(), 0), CRunLock::Result::Held);
    const ConversionPlan plan = Plan(m_source);
    EXPECT_EQ(plan.refusal, DataSourcesBusyReason());
    ClearFailure();
    EXPECT_EQ(Run(m_source), kDbVersionNone);
    EXPECT_EQ(std::string(FailureReason().GetString()).rfind(plan.refusal.str(), 0), 0u) << FailureReason();
  }
  EXPECT_EQ(m_journal, "");
  EXPECT_TRUE(ReadFile(m_source) == before);
  EXPECT_FALSE(FileExists(m_source + ".V2.0"));
}

TEST_F(PlanTest, AConvertedDatabaseIsPlannedAndLeftAsItIsOrOnlyCopied) {
  fs::copy_file(std::string(FIXTURE_DIR) + "/Fixture_V253.mdb", m_source, fs::copy_options::overwrite_existing);
  const std::string before = ReadFile(m_source);
  ConversionPlan plan = Plan(m_source);
  EXPECT_EQ(plan.refusal, "");
  EXPECT_EQ(plan.version, ChainTarget());
  EXPECT_TRUE(plan.steps.empty());
  EXPECT_EQ(plan.backup, "");
  EXPECT_EQ(Run(m_source), plan.reached);
  EXPECT_EQ(m_journal, "Toquelin database version : " + std::to_string(ChainTarget()) + "\n");
  EXPECT_TRUE(ReadFile(m_source) == before);
  for (const auto& entry : fs::directory_iterator(m_work.path()))
    EXPECT_EQ(entry.path().filename().string().rfind("Base.mdb.", 0), std::string::npos) << entry.path();

  const std::string dest = m_work.path() + "/Copy.mdb";
  plan = Plan(dest);
  EXPECT_EQ(plan.written, dest.c_str());
  EXPECT_TRUE(plan.steps.empty());
  EXPECT_EQ(Run(dest), plan.reached);
  EXPECT_TRUE(ReadFile(dest) == before);
}

}  // namespace
