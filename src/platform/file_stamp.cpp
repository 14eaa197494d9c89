#include "platform/file_stamp.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cinttypes>
#include <cstdio>

FileStamp StampOf(const std::string& path) {
  FileStamp stamp;
  const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return stamp;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return stamp;
  }
  std::uint64_t sum = 1469598103934665603ULL;
  unsigned char buffer[1 << 16];
  ssize_t n = 0;
  while ((n = ::read(fd, buffer, sizeof buffer)) != 0) {
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      ::close(fd);
      return stamp;
    }
    for (ssize_t i = 0; i < n; ++i) sum = (sum ^ buffer[i]) * 1099511628211ULL;
  }
  ::close(fd);
  stamp.valid = true;
  stamp.size = static_cast<std::uint64_t>(st.st_size);
  stamp.timeNs = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
  stamp.sum = sum;
  stamp.owner = st.st_uid;
  stamp.links = st.st_nlink;
  stamp.mode = st.st_mode & 07777;
  return stamp;
}

std::string StampText(const FileStamp& stamp) {
  char text[80];
  std::snprintf(text, sizeof text, "%" PRIu64 " %" PRId64 " %016" PRIx64, stamp.size, stamp.timeNs, stamp.sum);
  return text;
}

std::optional<FileStamp> ParseStamp(std::string_view text) {
  const std::string line(text);
  FileStamp stamp;
  char end = 0;
  if (std::sscanf(line.c_str(), "%" SCNu64 " %" SCNd64 " %" SCNx64 "%c", &stamp.size, &stamp.timeNs, &stamp.sum,
                  &end) != 3)
    return std::nullopt;
  stamp.valid = true;
  return stamp;
}
