// The logs SQLite would play into a database, checked before any open: a
// folder shared with other users lets any of them put a file beside the
// database, and SQLite reads it as the database's own.
#include <sys/stat.h>

#include "errors.h"
#include "sqlite_file.h"

namespace jetdb {
namespace {

constexpr const char* kLogSuffixes[] = {"-wal", "-shm", "-journal"};

struct Foreign {
  std::string log;
  const char* why;
};

// The first log beside `path` that may not be read as the log of the
// database, with why; none when every one present may (or none is).
std::optional<Foreign> findForeign(const std::string& path) {
  struct stat db {};
  if (::stat(path.c_str(), &db) != 0) return std::nullopt;
  for (const char* suffix : kLogSuffixes) {
    const std::string log = path + suffix;
    struct stat info {};
    if (::lstat(log.c_str(), &info) != 0) continue;
    if (S_ISLNK(info.st_mode)) return Foreign{log, "est un lien symbolique"};
    if (!S_ISREG(info.st_mode)) return Foreign{log, "n'est pas un fichier ordinaire"};
    if (info.st_uid != db.st_uid) return Foreign{log, "appartient à un autre utilisateur que la base"};
  }
  return std::nullopt;
}

}  // namespace

std::string foreignLog(const std::string& path) {
  const std::optional<Foreign> found = findForeign(path);
  return found ? found->log : std::string();
}

std::optional<Error> foreignLogError(const std::string& path) {
  const std::optional<Foreign> found = findForeign(path);
  if (!found) return std::nullopt;
  return errors::foreignLog(path, found->log, found->why);
}

}  // namespace jetdb
