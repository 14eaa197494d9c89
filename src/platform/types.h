// Contract: the plain Windows scalar types that the system's code is written
// with. BOOL is a 32-bit int where any non-zero value is true; TRUE is 1.
// On Linux these are ordinary aliases; nothing else of the Windows headers
// comes with them.
#pragma once

#include <cstdint>

using BOOL = int;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using UINT = unsigned int;
using BYTE = std::uint8_t;
using LONG = std::int32_t;
using LPCTSTR = const char*;

// Window handles only travel through the calls that take an owner window;
// there are no windows behind them here.
struct HWND__;
using HWND = HWND__*;

inline constexpr BOOL TRUE = 1;
inline constexpr BOOL FALSE = 0;
