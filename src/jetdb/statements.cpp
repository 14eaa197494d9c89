// Running statements: by their text or prepared, with the values bound to
// their parameters, and the cache of the shapes of queries.
#include <sqlite3.h>

#include <algorithm>

#include "errors.h"
#include "executors.h"
#include "jetdb/sql_text.h"
#include "jetdb/text.h"
#include "parameter_types.h"
#include "parser.h"
#include "session.h"
#include "transaction.h"

namespace jetdb {

struct PreparedStatement::Impl {
  Statement statement;
  ParseNotes notes;
  bool returnsRows = false;
  bool changesRows = false;
  std::vector<ColumnInfo> columns;
  std::vector<ParameterInfo> parameters;
  // The SELECT compiled without values, good for one version of the catalog.
  std::shared_ptr<const CompiledSelect> compiled;
  std::uint64_t compiledFor = 0;
  // Its parameters' keys, good for one version of the catalog: working
  // them out compares every name of the statement with the columns, which
  // costs more than the row an INSERT run many times writes.
  std::vector<std::string> keys;
  std::optional<std::uint64_t> keysFor;
};

PreparedStatement::PreparedStatement(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
PreparedStatement::~PreparedStatement() = default;
bool PreparedStatement::returnsRows() const { return impl_->returnsRows; }
bool PreparedStatement::changesRows() const { return impl_->changesRows; }
bool PreparedStatement::writes() const { return !impl_->returnsRows; }
const std::vector<ColumnInfo>& PreparedStatement::columns() const { return impl_->columns; }
const std::vector<ParameterInfo>& PreparedStatement::parameters() const { return impl_->parameters; }

namespace {

class QueryImpl final : public Query {
 public:
  QueryImpl(Session& s, std::shared_ptr<const CompiledSelect> cs, Stmt st)
      : s_(s), cs_(std::move(cs)), st_(std::move(st)), values_(cs_->columns.size()) {}
  ~QueryImpl() override { s_.returnQuery(cs_->sql, std::move(st_)); }

  const std::vector<ColumnInfo>& columns() const override { return cs_->columns; }
  bool next() override {
    if (done_) return false;
    int rc = st_.step();
    if (rc == SQLITE_ROW) {
      for (std::size_t i = 0; i < values_.size(); ++i) readValue(st_.get(), static_cast<int>(i), cs_->types[i], values_[i]);
      row_ = cs_->hasRowId ? st_.integer(static_cast<int>(values_.size())) : 0;
      return true;
    }
    done_ = true;
    if (rc != SQLITE_DONE) error_ = s_.sqliteError();
    for (auto& v : values_) v = Value::null();
    row_ = 0;
    // Let go of the read snapshot so that other writers are not held up.
    st_.reset();
    return false;
  }
  const Value& value(std::size_t column) const override {
    static const Value kNull;
    return column < values_.size() ? values_[column] : kNull;
  }
  RowId rowId() const override { return row_; }
  const std::optional<Error>& error() const override { return error_; }

 private:
  Session& s_;
  // Shared with the cache it came from: a query sent again and again takes
  // its columns and types from there, not a copy of them.
  std::shared_ptr<const CompiledSelect> cs_;
  Stmt st_;
  std::vector<Value> values_;
  RowId row_ = 0;
  bool done_ = false;
  std::optional<Error> error_;
};

Error notASelect() {
  return makeError("42000", 3065, "Impossible d'exécuter une requête qui n'est pas une requête Sélection.");
}

// The rows of a compiled SELECT run with `params` (its own unless told);
// null, with the error, when SQLite refuses it.
std::unique_ptr<Query> start(Session& s, std::shared_ptr<const CompiledSelect> cs, const std::string& table,
                             const std::vector<Value>* params = nullptr) {
  Stmt stmt = s.takeQuery(cs->sql);
  if (!stmt.ok()) {
    s.fail(s.sqliteError(table));
    return nullptr;
  }
  if (!params) params = &cs->params;
  for (std::size_t i = 0; i < params->size(); ++i) stmt.bind(static_cast<int>(i + 1), (*params)[i]);
  return std::make_unique<QueryImpl>(s, std::move(cs), std::move(stmt));
}

std::unique_ptr<Query> start(Session& s, CompiledSelect cs, const std::string& table) {
  return start(s, std::make_shared<const CompiledSelect>(std::move(cs)), table);
}

// The parameters of a statement, in the order of the text: each "?" (as
// "\x01?" and its offset), and each name that is neither a column of a
// table the statement names nor an alias of its result, once.
std::vector<std::string> parameterKeys(Session& s, const ParseNotes& notes) {
  std::vector<std::string> keys;
  auto known = [&](const std::string& name) {
    for (const auto& alias : notes.aliases)
      if (sameName(alias, name)) return true;
    for (const auto& table : notes.tables) {
      if (const TableMeta* t = s.catalog.findTable(table); t && t->findColumn(name) >= 0) return true;
      if (const ViewMeta* v = s.catalog.findView(table))
        for (const auto& column : viewColumns(s, *v))
          if (sameName(column, name)) return true;
    }
    return false;
  };
  for (const auto& [offset, name] : notes.values) {
    if (name == "?") {
      keys.push_back("\x01?" + std::to_string(offset));
      continue;
    }
    if (known(name)) continue;
    bool seen = false;
    for (const auto& k : keys) seen = seen || sameName(k, name);
    if (!seen) keys.push_back(name);
  }
  return keys;
}

// The values of the statement about to be compiled; without values its
// names are all columns, and a "?" has none.
// `keys`, when given, are the statement's own, lent to the session for the
// run (BoundValues gives them back).
void learnParameters(Session& s, const ParseNotes& notes, const std::vector<Value>& values,
                     std::vector<std::string>* keys = nullptr) {
  s.bound = values.empty() ? nullptr : &values;
  if (values.empty()) s.parameterKeys.clear();
  else if (keys) s.parameterKeys.swap(*keys);
  else s.parameterKeys = parameterKeys(s, notes);
}

// Forgets the values once the statement is compiled and run.
struct BoundValues {
  Session& s;
  std::vector<std::string>* keys = nullptr;
  ~BoundValues() {
    s.bound = nullptr;
    if (keys) s.parameterKeys.swap(*keys);
    s.parameterKeys.clear();
  }
};

bool isDefinition(const Statement& st) {
  return std::holds_alternative<CreateTable>(st) || std::holds_alternative<DropTable>(st) ||
         std::holds_alternative<CreateIndex>(st) || std::holds_alternative<DropIndex>(st) ||
         std::holds_alternative<AlterTable>(st) || std::holds_alternative<CreateView>(st) ||
         std::holds_alternative<DropView>(st);
}

// Runs a statement that has been read; `rows` runs a SELECT, whose rows are
// dropped.
template <class Rows>
bool executeStatement(Session& s, const Statement& st, const ParseNotes& notes, const std::vector<Value>& values,
                      Rows&& rows, std::vector<std::string>* keys = nullptr) {
  if (auto* select = std::get_if<Select>(&st); select && select->into.empty()) {
    auto q = rows();
    if (!q) return false;
    while (q->next()) {}
    if (q->error()) return s.fail(*q->error());
    return true;
  }
  BoundValues scope{s, values.empty() ? nullptr : keys};
  learnParameters(s, notes, values, keys);
  const bool definition = isDefinition(st);
  if (definition) {
    // Definitions run in a transaction of their own, after the writes
    // before them are committed.
    if (!s.commitBatch()) return false;
    s.catalogChanged();
  }
  if (auto* select = std::get_if<Select>(&st)) {
    // SELECT ... INTO makes a table: a definition and a write at once.
    if (!s.commitBatch()) return false;
    s.catalogChanged();
    StatementTransaction tx(s, false);
    if (!tx.begin() || !executeSelectInto(s, *select)) return false;
    return tx.commit();
  }
  // INSERT ... VALUES writes one row, which SQLite undoes alone when it fails
  // inside a batch: a savepoint around it would cost more than the row.
  const auto* insert = std::get_if<Insert>(&st);
  StatementTransaction tx(s, !definition, insert && !insert->select);
  if (!tx.begin()) return false;
  bool ok = std::visit(
      [&](const auto& x) -> bool {
        using T = std::decay_t<decltype(x)>;
        if constexpr (std::is_same_v<T, CreateTable>) return executeCreateTable(s, x);
        else if constexpr (std::is_same_v<T, DropTable>) return executeDropTable(s, x);
        else if constexpr (std::is_same_v<T, CreateIndex>) return executeCreateIndex(s, x);
        else if constexpr (std::is_same_v<T, DropIndex>) return executeDropIndex(s, x);
        else if constexpr (std::is_same_v<T, AlterTable>) return executeAlterTable(s, x);
        else if constexpr (std::is_same_v<T, Insert>) return executeInsert(s, x);
        else if constexpr (std::is_same_v<T, Update>) return executeUpdate(s, x);
        else if constexpr (std::is_same_v<T, Delete>) return executeDelete(s, x);
        else if constexpr (std::is_same_v<T, CreateView>) return executeCreateView(s, x);
        else if constexpr (std::is_same_v<T, DropView>) return executeDropView(s, x);
        else return false;
      },
      st);
  if (!ok) return false;
  return tx.commit();
}

bool compileWith(Session& s, const Select& select, const ParseNotes& notes, const std::vector<Value>& values,
                 CompiledSelect& cs) {
  BoundValues scope{s};
  learnParameters(s, notes, values);
  return compileSelect(s, select, cs);
}

bool parseAndCompile(Session& s, std::string_view sql, CompiledSelect& cs, std::string& table,
                     const std::vector<Value>& values = {}) {
  Statement st;
  ParseNotes notes;
  if (!parseStatement(sql, st, s.last, values.empty() ? nullptr : &notes)) return false;
  auto* select = std::get_if<Select>(&st);
  if (!select || !select->into.empty()) return s.fail(notASelect());
  table = select->table;
  return compileWith(s, *select, notes, values, cs);
}

// The shape of a statement: its text with each integer literal of at most
// nine digits replaced by a mark, and those literals in their order. Any
// other part of the text (strings, names, larger numbers) stays in it.
constexpr std::size_t kMaxShapeDigits = 9;
using Shape = Session::TextShape;

// One pass of the reader of Jet text over the statement: a Number token of
// digits alone is a literal; every other token stays in the key. Whatever
// it takes for a literal is checked by learnShape before a shape is reused.
Shape shapeOf(std::string_view sql) {
  Shape shape;
  shape.key.reserve(sql.size());
  std::size_t from = 0;
  sql::Tokens reader(sql);
  sql::Token t;
  while (reader.next(t)) {
    if (t.kind != sql::TokenKind::Number || t.text.size() > kMaxShapeDigits ||
        t.text.find_first_not_of("0123456789") != std::string_view::npos)
      continue;
    std::int64_t value = 0;
    for (char c : t.text) value = value * 10 + (c - '0');
    shape.key.append(sql.substr(from, t.offset - from));
    shape.key.push_back('\x01');
    shape.literals.push_back(value);
    shape.spans.emplace_back(t.offset, t.text.size());
    from = t.end();
  }
  shape.key.append(sql.substr(from));
  return shape;
}

// Whether `sql` is `known` (whose shape is `shape`) with other digits in
// the places of its literals, and nothing else changed; `shape` then
// becomes that of `sql`. Such a text reads as the same tokens: the
// characters around each literal are the same, so that what ends a number
// of digits alone in one ends it in the other, and what comes before it
// starts no word or number that it would join. One case needs care: a
// literal that becomes a lone 0 before an "x" would start Access's
// notation of bytes (0x...), and the text is then read in full.
bool sameShapeOtherDigits(std::string_view known, std::string_view sql, Shape& shape) {
  std::size_t from = 0, at = 0;  // in `known`, in `sql`
  std::vector<std::pair<std::size_t, std::size_t>> spans;
  std::vector<std::int64_t> literals;
  spans.reserve(shape.spans.size());
  literals.reserve(shape.spans.size());
  for (const auto& [offset, length] : shape.spans) {
    const std::size_t same = offset - from;
    if (sql.size() - at < same || sql.compare(at, same, known, from, same) != 0) return false;
    at += same;
    const std::size_t start = at;
    std::int64_t value = 0;
    while (at < sql.size() && sql[at] >= '0' && sql[at] <= '9' && at - start < kMaxShapeDigits + 1)
      value = value * 10 + (sql[at++] - '0');
    const std::size_t digits = at - start;
    if (digits == 0 || digits > kMaxShapeDigits) return false;
    if (digits == 1 && sql[start] == '0' && at < sql.size() && (sql[at] == 'x' || sql[at] == 'X')) return false;
    spans.emplace_back(start, digits);
    literals.push_back(value);
    from = offset + length;
  }
  if (known.substr(from) != sql.substr(at)) return false;
  shape.spans = std::move(spans);
  shape.literals = std::move(literals);
  return true;
}

// The shape of `sql`, kept in the session until the next query's.
const Shape& currentShape(Session& s, std::string_view sql) {
  if (s.lastShapeText.empty() || !sameShapeOtherDigits(s.lastShapeText, sql, s.lastShape))
    s.lastShape = shapeOf(sql);
  s.lastShapeText.assign(sql);
  return s.lastShape;
}

bool sameColumns(const std::vector<ColumnInfo>& a, const std::vector<ColumnInfo>& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (a[i].name != b[i].name || a[i].type != b[i].type || a[i].size != b[i].size || a[i].nullable != b[i].nullable)
      return false;
  return true;
}

// Whether `made`, compiled from `sql`, holds each literal of the shape as a
// parameter of its own and nothing else that depends on it: the text is
// compiled again with other numbers in their places, and only those
// parameters may differ. A shape that fails this is compiled every time.
Session::SelectShape learnShape(Session& s, std::string_view sql, const Shape& shape,
                                std::shared_ptr<const CompiledSelect> made, const std::string& table) {
  const CompiledSelect& cs = *made;
  Session::SelectShape learned;
  learned.table = table;
  learned.compiled = std::move(made);
  if (shape.literals.empty()) {
    learned.reusable = true;
    return learned;
  }
  std::string probe;
  std::vector<std::int64_t> probes;
  std::size_t from = 0;
  for (std::size_t i = 0; i < shape.spans.size(); ++i) {
    // Ten digits: never one of the literals, which have at most nine.
    const std::int64_t value = 1000000007 + static_cast<std::int64_t>(i) * 1009;
    probes.push_back(value);
    probe.append(sql.substr(from, shape.spans[i].first - from));
    probe += std::to_string(value);
    from = shape.spans[i].first + shape.spans[i].second;
  }
  probe.append(sql.substr(from));
  const Error saved = s.last;
  CompiledSelect other;
  std::string otherTable;
  const bool compiled = parseAndCompile(s, probe, other, otherTable);
  s.last = saved;
  if (!compiled || other.sql != cs.sql || other.params.size() != cs.params.size() || other.types != cs.types ||
      other.hasRowId != cs.hasRowId || !sameColumns(other.columns, cs.columns))
    return learned;
  std::vector<bool> used(cs.params.size(), false);
  for (std::size_t i = 0; i < probes.size(); ++i) {
    std::size_t found = cs.params.size();
    for (std::size_t j = 0; j < other.params.size(); ++j) {
      if (other.params[j] != Value::of(probes[i])) continue;
      if (found != cs.params.size() || used[j] || cs.params[j] != Value::of(shape.literals[i])) return learned;
      found = j;
    }
    if (found == cs.params.size()) return learned;
    used[found] = true;
    learned.slots.push_back(found);
  }
  for (std::size_t j = 0; j < cs.params.size(); ++j)
    if (!used[j] && other.params[j] != cs.params[j]) {
      learned.slots.clear();
      return learned;
    }
  learned.reusable = true;
  return learned;
}

}  // namespace

bool Database::execute(std::string_view sql) { return execute(sql, {}); }

bool Database::execute(std::string_view sql, const std::vector<Value>& values) {
  Session& s = *impl_;
  s.last = Error{};
  Statement st;
  ParseNotes notes;
  if (!parseStatement(sql, st, s.last, values.empty() ? nullptr : &notes)) return false;
  return executeStatement(s, st, notes, values, [&] { return query(sql, values); });
}

std::unique_ptr<Query> Database::query(std::string_view sql) { return query(sql, {}); }

std::unique_ptr<Query> Database::query(std::string_view sql, const std::vector<Value>& values) {
  Session& s = *impl_;
  s.last = Error{};
  CompiledSelect cs;
  std::string table;
  // Values bound are compiled into the statement: such a text is compiled
  // each time, never kept as a shape.
  if (!values.empty()) {
    if (!parseAndCompile(s, sql, cs, table, values)) return nullptr;
    return start(s, std::move(cs), table);
  }
  const Shape& current = currentShape(s, sql);
  auto known = s.shapes.find(current.key);
  if (known != s.shapes.end() && known->second.reusable) {
    const Session::SelectShape& hit = known->second;
    std::vector<Value> params = hit.compiled->params;
    for (std::size_t i = 0; i < current.literals.size(); ++i) params[hit.slots[i]] = Value::of(current.literals[i]);
    return start(s, hit.compiled, hit.table, &params);
  }
  // A copy: the session keeps the shape of the last query only, and what
  // follows compiles texts of its own before it is done with this one.
  const Shape shape = current;
  if (!parseAndCompile(s, sql, cs, table)) return nullptr;
  // One compiled form for the cache and this query.
  auto compiled = std::make_shared<const CompiledSelect>(std::move(cs));
  if (known == s.shapes.end()) {
    // A bound on the texts kept: a program that sends ever new shapes
    // starts over rather than grows.
    if (s.shapes.size() >= 512) s.shapes.clear();
    s.shapes.emplace(shape.key, learnShape(s, sql, shape, compiled, table));
  }
  return start(s, std::move(compiled), table);
}

std::unique_ptr<PreparedStatement> Database::prepare(std::string_view sql) {
  Session& s = *impl_;
  s.last = Error{};
  auto p = std::make_unique<PreparedStatement::Impl>();
  if (!parseStatement(sql, p->statement, s.last, &p->notes)) return nullptr;
  const std::vector<std::string> keys = parameterKeys(s, p->notes);
  const std::vector<std::optional<JetType>> types = parameterTypes(s.catalog, p->statement, p->notes, keys);
  for (std::size_t i = 0; i < keys.size(); ++i)
    p->parameters.push_back(ParameterInfo{keys[i].starts_with('\x01') ? "?" : keys[i], types[i]});
  const auto* select = std::get_if<Select>(&p->statement);
  p->returnsRows = select && select->into.empty();
  p->changesRows = std::holds_alternative<Insert>(p->statement) || std::holds_alternative<Update>(p->statement) ||
                   std::holds_alternative<Delete>(p->statement);
  if (p->returnsRows) {
    CompiledSelect cs;
    if (!compileWith(s, *select, p->notes, std::vector<Value>(keys.size()), cs)) return nullptr;
    p->columns = std::move(cs.columns);
  }
  return std::unique_ptr<PreparedStatement>(new PreparedStatement(std::move(p)));
}

bool Database::execute(const PreparedStatement& statement, const std::vector<Value>& values) {
  Session& s = *impl_;
  s.last = Error{};
  PreparedStatement::Impl& p = *statement.impl_;
  if (!values.empty() && p.keysFor != s.catalogVersion) {
    p.keys = parameterKeys(s, p.notes);
    p.keysFor = s.catalogVersion;
  }
  return executeStatement(s, p.statement, p.notes, values, [&] { return query(statement, values); },
                          values.empty() ? nullptr : &p.keys);
}

std::unique_ptr<Query> Database::query(const PreparedStatement& statement, const std::vector<Value>& values) {
  Session& s = *impl_;
  s.last = Error{};
  PreparedStatement::Impl& p = *statement.impl_;
  if (!p.returnsRows) {
    s.fail(notASelect());
    return nullptr;
  }
  const Select& select = std::get<Select>(p.statement);
  if (!values.empty()) {
    CompiledSelect cs;
    if (!compileWith(s, select, p.notes, values, cs)) return nullptr;
    return start(s, std::move(cs), select.table);
  }
  if (!p.compiled || p.compiledFor != s.catalogVersion) {
    CompiledSelect cs;
    if (!compileWith(s, select, p.notes, values, cs)) return nullptr;
    p.compiled = std::make_shared<const CompiledSelect>(std::move(cs));
    p.compiledFor = s.catalogVersion;
  }
  return start(s, p.compiled, select.table);
}

}  // namespace jetdb
