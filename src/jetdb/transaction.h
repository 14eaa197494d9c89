// One statement's transaction, which makes each statement atomic.
#pragma once

#include "session.h"

namespace jetdb {

// Outside any transaction it takes the write lock at once (BEGIN
// IMMEDIATE), so that a second process waits on the busy timeout instead of
// failing on a lock upgrade, and everything the statement does is rolled
// back unless commit() is called; inside a transaction a savepoint does the
// same for the statement alone. A rollback also reloads the catalog, which
// the statement may have changed in memory.
class StatementTransaction {
 public:
  // A statement that may not join a batch (a definition) runs alone. A row
  // write is one SQLite statement, which SQLite itself undoes whole when it
  // is refused; inside a transaction it needs no savepoint of its own, whose
  // statement journal would cost more than the row. A write that is that
  // one statement with nothing read before it (`readsNothing`: an update of
  // columns that no relation names, a delete that no child row can stop) is
  // atomic on its own outside any transaction too: SQLite's own transaction
  // around it takes the write lock, waiting on the busy timeout, as BEGIN
  // IMMEDIATE would, and undoes it whole when it is refused.
  explicit StatementTransaction(Session& s, bool batchable = true, bool singleWrite = false, bool readsNothing = false)
      : s_(s), batchable_(batchable), singleWrite_(singleWrite), readsNothing_(singleWrite && readsNothing) {}
  ~StatementTransaction();
  StatementTransaction(const StatementTransaction&) = delete;
  StatementTransaction& operator=(const StatementTransaction&) = delete;
  bool begin();
  bool commit();

 private:
  // Runs one of the transaction statements; false when it failed, the
  // failure then recorded as the session's error.
  bool run(const char* sql);
  Session& s_;
  bool batchable_;
  bool singleWrite_;
  bool readsNothing_;
  bool active_ = false;
  bool outer_ = false;
};

}  // namespace jetdb
