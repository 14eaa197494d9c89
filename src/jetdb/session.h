// The state behind a Database, shared by the executors, and the statement
// transaction that makes each statement atomic.
#pragma once

#include <sqlite3.h>

#include <chrono>
#include <memory>
#include <optional>
#include <unordered_map>
#include <string>
#include <vector>

#include "jetdb/ast.h"
#include "jetdb/catalog.h"
#include "jetdb/jetdb.h"
#include "jetdb/sqlite_util.h"

namespace jetdb {

// Every Jet table is an SQLite table whose first column is this one, an
// INTEGER PRIMARY KEY: it is the row identity handed to the layer above,
// and unlike a bare rowid it never changes, not even on VACUUM.
inline constexpr const char* kRowColumn = "_jet_row";

// How long a statement waits for another process's lock before it fails
// with "fichier déjà utilisé". Long enough for any single statement of
// another writer, short enough that a stuck peer is reported.
inline constexpr int kBusyTimeoutMs = 5000;

// What the first page of a file says about it.
enum class FileKind { Foreign, Rollback, Wal };

// Opens the file `path` with SQLite as sqlite3_open_v2 does (the handle,
// even on failure, is the caller's to close): read-only without writing
// anything (see database.cpp), or for writing, created when `mode` says so.
// Nothing is read from the file yet.
int openSqlite(const std::string& path, OpenMode mode, sqlite3** db);
// The kind of file an open connection is on, read through SQLite's own
// handle before any statement runs.
FileKind fileKind(sqlite3* db);
// Whether the write-ahead log of `path` and its index are both beside it.
bool logPresent(const std::string& path);

// The driver's error for the failure `code` (an extended SQLite result
// code) of the connection `db` on `path`: French, whatever SQLite said.
Error sqliteFailure(sqlite3* db, int code, const std::string& path, std::string_view table = {});

// A SELECT compiled to SQLite: the SQL, its parameters and its columns.
struct CompiledSelect {
  std::string sql;
  std::vector<Value> params;
  std::vector<ColumnInfo> columns;
  std::vector<std::optional<JetType>> types;  // how to read each column
  bool hasRowId = false;                      // the row identity is the last column
};

struct Database::Impl {
  sqlite3* db = nullptr;
  std::string path;
  bool readOnly = false;
  bool wal = false;  // writes through the write-ahead log; back to a rollback journal on close
  Catalog catalog;
  Error last;

  // The open batch of writes, when batching is on (see setWriteBatching).
  bool batching = false;
  bool batchOpen = false;
  int batchWrites = 0;
  std::chrono::steady_clock::time_point batchStart;
  // Commits the open batch, if any.
  bool commitBatch();

  ~Impl();
  bool fail(Error e) {
    last = std::move(e);
    return false;
  }
  // Turns the current SQLite error into a driver error.
  Error sqliteError(std::string_view table = {}) const;

  // Prepared statements of the row writes, kept for the life of the
  // connection (or until the schema changes) and reset after each use.
  Stmt& cached(const std::string& sql) {
    auto it = cache.find(sql);
    if (it == cache.end()) it = cache.emplace(sql, std::make_unique<Stmt>(db, sql)).first;
    return *it->second;
  }
  std::unordered_map<std::string, std::unique_ptr<Stmt>> cache;

  // Prepared SELECTs of finished queries, by their SQLite text. A record set
  // sends the same query again and again with other values (values are
  // parameters, never text), so preparing it once is enough. A few per text
  // are kept: several queries with one text may be open at once.
  Stmt takeQuery(const std::string& sql) {
    auto it = idleQueries.find(sql);
    if (it == idleQueries.end() || it->second.empty()) return Stmt(db, sql);
    Stmt stmt = std::move(it->second.back());
    it->second.pop_back();
    return stmt;
  }
  void returnQuery(const std::string& sql, Stmt stmt) {
    if (!stmt.ok()) return;
    stmt.reset();
    auto& idle = idleQueries[sql];
    if (idle.size() < 4 && idleQueries.size() <= 256) idle.push_back(std::move(stmt));
  }
  std::unordered_map<std::string, std::vector<Stmt>> idleQueries;

  // Compiled SELECTs by their shape: the Jet text with every small integer
  // literal taken out (see database.cpp). A record set re-queried on one key
  // after another sends texts that differ only in that number; parsing and
  // compiling each of them again would cost more than running it. Valid as
  // long as the catalog does not change.
  struct SelectShape {
    bool reusable = false;
    std::string table;               // for the error of a failed prepare
    CompiledSelect compiled;         // for the literals it was made with
    std::vector<std::size_t> slots;  // the parameter of each literal
  };
  std::unordered_map<std::string, SelectShape> shapes;

