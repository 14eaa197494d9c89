// Jet column types: their names in DDL, and the checking and conversion of a
// value written to a column of a given type.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "jetdb/jetdb.h"

namespace jetdb {

struct ColumnType {
  JetType type = JetType::Long;
  int size = 0;  // characters for Text; storage bytes for the others
};

// The type named by a DDL word (case-insensitive) with its optional size;
// nullopt for an unknown word. `size` < 0 means none was written.
std::optional<ColumnType> typeFromName(std::string_view word, int size);

bool isTextType(JetType t);

// Converts `in` to what a column of type `type` stores, checking it the way
// Access does: text too long (22001), number out of range (22003), value of
// the wrong type (22018). Null stays Null except for Bit, which stores 0;
// whether Null is allowed is the caller's business.
bool coerce(const ColumnType& type, std::string_view column, const Value& in, Value& out, Error& error);

// Dates: seconds since 1970-01-01, no time zone.
std::optional<std::int64_t> parseDate(std::string_view text);
std::string formatDate(std::int64_t seconds);

// A number written as text ("12", "-3.5", "1e3"); nullopt otherwise.
std::optional<double> parseNumber(std::string_view text);
std::string formatNumber(double v);

}  // namespace jetdb
