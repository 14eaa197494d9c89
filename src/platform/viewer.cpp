#include "platform/viewer.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdlib>
#include <optional>
#include <vector>

#include "platform/text_file.h"

extern char** environ;

namespace {

bool OnPath(const char* program) {
  const char* path = std::getenv("PATH");
  if (path == nullptr) return false;
  std::string dirs(path);
  size_t start = 0;
  while (start <= dirs.size()) {
    const size_t end = dirs.find(':', start);
    const std::string dir = dirs.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (!dir.empty() && access((dir + "/" + program).c_str(), X_OK) == 0) return true;
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return false;
}

std::string ChoosePager() {
  const char* pager = std::getenv("PAGER");
  if (pager != nullptr && *pager != '\0') return pager;
  for (const char* program : {"less", "more"}) {
    if (OnPath(program)) return program;
  }
  return "";
}

// The file's bytes, read as the journal was created: never through a link.
std::optional<std::string> ReadRegularFile(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  struct stat st {};
  std::string bytes;
  bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
  char buffer[65536];
  while (ok) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      ok = n == 0;
      break;
    }
    bytes.append(buffer, static_cast<size_t>(n));
  }
  ::close(fd);
  if (!ok) return std::nullopt;
  return bytes;
}

// The environment of the pager: the user's, and the text's character set
// for less when the user has not said which.
std::vector<char*> PagerEnvironment(std::string& charset) {
  std::vector<char*> env;
  for (char** e = environ; *e != nullptr; ++e) env.push_back(*e);
  if (std::getenv("LESSCHARSET") == nullptr && std::getenv("LESSCHARDEF") == nullptr) {
    charset = "LESSCHARSET=utf-8";
    env.push_back(charset.data());
  }
  env.push_back(nullptr);
  return env;
}

bool WriteAll(int fd, std::string_view text) {
  while (!text.empty()) {
    const ssize_t n = ::write(fd, text.data(), text.size());
    if (n < 0 && errno == EINTR) continue;
    // EPIPE: the user left the pager before the end; nothing is wrong.
    if (n <= 0) return false;
    text.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

// The signals the pager takes for itself while it runs, as system(3) leaves
// them to its command; SIGPIPE so that quitting the pager early only ends
// the writing.
constexpr std::array kPagerSignals{SIGINT, SIGQUIT, SIGPIPE};

class PagerSignals {
 public:
  PagerSignals() {
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    for (std::size_t i = 0; i < kPagerSignals.size(); ++i) sigaction(kPagerSignals[i], &ignore, &m_saved[i]);
  }
  ~PagerSignals() {
    for (std::size_t i = 0; i < kPagerSignals.size(); ++i) sigaction(kPagerSignals[i], &m_saved[i], nullptr);
  }
  PagerSignals(const PagerSignals&) = delete;
  PagerSignals& operator=(const PagerSignals&) = delete;

 private:
  std::array<struct sigaction, kPagerSignals.size()> m_saved{};
};

// Runs the pager on `text`; its exit status, or nullopt when it did not start.
std::optional<int> RunPager(const std::string& pager, const std::string& text) {
  int pipeFds[2];
  if (::pipe2(pipeFds, O_CLOEXEC) != 0) return std::nullopt;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipeFds[0], STDIN_FILENO);
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t defaults;
  sigemptyset(&defaults);
  for (const int signal : kPagerSignals) sigaddset(&defaults, signal);
  posix_spawnattr_setsigdefault(&attributes, &defaults);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);

  PagerSignals signals;
  // The pager command is the user's own setting and may carry arguments, so
  // the shell splits it; the text comes in on standard input.
  const std::string script = "exec " + pager;
  const char* argv[] = {"sh", "-c", script.c_str(), nullptr};
  std::string charset;
  std::vector<char*> env = PagerEnvironment(charset);
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, "/bin/sh", &actions, &attributes, const_cast<char* const*>(argv), env.data());
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  ::close(pipeFds[0]);
  if (spawned != 0) {
    ::close(pipeFds[1]);
    return std::nullopt;
  }
  WriteAll(pipeFds[1], text);
  ::close(pipeFds[1]);
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return std::nullopt;
  }
  return status;
}

}  // namespace

std::string ViewedText(std::string_view journalBytes) {
  const std::string utf8 = FromWindows1252(journalBytes);
  std::string text;
  text.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    const auto c = static_cast<unsigned char>(utf8[i]);
    if (c == '\r' && i + 1 < utf8.size() && utf8[i + 1] == '\n') continue;
    if ((c < 0x20 && c != '\t' && c != '\n') || c == 0x7F) {
      text += '^';
      text += static_cast<char>(c ^ 0x40);
    } else {
      text += static_cast<char>(c);
    }
  }
  return text;
}

BOOL OpenInViewer(const CString& quotedPath) {
  CString path(quotedPath);
  if (path.GetLength() >= 2 && path.GetAt(0) == '"' && path.GetAt(path.GetLength() - 1) == '"') {
    path = path.Mid(1, path.GetLength() - 2);
  }
  const std::optional<std::string> bytes = ReadRegularFile(path.str());
  if (!bytes) return FALSE;
  const std::string pager = ChoosePager();
  if (pager.empty()) return FALSE;
  const std::optional<int> status = RunPager(pager, ViewedText(*bytes));
  // 126 and 127: the shell could not find or run the pager.
  return status && WIFEXITED(*status) && WEXITSTATUS(*status) != 126 && WEXITSTATUS(*status) != 127 ? TRUE : FALSE;
}
