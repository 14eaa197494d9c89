#include <fcntl.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>

#include "app/updater_app.h"
#include "app/usage.h"
#include "platform/interrupt.h"
#include "platform/win_app.h"

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

}  // namespace

int main(int argc, char** argv) {
  GuardStandardStreams();
  if (argc < 2) {
    // A bare command is someone asking how to use it.
    PrintUsage(stderr);
    return kExitNothingConverted;
  }
  // A run stopped from outside unwinds through its failure path at the next
  // statement, so that it removes what it registered.
  CInterruptGuard interrupts;
  return AfxWinMain(argc, argv);
}
