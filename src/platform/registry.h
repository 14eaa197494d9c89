// Contract: the Windows registry calls that the start-up sequence uses,
// over two hives kept as text files in the format of a registry export
// (registry_file.h: REGEDIT4 or version 5.00, UTF-8, UTF-16 or
// Windows-1252), so that a support person edits them by hand or pastes an
// export from Windows.
//
// Where the hives are:
//  - $UPDATER_REGISTRY/HKEY_CURRENT_USER.reg and
//    $UPDATER_REGISTRY/HKEY_LOCAL_MACHINE.reg when UPDATER_REGISTRY is set
//    (tests and portable installs);
//  - otherwise ${XDG_CONFIG_HOME:-$HOME/.config}/norvane/HKEY_CURRENT_USER.reg
//    and /etc/norvane/HKEY_LOCAL_MACHINE.reg.
//
// What the system may rely on:
//  - Key paths and value names compare without regard to case, as on Windows.
//  - Every line of a hive that can be read is read; a line that cannot is
//    left out, and InspectRegistryHive says which and why. A missing file,
//    one without a header, one that cannot be read or is not a regular
//    file (a FIFO, a folder, a loop of symbolic links) reads as a hive
//    without keys: opening fails with ERROR_FILE_NOT_FOUND. Reading never
//    blocks, never writes, never throws and never crashes.
//  - RegQueryValueExA gives REG_SZ strings with their terminating NUL (size
//    counts it, so an empty string has size 1) and REG_DWORD as 4 bytes.
//  - RegCreateKeyExA opens an existing key; a missing key is appended to the
//    hive file as a new section, and only when that file is absent or a
//    regular UTF-8 file with a header and no refused line (any other hive is
//    never written). A key name with a control character (below 0x20, and
//    0x7F) would add lines of its own to the hive: it is refused with
//    ERROR_INVALID_PARAMETER. The system itself only reads the registry;
//    creating is for tools and tests.
// Differences: no other hives, no security, no change notification; a handle
// is only valid in the process that opened it.
#pragma once

#include <string>

#include "platform/registry_file.h"
#include "platform/types.h"

struct HKEY__;
using HKEY = HKEY__*;

inline HKEY const HKEY_CURRENT_USER = reinterpret_cast<HKEY>(0x80000001u);
inline HKEY const HKEY_LOCAL_MACHINE = reinterpret_cast<HKEY>(0x80000002u);

inline constexpr LONG ERROR_SUCCESS = 0;
inline constexpr LONG ERROR_FILE_NOT_FOUND = 2;
inline constexpr LONG ERROR_ACCESS_DENIED = 5;
inline constexpr LONG ERROR_INVALID_HANDLE = 6;
inline constexpr LONG ERROR_INVALID_PARAMETER = 87;
inline constexpr LONG ERROR_MORE_DATA = 234;

inline constexpr DWORD REG_NONE = 0;
inline constexpr DWORD REG_SZ = 1;
inline constexpr DWORD REG_EXPAND_SZ = 2;
inline constexpr DWORD REG_BINARY = 3;
inline constexpr DWORD REG_DWORD = 4;

inline constexpr DWORD KEY_READ = 0x20019;
inline constexpr DWORD KEY_WRITE = 0x20006;
inline constexpr DWORD KEY_ALL_ACCESS = 0xF003F;
inline constexpr DWORD REG_OPTION_NON_VOLATILE = 0;

LONG RegOpenKeyExA(HKEY root, const char* subKey, DWORD options, DWORD access, HKEY* result);
LONG RegCreateKeyExA(HKEY root, const char* subKey, DWORD reserved, char* keyClass, DWORD options,
                     DWORD access, void* security, HKEY* result, DWORD* disposition);
LONG RegQueryValueExA(HKEY key, const char* valueName, DWORD* reserved, DWORD* type, BYTE* data,
                      DWORD* dataSize);
LONG RegCloseKey(HKEY key);

// The file that holds a hive (for tools and tests).
std::string RegistryHivePath(HKEY root);

// What a hive file holds, for a report of the settings: whether it is there,
// its header and encoding, its keys and values with their lines, and every
// line it refuses (a file that cannot be read is one problem of line 0).
struct RegistryHiveReport {
  enum class State { Missing, Unreadable, Read };
  std::string file;
  State state = State::Missing;
  HiveText text;
};
RegistryHiveReport InspectRegistryHive(HKEY root);
