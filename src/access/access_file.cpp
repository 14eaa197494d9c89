#include "access/access_file.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <vector>

#include "access/header.h"
#include "access/jet_text.h"
#include "access/mdb_reader.h"
#include "access/stream.h"

#if defined(__SANITIZE_ADDRESS__)
#define MDBFILE_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define MDBFILE_ASAN 1
#endif
#endif

namespace mdbfile {

namespace {

constexpr std::uint64_t kLargestFile = 2ULL << 30;     // Access's own limit: 2 GB
constexpr std::size_t kDiagnosticsKept = 4096;
constexpr std::uint64_t kErrorOutputLimit = 1 << 20;  // past this, libmdb is looping

class Fd {
 public:
  explicit Fd(int fd = -1) : m_fd(fd) {}
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  ~Fd() { reset(); }
  int get() const { return m_fd; }
  int release() {
    const int fd = m_fd;
    m_fd = -1;
    return fd;
  }
  void reset(int fd = -1) {
    if (m_fd >= 0) ::close(m_fd);
    m_fd = fd;
  }

 private:
  int m_fd;
};

bool writeAll(int fd, const std::uint8_t* p, std::size_t n) {
  while (n > 0) {
    const ssize_t done = ::write(fd, p, n);
    if (done < 0 && errno == EINTR) continue;
    if (done <= 0) return false;
    p += done;
    n -= static_cast<std::size_t>(done);
  }
  return true;
}

bool readAllAt(int fd, std::uint8_t* p, std::size_t n, off_t at) {
  while (n > 0) {
    const ssize_t done = ::pread(fd, p, n, at);
    if (done < 0 && errno == EINTR) continue;
    if (done <= 0) return false;
    p += done;
    n -= static_cast<std::size_t>(done);
    at += done;
  }
  return true;
}

// The child: reads the file from fd 3 and streams the model on fd 4; its
// error output is the parent's pipe. Never returns.
[[noreturn]] void runChild(int fileFd, int streamFd, int errorFd, std::uint64_t fileSize,
                           const FileHeader& header, int codePage, std::uint64_t memoryLimit,
                           long cpuSeconds) {
  prctl(PR_SET_PDEATHSIG, SIGKILL);
  // The parent's handlers are not the child's business: an interrupt or a
  // closed pipe ends it.
  for (int sig : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE}) ::signal(sig, SIG_DFL);
  const int devNull = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
  // Out of the way of the low numbers first, then to their places.
  const int file = ::fcntl(fileFd, F_DUPFD, 10);
  const int stream = ::fcntl(streamFd, F_DUPFD, 10);
  const int error = ::fcntl(errorFd, F_DUPFD, 10);
  if (devNull < 0 || file < 0 || stream < 0 || error < 0 || ::dup2(devNull, 0) < 0 ||
      ::dup2(error, 1) < 0 || ::dup2(error, 2) < 0 || ::dup2(file, 3) < 0 ||
      ::dup2(stream, 4) < 0) {
    ::_exit(3);
  }
  ::close_range(5, ~0U, 0);

  auto limit = [](int resource, rlim_t value) {
    const rlimit r{value, value};
    ::setrlimit(resource, &r);
  };
  limit(RLIMIT_CPU, static_cast<rlim_t>(cpuSeconds));
  limit(RLIMIT_FSIZE, 0);  // it has nothing to write but its pipes
  limit(RLIMIT_CORE, 0);
#ifndef MDBFILE_ASAN
  // AddressSanitizer reserves terabytes of address space: there the parent's
  // watch on resident memory is the only limit.
  limit(RLIMIT_AS, static_cast<rlim_t>(memoryLimit * 2 + (256ULL << 20)));
#else
  (void)memoryLimit;
#endif

  StreamWriter writer([](const std::uint8_t* p, std::size_t n) { return writeAll(4, p, n); });
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(fileSize));
  if (!readAllAt(3, bytes.data(), bytes.size(), 0)) {
    writer.fail("lecture du fichier impossible");
    ::_exit(0);
  }
  const std::string error2 = readWithLibmdb(bytes, header, codePage, writer);
  if (error2.empty()) {
    writer.end();
  } else {
    writer.fail(error2);
  }
  ::_exit(0);
}

std::uint64_t residentBytes(pid_t pid) {
  std::ifstream statm("/proc/" + std::to_string(pid) + "/statm");
  std::uint64_t size = 0;
  std::uint64_t resident = 0;
  statm >> size >> resident;
  return resident * static_cast<std::uint64_t>(::sysconf(_SC_PAGESIZE));
}

// The parent's side of the child: its pipes, its limits, and why it was
// stopped, if it was.
class Child {
 public:
  Child(pid_t pid, int stream, int error, std::chrono::steady_clock::time_point deadline,
        std::uint64_t memoryLimit)
      : m_pid(pid), m_stream(stream), m_error(error), m_deadline(deadline), m_memoryLimit(memoryLimit) {}
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;
  ~Child() { end(); }

