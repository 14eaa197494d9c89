// The translation of Jet statements into SQLite text: what a compilation
// reads (the catalog, the values bound), what it gives (the text, its
// parameters, its columns), and its entry points, in three parts: names,
// expressions, SELECTs. Values never go into the text: literals become
// parameters. The compiler writes text only; SQLite
// itself is for those who run it.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ast.h"
#include "catalog.h"
#include "jetdb/jetdb.h"

namespace jetdb {

// What the compilation of one statement works with: the catalog it resolves
// names against, the values bound to the statement, and the error it leaves.
// A session is one (session.h); the compiler sees nothing else of it.
struct CompileContext {
  Catalog catalog;
  Error last;

  // The values bound to the statement being compiled, by position, and
  // what each position stands for: "?" followed by the mark's offset, or
  // the folded name of a [Prompt] that is no column. Without values, a
  // name that is no column is an unknown column, as it always was.
  const std::vector<Value>* bound = nullptr;
  std::vector<std::string> parameterKeys;
  // Names given to the sources of the statement being compiled in the
  // SQLite text, so that a subquery's tables never hide its outer query's.
  int nextAlias = 0;
  // Saved queries being read, one inside the other: a bound on a view that
  // names itself through another.
  int viewDepth = 0;
  // While a grouped query's items are compiled: the SQL of each column used
  // outside an aggregate, which must be one of its groups.
  std::vector<std::string>* ungrouped = nullptr;

  bool fail(Error e) {
    last = std::move(e);
    return false;
  }
};

// A SELECT compiled to SQLite: the SQL, its parameters and its columns.
struct CompiledSelect {
  std::string sql;
  std::vector<Value> params;
  std::vector<ColumnInfo> columns;
  std::vector<std::optional<JetType>> types;  // how to read each column
  bool hasRowId = false;                      // the row identity is the last column
};

// The sources of rows a query's names are resolved against: the tables
// and subqueries of its FROM, then those of the query around it.
struct ScopeSource {
  std::string name;                  // what a qualifier matches: the alias, else the table's name
  std::string sqlName;               // the name in the SQLite text; empty: columns go unqualified
  const TableMeta* table = nullptr;  // a table, or else a subquery's columns:
  std::vector<ColumnInfo> columns;
  std::vector<std::optional<JetType>> types;
  bool outerSide = false;  // on the optional side of an outer join: its columns may read Null
};
struct Scope {
  std::vector<ScopeSource> sources;
  const Scope* outer = nullptr;
};
// The scope of a statement on one table, whose columns go unqualified.
Scope tableScope(const TableMeta& table);
// Adds the sources of `from` to `scope` and writes its SQLite text; the
// parameters of its ON conditions and subqueries go to `params`.
bool compileFrom(CompileContext& s, const FromItem& from, Scope& scope, bool qualify, std::string& sql,
                 std::vector<Value>& params);
// The source a write through a join changes, by its name or alias.
const ScopeSource* findSource(const Scope& scope, std::string_view name);

// The names of the columns a saved query gives; none when it no longer
// compiles (what it names is gone). The error is left as it was.
std::vector<std::string> viewColumns(CompileContext& s, const ViewMeta& view);

// A nested SELECT (a subquery) has no row identity column; `outer` is the
// scope of the query it is part of.
bool compileSelect(CompileContext& s, const Select& st, CompiledSelect& out, bool nested = false,
                   const Scope* outer = nullptr);

// An expression over the names of `scope` (null for constant ones)
// turned into SQLite text with its parameters.
struct CompiledExpr {
  std::string sql;
  std::optional<JetType> type;
  bool aggregate = false;     // holds an aggregate
  bool bareColumn = false;    // names a column outside any aggregate
  bool boolean = false;       // a condition: SQLite gives 1/0, Jet -1/0
  // The expression where a value is wanted: a condition becomes -1 or 0.
  // Where a condition is wanted `sql` is used as is, so that SQLite still
  // sees the plain comparison and can use an index for it.
  std::string valueSql() const { return boolean ? "(-" + sql + ")" : sql; }
};
bool compileExpr(CompileContext& s, const Expr& e, const Scope* scope, std::vector<Value>& params,
                 CompiledExpr& out, bool insideAggregate = false);

// Shared by the parts of the compiler: names (compile_names.cpp),
// expressions (compile_expr.cpp), SELECTs (compile_select.cpp).
//
// A column of a source as the SQLite text names it.
std::string columnSql(const ScopeSource& src, const std::string& column);
// The column `e` names in `scope` or in the scopes around it, or else,
// when the statement has values bound, the parameter it is.
bool resolveColumn(CompileContext& s, const Expr& e, const Scope* scope, std::vector<Value>& params,
                   CompiledExpr& out);
// The type Jet gives a literal or a parameter's value: Text, Long (Double
// beyond a Long), Double, DateTime; none for Null.
std::optional<JetType> valueType(const Value& v);
// The type of a sum, a difference or a product of operands of these types
// as Jet gives it (integers a Long, with a Currency a Currency, with a
// Single, Double or date a Double); none when one of them has none.
std::optional<JetType> arithmeticType(const std::vector<std::optional<JetType>>& types);
// The parameter whose key is `key` ("\x01?" and the offset of its mark, or
// a name), as its bound value; false, without an error, when none is.
bool parameter(CompileContext& s, const std::string& key, std::vector<Value>& params, CompiledExpr& out);

}  // namespace jetdb
