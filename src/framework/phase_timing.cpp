#include "framework/phase_timing.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

const char* TimingPath() {
  static const char* const path = [] {
    const char* value = std::getenv("UPDATER_TIMING");
    return value != nullptr && *value != '\0' ? value : nullptr;
  }();
  return path;
}

double MsSince(clockid_t clock, const timespec& start) {
  timespec now{};
  clock_gettime(clock, &now);
  return static_cast<double>(now.tv_sec - start.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec - start.tv_nsec) / 1e6;
}

}  // namespace

bool CPhaseTiming::Enabled() { return TimingPath() != nullptr; }

CPhaseTiming::CPhaseTiming(const ConversionStep& step, const char* part, int merge, const char* mergeName) {
  if (!Enabled()) return;
  m_pStep = &step;
  m_szPart = part;
  m_nMerge = merge;
  m_szMerge = mergeName;
  clock_gettime(CLOCK_MONOTONIC, &m_wallStart);
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &m_cpuStart);
}

CPhaseTiming::~CPhaseTiming() {
  if (m_pStep == nullptr) return;
  const double wall = MsSince(CLOCK_MONOTONIC, m_wallStart);
  const double cpu = MsSince(CLOCK_PROCESS_CPUTIME_ID, m_cpuStart);
  std::string part = m_szPart;
  if (m_nMerge > 0) part += " " + std::to_string(m_nMerge) + " " + (m_szMerge != nullptr ? m_szMerge : "-");
  // Appended and closed at once: a run that stops half way keeps what it
  // measured, and nothing stays open across the steps.
  if (std::FILE* file = std::fopen(TimingPath(), "a")) {
    std::fprintf(file, "%s\t%s\t%.3f\t%.3f\n", m_pStep->name, part.c_str(), wall, cpu);
    std::fclose(file);
  }
}
