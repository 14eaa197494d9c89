// step_phases_bench TEMPLATE_DIR V22_DATABASE
//
// The wall time of each step from V2.2 to V2.4.3 on a copy of a V2.2
// database (the large generated one: target large_fixtures), run one after
// the other as the chain runs them. Each step runs twice on identical
// copies: once whole, as the chain runs it, and once phase by phase, the
// converted database opened as the step driver opens it. The
// rest of the whole time is the driver's own part: data sources, progress
// window, opening, and the version stamp.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>

#include "framework/data_source.h"
#include "framework/step_phases.h"
#include "recordsets/data_sources.h"
#include "recordsets/sys_language_set.h"
#include "steps/versions.h"

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

double Time(const std::function<void()>& work) {
  const auto start = Clock::now();
  work();
  return Ms(Clock::now() - start);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: step_phases_bench TEMPLATE_DIR V22_DATABASE\n");
    return 64;
  }
  const CString templateDir(argv[1]);
  const std::filesystem::path work = std::filesystem::temp_directory_path() / "step_phases_bench";
  std::filesystem::create_directories(work);
  setenv("ODBCINI", (work / "odbc.ini").c_str(), 1);
  const std::string whole = (work / "whole.mdb").string(), phased = (work / "phased.mdb").string();
  std::filesystem::copy_file(argv[2], whole, std::filesystem::copy_options::overwrite_existing);

  std::printf("%-18s %10s %10s %10s %10s\n", "step", "whole ms", "structure", "merges", "rest");
  int status = 0;
  // From V2.2 up to V2.4.3.
  for (const ConversionStep* step : StepsFrom(2002)) {
    if (step->from.code == 2004003) break;
    const CString templatePath = TemplatePath(templateDir, *step);
    std::filesystem::copy_file(whole, phased, std::filesystem::copy_options::overwrite_existing);
    double structureMs = 0, dataMs = 0;
    BOOL phasesOk = FALSE;
    {
      CString path(phased.c_str());
      AddDataSource(kConvertedDataSource, path);
      CSysLanguageSet set(nullptr, kConvertedDatabase);
      set.Open();
      if (!step->structure.empty())
        structureMs = Time([&] { phasesOk = RunStructurePhase(set.m_pDatabase, *step); });
      else
        phasesOk = TRUE;
      if (phasesOk) dataMs = Time([&] { phasesOk = RunDataPhase(set.m_pDatabase, *step, templatePath); });
      set.Close();
      RemoveDataSource(kConvertedDataSource, path);
    }
    BOOL wholeOk = FALSE;
    const double wholeMs = Time([&] { wholeOk = RunStep(whole.c_str(), *step, templatePath); });
    std::printf("%-18s %10.1f %10.1f %10.1f %10.1f%s\n", step->name, wholeMs, structureMs, dataMs,
                wholeMs - structureMs - dataMs, wholeOk && phasesOk ? "" : "  FAILED");
    if (!wholeOk || !phasesOk) status = 1;
  }
  std::filesystem::remove_all(work);
  return status;
}
