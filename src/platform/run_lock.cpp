#include "platform/run_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "platform/interrupt.h"

namespace {

// Whether `path` still names the file open as `fd`: the last holder removes
// the lock file, so a process that opened it before then holds a lock on a
// file without a name, which keeps no one else out.
bool NamesTheOpenFile(const std::string& path, int fd) {
  struct stat named, open;
  return stat(path.c_str(), &named) == 0 && fstat(fd, &open) == 0 && named.st_dev == open.st_dev &&
         named.st_ino == open.st_ino;
}

}  // namespace

CRunLock::~CRunLock() {
  if (m_fd < 0) return;
  // Nothing stays beside the user's files once the run is over; a killed
  // run leaves the file, which the next holder removes.
  if (NamesTheOpenFile(m_path, m_fd)) unlink(m_path.c_str());
  close(m_fd);
}

CRunLock::Result CRunLock::Acquire(const std::string& path, int timeoutSeconds) {
  if (m_fd >= 0) return Result::Held;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeoutSeconds);
  int fd = -1;
  for (;;) {
    if (fd < 0) fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) return Result::Unavailable;
    if (flock(fd, LOCK_EX | LOCK_NB) == 0) {
      if (NamesTheOpenFile(path, fd)) {
        m_fd = fd;
        m_path = path;
        return Result::Held;
      }
      // The holder removed it meanwhile: the lock is on the path's new file.
      close(fd);
      fd = -1;
      continue;
    }
    if (std::chrono::steady_clock::now() >= deadline || InterruptSignal() != 0) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  close(fd);
  return Result::Busy;
}

bool CRunLock::IsHeldElsewhere(const std::string& path) {
  // Non-blocking: a FIFO planted under the name must not hang the look.
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
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
