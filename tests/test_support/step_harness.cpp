#include "test_support/step_harness.h"

#include <cstdio>
#include <filesystem>

#include "engine/conversion.h"
#include "framework/step_phases.h"
#include "steps/versions.h"

StepHarness::StepHarness(std::string templateDir)
    : m_odbcIni("ODBCINI", m_work.path() + "/odbc.ini"), m_templateDir(std::move(templateDir)) {}

std::string StepHarness::Fixture(const std::string& source, const std::string& name) {
  const std::string path = m_work.path() + "/" + name;
  std::filesystem::copy_file(source, path, std::filesystem::copy_options::overwrite_existing);
  return path;
}

bool StepHarness::RunStep(DbVersion from, const std::string& db) {
  const ConversionStep* step = StepFrom(from);
  return step != nullptr && ::RunStep(db.c_str(), *step, TemplatePath(m_templateDir.c_str(), *step)) != FALSE;
}

DbVersion StepHarness::RunChain(DbVersion from, const std::string& db) {
  return RunSteps(PlanSteps(from, m_templateDir.c_str()), db.c_str());
}

namespace {

std::string RunShell(const std::string& db, const std::string& sql, const char* options) {
  std::string quoted;
  for (char c : sql) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  const std::string command = std::string("'") + JETSQL + "' " + options + "'" + db + "' '" + quoted + "' 2>&1";
  std::string out;
  if (std::FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
    pclose(pipe);
  }
  return out;
}

}  // namespace

std::string StepHarness::Query(const std::string& db, const std::string& sql) {
  return RunShell(db, sql, "--read-only --csv ");
}

std::string StepHarness::Schema(const std::string& db, const std::string& table) {
  return RunShell(db, ".schema " + table, "--read-only ");
}
