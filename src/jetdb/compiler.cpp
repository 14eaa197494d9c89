// Translation of Jet expressions and SELECT statements into SQLite text.
// Values never go into the text: literals become parameters.
#include <algorithm>

#include "jetdb/errors.h"
#include "jetdb/functions.h"
#include "jetdb/session.h"
#include "jetdb/text.h"

namespace jetdb {
namespace {

bool resolveColumn(Session& s, const Expr& e, const TableMeta* table, std::string& sql, std::optional<JetType>& type) {
  if (!table) return s.fail(errors::columnNotFound(e.name, ""));
  if (!e.qualifier.empty() && !sameName(e.qualifier, table->name))
    return s.fail(errors::columnNotFound(e.qualifier + "." + e.name, table->name));
  int c = table->findColumn(e.name);
  if (c < 0) return s.fail(errors::columnNotFound(e.name, table->name));
  sql = quoteIdent(table->columns[static_cast<std::size_t>(c)].name);
  type = table->columns[static_cast<std::size_t>(c)].type.type;
  return true;
}

// Operands of a chain beyond this many are grouped in parentheses, and the
// groups again when there are more of them: SQLite refuses an expression
// tree more than 1000 deep, a flat run of n operands is n deep in its tree,
// and each parenthesis costs room on its parser's stack. Groups of 32 keep
// 20 000 operands within 3 parentheses and about 100 levels of tree.
constexpr std::size_t kFlatRun = 32;

struct Term {
  std::string op;  // empty for the first
  std::string sql;
};

// The SQL of a chain, in groups when it is long. A group that follows "-"
// has its signs turned over: a - (b - c + d) is a - b + c - d.
std::string joinChain(std::vector<Term> terms, bool groupable) {
  while (groupable && terms.size() > kFlatRun) {
    std::vector<Term> groups;
    for (std::size_t i = 0; i < terms.size(); i += kFlatRun) {
      const std::size_t end = std::min(terms.size(), i + kFlatRun);
      const bool flip = terms[i].op == "-";
      Term g{terms[i].op, "(" + terms[i].sql};
      for (std::size_t j = i + 1; j < end; ++j) {
        std::string op = terms[j].op;
        if (flip) op = op == "-" ? "+" : "-";
        g.sql += " " + op + " " + terms[j].sql;
      }
      g.sql += ")";
      groups.push_back(std::move(g));
    }
    terms = std::move(groups);
  }
  std::string sql = "(";
  for (const auto& t : terms) sql += (t.op.empty() ? "" : " " + t.op + " ") + t.sql;
  return sql + ")";
}

// `&` takes Null as "", numbers and dates as their text, and gives Null
// only when every operand is Null: the driver's jet_concat does all three.
bool compileConcat(Session& s, const Expr& e, const TableMeta* table, std::vector<Value>& params, CompiledExpr& out,
                   bool insideAggregate) {
  std::vector<std::string> operands;
  std::vector<bool> dates;
  for (const auto& arg : e.args) {
    CompiledExpr a;
    if (!compileExpr(s, *arg, table, params, a, insideAggregate)) return false;
    out.aggregate = out.aggregate || a.aggregate;
    out.bareColumn = out.bareColumn || a.bareColumn;
    operands.push_back(a.valueSql());
    dates.push_back(a.type == JetType::DateTime);
  }
  out.sql = concatSql(operands, dates);
  out.type = JetType::Memo;
  return true;
}

}  // namespace

bool compileExpr(Session& s, const Expr& e, const TableMeta* table, std::vector<Value>& params, CompiledExpr& out,
                 bool insideAggregate) {
  out = CompiledExpr{};
  switch (e.kind) {
    case Expr::Kind::Literal:
      if (e.literal.isNull()) {
        out.sql = "NULL";
      } else {
        params.push_back(e.literal);
        // Comparing two texts ignores case even when neither is a column.
        out.sql = e.literal.kind == Value::Kind::Text ? "? COLLATE JETNOCASE" : "?";
        if (e.literal.kind == Value::Kind::DateTime) out.type = JetType::DateTime;
      }
      return true;
    case Expr::Kind::Column:
      if (!resolveColumn(s, e, table, out.sql, out.type)) return false;
      out.bareColumn = !insideAggregate;
      return true;
    case Expr::Kind::CountStar:
      if (insideAggregate) return s.fail(errors::syntaxInExpression("COUNT(*)"));
      out.sql = "COUNT(*)";
      out.type = JetType::Long;
      out.aggregate = true;
      return true;
    case Expr::Kind::Call: {
      if (isBuiltinFunction(e.name)) return compileFunction(s, e, table, params, out, insideAggregate);
      if (insideAggregate) return s.fail(errors::syntaxInExpression(e.name));
      CompiledExpr arg;
      if (!compileExpr(s, *e.args[0], table, params, arg, true)) return false;
      out.sql = e.name + "(" + arg.sql + ")";
      out.aggregate = true;
      if (e.name == "COUNT") out.type = JetType::Long;
      else if (e.name == "MIN" || e.name == "MAX") out.type = arg.type;
      return true;
    }
    case Expr::Kind::Unary: {
      CompiledExpr a;
      if (!compileExpr(s, *e.args[0], table, params, a, insideAggregate)) return false;
      out.sql = "(" + std::string(e.op == "NOT" ? "NOT " + a.sql : "- " + a.valueSql()) + ")";
      out.boolean = e.op == "NOT";
      out.aggregate = a.aggregate;
      out.bareColumn = a.bareColumn;
      return true;
    }
    case Expr::Kind::Binary: {
      CompiledExpr a, b;
      if (!compileExpr(s, *e.args[0], table, params, a, insideAggregate) ||
          !compileExpr(s, *e.args[1], table, params, b, insideAggregate))
        return false;
      // A condition compared as a value is Jet's -1 or 0.
      out.sql = "(" + a.valueSql() + " " + e.op + " " + b.valueSql() + ")";
      out.boolean = true;
      out.aggregate = a.aggregate || b.aggregate;
      out.bareColumn = a.bareColumn || b.bareColumn;
      return true;
    }
    case Expr::Kind::Chain: {
      const std::string& first = e.ops.front();
      const bool logical = first == "AND" || first == "OR";
      const bool division = std::find(e.ops.begin(), e.ops.end(), "/") != e.ops.end();
      if (first == "&") return compileConcat(s, e, table, params, out, insideAggregate);
      // "+" between texts joins them, and Null + "x" is Null as with ||.
      bool texts = std::all_of(e.ops.begin(), e.ops.end(), [](const std::string& op) { return op == "+"; });
      std::vector<Term> terms;
      terms.reserve(e.args.size());
      for (std::size_t i = 0; i < e.args.size(); ++i) {
        CompiledExpr a;
        if (!compileExpr(s, *e.args[i], table, params, a, insideAggregate)) return false;
        out.aggregate = out.aggregate || a.aggregate;
        out.bareColumn = out.bareColumn || a.bareColumn;
        const bool textLiteral = e.args[i]->kind == Expr::Kind::Literal && e.args[i]->literal.kind == Value::Kind::Text;
        texts = texts && (textLiteral || (a.type && isTextType(*a.type)));
        std::string sql = logical ? a.sql : a.valueSql();
        // Jet division is never an integer division.
        if (division && i == 0) sql = "CAST(" + sql + " AS REAL)";
        terms.push_back(Term{i ? e.ops[i - 1] : "", std::move(sql)});
      }
      if (texts) {
        for (std::size_t i = 1; i < terms.size(); ++i) terms[i].op = "||";
        out.type = JetType::Memo;
      }
      // A regrouped division would divide by a product that may be 0 where
      // the chain never did.
      out.sql = joinChain(std::move(terms), !division);
      out.boolean = logical;
      return true;
    }
    case Expr::Kind::In: {
      CompiledExpr a;
      if (!compileExpr(s, *e.args[0], table, params, a, insideAggregate)) return false;
      out.aggregate = a.aggregate;
      out.bareColumn = a.bareColumn;
      std::string list;
      if (e.subquery) {
        CompiledSelect inner;
        if (!compileSelect(s, *e.subquery, inner, true)) return false;
        if (inner.columns.size() != 1) return s.fail(errors::subqueryColumns());
        params.insert(params.end(), inner.params.begin(), inner.params.end());
        list = inner.sql;
      } else {
        for (std::size_t i = 1; i < e.args.size(); ++i) {
          CompiledExpr v;
          if (!compileExpr(s, *e.args[i], table, params, v, insideAggregate)) return false;
          out.aggregate = out.aggregate || v.aggregate;
          out.bareColumn = out.bareColumn || v.bareColumn;
          list += (i > 1 ? ", " : "") + v.valueSql();
        }
      }
      out.sql = "(" + a.valueSql() + (e.negated ? " NOT IN (" : " IN (") + list + "))";
      out.boolean = true;
      return true;
    }
    case Expr::Kind::IsNull: {
      CompiledExpr a;
      if (!compileExpr(s, *e.args[0], table, params, a, insideAggregate)) return false;
      out.sql = "(" + a.sql + (e.negated ? " IS NOT NULL)" : " IS NULL)");
      out.boolean = true;
      out.aggregate = a.aggregate;
      out.bareColumn = a.bareColumn;
      return true;
    }
    case Expr::Kind::Like: {
      CompiledExpr a, b;
      if (!compileExpr(s, *e.args[0], table, params, a, insideAggregate) ||
          !compileExpr(s, *e.args[1], table, params, b, insideAggregate))
        return false;
      out.sql = std::string("(") + (e.negated ? "NOT " : "") + "jetlike(" + a.sql + ", " + b.sql + "))";
      out.boolean = true;
      out.aggregate = a.aggregate || b.aggregate;
      out.bareColumn = a.bareColumn || b.bareColumn;
      return true;
    }
  }
  return s.fail(errors::syntaxInExpression(e.source));
}

bool compileSelect(Session& s, const Select& st, CompiledSelect& out, bool nested) {
  out = CompiledSelect{};
  const TableMeta* table = s.catalog.findTable(st.table);
  if (!table) return s.fail(errors::tableNotFound(st.table));
  std::string items;
  bool aggregate = false;
  const Expr* bare = nullptr;
  auto addItem = [&](const std::string& sql, ColumnInfo info, std::optional<JetType> type) {
    if (!items.empty()) items += ", ";
    items += sql;
    out.columns.push_back(std::move(info));
    out.types.push_back(type);
  };
  if (st.star) {
    for (std::size_t i = 0; i < table->columns.size(); ++i) {
      const auto& c = table->columns[i];
      addItem(quoteIdent(c.name), ColumnInfo{c.name, c.type.type, c.type.size, !table->columnRequired(i) && c.type.type != JetType::Bit},
              c.type.type);
    }
  } else {
    int unnamed = 1000;
    for (const auto& item : st.items) {
      CompiledExpr ce;
      if (!compileExpr(s, *item.expr, table, out.params, ce)) return false;
      ColumnInfo info;
      if (item.expr->kind == Expr::Kind::Column) {
        int c = table->findColumn(item.expr->name);
        const auto& cm = table->columns[static_cast<std::size_t>(c)];
        info = ColumnInfo{cm.name, cm.type.type, cm.type.size,
                          !table->columnRequired(static_cast<std::size_t>(c)) && cm.type.type != JetType::Bit};
      } else {
        info.name = "Expr" + std::to_string(unnamed++);
        info.type = ce.type.value_or(JetType::Double);
        info.size = info.type == JetType::Text ? 255 : 8;
      }
      if (!item.alias.empty()) info.name = item.alias;
      aggregate = aggregate || ce.aggregate;
      if (ce.bareColumn && !bare) bare = item.expr.get();
      addItem(ce.valueSql(), std::move(info), ce.type);
    }
  }
  if (aggregate && (bare || st.star)) return s.fail(errors::aggregateMix(bare ? bare->source : "*"));
  out.hasRowId = !aggregate && !st.distinct && !nested;
  out.sql = std::string("SELECT ") + (st.distinct ? "DISTINCT " : "") + items;
  if (out.hasRowId) out.sql += std::string(", ") + kRowColumn;
  out.sql += " FROM " + quoteIdent(table->name);
  if (st.where) {
    CompiledExpr w;
    if (!compileExpr(s, *st.where, table, out.params, w)) return false;
    if (w.aggregate) return s.fail(errors::syntaxInExpression(st.where->source));
    out.sql += " WHERE " + w.sql;
  }
  if (!st.order.empty()) {
    out.sql += " ORDER BY ";
    for (std::size_t i = 0; i < st.order.size(); ++i) {
      CompiledExpr o;
      if (!compileExpr(s, *st.order[i].expr, table, out.params, o)) return false;
      if (i) out.sql += ", ";
      out.sql += o.sql + (st.order[i].descending ? " DESC" : "");
    }
  }
  return true;
}

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
