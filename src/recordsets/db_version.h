// DbVersion: the code of a schema version (2000 for V2.0 ... ; the steps of
// src/steps declare every one of them), and the connection that a record
// set chooses by the DbVersion it is constructed with.
//
// Failures in this folder: the record sets raise the platform's
// CDBException (platform/recordset.h) and catch none; the category tree
// and the bit set answer FALSE for what they cannot hold. Nothing here
// journals or notes a reason: the callers do.
#pragma once

#include <cstdint>

#include "platform/text.h"

using DbVersion = std::int32_t;

inline constexpr DbVersion kDbVersionNone = 0;  // not recognised

// The DbVersion by which a record set names the database being converted
// (data source TQ2TMP). It is no schema version: a set constructed with a
// version's code reads that version's template (TQ2TMPSRC), whichever
// version the chain ends at.
inline constexpr DbVersion kConvertedDatabase = -1;

// The connect string of the set's database when it has no CDatabase of its
// own to work on.
CString ConnectFor(DbVersion version);
