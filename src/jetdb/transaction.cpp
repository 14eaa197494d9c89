// The transaction of each statement, and the batch of writes that many
// statements share while batching is on (Database::setWriteBatching).
#include "transaction.h"

#include <sqlite3.h>

#include <chrono>

#include "errors.h"
#include "sqlite_file.h"

namespace jetdb {

// Runs one of the transaction statements through the connection's cache:
// they run around every statement, and parsing them each time costs more
// than the single-row writes they frame. A failure is recorded from the
// code the statement gave, not from the connection's last one, which the
// reset of a failed statement may clear.
bool StatementTransaction::run(const char* sql) {
  Stmt& stmt = s_.cached(sql);
  const int rc = stmt.ok() ? stmt.step() : stmt.prepareCode();
  const int code = rc == SQLITE_DONE || rc == SQLITE_ROW ? rc : sqlite3_extended_errcode(s_.db);
  if (stmt.ok()) sqlite3_reset(stmt.get());
  if (rc == SQLITE_DONE) return true;
  s_.fail(sqliteFailure(s_.db, code != SQLITE_OK ? code : rc, s_.path));
  return false;
}

bool Session::commitBatch() {
  if (!batchOpen) return true;
  batchOpen = false;
  batchWrites = 0;
  if (exec(db, "COMMIT")) return true;
  Error e = sqliteError();
  if (!sqlite3_get_autocommit(db)) exec(db, "ROLLBACK");
  return fail(e);
}

bool StatementTransaction::begin() {
  if (s_.readOnly) return s_.fail(errors::readOnly(s_.path));
  // A caller's transaction that SQLite gave up (a full disk, an I/O error)
  // must not turn into statements that commit one by one.
  if (s_.transaction && sqlite3_get_autocommit(s_.db) != 0) return s_.fail(errors::transactionLost());
  // A batch is one transaction around many statements; each statement then
  // takes the savepoint path below, so that a refused one is undone alone.
  if (s_.batching && batchable_ && !s_.batchOpen && sqlite3_get_autocommit(s_.db) != 0) {
    if (!run("BEGIN IMMEDIATE")) return false;
    s_.batchOpen = true;
    s_.batchStart = std::chrono::steady_clock::now();
  }
  outer_ = sqlite3_get_autocommit(s_.db) != 0;
  // Inside a transaction a single row write is undone by SQLite alone; its
  // checks before it only read.
  if (!outer_ && singleWrite_) return true;
  if (outer_ && readsNothing_) return true;
  // Outside a transaction the statement's own transaction is what undoes it;
  // inside one (a script's), a savepoint undoes the statement alone.
  if (!run(outer_ ? "BEGIN IMMEDIATE" : "SAVEPOINT jet_statement")) return false;
  active_ = true;
  return true;
}

bool StatementTransaction::commit() {
  // On a failure the destructor rolls back what is left.
  if (active_ && !run(outer_ ? "COMMIT" : "RELEASE jet_statement")) return false;
  active_ = false;
  if (s_.batchOpen && s_.batchBounded &&
      (++s_.batchWrites >= Database::kBatchWrites ||
       std::chrono::steady_clock::now() - s_.batchStart >= std::chrono::milliseconds(Database::kBatchMillis)))
    return s_.commitBatch();
  return true;
}

StatementTransaction::~StatementTransaction() {
  if (!active_) return;
  if (outer_) {
    if (!sqlite3_get_autocommit(s_.db)) exec(s_.db, "ROLLBACK");
  } else {
    exec(s_.db, "ROLLBACK TO jet_statement");
    exec(s_.db, "RELEASE jet_statement");
  }
  s_.catalogChanged();
  s_.catalog.load(s_.db);
}

bool Database::beginTransaction() {
  Session& s = *impl_;
  s.last = Error{};
  if (s.transaction) return s.fail(errors::transactionOpen());
  if (!s.commitBatch()) return false;
  // Deferred: a client that only reads takes no write lock, and the first
  // write takes it (waiting the busy timeout) for the rest of the
  // transaction.
  if (!exec(s.db, "BEGIN")) return s.fail(s.sqliteError());
  s.transaction = true;
  return true;
}

bool Database::commitTransaction() {
  Session& s = *impl_;
  s.last = Error{};
  if (!s.transaction) return true;
  if (sqlite3_get_autocommit(s.db) != 0) return s.fail(errors::transactionLost());
  // A failed commit (the file locked by a reader's snapshot) leaves the
  // transaction open: the caller may try again or roll back.
  if (!exec(s.db, "COMMIT")) return s.fail(s.sqliteError());
  s.transaction = false;
  return true;
}

bool Database::rollbackTransaction() {
  Session& s = *impl_;
  s.last = Error{};
  if (!s.transaction) return true;
  s.transaction = false;
  if (sqlite3_get_autocommit(s.db) == 0) exec(s.db, "ROLLBACK");
  // Definitions made in it are undone too: the catalog is read again.
  s.catalogChanged();
  s.catalog.load(s.db);
  return true;
}

bool Database::inTransaction() const { return impl_->transaction; }

void Database::setAnsiWildcards(bool on) { impl_->ansiWildcards = on; }

}  // namespace jetdb
