// Jet column types: their names in DDL, and the checking and conversion of a
// value written to a column of a given type.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "jetdb/jetdb.h"

namespace jetdb {

struct ColumnType {
  JetType type = JetType::Long;
  int size = 0;  // characters for Text, most bytes for Binary; storage bytes for the others
  int precision = 0, scale = 0;          // Decimal
  std::int64_t seed = 1, increment = 1;  // Counter
};

// The type named by a DDL word (case-insensitive) with the numbers written
// in parentheses after it (none, a size, precision and scale, seed and
// increment); nullopt for an unknown word or numbers it does not take.
std::optional<ColumnType> typeFromName(std::string_view word, const std::vector<std::int64_t>& args);
// The same from typeSpelling's text ("DECIMAL(18,4)").
std::optional<ColumnType> typeFromSpelling(std::string_view spelling);
std::string typeSpelling(const ColumnType& type);
// What the API says of a column of that type.
ColumnInfo columnInfoOf(std::string name, const ColumnType& type, bool nullable);

// A number's exact decimal digits in Value::decimal's form, rounded half
// to even to `scale` decimals; nullopt when `text` is no number. `overflow`
// is set when more than precision - scale digits remain before the point.
std::optional<std::string> decimalDigits(std::string_view text, int precision, int scale, bool& overflow);
// The shortest text that reads back as `v` ("0.1", "1e+300").
std::string shortestNumber(double v);
// A GUID as Access shows it, from its text in any case, braces or none;
// nullopt for any other text.
std::optional<std::string> guidText(std::string_view text);

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
