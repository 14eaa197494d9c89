#include "parameter_types.h"

#include <algorithm>

#include "jetdb/text.h"

namespace jetdb {
namespace {

class ParameterTypes {
 public:
  ParameterTypes(const Catalog& catalog, std::vector<std::string> tables, const std::vector<std::string>& keys)
      : catalog_(catalog), tables_(std::move(tables)), keys_(keys), types_(keys.size()) {}

  std::vector<std::optional<JetType>> take() { return std::move(types_); }

  void statement(const Statement& st) {
    if (const auto* s = std::get_if<Select>(&st)) return select(*s);
    if (const auto* ins = std::get_if<Insert>(&st)) return insert(*ins);
    if (const auto* up = std::get_if<Update>(&st)) {
      for (const auto& a : up->assignments) {
        give(*a.value, columnOf(up->table, a.column));
        expr(*a.value);
      }
      if (up->from) from(*up->from);
      return optional(up->where);
    }
    if (const auto* del = std::get_if<Delete>(&st)) {
      if (del->from) from(*del->from);
      optional(del->where);
    }
  }

 private:
  // The parameter that `e` is, or npos.
  std::size_t key(const Expr& e) const {
    std::string name;
    if (e.kind == Expr::Kind::Parameter) name = "\x01?" + std::to_string(e.offset);
    else if (e.kind == Expr::Kind::Column && e.qualifier.empty()) name = e.name;
    else return std::string::npos;
    for (std::size_t i = 0; i < keys_.size(); ++i)
      if (sameName(keys_[i], name)) return i;
    return std::string::npos;
  }
  std::optional<JetType> columnOf(const std::string& table, const std::string& column) const {
    const TableMeta* t = catalog_.findTable(table);
    const int c = t ? t->findColumn(column) : -1;
    if (c < 0) return std::nullopt;
    return t->columns[static_cast<std::size_t>(c)].type.type;
  }
  // The type of a column of the statement's tables that `e` names; none
  // when it names no column, or columns of two types.
  std::optional<JetType> typeOf(const Expr& e) const {
    if (e.kind != Expr::Kind::Column) return std::nullopt;
    std::optional<JetType> found;
    for (const auto& table : tables_) {
      if (!e.qualifier.empty() && catalog_.findTable(e.qualifier) && !sameName(e.qualifier, table)) continue;
      const auto type = columnOf(table, e.name);
      if (!type) continue;
      if (found && found != type) return std::nullopt;
      found = type;
    }
    return found;
  }
  void give(const Expr& e, std::optional<JetType> type) {
    const std::size_t k = key(e);
    if (k != std::string::npos && type && !types_[k]) types_[k] = type;
  }
  void compared(const Expr& a, const Expr& b) {
    give(a, typeOf(b));
    give(b, typeOf(a));
  }

  void expr(const Expr& e) {
    switch (e.kind) {
      case Expr::Kind::Binary:
        compared(*e.args[0], *e.args[1]);
        break;
      case Expr::Kind::Between:
        compared(*e.args[0], *e.args[1]);
        compared(*e.args[0], *e.args[2]);
        break;
      case Expr::Kind::In:
        for (std::size_t i = 1; i < e.args.size(); ++i) compared(*e.args[0], *e.args[i]);
        break;
      case Expr::Kind::Like:
        give(*e.args[1], JetType::Text);  // a pattern is text, whatever it is matched against
        break;
      default:
        break;
    }
    for (const auto& arg : e.args) expr(*arg);
    if (e.subquery) select(*e.subquery);
  }
  void optional(const ExprPtr& e) {
    if (e) expr(*e);
  }
  void from(const FromItem& f) {
    if (f.select) select(*f.select);
    if (f.left) from(*f.left);
    if (f.right) from(*f.right);
    optional(f.on);
  }
  void select(const Select& s) {
    for (const auto& item : s.items) optional(item.expr);
    for (const auto& f : s.from) from(f);
    optional(s.where);
    for (const auto& g : s.groupBy) expr(*g);
    optional(s.having);
    for (const auto& o : s.order) expr(*o.expr);
    if (s.unionNext) select(*s.unionNext);
  }
  void insert(const Insert& ins) {
    std::vector<std::optional<JetType>> targets;
    if (ins.columns.empty()) {
      if (const TableMeta* t = catalog_.findTable(ins.table))
        for (const auto& c : t->columns) targets.push_back(c.type.type);
    } else {
      for (const auto& c : ins.columns) targets.push_back(columnOf(ins.table, c));
    }
    for (std::size_t i = 0; i < ins.values.size() && i < targets.size(); ++i) give(*ins.values[i], targets[i]);
    if (ins.select)
      for (std::size_t i = 0; i < ins.select->items.size() && i < targets.size(); ++i)
        if (ins.select->items[i].expr) give(*ins.select->items[i].expr, targets[i]);
    for (const auto& v : ins.values) expr(*v);
    if (ins.select) select(*ins.select);
  }

  const Catalog& catalog_;
  std::vector<std::string> tables_;
  const std::vector<std::string>& keys_;
  std::vector<std::optional<JetType>> types_;
};

}  // namespace

std::vector<std::optional<JetType>> parameterTypes(const Catalog& catalog, const Statement& statement,
                                                   const ParseNotes& notes, const std::vector<std::string>& keys) {
  std::vector<std::string> tables = notes.tables;
  if (const auto* ins = std::get_if<Insert>(&statement)) tables.push_back(ins->table);
  ParameterTypes types(catalog, std::move(tables), keys);
  types.statement(statement);
  return types.take();
}

}  // namespace jetdb
