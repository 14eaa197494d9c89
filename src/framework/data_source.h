// Registering and removing the ODBC data sources TQ2TMP (the database being
// converted) and TQ2TMPSRC (a step's template database) on a file.
#pragma once

#include <string>

#include "platform/text.h"
#include "platform/types.h"

// The installer's attribute list for the data source on `path`: the pairs
// DSN, FIL, MAXBUFFERSIZE and DBQ, each ended by a NUL, then one more NUL.
// The registration format separates its pairs with '/'; only the format's
// own separators end a pair, so that a path keeps its '/' (the Windows tool
// turned every '/' of the formatted text into a NUL, which on Windows never
// met a path separator). Empty for a name other than the two above.
std::string DataSourceAttributes(const char* name, const CString& path);

// Adds (or replaces) the data source. When the installer refuses, writes
// "ERREUR : ODBC_ADD_DSN {DSN=...}\n" to the journal (when it is open),
// naming the first pair only, as the Windows tool's line did.
BOOL AddDataSource(const char* name, const CString& path);

// Removes the data source; whether it existed does not matter.
void RemoveDataSource(const char* name, const CString& path);

// The lock file that keeps the data sources to one run at a time, beside
// the file that holds them: two runs that register them in different files
// do not disturb each other.
std::string DataSourceLockPath();
