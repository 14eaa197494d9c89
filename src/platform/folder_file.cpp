#include "platform/folder_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/file_copy.h"

CFolder CFolder::Of(const std::string& path) { return CFolder(FolderOf(path)); }

CFolder::CFolder(const std::string& folder) : m_fd(::open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC)) {}

CFolder::~CFolder() {
  if (m_fd >= 0) ::close(m_fd);
}

CFolder::CFolder(CFolder&& other) noexcept : m_fd(other.m_fd) { other.m_fd = -1; }

int CFolder::CreateNew(const std::string& name, int flags, mode_t mode) const {
  return ::openat(m_fd, name.c_str(), flags | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
}

int CFolder::OpenOwn(const std::string& name, int flags, mode_t mode) const {
  const int fd = ::openat(m_fd, name.c_str(), (flags & ~O_TRUNC) | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, mode);
  if (fd < 0) return -1;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::geteuid()) {
    ::close(fd);
    errno = EPERM;
    return -1;
  }
  // Reads and writes of a regular file never wait anyway; the flag only
  // kept a FIFO from holding the open.
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  return fd;
}

std::string NameOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}
