// Every step as its source declares it, held three ways: against a reviewed
// copy of the declarations (golden/steps.txt: the versions, the template,
// the lines, the limits, each operation's statements with their rules and
// success lines, the merges, as the step descriptions give them); against
// the driver's corpus of the statements it must take; and through the
// structure phase, each statement of each step refused in turn.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <set>
#include <sstream>

#include "framework/step_phases.h"
#include "steps/chain.h"
#include "steps/versions.h"
#include "test_support/journal_capture.h"

namespace {

std::string Quoted(const char* text) {
  if (text == nullptr) return "-";
  std::string out = "\"";
  for (const char* c = text; *c != '\0'; ++c) out += *c == '\n' ? std::string("\\n") : std::string(1, *c);
  return out + "\"";
}

std::string Render(const ConversionStep& s) {
  std::ostringstream out;
  out << "step " << s.name << "\n  from " << s.from.code << " " << s.from.text << " " << s.from.shortText << "\n";
  for (const EntryVersion& build : s.earlierBuilds)
    out << "  earlier build " << build.code << " " << build.text << " " << build.shortText << "\n";
  out << "  to " << s.to.code << " " << s.to.text << "\n  template " << s.templateFile << "\n  labels ";
  if (s.printerLimit) out << *s.printerLimit << " " << *s.systemLimit << "\n";
  else out << "full\n";
  const StepLines& l = s.lines;
  out << "  opening " << Quoted(l.opening) << "\n  progress " << Quoted(l.progress) << "\n  structure "
      << Quoted(l.structureOpening) << " " << Quoted(l.structureSuccess) << " " << Quoted(l.structureFailure)
      << "\n  data " << Quoted(l.dataOpening) << " " << Quoted(l.dataSuccess) << " " << Quoted(l.dataFailure) << "\n";
  for (const DdlOperation& op : s.structure) {
    out << "  operation " << op.name;
    if (op.summaryLine != nullptr) out << ", all run, " << Quoted(op.summaryLine);
    out << "\n";
    for (const DdlStatement& st : op.statements)
      out << "    " << (st.onFailure == OnFailure::Stop ? "stop" : "go on") << " | " << st.sql << " | "
          << Quoted(st.successLine.c_str()) << "\n";
  }
  out << "  merges";
  for (const Merge& merge : s.merges) out << " " << merge.name;
  out << "\n";
  return out.str();
}

TEST(StepDeclarationsTest, EveryStepDeclaresWhatItsDescriptionSays) {
  std::string actual;
  for (const ConversionStep* step : ChainSteps()) actual += Render(*step);
  std::ifstream in(std::string(GOLDEN_DIR) + "/steps.txt");
  const std::string golden((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (actual != golden) {
    std::ofstream(STEPS_ACTUAL) << actual;
    ADD_FAILURE() << "the declarations differ from golden/steps.txt; they are in " << STEPS_ACTUAL;
  }
}

// Each step starts where the one before it ends; every text stands for one
// version, which detection finds again.
TEST(StepDeclarationsTest, TheChainJoinsAndEveryVersionTextIsFoundAgain) {
  const auto steps = ChainSteps();
  std::set<std::string> texts;
  for (std::size_t i = 0; i < steps.size(); ++i) {
    const ConversionStep& s = *steps[i];
    if (i + 1 < steps.size()) {
      EXPECT_EQ(s.to.code, steps[i + 1]->from.code) << s.name;
      EXPECT_STREQ(s.to.text, steps[i + 1]->from.text) << s.name;
    }
    EXPECT_TRUE(texts.insert(s.from.text).second) << s.from.text;
    EXPECT_EQ(VersionFromStoredText(s.from.text), s.from.code);
    EXPECT_EQ(StepFrom(s.from.code), &s);
    for (const EntryVersion& v : s.earlierBuilds) {
      EXPECT_TRUE(texts.insert(v.text).second) << v.text;
      EXPECT_EQ(VersionFromStoredText(v.text), v.code);
      EXPECT_EQ(StepsFrom(v.code).size(), steps.size() - i) << "an earlier build converts like its version";
    }
  }
  EXPECT_EQ(VersionFromStoredText(steps.back()->to.text), ChainTarget());
  EXPECT_TRUE(StepsFrom(ChainTarget()).empty());
  EXPECT_STREQ(GetVersionText(ChainTarget()), "VERR");
}

// Every statement the corpus expects the driver to accept, with its "%d"
// rows expanded.
std::set<std::string> AcceptedStatements() {
  std::ifstream in(CORPUS);
  std::set<std::string> accepted;
  for (std::string line; std::getline(in, line);) {
    const std::size_t bar = line.find(" | ");
    if (line.rfind("ok", 0) != 0 || bar == std::string::npos) continue;
    const std::string sql = line.substr(bar + 3);
    int first = 1, last = 0;
    if (std::sscanf(line.c_str(), "ok %d-%d", &first, &last) == 2 ||
        (std::sscanf(line.c_str(), "ok %d", &first) == 1 && (last = first) != 0)) {
      for (int n = first; n <= last; ++n) {
        std::string one = sql;
        one.replace(one.find("%d"), 2, std::to_string(n));
        accepted.insert(one);
      }
    } else {
      accepted.insert(sql);
    }
  }
  return accepted;
}

TEST(StepDeclarationsTest, EveryStatementIsInTheDriversCorpus) {
  const std::set<std::string> accepted = AcceptedStatements();
  ASSERT_GT(accepted.size(), 20u) << CORPUS;
  for (const ConversionStep* step : ChainSteps())
    for (const DdlOperation& op : step->structure)
      for (const DdlStatement& statement : op.statements)
        EXPECT_TRUE(accepted.count(statement.sql)) << step->name << ": " << statement.sql;
}

// What the structure phase must do when the database refuses the statement
// `refused` (counted over the phase) and takes every other: the journal and
// the statements sent, by the rules of the operations as declared.
struct Expected {
  std::string journal;
  std::vector<std::string> sent;
};

const char kRefusal[] = "ERREUR : refusé\nState:42000,Native:1,Origin:[test]\n";

Expected ExpectedRun(const ConversionStep& step, std::size_t refused) {
  Expected e{step.lines.structureOpening, {}};
  std::size_t n = 0;
  for (const DdlOperation& op : step.structure) {
    const bool allRun = op.summaryLine != nullptr;
    bool failed = false;
    for (const DdlStatement& st : op.statements) {
      e.sent.push_back(st.sql);
      if (n++ == refused) {
        failed = true;
        e.journal += kRefusal;
        if (!allRun && st.onFailure == OnFailure::Stop) break;
      } else if (!failed && !allRun) {
        e.journal += st.successLine;
      }
    }
    if (failed) return {e.journal + step.lines.structureFailure, e.sent};
    if (allRun) e.journal += op.summaryLine;
  }
  e.journal += step.lines.structureSuccess;
  return e;
}

TEST(StepDeclarationsTest, EachRefusedStatementEndsThePhaseByItsRule) {
  int checked = 0;
  for (const ConversionStep* step : ChainSteps()) {
    if (step->structure.empty()) continue;  // no structure phase is run
    std::size_t count = 0;
    for (const DdlOperation& op : step->structure) count += op.statements.size();
    for (std::size_t refused = 0; refused <= count; ++refused) {  // `count`: none refused
      SCOPED_TRACE(std::string(step->name) + ", statement " + std::to_string(refused + 1));
      std::vector<std::string> sent;
      JournalCapture journal;
      const BOOL done = RunStructurePhase(*step, [&](const std::string& sql) {
        sent.push_back(sql);
        if (sent.size() == refused + 1) throw CDBException(SQL_ERROR, "refusé", "State:42000,Native:1,Origin:[test]");
      });
      const Expected expected = ExpectedRun(*step, refused);
      EXPECT_EQ(done, refused == count);
      EXPECT_EQ(journal.Text(), expected.journal);
      EXPECT_EQ(sent, expected.sent);
      ++checked;
    }
  }
  EXPECT_GT(checked, 150);
}

}  // namespace
