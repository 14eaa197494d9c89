// Version detection and the preparation of the file to convert.
#pragma once

#include "platform/text.h"
#include "platform/types.h"
#include "recordsets/db_version.h"

// The DbVersion of the source database, from its version row and, for
// every version after V2.0, its "TYPE_DB" variable; 0 when not recognised.
DbVersion DetectDbVersion(const CString& strSource);

// The same version, read without registering a data source: the file is
// opened read-only through the driver, so nothing on disk changes. 0 with
// the reason (a French phrase) when the version is not recognised.
DbVersion PeekDbVersion(const CString& strSource, CString& strReason);

// The template file that the run would write (the destination, or the
// source when converted in place), or empty when it writes none.
CString WrittenTemplate(const CString& strSource, const CString& strDest, const CString& strTemplateDir);

// True when the run converts the source itself: no destination, or one that
// names the source under any spelling ("./base.mdb", a link).
bool IsInPlace(const CString& strSource, const CString& strDest);

// Copies the source to a different destination, or backs the source up and
// makes it the file to convert (strDest then names the source, and
// *pBackup, when given, the backup).
BOOL PrepareDestinationFile(DbVersion nVersion, const CString& strSource, CString& strDest, CString* pBackup = nullptr);

// The first backup name that is free: SOURCE.V2.3, then SOURCE.V2.3.1, ...
CString FreeBackupPath(const CString& strSource, DbVersion nVersion);

// The reason of a failed copy, in French, from the errno it left.
CString CopyErrorText(int error);

// Whether every page of the database reads back sound; otherwise the
// journal and the failure say what is damaged. A conversion must not take
// a damaged page for data: it would copy the damage on and end in success.
bool IsSoundDatabase(const CString& strPath);
