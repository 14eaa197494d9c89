// Result sets: how a jetdb column is described to an ODBC client, the
// columns of the catalog answers, and the rows of a result.
#include "driver.h"

namespace tqodbc {

namespace {

// The names the Access driver gives its types (SQLColumns, SQLGetTypeInfo,
// SQL_DESC_TYPE_NAME), which its clients map back to types: not the Jet
// names of the DDL.
const char* accessTypeName(jetdb::JetType type) {
  using T = jetdb::JetType;
  switch (type) {
    case T::Text:
      return "VARCHAR";
    case T::Memo:
      return "LONGCHAR";
    case T::Bit:
      return "BIT";
    case T::Byte:
      return "BYTE";
    case T::Short:
      return "SMALLINT";
    case T::Long:
      return "INTEGER";
    case T::Counter:
      return "COUNTER";
    case T::Single:
      return "REAL";
    case T::Double:
      return "DOUBLE";
    case T::Currency:
      return "CURRENCY";
    case T::DateTime:
      return "DATETIME";
    case T::Binary:
      return "VARBINARY";
    case T::LongBinary:
      return "LONGBINARY";
    case T::Guid:
      return "GUID";
    case T::Decimal:
      return "DECIMAL";
  }
  return jetdb::typeName(type);
}

}  // namespace

ResultColumn describe(const jetdb::ColumnInfo& c) {
  ResultColumn r;
  r.name = c.name;
  r.nullable = c.nullable ? SQL_NULLABLE : SQL_NO_NULLS;
  r.typeName = accessTypeName(c.type);
  using T = jetdb::JetType;
  switch (c.type) {
    case T::Text:
      r.sqlType = SQL_WVARCHAR;
      r.size = static_cast<SQLULEN>(c.size > 0 ? c.size : 255);
      break;
    case T::Memo:
      r.sqlType = SQL_WLONGVARCHAR;
      r.size = 1073741823;
      break;
    case T::Bit:
      r.sqlType = SQL_BIT;
      r.size = 1;
      break;
    case T::Byte:
      r.sqlType = SQL_TINYINT;
      r.size = 3;
      r.unsignedType = true;
      break;
    case T::Short:
      r.sqlType = SQL_SMALLINT;
      r.size = 5;
      break;
    case T::Long:
      r.sqlType = SQL_INTEGER;
      r.size = 10;
      break;
    case T::Counter:
      r.sqlType = SQL_INTEGER;
      r.size = 10;
      r.autoIncrement = true;
      break;
    case T::Single:
      r.sqlType = SQL_REAL;
      r.size = 7;
      break;
    case T::Double:
      r.sqlType = SQL_DOUBLE;
      r.size = 15;
      break;
    case T::Currency:
      r.sqlType = SQL_DECIMAL;
      r.size = 19;
      r.digits = 4;
      break;
    case T::DateTime:
      r.sqlType = SQL_TYPE_TIMESTAMP;
      r.size = 19;
      break;
    case T::Binary:
      // Jet keeps as many bytes as were written, up to the size.
      r.sqlType = SQL_VARBINARY;
      r.size = static_cast<SQLULEN>(c.size > 0 ? c.size : jetdb::kMaxBinary);
      break;
    case T::LongBinary:
      r.sqlType = SQL_LONGVARBINARY;
      r.size = 1073741823;
      break;
    case T::Guid:
      r.sqlType = SQL_GUID;
      r.size = 36;
      break;
    case T::Decimal:
      r.sqlType = SQL_NUMERIC;
      r.size = static_cast<SQLULEN>(c.precision > 0 ? c.precision : jetdb::kDefaultPrecision);
      r.digits = static_cast<SQLSMALLINT>(c.scale);
      break;
  }
  return r;
}

ResultColumn textColumn(const char* name, bool nullable) {
  ResultColumn r;
  r.name = name;
  r.sqlType = SQL_WVARCHAR;
  r.size = 128;
  r.nullable = nullable ? SQL_NULLABLE : SQL_NO_NULLS;
  r.typeName = "VARCHAR";
  return r;
}

ResultColumn shortColumn(const char* name, bool nullable) {
  ResultColumn r = textColumn(name, nullable);
  r.sqlType = SQL_SMALLINT;
  r.size = 5;
  r.typeName = "SMALLINT";
  return r;
}

ResultColumn intColumn(const char* name, bool nullable) {
  ResultColumn r = textColumn(name, nullable);
  r.sqlType = SQL_INTEGER;
  r.size = 10;
  r.typeName = "INTEGER";
  return r;
}

RowsResult::RowsResult(std::vector<ResultColumn> columns, std::vector<std::vector<jetdb::Value>> rows)
    : rows_(std::move(rows)) {
  columns_ = std::move(columns);
}

int RowsResult::next(jetdb::Error&) {
  if (row_ >= rows_.size()) return 0;
  ++row_;
  return 1;
}

namespace {

class QueryResult : public Result {
 public:
  explicit QueryResult(std::unique_ptr<jetdb::Query> q) : query_(std::move(q)) {
    for (const auto& c : query_->columns()) columns_.push_back(describe(c));
  }
  int next(jetdb::Error& error) override {
    if (query_->next()) return 1;
    if (!query_->error()) return 0;
    error = *query_->error();
    return -1;
  }
  const jetdb::Value& value(std::size_t column) const override { return query_->value(column); }

 private:
  std::unique_ptr<jetdb::Query> query_;
};

}  // namespace

std::unique_ptr<Result> queryResult(std::unique_ptr<jetdb::Query> query) {
  return std::make_unique<QueryResult>(std::move(query));
}

}  // namespace tqodbc
