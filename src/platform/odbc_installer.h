// Contract: the ODBC installer call that registers and removes user data
// sources, and the look-up through which CDatabase finds a data source's
// database file.
//
// What the system may rely on:
//  - SQLConfigDataSource(hwnd, ODBC_ADD_DSN, driver, attributes) adds the
//    user data source named by the "DSN" pair of `attributes` (a list of
//    "key=value" texts, each ended by a NUL, the list ended by one more NUL),
//    or replaces one of that name, and returns TRUE. Its section holds
//    "Driver" and every other pair in the given order; the name is also
//    listed under [ODBC Data Sources]. The driver written is our own name,
//    kJetdbDriverName, whatever name the caller gave: the Access name may
//    belong to another driver on this machine (an administrator's mdbtools),
//    and an ODBC client must reach our driver through the data source.
//  - ODBC_REMOVE_DSN removes the section and the listing and returns TRUE,
//    FALSE when no such data source exists. When that leaves nothing but
//    the list's header (what an add puts into a file that did not exist),
//    the file itself is removed, unless it is a symbolic link: a run leaves
//    no user file behind where there was none. A last line that had no line
//    end keeps the one the add gave it, so that the section could follow it.
//  - The only driver known is ours, "Microsoft Access Driver (*.mdb)" (the
//    callers' name) or kJetdbDriverName; any other driver name, a list without
//    DSN, another request or a file that cannot be written gives FALSE and
//    leaves the file as it was.
//  - No byte of a pair can change the file's structure: a pair whose key or
//    value holds a control character (below 0x20, and 0x7F: a line end in a
//    path would start sections of its own), or whose name or key would read
//    back as another (see odbcini::IsWritableName), gives FALSE and leaves
//    the file byte for byte as it was.
//  - Neither call nor the look-up throws or blocks, whatever the path of the
//    file names: a loop of symbolic links, a folder the user cannot search,
//    a FIFO or anything else that is not a regular file gives FALSE (the
//    look-up finds nothing). A missing file holds no data sources.
//  - The file is replaced at once (settings_file.h): a reader sees it before
//    or after the change, and a run killed while writing it leaves nothing
//    behind but, in one short instant, a complete "<file>.updater-XXXXXX"
//    that RemoveStaleDataSourceCopies clears. The file keeps its permission
//    bits (a new one gets 0600); a symbolic link to it stays a link.
//  - A file that holds anything this process did not write is synced to
//    the disk before it replaces the old one, so that a power cut cannot
//    leave it empty. A file this process created, and that nobody changed
//    since, is not: all it holds is the data sources the process added.
//  - After an add, connection strings naming the data source reach the file
//    given as "DBQ" (LookUpDataSource); after a remove the name is free.
//    LookUpDataSource gives kAccessDriverName as the driver of a data source
//    that names our driver under either name, which is how callers know it.
//
// Differences from the original platform on Linux:
//  - User data sources live where unixODBC keeps them: in the file named by
//    the environment variable ODBCINI, else in .odbc.ini in the home folder
//    of the user's passwd entry (not $HOME: unixODBC ignores it; /home
//    without an entry, as unixODBC does), in unixODBC's format, so that
//    `odbcinst -q -s` and isql see them. Every line of that file
//    that does not belong to the data source being changed stays exactly as
//    it was (see odbc_ini.h for why unixODBC's installer library is not used).
//  - The owner window is ignored: there is no set-up dialog to show.
//  - Only user data sources are written. The look-up reads, as unixODBC
//    does, the user file and then the system file, $ODBCSYSINI/odbc.ini or
//    else /etc/odbc.ini: a user data source hides a system one of its name.
#pragma once

#include <optional>
#include <string>

#include "platform/types.h"

inline constexpr WORD ODBC_ADD_DSN = 1;
inline constexpr WORD ODBC_REMOVE_DSN = 3;

// The driver name the callers give, as on Windows.
inline constexpr const char kAccessDriverName[] = "Microsoft Access Driver (*.mdb)";
// The name under which the package always registers our jetdb driver with
// unixODBC (the Access name only when no other driver holds it), and the
// one that the data sources written here carry.
inline constexpr const char kJetdbDriverName[] = "Toquelin jetdb";

BOOL SQLConfigDataSource(HWND hwndParent, WORD fRequest, LPCTSTR lpszDriver, LPCTSTR lpszAttributes);

struct DataSourceEntry {
  std::string driver;  // kAccessDriverName for ours, under either name
  std::string databaseFile;  // the "DBQ" pair
};

// The registered data source of that name, user or system, if any.
std::optional<DataSourceEntry> LookUpDataSource(const std::string& name);

// The file that holds the user data sources.
std::string UserDataSourceFile();
// The file that holds the system data sources (only read).
std::string SystemDataSourceFile();

// Deletes the "<file>.updater-XXXXXX" copies of the current user that killed
// runs left beside the user data-source file; gives how many. Call it only
// while holding the run lock: a change in progress has such a copy too.
int RemoveStaleDataSourceCopies();
