// The statements of the Jet dialect that the driver understands, as the
// parser leaves them.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "jetdb/jetdb.h"
#include "jetdb/types.h"

namespace jetdb {

struct Select;

struct Expr {
  // A Chain holds every operand of a run of operators of one precedence
  // ("a OR b OR c", "a + b - c") side by side: a long run then costs no
  // depth, neither in the tree nor in the SQL made from it.
  enum class Kind { Literal, Column, CountStar, Unary, Binary, Chain, IsNull, Like, In, Call };
  Kind kind = Kind::Literal;
  Value literal;            // Literal
  std::string qualifier;    // Column: table name or empty
  std::string name;         // Column name; Call function name (upper case)
  std::string op;           // Unary "NOT" "-"; Binary "=" "<>" "<" "<=" ">" ">="
  std::vector<std::string> ops;             // Chain: ops[i] joins args[i] and args[i + 1]
  bool negated = false;                     // IS NOT NULL, NOT LIKE, NOT IN
  std::vector<std::unique_ptr<Expr>> args;  // In: the tested value, then the list
  std::unique_ptr<Select> subquery;         // In: the SELECT instead of a list
  std::string source;       // the text it was parsed from, for messages
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

struct SelectItem { ExprPtr expr; std::string alias; };
struct OrderItem { ExprPtr expr; bool descending = false; };
struct Select {
  bool star = false;
  bool distinct = false;
  std::vector<SelectItem> items;
  std::string table;
  ExprPtr where;
  std::vector<OrderItem> order;
};

struct Insert {
  std::string table;
  std::vector<std::string> columns;  // empty: every column in order
  std::vector<ExprPtr> values;       // VALUES form
  std::unique_ptr<Select> select;    // SELECT form
};
struct Assignment { std::string qualifier, column; ExprPtr value; };
struct Update {
  std::string table;
  std::vector<Assignment> assignments;
  ExprPtr where;
};
struct Delete {
  std::string table;
  ExprPtr where;
};

using Statement = std::variant<CreateTable, DropTable, CreateIndex, DropIndex, AlterTable, Select, Insert, Update,
                               Delete>;

}  // namespace jetdb
