// The driver's errors that come from the machine rather than from the data
// or the SQL: a full disk, a read-only file system, a failing disk, memory,
// a path longer than the storage engine takes. A caller that turns a
// database error into a failure gives one of these as the reason: whatever
// failed after it failed because of it.
#pragma once

#include <cstddef>
#include <string>

namespace jetdb {

// The driver's native numbers of those errors.
inline constexpr int kNativeDiskFull = 3026;       // "Espace insuffisant ..."
inline constexpr int kNativeReadOnly = 3027;       // "... lecture seule." (the file or its file system)
inline constexpr int kNativeDiskError = 3043;      // "Erreur de disque ou de réseau ..."
inline constexpr int kNativeOutOfMemory = 3035;    // "Mémoire insuffisante ..."
inline constexpr int kNativePathTooLong = 3044;    // "Le chemin ... est trop long ..."

bool isMachineFault(int native);

// The longest path, in bytes once made absolute, of a database the driver
// opens: the storage engine names its logs after the file ("-journal" is
// the longest suffix) and refuses any name longer than its own limit.
std::size_t maxDatabasePathBytes();

// Whether `path` (the file, or its folder when the file is missing) lies on
// a file system mounted read-only.
bool onReadOnlyFileSystem(const std::string& path);

}  // namespace jetdb
