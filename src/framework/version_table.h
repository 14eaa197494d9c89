// The schema versions: their codes, the version texts stored in a
// database's version row, and the short texts of backup file names.
#pragma once

#include "platform/text.h"
#include "recordsets/db_version.h"

// The short text of a version ("V2.3"), "VERR" for every code without one.
const char* GetVersionText(DbVersion nVersion);

// The version whose stored text is exactly `text` (case and blanks count),
// 0 when none is.
DbVersion VersionFromStoredText(const CString& text);

// The text a database of that version carries in its version row, and the
// one a step stamps when it reaches that version.
const char* StoredVersionText(DbVersion nVersion);

// The version whose step converts a database of this version: the early
// V2.4.2 build converts like the later one; every other version as itself.
DbVersion ConvertedAs(DbVersion nVersion);
