// The arguments of a built-in function as SQLite hands them over, and the
// results the groups build alike: what the files builtin_*.cpp share.
#pragma once

#include <sqlite3.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>

#include "builtin.h"
#include "conversions.h"
#include "dates.h"
#include "jetdb/text.h"

namespace jetdb::fn {

[[noreturn]] inline void raise(int number) { throw Failure{number}; }

// The arguments of one call. `dates` has bit i set when the compiler knew
// argument i to be a date: SQLite keeps a date as a plain integer.
struct Args {
  sqlite3_value** argv;
  int n;
  unsigned dates;

  bool has(int i) const { return i < n; }
  bool null(int i) const { return sqlite3_value_type(argv[i]) == SQLITE_NULL; }
  bool anyNull() const {
    for (int i = 0; i < n; ++i)
      if (null(i)) return true;
    return false;
  }
  Value value(int i) const {
    sqlite3_value* v = argv[i];
    switch (sqlite3_value_type(v)) {
      case SQLITE_NULL:
        return Value::null();
      case SQLITE_INTEGER:
        if (i < 32 && (dates >> i & 1)) return Value::dateTime(sqlite3_value_int64(v));
        return Value::of(static_cast<std::int64_t>(sqlite3_value_int64(v)));
      case SQLITE_FLOAT:
        return Value::of(sqlite3_value_double(v));
      default: {
        const unsigned char* t = sqlite3_value_text(v);
        return Value::of(
            std::string(reinterpret_cast<const char*>(t), static_cast<std::size_t>(sqlite3_value_bytes(v))));
      }
    }
  }
  double number(int i) const {
    if (null(i)) raise(94);
    auto d = numberOf(value(i));
    if (!d) raise(13);
    return *d;
  }
  // A whole number as VBA passes it to a Long argument: rounded half to even.
  std::int64_t whole(int i, double low = -2147483648.0, double high = 2147483647.0) const {
    const double r = std::nearbyint(number(i));
    if (!(r >= low && r <= high)) raise(6);
    return static_cast<std::int64_t>(r);
  }
  std::string text(int i) const {
    if (null(i)) raise(94);
    return textOf(value(i));
  }
  std::u32string chars(int i) const { return decodeText(text(i)); }
  std::int64_t date(int i) const {
    if (null(i)) raise(94);
    auto d = dateOf(value(i));
    if (!d) raise(13);
    return *d;
  }
  // The compare argument of InStr, Replace and StrComp: 0 binary, else text.
  bool binary(int i) const { return has(i) && whole(i) == 0; }
};

// The results the groups build alike.
inline Value boolean(bool b) { return Value::of(b ? -1 : 0); }
inline Value date(std::int64_t seconds) {
  if (!dates::inRange(seconds)) raise(5);
  return Value::dateTime(seconds);
}
inline Value number(double d) {
  if (!std::isfinite(d)) raise(6);
  return Value::of(d);
}

}  // namespace jetdb::fn
