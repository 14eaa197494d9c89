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

// What readValue reads, for a column whose storage class is known.
Value readStored(sqlite3_stmt* stmt, int column, std::optional<JetType> type, int storage) {
  if (storage == SQLITE_NULL) return type == JetType::Bit ? Value::of(0) : Value::null();
  auto text = [&] {
    const unsigned char* t = sqlite3_column_text(stmt, column);
    return std::string(reinterpret_cast<const char*>(t), static_cast<std::size_t>(sqlite3_column_bytes(stmt, column)));
  };
  auto blob = [&] {
    const void* b = sqlite3_column_blob(stmt, column);
    const auto n = static_cast<std::size_t>(sqlite3_column_bytes(stmt, column));
    return Value::bytes(b ? std::string(static_cast<const char*>(b), n) : std::string());
  };
  if (!type) {
    if (storage == SQLITE_INTEGER) return Value::of(static_cast<std::int64_t>(sqlite3_column_int64(stmt, column)));
    if (storage == SQLITE_FLOAT) return Value::of(sqlite3_column_double(stmt, column));
    if (storage == SQLITE_BLOB) return blob();
    return Value::of(text());
  }
  switch (*type) {
    case JetType::Binary:
    case JetType::LongBinary: return blob();
    case JetType::Guid: return Value::of(text());
    case JetType::Decimal:
      if (storage == SQLITE_INTEGER) return Value::decimal(std::to_string(sqlite3_column_int64(stmt, column)));
      if (storage == SQLITE_FLOAT) return decimalOf(sqlite3_column_double(stmt, column));
      return Value::decimal(text());
    case JetType::Text:
    case JetType::Memo: return Value::of(text());
    case JetType::Single:
    case JetType::Double:
    case JetType::Currency: return Value::of(sqlite3_column_double(stmt, column));
    case JetType::DateTime: return Value::dateTime(sqlite3_column_int64(stmt, column));
    default:
      if (storage == SQLITE_FLOAT) return Value::of(sqlite3_column_double(stmt, column));
      return Value::of(static_cast<std::int64_t>(sqlite3_column_int64(stmt, column)));
  }
}

}  // namespace

Value readValue(sqlite3_stmt* stmt, int column, std::optional<JetType> type) {
  return readStored(stmt, column, type, sqlite3_column_type(stmt, column));
}

void readValue(sqlite3_stmt* stmt, int column, std::optional<JetType> type, Value& out) {
  // Only a text holds memory of its own; any other value is made whole.
  const int storage = sqlite3_column_type(stmt, column);
  const bool text = storage != SQLITE_NULL &&
                    (type ? *type == JetType::Text || *type == JetType::Memo || *type == JetType::Guid
                          : storage == SQLITE_TEXT);
  if (!text) {
    out = readStored(stmt, column, type, storage);
    return;
  }
  const unsigned char* t = sqlite3_column_text(stmt, column);
  out.kind = Value::Kind::Text;
  out.integer = 0;
  out.real = 0;
  out.text.assign(reinterpret_cast<const char*>(t), static_cast<std::size_t>(sqlite3_column_bytes(stmt, column)));
}

}  // namespace jetdb
