#include "platform/interrupt.h"

#include <signal.h>

#include <array>

#include "platform/database.h"

namespace {

constexpr std::array kSignals{SIGINT, SIGTERM, SIGHUP};

volatile sig_atomic_t g_noted = 0;
std::array<struct sigaction, kSignals.size()> g_previous{};

void Note(int signal) { g_noted = signal; }

}  // namespace

CInterruptGuard::CInterruptGuard() {
  g_noted = 0;
  struct sigaction action {};
  action.sa_handler = Note;
  sigemptyset(&action.sa_mask);
  // SA_RESETHAND: the second signal finds the default action again.
  action.sa_flags = SA_RESETHAND;
  for (std::size_t i = 0; i < kSignals.size(); ++i) sigaction(kSignals[i], &action, &g_previous[i]);
}

CInterruptGuard::~CInterruptGuard() {
  for (std::size_t i = 0; i < kSignals.size(); ++i) sigaction(kSignals[i], &g_previous[i], nullptr);
}

int InterruptSignal() { return g_noted; }

void ThrowIfInterrupted() {
  if (g_noted != 0) {
    throw CDBException(SQL_ERROR, "Opération annulée : le programme a reçu un signal d'arrêt.",
                       "State:HY008,Native:0,Origin:[MFC]");
  }
}
