#include "platform/file_copy.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <random>
#include <string>

#include "jetdb/jetdb.h"
#include "platform/folder_file.h"

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

// Temporary names: ".NAME.tmpcopy-XXXXXX" beside NAME, hidden, and told
// apart from the user's files by RemoveCopyLeftovers.
constexpr char kTempMark[] = ".tmpcopy-";
constexpr size_t kTempMarkLength = sizeof kTempMark - 1;
constexpr size_t kSuffixLength = 6;

// The temporary name, inside the destination's folder, of a copy to `name`.
std::string TempName(const std::string& name) {
  static const char kChars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  std::random_device random;
  std::string temp = "." + name + kTempMark;
  for (size_t i = 0; i < kSuffixLength; ++i) temp += kChars[random() % (sizeof kChars - 1)];
  return temp;
}

bool IsLeftover(const std::string& name) {
  const size_t mark = name.rfind(kTempMark);
  return name.size() > 1 && name[0] == '.' && mark != std::string::npos && mark > 1 &&
         name.size() == mark + kTempMarkLength + kSuffixLength;
}

// The copy on its way to the destination's name: an unnamed file of the
// destination's folder, or a named temporary where the file system has no
// unnamed files (open gives EOPNOTSUPP, or EISDIR or EINVAL on kernels that
// do not know O_TMPFILE). Every name is reached through the folder's own
// descriptor, and a named temporary is created exclusively, so that no link
// planted or swapped in the folder is ever followed. Whatever is not placed
// is gone when it goes out of scope. It is open for reading too: a copy
// for writing has its header read back and changed (jetdb::setLogModeInCopy).
class PendingCopy {
 public:
  PendingCopy(const std::string& dest, mode_t mode)
      : m_folder(CFolder::Of(dest)),
        m_name(NameOf(dest)),
        m_fd(m_folder.IsOpen() ? openat(m_folder.fd(), ".", O_TMPFILE | O_RDWR | O_CLOEXEC, mode) : -1) {
    if (!m_folder.IsOpen() || m_fd.get() >= 0 || (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL))
      return;
    for (int attempt = 0; attempt < 100 && m_fd.get() < 0; ++attempt) {
      m_temp = TempName(m_name);
      m_fd.reset(m_folder.CreateNew(m_temp, O_RDWR, mode));
      if (m_fd.get() < 0 && errno != EEXIST) break;
    }
    if (m_fd.get() < 0) m_temp.clear();
  }
  ~PendingCopy() {
    if (!m_temp.empty()) unlinkat(m_folder.fd(), m_temp.c_str(), 0);
  }
  PendingCopy(const PendingCopy&) = delete;
  PendingCopy& operator=(const PendingCopy&) = delete;

  int fd() const { return m_fd.get(); }
  const CFolder& folder() const { return m_folder; }

  // Gives the finished copy the destination's name. With failIfExists an
  // existing destination is kept: link refuses an existing name, so one
  // that appeared in the meantime is not replaced either.
  bool Place(bool failIfExists) {
    if (m_temp.empty()) {
      if (failIfExists) return Link(m_name);
      // Linking cannot replace a file: a temporary name first, renamed over
      // the destination at once.
      for (int attempt = 0; attempt < 100 && m_temp.empty(); ++attempt) {
        const std::string temp = TempName(m_name);
        if (Link(temp)) m_temp = temp;
        else if (errno != EEXIST) return false;
      }
    }
    if (m_temp.empty()) return false;
    if (failIfExists) return linkat(m_folder.fd(), m_temp.c_str(), m_folder.fd(), m_name.c_str(), 0) == 0;
    if (renameat(m_folder.fd(), m_temp.c_str(), m_folder.fd(), m_name.c_str()) != 0) return false;
    m_temp.clear();
    return true;
  }

 private:
  // Links the unnamed file under `name`. AT_EMPTY_PATH needs a capability
  // on kernels before 6.10; the descriptor's link in /proc does not.
  bool Link(const std::string& name) const {
    if (linkat(m_fd.get(), "", m_folder.fd(), name.c_str(), AT_EMPTY_PATH) == 0) return true;
    if (errno == EEXIST) return false;
    const std::string self = "/proc/self/fd/" + std::to_string(m_fd.get());
    return linkat(AT_FDCWD, self.c_str(), m_folder.fd(), name.c_str(), AT_SYMLINK_FOLLOW) == 0;
  }

  CFolder m_folder;
  std::string m_name;
  std::string m_temp;  // the copy's temporary name in the folder, while it has one
  Fd m_fd;
};

// The permission bits of a copy of a file with `mode`: the source's, with
// the owner's write added so that the copy can be converted, never more.
mode_t CopyMode(mode_t mode) { return (mode & 0777) | S_IWUSR; }

}  // namespace

bool PathExists(const char* path) {
  struct stat st;
  return stat(path, &st) == 0;
}

bool NameTaken(const char* path) {
  struct stat st;
  return lstat(path, &st) == 0;
}

bool IsSameFile(const char* a, const char* b) {
  struct stat sa, sb;
  if (stat(a, &sa) != 0 || stat(b, &sb) != 0) return false;
  return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

namespace {

// The copy of CopyFileA and CopyFileForWriting: `forWriting` sets the
// copy's log mode before it is synced, so that the mode reaches the disk
// with the copy's bytes.
BOOL Copy(const char* source, const char* dest, BOOL bFailIfExists, bool forWriting) {
  if (source == nullptr || dest == nullptr) return FALSE;
  if (IsSameFile(source, dest)) return FALSE;
  if (bFailIfExists && NameTaken(dest)) {
    errno = EEXIST;
    return FALSE;
  }
  struct stat st;
  if (stat(source, &st) != 0 || !S_ISREG(st.st_mode)) return FALSE;
  PendingCopy copy(dest, CopyMode(st.st_mode));
  if (copy.fd() < 0) return FALSE;
  // The umask narrowed the mode at the open; the source's group, where the
  // user belongs to it, keeps a group folder's sharing.
  if (fchmod(copy.fd(), CopyMode(st.st_mode)) != 0) return FALSE;
  if (fchown(copy.fd(), static_cast<uid_t>(-1), st.st_gid) != 0) {
    // Not one of the user's groups: the copy keeps the user's own group.
  }
  jetdb::Error unmarked;
  if (!WriteCopy(source, copy.fd()) || (forWriting && !jetdb::setLogModeInCopy(copy.fd(), unmarked)) ||
      fsync(copy.fd()) != 0)
    return FALSE;
  // A writer killed on the file that had the name left its logs beside it:
  // SQLite would play them into the copy that takes the name.
  const std::string name = NameOf(dest);
  for (const char* log : {"-wal", "-shm", "-journal"}) unlinkat(copy.folder().fd(), (name + log).c_str(), 0);
  if (!copy.Place(bFailIfExists)) return FALSE;
  // The new name must reach the disk too, or a crash could lose the copy.
  Fd folder(open(FolderOf(dest).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (folder.get() >= 0) fsync(folder.get());
  return TRUE;
}

}  // namespace

BOOL CopyFileA(const char* source, const char* dest, BOOL bFailIfExists) {
  return Copy(source, dest, bFailIfExists, false);
}

BOOL CopyFileForWriting(const char* source, const char* dest, BOOL bFailIfExists) {
  return Copy(source, dest, bFailIfExists, true);
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
