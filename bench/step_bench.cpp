// Speed of the step V2.1 -> V2.2 on the large generated database brought to
// V2.1 (200 suppliers, 1,000 supplier sub-categories, 20,000 links under
// them): the Load of its category tree (target 50 ms) and the whole step
// (target 1 s), the step's time split between its structure phase, each
// merge and the stamp by the moments its journal lines are written.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "bench_folder.h"
#include "framework/data_source.h"
#include "recordsets/categories_tree.h"
#include "recordsets/data_sources.h"
#include "shell/journal.h"
#include "framework/step_phases.h"
#include "steps/versions.h"

namespace {

using Clock = std::chrono::steady_clock;

// A fresh copy of the large database at V2.1 in the folder.
std::string FreshCopy(const BenchFolder& folder) {
  const std::string db = folder.path() + "/Base.mdb";
  std::filesystem::copy_file(LARGE_V21_DB, db, std::filesystem::copy_options::overwrite_existing);
  return db;
}

void BM_CategoriesTreeLoad(benchmark::State& state) {
  BenchFolder folder("step-bench");
  const std::string db = FreshCopy(folder);
  AddDataSource(kConvertedDataSource, db.c_str());
  CDatabase database;
  database.OpenEx(kConvertedConnect);
  std::size_t nodes = 0;
  for (auto _ : state) {
    CCategoriesTree tree(&database);
    if (!tree.Load()) state.SkipWithError("Load failed");
    nodes = 0;
    std::vector<const CategoryNode*> stack{tree.Root()};
    while (!stack.empty()) {
      const CategoryNode* node = stack.back();
      stack.pop_back();
      ++nodes;
      for (const CategoryNode* c = node->m_pFirstChild; c != nullptr; c = c->m_pNextSibling) stack.push_back(c);
    }
  }
  state.counters["nodes"] = static_cast<double>(nodes);
  database.Close();
  RemoveDataSource(kConvertedDataSource, db.c_str());
}
BENCHMARK(BM_CategoriesTreeLoad)->Unit(benchmark::kMillisecond);

// Stamps each journal line with the moment it reached the file: the journal
// writes every text at once, and inotify tells when.
class JournalClock {
 public:
  explicit JournalClock(const std::string& path) : m_path(path) {
    m_fd = inotify_init1(IN_CLOEXEC);
    inotify_add_watch(m_fd, path.c_str(), IN_MODIFY | IN_CLOSE_WRITE);
    m_reader = std::thread([this] { Read(); });
  }
  ~JournalClock() {
    m_stop = true;
    m_reader.join();
    close(m_fd);
  }
  // Waits for the journal's closing line, then gives every line's moment.
  std::vector<std::pair<Clock::time_point, std::string>> Lines() {
    m_stop = true;
    m_reader.join();
    m_reader = std::thread([] {});
    return m_lines;
  }

 private:
  void Read() {
    std::ifstream in(m_path, std::ios::binary);
    std::string pending;
    char events[4096];
    for (;;) {
      const bool stopping = m_stop;
      if (!stopping) {
        // Short waits, so that the end is noticed even without an event.
        fd_set fds;
        FD_ZERO(&fds);
        FD_SET(m_fd, &fds);
        timeval tv{0, 20000};
        if (select(m_fd + 1, &fds, nullptr, nullptr, &tv) > 0 && read(m_fd, events, sizeof events) < 0) break;
      }
      const Clock::time_point now = Clock::now();
      in.clear();
      std::string chunk((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
      pending += chunk;
      for (std::size_t eol; (eol = pending.find('\n')) != std::string::npos; pending.erase(0, eol + 1))
        m_lines.emplace_back(now, pending.substr(0, eol));
      if (stopping) break;
    }
  }

  std::string m_path;
  int m_fd = -1;
  std::atomic<bool> m_stop{false};
  std::thread m_reader;
  std::vector<std::pair<Clock::time_point, std::string>> m_lines;
};

// The journal lines that end each part of the step, in order.
const std::vector<std::pair<std::string, std::string>> kParts{
    {"structure", "Structure database V2.2"},
    {"Langue_Printer", "[Langue_Printer]"},
    {"Langue_System", "[Langue_System]"},
    {"Categories", "table [Categories]"},
    {"CategIngre", "table [CategIngre]"},
    {"Unites", "table [Unites]"},
    {"stamp", "Fin du journal."},
};

void BM_StepV21ToV22(benchmark::State& state) {
  BenchFolder folder("step-bench");
  std::map<std::string, double> split;
  for (auto _ : state) {
    state.PauseTiming();
    const std::string db = FreshCopy(folder);
    const std::string journal = folder.path() + "/Updater.log";
    OpenJournal(journal.c_str());
    JournalClock clock(journal);
    const CString templateDir(TEMPLATE_DIR);
    const CString dest(db.c_str());
    const ConversionStep& step = *StepFrom(2001);
    state.ResumeTiming();

    const Clock::time_point start = Clock::now();
    const BOOL done = RunStep(dest, step, TemplatePath(templateDir, step));
    state.PauseTiming();
    CloseJournal();
    if (!done) state.SkipWithError("the step failed");
    // Each part runs from the end of the one before it; the stamp ends
    // with the step, before the journal's closing line.
    Clock::time_point from = start;
    std::size_t part = 0;
    for (const auto& [when, line] : clock.Lines()) {
      if (part < kParts.size() && line.find(kParts[part].second) != std::string::npos) {
        split[kParts[part].first] += std::chrono::duration<double, std::milli>(when - from).count();
        from = when;
        ++part;
      }
    }
    state.ResumeTiming();
  }
  for (const auto& [name, ms] : split) state.counters[name + "_ms"] = ms / static_cast<double>(state.iterations());
}
BENCHMARK(BM_StepV21ToV22)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
