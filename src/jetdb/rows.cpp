// Row writes: the single place where values are checked against their
// columns and relations are enforced, whatever statement or API call made
// the write. Relations are enforced as Access does without cascades.
#include <algorithm>
#include <functional>

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

// The statement of the plan's `slot`, prepared from the text `make` writes
// the first time, or again when its preparation failed.
template <class Make>
Stmt& planned(Session& s, Stmt*& slot, Make make) {
  if (!slot || !slot->ok()) {
    std::string& sql = s.rowSqlBuffer;
    sql.clear();
    make(sql);
    slot = &s.cached(sql);
  }
  return *slot;
}

bool readRow(Session& s, const TableMeta& t, RowId row, std::vector<Value>& out) {
  Stmt& st = planned(s, rowPlan(s, t).read, [&](std::string& sql) {
    sql.assign("SELECT ");
    appendColumnList(sql, t);
    sql += " FROM ";
    appendQuoted(sql, t.name);
    sql.append(" WHERE ").append(kRowColumn).append(" = ?");
  });
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
  out.reserve(t.columns.size());
  for (std::size_t i = 0; i < t.columns.size(); ++i)
    out.push_back(readValue(st.get(), static_cast<int>(i), t.columns[i].type.type));
  st.reset();
  return true;
}

// The end of relation `r` on the side of table `t`, its columns there being
// `here` and those on the other side `there`.
Session::RelationEnd relationEnd(Session& s, const TableMeta& t, const RelationMeta& r, const std::string& otherName,
                                 const std::vector<std::string>& here, const std::vector<std::string>& there) {
  Session::RelationEnd end;
  end.relation = &r;
  end.other = s.catalog.findTable(otherName);
  // The catalog names only columns its tables have (a related column cannot
  // be dropped); a missing one would make a key of nothing.
  for (const auto& c : here) {
    const int i = t.findColumn(c);
    if (i < 0) {
      end.complete = false;
      return end;
    }
    end.columns.push_back(static_cast<std::size_t>(i));
  }
  if (!end.other) return end;
  // The comparison follows the columns' collation, so text keys ignore case
  // as Access does.
  std::string& sql = end.existsSql;
  sql = "SELECT 1 FROM ";
  appendQuoted(sql, end.other->name);
  sql += " WHERE ";
  for (std::size_t i = 0; i < there.size(); ++i) {
    if (i) sql += " AND ";
    appendQuoted(sql, there[i]);
    sql += " = ?";
  }
  sql += " LIMIT 1";
  return end;
}

}  // namespace

Session::RowPlan& rowPlan(Session& s, const TableMeta& t) {
  // A plan is kept by the address of the catalog's own entry of the table,
  // which holds while the catalog's generation does. A table given from
  // anywhere else gets a plan made for this one write.
  const std::vector<TableMeta>& tables = s.catalog.tables();
  const std::less<const TableMeta*> before;
  const bool own = !tables.empty() && !before(&t, tables.data()) && before(&t, tables.data() + tables.size());
  Session::RowPlan& plan = s.rowPlans[own ? &t : nullptr];
  if (own && plan.generation == s.catalog.generation() && plan.generation != 0) return plan;
  plan = Session::RowPlan{};
  for (const RelationMeta* r : s.catalog.relationsOf(t.name))
    plan.parents.push_back(relationEnd(s, t, *r, r->refTable, r->columns, r->refColumns));
  for (const RelationMeta* r : s.catalog.relationsTo(t.name))
    plan.children.push_back(relationEnd(s, t, *r, r->table, r->refColumns, r->columns));
  plan.generation = s.catalog.generation();
  return plan;
}