  // Fills `out` with the stream's next `n` bytes, watching the child the
  // while; false at the stream's end or once the child is stopped.
  bool read(std::uint8_t* out, std::size_t n) {
    while (n > 0) {
      if (m_at == m_buffer.size()) {
        if (!fill()) return false;
        continue;
      }
      const std::size_t step = std::min(n, m_buffer.size() - m_at);
      std::memcpy(out, m_buffer.data() + m_at, step);
      m_at += step;
      out += step;
      n -= step;
    }
    return true;
  }

  // Waits for the child to end after a complete stream, still draining its
  // error output; its exit status.
  int finish() {
    while (m_error.get() >= 0 && m_stopped.empty()) pollOnce(false);
    if (!m_stopped.empty()) return -1;
    return reap();
  }

  // Stops the child for `why`, which becomes the reading's failure.
  void stop(const std::string& why) {
    if (m_pid <= 0) return;
    if (m_stopped.empty()) m_stopped = why;
    end();
  }

  // Gives a child whose stream broke a moment to end by itself, so that a
  // crash is told apart from a stop; whether it ended so.
  bool endedByItself(std::chrono::milliseconds grace) {
    const auto until = std::chrono::steady_clock::now() + grace;
    while (m_pid > 0) {
      const pid_t done = ::waitpid(m_pid, &m_status, WNOHANG);
      if (done == m_pid) {
        m_pid = 0;
        return true;
      }
      if (done < 0 && errno != EINTR) return false;
      if (std::chrono::steady_clock::now() >= until) return false;
      ::usleep(5000);
    }
    return false;
  }

  // Ends the child, if it still runs, and waits for it.
  void end() {
    if (m_pid <= 0) return;
    ::kill(m_pid, SIGKILL);
    reap();
  }

  const std::string& stopped() const { return m_stopped; }
  const std::string& diagnostics() const { return m_diagnostics; }
  int status() const { return m_status; }

 private:
  int reap() {
    if (m_pid > 0) {
      while (::waitpid(m_pid, &m_status, 0) < 0 && errno == EINTR) {
      }
      m_pid = 0;
    }
    return m_status;
  }

  bool fill() {
    m_buffer.clear();
    m_at = 0;
    while (m_buffer.empty()) {
      if (m_stream.get() < 0 || !m_stopped.empty()) return false;
      pollOnce(true);
    }
    return true;
  }

  void pollOnce(bool wantStream) {
    const auto now = std::chrono::steady_clock::now();
    if (now >= m_deadline) {
      stop("la lecture a dépassé le temps permis");
      return;
    }
    if (residentBytes(m_pid) > m_memoryLimit) {
      stop("la lecture a dépassé la mémoire permise");
      return;
    }
    pollfd fds[2] = {{m_error.get(), POLLIN, 0}, {wantStream ? m_stream.get() : -1, POLLIN, 0}};
    const auto wait = std::min<std::chrono::milliseconds>(
        std::chrono::duration_cast<std::chrono::milliseconds>(m_deadline - now) +
            std::chrono::milliseconds(1),
        std::chrono::milliseconds(100));
    if (::poll(fds, 2, static_cast<int>(wait.count())) < 0) return;
    std::uint8_t chunk[1 << 16];
    if (fds[0].revents != 0) {
      const ssize_t got = ::read(m_error.get(), chunk, sizeof chunk);
      if (got > 0) {
        const auto n = static_cast<std::size_t>(got);
        m_errorBytes += n;
        if (m_diagnostics.size() < kDiagnosticsKept) {
          m_diagnostics.append(reinterpret_cast<const char*>(chunk),
                               std::min(n, kDiagnosticsKept - m_diagnostics.size()));
        }
        if (m_errorBytes > kErrorOutputLimit) {
          stop("la bibliothèque de lecture signale des erreurs sans fin : fichier endommagé");
        }
      } else if (got == 0 || errno != EINTR) {
        m_error.reset();
      }
    }
    if (wantStream && fds[1].revents != 0) {
      m_buffer.resize(sizeof chunk);
      const ssize_t got = ::read(m_stream.get(), m_buffer.data(), m_buffer.size());
      if (got > 0) {
        m_buffer.resize(static_cast<std::size_t>(got));
      } else {
        m_buffer.clear();
        if (got == 0 || errno != EINTR) m_stream.reset();
      }
    }
  }

  pid_t m_pid;
  Fd m_stream;
  Fd m_error;
  std::chrono::steady_clock::time_point m_deadline;
  std::uint64_t m_memoryLimit;
  std::vector<std::uint8_t> m_buffer;
  std::size_t m_at = 0;
  std::string m_diagnostics;
  std::uint64_t m_errorBytes = 0;
  std::string m_stopped;
  int m_status = 0;
};

// The first line of what libmdb wrote, as plain printable ASCII.
std::string firstLine(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\n' || out.size() >= 200) break;
    out += (c >= 0x20 && c < 0x7F) ? c : '?';
  }
  return out;
}

