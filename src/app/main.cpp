#include <cstdio>

#include "app/updater_app.h"
#include "app/usage.h"
#include "platform/interrupt.h"
#include "platform/win_app.h"

CUpdaterApp theApp;

int main(int argc, char** argv) {
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