namespace {

// Whether the table at the other end of `end` has a row whose columns hold
// the values of `row` at this end's positions.
bool rowExists(Session& s, Session::RelationEnd& end, const std::vector<Value>& row, bool& exists) {
  if (!end.exists || !end.exists->ok()) end.exists = &s.cached(end.existsSql);
  Stmt& st = *end.exists;
  if (!st.ok()) return s.fail(s.sqliteError(end.other->name));
  for (std::size_t i = 0; i < end.columns.size(); ++i) st.bind(static_cast<int>(i + 1), row[end.columns[i]]);
  int rc = st.step();
  st.reset();
  if (rc != SQLITE_ROW && rc != SQLITE_DONE) return s.fail(s.sqliteError(end.other->name));
  exists = rc == SQLITE_ROW;
  return true;
}

// Access skips a key with a Null in it.
bool anyNull(const std::vector<Value>& row, const std::vector<std::size_t>& columns) {
  for (std::size_t i : columns)
    if (row[i].isNull()) return true;
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

// Whether two rows of one table hold the same key in these columns.
bool sameKey(const std::vector<Value>& a, const std::vector<Value>& b, const std::vector<std::size_t>& columns) {
  for (std::size_t i : columns)
    if (!sameKeyValue(a[i], b[i])) return false;
  return true;
}

// A child row must find its parent.
bool checkParents(Session& s, const TableMeta& t, const std::vector<Value>& row, const std::vector<Value>* old) {
  for (Session::RelationEnd& end : rowPlan(s, t).parents) {
    if (!end.complete) return s.fail(errors::relationBroken(end.relation->name));
    if (anyNull(row, end.columns)) continue;
    if (old && sameKey(row, *old, end.columns)) continue;
    if (!end.other) return s.fail(errors::tableNotFound(end.relation->refTable));
    bool exists = false;
    if (!rowExists(s, end, row, exists)) return false;
    if (!exists) return s.fail(errors::parentRequired(end.other->name));
  }
  return true;
}

// A parent row whose key changes or goes must have no children.
bool checkChildren(Session& s, const TableMeta& t, const std::vector<Value>& old, const std::vector<Value>* row,
                   RowId self) {
  for (Session::RelationEnd& end : rowPlan(s, t).children) {
    if (!end.complete) return s.fail(errors::relationBroken(end.relation->name));
    if (anyNull(old, end.columns)) continue;
    if (row && sameKey(old, *row, end.columns)) continue;
    const TableMeta* child = end.other;
    if (!child) continue;
    const RelationMeta& r = *end.relation;
    bool exists = false;
    if (sameName(child->name, t.name)) {
      // A row of a self-related table that refers to itself is no child of
      // its own.
      std::vector<std::size_t> own;
      for (const auto& c : r.columns) {
        const int i = t.findColumn(c);
        if (i < 0) return s.fail(errors::relationBroken(r.name));
        own.push_back(static_cast<std::size_t>(i));
      }
      bool refersToItself = true;
      for (std::size_t i = 0; i < own.size(); ++i)
        if (!sameKeyValue(old[own[i]], old[end.columns[i]])) refersToItself = false;
      if (refersToItself) {
        std::string sql = "SELECT 1 FROM " + quoteIdent(t.name) + " WHERE " + kRowColumn + " <> ?";
        for (const auto& c : r.columns) sql += " AND " + quoteIdent(c) + " = ?";
        Stmt& st = s.cached(sql + " LIMIT 1");
        st.bind(1, self);
        for (std::size_t i = 0; i < end.columns.size(); ++i) st.bind(static_cast<int>(i + 2), old[end.columns[i]]);
        exists = st.step() == SQLITE_ROW;
        st.reset();
        if (exists) return s.fail(errors::childrenExist(child->name));
        continue;
      }
    }
    if (!rowExists(s, end, old, exists)) return false;
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

// Whether the INSERT of a whole row can look for the row's parents itself:
// every relation of which the table is the child names columns it has and
// a table that exists (otherwise the checks one by one tell what is wrong).
bool parentsFoundByInsert(const Session::RowPlan& plan) {
  return std::all_of(plan.parents.begin(), plan.parents.end(),
                     [](const Session::RelationEnd& end) { return end.complete && end.other && !end.columns.empty(); });
}

// The INSERT of a whole row, its values as parameters 1 to n in column
// order. With `checked`, the statement also looks for the row's parents,
// as the checks one by one would, before it writes anything: the first
// value of each relation's columns is given only when the parent row is
// there or a value of the key is Null, and otherwise the statement stops on
// jet_parent_missing(). A row then costs one statement instead of one per
// parent; its value is the one bound, whatever the test around it.
void appendInsert(std::string& sql, const TableMeta& t, const Session::RowPlan& plan, bool checked) {
  sql.assign("INSERT INTO ");
  appendQuoted(sql, t.name);
  sql += " (";
  appendColumnList(sql, t);
  sql += ") VALUES (";
  for (std::size_t i = 0; i < t.columns.size(); ++i) {
    const std::string value = "?" + std::to_string(i + 1);
    if (i) sql += ", ";
    std::string found;
    for (const Session::RelationEnd& end : plan.parents) {
      if (!checked || end.columns.front() != i) continue;
      if (!found.empty()) found += " AND ";
      found += '(';
      for (std::size_t c : end.columns) found += "?" + std::to_string(c + 1) + " IS NULL OR ";
      found += "EXISTS (SELECT 1 FROM ";
      appendQuoted(found, end.other->name);
      found += " WHERE ";
      const std::vector<std::string>& there = end.relation->refColumns;
      for (std::size_t k = 0; k < there.size(); ++k) {
        if (k) found += " AND ";
        appendQuoted(found, end.other->name);
        found += '.';
        appendQuoted(found, there[k]);
        found += " = ?" + std::to_string(end.columns[k] + 1);
      }
      found += "))";
    }
    if (found.empty()) sql += value;
    else sql += "CASE WHEN " + found + " THEN " + value + " ELSE jet_parent_missing() END";
  }
  sql += ')';
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
  Session::RowPlan& plan = rowPlan(s, t);
  const bool checkedByInsert = parentsFoundByInsert(plan);
  if (!checkedByInsert && !checkParents(s, t, row, nullptr)) return false;
  Stmt& st = planned(s, plan.insert, [&](std::string& sql) { appendInsert(sql, t, plan, checkedByInsert); });
  if (!st.ok()) return s.fail(s.sqliteError(t.name));
  for (std::size_t i = 0; i < row.size(); ++i) st.bind(static_cast<int>(i + 1), row[i]);
  if (const int rc = st.step(); rc != SQLITE_DONE) {
    const bool noParent = sqlite3_extended_errcode(s.db) == SQLITE_CONSTRAINT_FOREIGNKEY;
    Error e = (rc & 0xFF) == SQLITE_CONSTRAINT && !noParent ? errors::duplicateValues(t.name) : s.sqliteError(t.name);
    st.reset();
    // Which parent is missing is told as the checks one by one tell it.
    if (noParent && !checkParents(s, t, row, nullptr)) return false;
    return s.fail(std::move(e));
  }
  st.reset();
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

bool writesFreeColumns(Session& s, const TableMeta& t, const std::vector<std::size_t>& columns) {
  const Session::RowPlan& plan = rowPlan(s, t);
  auto related = [&](std::size_t column) {
    for (const auto* ends : {&plan.parents, &plan.children})
      for (const Session::RelationEnd& end : *ends)
        if (!end.complete || std::find(end.columns.begin(), end.columns.end(), column) != end.columns.end())
          return true;
    return false;
  };
  for (std::size_t i : columns)
    if (t.columns[i].type.type == JetType::Counter || related(i)) return false;
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

bool referredTo(Session& s, const TableMeta& t) { return !rowPlan(s, t).children.empty(); }

bool deleteRowChecked(Session& s, const TableMeta& t, RowId row) {
  // The row is read only for the keys its children would hold: a table that
  // no relation refers to (a link table, whose rows a merge deletes by the
  // thousand) has none, and a missing row shows as a delete of nothing.
  const bool referred = referredTo(s, t);
  if (referred) {
    std::vector<Value> old;
    if (!readRow(s, t, row, old)) return false;
    if (!checkChildren(s, t, old, nullptr, row)) return false;
  }
  Stmt& st = planned(s, rowPlan(s, t).remove, [&](std::string& sql) {
    sql.assign("DELETE FROM ");
    appendQuoted(sql, t.name);
    sql.append(" WHERE ").append(kRowColumn).append(" = ?");
  });
  if (!st.ok()) return s.fail(s.sqliteError(t.name));
  st.bind(1, row);
  if (!stepWrite(s, st, t)) return false;
  return referred || sqlite3_changes(s.db) > 0 || s.fail(errors::rowNotFound());
}

}  // namespace jetdb
