// INSERT, UPDATE and DELETE. SQLite evaluates the expressions and finds the
// rows; every row is then written through the checked row writes, so that
// the statements and the row API obey the same rules.
#include <algorithm>

#include "errors.h"
#include "executors.h"
#include "jetdb/text.h"

namespace jetdb {
namespace {

bool targetColumns(Session& s, const TableMeta& t, const std::vector<std::string>& names,
                   std::vector<std::size_t>& out) {
  if (names.empty()) {
    for (std::size_t i = 0; i < t.columns.size(); ++i) out.push_back(i);
    return true;
  }
  for (const auto& n : names) {
    int c = t.findColumn(n);
    if (c < 0) return s.fail(errors::columnNotFound(n, t.name));
    for (std::size_t seen : out)
      if (seen == static_cast<std::size_t>(c)) return s.fail(errors::columnTwice(n));
    out.push_back(static_cast<std::size_t>(c));
  }
  return true;
}

Error countMismatch() {
  return makeError("21S01", 3346,
                   "Le nombre de valeurs de requête et de champs de destination n'est pas identique.");
}

// Runs a prepared SELECT to its end, handing each row to `row`. Taken from
// and given back to the connection's idle SELECTs: a prepared INSERT run
// once a row sends the same text each time, its values as parameters.
template <typename F>
bool eachRow(Session& s, const std::string& sql, const std::vector<Value>& params, std::string_view table, F&& row) {
  Stmt st = s.takeQuery(sql);
  if (!st.ok()) return s.fail(s.sqliteError(table));
  for (std::size_t i = 0; i < params.size(); ++i) st.bind(static_cast<int>(i + 1), params[i]);
  int rc;
  bool ok = true;
  while (ok && (rc = st.step()) == SQLITE_ROW) ok = row(st.get());
  if (ok && rc != SQLITE_DONE) ok = s.fail(s.sqliteError(table));
  s.returnQuery(sql, std::move(st));
  return ok;
}

// Inserts the rows of `sql` into `t`, result column i into column
// target[i], each row under the checks of any other write. The rows are read
// in full first: an INSERT ... SELECT on its own table must not see the rows
// it adds.
bool insertSelected(Session& s, const TableMeta& t, const std::string& sql, const std::vector<Value>& params,
                    const std::vector<std::size_t>& target, const std::vector<std::optional<JetType>>& types) {
  std::vector<std::vector<std::optional<Value>>> rows;
  bool ok = eachRow(s, sql, params, t.name, [&](sqlite3_stmt* row) {
    std::vector<std::optional<Value>> values(t.columns.size());
    for (std::size_t i = 0; i < target.size(); ++i) values[target[i]] = readValue(row, static_cast<int>(i), types[i]);
    rows.push_back(std::move(values));
    return true;
  });
  if (!ok) return false;
  for (const auto& values : rows)
    if (!insertValues(s, t, values, nullptr)) return false;
  return true;
}

// The row of an INSERT ... VALUES whose every value is a parameter with a
// value bound, as the values are: what a SELECT of those values would
// hand back, without compiling and running one for each row of a bulk load.
bool boundRow(const Session& s, const TableMeta& t, const Insert& st, const std::vector<std::size_t>& target,
              std::vector<std::optional<Value>>& row) {
  if (!s.bound) return false;
  row.assign(t.columns.size(), std::nullopt);
  for (std::size_t i = 0; i < st.values.size(); ++i) {
    const Expr& e = *st.values[i];
    if (e.kind != Expr::Kind::Parameter) return false;
    const std::string key = "\x01?" + std::to_string(e.offset);
    const auto& keys = s.parameterKeys;
    const auto it = std::find(keys.begin(), keys.end(), key);
    const auto index = static_cast<std::size_t>(it - keys.begin());
    if (it == keys.end() || index >= s.bound->size()) return false;
    row[target[i]] = (*s.bound)[index];
  }
  return true;
}

}  // namespace

bool executeInsert(Session& s, const Insert& st) {
  const TableMeta* t = s.catalog.findTable(st.table);
  if (!t) return s.fail(errors::tableNotFound(st.table));
  std::vector<std::size_t> target;
  if (!targetColumns(s, *t, st.columns, target)) return false;

  std::string sql;
  std::vector<Value> params;
  std::vector<std::optional<JetType>> types;
  if (st.select) {
    CompiledSelect cs;
    if (!compileSelect(s, *st.select, cs)) return false;
    std::size_t n = cs.columns.size();
    if (n != target.size()) return s.fail(countMismatch());
    sql = cs.sql;
    params = std::move(cs.params);
    types = std::move(cs.types);
  } else {
    if (st.values.size() != target.size()) return s.fail(countMismatch());
    if (std::vector<std::optional<Value>> row; boundRow(s, *t, st, target, row)) return insertValues(s, *t, row, nullptr);
    sql = "SELECT ";
    for (std::size_t i = 0; i < st.values.size(); ++i) {
      CompiledExpr ce;
      if (!compileExpr(s, *st.values[i], nullptr, params, ce)) return false;
      if (ce.aggregate) return s.fail(errors::syntaxInExpression(st.values[i]->source));
      sql += (i ? ", " : "") + ce.valueSql();
      types.push_back(ce.type);
    }
  }
  return insertSelected(s, *t, sql, params, target, types);
}

bool executeSelectInto(Session& s, const Select& st) {
  if (s.catalog.findTable(st.into)) return s.fail(errors::tableExists(st.into));
  CompiledSelect cs;
  if (!compileSelect(s, st, cs)) return false;
  // The new table takes each column's type and size, not its rules: no
  // key, no index, Null allowed; a counter is copied as a plain number.
  CreateTable create;
  create.table = st.into;
  for (const auto& c : cs.columns) {
    ColumnDef def;
    def.name = c.name;
    def.type = ColumnType{c.type == JetType::Counter ? JetType::Long : c.type, c.size, c.precision, c.scale};
    create.columns.push_back(std::move(def));
  }
  if (!executeCreateTable(s, create)) return false;
  s.catalogChanged();
  const TableMeta* t = s.catalog.findTable(st.into);
  std::vector<std::size_t> target(t->columns.size());
  for (std::size_t i = 0; i < target.size(); ++i) target[i] = i;
  return insertSelected(s, *t, cs.sql, cs.params, target, cs.types);
}

namespace {

// A literal, or a literal with a sign: the same value in every row.
bool constantValue(const Expr& e) {
  if (e.kind == Expr::Kind::Literal) return true;
  return e.kind == Expr::Kind::Unary && e.op == "-" && e.args.size() == 1 && e.args[0]->kind == Expr::Kind::Literal;
}

// Columns that no relation joins and no counter numbers, set to constants:
// the values are checked once and every selected row is written by one
// SQLite statement, which its uniqueness rules refuse whole as the row by
// row writes would. `done` stays false, and nothing is written, when a
// value does not fit its column: the row-by-row path then reports it for
// the first row it selects, or succeeds when it selects none.
bool updateWithConstants(Session& s, const TableMeta& t, const std::string& where,
                         const std::vector<std::size_t>& target, const std::vector<std::optional<JetType>>& types,
                         const std::vector<std::string>& valueSqls, const std::vector<Value>& params,
                         std::size_t assignmentParams, bool& done) {
  std::string select = "SELECT ";
  for (std::size_t i = 0; i < valueSqls.size(); ++i) select += (i ? ", " : "") + valueSqls[i];
  Stmt values(s.db, select);
  if (!values.ok()) return s.fail(s.sqliteError(t.name));
  for (std::size_t i = 0; i < assignmentParams; ++i) values.bind(static_cast<int>(i + 1), params[i]);
  if (values.step() != SQLITE_ROW) return s.fail(s.sqliteError(t.name));
  std::vector<Value> checked(target.size());
  const Error before = s.last;
  for (std::size_t i = 0; i < target.size(); ++i) {
    const Value in = readValue(values.get(), static_cast<int>(i), types[i]);
    const ColumnMeta& c = t.columns[target[i]];
    if (!coerce(c.type, c.name, in, checked[i], s.last) || (checked[i].isNull() && t.columnRequired(target[i]))) {
      s.last = before;
      return true;
    }
  }
  values.reset();
  std::string sql = "UPDATE " + quoteIdent(t.name) + " SET ";
  for (std::size_t i = 0; i < target.size(); ++i)
    sql += (i ? ", " : "") + quoteIdent(t.columns[target[i]].name) + " = ?";
  sql += where;
  std::vector<Value> bound = checked;
  bound.insert(bound.end(), params.begin() + static_cast<std::ptrdiff_t>(assignmentParams), params.end());
  Stmt update(s.db, sql);
  if (!update.ok()) return s.fail(s.sqliteError(t.name));
  for (std::size_t i = 0; i < bound.size(); ++i) update.bind(static_cast<int>(i + 1), bound[i]);
  const int rc = update.step();
  if (rc != SQLITE_DONE)
    return s.fail((rc & 0xFF) == SQLITE_CONSTRAINT ? errors::duplicateValues(t.name) : s.sqliteError(t.name));
  done = true;
  return true;
}

}  // namespace

namespace {

// The sources of a write through a join, and the one whose rows it changes,
// named by `name` (its alias or its table's name).
struct JoinTarget {
  Scope scope;
  std::string from;
  std::vector<Value> params;
  const ScopeSource* target = nullptr;
};
bool joinSources(Session& s, const FromItem& from, JoinTarget& out) {
  s.nextAlias = 0;
  return compileFrom(s, from, out.scope, true, out.from, out.params);
}
bool pickTarget(Session& s, std::string_view name, JoinTarget& out) {
  out.target = findSource(out.scope, name);
  if (!out.target || !out.target->table) return s.fail(errors::tableNotFound(name));
  return true;
}

// The table an UPDATE through a join sets: the one its first qualified
// column names, else the one that has its first column.
std::string updatedTable(const Update& st, const Scope& scope) {
  for (const auto& a : st.assignments)
    if (!a.qualifier.empty()) return a.qualifier;
  for (const auto& src : scope.sources)
    if (src.table && src.table->findColumn(st.assignments.front().column) >= 0) return src.name;
  return st.assignments.front().column;
}

}  // namespace

bool executeUpdate(Session& s, const Update& st) {
  JoinTarget join;
  if (st.from && (!joinSources(s, *st.from, join) || !pickTarget(s, updatedTable(st, join.scope), join))) return false;
  const TableMeta* t = st.from ? join.target->table : s.catalog.findTable(st.table);
  if (!t) return s.fail(errors::tableNotFound(st.table));
  const Scope single = st.from ? Scope{} : tableScope(*t);
  const Scope& scope = st.from ? join.scope : single;
  std::vector<Value> params;
  std::string sql = "SELECT " + (st.from ? quoteIdent(join.target->sqlName) + "." + kRowColumn : kRowColumn);
  std::vector<std::size_t> target;
  std::vector<std::optional<JetType>> types;
  std::vector<std::string> valueSqls;
  bool allConstant = true;
  for (const auto& a : st.assignments) {
    if (!a.qualifier.empty() && !sameName(a.qualifier, t->name) &&
        !(st.from && sameName(a.qualifier, join.target->name)))
      return s.fail(errors::columnNotFound(a.qualifier + "." + a.column, t->name));
    int c = t->findColumn(a.column);
    if (c < 0) return s.fail(errors::columnNotFound(a.column, t->name));
    CompiledExpr ce;
    if (!compileExpr(s, *a.value, &scope, params, ce)) return false;
    if (ce.aggregate) return s.fail(errors::syntaxInExpression(a.value->source));
    sql += ", " + ce.valueSql();
    target.push_back(static_cast<std::size_t>(c));
    types.push_back(ce.type);
    valueSqls.push_back(ce.valueSql());
    if (!constantValue(*a.value)) allConstant = false;
  }
  const std::size_t assignmentParams = params.size();
  sql += " FROM " + (st.from ? join.from : quoteIdent(t->name));
  params.insert(params.end(), join.params.begin(), join.params.end());
  std::string where;
  if (st.where) {
    CompiledExpr w;
    if (!compileExpr(s, *st.where, &scope, params, w)) return false;
    if (w.aggregate) return s.fail(errors::syntaxInExpression(st.where->source));
    where = " WHERE " + w.sql;
    sql += where;
  }
  if (allConstant && !st.from && writesFreeColumns(s, *t, target)) {
    bool done = false;
    if (!updateWithConstants(s, *t, where, target, types, valueSqls, params, assignmentParams, done)) return false;
    if (done) return true;
  }
  std::vector<std::pair<RowId, std::vector<std::pair<std::size_t, Value>>>> changes;
  bool ok = eachRow(s, sql, params, t->name, [&](sqlite3_stmt* row) {
    std::vector<std::pair<std::size_t, Value>> values;
    for (std::size_t i = 0; i < target.size(); ++i)
      values.emplace_back(target[i], readValue(row, static_cast<int>(i + 1), types[i]));
    changes.emplace_back(sqlite3_column_int64(row, 0), std::move(values));
    return true;
  });
  if (!ok) return false;
  const bool free = writesFreeColumns(s, *t, target);
  for (const auto& [row, values] : changes)
    if (!(free ? updateFreeValues(s, *t, row, values) : updateValues(s, *t, row, values))) return false;
  return true;
}

bool executeDelete(Session& s, const Delete& st) {
  JoinTarget join;
  if (st.from && (!joinSources(s, *st.from, join) || !pickTarget(s, st.table, join))) return false;
  const TableMeta* t = st.from ? join.target->table : s.catalog.findTable(st.table);
  if (!t) return s.fail(errors::tableNotFound(st.table));
  const Scope single = st.from ? Scope{} : tableScope(*t);
  std::vector<Value> params = join.params;
  std::string where;
  if (st.where) {
    CompiledExpr w;
    if (!compileExpr(s, *st.where, st.from ? &join.scope : &single, params, w)) return false;
    if (w.aggregate) return s.fail(errors::syntaxInExpression(st.where->source));
    where = " WHERE " + w.sql;
  }
  if (st.from) {
    // A row the join finds twice is deleted once.
    std::vector<RowId> rows;
    const std::string row = quoteIdent(join.target->sqlName) + "." + kRowColumn;
    bool ok =
        eachRow(s, "SELECT DISTINCT " + row + " FROM " + join.from + where, params, t->name, [&](sqlite3_stmt* r) {
          rows.push_back(sqlite3_column_int64(r, 0));
          return true;
        });
    if (!ok) return false;
    for (RowId r : rows)
      if (!deleteRowChecked(s, *t, r)) return false;
    return true;
  }
  if (s.catalog.relationsTo(t->name).empty()) {
    // No table refers to this one: nothing to check row by row.
    Stmt del(s.db, "DELETE FROM " + quoteIdent(t->name) + where);
    if (!del.ok()) return s.fail(s.sqliteError(t->name));
    for (std::size_t i = 0; i < params.size(); ++i) del.bind(static_cast<int>(i + 1), params[i]);
    if (del.step() != SQLITE_DONE) return s.fail(s.sqliteError(t->name));
    return true;
  }
  std::vector<RowId> rows;
  bool ok = eachRow(s, std::string("SELECT ") + kRowColumn + " FROM " + quoteIdent(t->name) + where, params, t->name,
                    [&](sqlite3_stmt* row) {
                      rows.push_back(sqlite3_column_int64(row, 0));
                      return true;
                    });
  if (!ok) return false;
  for (RowId row : rows)
    if (!deleteRowChecked(s, *t, row)) return false;
  return true;
}

}  // namespace jetdb
