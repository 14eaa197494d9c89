#include "interactive.h"

#include <editline/readline.h>
#include <fcntl.h>
#include <poll.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <string>

#include "script.h"

namespace jetsql {
namespace {

void onInterrupt(int) { Session::interruptRunning(); }

// The line editor's reads: a Ctrl-C while it waits for a key ends the
// line as an end of file would, and Session::interrupted() tells the two apart.
// The signal stays blocked except inside ppoll, which unblocks it and waits
// in one step: a Ctrl-C that lands while the editor is drawing the line, not
// waiting, is seen at the next key instead of leaving the half-typed line in
// place for the next one to run with (the terminal has already flushed the
// keys typed after it).
int readKey(FILE*) {
  sigset_t interrupt, waiting;
  sigemptyset(&interrupt);
  sigaddset(&interrupt, SIGINT);
  ::sigprocmask(SIG_BLOCK, &interrupt, &waiting);
  const sigset_t before = waiting;
  sigdelset(&waiting, SIGINT);
  int key = EOF;
  while (!Session::interrupted()) {
    pollfd input{STDIN_FILENO, POLLIN, 0};
    if (::ppoll(&input, 1, nullptr, &waiting) < 0) {
      if (errno == EINTR) continue;
      break;
    }
    unsigned char c;
    const ssize_t n = ::read(STDIN_FILENO, &c, 1);
    if (n == 1) key = c;
    if (n == 1 || !(n < 0 && errno == EINTR)) break;
  }
  ::sigprocmask(SIG_SETMASK, &before, nullptr);
  return key;
}

// $HOME, else the home of the passwd entry; empty when there is none.
std::string homeFolder() {
  const char* home = std::getenv("HOME");
  if (home && *home) return home;
  const passwd* entry = ::getpwuid(::getuid());
  return entry && entry->pw_dir ? entry->pw_dir : "";
}

// The history of the sessions before, when it is a file of the user's
// own: a link or someone else's file there decides nothing.
void loadHistory(const std::string& path) {
  struct stat info {};
  if (::lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && info.st_uid == ::geteuid())
    read_history(path.c_str());
}

// Written to a new file of its own beside it, then renamed over it: a
// link planted at its name is replaced, never followed, and a session
// killed while writing leaves the old history whole.
void saveHistory(const std::string& path) {
  std::string temporary = path + ".XXXXXX";
  const int fd = ::mkstemp(temporary.data());
  if (fd < 0) return;
  ::close(fd);
  if (write_history(temporary.c_str()) == 0 && ::rename(temporary.c_str(), path.c_str()) == 0) return;
  ::unlink(temporary.c_str());
}

constexpr int kHistoryEntries = 1000;

}  // namespace

void catchInterrupt() {
  struct sigaction action {};
  action.sa_handler = onInterrupt;
  sigemptyset(&action.sa_mask);
  action.sa_flags = 0;  // no SA_RESTART: a read waiting for a key returns
  sigaction(SIGINT, &action, nullptr);
}


int interactive(Session& session) {
  std::setlocale(LC_CTYPE, "");  // lets the line editor move over accented letters whole
  rl_catch_signals = 0;
  rl_getc_function = readKey;
  const std::string home = homeFolder();
  const std::string history = home.empty() ? "" : home + "/.jetsql_history";
  stifle_history(kHistoryEntries);
  if (!history.empty()) loadHistory(history);
  std::cout << "jetsql : les instructions finissent par « ; », .help pour l'aide, .quit pour sortir\n";
  std::string typed;
  for (;;) {
    std::cout.flush();
    Session::clearInterrupted();
    std::unique_ptr<char, decltype(&std::free)> line(readline(typed.empty() ? "jetsql> " : "   ...> "), &std::free);
    if (!line && Session::interrupted()) {
      std::cout << "\n";
      typed.clear();
      continue;
    }
    if (!line) {
      std::cout << "\n";
      break;
    }
    typed += line.get();
    typed += '\n';
    if (awaitsMore(typed)) continue;
    const std::string entry = typed.substr(0, typed.find_last_not_of(" \t\r\n") + 1);
    if (!entry.empty()) add_history(entry.c_str());
    bool quit = false;
    for (const auto& p : scriptPieces(typed)) {
      Session::clearInterrupted();
      if (session.run(p.text) == Outcome::Quit || Session::interrupted()) {
        quit = !Session::interrupted();
        break;
      }
    }
    typed.clear();
    if (quit) break;
  }
  if (!history.empty()) saveHistory(history);
  return 0;
}

}  // namespace jetsql
