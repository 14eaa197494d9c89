// Values read back from SQLite as the driver hands them out.
#include "sqlite_util.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "types.h"

namespace jetdb {

int bindDecimal(sqlite3_stmt* stmt, int i, const std::string& digits) {
  if (digits.find('.') == std::string::npos) {
    errno = 0;
    const long long v = std::strtoll(digits.c_str(), nullptr, 10);
    if (errno != ERANGE) return sqlite3_bind_int64(stmt, i, v);
  }
  const std::size_t first = digits.find_first_not_of("-0.");
  std::size_t significant = 0;
  if (first != std::string::npos) {
    const std::size_t last = digits.find_last_not_of(digits.find('.') == std::string::npos ? "." : "0.");
    for (std::size_t k = first; k <= last && k < digits.size(); ++k) significant += digits[k] != '.';
  }
  if (significant <= 15) {
    return sqlite3_bind_double(stmt, i, std::strtod(digits.c_str(), nullptr));
  }
  return sqlite3_bind_text(stmt, i, digits.data(), static_cast<int>(digits.size()), SQLITE_TRANSIENT);
}

namespace {

// A double read for a Decimal: the digits of its fifteen significant ones,
// which are those it was written with.
Value decimalOf(double v) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.15g", v);
  bool overflow = false;
  auto d = decimalDigits(buf, 700, 350, overflow);
  return Value::decimal(d ? *d : std::string(buf));
}

// What readValue reads, for a column whose storage class is known. The
// column is taken once as SQLite holds it: each sqlite3_column_* call looks
// the column up again and checks the statement, and a row of ten columns
// read through them cost about as much as SQLite's own step to that row.
// The value is one that no other thread reaches: a connection is used by
// one thread at a time (it is opened without SQLite's own mutex).
Value readStored(sqlite3_value* v, std::optional<JetType> type, int storage) {
  if (storage == SQLITE_NULL) return type == JetType::Bit ? Value::of(0) : Value::null();
  auto text = [&] {
    const unsigned char* t = sqlite3_value_text(v);
    return std::string(reinterpret_cast<const char*>(t), static_cast<std::size_t>(sqlite3_value_bytes(v)));
  };
  auto blob = [&] {
    const void* b = sqlite3_value_blob(v);
    const auto n = static_cast<std::size_t>(sqlite3_value_bytes(v));
    return Value::bytes(b ? std::string(static_cast<const char*>(b), n) : std::string());
  };
  if (!type) {
    if (storage == SQLITE_INTEGER) return Value::of(static_cast<std::int64_t>(sqlite3_value_int64(v)));
    if (storage == SQLITE_FLOAT) return Value::of(sqlite3_value_double(v));
    if (storage == SQLITE_BLOB) return blob();
    return Value::of(text());
  }
  switch (*type) {
    case JetType::Binary:
    case JetType::LongBinary: return blob();
    case JetType::Guid: return Value::of(text());
    case JetType::Decimal:
      if (storage == SQLITE_INTEGER) return Value::decimal(std::to_string(sqlite3_value_int64(v)));
      if (storage == SQLITE_FLOAT) return decimalOf(sqlite3_value_double(v));
      return Value::decimal(text());
    case JetType::Text:
    case JetType::Memo: return Value::of(text());
    case JetType::Single:
    case JetType::Double:
    case JetType::Currency: return Value::of(sqlite3_value_double(v));
    case JetType::DateTime: return Value::dateTime(sqlite3_value_int64(v));
    default:
      if (storage == SQLITE_FLOAT) return Value::of(sqlite3_value_double(v));
      return Value::of(static_cast<std::int64_t>(sqlite3_value_int64(v)));
  }
}

}  // namespace

Value readValue(sqlite3_stmt* stmt, int column, std::optional<JetType> type) {
  sqlite3_value* v = sqlite3_column_value(stmt, column);
  return readStored(v, type, sqlite3_value_type(v));
}

void readValue(sqlite3_stmt* stmt, int column, std::optional<JetType> type, Value& out) {
  sqlite3_value* v = sqlite3_column_value(stmt, column);
  // Only a text holds memory of its own; any other value is made whole.
  const int storage = sqlite3_value_type(v);
  const bool text = storage != SQLITE_NULL &&
                    (type ? *type == JetType::Text || *type == JetType::Memo || *type == JetType::Guid
                          : storage == SQLITE_TEXT);
  if (!text) {
    out = readStored(v, type, storage);
    return;
  }
  const unsigned char* t = sqlite3_value_text(v);
  out.kind = Value::Kind::Text;
  out.integer = 0;
  out.real = 0;
  out.text.assign(reinterpret_cast<const char*>(t), static_cast<std::size_t>(sqlite3_value_bytes(v)));
}

}  // namespace jetdb
