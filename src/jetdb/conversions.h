// The conversions of Access's expression service that the built-in
// functions and Format share, and the run-time error a function raises.
// Texts are read and written in French conventions: decimal comma, dates
// day first.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "jetdb/jetdb.h"

namespace jetdb {

// The longest text a function builds (Space, String, Replace), in bytes:
// far beyond any Memo the application keeps, and small enough that a huge
// count fails instead of exhausting memory.
inline constexpr std::size_t kMaxText = 1 << 24;

namespace fn {

// A run-time error of a function (its VBA number, see functions.h),
// thrown inside the SQLite functions and turned into the statement's error
// at their edge.
struct Failure {
  int number;
};

std::optional<double> numberOf(const Value& v);
std::string textOf(const Value& v);
std::optional<std::int64_t> dateOf(const Value& v);

// LCase and UCase: Latin letters, accented ones included.
std::string changeCase(std::string_view text, bool upper);

// Format(value, format), in format.cpp.
std::string format(const Value& v, std::string_view picture);

}  // namespace fn
}  // namespace jetdb
