#include <fcntl.h>
#include <malloc.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <memory>
#include <new>

#include "app/updater_app.h"
#include "app/usage.h"
#include "platform/interrupt.h"
#include "platform/win_app.h"
#include "shell/failure.h"

CUpdaterApp theApp;

namespace {

// A run must not be stopped half way, nor its writes misdirected, by what
// it was started with: a reader of its standard error that went away
// (`updater ... 2>&1 | head`) would kill it with SIGPIPE between two
// statements, and a closed descriptor 0, 1 or 2 would be reused by the
// first file it opens (the journal), so that the progress lines would land
// in that file.
void GuardStandardStreams() {
  std::signal(SIGPIPE, SIG_IGN);
  for (int fd = 0; fd <= 2; ++fd) {
    if (fcntl(fd, F_GETFD) != -1) continue;
    const int null = open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY);
    if (null >= 0 && null != fd) {
      dup2(null, fd);
      close(null);
    }
  }
}

// Each step closes its connections and opens new ones, and a connection's
// page cache (up to tens of megabytes, see the driver's useMemory) is
// freed at its close. glibc gives the top of the heap back to the kernel
// once more than 128 KB of it is free (a threshold that grows only as large
// blocks are freed), so the next connection touched every page of its
// cache anew: at ×1 half of a run's page faults and a tenth of its CPU.
// Freed memory is kept for the next step instead. Setting that fixes
// glibc's threshold for mapping a block on its own at 128 KB, so it is
// raised too, to glibc's ceiling of 32 MB: the sort buffer of each index
// built (8 MB at ×16) then comes from the kept memory instead of pages
// mapped and unmapped for that one index, a third of the faults at ×16.
// The process holds no more than at its peak, which is where it would be
// anyway at the next step.
void KeepFreedMemory() {
#if defined(M_TRIM_THRESHOLD) && defined(M_MMAP_THRESHOLD)
  constexpr int kKeptBytes = 128 * 1024 * 1024;
  constexpr int kMappedAbove = 32 * 1024 * 1024;
  mallopt(M_TRIM_THRESHOLD, kKeptBytes);
  mallopt(M_MMAP_THRESHOLD, kMappedAbove);
#endif
}

// Memory kept back from the start, given up at the first allocation that
// fails: the exception that says so, the unwinding and the last line need
// some, and a process at its limit would otherwise end in std::terminate
// with an English line of the C++ run-time.
std::unique_ptr<char[]> g_reserve;

void GiveUpReserve() {
  if (!g_reserve) throw std::bad_alloc();
  g_reserve.reset();
  throw std::bad_alloc();
}

// Said with write(2), which allocates nothing.
[[noreturn]] void SayAndExit(const char* line) {
  (void)!::write(2, line, std::strlen(line));
  std::_Exit(kExitNothingConverted);
}

// What still ends in std::terminate (an allocation that fails in a
// destructor or a noexcept path, or the exception's own allocation) ends
// with a French line and the failure's exit code instead.
[[noreturn]] void OnTerminate() {
  bool memory = std::current_exception() == nullptr;
  try {
    if (!memory) std::rethrow_exception(std::current_exception());
  } catch (const std::bad_alloc&) {
    memory = true;
  } catch (...) {
  }
  SayAndExit(memory ? "updater : mémoire insuffisante pour continuer la conversion ; arrêt immédiat.\n"
                    : "updater : arrêt sur une erreur interne du programme ; arrêt immédiat.\n");
}

}  // namespace

int main(int argc, char** argv) {
  GuardStandardStreams();
  KeepFreedMemory();
  if (argc < 2) {
    // A bare command is someone asking how to use it.
    PrintUsage(stderr);
    return kExitNothingConverted;
  }
  // A run stopped from outside unwinds through its failure path at the next
  // statement, so that it removes what it registered.
  CInterruptGuard interrupts;
  constexpr std::size_t kReserveBytes = 256 * 1024;
  std::set_terminate(OnTerminate);
  try {
    g_reserve = std::make_unique_for_overwrite<char[]>(kReserveBytes);
    std::set_new_handler(GiveUpReserve);
    return AfxWinMain(argc, argv);
  } catch (const std::bad_alloc&) {
    SayLine(stderr, "%s", kOutOfMemoryReason);
    return kExitNothingConverted;
  }
}
