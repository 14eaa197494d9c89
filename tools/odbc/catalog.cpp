// Catalog answers, from jetdb's own catalog: what `jetsql .schema` prints.
#include <algorithm>
#include <cctype>

#include "driver.h"
#include "jetdb/text.h"

namespace tqodbc {

using jetdb::Value;

namespace {

Value text(const std::string& s) { return Value::of(s); }
Value number(std::int64_t n) { return Value::of(n); }

// ODBC's search pattern (% any run, _ any character, \ escapes) over the
// characters of a name, without case and accents as Jet compares names.
bool matches(const std::u32string& pattern, std::size_t p, const std::u32string& name, std::size_t n) {
  while (p < pattern.size()) {
    char32_t c = pattern[p];
    if (c == '%') {
      while (p + 1 < pattern.size() && pattern[p + 1] == '%') ++p;
      for (std::size_t k = n; k <= name.size(); ++k)
        if (matches(pattern, p + 1, name, k)) return true;
      return false;
    }
    if (n >= name.size()) return false;
    if (c == '\\' && p + 1 < pattern.size())
      c = pattern[++p];
    else if (c == '_') {
      ++p;
      ++n;
      continue;
    }
    if (jetdb::foldChar(c) != jetdb::foldChar(name[n])) return false;
    ++p;
    ++n;
  }
  return n == name.size();
}

bool matches(const Name& pattern, const std::string& name) {
  return !pattern || matches(jetdb::decodeText(*pattern), 0, jetdb::decodeText(name), 0);
}

using jetdb::sameName;

std::vector<std::string> tablesLike(jetdb::Database& db, const Name& pattern) {
  std::vector<std::string> out;
  for (const auto& t : db.tables())
    if (matches(pattern, t)) out.push_back(t);
  return out;
}

std::vector<ResultColumn> head(std::initializer_list<ResultColumn> columns) { return columns; }

// The catalog of every answer: the file, named as the Access driver names
// it, its path without the extension.
Value catalogOf(const Stmt& s) {
  const std::string& path = s.conn->path;
  const std::size_t slash = path.rfind('/');
  const std::size_t dot = path.rfind('.');
  return text(dot != std::string::npos && (slash == std::string::npos || dot > slash) ? path.substr(0, dot) : path);
}

}  // namespace

SQLRETURN answer(Stmt& s, std::vector<ResultColumn> columns, std::vector<std::vector<Value>> rows) {
  closeCursor(s);
  s.statement.reset();
  s.rowCount = -1;
  s.result = std::make_unique<RowsResult>(std::move(columns), std::move(rows));
  return SQL_SUCCESS;
}

SQLRETURN tables(Stmt& s, const Name& table, const Name& catalog, const Name& schema, const Name& types) {
  auto columns = head({textColumn("TABLE_CAT"), textColumn("TABLE_SCHEM"), textColumn("TABLE_NAME"),
                       textColumn("TABLE_TYPE"), textColumn("REMARKS")});
  std::vector<std::vector<Value>> rows;
  auto blank = [](const Name& n) { return n && n->empty(); };
  // The three enumerations ODBC defines: catalogs (the file), schemas
  // (none here) and table types.
  if (catalog && *catalog == "%" && blank(schema) && blank(table)) {
    rows.push_back({catalogOf(s), Value::null(), Value::null(), Value::null(), Value::null()});
    return answer(s, std::move(columns), std::move(rows));
  }
  if (schema && *schema == "%" && blank(catalog) && blank(table)) return answer(s, std::move(columns), std::move(rows));
  if (types && *types == "%" && blank(catalog) && blank(schema) && blank(table)) {
    for (const char* type : {"TABLE", "VIEW"})
      rows.push_back({Value::null(), Value::null(), Value::null(), text(type), Value::null()});
    return answer(s, std::move(columns), std::move(rows));
  }
  // A list such as "'TABLE','VIEW'" or "TABLE, SYSTEM TABLE": TABLE and
  // VIEW (the saved queries) are ours.
  bool wantTables = !types || types->empty(), wantViews = wantTables;
  for (std::size_t i = 0; types && i <= types->size();) {
    std::size_t comma = std::min(types->find(',', i), types->size());
    std::string item = types->substr(i, comma - i);
    item.erase(std::remove_if(item.begin(), item.end(),
                              [](char c) { return c == '\'' || std::isspace(static_cast<unsigned char>(c)); }),
               item.end());
    wantTables = wantTables || sameName(item, "TABLE");
    wantViews = wantViews || sameName(item, "VIEW");
    i = comma + 1;
  }
  jetdb::Database& db = *s.conn->db;
  if (wantTables)
    for (const auto& t : tablesLike(db, table))
      rows.push_back({catalogOf(s), Value::null(), text(t), text("TABLE"), Value::null()});
  if (wantViews)
    for (const auto& v : db.views())
      if (matches(table, v)) rows.push_back({catalogOf(s), Value::null(), text(v), text("VIEW"), Value::null()});
  return answer(s, std::move(columns), std::move(rows));
}

SQLRETURN columns(Stmt& s, const Name& table, const Name& column) {
  auto cols = head({textColumn("TABLE_CAT"), textColumn("TABLE_SCHEM"), textColumn("TABLE_NAME", false),
                    textColumn("COLUMN_NAME", false), shortColumn("DATA_TYPE", false), textColumn("TYPE_NAME", false),
                    intColumn("COLUMN_SIZE"), intColumn("BUFFER_LENGTH"), shortColumn("DECIMAL_DIGITS"),
                    shortColumn("NUM_PREC_RADIX"), shortColumn("NULLABLE", false), textColumn("REMARKS"),
                    textColumn("COLUMN_DEF"), shortColumn("SQL_DATA_TYPE", false), shortColumn("SQL_DATETIME_SUB"),
                    intColumn("CHAR_OCTET_LENGTH"), intColumn("ORDINAL_POSITION", false), textColumn("IS_NULLABLE")});
  std::vector<std::vector<Value>> rows;
  jetdb::Database& db = *s.conn->db;
  for (const auto& t : tablesLike(db, table)) {
    auto infos = db.columns(t);
    if (!infos) continue;
    std::int64_t position = 0;
    for (const auto& c : *infos) {
      ++position;
      if (!matches(column, c.name)) continue;
      ResultColumn r = describe(c);
      const bool textual = r.sqlType == SQL_WVARCHAR || r.sqlType == SQL_WLONGVARCHAR;
      const bool datetime = r.sqlType == SQL_TYPE_TIMESTAMP;
      const bool bytes = r.sqlType == SQL_VARBINARY || r.sqlType == SQL_LONGVARBINARY || r.sqlType == SQL_GUID;
      Value radix = textual || datetime || bytes                       ? Value::null()
                    : r.sqlType == SQL_REAL || r.sqlType == SQL_DOUBLE ? number(2)
                                                                       : number(10);
      Value digits = r.sqlType == SQL_DECIMAL || r.sqlType == SQL_NUMERIC || datetime ? number(r.digits)
                     : r.sqlType == SQL_REAL || r.sqlType == SQL_DOUBLE || textual || bytes ? Value::null()
                                                                                   : number(0);
      rows.push_back(
          {catalogOf(s), Value::null(), text(t), text(c.name), number(r.sqlType), text(r.typeName),
           number(static_cast<std::int64_t>(r.size)), number(textual ? static_cast<std::int64_t>(r.size) * 2 : c.size),
           digits, radix, number(c.nullable ? SQL_NULLABLE : SQL_NO_NULLS), Value::null(),
           c.defaultValue ? text(*c.defaultValue) : Value::null(),
           number(datetime ? SQL_DATETIME : r.sqlType), datetime ? number(SQL_CODE_TIMESTAMP) : Value::null(),
           textual ? number(static_cast<std::int64_t>(r.size) * 2) : Value::null(), number(position),
           text(c.nullable ? "YES" : "NO")});
    }
  }
  return answer(s, std::move(cols), std::move(rows));
}

SQLRETURN primaryKeys(Stmt& s, const Name& table) {
  auto cols = head({textColumn("TABLE_CAT"), textColumn("TABLE_SCHEM"), textColumn("TABLE_NAME", false),
                    textColumn("COLUMN_NAME", false), shortColumn("KEY_SEQ", false), textColumn("PK_NAME")});
  std::vector<std::vector<Value>> rows;
  jetdb::Database& db = *s.conn->db;
  for (const auto& t : db.tables()) {
    if (table && !sameName(*table, t)) continue;
    for (const auto& ix : db.indexes(t)) {
      if (!ix.primary) continue;
      for (std::size_t k = 0; k < ix.columns.size(); ++k)
        rows.push_back({catalogOf(s), Value::null(), text(t), text(ix.columns[k]),
                        number(static_cast<std::int64_t>(k + 1)), text(ix.name)});
    }
  }
  return answer(s, std::move(cols), std::move(rows));
}

SQLRETURN foreignKeys(Stmt& s, const Name& pkTable, const Name& fkTable) {
  auto cols = head({textColumn("PKTABLE_CAT"), textColumn("PKTABLE_SCHEM"), textColumn("PKTABLE_NAME", false),
                    textColumn("PKCOLUMN_NAME", false), textColumn("FKTABLE_CAT"), textColumn("FKTABLE_SCHEM"),
                    textColumn("FKTABLE_NAME", false), textColumn("FKCOLUMN_NAME", false),
                    shortColumn("KEY_SEQ", false), shortColumn("UPDATE_RULE"), shortColumn("DELETE_RULE"),
                    textColumn("FK_NAME"), textColumn("PK_NAME"), shortColumn("DEFERRABILITY")});
  if (!pkTable && !fkTable) return s.fail("HY009", "Ni table de clé primaire ni table de clé étrangère.");
  std::vector<std::vector<Value>> rows;
  jetdb::Database& db = *s.conn->db;
  for (const auto& r : db.relations(fkTable ? *fkTable : *pkTable)) {
    if ((pkTable && !sameName(*pkTable, r.refTable)) || (fkTable && !sameName(*fkTable, r.table))) continue;
    // The referred key is named when it is the referred table's primary key.
    Value pkName = Value::null();
    for (const auto& ix : db.indexes(r.refTable))
      if ((ix.primary || ix.unique) && ix.columns.size() == r.refColumns.size() &&
          std::equal(ix.columns.begin(), ix.columns.end(), r.refColumns.begin(), sameName))
        pkName = text(ix.name);
    for (std::size_t k = 0; k < r.columns.size() && k < r.refColumns.size(); ++k)
      rows.push_back({catalogOf(s), Value::null(), text(r.refTable), text(r.refColumns[k]), catalogOf(s),
                      Value::null(), text(r.table), text(r.columns[k]), number(static_cast<std::int64_t>(k + 1)),
                      number(SQL_NO_ACTION), number(SQL_NO_ACTION), text(r.name), pkName, number(SQL_NOT_DEFERRABLE)});
  }
  // ODBC orders them by the table the question did not name.
  auto key = [&](const std::vector<Value>& row) {
    return std::make_pair(row[fkTable && !pkTable ? 2 : 6].text, row[8].integer);
  };
  std::stable_sort(rows.begin(), rows.end(), [&](const auto& a, const auto& b) { return key(a) < key(b); });
  return answer(s, std::move(cols), std::move(rows));
}

SQLRETURN statistics(Stmt& s, const Name& table, SQLUSMALLINT unique) {
  auto cols =
      head({textColumn("TABLE_CAT"), textColumn("TABLE_SCHEM"), textColumn("TABLE_NAME", false),
            shortColumn("NON_UNIQUE"), textColumn("INDEX_QUALIFIER"), textColumn("INDEX_NAME"),
            shortColumn("TYPE", false), shortColumn("ORDINAL_POSITION"), textColumn("COLUMN_NAME"),
            textColumn("ASC_OR_DESC"), intColumn("CARDINALITY"), intColumn("PAGES"), textColumn("FILTER_CONDITION")});
  std::vector<std::vector<Value>> rows;
  jetdb::Database& db = *s.conn->db;
  for (const auto& t : db.tables()) {
    if (table && !sameName(*table, t)) continue;
    rows.push_back({catalogOf(s), Value::null(), text(t), Value::null(), Value::null(), Value::null(),
                    number(SQL_TABLE_STAT), Value::null(), Value::null(), Value::null(), Value::null(), Value::null(),
                    Value::null()});
    auto indexes = db.indexes(t);
    // Unique indexes first, then by name, as ODBC orders them.
    std::stable_sort(indexes.begin(), indexes.end(), [](const auto& a, const auto& b) {
      return std::make_pair(!(a.unique || a.primary), a.name) < std::make_pair(!(b.unique || b.primary), b.name);
    });
    for (const auto& ix : indexes) {
      const bool isUnique = ix.unique || ix.primary;
      if (unique == SQL_INDEX_UNIQUE && !isUnique) continue;
      for (std::size_t k = 0; k < ix.columns.size(); ++k)
        rows.push_back({catalogOf(s), Value::null(), text(t), number(isUnique ? SQL_FALSE : SQL_TRUE), Value::null(),
                        text(ix.name), number(SQL_INDEX_OTHER), number(static_cast<std::int64_t>(k + 1)),
                        text(ix.columns[k]), text("A"), Value::null(), Value::null(), Value::null()});
    }
  }
  return answer(s, std::move(cols), std::move(rows));
}

SQLRETURN typeInfo(Stmt& s, SQLSMALLINT type) {
  auto cols =
      head({textColumn("TYPE_NAME", false), shortColumn("DATA_TYPE", false), intColumn("COLUMN_SIZE"),
            textColumn("LITERAL_PREFIX"), textColumn("LITERAL_SUFFIX"), textColumn("CREATE_PARAMS"),
            shortColumn("NULLABLE", false), shortColumn("CASE_SENSITIVE", false), shortColumn("SEARCHABLE", false),
            shortColumn("UNSIGNED_ATTRIBUTE"), shortColumn("FIXED_PREC_SCALE", false), shortColumn("AUTO_UNIQUE_VALUE"),
            textColumn("LOCAL_TYPE_NAME"), shortColumn("MINIMUM_SCALE"), shortColumn("MAXIMUM_SCALE"),
            shortColumn("SQL_DATA_TYPE", false), shortColumn("SQL_DATETIME_SUB"), intColumn("NUM_PREC_RADIX"),
            shortColumn("INTERVAL_PRECISION")});
  using T = jetdb::JetType;
  std::vector<std::vector<Value>> rows;
  // Jet's Binary is one type, which the Access driver offers under both names.
  struct Offered { T type; const char* name; SQLSMALLINT sqlType; };
  const Offered offered[] = {
      {T::Bit, nullptr, 0},        {T::Byte, nullptr, 0},       {T::Short, nullptr, 0},
      {T::Long, nullptr, 0},       {T::Counter, nullptr, 0},    {T::Single, nullptr, 0},
      {T::Double, nullptr, 0},     {T::Currency, nullptr, 0},   {T::DateTime, nullptr, 0},
      {T::Text, nullptr, 0},       {T::Memo, nullptr, 0},       {T::Binary, "BINARY", SQL_BINARY},
      {T::Binary, nullptr, 0},     {T::LongBinary, nullptr, 0}, {T::Guid, nullptr, 0},
      {T::Decimal, nullptr, 0},
  };
  for (const Offered& o : offered) {
    const T t = o.type;
    jetdb::ColumnInfo info;
    info.type = t;
    info.size = t == T::Binary ? jetdb::kMaxBinary : 255;
    info.precision = jetdb::kMaxPrecision;
    ResultColumn r = describe(info);
    if (o.name) {
      r.typeName = o.name;
      r.sqlType = o.sqlType;
    }
    if (type != SQL_ALL_TYPES && type != r.sqlType) continue;
    const bool textual = t == T::Text || t == T::Memo;
    const bool binary = t == T::Binary || t == T::LongBinary;
    const bool numeric = !textual && !binary && t != T::DateTime && t != T::Guid;
    rows.push_back({text(r.typeName), number(r.sqlType), number(static_cast<std::int64_t>(r.size)),
                    textual            ? text("'")
                    : t == T::DateTime ? text("#")
                    : binary           ? text("0x")
                                       : Value::null(),
                    textual            ? text("'")
                    : t == T::DateTime ? text("#")
                                       : Value::null(),
                    t == T::Text || t == T::Binary ? text("max length")
                    : t == T::Decimal              ? text("precision,scale")
                                                   : Value::null(),
                    number(t == T::Counter ? SQL_NO_NULLS : SQL_NULLABLE), number(SQL_FALSE),
                    number(t == T::Memo ? SQL_PRED_CHAR : t == T::LongBinary ? SQL_PRED_NONE : SQL_SEARCHABLE),
                    numeric ? number(r.unsignedType || t == T::Bit ? SQL_TRUE : SQL_FALSE) : Value::null(),
                    number(t == T::Currency ? SQL_TRUE : SQL_FALSE),
                    numeric ? number(t == T::Counter ? SQL_TRUE : SQL_FALSE) : Value::null(), text(r.typeName),
                    t == T::Currency ? number(4) : t == T::Decimal ? number(0) : Value::null(),
                    t == T::Currency ? number(4) : t == T::Decimal ? number(jetdb::kMaxPrecision) : Value::null(),
                    number(t == T::DateTime ? SQL_DATETIME : r.sqlType),
                    t == T::DateTime ? number(SQL_CODE_TIMESTAMP) : Value::null(),
                    numeric ? number(t == T::Single || t == T::Double ? 2 : 10) : Value::null(), Value::null()});
  }
  // ODBC orders them by data type.
  std::stable_sort(rows.begin(), rows.end(), [](const auto& a, const auto& b) { return a[1].integer < b[1].integer; });
  return answer(s, std::move(cols), std::move(rows));
}

}  // namespace tqodbc
