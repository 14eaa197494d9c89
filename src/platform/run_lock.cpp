#include "platform/run_lock.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <thread>

#include "platform/folder_file.h"
#include "platform/interrupt.h"

namespace {

// Whether `name` in the folder still names the file open as `fd`: the last
// holder removes the lock file, so a process that opened it before then
// holds a lock on a file without a name, which keeps no one else out.
bool NamesTheOpenFile(int folder, const std::string& name, int fd) {
  struct stat named, open;
  return fstatat(folder, name.c_str(), &named, AT_SYMLINK_NOFOLLOW) == 0 && fstat(fd, &open) == 0 &&
         named.st_dev == open.st_dev && named.st_ino == open.st_ino;
}

// The lock file at `name`, opened without following a link; -1 with errno
// (ELOOP, EPERM for what is not a regular file) when it cannot be used.
int OpenLockFile(int folder, const std::string& name) {
  int fd = openat(folder, name.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0644);
  // Another user's lock: read-only is enough to wait for it.
  if (fd < 0 && errno == EACCES) fd = openat(folder, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return -1;
  struct stat st {};
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    close(fd);
    errno = EPERM;
    return -1;
  }
  return fd;
}

void WriteHolder(int fd) {
  const passwd* user = getpwuid(geteuid());
  const std::string text = "processus " + std::to_string(getpid()) + ", utilisateur " +
                           (user != nullptr ? std::string(user->pw_name) : std::to_string(geteuid())) + "\n";
  if (ftruncate(fd, 0) == 0 && pwrite(fd, text.data(), text.size(), 0) < 0) {
    // Who holds the lock is only a courtesy to a waiting run.
  }
}

std::string ReadHolder(int fd) {
  char buffer[200];
  const ssize_t n = pread(fd, buffer, sizeof buffer, 0);
  std::string text;
  for (ssize_t i = 0; i < n; ++i)
    if (static_cast<unsigned char>(buffer[i]) >= 0x20 && buffer[i] != 0x7F) text += buffer[i];
  return text;
}

}  // namespace

CRunLock::~CRunLock() {
  if (m_fd < 0) return;
  // Nothing stays beside the user's files once the run is over; a killed
  // run leaves the file, which the next holder removes.
  if (NamesTheOpenFile(m_folder, m_name, m_fd)) unlinkat(m_folder, m_name.c_str(), 0);
  close(m_fd);
  close(m_folder);
}

CRunLock::Result CRunLock::Acquire(const std::string& path, int timeoutSeconds,
                                   const std::function<void(const std::string&)>& onWait) {
  if (m_fd >= 0) return Result::Held;
  CFolder folder = CFolder::Of(path);
  if (!folder.IsOpen()) return Result::Unavailable;
  const std::string name = NameOf(path);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeoutSeconds);
  bool told = false;
  int fd = -1;
  for (;;) {
    if (fd < 0) fd = OpenLockFile(folder.fd(), name);
    if (fd < 0) return errno == ELOOP || errno == EPERM ? Result::Refused : Result::Unavailable;
    if (flock(fd, LOCK_EX | LOCK_NB) == 0) {
      if (NamesTheOpenFile(folder.fd(), name, fd)) {
        WriteHolder(fd);
        m_fd = fd;
        m_folder = dup(folder.fd());
        m_name = name;
        return Result::Held;
      }
      // The holder removed it meanwhile: the lock is on the name's new file.
      close(fd);
      fd = -1;
      continue;
    }
    if (std::chrono::steady_clock::now() >= deadline || InterruptSignal() != 0) break;
    if (!told && onWait) onWait(ReadHolder(fd));
    told = true;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  close(fd);
  return Result::Busy;
}

bool CRunLock::IsHeldElsewhere(const std::string& path) {
  // Non-blocking: a FIFO planted under the name must not hang the look.
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOFOLLOW);
  if (fd < 0) return false;
  struct stat info {};
  bool held = false;
  if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
    held = flock(fd, LOCK_SH | LOCK_NB) != 0;
    if (!held) flock(fd, LOCK_UN);
  }
  close(fd);
  return held;
}
