#include "platform/file_copy.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <random>
#include <string>

#include "jetdb/jetdb.h"

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

namespace {

// Closes a descriptor when it goes out of scope.
class Fd {
 public:
  explicit Fd(int fd = -1) : m_fd(fd) {}
  ~Fd() { reset(); }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return m_fd; }
  void reset(int fd = -1) {
    if (m_fd >= 0) close(m_fd);
    m_fd = fd;
  }

 private:
  int m_fd;
};

bool WriteAll(int fd, const char* data, size_t size) {
  while (size > 0) {
    const ssize_t n = write(fd, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

bool CopyContents(int from, int to) {
  char buffer[1 << 16];
  for (;;) {
    const ssize_t n = read(from, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) return true;
    if (!WriteAll(to, buffer, static_cast<size_t>(n))) return false;
  }
}

// The source as its last commit left it when it is a database (the
// driver's snapshot), its bytes otherwise.
bool WriteCopy(const char* source, int to) {
  jetdb::Error error;
  switch (jetdb::snapshotCopy(source, to, error)) {
    case jetdb::Snapshot::Written: return true;
    case jetdb::Snapshot::Failed: return false;
    case jetdb::Snapshot::NotNeeded: break;
  }
  Fd in(open(source, O_RDONLY | O_CLOEXEC));
  return in.get() >= 0 && CopyContents(in.get(), to);
}

std::string NameOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Temporary names: ".NAME.tmpcopy-XXXXXX" beside NAME, hidden, and told
// apart from the user's files by RemoveCopyLeftovers.
constexpr char kTempMark[] = ".tmpcopy-";
constexpr size_t kTempMarkLength = sizeof kTempMark - 1;
constexpr size_t kSuffixLength = 6;

std::string TempName(const std::string& dest) {
  static const char kChars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  std::random_device random;
  std::string name = FolderOf(dest) + "/." + NameOf(dest) + kTempMark;
  for (size_t i = 0; i < kSuffixLength; ++i) name += kChars[random() % (sizeof kChars - 1)];
  return name;
}

bool IsLeftover(const std::string& name) {
  const size_t mark = name.rfind(kTempMark);
  return name.size() > 1 && name[0] == '.' && mark != std::string::npos && mark > 1 &&
         name.size() == mark + kTempMarkLength + kSuffixLength;
}

// The copy on its way to the destination's name: an unnamed file of the
// destination's folder, or a named temporary where the file system has no
// unnamed files (open gives EOPNOTSUPP, or EISDIR or EINVAL on kernels that
// do not know O_TMPFILE). Either is made as a new file of the user (0666
// less the umask). Whatever is not placed is gone when it goes out of scope.
class PendingCopy {
 public:
  explicit PendingCopy(const std::string& dest)
      : m_dest(dest), m_fd(open(FolderOf(dest).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666)) {
    if (m_fd.get() >= 0 || (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)) return;
    for (int attempt = 0; attempt < 100 && m_fd.get() < 0; ++attempt) {
      m_temp = TempName(dest);
      m_fd.reset(open(m_temp.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0666));
      if (m_fd.get() < 0 && errno != EEXIST) break;
    }
    if (m_fd.get() < 0) m_temp.clear();
  }
  ~PendingCopy() {
    if (!m_temp.empty()) unlink(m_temp.c_str());
  }
  PendingCopy(const PendingCopy&) = delete;
  PendingCopy& operator=(const PendingCopy&) = delete;

  int fd() const { return m_fd.get(); }

  // Gives the finished copy the destination's name. With failIfExists an
  // existing destination is kept: link refuses an existing name, so one
  // that appeared in the meantime is not replaced either.
  bool Place(bool failIfExists) {
    if (m_temp.empty()) {
      if (failIfExists) return Link(m_dest);
      // Linking cannot replace a file: a temporary name first, renamed over
      // the destination at once.
      for (int attempt = 0; attempt < 100 && m_temp.empty(); ++attempt) {
        const std::string temp = TempName(m_dest);
        if (Link(temp)) m_temp = temp;
        else if (errno != EEXIST) return false;
      }
    }
    if (m_temp.empty()) return false;
    if (failIfExists) return link(m_temp.c_str(), m_dest.c_str()) == 0;
    if (rename(m_temp.c_str(), m_dest.c_str()) != 0) return false;
    m_temp.clear();
    return true;
  }

 private:
  // Links the unnamed file under `name`. AT_EMPTY_PATH needs a capability
  // on kernels before 6.10; the descriptor's link in /proc does not.
  bool Link(const std::string& name) const {
    if (linkat(m_fd.get(), "", AT_FDCWD, name.c_str(), AT_EMPTY_PATH) == 0) return true;
    if (errno == EEXIST) return false;
    const std::string self = "/proc/self/fd/" + std::to_string(m_fd.get());
    return linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0;
  }

  std::string m_dest;
  std::string m_temp;  // the copy's temporary name, while it has one
  Fd m_fd;
};

}  // namespace

bool PathExists(const char* path) {
  struct stat st;
  return stat(path, &st) == 0;
}

bool IsSameFile(const char* a, const char* b) {
  struct stat sa, sb;
  if (stat(a, &sa) != 0 || stat(b, &sb) != 0) return false;
  return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

BOOL CopyFileA(const char* source, const char* dest, BOOL bFailIfExists) {
  if (source == nullptr || dest == nullptr) return FALSE;
  if (IsSameFile(source, dest)) return FALSE;
  if (bFailIfExists && PathExists(dest)) return FALSE;
  struct stat st;
  if (stat(source, &st) != 0 || !S_ISREG(st.st_mode)) return FALSE;
  PendingCopy copy(dest);
  if (copy.fd() < 0 || !WriteCopy(source, copy.fd()) || fsync(copy.fd()) != 0) return FALSE;
  // A writer killed on the file that had the name left its logs beside it:
  // SQLite would play them into the copy that takes the name.
  for (const char* log : {"-wal", "-shm", "-journal"}) unlink((std::string(dest) + log).c_str());
  if (!copy.Place(bFailIfExists)) return FALSE;
  // The new name must reach the disk too, or a crash could lose the copy.
  Fd folder(open(FolderOf(dest).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (folder.get() >= 0) fsync(folder.get());
  return TRUE;
}

int RemoveCopyLeftovers(const char* folder) {
  int removed = 0;
  std::error_code error;
  for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    // Only the user's own: another user's copy may be under way in a shared
    // folder, and the run lock is per user.
    struct stat info {};
    if (IsLeftover(it->path().filename().string()) && lstat(it->path().c_str(), &info) == 0 &&
        S_ISREG(info.st_mode) && info.st_uid == geteuid() && unlink(it->path().c_str()) == 0)
      ++removed;
  }
  return removed;
}

int RemoveCopyLeftoversBeside(const char* path) { return RemoveCopyLeftovers(FolderOf(path).c_str()); }
