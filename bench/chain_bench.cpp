// chain_bench [--runs N] [--keep DIR] UPDATER TEMPLATE_DIR DATABASE [DATABASE...]
//
// Runs the real updater process on each V2.0 database (the large generated
// one, then its doubled and quadrupled forms), N times each (5 unless told),
// Debug on so that the journal is written, with a registry and data-source
// files of its own. Each run writes the opt-in timing records of the
// framework (UPDATER_TIMING), from which one table per database shows, for
// every step, its structure phase, its data phase and each merge: the wall
// and CPU milliseconds as medians with their spread (max - min over the
// runs). The process's own wall and CPU time and its peak resident set come
// from wait4. With more than one database, the runs take turns between the
// databases, and two last tables give the ratio of each median, wall and
// CPU, to the first database's.
//
// A run that does not end with exit code 0 and a closed journal stops the
// benchmark with exit code 1: a figure of a failed conversion means nothing.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct Spread {
  std::vector<double> values;
  double Median() const {
    if (values.empty()) return 0;
    std::vector<double> v = values;
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 == 1 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
  }
  double Range() const {
    if (values.empty()) return 0;
    const auto [lo, hi] = std::minmax_element(values.begin(), values.end());
    return *hi - *lo;
  }
};

// One row of the table: a step's part, in the order the run met it.
struct Row {
  std::string step, part;
  Spread wall, cpu;
};

struct Result {
  std::vector<Row> rows;  // in run order
  Spread wall, cpu;       // the whole process
  long peakKb = 0;        // over all runs
};

Row& RowOf(Result& r, const std::string& step, const std::string& part) {
  for (Row& row : r.rows)
    if (row.step == step && row.part == part) return row;
  r.rows.push_back({step, part, {}, {}});
  return r.rows.back();
}

void WriteRegistry(const fs::path& folder, const std::string& templates) {
  fs::create_directories(folder);
  std::ofstream(folder / "HKEY_CURRENT_USER.reg")
      << "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Norvane\\Toquelin\\updater\\G\xc3\xa9n\xc3\xa9rale]\n"
         "\"Debug\"=dword:00000001\n";
  std::ofstream(folder / "HKEY_LOCAL_MACHINE.reg")
      << "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Norvane\\Toquelin\\tq2\\Path]\n\"ExePath\"=\"" << templates
      << "\"\n";
}

