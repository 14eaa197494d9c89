// Version detection, the checks of the files a run reads and writes, and
// the preparation of the file to convert. The checks only read; what the run
// then does with their answers is the plan's (plan.h).
#pragma once

#include "platform/text.h"
#include "platform/types.h"
#include "recordsets/db_version.h"

// The DbVersion of the source database, from its version row and, for
// every version after the first, its "TYPE_DB" variable; 0 when not
// recognised. Through the data source TQ2TMP, with its journal line, and
// the reason noted when it fails.
DbVersion DetectDbVersion(const CString& strSource);

// The same version, read without registering a data source: the file is
// opened read-only through the driver, so nothing on disk changes. 0 with
// the reason (a French phrase) when the version is not recognised.
DbVersion PeekDbVersion(const CString& strSource, CString& strReason);

// What is damaged in the database (the first problem the driver's page
// check finds, or why the file does not open), empty when every page reads
// back sound. Read-only. A conversion must not take a damaged page for
// data: it would copy the damage on and end in success.
CString FindDamage(const CString& strPath);

// Why a damaged database is refused, and the journal line and the reason
// of a run that meets one.
CString DamageReason(const CString& strPath, const CString& strProblem);
void ReportDamage(const CString& strPath, const CString& strProblem);

// The template file that the run would write (the destination, or the
// source when converted in place), or empty when it writes none.
CString WrittenTemplate(const CString& strSource, const CString& strDest, const CString& strTemplateDir);

// True when the run converts the source itself: no destination, or one that
// names the source under any spelling ("./base.mdb", a link).
bool IsInPlace(const CString& strSource, const CString& strDest);

// The backup of a source of that version under its plain name,
// SOURCE.V2.3, and the first one that is free: SOURCE.V2.3, then
// SOURCE.V2.3.1, ...
CString PlainBackupPath(const CString& strSource, DbVersion nVersion);
CString FreeBackupPath(const CString& strSource, DbVersion nVersion);

// Copies the source to a different destination, or, in place, backs the
// source up as strBackup (which must be free) and makes the source the file
// to convert (strDest then names it).
BOOL PrepareDestinationFile(DbVersion nVersion, const CString& strSource, CString& strDest, const CString& strBackup);

// The reason of a failed copy, in French, from the errno it left.
CString CopyErrorText(int error);