  // The values bound to the statement being compiled, by position, and
  // what each position stands for: "?" followed by the mark's offset, or
  // the folded name of a [Prompt] that is no column. Without values, a
  // name that is no column is an unknown column, as it always was.
  const std::vector<Value>* bound = nullptr;
  std::vector<std::string> parameterKeys;
  // Names given to the sources of the statement being compiled in the
  // SQLite text, so that a subquery's tables never hide its outer query's.
  int nextAlias = 0;
  // While a grouped query's items are compiled: the SQL of each column used
  // outside an aggregate, which must be one of its groups.
  std::vector<std::string>* ungrouped = nullptr;
  // Forgets everything compiled against the catalog as it was.
  void catalogChanged() {
    cache.clear();
    shapes.clear();
  }
};
using Session = Database::Impl;

// One statement's transaction. Outside any transaction it takes the write
// lock at once (BEGIN IMMEDIATE), so that a second process waits on the busy
// timeout instead of failing on a lock upgrade, and everything the statement
// does is rolled back unless commit() is called; inside a transaction a
// savepoint does the same for the statement alone.
// A rollback also reloads the catalog, which the statement may have changed
// in memory.
class StatementTransaction {
 public:
  // A statement that may not join a batch (a definition) runs alone. A row
  // write is one SQLite statement, which SQLite itself undoes whole when it
  // is refused; inside a transaction it needs no savepoint of its own, whose
  // statement journal would cost more than the row.
  explicit StatementTransaction(Session& s, bool batchable = true, bool singleWrite = false)
      : s_(s), batchable_(batchable), singleWrite_(singleWrite) {}
  ~StatementTransaction();
  StatementTransaction(const StatementTransaction&) = delete;
  StatementTransaction& operator=(const StatementTransaction&) = delete;
  bool begin();
  bool commit();

 private:
  bool run(const char* sql);
  Session& s_;
  bool batchable_;
  bool singleWrite_;
  bool active_ = false;
  bool outer_ = false;
};

// A value as stored in SQLite, read back for a column of `type` (or by its
// storage class when the type is unknown).
Value readValue(sqlite3_stmt* stmt, int column, std::optional<JetType> type);

// Executors, each called inside its statement transaction.
bool executeCreateTable(Session& s, const CreateTable& st);
bool executeDropTable(Session& s, const DropTable& st);
bool executeCreateIndex(Session& s, const CreateIndex& st);
bool executeDropIndex(Session& s, const DropIndex& st);
bool executeAlterTable(Session& s, const AlterTable& st);
bool executeInsert(Session& s, const Insert& st);
bool executeUpdate(Session& s, const Update& st);
bool executeDelete(Session& s, const Delete& st);
bool executeSelectInto(Session& s, const Select& st);

// Row writes, checked for types, Null, uniqueness and relations.
bool insertValues(Session& s, const TableMeta& table, const std::vector<std::optional<Value>>& values, RowId* rowId);
bool updateValues(Session& s, const TableMeta& table, RowId row,
                  const std::vector<std::pair<std::size_t, Value>>& values);
bool deleteRowChecked(Session& s, const TableMeta& table, RowId row);

// Whether these columns can be written without the rest of their row: no
// relation joins them and no counter numbers them.
bool writesFreeColumns(const Session& s, const TableMeta& table, const std::vector<std::size_t>& columns);
// Writes such columns of one row, checked for type and Null only: a
// statement that sets a price in every row need not read every column of
// every row, nor look at relations that the price takes no part in.
bool updateFreeValues(Session& s, const TableMeta& table, RowId row,
                      const std::vector<std::pair<std::size_t, Value>>& values);

// The sources of rows a query's names are resolved against: the tables
// and subqueries of its FROM, then those of the query around it.
struct ScopeSource {
  std::string name;                  // what a qualifier matches: the alias, else the table's name
  std::string sqlName;               // the name in the SQLite text; empty: columns go unqualified
  const TableMeta* table = nullptr;  // a table, or else a subquery's columns:
  std::vector<ColumnInfo> columns;
  std::vector<std::optional<JetType>> types;
  bool outerSide = false;  // on the optional side of an outer join: its columns may read Null
};
struct Scope {
  std::vector<ScopeSource> sources;
  const Scope* outer = nullptr;
};
// The scope of a statement on one table, whose columns go unqualified.
Scope tableScope(const TableMeta& table);
// Adds the sources of `from` to `scope` and writes its SQLite text; the
// parameters of its ON conditions and subqueries go to `params`.
bool compileFrom(Session& s, const FromItem& from, Scope& scope, bool qualify, std::string& sql,
                 std::vector<Value>& params);
// The source a write through a join changes, by its name or alias.
const ScopeSource* findSource(const Scope& scope, std::string_view name);

// A nested SELECT (a subquery) has no row identity column; `outer` is the
// scope of the query it is part of.
bool compileSelect(Session& s, const Select& st, CompiledSelect& out, bool nested = false,
                   const Scope* outer = nullptr);

// An expression over the names of `scope` (null for constant ones)
// turned into SQLite text with its parameters.
struct CompiledExpr {
  std::string sql;
  std::optional<JetType> type;
  bool aggregate = false;     // holds an aggregate
  bool bareColumn = false;    // names a column outside any aggregate
  bool boolean = false;       // a condition: SQLite gives 1/0, Jet -1/0
  // The expression where a value is wanted: a condition becomes -1 or 0.
  // Where a condition is wanted `sql` is used as is, so that SQLite still
  // sees the plain comparison and can use an index for it.
  std::string valueSql() const { return boolean ? "(-" + sql + ")" : sql; }
};
bool compileExpr(Session& s, const Expr& e, const Scope* scope, std::vector<Value>& params, CompiledExpr& out,
                 bool insideAggregate = false);

// The user aggregates behind First, Last, StDev, StDevP, Var and VarP.
bool registerAggregates(sqlite3* db);

// Names that may not be given to Jet objects: the driver's own and those
// SQLite reserves, and names Access itself refuses.
bool validObjectName(std::string_view name);

}  // namespace jetdb
