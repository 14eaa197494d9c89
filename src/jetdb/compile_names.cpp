// Where the names of a statement lead: the columns of its sources, level
// by level out to the query around it, and else its parameters.
#include <algorithm>
#include <cstdint>

#include "compiler.h"
#include "errors.h"
#include "jetdb/text.h"

namespace jetdb {
namespace {

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

}  // namespace

std::string columnSql(const ScopeSource& src, const std::string& column) {
  return src.sqlName.empty() ? quoteIdent(column) : quoteIdent(src.sqlName) + "." + quoteIdent(column);
}

std::optional<JetType> valueType(const Value& v) {
  switch (v.kind) {
    case Value::Kind::Null:
      return std::nullopt;
    case Value::Kind::Integer:
      return v.integer >= INT32_MIN && v.integer <= INT32_MAX ? JetType::Long : JetType::Double;
    case Value::Kind::Double:
      return JetType::Double;
    case Value::Kind::Text:
      return JetType::Text;
    case Value::Kind::DateTime:
      return JetType::DateTime;
    case Value::Kind::Binary:
      return JetType::LongBinary;
    case Value::Kind::Decimal:
      return JetType::Decimal;
  }
  return std::nullopt;
}

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
  out.type = valueType(v);
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

}  // namespace jetdb
