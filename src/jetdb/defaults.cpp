// The DEFAULT of a column: an expression of constants and functions (0,
// "sans nom", Date(), ...), kept as written and evaluated for each row
// that does not name the column, so that Date() is the day of the insert.
#include <sqlite3.h>

#include "compiler.h"
#include "errors.h"
#include "executors.h"
#include "parser.h"
#include "sqlite_util.h"

namespace jetdb {

bool columnDefault(Session& s, const TableMeta& t, std::size_t column, Value& out) {
  const ColumnMeta& c = t.columns[column];
  // The expression read where the dialect reads values, in an INSERT.
  Statement st;
  Error e;
  if (!parseStatement("INSERT INTO [t] VALUES (" + c.defaultText + ")", st, e)) return s.fail(e);
  const auto* insert = std::get_if<Insert>(&st);
  if (!insert || insert->values.size() != 1) return s.fail(errors::syntaxInExpression(c.defaultText));
  std::vector<Value> params;
  CompiledExpr ce;
  if (!compileExpr(s, *insert->values.front(), nullptr, params, ce)) return false;
  if (ce.aggregate) return s.fail(errors::syntaxInExpression(c.defaultText));
  Stmt& q = s.cached("SELECT " + ce.valueSql());
  if (!q.ok()) return s.fail(s.sqliteError(t.name));
  for (std::size_t i = 0; i < params.size(); ++i) q.bind(static_cast<int>(i + 1), params[i]);
  const int rc = q.step();
  const Value v = rc == SQLITE_ROW ? readValue(q.get(), 0, ce.type) : Value::null();
  q.reset();
  if (rc != SQLITE_ROW) return s.fail(s.sqliteError(t.name));
  return coerce(c.type, c.name, v, out, s.last);
}

}  // namespace jetdb