// Runs the updater once; false (with a message) when the run failed.
bool RunOnce(const std::string& updater, const fs::path& work, const std::string& database, Result& result) {
  const fs::path dest = work / "Base.mdb", timing = work / "timing.txt", journal = work / "Updater.log";
  for (const fs::path& p : {dest, timing, journal, fs::path(dest.string() + "-wal"), fs::path(dest.string() + "-shm")})
    fs::remove(p);
  const std::string src = "/SRC=" + database, dst = "/DEST=" + dest.string();
  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = fork();
  if (pid < 0) return false;
  if (pid == 0) {
    setenv("UPDATER_REGISTRY", (work / "registry").c_str(), 1);
    setenv("ODBCINI", (work / "odbc.ini").c_str(), 1);
    setenv("UPDATER_TIMING", timing.c_str(), 1);
    if (std::freopen("/dev/null", "r", stdin) == nullptr || std::freopen("/dev/null", "w", stderr) == nullptr)
      _exit(126);
    execl(updater.c_str(), updater.c_str(), src.c_str(), dst.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  if (wait4(pid, &status, 0, &usage) != pid) return false;
  const double wallMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::fprintf(stderr, "chain_bench: %s ended with status %d\n", database.c_str(), status);
    return false;
  }
  std::ifstream log(journal, std::ios::binary);
  const std::string text((std::istreambuf_iterator<char>(log)), std::istreambuf_iterator<char>());
  if (text.find("Fin du journal.") == std::string::npos) {
    std::fprintf(stderr, "chain_bench: %s: the journal is not closed\n", database.c_str());
    return false;
  }
  result.wall.values.push_back(wallMs);
  result.cpu.values.push_back(static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
                              static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3);
  result.peakKb = std::max(result.peakKb, usage.ru_maxrss);

  std::ifstream records(timing);
  std::string line;
  while (std::getline(records, line)) {
    std::istringstream fields(line);
    std::string step, part, wall, cpu;
    if (!std::getline(fields, step, '\t') || !std::getline(fields, part, '\t') || !std::getline(fields, wall, '\t') ||
        !std::getline(fields, cpu, '\t'))
      continue;
    Row& row = RowOf(result, step, part);
    row.wall.values.push_back(std::stod(wall));
    row.cpu.values.push_back(std::stod(cpu));
  }
  return true;
}

void PrintTable(const std::string& title, const Result& r, int runs) {
  std::printf("\n%s (%d runs; medians, spread = max - min, ms)\n", title.c_str(), runs);
  std::printf("%-22s %-46s %9s %7s %9s %7s\n", "step", "part", "wall", "spread", "cpu", "spread");
  for (const Row& row : r.rows)
    std::printf("%-22s %-46s %9.1f %7.1f %9.1f %7.1f\n", row.step.c_str(), row.part.c_str(), row.wall.Median(),
                row.wall.Range(), row.cpu.Median(), row.cpu.Range());
  std::printf("%-22s %-46s %9.1f %7.1f %9.1f %7.1f\n", "total", "process", r.wall.Median(), r.wall.Range(),
              r.cpu.Median(), r.cpu.Range());
  std::printf("%-22s %-46s %9.1f MB\n", "peak", "resident set", static_cast<double>(r.peakKb) / 1024.0);
}

// The ratio of each part's median (wall or CPU) to the first database's.
// The CPU ratios are the steadier: they leave out the waits on the disk.
void PrintRatios(const std::vector<std::pair<std::string, Result>>& results, const char* what, Spread Row::*rowFigure,
                 Spread Result::*total) {
  const Result& base = results.front().second;
  std::printf("\nRatios of the median %s times to %s\n", what, results.front().first.c_str());
  std::printf("%-22s %-46s", "step", "part");
  for (std::size_t d = 1; d < results.size(); ++d) std::printf(" %9s", fs::path(results[d].first).stem().c_str());
  std::printf("\n");
  for (const Row& row : base.rows) {
    std::printf("%-22s %-46s", row.step.c_str(), row.part.c_str());
    for (std::size_t d = 1; d < results.size(); ++d) {
      double m = 0;
      for (const Row& other : results[d].second.rows)
        if (other.step == row.step && other.part == row.part) m = (other.*rowFigure).Median();
      const double b = (row.*rowFigure).Median();
      std::printf(" %9.2f", b > 0 ? m / b : 0.0);
    }
    std::printf("\n");
  }
  std::printf("%-22s %-46s", "total", "process");
  for (std::size_t d = 1; d < results.size(); ++d)
    std::printf(" %9.2f", (results[d].second.*total).Median() / (base.*total).Median());
  std::printf("\n");
}

int Usage() {
  std::fprintf(stderr, "usage: chain_bench [--runs N] [--keep DIR] UPDATER TEMPLATE_DIR DATABASE [DATABASE...]\n");
  return 64;
}

}  // namespace

int main(int argc, char** argv) {
  int runs = 5;
  std::string keep;
  std::vector<std::string> args;
  for (int a = 1; a < argc; ++a) {
    const std::string arg = argv[a];
    if (arg == "--runs" && a + 1 < argc)
      runs = std::atoi(argv[++a]);
    else if (arg == "--keep" && a + 1 < argc)
      keep = argv[++a];
    else
      args.push_back(arg);
  }
  if (args.size() < 3 || runs < 1) return Usage();
  const std::string updater = fs::absolute(args[0]).string();
  const std::string templates = fs::absolute(args[1]).string();
  const fs::path work =
      keep.empty() ? fs::temp_directory_path() / ("chain_bench." + std::to_string(getpid())) : fs::path(keep);
  fs::create_directories(work);
  WriteRegistry(work / "registry", templates);

  // The databases take turns, run by run, so that a change in the machine's
  // load during the benchmark weighs on every database alike and not on the
  // ratios between them.
  std::vector<std::pair<std::string, Result>> results;
  for (std::size_t d = 2; d < args.size(); ++d) results.emplace_back(fs::absolute(args[d]).string(), Result{});
  int status = 0;
  for (int n = 0; n < runs && status == 0; ++n)
    for (auto& [database, result] : results)
      if (!RunOnce(updater, work, database, result)) {
        status = 1;
        break;
      }
  if (status == 0)
    for (const auto& [database, result] : results) PrintTable(database, result, runs);
  if (status == 0 && results.size() > 1) {
    PrintRatios(results, "wall", &Row::wall, &Result::wall);
    PrintRatios(results, "CPU", &Row::cpu, &Result::cpu);
    const Result& base = results.front().second;
    std::printf("%-22s %-46s", "peak", "resident set");
    for (std::size_t d = 1; d < results.size(); ++d)
      std::printf(" %9.2f", static_cast<double>(results[d].second.peakKb) / static_cast<double>(base.peakKb));
    std::printf("\n");
  }
  if (keep.empty()) fs::remove_all(work);
  return status;
}
