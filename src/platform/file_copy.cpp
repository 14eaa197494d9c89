#include "platform/file_copy.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

namespace {

// Closes a descriptor when it goes out of scope.
class Fd {
 public:
  explicit Fd(int fd) : m_fd(fd) {}
  ~Fd() {
    if (m_fd >= 0) close(m_fd);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return m_fd; }
  int release() {
    const int fd = m_fd;
    m_fd = -1;
    return fd;
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

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

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
  Fd in(open(source, O_RDONLY | O_CLOEXEC));
  struct stat st;
  if (in.get() < 0 || fstat(in.get(), &st) != 0 || !S_ISREG(st.st_mode)) return FALSE;

  std::string temp = std::string(dest) + ".XXXXXX";
  Fd out(mkstemp(temp.data()));
  if (out.get() < 0) return FALSE;
  const bool copied = CopyContents(in.get(), out.get()) && fchmod(out.get(), st.st_mode & 07777) == 0 &&
                      fsync(out.get()) == 0;
  const bool closed = close(out.release()) == 0;
  if (!copied || !closed) {
    unlink(temp.c_str());
    return FALSE;
  }
  // link() refuses an existing name, so a destination that appeared in the
  // meantime is not replaced when the caller asked for that.
  const bool placed = bFailIfExists ? link(temp.c_str(), dest) == 0 : rename(temp.c_str(), dest) == 0;
  if (bFailIfExists) unlink(temp.c_str());
  if (!placed) {
    unlink(temp.c_str());
    return FALSE;
  }
  // The new name must reach the disk too, or a crash could lose the copy.
  Fd folder(open(FolderOf(dest).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (folder.get() >= 0) fsync(folder.get());
  return TRUE;
}
