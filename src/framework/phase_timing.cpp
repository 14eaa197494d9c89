#include "framework/phase_timing.h"

#include <cstdio>
#include <cstdlib>

#include "shell/journal.h"

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

// "[Langue_Printer][Langue_System]": the tables that the closing lines of
// the merges name, in their order, each once.
std::string TablesNamed(const std::string& echo) {
  std::string names;
  for (const char* marker : {"table [", "Table ["}) {
    for (std::size_t at = echo.find(marker); at != std::string::npos; at = echo.find(marker, at + 1)) {
      const std::size_t open = at + std::char_traits<char>::length(marker) - 1;
      const std::size_t close = echo.find(']', open);
      if (close == std::string::npos) break;
      const std::string name = echo.substr(open, close - open + 1);
      if (names.find(name) == std::string::npos) names += name;
    }
  }
  return names.empty() ? "-" : names;
}

// "V2.0 -> V2.1": the versions that the step's opening line names.
std::string StepName(const StepConstants& k) {
  std::string line = k.journalLine;
  const std::size_t at = line.find(" V");
  if (at != std::string::npos) line.erase(0, at + 1);
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
  return line;
}

}  // namespace

bool CPhaseTiming::Enabled() { return TimingPath() != nullptr; }

CPhaseTiming::CPhaseTiming(const StepConstants& k, const char* part, int merge) {
  if (!Enabled()) return;
  m_pStep = &k;
  m_szPart = part;
  m_nMerge = merge;
  if (merge > 0) {
    m_pOuterEcho = g_pJournalEcho;
    g_pJournalEcho = &m_strEcho;
  }
  clock_gettime(CLOCK_MONOTONIC, &m_wallStart);
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &m_cpuStart);
}

CPhaseTiming::~CPhaseTiming() {
  if (m_pStep == nullptr) return;
  const double wall = MsSince(CLOCK_MONOTONIC, m_wallStart);
  const double cpu = MsSince(CLOCK_PROCESS_CPUTIME_ID, m_cpuStart);
  std::string part = m_szPart;
  if (m_nMerge > 0) {
    g_pJournalEcho = m_pOuterEcho;
    if (m_pOuterEcho != nullptr) m_pOuterEcho->append(m_strEcho);
    part += " " + std::to_string(m_nMerge) + " " + TablesNamed(m_strEcho);
  }
  // Appended and closed at once: a run that stops half way keeps what it
  // measured, and nothing stays open across the steps.
  if (std::FILE* file = std::fopen(TimingPath(), "a")) {
    std::fprintf(file, "%s\t%s\t%.3f\t%.3f\n", StepName(*m_pStep).c_str(), part.c_str(), wall, cpu);
    std::fclose(file);
  }
}
