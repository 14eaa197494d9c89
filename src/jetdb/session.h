// The state behind a Database: its SQLite connection, its catalog, its
// batch of writes and its caches of prepared and compiled statements. The
// executors share it; the compiler sees only its CompileContext.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "compiler.h"
#include "jetdb/jetdb.h"
#include "sqlite_util.h"

namespace jetdb {

struct Database::Impl : CompileContext {
  sqlite3* db = nullptr;
  std::string path;
  bool readOnly = false;
  bool wal = false;  // writes through the write-ahead log; back to a rollback journal on close

  // The open batch of writes, when batching is on (see setWriteBatching).
  bool batching = false;
  bool batchBounded = true;  // committed by count and age, not only at its end
  bool batchOpen = false;
  int batchWrites = 0;
  std::chrono::steady_clock::time_point batchStart;
  // Commits the open batch, if any.
  bool commitBatch();

  // A transaction of the caller's (beginTransaction) is open.
  bool transaction = false;
  // LIKE in Access's ANSI-92 mode (setAnsiWildcards).
  bool ansiWildcards = false;
  // The Counter value of the last row inserted, for SELECT @@IDENTITY.
  std::int64_t lastIdentity = 0;

  ~Impl();
  // Turns the current SQLite error into a driver error.
  Error sqliteError(std::string_view table = {}) const;

  // Prepared statements of the row writes, kept for the life of the
  // connection (or until the schema changes) and reset after each use.
  Stmt& cached(const std::string& sql) {
    auto it = cache.find(sql);
    if (it == cache.end()) it = cache.emplace(sql, std::make_unique<Stmt>(db, sql)).first;
    // A preparation that failed (memory, a busy schema) is tried again: kept,
    // it would fail every later statement of that text on this connection.
    else if (!it->second->ok()) *it->second = Stmt(db, sql);
    return *it->second;
  }
  std::unordered_map<std::string, std::unique_ptr<Stmt>> cache;
  // Where the row writes make the text they look up in the cache.
  std::string rowSqlBuffer;

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
    // A text not kept yet takes no entry once enough are: a program that
    // sends ever new texts must not grow the map without end.
    auto it = idleQueries.find(sql);
    if (it == idleQueries.end()) {
      if (idleQueries.size() >= 256) return;
      it = idleQueries.emplace(sql, std::vector<Stmt>{}).first;
    }
    if (it->second.size() < 4) it->second.push_back(std::move(stmt));
  }
  std::unordered_map<std::string, std::vector<Stmt>> idleQueries;

  // Compiled SELECTs by their shape: the Jet text with every small integer
  // literal taken out (see statements.cpp). A record set re-queried on one key
  // after another sends texts that differ only in that number; parsing and
  // compiling each of them again would cost more than running it. Valid as
  // long as the catalog does not change.
  struct SelectShape {
    bool reusable = false;
    std::string table;               // for the error of a failed prepare
    std::shared_ptr<const CompiledSelect> compiled;  // for the literals it was made with
    std::vector<std::size_t> slots;  // the parameter of each literal
  };
  std::unordered_map<std::string, SelectShape> shapes;

  // The shape of a statement: its text with each integer literal of at most
  // nine digits replaced by a mark, and those literals in their order. The
  // last one found is kept with its text: the next query of a record set is
  // most often the same text with other numbers (see statements.cpp).
  struct TextShape {
    std::string key;
    std::vector<std::int64_t> literals;
    std::vector<std::pair<std::size_t, std::size_t>> spans;  // where each literal is in the text
  };
  std::string lastShapeText;
  TextShape lastShape;

  // What the row writes of one table need of its relations (see rows.cpp),
  // found once for a version of the catalog instead of at every row: a merge
  // writes one table thousands of times, and looking up its relations, the
  // tables at their other ends and the positions of their columns cost the
  // row more than SQLite's search for its parent.
  struct RelationEnd {
    const RelationMeta* relation = nullptr;
    const TableMeta* other = nullptr;  // the table at the other end; null when the catalog lacks it
    std::vector<std::size_t> columns;  // this side's columns of the relation, by position
    bool complete = true;              // false when this side lacks one of them
    std::string existsSql;             // whether `other` has a row with their values
    Stmt* exists = nullptr;            // its statement in `cache`, once prepared
  };
  struct RowPlan {
    std::uint64_t generation = 0;       // the catalog's, when it was made
    std::vector<RelationEnd> parents;   // the relations of which the table is the child
    std::vector<RelationEnd> children;  // the relations that refer to it
    // The statements in `cache` that read, insert and delete one row, once
    // prepared: their texts need not be made again to find them.
    Stmt* read = nullptr;
    Stmt* insert = nullptr;
    Stmt* remove = nullptr;
  };
  std::unordered_map<const TableMeta*, RowPlan> rowPlans;

  // Forgets everything compiled against the catalog as it was; a prepared
  // statement's own compilation is good for one version of it.
  void catalogChanged() {
    cache.clear();
    rowPlans.clear();
    shapes.clear();
    ++catalogVersion;
  }
  std::uint64_t catalogVersion = 0;
};
using Session = Database::Impl;

}  // namespace jetdb
