// The end of a run with Debug set, where standard error is no terminal (a
// script, a log): a short plain summary in the box's place, with the result.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "engine/conversion.h"
#include "steps/versions.h"
#include "sample_run.h"

namespace fs = std::filesystem;

namespace {

class SummaryTest : public SampleRunTest {
 protected:
  SummaryTest() { fs::create_directories(m_run.work() + "/out"); }

  // Standard error without the progress lines.
  std::string Said() const {
    std::string said;
    const std::string& err = m_run.stderrText();
    for (std::size_t at = 0; at < err.size();) {
      const std::size_t end = err.find('\n', at);
      const std::string line = err.substr(at, end - at + 1);
      if (line.rfind("Mise à jour Toquelin V2.5 : ", 0) != 0) said += line;
      at = end == std::string::npos ? err.size() : end + 1;
    }
    return said;
  }
};

}  // namespace

TEST_F(SummaryTest, ASuccessSaysTheVersionReachedAndWhereTheOriginalIs) {
  const std::string& work = m_run.work();
  ASSERT_EQ(m_run.Run("--src Base.mdb --dest out/New.mdb"), 0) << m_run.stderrText();
  EXPECT_EQ(Said(), "updater : base " + work + "/out/New.mdb convertie en version 2.5.3.459 ; la base d'origine " +
                        work + "/Base.mdb est inchangée.\nupdater : journal : " + work + "/out/Updater.log\n");

  ASSERT_EQ(m_run.Run("--src Base.mdb"), 0) << m_run.stderrText();
  EXPECT_EQ(Said(), "updater : base " + work +
                        "/Base.mdb convertie en version 2.5.3.459 ; la base d'origine est "
                        "conservée dans " +
                        work + "/Base.mdb.V2.0.\nupdater : journal : " + work + "/Updater.log\n");

  m_run.SetDebug(false);
  ASSERT_EQ(m_run.Run("--src Base.mdb.V2.0 --dest out/Other.mdb"), 0);
  EXPECT_EQ(Said(), "") << "without Debug a run is silent";
}

// A failure says where it stopped and why, once, and where the database
// as it was now lies.
TEST_F(SummaryTest, AFailureSaysWhichStepFailedWhyAndWhereTheOriginalIs) {
  const auto steps = StepsFrom(2000);
  ASSERT_GE(steps.size(), 2u);
  const ConversionStep& second = *steps[1];
  fs::remove(m_templates.path() + "/" + second.templateFile);
  std::string step = second.lines.opening;
  while (!step.empty() && step.back() == '\n') step.pop_back();

  ASSERT_EQ(m_run.Run("--src Base.mdb"), kFailed);
  const std::string said = Said();
  const std::string reason = "updater : échec de « " + step + " » : ";
  ASSERT_EQ(said.rfind(reason, 0), 0u) << said;
  const std::string first = said.substr(0, said.find('\n'));
  EXPECT_NE(first.find(second.templateFile), std::string::npos) << first;
  EXPECT_NE(first.find("(voir le journal) ; la base d'origine est conservée dans " + m_source + ".V2.0."),
            std::string::npos)
      << first;
  EXPECT_EQ(said.substr(first.size() + 1), "updater : journal : " + m_run.work() + "/Updater.log\n");
  EXPECT_EQ(said.find("┌"), std::string::npos) << "a box without a terminal";
}
