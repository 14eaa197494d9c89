// DbVersion: the code of a schema version, and the connection that a
// record set chooses by it.
#pragma once

#include <cstdint>

#include "platform/text.h"

using DbVersion = std::int32_t;

inline constexpr DbVersion kDbVersionNone = 0;  // not recognised
inline constexpr DbVersion kDbVersion20 = 2000;
inline constexpr DbVersion kDbVersion21 = 2001;
inline constexpr DbVersion kDbVersion22 = 2002;
inline constexpr DbVersion kDbVersion23 = 2003;
inline constexpr DbVersion kDbVersion241 = 2004;
inline constexpr DbVersion kDbVersion242Early = 2004001;  // converted like 2004002
inline constexpr DbVersion kDbVersion242 = 2004002;
inline constexpr DbVersion kDbVersion243 = 2004003;
inline constexpr DbVersion kDbVersion251 = 2005001;
inline constexpr DbVersion kDbVersion2514 = 2005001004;
inline constexpr DbVersion kDbVersion252 = 2005002;
inline constexpr DbVersion kDbVersion253 = 2005003;  // the target of every conversion

// A set of the target version works on the database being converted; a set
// of any older version reads that version's template database.
CString ConnectFor(DbVersion version);
