// Row writes: the single place where values are checked against their
// columns and relations are enforced, whatever statement or API call made
// the write. Relations are enforced as Access does without cascades.
#include "errors.h"
#include "executors.h"
#include "jetdb/text.h"

namespace jetdb {
namespace {

// The texts of the row writes are made again for each row, to find their
// prepared statements: they are appended to one buffer, which costs no
// allocation once it has grown.
void appendColumnList(std::string& out, const TableMeta& t) {
  for (std::size_t i = 0; i < t.columns.size(); ++i) {
    if (i) out += ", ";
    appendQuoted(out, t.columns[i].name);
  }
}

// `head`, the quoted table name, then `tail`.
std::string& rowSql(Session& s, std::string_view head, const TableMeta& t, std::string_view tail = {}) {
  std::string& sql = s.rowSqlBuffer;
  sql.assign(head);
  appendQuoted(sql, t.name);
  sql.append(tail);
  return sql;
}

bool readRow(Session& s, const TableMeta& t, RowId row, std::vector<Value>& out) {
  std::string& sql = s.rowSqlBuffer;
  sql.assign("SELECT ");
  appendColumnList(sql, t);
  sql += " FROM ";
  appendQuoted(sql, t.name);
  sql.append(" WHERE ").append(kRowColumn).append(" = ?");
  Stmt& st = s.cached(sql);
  if (!st.ok()) return s.fail(s.sqliteError(t.name));
  st.bind(1, row);
  int rc = st.step();
  if (rc != SQLITE_ROW) {
    bool missing = rc == SQLITE_DONE;
    Error e = missing ? errors::rowNotFound() : s.sqliteError(t.name);
    st.reset();
    return s.fail(e);
  }
  out.clear();
  for (std::size_t i = 0; i < t.columns.size(); ++i)
    out.push_back(readValue(st.get(), static_cast<int>(i), t.columns[i].type.type));
  st.reset();
  return true;
}

// Whether a row of `table` has `columns` equal to `key`. The comparison
// follows the columns' collation, so text keys ignore case as Access does.
bool rowExists(Session& s, const TableMeta& table, const std::vector<std::string>& columns,
               const std::vector<Value>& key, bool& exists) {
  std::string& sql = rowSql(s, "SELECT 1 FROM ", table, " WHERE ");
  for (std::size_t i = 0; i < columns.size(); ++i) {
    if (i) sql += " AND ";
    appendQuoted(sql, columns[i]);
    sql += " = ?";
  }
  sql += " LIMIT 1";
  Stmt& st = s.cached(sql);
  if (!st.ok()) return s.fail(s.sqliteError(table.name));
  for (std::size_t i = 0; i < key.size(); ++i) st.bind(static_cast<int>(i + 1), key[i]);
  int rc = st.step();
  st.reset();
  if (rc != SQLITE_ROW && rc != SQLITE_DONE) return s.fail(s.sqliteError(table.name));
  exists = rc == SQLITE_ROW;
  return true;
}

std::vector<Value> keyOf(const TableMeta& t, const std::vector<std::string>& columns, const std::vector<Value>& row) {
  std::vector<Value> key;
  for (const auto& c : columns) key.push_back(row[static_cast<std::size_t>(t.findColumn(c))]);
  return key;
}

bool anyNull(const std::vector<Value>& key) {
  for (const auto& v : key)
    if (v.isNull()) return true;
  return false;
}

bool sameKeyValue(const Value& a, const Value& b) {
  if (a.kind == Value::Kind::Text && b.kind == Value::Kind::Text) return compareFolded(a.text, b.text) == 0;
  if (a.isNull() || b.isNull()) return a.isNull() && b.isNull();
  if (a.kind == Value::Kind::Text || b.kind == Value::Kind::Text) return false;
  // Bytes and Decimal digits are the same value only when they are the same text.
  using K = Value::Kind;
  if (a.kind == K::Binary || b.kind == K::Binary || (a.kind == K::Decimal && b.kind == K::Decimal))
    return a.kind == b.kind && a.text == b.text;
  return a.asDouble() == b.asDouble();
}

bool sameKey(const std::vector<Value>& a, const std::vector<Value>& b) {
  for (std::size_t i = 0; i < a.size(); ++i)
    if (!sameKeyValue(a[i], b[i])) return false;
  return true;
}

// A child row must find its parent; Access skips a key with a Null in it.
bool checkParents(Session& s, const TableMeta& t, const std::vector<Value>& row, const std::vector<Value>* old) {
  for (const RelationMeta* r : s.catalog.relationsOf(t.name)) {
    std::vector<Value> key = keyOf(t, r->columns, row);
    if (anyNull(key)) continue;
    if (old && sameKey(key, keyOf(t, r->columns, *old))) continue;
    const TableMeta* parent = s.catalog.findTable(r->refTable);
    bool exists = false;
    if (!parent || !rowExists(s, *parent, r->refColumns, key, exists)) return parent ? false : s.fail(errors::tableNotFound(r->refTable));
    if (!exists) return s.fail(errors::parentRequired(parent->name));
  }
  return true;
}

// A parent row whose key changes or goes must have no children.
bool checkChildren(Session& s, const TableMeta& t, const std::vector<Value>& old, const std::vector<Value>* row,
                   RowId self) {
  for (const RelationMeta* r : s.catalog.relationsTo(t.name)) {
    std::vector<Value> key = keyOf(t, r->refColumns, old);
    if (anyNull(key)) continue;
    if (row && sameKey(key, keyOf(t, r->refColumns, *row))) continue;
    const TableMeta* child = s.catalog.findTable(r->table);
    if (!child) continue;
    bool exists = false;
    if (sameName(child->name, t.name)) {
      // A row of a self-related table that refers to itself is no child of
      // its own.
      std::vector<Value> own = keyOf(t, r->columns, old);
      if (sameKey(own, key)) {
        std::string sql = "SELECT 1 FROM " + quoteIdent(t.name) + " WHERE " + kRowColumn + " <> ?";
        for (const auto& c : r->columns) sql += " AND " + quoteIdent(c) + " = ?";
        Stmt& st = s.cached(sql + " LIMIT 1");
        st.bind(1, self);
        for (std::size_t i = 0; i < key.size(); ++i) st.bind(static_cast<int>(i + 2), key[i]);
        exists = st.step() == SQLITE_ROW;
        st.reset();
        if (exists) return s.fail(errors::childrenExist(child->name));
        continue;
      }
    }
    if (!rowExists(s, *child, r->columns, key, exists)) return false;
    if (exists) return s.fail(errors::childrenExist(child->name));
  }
  return true;
}

bool stepWrite(Session& s, Stmt& st, const TableMeta& t) {
  int rc = st.step();
  if (rc == SQLITE_DONE) {
    st.reset();
    return true;
  }
  Error e = (rc & 0xFF) == SQLITE_CONSTRAINT ? errors::duplicateValues(t.name) : s.sqliteError(t.name);
  st.reset();
  return s.fail(e);
}

bool checkValue(Session& s, const TableMeta& t, std::size_t i, const Value& in, Value& out) {
  const ColumnMeta& c = t.columns[i];
  if (!coerce(c.type, c.name, in, out, s.last)) return false;
  if (out.isNull() && t.columnRequired(i)) return s.fail(errors::nullNotAllowed(t.name, c.name));
  return true;
}

}  // namespace

bool insertValues(Session& s, const TableMeta& t, const std::vector<std::optional<Value>>& values, RowId* rowId) {
  std::vector<Value> row(t.columns.size());
  for (std::size_t i = 0; i < t.columns.size(); ++i) {
    Value in = values[i] ? *values[i] : Value::null();
    if (!values[i] && !t.columns[i].defaultText.empty() && !columnDefault(s, t, i, in)) return false;
    if (t.columns[i].type.type == JetType::Counter && in.isNull()) {
      // Access numbers new rows after the highest number in use (the lowest
      // when it counts down), from the seed in an empty table.
      const ColumnType& ct = t.columns[i].type;
      const std::string c = quoteIdent(t.columns[i].name);
      Stmt& st = s.cached("SELECT COALESCE(" + std::string(ct.increment > 0 ? "MAX(" : "MIN(") + c + ") + " +
                          std::to_string(ct.increment) + ", " + std::to_string(ct.seed) + ") FROM " +
                          quoteIdent(t.name));
      if (!st.ok() || st.step() != SQLITE_ROW) {
        st.reset();
        return s.fail(s.sqliteError(t.name));
      }
      in = Value::of(st.integer(0));
      st.reset();
    }
    if (!checkValue(s, t, i, in, row[i])) return false;
  }
  if (!checkParents(s, t, row, nullptr)) return false;
  std::string& sql = rowSql(s, "INSERT INTO ", t, " (");
  appendColumnList(sql, t);
  sql += ") VALUES (";
  for (std::size_t i = 0; i < row.size(); ++i) sql += i ? ", ?" : "?";
  sql += ')';
  Stmt& st = s.cached(sql);
  if (!st.ok()) return s.fail(s.sqliteError(t.name));
  for (std::size_t i = 0; i < row.size(); ++i) st.bind(static_cast<int>(i + 1), row[i]);
  if (!stepWrite(s, st, t)) return false;
  if (rowId) *rowId = sqlite3_last_insert_rowid(s.db);
  for (std::size_t i = 0; i < row.size(); ++i)
    if (t.columns[i].type.type == JetType::Counter && row[i].kind == Value::Kind::Integer) s.lastIdentity = row[i].integer;
  return true;
}

bool updateValues(Session& s, const TableMeta& t, RowId row, const std::vector<std::pair<std::size_t, Value>>& values) {
  std::vector<Value> old;
  if (!readRow(s, t, row, old)) return false;
  std::vector<Value> now = old;
  for (const auto& [i, v] : values) {
    if (!checkValue(s, t, i, v, now[i])) return false;
    if (t.columns[i].type.type == JetType::Counter && !(now[i] == old[i]))
      return s.fail(makeError("HY000", 3164, "Impossible de mettre à jour '" + t.columns[i].name +
                                                 "' ; champ non modifiable."));
  }
  if (now == old) return true;
  if (!checkParents(s, t, now, &old) || !checkChildren(s, t, old, &now, row)) return false;
  // Only the columns that change are written: SQLite rewrites the entries
  // of every index that covers a column it is given, changed or not.
  std::string& sql = rowSql(s, "UPDATE ", t, " SET ");
  std::vector<std::size_t> changed;
  for (std::size_t i = 0; i < t.columns.size(); ++i) {
    if (now[i] == old[i]) continue;
    if (!changed.empty()) sql += ", ";
    appendQuoted(sql, t.columns[i].name);
    sql += " = ?";
    changed.push_back(i);
  }
  sql.append(" WHERE ").append(kRowColumn).append(" = ?");
  Stmt& st = s.cached(sql);
  if (!st.ok()) return s.fail(s.sqliteError(t.name));
  for (std::size_t n = 0; n < changed.size(); ++n) st.bind(static_cast<int>(n + 1), now[changed[n]]);
  st.bind(static_cast<int>(changed.size() + 1), row);
  return stepWrite(s, st, t);
}

bool writesFreeColumns(const Session& s, const TableMeta& t, const std::vector<std::size_t>& columns) {
  auto related = [&](const std::string& name) {
    for (const RelationMeta* r : s.catalog.relationsOf(t.name))
      for (const auto& c : r->columns)
        if (sameName(c, name)) return true;
    for (const RelationMeta* r : s.catalog.relationsTo(t.name))
      for (const auto& c : r->refColumns)
        if (sameName(c, name)) return true;
    return false;
  };
  for (std::size_t i : columns)
    if (t.columns[i].type.type == JetType::Counter || related(t.columns[i].name)) return false;
  return true;
}

bool updateFreeValues(Session& s, const TableMeta& t, RowId row,
                      const std::vector<std::pair<std::size_t, Value>>& values) {
  std::vector<Value> checked(values.size());
  for (std::size_t n = 0; n < values.size(); ++n)
    if (!checkValue(s, t, values[n].first, values[n].second, checked[n])) return false;
  std::string& sql = rowSql(s, "UPDATE ", t, " SET ");
  for (std::size_t n = 0; n < values.size(); ++n) {
    if (n) sql += ", ";
    appendQuoted(sql, t.columns[values[n].first].name);
    sql += " = ?";
  }
  sql.append(" WHERE ").append(kRowColumn).append(" = ?");
  Stmt& st = s.cached(sql);
  if (!st.ok()) return s.fail(s.sqliteError(t.name));
  for (std::size_t n = 0; n < checked.size(); ++n) st.bind(static_cast<int>(n + 1), checked[n]);
  st.bind(static_cast<int>(checked.size() + 1), row);
  return stepWrite(s, st, t);
}

bool deleteRowChecked(Session& s, const TableMeta& t, RowId row) {
  // The row is read only for the keys its children would hold: a table that
  // no relation refers to (a link table, whose rows a merge deletes by the
  // thousand) has none, and a missing row shows as a delete of nothing.
  const bool referred = !s.catalog.relationsTo(t.name).empty();
  if (referred) {
    std::vector<Value> old;
    if (!readRow(s, t, row, old)) return false;
    if (!checkChildren(s, t, old, nullptr, row)) return false;
  }
  std::string& sql = rowSql(s, "DELETE FROM ", t, " WHERE ");
  sql.append(kRowColumn).append(" = ?");
  Stmt& st = s.cached(sql);
  if (!st.ok()) return s.fail(s.sqliteError(t.name));
  st.bind(1, row);
  if (!stepWrite(s, st, t)) return false;
  return referred || sqlite3_changes(s.db) > 0 || s.fail(errors::rowNotFound());
}

}  // namespace jetdb
