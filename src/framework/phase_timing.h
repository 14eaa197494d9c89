// Opt-in timing records of a run, for the chain benchmark: when the
// environment variable UPDATER_TIMING names a file, every step, structure
// phase, data phase and merge appends one line to it as it ends:
//
//   STEP<TAB>PART<TAB>WALL_MS<TAB>CPU_MS
//
// STEP is the step's name ("V2.0 -> V2.1"), PART is "step" (the whole
// driver), "structure", "data" or "merge N NAME" (N counts from 1 in the
// phase's order, NAME is the merge's own: "merge 3 UpdateLanguePrinter").
// Records change nothing else: not the journal, not the result. Without the
// variable a record costs one test of a cached flag.
#pragma once

#include <ctime>

#include "framework/conversion_step.h"

// Measures from construction to destruction and appends the record then.
class CPhaseTiming {
 public:
  CPhaseTiming(const ConversionStep& step, const char* part, int merge = 0, const char* mergeName = nullptr);
  ~CPhaseTiming();
  CPhaseTiming(const CPhaseTiming&) = delete;
  CPhaseTiming& operator=(const CPhaseTiming&) = delete;

  // Whether UPDATER_TIMING names a file (read once per process).
  static bool Enabled();

 private:
  const ConversionStep* m_pStep = nullptr;  // null: timing is off
  const char* m_szPart = nullptr;
  int m_nMerge = 0;
  const char* m_szMerge = nullptr;
  timespec m_wallStart{};
  timespec m_cpuStart{};
};
