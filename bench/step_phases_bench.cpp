// step_phases_bench TEMPLATE_DIR V22_DATABASE
//
// The wall time of each step from V2.2 to V2.4.3 on a copy of a V2.2
// database (the large generated one: target large_fixtures), run one after
// the other as the chain runs them. Each step runs twice on identical
// copies: once whole, as the chain runs it, and once phase by phase on the
// step object, the converted database opened as the driver opens it. The
// rest of the whole time is the driver's own part: data sources, progress
// window, opening, and the version stamp.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>

#include "framework/data_source.h"
#include "recordsets/data_sources.h"
#include "recordsets/sys_language_set.h"
#include "steps/chain.h"
#include "steps/convert_v22_to_v23.h"
#include "steps/convert_v23_to_v241.h"
#include "steps/convert_v241_to_v242.h"
#include "steps/convert_v242_to_v243.h"

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

double Time(const std::function<void()>& work) {
  const auto start = Clock::now();
  work();
  return Ms(Clock::now() - start);
}

struct Phases {
  const char* name;
  DbVersion from;
  std::function<BOOL(const CString& templateDir, CDatabase* pDb)> structure;  // empty: none
  std::function<BOOL(const CString& templateDir, CDatabase* pDb)> data;
};

template <class Step>
auto Call(BOOL (Step::*phase)(CDatabase*)) {
  return [phase](const CString& templateDir, CDatabase* pDb) {
    Step step(templateDir);
    return (step.*phase)(pDb);
  };
}

const Phases kSteps[] = {
    {"V2.2 -> V2.3", kDbVersion22, Call(&CConvertV22ToV23::UpdateStructureV23), Call(&CConvertV22ToV23::UpdateDataV23)},
    {"V2.3 -> V2.4.1", kDbVersion23, Call(&CConvertV23ToV241::UpdateStructureV241),
     Call(&CConvertV23ToV241::UpdateDataV241)},
    {"V2.4.1 -> V2.4.2", kDbVersion241, Call(&CConvertV241ToV242::UpdateStructureV242),
     Call(&CConvertV241ToV242::UpdateDataV242)},
    {"V2.4.2 -> V2.4.3", kDbVersion242, nullptr, Call(&CConvertV242ToV243::UpdateDataV243)},
};

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
  for (const Phases& step : kSteps) {
    std::filesystem::copy_file(whole, phased, std::filesystem::copy_options::overwrite_existing);
    double structureMs = 0, dataMs = 0;
    BOOL phasesOk = FALSE;
    {
      CString path(phased.c_str());
      AddDataSource(kConvertedDataSource, path);
      CSysLanguageSet set(nullptr, kDbVersion253);
      set.Open();
      if (step.structure)
        structureMs = Time([&] { phasesOk = step.structure(templateDir, set.m_pDatabase); });
      else
        phasesOk = TRUE;
      if (phasesOk) dataMs = Time([&] { phasesOk = step.data(templateDir, set.m_pDatabase); });
      set.Close();
      RemoveDataSource(kConvertedDataSource, path);
    }
    BOOL wholeOk = FALSE;
    const double wholeMs = Time([&] {
      CString dest(whole.c_str());
      for (const ChainLink& link : ChainLinks())
        if (link.from == step.from) wholeOk = link.run(dest, templateDir);
    });
    std::printf("%-18s %10.1f %10.1f %10.1f %10.1f%s\n", step.name, wholeMs, structureMs, dataMs,
                wholeMs - structureMs - dataMs, wholeOk && phasesOk ? "" : "  FAILED");
    if (!wholeOk || !phasesOk) status = 1;
  }
  std::filesystem::remove_all(work);
  return status;
}
