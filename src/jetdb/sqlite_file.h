// The file under a Database as SQLite opens it: the open itself, what its
// first page says, its write-ahead log, and SQLite's failures in the
// driver's words.
#pragma once

#include <sqlite3.h>

#include <optional>
#include <string>
#include <string_view>

#include "jetdb/jetdb.h"

namespace jetdb {

// How long a statement waits for another process's lock before it fails
// with "fichier déjà utilisé". Long enough for any single statement of
// another writer, short enough that a stuck peer is reported.
inline constexpr int kBusyTimeoutMs = 5000;

// What the first page of a file says about it.
enum class FileKind { Foreign, Rollback, Wal };

// Opens the file `path` with SQLite as sqlite3_open_v2 does (the handle,
// even on failure, is the caller's to close): read-only without writing
// anything (see database.cpp), or for writing, created when `mode` says so.
// Nothing is read from the file yet.
int openSqlite(const std::string& path, OpenMode mode, sqlite3** db);
// Settings of SQLite for the whole process, made once before its first
// use (they are refused after it): every call into SQLite that may be the
// process's first calls this before.
void prepareSqlite();
// The kind of file an open connection is on, read through SQLite's own
// handle before any statement runs.
FileKind fileKind(sqlite3* db);
// The refusal of a database whose "-wal", "-shm" or "-journal" SQLite must
// not read (see foreignLog); checked before SQLite opens the file.
std::optional<Error> foreignLogError(const std::string& path);
// The refusal of a path longer than SQLite takes (see maxDatabasePathBytes);
// checked before SQLite opens the file, which would only say it cannot.
std::optional<Error> pathLimitError(const std::string& path);
// Whether the write-ahead log of `path` and its index are both beside it.
bool logPresent(const std::string& path);

// The driver's error for the failure `code` (an extended SQLite result
// code) of the connection `db` on `path`: French, whatever SQLite said; a
// file system mounted read-only and a path too long are named as such.
Error sqliteFailure(sqlite3* db, int code, const std::string& path, std::string_view table = {});

}  // namespace jetdb
