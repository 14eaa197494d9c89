#include "catalog.h"

#include <algorithm>
#include <unordered_map>

#include "sqlite_util.h"
#include "jetdb/text.h"

namespace jetdb {
namespace {

constexpr const char* kFormat = "jetdb 1";

std::string join(const std::vector<std::string>& names) {
  std::string out;
  for (const auto& n : names) {
    if (!out.empty()) out += '\n';
    out += n;
  }
  return out;
}

std::vector<std::string> split(const std::string& s) {
  std::vector<std::string> out;
  std::size_t start = 0;
  while (start <= s.size()) {
    std::size_t nl = s.find('\n', start);
    if (nl == std::string::npos) nl = s.size();
    out.push_back(s.substr(start, nl - start));
    start = nl + 1;
  }
  return out;
}

bool run(sqlite3*, Stmt& s) {
  int rc = s.step();
  return rc == SQLITE_DONE || rc == SQLITE_ROW;
}

}  // namespace

int TableMeta::findColumn(std::string_view n) const {
  // A table's names differ as Access compares them, so a name written as
  // the table has it is that column: the commonest case, found without
  // folding every name on the way.
  for (std::size_t i = 0; i < columns.size(); ++i)
    if (columns[i].name == n) return static_cast<int>(i);
  for (std::size_t i = 0; i < columns.size(); ++i)
    if (sameName(columns[i].name, n)) return static_cast<int>(i);
  return -1;
}

const IndexMeta* TableMeta::findIndex(std::string_view n) const {
  for (const auto& ix : indexes)
    if (sameName(ix.name, n)) return &ix;
  return nullptr;
}

const IndexMeta* TableMeta::indexLeadingWith(const std::vector<std::string>& columns, const IndexMeta* except) const {
  for (const auto& ix : indexes) {
    if (&ix == except || ix.columns.size() < columns.size()) continue;
    bool leads = true;
    for (std::size_t i = 0; i < columns.size() && leads; ++i) leads = sameName(ix.columns[i], columns[i]);
    if (leads) return &ix;
  }
  return nullptr;
}

bool TableMeta::columnRequired(std::size_t column) const {
  if (columns[column].required) return true;
  for (const auto& ix : indexes) {
    if (!ix.primary && !ix.disallowNull) continue;
    for (const auto& c : ix.columns)
      if (sameName(c, columns[column].name)) return true;
  }
  return false;
}

namespace {

// Column defaults live in a table of their own, made when the first one is
// defined: a file without any keeps the catalog tables it always had, and
// a reader that does not know of defaults reads it as before.
// Asked at every save of a table: SQLite's schema in memory answers it, where
// a query of sqlite_schema is compiled and reads the whole schema each time.
bool hasDefaultsTable(sqlite3* db) {
  return sqlite3_table_column_metadata(db, "main", "_jet_defaults", nullptr, nullptr, nullptr, nullptr, nullptr,
                                       nullptr) == SQLITE_OK;
}

bool saveDefaults(sqlite3* db, const TableMeta& tm) {
  const bool any = std::any_of(tm.columns.begin(), tm.columns.end(),
                               [](const ColumnMeta& c) { return !c.defaultText.empty(); });
  if (!hasDefaultsTable(db)) {
    if (!any) return true;
    Stmt create(db, "CREATE TABLE _jet_defaults(tbl TEXT NOT NULL, name TEXT NOT NULL, expr TEXT NOT NULL)");
    if (!create.ok() || !run(db, create)) return false;
  }
  Stmt d(db, "DELETE FROM _jet_defaults WHERE tbl = ?");
  Stmt i(db, "INSERT INTO _jet_defaults VALUES(?, ?, ?)");
  if (!d.ok() || !i.ok()) return false;
  d.bind(1, tm.name);
  if (!run(db, d)) return false;
  for (const auto& c : tm.columns) {
    if (c.defaultText.empty()) continue;
    i.reset();
    i.bind(1, tm.name);
    i.bind(2, c.name);
    i.bind(3, c.defaultText);
    if (!run(db, i)) return false;
  }
  return true;
}

}  // namespace

bool Catalog::create(sqlite3* db, std::string& detail) {
  static const char* kSchema =
      "CREATE TABLE _jet_meta(key TEXT PRIMARY KEY, value TEXT);"
      "CREATE TABLE _jet_tables(seq INTEGER PRIMARY KEY, name TEXT NOT NULL);"
      "CREATE TABLE _jet_columns(tbl TEXT NOT NULL, pos INTEGER NOT NULL, name TEXT NOT NULL, type TEXT NOT NULL,"
      " size INTEGER NOT NULL, required INTEGER NOT NULL);"
      "CREATE TABLE _jet_indexes(tbl TEXT NOT NULL, pos INTEGER NOT NULL, name TEXT NOT NULL, columns TEXT NOT NULL,"
      " uniq INTEGER NOT NULL, prim INTEGER NOT NULL, ignore_null INTEGER NOT NULL, disallow_null INTEGER NOT NULL);"
      "CREATE TABLE _jet_relations(seq INTEGER PRIMARY KEY, name TEXT NOT NULL, tbl TEXT NOT NULL,"
      " columns TEXT NOT NULL, ref_tbl TEXT NOT NULL, ref_columns TEXT NOT NULL);"
      "INSERT INTO _jet_meta VALUES('format', 'jetdb 1');";
  char* msg = nullptr;
  if (sqlite3_exec(db, kSchema, nullptr, nullptr, &msg) != SQLITE_OK) {
    detail = msg ? msg : "catalog";
    sqlite3_free(msg);
    return false;
  }
  return true;
}

bool Catalog::load(sqlite3* db) {
  changed();
  tables_.clear();
  relations_.clear();
  views_.clear();
  loadError_ = SQLITE_OK;
  if (readAll(db)) return true;
  // A catalog read in part is no catalog: a table without its relations
  // would take rows that break them. None at all makes every statement
  // fail instead.
  tables_.clear();
  relations_.clear();
  views_.clear();
  return false;
}

// Every statement's preparation and every step is checked: a step that
// fails (memory, the disk) ends its loop as the last row would, and must
// not pass for the end of the list.
bool Catalog::readAll(sqlite3* db) {
  auto prepared = [&](const Stmt& st) {
    if (!st.ok()) loadError_ = st.prepareCode() != SQLITE_OK ? st.prepareCode() : SQLITE_ERROR;
    return st.ok();
  };
  auto finished = [&](int rc) {
    if (rc != SQLITE_DONE) loadError_ = rc;
    return rc == SQLITE_DONE;
  };
  {
    Stmt s(db, "SELECT value FROM _jet_meta WHERE key = 'format'");
    if (!prepared(s)) return false;
    const int rc = s.step();
    // No such row, or another format: not a file of this driver.
    if (rc == SQLITE_DONE) return false;
    if (rc != SQLITE_ROW) return finished(rc);
    if (s.text(0) != kFormat) return false;
  }
  // Each list is read in one pass and dealt to its tables by name: a query
  // per table scanned the whole list once per table, most of the cost of
  // opening a file of forty tables.
  Stmt t(db, "SELECT name FROM _jet_tables ORDER BY seq");
  if (!prepared(t)) return false;
  std::unordered_map<std::string, std::vector<std::size_t>> byName;
  int rt;
  while ((rt = t.step()) == SQLITE_ROW) {
    TableMeta tm;
    tm.name = t.text(0);
    byName[tm.name].push_back(tables_.size());
    tables_.push_back(std::move(tm));
  }
  if (!finished(rt)) return false;
  const auto each = [&](const std::string& table, auto&& take) {
    if (const auto it = byName.find(table); it != byName.end())
      for (std::size_t i : it->second) take(tables_[i]);
  };

  Stmt c(db, "SELECT tbl, name, type, size, required FROM _jet_columns ORDER BY pos");
  if (!prepared(c)) return false;
  int rc;
  while ((rc = c.step()) == SQLITE_ROW) {
    // A row of no table listed is no column of the file's.
    if (!byName.contains(c.text(0))) continue;
    ColumnMeta cm;
    cm.name = c.text(1);
    std::string type = c.text(2);
    int size = static_cast<int>(c.integer(3));
    // A Text's size is its own column (files of earlier builds); the
    // other numbers a type takes are in its spelling ("DECIMAL(18,4)").
    auto ct = sameName(type, "TEXT") ? typeFromName(type, {size}) : typeFromSpelling(type);
    if (!ct) return false;
    cm.type = *ct;
    cm.required = c.integer(4) != 0;
    each(c.text(0), [&](TableMeta& tm) { tm.columns.push_back(cm); });
  }
  if (!finished(rc)) return false;

  if (hasDefaultsTable(db)) {
    Stmt defaults(db, "SELECT tbl, name, expr FROM _jet_defaults");
    if (!prepared(defaults)) return false;
    while ((rc = defaults.step()) == SQLITE_ROW) {
      const std::string column = defaults.text(1), expr = defaults.text(2);
      each(defaults.text(0), [&](TableMeta& tm) {
        for (auto& cm : tm.columns)
          if (cm.name == column) cm.defaultText = expr;
      });
    }
    if (!finished(rc)) return false;
  }

  Stmt x(db, "SELECT tbl, name, columns, uniq, prim, ignore_null, disallow_null FROM _jet_indexes ORDER BY pos");
  if (!prepared(x)) return false;
  while ((rc = x.step()) == SQLITE_ROW) {
    IndexMeta im;
    im.name = x.text(1);
    im.columns = split(x.text(2));
    im.unique = x.integer(3) != 0;
    im.primary = x.integer(4) != 0;
    im.ignoreNull = x.integer(5) != 0;
    im.disallowNull = x.integer(6) != 0;
    each(x.text(0), [&](TableMeta& tm) { tm.indexes.push_back(im); });
  }
  if (!finished(rc)) return false;

  Stmt r(db, "SELECT name, tbl, columns, ref_tbl, ref_columns FROM _jet_relations ORDER BY seq");
  if (!prepared(r)) return false;
  {
    Stmt has(db, "SELECT 1 FROM sqlite_schema WHERE type = 'table' AND name = '_jet_queries'");
    if (!prepared(has)) return false;
    const int rc = has.step();
    if (rc == SQLITE_ROW) {
      Stmt v(db, "SELECT name, sql FROM _jet_queries ORDER BY seq");
      if (!prepared(v)) return false;
      int rv;
      while ((rv = v.step()) == SQLITE_ROW) views_.push_back(ViewMeta{v.text(0), v.text(1)});
      if (!finished(rv)) return false;
    } else if (!finished(rc)) {
      return false;
    }
  }
  int rr;
  while ((rr = r.step()) == SQLITE_ROW) {
    RelationMeta rm;
    rm.name = r.text(0);
    rm.table = r.text(1);
    rm.columns = split(r.text(2));
    rm.refTable = r.text(3);
    rm.refColumns = split(r.text(4));
    relations_.push_back(std::move(rm));
  }
  return finished(rr);
}

void Catalog::index() const {
  if (indexed_) return;
  tableNames_.clear();
  childTables_.clear();
  parentTables_.clear();
  for (std::size_t i = 0; i < tables_.size(); ++i) tableNames_.add(tables_[i].name, i);
  for (std::size_t i = 0; i < relations_.size(); ++i) {
    childTables_.add(relations_[i].table, i);
    parentTables_.add(relations_[i].refTable, i);
  }
  indexed_ = true;
}

std::size_t Catalog::lookUp(std::string_view n) const {
  if (lastGeneration_ == generation_ && generation_ != 0 && n == lastName_) return lastFound_;
  index();
  lastFound_ = tableNames_.first(n, tables_.size());
  lastName_.assign(n);
  lastGeneration_ = generation_;
  return lastFound_;
}
TableMeta* Catalog::findTable(std::string_view n) {
  const std::size_t i = lookUp(n);
  return i < tables_.size() ? &tables_[i] : nullptr;
}
const TableMeta* Catalog::findTable(std::string_view n) const {
  const std::size_t i = lookUp(n);
  return i < tables_.size() ? &tables_[i] : nullptr;
}

std::vector<const RelationMeta*> Catalog::relationsOf(std::string_view table) const {
  index();
  std::vector<const RelationMeta*> out;
  for (std::size_t i : childTables_.find(table)) out.push_back(&relations_[i]);
  return out;
}
std::vector<const RelationMeta*> Catalog::relationsTo(std::string_view table) const {
  index();
  std::vector<const RelationMeta*> out;
  for (std::size_t i : parentTables_.find(table)) out.push_back(&relations_[i]);
  return out;
}

bool Catalog::saveTable(sqlite3* db, const TableMeta& tm, bool isNew) {
  if (isNew) {
    Stmt s(db, "INSERT INTO _jet_tables(name) VALUES(?)");
    s.bind(1, tm.name);
    if (!s.ok() || !run(db, s)) return false;
  }
  Stmt dc(db, "DELETE FROM _jet_columns WHERE tbl = ?");
  Stmt dx(db, "DELETE FROM _jet_indexes WHERE tbl = ?");
  Stmt ic(db, "INSERT INTO _jet_columns VALUES(?, ?, ?, ?, ?, ?)");
  Stmt ix(db, "INSERT INTO _jet_indexes VALUES(?, ?, ?, ?, ?, ?, ?, ?)");
  if (!dc.ok() || !dx.ok() || !ic.ok() || !ix.ok()) return false;
  dc.bind(1, tm.name);
  dx.bind(1, tm.name);
  if (!run(db, dc) || !run(db, dx)) return false;
  for (std::size_t i = 0; i < tm.columns.size(); ++i) {
    const auto& c = tm.columns[i];
    ic.reset();
    ic.bind(1, tm.name);
    ic.bind(2, static_cast<std::int64_t>(i));
    ic.bind(3, c.name);
    ic.bind(4, c.type.type == JetType::Text ? std::string(typeName(c.type.type)) : typeSpelling(c.type));
    ic.bind(5, static_cast<std::int64_t>(c.type.size));
    ic.bind(6, static_cast<std::int64_t>(c.required));
    if (!run(db, ic)) return false;
  }
  for (std::size_t i = 0; i < tm.indexes.size(); ++i) {
    const auto& x = tm.indexes[i];
    ix.reset();
    ix.bind(1, tm.name);
    ix.bind(2, static_cast<std::int64_t>(i));
    ix.bind(3, x.name);
    ix.bind(4, join(x.columns));
    ix.bind(5, static_cast<std::int64_t>(x.unique));
    ix.bind(6, static_cast<std::int64_t>(x.primary));
    ix.bind(7, static_cast<std::int64_t>(x.ignoreNull));
    ix.bind(8, static_cast<std::int64_t>(x.disallowNull));
    if (!run(db, ix)) return false;
  }
  if (!saveDefaults(db, tm)) return false;
  if (TableMeta* existing = findTable(tm.name)) *existing = tm;
  else tables_.push_back(tm);
  changed();
  return true;
}

bool Catalog::removeTable(sqlite3* db, std::string_view name) {
  for (const char* sql : {"DELETE FROM _jet_tables WHERE name = ?", "DELETE FROM _jet_columns WHERE tbl = ?",
                          "DELETE FROM _jet_indexes WHERE tbl = ?"}) {
    Stmt s(db, sql);
    if (!s.ok()) return false;
    s.bind(1, name);
    if (!run(db, s)) return false;
  }
  if (hasDefaultsTable(db)) {
    Stmt s(db, "DELETE FROM _jet_defaults WHERE tbl = ?");
    if (!s.ok()) return false;
    s.bind(1, name);
    if (!run(db, s)) return false;
  }
  std::erase_if(tables_, [&](const TableMeta& t) { return t.name == name; });
  changed();
  return true;
}

bool Catalog::addRelation(sqlite3* db, const RelationMeta& rm) {
  Stmt s(db, "INSERT INTO _jet_relations(name, tbl, columns, ref_tbl, ref_columns) VALUES(?, ?, ?, ?, ?)");
  if (!s.ok()) return false;
  s.bind(1, rm.name);
  s.bind(2, rm.table);
  s.bind(3, join(rm.columns));
  s.bind(4, rm.refTable);
  s.bind(5, join(rm.refColumns));
  if (!run(db, s)) return false;
  relations_.push_back(rm);
  changed();
  return true;
}

bool Catalog::removeRelation(sqlite3* db, std::string_view table, std::string_view name) {
  Stmt s(db, "DELETE FROM _jet_relations WHERE tbl = ? AND name = ?");
  if (!s.ok()) return false;
  s.bind(1, table);
  s.bind(2, name);
  if (!run(db, s)) return false;
  std::erase_if(relations_, [&](const RelationMeta& r) { return r.table == table && r.name == name; });
  changed();
  return true;
}

const ViewMeta* Catalog::findView(std::string_view n) const {
  for (const auto& v : views_)
    if (sameName(v.name, n)) return &v;
  return nullptr;
}

bool Catalog::saveView(sqlite3* db, const ViewMeta& view) {
  Stmt make(db, "CREATE TABLE IF NOT EXISTS _jet_queries(seq INTEGER PRIMARY KEY, name TEXT NOT NULL, sql TEXT NOT NULL)");
  if (!make.ok() || !run(db, make)) return false;
  Stmt s(db, "INSERT INTO _jet_queries(name, sql) VALUES(?, ?)");
  if (!s.ok()) return false;
  s.bind(1, view.name);
  s.bind(2, view.sql);
  if (!run(db, s)) return false;
  views_.push_back(view);
  return true;
}

bool Catalog::removeView(sqlite3* db, std::string_view name) {
  Stmt s(db, "DELETE FROM _jet_queries WHERE name = ?");
  if (!s.ok()) return false;
  s.bind(1, name);
  if (!run(db, s)) return false;
  std::erase_if(views_, [&](const ViewMeta& v) { return v.name == name; });
  return true;
}

void appendQuoted(std::string& out, std::string_view name) {
  out.reserve(out.size() + name.size() + 2);
  out += '"';
  for (std::size_t from = 0;;) {
    const std::size_t quote = name.find('"', from);
    if (quote == std::string_view::npos) {
      out.append(name.substr(from));
      break;
    }
    out.append(name.substr(from, quote + 1 - from));
    out += '"';
    from = quote + 1;
  }
  out += '"';
}

std::string quoteIdent(std::string_view name) {
  std::string out;
  appendQuoted(out, name);
  return out;
}

std::string sqliteIndexName(std::string_view table, std::string_view index) {
  // '.' cannot appear in a Jet name, so the pair is never ambiguous.
  return "jetix." + std::string(table) + "." + std::string(index);
}
std::string sqliteRelationIndexName(std::string_view table, std::string_view relation) {
  return "jetfk." + std::string(table) + "." + std::string(relation);
}

}  // namespace jetdb
