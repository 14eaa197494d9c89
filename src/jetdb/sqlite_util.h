// Thin RAII over the SQLite statements the driver prepares, and the values
// they read.
#pragma once

#include <sqlite3.h>

#include <optional>
#include <string>
#include <string_view>

#include "jetdb/jetdb.h"

namespace jetdb {

// Runs SQL that reads nothing back (transactions, PRAGMAs); true on success.
inline bool exec(sqlite3* db, const char* sql) {
  return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

// A Decimal is stored as a number wherever SQL can read it as one without
// changing it (an integer, or a double for 15 significant digits or
// fewer), and as its text beyond.
int bindDecimal(sqlite3_stmt* stmt, int i, const std::string& digits);

class Stmt {
 public:
  Stmt() = default;
  Stmt(sqlite3* db, std::string_view sql) {
    rc_ = sqlite3_prepare_v2(db, sql.data(), static_cast<int>(sql.size()), &stmt_, nullptr);
  }
  ~Stmt() { sqlite3_finalize(stmt_); }
  Stmt(Stmt&& o) noexcept : stmt_(o.stmt_), rc_(o.rc_), bindRc_(o.bindRc_) { o.stmt_ = nullptr; }
  Stmt& operator=(Stmt&& o) noexcept {
    if (this != &o) {
      sqlite3_finalize(stmt_);
      stmt_ = o.stmt_;
      rc_ = o.rc_;
      bindRc_ = o.bindRc_;
      o.stmt_ = nullptr;
    }
    return *this;
  }
  Stmt(const Stmt&) = delete;
  Stmt& operator=(const Stmt&) = delete;

  bool ok() const { return stmt_ != nullptr && rc_ == SQLITE_OK; }
  int prepareCode() const { return rc_; }
  sqlite3_stmt* get() const { return stmt_; }

  // A value that cannot be bound (SQLite could not copy it: memory) would
  // leave its parameter Null, and the statement would write or look for
  // Null in its place: the statement then fails at step() with the bind's
  // own code instead of running.
  void bind(int i, const Value& v) {
    switch (v.kind) {
      case Value::Kind::Null: note(sqlite3_bind_null(stmt_, i)); break;
      case Value::Kind::Integer:
      case Value::Kind::DateTime: note(sqlite3_bind_int64(stmt_, i, v.integer)); break;
      case Value::Kind::Double: note(sqlite3_bind_double(stmt_, i, v.real)); break;
      case Value::Kind::Text:
        note(sqlite3_bind_text(stmt_, i, v.text.data(), static_cast<int>(v.text.size()), SQLITE_TRANSIENT));
        break;
      case Value::Kind::Binary:
        // data() is never null, so that no bytes is an empty blob, not Null.
        note(sqlite3_bind_blob(stmt_, i, v.text.data(), static_cast<int>(v.text.size()), SQLITE_TRANSIENT));
        break;
      case Value::Kind::Decimal: note(bindDecimal(stmt_, i, v.text)); break;
    }
  }
  void bind(int i, std::string_view s) {
    note(sqlite3_bind_text(stmt_, i, s.data(), static_cast<int>(s.size()), SQLITE_TRANSIENT));
  }
  void bind(int i, std::int64_t v) { note(sqlite3_bind_int64(stmt_, i, v)); }
  int step() { return bindRc_ != SQLITE_OK ? bindRc_ : sqlite3_step(stmt_); }
  void reset() {
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
    bindRc_ = SQLITE_OK;
  }
  std::string text(int i) const {
    const unsigned char* t = sqlite3_column_text(stmt_, i);
    return t ? std::string(reinterpret_cast<const char*>(t), static_cast<std::size_t>(sqlite3_column_bytes(stmt_, i)))
             : std::string();
  }
  std::int64_t integer(int i) const { return sqlite3_column_int64(stmt_, i); }

 private:
  // The first bind that failed since the last reset.
  void note(int rc) {
    if (rc != SQLITE_OK && bindRc_ == SQLITE_OK) bindRc_ = rc;
  }
  sqlite3_stmt* stmt_ = nullptr;
  int rc_ = SQLITE_ERROR;
  int bindRc_ = SQLITE_OK;
};

// A value as stored in SQLite, read back for a column of `type` (or by its
// storage class when the type is unknown).
Value readValue(sqlite3_stmt* stmt, int column, std::optional<JetType> type);
// The same into `out`, whose text keeps its buffer: a query reads each row
// into the values of the row before.
void readValue(sqlite3_stmt* stmt, int column, std::optional<JetType> type, Value& out);

}  // namespace jetdb
