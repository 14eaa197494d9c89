// The driver's own catalog, kept in tables of the file itself so that a
// file describes itself: Jet type and size of every column, column order,
// indexes (primary keys and unique constraints among them) with their
// per-table names, and relations.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "jetdb/jetdb.h"
#include "name_index.h"
#include "types.h"

// Read and written through the caller's connection: the compiler, which
// reads the catalog, never sees SQLite.
struct sqlite3;

namespace jetdb {

// Every Jet table is an SQLite table whose first column is this one, an
// INTEGER PRIMARY KEY: it is the row identity handed to the layer above,
// and unlike a bare rowid it never changes, not even on VACUUM.
inline constexpr const char* kRowColumn = "_jet_row";

struct ColumnMeta {
  std::string name;
  ColumnType type;
  bool required = false;    // NOT NULL
  std::string defaultText;  // the DEFAULT expression, as written; empty without one
};

struct IndexMeta {
  std::string name;
  std::vector<std::string> columns;
  bool unique = false, primary = false, ignoreNull = false, disallowNull = false;
};

struct RelationMeta {
  std::string name;
  std::string table;  // the referring (child) table
  std::vector<std::string> columns;
  std::string refTable;
  std::vector<std::string> refColumns;
};

// A saved query (CREATE VIEW): its name and the text of its SELECT.
struct ViewMeta {
  std::string name;
  std::string sql;
};

struct TableMeta {
  std::string name;
  std::vector<ColumnMeta> columns;
  std::vector<IndexMeta> indexes;

  int findColumn(std::string_view name) const;  // -1 when absent
  const IndexMeta* findIndex(std::string_view name) const;
  // An index whose leading columns are `columns`, in their order: SQLite
  // searches it on them as on an index of those columns alone. Null when
  // none is; `except` is passed over.
  const IndexMeta* indexLeadingWith(const std::vector<std::string>& columns, const IndexMeta* except = nullptr) const;
  // True when the column may not hold Null: NOT NULL, or part of the primary
  // key or of an index that disallows Null.
  bool columnRequired(std::size_t column) const;
};

class Catalog {
 public:
  // The catalog tables of a new file, and the mark that says it is one.
  static bool create(sqlite3* db, std::string& detail);
  // False when `db` holds no catalog (not a file of this driver), or when
  // reading it failed; the catalog is then empty, never read in part.
  bool load(sqlite3* db);
  // After a failed load: SQLite's code of the failure (memory, the disk, a
  // lock), or SQLITE_OK (0) when what was read is not a catalog.
  int loadError() const { return loadError_; }

  TableMeta* findTable(std::string_view name);
  const TableMeta* findTable(std::string_view name) const;
  const std::vector<TableMeta>& tables() const { return tables_; }
  const std::vector<RelationMeta>& relations() const { return relations_; }
  std::vector<const RelationMeta*> relationsOf(std::string_view table) const;     // as child
  std::vector<const RelationMeta*> relationsTo(std::string_view table) const;     // as parent
  const std::vector<ViewMeta>& views() const { return views_; }
  const ViewMeta* findView(std::string_view name) const;
  // Changes with every change to the lists above (and every load): what was
  // found in them, pointers included, holds while it stays the same.
  std::uint64_t generation() const { return generation_; }

  // Writers used by the definition statements inside their transaction;
  // each returns false on a storage error. The in-memory catalog is updated
  // too; after a rolled-back statement the caller reloads it.
  bool saveTable(sqlite3* db, const TableMeta& table, bool isNew);
  bool removeTable(sqlite3* db, std::string_view name);
  bool addRelation(sqlite3* db, const RelationMeta& relation);
  bool removeRelation(sqlite3* db, std::string_view table, std::string_view name);
  // Saved queries live in a table of their own, made by the first one: a
  // file without any is as earlier builds wrote it.
  bool saveView(sqlite3* db, const ViewMeta& view);
  bool removeView(sqlite3* db, std::string_view name);

 private:
  // The indexes of names below follow the lists; any change to a list
  // drops them, and the next lookup makes them again.
  void changed() {
    indexed_ = false;
    ++generation_;
  }
  void index() const;
  bool readAll(sqlite3* db);

  std::vector<TableMeta> tables_;
  std::vector<RelationMeta> relations_;
  std::vector<ViewMeta> views_;
  int loadError_ = 0;
  std::uint64_t generation_ = 0;
  mutable bool indexed_ = false;
  // The last table found, by its name as it was asked: a writer asks for
  // the same table row after row. Good for one generation.
  std::size_t lookUp(std::string_view name) const;
  mutable std::string lastName_;
  mutable std::size_t lastFound_ = 0;
  mutable std::uint64_t lastGeneration_ = 0;
  mutable NameIndex tableNames_, childTables_, parentTables_;
};

// SQLite identifier quoting, safe for any name.
std::string quoteIdent(std::string_view name);
// The same appended to `out`.
void appendQuoted(std::string& out, std::string_view name);

// SQLite names of the objects behind a Jet table's indexes and relations.
// Jet index names belong to their table; SQLite's are database-wide.
std::string sqliteIndexName(std::string_view table, std::string_view index);
std::string sqliteRelationIndexName(std::string_view table, std::string_view relation);

}  // namespace jetdb