std::string openError(int error) {
  switch (error) {
    case ENOENT: return "le fichier n'existe pas";
    case ELOOP: return "le chemin est un lien symbolique, qui n'est pas suivi";
    case EACCES: return "accès au fichier refusé";
    default: return std::string("ouverture du fichier impossible : ") + std::strerror(error);
  }
}

}  // namespace

ReadResult readAccessFile(const std::string& path, const ReadOptions& options) {
  CollectSink sink;
  ReadResult result = readAccessFile(path, options, sink);
  if (result.error.empty()) result.database = std::move(sink.database());
  return result;
}

ReadResult readAccessFile(const std::string& path, const ReadOptions& options, Sink& sink) {
  ReadResult result;
  Fd file(::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
  if (file.get() < 0) {
    result.error = openError(errno);
    return result;
  }
  struct stat st {};
  if (::fstat(file.get(), &st) != 0 || !S_ISREG(st.st_mode)) {
    result.error = "ce n'est pas un fichier ordinaire";
    return result;
  }
  const auto size = static_cast<std::uint64_t>(st.st_size);
  if (size > kLargestFile) {
    result.error = "le fichier dépasse la taille qu'Access permet (2 Go)";
    return result;
  }
  std::vector<std::uint8_t> first(static_cast<std::size_t>(std::min<std::uint64_t>(size, 4096)));
  if (!readAllAt(file.get(), first.data(), first.size(), 0)) {
    result.error = "lecture du fichier impossible";
    return result;
  }
  const HeaderCheck check = checkHeader(first, size);
  if (!check.header) {
    result.error = check.refusal;
    return result;
  }
  const FileHeader header = *check.header;
  const int codePage = options.codePage.value_or(header.codePage);
  if (header.jetVersion == 3 && !codePageKnown(codePage)) {
    result.error = "page de code " + std::to_string(codePage) + " inconnue";
    return result;
  }

  const auto timeout = options.timeout.count() > 0
                           ? options.timeout
                           : std::chrono::milliseconds(60000 + static_cast<std::int64_t>(size >> 12));
  const std::uint64_t memoryLimit = options.memoryLimit > 0 ? options.memoryLimit : (1ULL << 30) + 4 * size;
  const std::uint64_t budget = (64ULL << 20) + 24 * size;

  int streamPipe[2];
  int errorPipe[2];
  if (::pipe2(streamPipe, O_CLOEXEC) != 0) {
    result.error = "création du processus de lecture impossible";
    return result;
  }
  Fd streamRead(streamPipe[0]);
  Fd streamWrite(streamPipe[1]);
  if (::pipe2(errorPipe, O_CLOEXEC) != 0) {
    result.error = "création du processus de lecture impossible";
    return result;
  }
  Fd errorRead(errorPipe[0]);
  Fd errorWrite(errorPipe[1]);
  // What the parent's stdio holds must not be written twice, should libmdb
  // end the child through exit().
  std::fflush(nullptr);
  const pid_t pid = ::fork();
  if (pid < 0) {
    result.error = "création du processus de lecture impossible";
    return result;
  }
  if (pid == 0) {
    const auto cpu = static_cast<long>(timeout.count() / 1000 + 2);
    runChild(file.get(), streamWrite.get(), errorWrite.get(), size, header, codePage, memoryLimit, cpu);
  }
  streamWrite.reset();
  errorWrite.reset();
  Child child(pid, streamRead.release(), errorRead.release(),
              std::chrono::steady_clock::now() + timeout, memoryLimit);

  const StreamResult stream = decodeStream(
      [&](std::uint8_t* out, std::size_t n) { return child.read(out, n); }, budget, sink);
  if (stream.complete) {
    const int status = child.finish();
    if (child.stopped().empty() && WIFEXITED(status) && WEXITSTATUS(status) == 0) {
      result.diagnostics = child.diagnostics();
      // libmdb warns and goes on where it cannot read a page (a truncated
      // file, a damaged one): what it then leaves out is lost without
      // another word, so a warning fails the reading. It writes none on a
      // sound file.
      if (!result.diagnostics.empty()) {
        result.error = "la bibliothèque de lecture signale un problème (fichier tronqué ou endommagé ?) : " +
                       firstLine(result.diagnostics);
      }
      return result;
    }
  }
  // Whatever went wrong, the child goes before its status is read.
  const bool crashed = child.stopped().empty() && child.endedByItself(std::chrono::milliseconds(300)) &&
                       WIFSIGNALED(child.status());
  child.end();
  result.diagnostics = child.diagnostics();
  if (!child.stopped().empty()) {
    result.error = child.stopped();
  } else if (crashed) {
    result.error = "le processus de lecture s'est arrêté brutalement (signal " +
                   std::to_string(WTERMSIG(child.status())) + ") : fichier endommagé";
  } else if (!stream.error.empty()) {
    result.error = stream.error;
  } else {
    result.error = "le processus de lecture a échoué";
  }
  return result;
}

}  // namespace mdbfile
