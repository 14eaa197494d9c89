// Jet expressions as SQLite text: every kind of expression, each by a
// function of its own. Values never go into the text: literals become
// parameters.
#include <algorithm>
#include <utility>

#include "compiler.h"
#include "errors.h"
#include "functions.h"

namespace jetdb {

std::optional<JetType> arithmeticType(const std::vector<std::optional<JetType>>& types) {
  int rank = 0;  // 0 integers, 1 Currency, 2 Single or Double
  for (const auto& t : types) {
    if (!t) return std::nullopt;
    switch (*t) {
      case JetType::Bit:
      case JetType::Byte:
      case JetType::Short:
      case JetType::Long:
      case JetType::Counter:
        break;
      case JetType::Currency:
        rank = std::max(rank, 1);
        break;
      case JetType::Single:
      case JetType::Double:
      case JetType::DateTime:  // a date plus a number is a number of days
      case JetType::Decimal:   // read as a Double, as Access reckons with it
        rank = 2;
        break;
      default:
        return std::nullopt;
    }
  }
  return rank == 0 ? JetType::Long : rank == 1 ? JetType::Currency : JetType::Double;
}

namespace {

// What an expression takes from one of its operands: whether it holds an
// aggregate, and a column outside any.
void absorb(CompiledExpr& out, const CompiledExpr& operand) {
  out.aggregate = out.aggregate || operand.aggregate;
  out.bareColumn = out.bareColumn || operand.bareColumn;
}

// Compiles each of `args` into `out`, in order.
bool compileArgs(CompileContext& s, const std::vector<ExprPtr>& args, const Scope* scope, std::vector<Value>& params,
                 std::vector<CompiledExpr>& out, bool insideAggregate) {
  out.resize(args.size());
  for (std::size_t i = 0; i < args.size(); ++i)
    if (!compileExpr(s, *args[i], scope, params, out[i], insideAggregate)) return false;
  return true;
}

bool compileLiteral(const Expr& e, std::vector<Value>& params, CompiledExpr& out) {
  if (e.literal.isNull()) {
    out.sql = "NULL";
    return true;
  }
  params.push_back(e.literal);
  // Comparing two texts ignores case even when neither is a column.
  out.sql = e.literal.kind == Value::Kind::Text ? "? COLLATE JETNOCASE" : "?";
  out.type = valueType(e.literal);
  return true;
}


bool compileColumn(CompileContext& s, const Expr& e, const Scope* scope, std::vector<Value>& params,
                   CompiledExpr& out, bool insideAggregate) {
  if (!resolveColumn(s, e, scope, params, out)) return false;
  // A parameter is no column of the row.
  out.bareColumn = out.bareColumn && !insideAggregate;
  if (out.bareColumn && s.ungrouped) s.ungrouped->push_back(out.sql);
  return true;
}

bool compileAggregate(CompileContext& s, const Expr& e, const Scope* scope, std::vector<Value>& params,
                      CompiledExpr& out, bool insideAggregate) {
  if (insideAggregate) return s.fail(errors::syntaxInExpression(e.source.empty() ? e.name : e.source));
  CompiledExpr arg;
  if (!compileExpr(s, *e.args[0], scope, params, arg, true)) return false;
  // SQLite's own where they mean the same; Access's where they do not.
  static const std::pair<const char*, const char*> kOwn[] = {{"FIRST", "jetfirst"}, {"LAST", "jetlast"},
                                                             {"STDEV", "jetstdev"}, {"STDEVP", "jetstdevp"},
                                                             {"VAR", "jetvar"},     {"VARP", "jetvarp"}};
  std::string fn = e.name;
  for (const auto& [jet, own] : kOwn)
    if (fn == jet) fn = own;
  out.sql = fn + "(" + arg.valueSql() + ")";
  out.aggregate = true;
  if (arg.boolean && !arg.type) arg.type = JetType::Long;
  if (e.name == "COUNT") {
    out.type = JetType::Long;
  } else if (e.name == "SUM") {
    // A total of integers is a Double: it may pass a Long, and a Bit's
    // Trues add up to a negative count, not to True.
    const bool integers = arithmeticType({arg.type}) == JetType::Long;
    out.type = integers || arg.type == JetType::Single ? JetType::Double : arg.type;
  } else if (e.name == "MIN" || e.name == "MAX" || e.name == "FIRST" || e.name == "LAST") {
    out.type = arg.type;
  } else {
    out.type = JetType::Double;
  }
  return true;
}

// A subquery in an expression: the outer query's grouping does not reach
// into it.
bool compileInner(CompileContext& s, const Select& select, const Scope* scope, std::vector<Value>& params,
                  CompiledSelect& inner) {
  auto* ungrouped = std::exchange(s.ungrouped, nullptr);
  const bool ok = compileSelect(s, select, inner, true, scope);
  s.ungrouped = ungrouped;
  if (!ok) return false;
  params.insert(params.end(), inner.params.begin(), inner.params.end());
  return true;
}

bool compileSubquery(CompileContext& s, const Expr& e, const Scope* scope, std::vector<Value>& params,
                     CompiledExpr& out) {
  CompiledSelect inner;
  if (!compileInner(s, *e.subquery, scope, params, inner)) return false;
  if (e.kind == Expr::Kind::Exists) {
    out.sql = "(EXISTS (" + inner.sql + "))";
    out.boolean = true;
    return true;
  }
  if (inner.columns.size() != 1) return s.fail(errors::subqueryColumns());
  out.sql = "(" + inner.sql + ")";
  out.type = inner.types[0];
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

// A run of one operator: AND, OR, arithmetic, or "+" between texts, which
// joins them (and Null + "x" is Null as with ||).
bool compileChain(CompileContext& s, const Expr& e, const Scope* scope, std::vector<Value>& params,
                  CompiledExpr& out, bool insideAggregate) {
  const std::string& first = e.ops.front();
  const bool logical = first == "AND" || first == "OR";
  const bool division = std::find(e.ops.begin(), e.ops.end(), "/") != e.ops.end();
  bool texts = std::all_of(e.ops.begin(), e.ops.end(), [](const std::string& op) { return op == "+"; });
  std::vector<Term> terms;
  terms.reserve(e.args.size());
  std::vector<std::optional<JetType>> types;
  for (std::size_t i = 0; i < e.args.size(); ++i) {
    CompiledExpr a;
    if (!compileExpr(s, *e.args[i], scope, params, a, insideAggregate)) return false;
    absorb(out, a);
    const bool textLiteral = e.args[i]->kind == Expr::Kind::Literal && e.args[i]->literal.kind == Value::Kind::Text;
    texts = texts && (textLiteral || (a.type && isTextType(*a.type)));
    types.push_back(a.boolean && !a.type ? std::optional<JetType>(JetType::Long) : a.type);
    std::string sql = logical ? a.sql : a.valueSql();
    // Jet division is never an integer division.
    if (division && i == 0) sql = "CAST(" + sql + " AS REAL)";
    terms.push_back(Term{i ? e.ops[i - 1] : "", std::move(sql)});
  }
  if (texts) {
    for (std::size_t i = 1; i < terms.size(); ++i) terms[i].op = "||";
    out.type = JetType::Memo;
  } else if (!logical) {
    out.type = division ? std::optional<JetType>(JetType::Double) : arithmeticType(types);
  }
  // A regrouped division would divide by a product that may be 0 where
  // the chain never did.
  out.sql = joinChain(std::move(terms), !division);
  out.boolean = logical;
  return true;
}

// `&` takes Null as "", numbers and dates as their text, and gives Null
// only when every operand is Null: the driver's jet_concat does all three.
bool compileConcat(CompileContext& s, const Expr& e, const Scope* scope, std::vector<Value>& params,
                   CompiledExpr& out, bool insideAggregate) {
  std::vector<CompiledExpr> args;
  if (!compileArgs(s, e.args, scope, params, args, insideAggregate)) return false;
  std::vector<std::string> operands;
  std::vector<bool> dates;
  for (const auto& a : args) {
    absorb(out, a);
    operands.push_back(a.valueSql());
    dates.push_back(a.type == JetType::DateTime);
  }
  out.sql = concatSql(operands, dates);
  out.type = JetType::Memo;
  return true;
}

bool compileIn(CompileContext& s, const Expr& e, const Scope* scope, std::vector<Value>& params, CompiledExpr& out,
               bool insideAggregate) {
  CompiledExpr a;
  if (!compileExpr(s, *e.args[0], scope, params, a, insideAggregate)) return false;
  absorb(out, a);
  std::string list;
  if (e.subquery) {
    CompiledSelect inner;
    if (!compileInner(s, *e.subquery, scope, params, inner)) return false;
    if (inner.columns.size() != 1) return s.fail(errors::subqueryColumns());
    list = inner.sql;
  } else {
    for (std::size_t i = 1; i < e.args.size(); ++i) {
      CompiledExpr v;
      if (!compileExpr(s, *e.args[i], scope, params, v, insideAggregate)) return false;
      absorb(out, v);
      list += (i > 1 ? ", " : "") + v.valueSql();
    }
  }
  out.sql = "(" + a.valueSql() + (e.negated ? " NOT IN (" : " IN (") + list + "))";
  out.boolean = true;
  return true;
}

// The conditions and operators of fixed arity, once their operands are
// compiled: NOT and the sign, comparisons, BETWEEN, IS NULL and LIKE.
bool compileOperator(CompileContext& s, const Expr& e, const Scope* scope, std::vector<Value>& params,
                     CompiledExpr& out, bool insideAggregate) {
  std::vector<CompiledExpr> a;
  if (!compileArgs(s, e.args, scope, params, a, insideAggregate)) return false;
  for (const auto& operand : a) absorb(out, operand);
  out.boolean = true;
  switch (e.kind) {
    case Expr::Kind::Unary:
      out.sql = "(" + std::string(e.op == "NOT" ? "NOT " + a[0].sql : "- " + a[0].valueSql()) + ")";
      out.boolean = e.op == "NOT";
      if (!out.boolean) out.type = arithmeticType({a[0].boolean && !a[0].type ? JetType::Long : a[0].type});
      return true;
    case Expr::Kind::Binary:
      // A condition compared as a value is Jet's -1 or 0.
      out.sql = "(" + a[0].valueSql() + " " + e.op + " " + a[1].valueSql() + ")";
      return true;
    case Expr::Kind::Between:
      out.sql = "(" + a[0].valueSql() + (e.negated ? " NOT BETWEEN " : " BETWEEN ") + a[1].valueSql() + " AND " +
                a[2].valueSql() + ")";
      return true;
    case Expr::Kind::IsNull:
      out.sql = "(" + a[0].sql + (e.negated ? " IS NOT NULL)" : " IS NULL)");
      return true;
    case Expr::Kind::Like:
      out.sql = std::string("(") + (e.negated ? "NOT " : "") + "jetlike(" + a[0].sql + ", " + a[1].sql + "))";
      return true;
    default:
      return s.fail(errors::syntaxInExpression(e.source));
  }
}

}  // namespace

bool compileExpr(CompileContext& s, const Expr& e, const Scope* scope, std::vector<Value>& params,
                 CompiledExpr& out, bool insideAggregate) {
  out = CompiledExpr{};
  switch (e.kind) {
    case Expr::Kind::Literal:
      return compileLiteral(e, params, out);
    case Expr::Kind::Column:
      return compileColumn(s, e, scope, params, out, insideAggregate);
    case Expr::Kind::Parameter:
      if (!parameter(s, "\x01?" + std::to_string(e.offset), params, out))
        return s.last.message.empty() ? s.fail(errors::tooFewParameters(1)) : false;
      return true;
    case Expr::Kind::Aggregate:
      return compileAggregate(s, e, scope, params, out, insideAggregate);
    case Expr::Kind::CountStar:
      if (insideAggregate) return s.fail(errors::syntaxInExpression("COUNT(*)"));
      out.sql = "COUNT(*)";
      out.type = JetType::Long;
      out.aggregate = true;
      return true;
    case Expr::Kind::Exists:
    case Expr::Kind::Subquery:
      return compileSubquery(s, e, scope, params, out);
    case Expr::Kind::Call:  // only built-in functions: aggregates parse as Kind::Aggregate
      return compileFunction(s, e, scope, params, out, insideAggregate);
    case Expr::Kind::Chain:
      if (e.ops.front() == "&") return compileConcat(s, e, scope, params, out, insideAggregate);
      return compileChain(s, e, scope, params, out, insideAggregate);
    case Expr::Kind::In:
      return compileIn(s, e, scope, params, out, insideAggregate);
    case Expr::Kind::Unary:
    case Expr::Kind::Binary:
    case Expr::Kind::Between:
    case Expr::Kind::IsNull:
    case Expr::Kind::Like:
      return compileOperator(s, e, scope, params, out, insideAggregate);
  }
  return s.fail(errors::syntaxInExpression(e.source));
}

}  // namespace jetdb
