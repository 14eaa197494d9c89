// Contract: the signals by which a user or the system ends a run from
// outside (SIGINT, SIGTERM, SIGHUP), turned into a database error at the
// next statement so that the run unwinds through its ordinary failure path.
//
// What the system may rely on:
//  - While a CInterruptGuard lives, the first of these signals does not end
//    the process: it is noted, and from then on every CDatabase call that
//    reaches the driver (ExecuteSQL, and each record-set operation that
//    sends a statement or writes a row) throws CDBException with state
//    HY008 ("Opération annulée"), before anything is sent. What the run had
//    registered is then removed by the code that registered it.
//  - A second signal ends the process as its default action would, for a
//    user who does not want to wait.
//  - InterruptSignal() names the signal noted (0 when none) until the next
//    guard is made; the guard's end restores the actions it replaced.
//  - CRunLock::Acquire stops waiting once a signal is noted.
// Differences from the original platform: a Windows program ended from
// outside had no chance to clean up; on Linux these signals are the usual
// way to stop a command, and they must not leave data sources behind.
#pragma once

class CInterruptGuard {
 public:
  CInterruptGuard();
  ~CInterruptGuard();
  CInterruptGuard(const CInterruptGuard&) = delete;
  CInterruptGuard& operator=(const CInterruptGuard&) = delete;
};

// The signal noted since the last guard was made, 0 when none.
int InterruptSignal();

// Throws the HY008 CDBException when a signal was noted.
void ThrowIfInterrupted();
