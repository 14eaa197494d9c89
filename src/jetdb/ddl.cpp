// Definition statements. Each changes the SQLite schema and the catalog
// together inside its statement transaction, so it applies whole or not at
// all. Jet rules are checked before SQLite is touched wherever possible, so
// that the error names the Jet objects.
#include <algorithm>

#include "errors.h"
#include "executors.h"
#include "jetdb/text.h"

namespace jetdb {

bool validObjectName(std::string_view name) {
  if (name.empty() || name.size() > 64 || name.front() == ' ') return false;
  for (unsigned char c : name)
    if (c < 0x20 || c == '.' || c == '!' || c == '`' || c == '[' || c == ']') return false;
  auto starts = [&](std::string_view p) { return name.size() >= p.size() && sameName(name.substr(0, p.size()), p); };
  return !starts("_jet_") && !starts("sqlite_") && !starts("jetix") && !starts("jetfk");
}

namespace {

bool exec(Session& s, const std::string& sql, std::string_view table = {}) {
  Stmt st(s.db, sql);
  if (!st.ok()) return s.fail(s.sqliteError(table));
  int rc = st.step();
  if (rc == SQLITE_DONE || rc == SQLITE_ROW) return true;
  return s.fail(s.sqliteError(table));
}

std::string quotedList(const std::vector<std::string>& names) {
  std::string out;
  for (const auto& n : names) out += (out.empty() ? "" : ", ") + quoteIdent(n);
  return out;
}

// The SQLite declaration of a Jet column. Every column carries the Jet
// collation: for text it gives Access comparisons; for other values SQLite
// ignores it. Types are the catalog's business, so no affinity is declared
// and SQLite stores what the driver binds. The Bit default fills the rows
// that exist when a Bit column is added; every write names every column.
std::string columnSql(const ColumnMeta& c) {
  return quoteIdent(c.name) + " COLLATE JETNOCASE" + (c.type.type == JetType::Bit ? " DEFAULT 0" : "");
}

bool usesColumn(const std::vector<std::string>& columns, std::string_view c) {
  return std::any_of(columns.begin(), columns.end(), [&](const std::string& x) { return sameName(x, c); });
}

bool sameColumnSet(const std::vector<std::string>& a, const std::vector<std::string>& b) {
  if (a.size() != b.size()) return false;
  return std::all_of(a.begin(), a.end(), [&](const std::string& x) { return usesColumn(b, x); });
}

bool nameTaken(Session& s, const TableMeta& t, std::string_view name) {
  if (t.findIndex(name)) return true;
  for (const RelationMeta* r : s.catalog.relationsOf(t.name))
    if (sameName(r->name, name)) return true;
  return false;
}

// Resolves written column names to the table's spelling.
bool resolveColumns(Session& s, const TableMeta& t, const std::vector<std::string>& names,
                    std::vector<std::string>& out) {
  out.clear();
  for (const auto& n : names) {
    int c = t.findColumn(n);
    if (c < 0) return s.fail(errors::columnNotFound(n, t.name));
    if (usesColumn(out, n)) return s.fail(errors::columnTwice(n));
    out.push_back(t.columns[static_cast<std::size_t>(c)].name);
  }
  return true;
}

// Adds an index to `t` (in memory and in SQLite); the caller saves `t`.
bool addIndex(Session& s, TableMeta& t, IndexMeta ix) {
  if (!validObjectName(ix.name)) return s.fail(errors::invalidName(ix.name));
  if (nameTaken(s, t, ix.name)) return s.fail(errors::indexExists(ix.name, t.name));
  std::vector<std::string> cols;
  if (!resolveColumns(s, t, ix.columns, cols)) return false;
  ix.columns = cols;
  for (const auto& c : cols) {
    JetType type = t.columns[static_cast<std::size_t>(t.findColumn(c))].type.type;
    if (type == JetType::Memo)
      return s.fail(makeError("HY000", 3409, "Impossible d'indexer le champ Mémo '" + c + "'."));
  }
  if (ix.primary) {
    for (const auto& other : t.indexes)
      if (other.primary) return s.fail(errors::primaryKeyExists(t.name));
    ix.unique = true;
  }
  if (ix.primary || ix.disallowNull) {
    std::string where;
    for (const auto& c : cols) where += (where.empty() ? "" : " OR ") + quoteIdent(c) + " IS NULL";
    Stmt st(s.db, "SELECT 1 FROM " + quoteIdent(t.name) + " WHERE " + where + " LIMIT 1");
    if (!st.ok()) return s.fail(s.sqliteError(t.name));
    int rc = st.step();
    if (rc == SQLITE_ROW) return s.fail(errors::nullNotAllowed(t.name, cols.front()));
    if (rc != SQLITE_DONE) return s.fail(s.sqliteError(t.name));
  }
  std::string sql = std::string("CREATE ") + (ix.unique ? "UNIQUE " : "") + "INDEX " +
                    quoteIdent(sqliteIndexName(t.name, ix.name)) + " ON " + quoteIdent(t.name) + " (" +
                    quotedList(cols) + ")";
  Stmt st(s.db, sql);
  if (!st.ok()) return s.fail(s.sqliteError(t.name));
  int rc = st.step();
  if ((rc & 0xFF) == SQLITE_CONSTRAINT) return s.fail(errors::duplicateValues(t.name));
  if (rc != SQLITE_DONE) return s.fail(s.sqliteError(t.name));
  t.indexes.push_back(std::move(ix));
  return true;
}

// The unique index of `parent` that a relation to `columns` leans on.
const IndexMeta* uniqueIndexOn(const TableMeta& parent, const std::vector<std::string>& columns) {
  for (const auto& ix : parent.indexes)
    if (ix.unique && sameColumnSet(ix.columns, columns)) return &ix;
  return nullptr;
}

bool compatible(JetType a, JetType b) {
  auto norm = [](JetType t) { return t == JetType::Counter ? JetType::Long : t == JetType::Memo ? JetType::Text : t; };
  return norm(a) == norm(b);
}

bool createRelationIndex(Session& s, const std::string& table, const RelationMeta& r) {
  return exec(s,
              "CREATE INDEX IF NOT EXISTS " + quoteIdent(sqliteRelationIndexName(table, r.name)) + " ON " +
                  quoteIdent(table) + " (" + quotedList(r.columns) + ")",
              table);
}

bool addRelation(Session& s, const TableMeta& child, const ConstraintDef& k) {
  RelationMeta r;
  r.name = k.name.empty() ? k.refTable + child.name : k.name;
  if (!validObjectName(r.name)) return s.fail(errors::invalidName(r.name));
  r.table = child.name;
  if (nameTaken(s, child, r.name)) return s.fail(errors::indexExists(r.name, child.name));
  if (!resolveColumns(s, child, k.columns, r.columns)) return false;
  const TableMeta* parent = s.catalog.findTable(k.refTable);
  if (!parent) return s.fail(errors::tableNotFound(k.refTable));
  r.refTable = parent->name;
  if (k.refColumns.empty()) {
    for (const auto& ix : parent->indexes)
      if (ix.primary) r.refColumns = ix.columns;
    if (r.refColumns.empty()) return s.fail(errors::noUniqueIndex(parent->name));
  } else if (!resolveColumns(s, *parent, k.refColumns, r.refColumns)) {
    return false;
  }
  if (r.refColumns.size() != r.columns.size()) return s.fail(errors::relationTypes(r.name));
  for (std::size_t i = 0; i < r.columns.size(); ++i) {
    JetType a = child.columns[static_cast<std::size_t>(child.findColumn(r.columns[i]))].type.type;
    JetType b = parent->columns[static_cast<std::size_t>(parent->findColumn(r.refColumns[i]))].type.type;
    if (!compatible(a, b)) return s.fail(errors::relationTypes(r.name));
  }
  if (!uniqueIndexOn(*parent, r.refColumns)) return s.fail(errors::noUniqueIndex(parent->name));

  // Rows that already break the relation make it fail, as in Access.
  std::string sql = "SELECT 1 FROM " + quoteIdent(child.name) + " AS c WHERE ";
  std::string match;
  for (std::size_t i = 0; i < r.columns.size(); ++i) {
    sql += "c." + quoteIdent(r.columns[i]) + " IS NOT NULL AND ";
    match += (i ? " AND " : "") + std::string("p.") + quoteIdent(r.refColumns[i]) + " = c." + quoteIdent(r.columns[i]);
  }
  sql += "NOT EXISTS (SELECT 1 FROM " + quoteIdent(parent->name) + " AS p WHERE " + match + ") LIMIT 1";
  Stmt st(s.db, sql);
  if (!st.ok()) return s.fail(s.sqliteError(child.name));
  int rc = st.step();
  if (rc == SQLITE_ROW) return s.fail(errors::relationBroken(r.name));
  if (rc != SQLITE_DONE) return s.fail(s.sqliteError(child.name));

  // Jet keeps an index on the referring side of every relation; so do we,
  // so that deleting a parent row finds its children without a scan. An
  // index of the table that leads with the relation's columns already does
  // that (link tables index their keys before they are related): a second
  // one would cost a sort of the whole table now and one more entry to
  // write with every row from then on.
  if (!child.indexLeadingWith(r.columns) && !createRelationIndex(s, child.name, r)) return false;
  if (!s.catalog.addRelation(s.db, r)) return s.fail(s.sqliteError(child.name));
  return true;
}

bool dropRelation(Session& s, const RelationMeta& r) {
  std::string table = r.table, name = r.name;
  if (!exec(s, "DROP INDEX IF EXISTS " + quoteIdent(sqliteRelationIndexName(table, name)), table)) return false;
  if (!s.catalog.removeRelation(s.db, table, name)) return s.fail(s.sqliteError(table));
  return true;
}

bool dropIndex(Session& s, TableMeta& t, const std::string& name) {
  auto it = std::find_if(t.indexes.begin(), t.indexes.end(), [&](const IndexMeta& ix) { return sameName(ix.name, name); });
  if (it == t.indexes.end()) return s.fail(errors::indexNotFound(name, t.name));
  if (it->unique) {
    // A relation needs a unique index on the referred columns.
    for (const RelationMeta* r : s.catalog.relationsTo(t.name)) {
      if (!sameColumnSet(r->refColumns, it->columns)) continue;
      int others = 0;
      for (const auto& ix : t.indexes)
        if (ix.unique && sameColumnSet(ix.columns, it->columns)) ++others;
      if (others < 2)
        return s.fail(makeError("HY000", 3281, "Impossible de supprimer l'index '" + it->name + "' de la table '" +
                                                   t.name + "'. Il est utilisé dans une ou plusieurs relations."));
    }
  }
  // A relation that searched its children through this index gets one of
  // its own, unless another index leads with its columns too.
  for (const RelationMeta* r : s.catalog.relationsOf(t.name))
    if (t.indexLeadingWith(r->columns) && !t.indexLeadingWith(r->columns, &*it) && !createRelationIndex(s, t.name, *r))
      return false;
  if (!exec(s, "DROP INDEX " + quoteIdent(sqliteIndexName(t.name, it->name)), t.name)) return false;
  t.indexes.erase(it);
  return true;
}

// Index constraints written in a column or table definition.
IndexMeta indexFromConstraint(const ConstraintDef& k, std::string_view table) {
  IndexMeta ix;
  ix.columns = k.columns;
  ix.primary = k.kind == ConstraintDef::Kind::PrimaryKey;
  ix.unique = true;
  ix.name = !k.name.empty() ? k.name : ix.primary ? "PrimaryKey" : "Index_" + std::string(table) + "_" + k.columns.front();
  return ix;
}

// The DEFAULT of the last column of `t`, when it has one, must give a value
// of its type: a definition that would refuse every row it fills is
// refused itself.
bool checkDefault(Session& s, const TableMeta& t) {
  if (t.columns.back().defaultText.empty()) return true;
  if (t.columns.back().type.type == JetType::Counter) return s.fail(errors::syntax("la définition du champ " + t.columns.back().name));
  Value v;
  return columnDefault(s, t, t.columns.size() - 1, v);
}

// Checks a column definition that is about to join `t`.
bool checkNewColumn(Session& s, const TableMeta& t, const ColumnDef& c) {
  if (!validObjectName(c.name)) return s.fail(errors::invalidName(c.name));
  if (t.findColumn(c.name) >= 0) return s.fail(errors::columnExists(c.name, t.name));
  return true;
}

bool applyColumnConstraints(Session& s, TableMeta& t, const std::vector<ColumnDef>& columns,
                            std::vector<ConstraintDef>& relations) {
  for (const auto& c : columns) {
    for (const auto& k : c.constraints) {
      if (k.kind == ConstraintDef::Kind::ForeignKey) relations.push_back(k);
      else if (k.kind != ConstraintDef::Kind::NotNull && !addIndex(s, t, indexFromConstraint(k, t.name))) return false;
    }
  }
  return true;
}

bool alterColumn(Session& s, TableMeta& t, const ColumnDef& def) {
  int ci = t.findColumn(def.name);
  if (ci < 0) return s.fail(errors::columnNotFound(def.name, t.name));
  ColumnMeta& col = t.columns[static_cast<std::size_t>(ci)];
  for (const auto& ix : t.indexes)
    if (usesColumn(ix.columns, col.name)) return s.fail(errors::columnInIndex(col.name, t.name));
  for (const auto& r : s.catalog.relations())
    if ((sameName(r.table, t.name) && usesColumn(r.columns, col.name)) ||
        (sameName(r.refTable, t.name) && usesColumn(r.refColumns, col.name)))
      return s.fail(errors::columnInRelation(col.name, t.name));
  if (def.type.type == JetType::Counter && col.type.type != JetType::Counter)
    return s.fail(makeError("HY000", 3286, "Impossible de convertir le champ '" + col.name + "' en NuméroAuto."));

  // Convert every stored value; one that does not fit fails the statement.
  bool widening = isTextType(col.type.type) &&
                  (def.type.type == JetType::Memo || (def.type.type == JetType::Text && col.type.type == JetType::Text &&
                                                      def.type.size >= col.type.size));
  ColumnMeta next = col;
  next.type = def.type;
  next.required = def.notNull;
  next.defaultText = def.defaultText;
  {
    TableMeta probe;
    probe.name = t.name;
    probe.columns.push_back(next);
    if (!checkDefault(s, probe)) return false;
  }
  if (!widening || next.required) {
    Stmt read(s.db, std::string("SELECT ") + kRowColumn + ", " + quoteIdent(col.name) + " FROM " + quoteIdent(t.name));
    Stmt write(s.db, "UPDATE " + quoteIdent(t.name) + " SET " + quoteIdent(col.name) + " = ? WHERE " + kRowColumn +
                         " = ?");
    if (!read.ok() || !write.ok()) return s.fail(s.sqliteError(t.name));
    int rc;
    while ((rc = read.step()) == SQLITE_ROW) {
      Value in = readValue(read.get(), 1, col.type.type), out;
      if (!coerce(next.type, col.name, in, out, s.last)) return false;
      if (out.isNull() && next.required) return s.fail(errors::nullNotAllowed(t.name, col.name));
      if (out == in && next.type.type != JetType::Bit) continue;
      write.bind(1, out);
      write.bind(2, read.integer(0));
      if (write.step() != SQLITE_DONE) return s.fail(s.sqliteError(t.name));
      write.reset();
    }
    if (rc != SQLITE_DONE) return s.fail(s.sqliteError(t.name));
  }
  col = next;
  return true;
}

}  // namespace

bool executeCreateTable(Session& s, const CreateTable& st) {
  if (!validObjectName(st.table)) return s.fail(errors::invalidName(st.table));
  if (s.catalog.findTable(st.table) || s.catalog.findView(st.table)) return s.fail(errors::tableExists(st.table));
  TableMeta t;
  t.name = st.table;
  std::string cols = std::string(kRowColumn) + " INTEGER PRIMARY KEY";
  for (const auto& c : st.columns) {
    if (!validObjectName(c.name)) return s.fail(errors::invalidName(c.name));
    if (t.findColumn(c.name) >= 0) return s.fail(errors::columnTwice(c.name));
    t.columns.push_back(ColumnMeta{c.name, c.type, c.notNull, c.defaultText});
    if (!checkDefault(s, t)) return false;
    cols += ", " + columnSql(t.columns.back());
  }
  if (t.columns.empty()) return s.fail(errors::syntax("l'instruction CREATE TABLE"));
  if (!exec(s, "CREATE TABLE " + quoteIdent(t.name) + " (" + cols + ")", t.name)) return false;
  std::vector<ConstraintDef> relations;
  if (!applyColumnConstraints(s, t, st.columns, relations)) return false;
  for (const auto& k : st.constraints) {
    if (k.kind == ConstraintDef::Kind::ForeignKey) relations.push_back(k);
    else if (!addIndex(s, t, indexFromConstraint(k, t.name))) return false;
  }
  if (!s.catalog.saveTable(s.db, t, true)) return s.fail(s.sqliteError(t.name));
  for (const auto& k : relations) {
    const TableMeta* saved = s.catalog.findTable(t.name);
    if (!addRelation(s, *saved, k)) return false;
  }
  return true;
}

bool executeDropTable(Session& s, const DropTable& st) {
  const TableMeta* t = s.catalog.findTable(st.table);
  if (!t) return s.fail(errors::tableNotFound(st.table));
  if (!s.catalog.relationsOf(t->name).empty() || !s.catalog.relationsTo(t->name).empty())
    return s.fail(errors::tableInRelation(t->name));
  std::string name = t->name;
  if (!exec(s, "DROP TABLE " + quoteIdent(name), name)) return false;
  if (!s.catalog.removeTable(s.db, name)) return s.fail(s.sqliteError(name));
  return true;
}

bool executeCreateIndex(Session& s, const CreateIndex& st) {
  const TableMeta* found = s.catalog.findTable(st.table);
  if (!found) return s.fail(errors::tableNotFound(st.table));
  TableMeta t = *found;
  IndexMeta ix;
  ix.name = st.name;
  ix.columns = st.columns;
  ix.unique = st.unique;
  ix.primary = st.primary;
  ix.disallowNull = st.disallowNull;
  ix.ignoreNull = st.ignoreNull;
  if (!addIndex(s, t, std::move(ix))) return false;
  if (!s.catalog.saveTable(s.db, t, false)) return s.fail(s.sqliteError(t.name));
  return true;
}

bool executeDropIndex(Session& s, const DropIndex& st) {
  const TableMeta* found = s.catalog.findTable(st.table);
  if (!found) return s.fail(errors::tableNotFound(st.table));
  TableMeta t = *found;
  if (!dropIndex(s, t, st.name)) return false;
  if (!s.catalog.saveTable(s.db, t, false)) return s.fail(s.sqliteError(t.name));
  return true;
}

bool executeAlterTable(Session& s, const AlterTable& st) {
  const TableMeta* found = s.catalog.findTable(st.table);
  if (!found) return s.fail(errors::tableNotFound(st.table));
  TableMeta t = *found;
  using A = AlterTable::Action;
  switch (st.action) {
    case A::AddColumns: {
      for (const auto& c : st.columns) {
        if (!checkNewColumn(s, t, c)) return false;
        t.columns.push_back(ColumnMeta{c.name, c.type, c.notNull, c.defaultText});
        if (!checkDefault(s, t)) return false;
        if (!exec(s, "ALTER TABLE " + quoteIdent(t.name) + " ADD COLUMN " + columnSql(t.columns.back()), t.name))
          return false;
        if (c.type.type == JetType::Counter &&
            !exec(s, "UPDATE " + quoteIdent(t.name) + " SET " + quoteIdent(c.name) + " = " + kRowColumn, t.name))
          return false;
      }
      std::vector<ConstraintDef> relations;
      if (!applyColumnConstraints(s, t, st.columns, relations)) return false;
      if (!s.catalog.saveTable(s.db, t, false)) return s.fail(s.sqliteError(t.name));
      for (const auto& k : relations)
        if (!addRelation(s, *s.catalog.findTable(t.name), k)) return false;
      return true;
    }
    case A::DropColumns: {
      for (const auto& n : st.names) {
        int ci = t.findColumn(n);
        if (ci < 0) return s.fail(errors::columnNotFound(n, t.name));
        std::string col = t.columns[static_cast<std::size_t>(ci)].name;
        for (const auto& ix : t.indexes)
          if (usesColumn(ix.columns, col)) return s.fail(errors::columnInIndex(col, t.name));
        for (const auto& r : s.catalog.relations())
          if ((sameName(r.table, t.name) && usesColumn(r.columns, col)) ||
              (sameName(r.refTable, t.name) && usesColumn(r.refColumns, col)))
            return s.fail(errors::columnInRelation(col, t.name));
        if (t.columns.size() == 1) return s.fail(errors::lastColumn(t.name));
        if (!exec(s, "ALTER TABLE " + quoteIdent(t.name) + " DROP COLUMN " + quoteIdent(col), t.name)) return false;
        t.columns.erase(t.columns.begin() + ci);
      }
      if (!s.catalog.saveTable(s.db, t, false)) return s.fail(s.sqliteError(t.name));
      return true;
    }
    case A::AlterColumn: {
      if (!alterColumn(s, t, st.columns.front())) return false;
      std::vector<ConstraintDef> relations;
      if (!applyColumnConstraints(s, t, st.columns, relations)) return false;
      if (!s.catalog.saveTable(s.db, t, false)) return s.fail(s.sqliteError(t.name));
      for (const auto& k : relations)
        if (!addRelation(s, *s.catalog.findTable(t.name), k)) return false;
      return true;
    }
    case A::AddConstraint: {
      const ConstraintDef& k = st.constraint;
      if (k.kind == ConstraintDef::Kind::ForeignKey) return addRelation(s, t, k);
      if (!addIndex(s, t, indexFromConstraint(k, t.name))) return false;
      if (!s.catalog.saveTable(s.db, t, false)) return s.fail(s.sqliteError(t.name));
      return true;
    }
    case A::DropConstraint: {
      const std::string& name = st.names.front();
      for (const RelationMeta* r : s.catalog.relationsOf(t.name))
        if (sameName(r->name, name)) return dropRelation(s, RelationMeta(*r));
      if (t.findIndex(name)) {
        if (!dropIndex(s, t, name)) return false;
        if (!s.catalog.saveTable(s.db, t, false)) return s.fail(s.sqliteError(t.name));
        return true;
      }
      // Access also finds a relation through the table it refers to.
      for (const RelationMeta* r : s.catalog.relationsTo(t.name))
        if (sameName(r->name, name)) return dropRelation(s, RelationMeta(*r));
      return s.fail(errors::constraintNotFound(name, t.name));
    }
  }
  return false;
}

}  // namespace jetdb
