// What the machine refuses a database file: its path's length, a file
// system mounted read-only.
#include <sqlite3.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cstring>

#include "errors.h"
#include "jetdb/faults.h"
#include "sqlite_file.h"

namespace jetdb {

bool isMachineFault(int native) {
  return native == kNativeDiskFull || native == kNativeReadOnly || native == kNativeDiskError ||
         native == kNativeOutOfMemory || native == kNativePathTooLong;
}

std::size_t maxDatabasePathBytes() {
  // SQLite's pager refuses a database whose name, with the 8 bytes of
  // "-journal", would not fit in the VFS's mxPathname.
  constexpr std::size_t kLongestLogSuffix = sizeof("-journal") - 1;
  prepareSqlite();
  const sqlite3_vfs* vfs = sqlite3_vfs_find(nullptr);
  const std::size_t limit = vfs != nullptr && vfs->mxPathname > 0 ? static_cast<std::size_t>(vfs->mxPathname) : 512;
  return limit > kLongestLogSuffix ? limit - kLongestLogSuffix : 0;
}

namespace {

// The length SQLite sees: a relative path is made absolute against the
// current folder first.
std::size_t absoluteLength(const std::string& path) {
  if (path.starts_with('/')) return path.size();
  char cwd[4096];
  if (::getcwd(cwd, sizeof cwd) == nullptr) return path.size();
  return std::strlen(cwd) + 1 + path.size();
}

std::string folderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

bool onReadOnlyFileSystem(const std::string& path) {
  struct statvfs info {};
  if (::statvfs(path.c_str(), &info) != 0 && ::statvfs(folderOf(path).c_str(), &info) != 0) return false;
  return (info.f_flag & ST_RDONLY) != 0;
}

std::optional<Error> pathLimitError(const std::string& path) {
  const std::size_t length = absoluteLength(path);
  const std::size_t limit = maxDatabasePathBytes();
  if (length <= limit) return std::nullopt;
  return errors::pathTooLong(path, length, limit);
}

}  // namespace jetdb
