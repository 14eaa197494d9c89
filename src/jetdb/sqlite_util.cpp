// Values read back from SQLite as the driver hands them out.
#include "sqlite_util.h"

namespace jetdb {

Value readValue(sqlite3_stmt* stmt, int column, std::optional<JetType> type) {
  int storage = sqlite3_column_type(stmt, column);
  if (storage == SQLITE_NULL) return type == JetType::Bit ? Value::of(0) : Value::null();
  auto text = [&] {
    const unsigned char* t = sqlite3_column_text(stmt, column);
    return std::string(reinterpret_cast<const char*>(t), static_cast<std::size_t>(sqlite3_column_bytes(stmt, column)));
  };
  if (!type) {
    if (storage == SQLITE_INTEGER) return Value::of(static_cast<std::int64_t>(sqlite3_column_int64(stmt, column)));
    if (storage == SQLITE_FLOAT) return Value::of(sqlite3_column_double(stmt, column));
    return Value::of(text());
  }
  switch (*type) {
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

}  // namespace jetdb
