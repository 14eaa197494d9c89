// snapshotCopy: a copy of an SQLite file as its last commit left it, taken
// with a read-only connection that writes nothing (see database.cpp).
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <vector>

#include "errors.h"
#include "sqlite_file.h"
#include "sqlite_util.h"

namespace jetdb {
namespace {

struct CloseDb {
  void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
using DbHandle = std::unique_ptr<sqlite3, CloseDb>;

bool writeAll(int fd, const unsigned char* data, std::size_t size, Error& error) {
  while (size > 0) {
    const ssize_t n = ::write(fd, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      const int fault = n < 0 ? errno : ENOSPC;
      error = fault == ENOSPC || fault == EDQUOT || fault == EFBIG ? errors::diskFull("") : errors::ioError("");
      return false;
    }
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

// The main file as it is, read through SQLite's own handle of it: the read
// transaction keeps every commit out of it meanwhile.
bool copyFile(sqlite3* db, const std::string& source, int destFd, Error& error) {
  sqlite3_file* file = nullptr;
  sqlite3_int64 size = 0;
  if (sqlite3_file_control(db, "main", SQLITE_FCNTL_FILE_POINTER, &file) != SQLITE_OK || !file ||
      file->pMethods->xFileSize(file, &size) != SQLITE_OK) {
    error = errors::ioError(source);
    return false;
  }
  std::vector<unsigned char> buffer(1 << 16);
  for (sqlite3_int64 at = 0; at < size;) {
    const int n = static_cast<int>(std::min<sqlite3_int64>(static_cast<sqlite3_int64>(buffer.size()), size - at));
    if (file->pMethods->xRead(file, buffer.data(), n, at) != SQLITE_OK) {
      error = errors::ioError(source);
      return false;
    }
    if (!writeAll(destFd, buffer.data(), static_cast<std::size_t>(n), error)) return false;
    at += n;
  }
  return true;
}

// The database the read transaction sees, main file and log together, built
// in memory by SQLite's online backup, then written out.
bool copyDatabase(sqlite3* db, const std::string& source, int destFd, Error& error) {
  sqlite3* raw = nullptr;
  const int opened = sqlite3_open_v2("snapshot", &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, "memdb");
  DbHandle copy(raw);
  sqlite3_backup* backup = opened == SQLITE_OK ? sqlite3_backup_init(copy.get(), "main", db, "main") : nullptr;
  const int stepped = backup ? sqlite3_backup_step(backup, -1) : SQLITE_ERROR;
  const bool done = backup && sqlite3_backup_finish(backup) == SQLITE_OK && stepped == SQLITE_DONE;
  sqlite3_int64 size = 0;
  const unsigned char* image = done ? sqlite3_serialize(copy.get(), "main", &size, SQLITE_SERIALIZE_NOCOPY) : nullptr;
  unsigned char header[100];
  if (!image || size < static_cast<sqlite3_int64>(sizeof header)) {
    error = raw && sqlite3_errcode(raw) != SQLITE_OK ? sqliteFailure(raw, sqlite3_extended_errcode(raw), source)
                                                     : sqliteFailure(db, sqlite3_extended_errcode(db), source);
    return false;
  }
  // The first page comes from the source, whose header asks for a log. The
  // copy has none: it must say so, or it could not be opened read-only.
  std::memcpy(header, image, sizeof header);
  header[18] = header[19] = 1;
  return writeAll(destFd, header, sizeof header, error) &&
         writeAll(destFd, image + sizeof header, static_cast<std::size_t>(size) - sizeof header, error);
}

// Bytes in the write-ahead log of `path`; 0 when it has none.
off_t logSize(const std::string& path) {
  struct stat info {};
  return ::stat((path + "-wal").c_str(), &info) == 0 ? info.st_size : 0;
}

}  // namespace

Snapshot snapshotCopy(const std::string& source, int destFd, Error& error) {
  if (auto foreign = foreignLogError(source)) {
    error = *foreign;
    return Snapshot::Failed;
  }
  sqlite3* raw = nullptr;
  const int opened = openSqlite(source, OpenMode::ReadOnly, &raw);
  DbHandle db(raw);
  if (opened != SQLITE_OK) {
    error = sqliteFailure(raw, raw ? sqlite3_extended_errcode(raw) : SQLITE_NOMEM, source);
    return Snapshot::Failed;
  }
  const FileKind kind = fileKind(db.get());
  if (kind == FileKind::Foreign) return Snapshot::NotNeeded;
  if (kind == FileKind::Wal && !logPresent(source)) {
    // Without its log the main file holds every commit, and no connection
    // has it open: the file's bytes are the copy. A log without its index
    // cannot be read without writing one.
    if (::access((source + "-wal").c_str(), F_OK) != 0) return Snapshot::NotNeeded;
    error = errors::logMissing(source);
    return Snapshot::Failed;
  }
  sqlite3_busy_timeout(db.get(), kBusyTimeoutMs);
  // The read transaction begins with the first read and holds its snapshot
  // until COMMIT. A file SQLite cannot read as a database is copied as any
  // other file.
  if (sqlite3_exec(db.get(), "BEGIN; SELECT count(*) FROM sqlite_schema", nullptr, nullptr, nullptr) != SQLITE_OK) {
    const int code = sqlite3_extended_errcode(db.get()) & 0xFF;
    if (code == SQLITE_NOTADB || code == SQLITE_CORRUPT) return Snapshot::NotNeeded;
    error = sqliteFailure(db.get(), sqlite3_extended_errcode(db.get()), source);
    return Snapshot::Failed;
  }
  // Looked at once the read has begun: a log that is empty or absent now
  // holds nothing this transaction reads, and while it lasts no checkpoint
  // may write into the main file, which therefore is the snapshot.
  const bool copied =
      logSize(source) > 0 ? copyDatabase(db.get(), source, destFd, error) : copyFile(db.get(), source, destFd, error);
  sqlite3_exec(db.get(), "COMMIT", nullptr, nullptr, nullptr);
  return copied ? Snapshot::Written : Snapshot::Failed;
}

bool setLogModeInCopy(int fd, Error& error) {
  static constexpr char kMagic[] = "SQLite format 3";  // with its NUL: 16 bytes
  static constexpr off_t kFormatBytes = 18;
  unsigned char header[20];
  const ssize_t got = ::pread(fd, header, sizeof header, 0);
  if (got < 0) {
    error = errors::ioError("");
    return false;
  }
  if (got < static_cast<ssize_t>(sizeof header) || std::memcmp(header, kMagic, sizeof kMagic) != 0 ||
      header[kFormatBytes] != 1 || header[kFormatBytes + 1] != 1)
    return true;
  static constexpr unsigned char kLog[2] = {2, 2};
  if (::pwrite(fd, kLog, sizeof kLog, kFormatBytes) != static_cast<ssize_t>(sizeof kLog)) {
    error = errors::ioError("");
    return false;
  }
  return true;
}

}  // namespace jetdb
