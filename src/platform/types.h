// Contract: the plain Windows scalar types that the system's code is written
// with. BOOL is a 32-bit int where any non-zero value is true; TRUE is 1.
// On Linux these are ordinary aliases; nothing else of the Windows headers
// comes with them.
#pragma once

#include <cstdint>

using BOOL = int;
using DWORD = std::uint32_t;
using UINT = unsigned int;
using BYTE = std::uint8_t;
using LONG = std::int32_t;
using LPCTSTR = const char*;

inline constexpr BOOL TRUE = 1;
inline constexpr BOOL FALSE = 0;
