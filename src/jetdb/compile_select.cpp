// SELECT statements as SQLite text: their sources, groups, result columns,
// conditions and keys, the members of a union, and TOP's ranking.
#include <algorithm>
#include <utility>

#include "compiler.h"
#include "errors.h"
#include "jetdb/text.h"
#include "parser.h"

namespace jetdb {
namespace {

bool compileQuery(CompileContext& s, const Select& st, CompiledSelect& out, bool nested, const Scope* outer,
                  bool namedColumns);

// A saved query as a subquery: its text read again, its columns named.
bool compileView(CompileContext& s, const ViewMeta& view, const Scope* outer, CompiledSelect& out) {
  if (s.viewDepth >= kMaxNesting) return s.fail(errors::tooDeep(view.name));
  Statement parsed;
  if (!parseStatement(view.sql, parsed, s.last)) return false;
  // The view's own names are columns, never the parameters of the
  // statement that reads it.
  const std::vector<Value>* bound = std::exchange(s.bound, nullptr);
  ++s.viewDepth;
  const bool ok = compileQuery(s, std::get<Select>(parsed), out, true, outer, true);
  --s.viewDepth;
  s.bound = bound;
  return ok;
}

}  // namespace

std::vector<std::string> viewColumns(CompileContext& s, const ViewMeta& view) {
  const Error saved = s.last;
  const int alias = s.nextAlias;
  CompiledSelect compiled;
  std::vector<std::string> names;
  if (compileView(s, view, nullptr, compiled))
    for (const auto& c : compiled.columns) names.push_back(c.name);
  s.last = saved;
  s.nextAlias = alias;
  return names;
}

bool compileFrom(CompileContext& s, const FromItem& from, Scope& scope, bool qualify, std::string& sql,
                 std::vector<Value>& params) {
  auto sqlName = [&] { return qualify ? "_j" + std::to_string(++s.nextAlias) : std::string(); };
  switch (from.kind) {
    case FromItem::Kind::Table: {
      const TableMeta* t = s.catalog.findTable(from.table);
      if (!t)
        if (const ViewMeta* view = s.catalog.findView(from.table)) {
          CompiledSelect inner;
          if (!compileView(s, *view, nullptr, inner)) return false;
          ScopeSource src{from.alias.empty() ? view->name : from.alias, "_j" + std::to_string(++s.nextAlias), nullptr,
                          inner.columns, inner.types, false};
          sql += "(" + inner.sql + ") AS " + quoteIdent(src.sqlName);
          params.insert(params.end(), inner.params.begin(), inner.params.end());
          scope.sources.push_back(std::move(src));
          return true;
        }
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
  return columnInfoOf(c.name, c.type, src.outerSide || (!src.table->columnRequired(i) && c.type.type != JetType::Bit));
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

// The compilation of one SELECT of a union into its Core: its sources,
// its groups, its result items, its conditions and its keys, in that
// order, each by a method of its own over the state they share.
class CoreCompiler {
 public:
  CoreCompiler(CompileContext& s, const Select& st, CompiledSelect& out, Core& core, bool nested, const Scope* outer)
      : s_(s), st_(st), out_(out), core_(core), nested_(nested) {
    scope_.outer = outer;
  }

  // `hasRowId` is kept only when a single table's rows come out one for one.
  bool compile(const std::vector<OrderItem>* order, bool inUnion) {
    return sources() && groups() && items() && summarise(inUnion) && conditions() && (!order || keys(*order));
  }

 private:
  // A lone table at the top of a statement keeps its columns unqualified:
  // the text is then the one the shape cache and the steps have always
  // sent; anywhere else every source gets a name of its own.
  bool sources() {
    qualify_ = nested_ || scope_.outer || st_.from.size() != 1 || st_.from[0].kind != FromItem::Kind::Table ||
               !s_.catalog.findTable(st_.from[0].table);
    for (std::size_t i = 0; i < st_.from.size(); ++i) {
      if (i) from_ += ", ";
      if (!compileFrom(s_, st_.from[i], scope_, qualify_, from_, fromParams_)) return false;
    }
    return true;
  }

  bool groups() {
    for (const auto& g : st_.groupBy) {
      CompiledExpr ce;
      if (!compileExpr(s_, *g, &scope_, groupParams_, ce)) return false;
      if (ce.aggregate) return s_.fail(errors::syntaxInExpression(g->source));
      groups_.push_back(ce.sql);
    }
    return true;
  }

  // Compiles `e`, noting the columns it uses outside an aggregate.
  bool tracked(const Expr& e, std::vector<Value>& params, CompiledExpr& ce) {
    ungrouped_.clear();
    s_.ungrouped = &ungrouped_;
    const bool ok = compileExpr(s_, e, &scope_, params, ce);
    s_.ungrouped = nullptr;
    return ok;
  }

  void addItem(const std::string& sql, ColumnInfo info, std::optional<JetType> type, const Expr* e) {
    itemSqls_.push_back(sql);
    itemExprs_.push_back(e);
    out_.columns.push_back(std::move(info));
    out_.types.push_back(type);
  }
  void addSource(const ScopeSource& src) {
    for (std::size_t i = 0; i < sourceWidth(src); ++i) {
      std::optional<JetType> type;
      ColumnInfo info = sourceColumnInfo(src, i, type);
      addItem(columnSql(src, sourceColumnName(src, i)), std::move(info), type, nullptr);
      if (firstBare_.empty()) firstBare_ = "*";
    }
    fromSource_.resize(out_.columns.size(), true);
  }

  // A column read as it is: where it comes from decides its type, size and
  // Null-ness.
  bool plainColumn(const std::string& sql, ColumnInfo& info, std::optional<JetType>& type) const {
    for (const Scope* level = &scope_; level; level = level->outer)
      for (const auto& src : level->sources)
        for (std::size_t i = 0; i < sourceWidth(src); ++i)
          if (columnSql(src, sourceColumnName(src, i)) == sql) {
            info = sourceColumnInfo(src, i, type);
            return true;
          }
    return false;
  }

  bool addExpression(const SelectItem& item) {
    CompiledExpr ce;
    const std::size_t firstParam = out_.params.size();
    if (!tracked(*item.expr, out_.params, ce)) return false;
    itemParams_.resize(itemSqls_.size() + 1, {firstParam, firstParam});
    itemParams_.back() = {firstParam, out_.params.size()};
    ColumnInfo info;
    std::optional<JetType> type = ce.type;
    const bool plain = item.expr->kind == Expr::Kind::Column && ce.bareColumn && plainColumn(ce.sql, info, type);
    if (!plain) {
      // A condition given as a value is Jet's -1 or 0.
      if (!type && ce.boolean) type = JetType::Long;
      info.name = "Expr" + std::to_string(unnamed_++);
      info.type = type.value_or(JetType::Double);
      info.size = info.type == JetType::Text ? 255 : 8;
      // A total or an extreme of Decimals: its column's scale is not known
      // here, so it is given room for ten decimals besides eighteen digits.
      if (info.type == JetType::Decimal) {
        info.precision = kMaxPrecision;
        info.scale = 10;
      }
    }
    if (!item.alias.empty()) info.name = item.alias;
    aggregate_ = aggregate_ || ce.aggregate;
    if (firstBare_.empty() && !inGroups(groups_, ce.sql))
      for (const auto& column : ungrouped_)
        if (!inGroups(groups_, column)) {
          firstBare_ = item.expr->source;
          break;
        }
    addItem(ce.valueSql(), std::move(info), type, item.expr.get());
    fromSource_.push_back(plain);
    return true;
  }

  bool items() {
    if (st_.star)
      for (const auto& src : scope_.sources) addSource(src);
    for (const auto& item : st_.items) {
      if (item.starOf.empty()) {
        if (!addExpression(item)) return false;
        continue;
      }
      const ScopeSource* src = findSource(scope_, item.starOf);
      if (!src) return s_.fail(errors::tableNotFound(item.starOf));
      addSource(*src);
    }
    nameTwins();
    return true;
  }

  // Two columns of one name, from two tables: each is named by its table.
  void nameTwins() {
    auto qualifiedName = [&](std::size_t k) {
      for (const auto& src : scope_.sources)
        if (itemSqls_[k].starts_with(src.sqlName.empty() ? "\"" : quoteIdent(src.sqlName) + "."))
          return src.name + "." + out_.columns[k].name;
      return out_.columns[k].name;
    };
    for (std::size_t i = 0; i < out_.columns.size(); ++i)
      for (std::size_t j = i + 1; j < out_.columns.size(); ++j)
        if (fromSource_[i] && fromSource_[j] && sameName(out_.columns[i].name, out_.columns[j].name)) {
          std::string a = qualifiedName(i), b = qualifiedName(j);
          out_.columns[i].name = a;
          out_.columns[j].name = b;
        }
  }

  // What grouping makes of the items: a summarised query has no bare
  // column and no row identity. The items' parameters come first in the
  // text, then those of FROM.
  bool summarise(bool inUnion) {
    summarised_ = !st_.groupBy.empty() || aggregate_;
    if (summarised_ && !firstBare_.empty()) return s_.fail(errors::aggregateMix(firstBare_));
    const bool distinct = st_.distinct || (st_.distinctRow && scope_.sources.size() > 1);
    out_.hasRowId = !summarised_ && !distinct && !nested_ && !qualify_ && !inUnion;
    core_.distinct = distinct;
    core_.items = itemSqls_;
    if (out_.hasRowId) core_.items.push_back(kRowColumn);
    core_.rest = st_.from.empty() ? std::string() : " FROM " + from_;
    std::vector<Value> params = std::move(out_.params);
    out_.params = std::move(fromParams_);
    out_.params.insert(out_.params.begin(), params.begin(), params.end());
    core_.itemParams = params.size();
    return true;
  }

  // What a summarised query's HAVING and ORDER BY name outside an
  // aggregate must be one of its groups.
  bool checkGrouped(const Expr& e, const CompiledExpr& ce) {
    if (!summarised_ || inGroups(groups_, ce.sql)) return true;
    for (const auto& column : ungrouped_)
      if (!inGroups(groups_, column)) return s_.fail(errors::aggregateMix(e.source));
    return true;
  }

  bool conditions() {
    if (st_.where) {
      CompiledExpr w;
      if (!compileExpr(s_, *st_.where, &scope_, out_.params, w)) return false;
      if (w.aggregate) return s_.fail(errors::syntaxInExpression(st_.where->source));
      core_.rest += " WHERE " + w.sql;
    }
    if (!groups_.empty()) {
      core_.rest += " GROUP BY ";
      for (std::size_t i = 0; i < groups_.size(); ++i) core_.rest += (i ? ", " : "") + groups_[i];
      out_.params.insert(out_.params.end(), groupParams_.begin(), groupParams_.end());
    }
    if (st_.having) {
      CompiledExpr h;
      if (!tracked(*st_.having, out_.params, h) || !checkGrouped(*st_.having, h)) return false;
      core_.rest += " HAVING " + h.sql;
    }
    return true;
  }

  // The item an ORDER BY key names: by its number, or by its alias when
  // the name is no column of the sources; npos for none.
  std::size_t namedItem(const Expr& e) {
    if (e.kind == Expr::Kind::Literal && e.literal.kind == Value::Kind::Integer) {
      if (e.literal.integer < 1 || static_cast<std::size_t>(e.literal.integer) > itemSqls_.size()) {
        s_.fail(errors::syntaxInExpression(e.source));
        return std::string::npos;
      }
      return static_cast<std::size_t>(e.literal.integer - 1);
    }
    if (e.kind != Expr::Kind::Column || !e.qualifier.empty()) return itemSqls_.size();
    CompiledExpr probe;
    const Error before = s_.last;
    std::vector<Value> ignored;
    const std::vector<Value>* bound = std::exchange(s_.bound, nullptr);
    const bool column = resolveColumn(s_, e, &scope_, ignored, probe);
    s_.bound = bound;
    s_.last = before;
    std::size_t item = itemSqls_.size();
    if (!column)
      for (std::size_t i = 0; i < out_.columns.size(); ++i)
        if (itemExprs_[i] && sameName(out_.columns[i].name, e.name)) item = i;
    return item;
  }

  bool keys(const std::vector<OrderItem>& order) {
    for (const auto& o : order) {
      const Expr& e = *o.expr;
      const std::size_t item = namedItem(e);
      if (item == std::string::npos) return false;
      std::string key;
      if (item < itemSqls_.size()) {
        key = itemSqls_[item];
        if (item < itemParams_.size())
          core_.keyParams.insert(core_.keyParams.end(),
                                 out_.params.begin() + static_cast<std::ptrdiff_t>(itemParams_[item].first),
                                 out_.params.begin() + static_cast<std::ptrdiff_t>(itemParams_[item].second));
      }
      if (key.empty()) {
        CompiledExpr ce;
        if (!tracked(e, core_.keyParams, ce) || !checkGrouped(e, ce)) return false;
        key = ce.sql;
      }
      core_.keys.emplace_back(key, o.descending);
    }
    return true;
  }

  CompileContext& s_;
  const Select& st_;
  CompiledSelect& out_;
  Core& core_;
  const bool nested_;
  Scope scope_;
  bool qualify_ = false;
  std::string from_;
  std::vector<Value> fromParams_;
  std::vector<std::string> groups_;
  std::vector<Value> groupParams_;
  std::vector<std::string> itemSqls_;
  std::vector<const Expr*> itemExprs_;
  // Where each item's parameters are: an ORDER BY that names an item
  // repeats its text, and so its parameters.
  std::vector<std::pair<std::size_t, std::size_t>> itemParams_;
  std::vector<bool> fromSource_;  // each item is a column read as it is
  bool aggregate_ = false;
  bool summarised_ = false;
  std::string firstBare_;  // the text of the first item that is neither grouped nor aggregated
  std::vector<std::string> ungrouped_;
  int unnamed_ = 1000;
};

std::string keyList(const std::vector<std::pair<std::string, bool>>& keys) {
  std::string sql;
  for (std::size_t i = 0; i < keys.size(); ++i)
    sql += (i ? ", " : "") + keys[i].first + (keys[i].second ? " DESC" : "");
  return sql;
}

bool compileCore(CompileContext& s, const Select& st, const std::vector<OrderItem>* order, CompiledSelect& out,
                 Core& core, bool nested, const Scope* outer, bool inUnion) {
  return CoreCompiler(s, st, out, core, nested, outer).compile(order, inUnion);
}

using Keys = std::vector<std::pair<std::string, bool>>;

// The members after the first of a union, added to its text, and the keys
// of its ORDER BY: the result columns, by name or number.
bool compileUnion(CompileContext& s, const Select& st, CompiledSelect& out, bool nested, const Scope* outer,
                  Keys& keys) {
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
  return true;
}

// TOP n keeps, as Access does, every row that ties with the n-th on the
// ORDER BY keys: the rows ranked n or better. TOP n PERCENT keeps n % of
// the rows, rounded up. Without ORDER BY there are no ties. The rank is
// taken in the SELECT itself when it can be (its keys may name columns it
// does not return); over a union or DISTINCT rows, the keys must be result
// columns and the rank is taken around it.
bool rankTop(CompileContext& s, const Select& st, const Core& core, const std::vector<std::string>& names, Keys keys,
             CompiledSelect& out, bool namedColumns) {
  // The query around a subquery reads its columns by their Jet names.
  std::string columns;
  for (std::size_t i = 0; i < names.size(); ++i)
    columns += (i ? ", " : "") + names[i] +
               (namedColumns && i < out.columns.size() ? " AS " + quoteIdent(out.columns[i].name) : std::string());
  const std::string limit =
      st.topPercent ? "((_jet_count * " + std::to_string(*st.top) + " + 99) / 100)" : std::to_string(*st.top);
  const bool isUnion = static_cast<bool>(st.unionNext);
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
  Keys keys = core.keys;
  if (isUnion && !compileUnion(s, st, out, nested, outer, keys)) return false;
  if (st.top) return rankTop(s, st, core, names, std::move(keys), out, namedColumns);
  if (!keys.empty()) out.sql += " ORDER BY " + keyList(keys);
  out.params.insert(out.params.end(), core.keyParams.begin(), core.keyParams.end());
  return true;
}

}  // namespace

bool compileSelect(CompileContext& s, const Select& st, CompiledSelect& out, bool nested, const Scope* outer) {
  return compileQuery(s, st, out, nested, outer, false);
}

}  // namespace jetdb
