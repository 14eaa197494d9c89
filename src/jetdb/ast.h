// The statements of the Jet dialect that the driver understands, as the
// parser leaves them.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "jetdb/jetdb.h"
#include "types.h"

namespace jetdb {

struct Select;

struct Expr {
  // A Chain holds every operand of a run of operators of one precedence
  // ("a OR b OR c", "a + b - c") side by side: a long run then costs no
  // depth, neither in the tree nor in the SQL made from it.
  // Aggregate: Count, Sum, Avg, Min, Max, First, Last, StDev(P), Var(P);
  // Parameter: "?", or a [Name] that turned out to be no column.
  enum class Kind {
    Literal,
    Column,
    CountStar,
    Unary,
    Binary,
    Chain,
    IsNull,
    Like,
    In,
    Call,
    Aggregate,
    Between,
    Exists,
    Subquery,
    Parameter
  };
  Kind kind = Kind::Literal;
  Value literal;            // Literal
  std::string qualifier;    // Column: table name or empty
  std::string name;         // Column name; Call function name (upper case)
  std::string op;           // Unary "NOT" "-"; Binary "=" "<>" "<" "<=" ">" ">="
  std::vector<std::string> ops;             // Chain: ops[i] joins args[i] and args[i + 1]
  bool negated = false;                     // IS NOT NULL, NOT LIKE, NOT IN, NOT BETWEEN, NOT EXISTS
  std::vector<std::unique_ptr<Expr>> args;  // In: the tested value, then the list; Between: value, low, high
  std::unique_ptr<Select> subquery;         // In: the SELECT instead of a list; Exists, Subquery
  std::string source;       // the text it was parsed from, for messages
  std::size_t offset = 0;   // Column, Parameter: where it starts in the statement
};
using ExprPtr = std::unique_ptr<Expr>;

struct ConstraintDef {
  enum class Kind { PrimaryKey, Unique, NotNull, ForeignKey };
  Kind kind = Kind::PrimaryKey;
  std::string name;  // empty when the statement gave none
  std::vector<std::string> columns;
  std::string refTable;
  std::vector<std::string> refColumns;
};

struct ColumnDef {
  std::string name;
  ColumnType type;
  bool notNull = false;
  std::string defaultText;  // the expression after DEFAULT, as written; empty without one
  std::vector<ConstraintDef> constraints;  // written after the column
};

struct CreateTable {
  std::string table;
  std::vector<ColumnDef> columns;
  std::vector<ConstraintDef> constraints;
};
struct DropTable { std::string table; };
struct CreateIndex {
  std::string name, table;
  std::vector<std::string> columns;
  bool unique = false, primary = false, disallowNull = false, ignoreNull = false;
};
struct DropIndex { std::string name, table; };
struct AlterTable {
  enum class Action { AddColumns, DropColumns, AlterColumn, AddConstraint, DropConstraint };
  Action action = Action::AddColumns;
  std::string table;
  std::vector<ColumnDef> columns;   // AddColumns, AlterColumn
  std::vector<std::string> names;   // DropColumns, DropConstraint
  ConstraintDef constraint;         // AddConstraint
};

// One source of rows in FROM: a table, a SELECT in parentheses, or two
// sources joined.
struct FromItem {
  enum class Kind { Table, Subquery, Join };
  enum class Join { Inner, Left, Right };
  Kind kind = Kind::Table;
  std::string table;               // Table
  std::string alias;               // Table, Subquery; empty when none was given
  std::unique_ptr<Select> select;  // Subquery
  Join join = Join::Inner;         // Join
  std::unique_ptr<FromItem> left, right;
  ExprPtr on;
};

// An item is an expression, or "t.*" (expr null, starOf the table or alias).
struct SelectItem {
  ExprPtr expr;
  std::string alias;
  std::string starOf;
};
struct OrderItem { ExprPtr expr; bool descending = false; };
struct Select {
  bool star = false;
  bool distinct = false;
  bool distinctRow = false;
  std::optional<std::int64_t> top;  // TOP n
  bool topPercent = false;
  std::vector<SelectItem> items;
  std::string table;           // the first table named in FROM, for messages
  std::vector<FromItem> from;  // comma-separated sources
  std::string into;            // SELECT ... INTO table
  ExprPtr where;
  std::vector<ExprPtr> groupBy;
  ExprPtr having;
  // UNION [ALL] SELECT ...: the next SELECT of the union, its ORDER BY and
  // TOP apply to the whole union and are those of the first SELECT.
  std::unique_ptr<Select> unionNext;
  bool unionAll = false;
  std::vector<OrderItem> order;
};

struct Insert {
  std::string table;
  std::vector<std::string> columns;  // empty: every column in order
  std::vector<ExprPtr> values;       // VALUES form
  std::unique_ptr<Select> select;    // SELECT form
};
struct Assignment { std::string qualifier, column; ExprPtr value; };
// UPDATE a INNER JOIN b ON ... SET a.x = b.y: `from` holds the join, and
// `table` the table whose columns are set.
struct Update {
  std::string table;
  std::optional<FromItem> from;
  std::vector<Assignment> assignments;
  ExprPtr where;
};
// DELETE a.* FROM a INNER JOIN b ON ...: rows of `table` are deleted, as
// many as the join finds.
struct Delete {
  std::string table;
  std::optional<FromItem> from;
  ExprPtr where;
};

// CREATE VIEW v AS SELECT ...: a saved query, kept as the text of its
// SELECT, read again wherever FROM names it.
struct CreateView {
  std::string name;
  std::string sql;
};
struct DropView { std::string name; };

using Statement = std::variant<CreateTable, DropTable, CreateIndex, DropIndex, AlterTable, Select, Insert, Update,
                               Delete, CreateView, DropView>;

}  // namespace jetdb
