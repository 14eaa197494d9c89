#include "platform/run_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "platform/interrupt.h"

CRunLock::~CRunLock() {
  if (m_fd >= 0) close(m_fd);
}

CRunLock::Result CRunLock::Acquire(const std::string& path, int timeoutSeconds) {
  if (m_fd >= 0) return Result::Held;
  const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return Result::Unavailable;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeoutSeconds);
  for (;;) {
    if (flock(fd, LOCK_EX | LOCK_NB) == 0) {
      m_fd = fd;
      return Result::Held;
    }
    if (std::chrono::steady_clock::now() >= deadline || InterruptSignal() != 0) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  close(fd);
  return Result::Busy;
}
