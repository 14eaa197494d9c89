// Translation of Jet expressions and SELECT statements into SQLite text.
// Values never go into the text: literals become parameters.
#include "compiler.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "errors.h"
#include "functions.h"
#include "jetdb/text.h"

namespace jetdb {
namespace {

std::string columnSql(const ScopeSource& src, const std::string& column) {
  return src.sqlName.empty() ? quoteIdent(column) : quoteIdent(src.sqlName) + "." + quoteIdent(column);
}

// Finds `name` among the columns of `src`: its SQL, Jet type and reading
// type. A subquery names a column of its outer query's lone table by that
// table's name: unqualified, it would be taken for a column of its own.
bool sourceColumn(const ScopeSource& src, std::string_view name, CompiledExpr& out, bool fromInside = false) {
  if (src.table) {
    int c = src.table->findColumn(name);
    if (c < 0) return false;
    const auto& cm = src.table->columns[static_cast<std::size_t>(c)];
    out.sql = fromInside && src.sqlName.empty() ? quoteIdent(src.table->name) + "." + quoteIdent(cm.name)
                                                : columnSql(src, cm.name);
    out.type = cm.type.type;
    out.bareColumn = true;
    return true;
  }
  for (std::size_t i = 0; i < src.columns.size(); ++i) {
    if (!sameName(src.columns[i].name, name)) continue;
    out.sql = columnSql(src, src.columns[i].name);
    out.type = src.types[i];
    out.bareColumn = true;
    return true;
  }
  return false;
}

std::string firstSourceName(const Scope* scope) {
  return scope && !scope->sources.empty() ? scope->sources.front().name : "";
}

// A name that is no column of any source in scope is, when the statement
// has values bound, one of its parameters.
bool parameter(CompileContext& s, const std::string& key, std::vector<Value>& params, CompiledExpr& out) {
  const auto& keys = s.parameterKeys;
  auto it = std::find_if(keys.begin(), keys.end(), [&](const std::string& k) { return sameName(k, key); });
  if (it == keys.end()) return false;
  const auto index = static_cast<std::size_t>(it - keys.begin());
  if (!s.bound || index >= s.bound->size()) return s.fail(errors::tooFewParameters(keys.size()));
  const Value& v = (*s.bound)[index];
  if (v.isNull()) {
    out.sql = "NULL";
    return true;
  }
  params.push_back(v);
  out.sql = v.kind == Value::Kind::Text ? "? COLLATE JETNOCASE" : "?";
  if (v.kind == Value::Kind::DateTime) out.type = JetType::DateTime;
  return true;
}

bool resolveColumn(CompileContext& s, const Expr& e, const Scope* scope, std::vector<Value>& params,
                   CompiledExpr& out) {
  for (const Scope* level = scope; level; level = level->outer) {
    if (!e.qualifier.empty()) {
      for (const auto& src : level->sources) {
        if (!sameName(src.name, e.qualifier)) continue;
        if (!sourceColumn(src, e.name, out, level != scope))
          return s.fail(errors::columnNotFound(e.qualifier + "." + e.name, src.name));
        return true;
      }
      continue;
    }
    const ScopeSource* found = nullptr;
    for (const auto& src : level->sources) {
      CompiledExpr candidate;
      if (!sourceColumn(src, e.name, candidate, level != scope)) continue;
      if (found) return s.fail(errors::ambiguousColumn(e.name));
      found = &src;
      out = std::move(candidate);
    }
    if (found) return true;
  }
  if (e.qualifier.empty() && s.bound && !s.bound->empty()) {
    if (parameter(s, e.name, params, out)) return true;
    if (!s.last.message.empty()) return false;
  }
  if (!e.qualifier.empty()) return s.fail(errors::columnNotFound(e.qualifier + "." + e.name, firstSourceName(scope)));
  return s.fail(errors::columnNotFound(e.name, firstSourceName(scope)));
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
bool compileConcat(CompileContext& s, const Expr& e, const Scope* scope, std::vector<Value>& params, CompiledExpr& out,
                   bool insideAggregate) {
  std::vector<std::string> operands;
  std::vector<bool> dates;
  for (const auto& arg : e.args) {
    CompiledExpr a;
    if (!compileExpr(s, *arg, scope, params, a, insideAggregate)) return false;
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

bool compileExpr(CompileContext& s, const Expr& e, const Scope* scope, std::vector<Value>& params, CompiledExpr& out,
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
      if (!resolveColumn(s, e, scope, params, out)) return false;
      // A parameter is no column of the row.
      out.bareColumn = out.bareColumn && !insideAggregate;
      if (out.bareColumn && s.ungrouped) s.ungrouped->push_back(out.sql);
      return true;
    case Expr::Kind::Parameter:
      if (!parameter(s, "\x01?" + std::to_string(e.offset), params, out))
        return s.last.message.empty() ? s.fail(errors::tooFewParameters(1)) : false;
      return true;
    case Expr::Kind::Aggregate: {
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
      if (e.name == "COUNT")
        out.type = JetType::Long;
      else if (e.name == "MIN" || e.name == "MAX" || e.name == "SUM" || e.name == "FIRST" || e.name == "LAST")
        out.type = arg.type;
      else
        out.type = JetType::Double;
      return true;
    }
    case Expr::Kind::Between: {
      CompiledExpr a, lo, hi;
      if (!compileExpr(s, *e.args[0], scope, params, a, insideAggregate) ||
          !compileExpr(s, *e.args[1], scope, params, lo, insideAggregate) ||
          !compileExpr(s, *e.args[2], scope, params, hi, insideAggregate))
        return false;
      out.sql = "(" + a.valueSql() + (e.negated ? " NOT BETWEEN " : " BETWEEN ") + lo.valueSql() + " AND " +
                hi.valueSql() + ")";
      out.boolean = true;
      out.aggregate = a.aggregate || lo.aggregate || hi.aggregate;
      out.bareColumn = a.bareColumn || lo.bareColumn || hi.bareColumn;
      return true;
    }
    case Expr::Kind::Exists:
    case Expr::Kind::Subquery: {
      CompiledSelect inner;
      // The outer query's grouping does not reach into the subquery.
      auto* ungrouped = std::exchange(s.ungrouped, nullptr);
      const bool ok = compileSelect(s, *e.subquery, inner, true, scope);
      s.ungrouped = ungrouped;
      if (!ok) return false;
      if (e.kind == Expr::Kind::Subquery && inner.columns.size() != 1) return s.fail(errors::subqueryColumns());
      params.insert(params.end(), inner.params.begin(), inner.params.end());
      if (e.kind == Expr::Kind::Exists) {
        out.sql = "(EXISTS (" + inner.sql + "))";
        out.boolean = true;
      } else {
        out.sql = "(" + inner.sql + ")";
        out.type = inner.types[0];
      }
      return true;
    }
    case Expr::Kind::CountStar:
      if (insideAggregate) return s.fail(errors::syntaxInExpression("COUNT(*)"));
      out.sql = "COUNT(*)";
      out.type = JetType::Long;
      out.aggregate = true;
      return true;
    case Expr::Kind::Call:  // only built-in functions: aggregates parse as Kind::Aggregate
      return compileFunction(s, e, scope, params, out, insideAggregate);
    case Expr::Kind::Unary: {
      CompiledExpr a;
      if (!compileExpr(s, *e.args[0], scope, params, a, insideAggregate)) return false;
      out.sql = "(" + std::string(e.op == "NOT" ? "NOT " + a.sql : "- " + a.valueSql()) + ")";
      out.boolean = e.op == "NOT";
      out.aggregate = a.aggregate;
      out.bareColumn = a.bareColumn;
      return true;
    }
    case Expr::Kind::Binary: {
      CompiledExpr a, b;
      if (!compileExpr(s, *e.args[0], scope, params, a, insideAggregate) ||
          !compileExpr(s, *e.args[1], scope, params, b, insideAggregate))
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
      if (first == "&") return compileConcat(s, e, scope, params, out, insideAggregate);
      // "+" between texts joins them, and Null + "x" is Null as with ||.
      bool texts = std::all_of(e.ops.begin(), e.ops.end(), [](const std::string& op) { return op == "+"; });
      std::vector<Term> terms;
      terms.reserve(e.args.size());
      for (std::size_t i = 0; i < e.args.size(); ++i) {
        CompiledExpr a;
        if (!compileExpr(s, *e.args[i], scope, params, a, insideAggregate)) return false;
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
      if (!compileExpr(s, *e.args[0], scope, params, a, insideAggregate)) return false;
      out.aggregate = a.aggregate;
      out.bareColumn = a.bareColumn;
      std::string list;
      if (e.subquery) {
        CompiledSelect inner;
        auto* ungrouped = std::exchange(s.ungrouped, nullptr);
        const bool ok = compileSelect(s, *e.subquery, inner, true, scope);
        s.ungrouped = ungrouped;
        if (!ok) return false;
        if (inner.columns.size() != 1) return s.fail(errors::subqueryColumns());
        params.insert(params.end(), inner.params.begin(), inner.params.end());
        list = inner.sql;
      } else {
        for (std::size_t i = 1; i < e.args.size(); ++i) {
          CompiledExpr v;
          if (!compileExpr(s, *e.args[i], scope, params, v, insideAggregate)) return false;
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
      if (!compileExpr(s, *e.args[0], scope, params, a, insideAggregate)) return false;
      out.sql = "(" + a.sql + (e.negated ? " IS NOT NULL)" : " IS NULL)");
      out.boolean = true;
      out.aggregate = a.aggregate;
      out.bareColumn = a.bareColumn;
      return true;
    }
    case Expr::Kind::Like: {
      CompiledExpr a, b;
      if (!compileExpr(s, *e.args[0], scope, params, a, insideAggregate) ||
          !compileExpr(s, *e.args[1], scope, params, b, insideAggregate))
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

namespace {
bool compileQuery(CompileContext& s, const Select& st, CompiledSelect& out, bool nested, const Scope* outer,
                  bool namedColumns);
}  // namespace

Scope tableScope(const TableMeta& table) {
  Scope scope;
  scope.sources.push_back(ScopeSource{table.name, "", &table, {}, {}, false});
  return scope;
}

const ScopeSource* findSource(const Scope& scope, std::string_view name) {
  for (const auto& src : scope.sources)
    if (sameName(src.name, name)) return &src;
  for (const auto& src : scope.sources)
    if (src.table && sameName(src.table->name, name)) return &src;
  return nullptr;
}

bool compileFrom(CompileContext& s, const FromItem& from, Scope& scope, bool qualify, std::string& sql,
                 std::vector<Value>& params) {
  auto sqlName = [&] { return qualify ? "_j" + std::to_string(++s.nextAlias) : std::string(); };
  switch (from.kind) {
    case FromItem::Kind::Table: {
      const TableMeta* t = s.catalog.findTable(from.table);
      if (!t) return s.fail(errors::tableNotFound(from.table));
      ScopeSource src{from.alias.empty() ? t->name : from.alias, sqlName(), t, {}, {}, false};
      sql += quoteIdent(t->name);
      if (!src.sqlName.empty()) sql += " AS " + quoteIdent(src.sqlName);
      scope.sources.push_back(std::move(src));
      return true;
    }
    case FromItem::Kind::Subquery: {
      CompiledSelect inner;
      if (!compileQuery(s, *from.select, inner, true, scope.outer, true)) return false;
      ScopeSource src{from.alias, sqlName(), nullptr, inner.columns, inner.types, false};
      if (src.sqlName.empty()) src.sqlName = "_j" + std::to_string(++s.nextAlias);
      sql += "(" + inner.sql + ") AS " + quoteIdent(src.sqlName);
      params.insert(params.end(), inner.params.begin(), inner.params.end());
      scope.sources.push_back(std::move(src));
      return true;
    }
    case FromItem::Kind::Join: {
      const std::size_t leftFirst = scope.sources.size();
      sql += "(";
      if (!compileFrom(s, *from.left, scope, qualify, sql, params)) return false;
      const std::size_t rightFirst = scope.sources.size();
      sql += from.join == FromItem::Join::Inner  ? " INNER JOIN "
             : from.join == FromItem::Join::Left ? " LEFT JOIN "
                                                 : " RIGHT JOIN ";
      if (!compileFrom(s, *from.right, scope, qualify, sql, params)) return false;
      const std::size_t end = scope.sources.size();
      if (from.join == FromItem::Join::Left)
        for (std::size_t i = rightFirst; i < end; ++i) scope.sources[i].outerSide = true;
      if (from.join == FromItem::Join::Right)
        for (std::size_t i = leftFirst; i < rightFirst; ++i) scope.sources[i].outerSide = true;
      CompiledExpr on;
      if (!compileExpr(s, *from.on, &scope, params, on)) return false;
      if (on.aggregate) return s.fail(errors::syntaxInExpression(from.on->source));
      sql += " ON " + on.sql + ")";
      return true;
    }
  }
  return false;
}

namespace {

// A column as the query hands it: a table's column keeps its Jet type, and
// its Null-ness, unless an outer join may leave it empty.
ColumnInfo sourceColumnInfo(const ScopeSource& src, std::size_t i, std::optional<JetType>& type) {
  if (!src.table) {
    type = src.types[i];
    ColumnInfo info = src.columns[i];
    if (src.outerSide) info.nullable = true;
    return info;
  }
  const auto& c = src.table->columns[i];
  type = c.type.type;
  // A Bit of the missing side of an outer join reads as Null, not False.
  if (src.outerSide && c.type.type == JetType::Bit) type = std::nullopt;
  return ColumnInfo{c.name, c.type.type, c.type.size,
                    src.outerSide || (!src.table->columnRequired(i) && c.type.type != JetType::Bit)};
}

std::size_t sourceWidth(const ScopeSource& src) { return src.table ? src.table->columns.size() : src.columns.size(); }
std::string sourceColumnName(const ScopeSource& src, std::size_t i) {
  return src.table ? src.table->columns[i].name : src.columns[i].name;
}

bool inGroups(const std::vector<std::string>& groups, const std::string& sql) {
  return std::find(groups.begin(), groups.end(), sql) != groups.end();
}

Error unionColumns() {
  return makeError("42000", 3307,
                   "Le nombre de colonnes dans les deux tables ou requêtes sélectionnées d'une requête Union ne "
                   "correspond pas.");
}

// One SELECT of a union, in pieces: its result columns, the rest of its
// text (FROM ... HAVING), and the keys of its ORDER BY when it has one of
// its own (a SELECT alone). Its parameters are in `out.params` in the
// order of the text.
struct Core {
  bool distinct = false;
  std::vector<std::string> items;  // the row identity last when hasRowId
  std::string rest;
  std::vector<std::pair<std::string, bool>> keys;  // SQL, descending
  std::vector<Value> keyParams;
  std::size_t itemParams = 0;  // how many of the parameters belong to the items
  std::string text(const std::vector<std::string>& names) const {
    std::string sql = distinct ? "SELECT DISTINCT " : "SELECT ";
    for (std::size_t i = 0; i < items.size(); ++i)
      sql += (i ? ", " : "") + items[i] + (names.empty() ? "" : " AS " + quoteIdent(names[i]));
    return sql + rest;
  }
};

// `hasRowId` is kept only when a single table's rows come out one for one.
bool compileCore(CompileContext& s, const Select& st, const std::vector<OrderItem>* order, CompiledSelect& out,
                 Core& core, bool nested, const Scope* outer, bool inUnion) {
  Scope scope;
  scope.outer = outer;
  // A lone table at the top of a statement keeps its columns unqualified:
  // the text is then the one the shape cache and the steps have always
  // sent; anywhere else every source gets a name of its own.
  const bool qualify = nested || outer || st.from.size() != 1 || st.from[0].kind != FromItem::Kind::Table;
  std::string from;
  std::vector<Value> fromParams;
  for (std::size_t i = 0; i < st.from.size(); ++i) {
    if (i) from += ", ";
    if (!compileFrom(s, st.from[i], scope, qualify, from, fromParams)) return false;
  }
  const bool grouped = !st.groupBy.empty();
  std::vector<std::string> groups;
  std::vector<Value> groupParams;
  for (const auto& g : st.groupBy) {
    CompiledExpr ce;
    if (!compileExpr(s, *g, &scope, groupParams, ce)) return false;
    if (ce.aggregate) return s.fail(errors::syntaxInExpression(g->source));
    groups.push_back(ce.sql);
  }

  std::vector<std::string> itemSqls;
  std::vector<const Expr*> itemExprs;
  // Where each item's parameters are: an ORDER BY that names an item
  // repeats its text, and so its parameters.
  std::vector<std::pair<std::size_t, std::size_t>> itemParams;
  bool aggregate = false;
  std::string firstBare;  // the text of the first item that is neither grouped nor aggregated
  std::vector<std::string> ungrouped;
  auto addItem = [&](const std::string& sql, ColumnInfo info, std::optional<JetType> type, const Expr* e) {
    itemSqls.push_back(sql);
    itemExprs.push_back(e);
    out.columns.push_back(std::move(info));
    out.types.push_back(type);
  };
  auto addSource = [&](const ScopeSource& src) {
    for (std::size_t i = 0; i < sourceWidth(src); ++i) {
      std::optional<JetType> type;
      ColumnInfo info = sourceColumnInfo(src, i, type);
      addItem(columnSql(src, sourceColumnName(src, i)), std::move(info), type, nullptr);
      if (firstBare.empty()) firstBare = "*";
    }
  };
  int unnamed = 1000;
  std::vector<bool> fromSource;
  if (st.star) {
    for (const auto& src : scope.sources) addSource(src);
    fromSource.assign(out.columns.size(), true);
  }
  for (const auto& item : st.items) {
    if (!item.starOf.empty()) {
      const ScopeSource* src = findSource(scope, item.starOf);
      if (!src) return s.fail(errors::tableNotFound(item.starOf));
      addSource(*src);
      fromSource.resize(out.columns.size(), true);
      continue;
    }
    CompiledExpr ce;
    ungrouped.clear();
    s.ungrouped = &ungrouped;
    const std::size_t firstParam = out.params.size();
    const bool ok = compileExpr(s, *item.expr, &scope, out.params, ce);
    s.ungrouped = nullptr;
    if (!ok) return false;
    itemParams.resize(itemSqls.size() + 1, {firstParam, firstParam});
    itemParams.back() = {firstParam, out.params.size()};
    ColumnInfo info;
    std::optional<JetType> type = ce.type;
    bool plain = false;
    if (item.expr->kind == Expr::Kind::Column && ce.bareColumn) {
      // Where it comes from decides its type, size and Null-ness.
      for (const Scope* level = &scope; level && !plain; level = level->outer)
        for (const auto& src : level->sources)
          for (std::size_t i = 0; i < sourceWidth(src) && !plain; ++i)
            if (columnSql(src, sourceColumnName(src, i)) == ce.sql) {
              info = sourceColumnInfo(src, i, type);
              plain = true;
            }
    }
    if (!plain) {
      info.name = "Expr" + std::to_string(unnamed++);
      info.type = ce.type.value_or(JetType::Double);
      info.size = info.type == JetType::Text ? 255 : 8;
    }
    if (!item.alias.empty()) info.name = item.alias;
    aggregate = aggregate || ce.aggregate;
    if (firstBare.empty() && !inGroups(groups, ce.sql))
      for (const auto& column : ungrouped)
        if (!inGroups(groups, column)) {
          firstBare = item.expr->source;
          break;
        }
    addItem(ce.valueSql(), std::move(info), type, item.expr.get());
    fromSource.push_back(plain);
  }
  // Two columns of one name, from two tables: each is named by its table.
  for (std::size_t i = 0; i < out.columns.size(); ++i)
    for (std::size_t j = i + 1; j < out.columns.size(); ++j)
      if (fromSource[i] && fromSource[j] && sameName(out.columns[i].name, out.columns[j].name)) {
        auto qualifiedName = [&](std::size_t k) {
          for (const auto& src : scope.sources)
            if (itemSqls[k].starts_with(src.sqlName.empty() ? "\"" : quoteIdent(src.sqlName) + "."))
              return src.name + "." + out.columns[k].name;
          return out.columns[k].name;
        };
        std::string a = qualifiedName(i), b = qualifiedName(j);
        out.columns[i].name = a;
        out.columns[j].name = b;
      }

  const bool summarised = grouped || aggregate;
  if (summarised && !firstBare.empty()) return s.fail(errors::aggregateMix(firstBare));
  const bool distinct = st.distinct || (st.distinctRow && scope.sources.size() > 1);
  out.hasRowId = !summarised && !distinct && !nested && !qualify && !inUnion;
  core.distinct = distinct;
  core.items = itemSqls;
  if (out.hasRowId) core.items.push_back(kRowColumn);
  std::string& rest = core.rest;
  rest = " FROM " + from;
  std::vector<Value> params = std::move(out.params);
  out.params = std::move(fromParams);
  out.params.insert(out.params.begin(), params.begin(), params.end());
  core.itemParams = params.size();
  if (st.where) {
    CompiledExpr w;
    if (!compileExpr(s, *st.where, &scope, out.params, w)) return false;
    if (w.aggregate) return s.fail(errors::syntaxInExpression(st.where->source));
    rest += " WHERE " + w.sql;
  }
  if (grouped) {
    rest += " GROUP BY ";
    for (std::size_t i = 0; i < groups.size(); ++i) rest += (i ? ", " : "") + groups[i];
    out.params.insert(out.params.end(), groupParams.begin(), groupParams.end());
  }
  // What a summarised query's HAVING and ORDER BY name outside an
  // aggregate must be one of its groups.
  auto checkGrouped = [&](const Expr& e, const CompiledExpr& ce) {
    if (!summarised || inGroups(groups, ce.sql)) return true;
    for (const auto& column : ungrouped)
      if (!inGroups(groups, column)) return s.fail(errors::aggregateMix(e.source));
    return true;
  };
  if (st.having) {
    CompiledExpr h;
    ungrouped.clear();
    s.ungrouped = &ungrouped;
    const bool ok = compileExpr(s, *st.having, &scope, out.params, h);
    s.ungrouped = nullptr;
    if (!ok || !checkGrouped(*st.having, h)) return false;
    rest += " HAVING " + h.sql;
  }
  if (order) {
    for (const auto& o : *order) {
      const Expr& e = *o.expr;
      std::string key;
      std::size_t item = itemSqls.size();
      if (e.kind == Expr::Kind::Literal && e.literal.kind == Value::Kind::Integer) {
        // ORDER BY 2: the second column of the result.
        if (e.literal.integer < 1 || static_cast<std::size_t>(e.literal.integer) > itemSqls.size())
          return s.fail(errors::syntaxInExpression(e.source));
        item = static_cast<std::size_t>(e.literal.integer - 1);
      } else if (e.kind == Expr::Kind::Column && e.qualifier.empty()) {
        // A name of the result that is no column of the sources: an alias.
        CompiledExpr probe;
        const Error before = s.last;
        std::vector<Value> ignored;
        const std::vector<Value>* bound = std::exchange(s.bound, nullptr);
        const bool column = resolveColumn(s, e, &scope, ignored, probe);
        s.bound = bound;
        s.last = before;
        if (!column)
          for (std::size_t i = 0; i < out.columns.size(); ++i)
            if (itemExprs[i] && sameName(out.columns[i].name, e.name)) item = i;
      }
      if (item < itemSqls.size()) {
        key = itemSqls[item];
        if (item < itemParams.size())
          core.keyParams.insert(core.keyParams.end(),
                                out.params.begin() + static_cast<std::ptrdiff_t>(itemParams[item].first),
                                out.params.begin() + static_cast<std::ptrdiff_t>(itemParams[item].second));
      }
      if (key.empty()) {
        CompiledExpr ce;
        ungrouped.clear();
        s.ungrouped = &ungrouped;
        const bool ok = compileExpr(s, e, &scope, core.keyParams, ce);
        s.ungrouped = nullptr;
        if (!ok || !checkGrouped(e, ce)) return false;
        key = ce.sql;
      }
      core.keys.emplace_back(key, o.descending);
    }
  }
  return true;
}

std::string keyList(const std::vector<std::pair<std::string, bool>>& keys) {
  std::string sql;
  for (std::size_t i = 0; i < keys.size(); ++i)
    sql += (i ? ", " : "") + keys[i].first + (keys[i].second ? " DESC" : "");
  return sql;
}

bool compileQuery(CompileContext& s, const Select& st, CompiledSelect& out, bool nested, const Scope* outer,
                  bool namedColumns) {
  out = CompiledSelect{};
  if (!nested && !outer) s.nextAlias = 0;
  Core core;
  const bool isUnion = static_cast<bool>(st.unionNext);
  if (!compileCore(s, st, isUnion ? nullptr : &st.order, out, core, nested, outer, isUnion)) return false;
  // The columns of the text are named when someone reads them by name: the
  // query around a subquery, or the ranking of TOP.
  std::vector<std::string> names;
  if (st.top)
    for (std::size_t i = 0; i < core.items.size(); ++i) names.push_back("_c" + std::to_string(i + 1));
  else if (namedColumns)
    for (const auto& c : out.columns) names.push_back(c.name);
  out.sql = core.text(names);
  std::vector<std::pair<std::string, bool>> keys = core.keys;
  if (isUnion) {
    for (const Select* next = &st; next->unionNext; next = next->unionNext.get()) {
      CompiledSelect member;
      Core memberCore;
      if (!compileCore(s, *next->unionNext, nullptr, member, memberCore, nested, outer, true)) return false;
      if (member.columns.size() != out.columns.size()) return s.fail(unionColumns());
      out.sql += (next->unionAll ? " UNION ALL " : " UNION ") + memberCore.text({});
      out.params.insert(out.params.end(), member.params.begin(), member.params.end());
      // Rows of another type read by what they hold.
      for (std::size_t i = 0; i < out.types.size(); ++i)
        if (out.types[i] != member.types[i]) out.types[i] = std::nullopt;
    }
    // A union is sorted by its result columns, by name or number.
    for (const auto& o : st.order) {
      const Expr& e = *o.expr;
      std::size_t column = 0;
      if (e.kind == Expr::Kind::Literal && e.literal.kind == Value::Kind::Integer) {
        if (e.literal.integer >= 1 && static_cast<std::size_t>(e.literal.integer) <= out.columns.size())
          column = static_cast<std::size_t>(e.literal.integer);
      } else if (e.kind == Expr::Kind::Column) {
        for (std::size_t i = 0; i < out.columns.size() && !column; ++i)
          if (sameName(out.columns[i].name, e.name)) column = i + 1;
      }
      if (!column) return s.fail(errors::syntaxInExpression(e.source));
      keys.emplace_back(st.top ? "_c" + std::to_string(column) : std::to_string(column), o.descending);
    }
  }
  if (!st.top) {
    if (!keys.empty()) out.sql += " ORDER BY " + keyList(keys);
    out.params.insert(out.params.end(), core.keyParams.begin(), core.keyParams.end());
    return true;
  }
  // TOP n keeps, as Access does, every row that ties with the n-th on the
  // ORDER BY keys: the rows ranked n or better. TOP n PERCENT keeps n % of
  // the rows, rounded up. Without ORDER BY there are no ties. The rank is
  // taken in the SELECT itself when it can be (its keys may name columns
  // it does not return); over a union or DISTINCT rows, the keys must be
  // result columns and the rank is taken around it.
  std::string columns;
  for (const auto& n : names) columns += (columns.empty() ? "" : ", ") + n;
  const std::string limit =
      st.topPercent ? "((_jet_count * " + std::to_string(*st.top) + " + 99) / 100)" : std::to_string(*st.top);
  if (!isUnion && !core.distinct) {
    const std::string rank = keys.empty() ? "ROW_NUMBER() OVER ()" : "RANK() OVER (ORDER BY " + keyList(keys) + ")";
    std::string inner = "SELECT ";
    for (std::size_t i = 0; i < core.items.size(); ++i) inner += core.items[i] + " AS " + names[i] + ", ";
    // The keys' parameters come after those of the items, before those of
    // FROM and what follows.
    out.params.insert(out.params.begin() + static_cast<std::ptrdiff_t>(core.itemParams), core.keyParams.begin(),
                      core.keyParams.end());
    out.sql = "SELECT " + columns + " FROM (" + inner + rank + " AS _jet_rank, COUNT(*) OVER () AS _jet_count" +
              core.rest + ") WHERE _jet_rank <= " + limit + " ORDER BY _jet_rank";
    return true;
  }
  if (!isUnion) {
    for (auto& key : keys) {
      auto it = std::find(core.items.begin(), core.items.end(), key.first);
      if (it == core.items.end()) return s.fail(errors::distinctOrder(key.first));
      key.first = names[static_cast<std::size_t>(it - core.items.begin())];
    }
  }
  const std::string rank = keys.empty() ? "ROW_NUMBER() OVER ()" : "RANK() OVER (ORDER BY " + keyList(keys) + ")";
  out.sql = "SELECT " + columns + " FROM (SELECT *, " + rank + " AS _jet_rank, COUNT(*) OVER () AS _jet_count FROM (" +
            out.sql + ")) WHERE _jet_rank <= " + limit + " ORDER BY _jet_rank";
  return true;
}

}  // namespace

bool compileSelect(CompileContext& s, const Select& st, CompiledSelect& out, bool nested, const Scope* outer) {
  return compileQuery(s, st, out, nested, outer, false);
}

}  // namespace jetdb
