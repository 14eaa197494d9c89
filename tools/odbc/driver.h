// tqodbc: an ODBC 3 driver over jetdb, loaded by the unixODBC driver
// manager under the name our data sources carry, so that any ODBC client
// (isql, pyodbc, an office suite) opens a Toquelin database.
//
// Contract
// --------
// * Handles: environment, connection, statement, and the four implicit
//   descriptors of a statement (their handles only: no descriptor field is
//   read or written). A handle that this driver did not give out, or that
//   was freed, gets SQL_INVALID_HANDLE and is never read.
// * Connection: DSN= (its DBQ and ExtendedAnsiSQL read from odbc.ini
//   through libodbcinst) or DBQ= names the database file; SQL_ATTR_ACCESS_MODE
//   read-only before the connection opens it read-only. ExtendedAnsiSQL=1
//   (connection string or data source) is Access's ANSI-92 mode: LIKE takes
//   % and _ as wildcards.
// * Transactions: with autocommit on (the default) each statement commits as
//   it ends. With autocommit off, the first statement that writes opens a
//   jetdb transaction that lasts until SQLEndTran: a commit keeps it, a
//   rollback takes it back whole, definitions included, and closes every
//   cursor of the connection. Reads before that first write see what is
//   committed (read committed); other connections see nothing of the
//   transaction before its commit. Turning autocommit on commits it, and a
//   disconnection rolls it back.
// * Statements: one result set at most; jetdb prepares each statement as
//   SQLPrepare (or SQLExecDirect) gets it, and says whether it returns rows,
//   what its columns are (SQLNumResultCols and SQLDescribeCol answer after
//   SQLPrepare) and, for a write, that SQLRowCount has rows to count.
//   Parameters (`?`), bound or given at execution (SQLParamData/SQLPutData),
//   reach jetdb as values, never as text; SQLDescribeParam gives the type of
//   the column each is written to or compared with. Arrays of parameter sets
//   (SQL_ATTR_PARAMSET_SIZE, bound by column or by row) run the statement
//   once a set, in order, stopping at the first set refused (the status
//   array says which ran); SQLRowCount gives the rows of all of them. An
//   identifier between backquotes is read as one between brackets. Cursors
//   go forward only.
// * Narrow entry points take and give UTF-8, wide ones UTF-16 (SQLWCHAR).
// * Types: Text SQL_WVARCHAR, Memo SQL_WLONGVARCHAR, Bit SQL_BIT, Byte
//   SQL_TINYINT, Short SQL_SMALLINT, Long and Counter SQL_INTEGER, Single
//   SQL_REAL, Double SQL_DOUBLE, Currency SQL_DECIMAL(19,4), DateTime
//   SQL_TYPE_TIMESTAMP; named as the Access driver names them (VARCHAR,
//   LONGCHAR, BIT, BYTE, SMALLINT, INTEGER, COUNTER, REAL, DOUBLE, CURRENCY,
//   DATETIME). A text read as SQL_C_BINARY is its UTF-16LE bytes, as the
//   Access driver gives it. The catalog answers name the file, without its
//   extension, as TABLE_CAT; saved queries are listed as VIEW.
// * Diagnostics: jetdb's SQL state, native number and French message; the
//   driver's own refusals carry ODBC's states (07009, 01004, HY009, ...).
#pragma once

#include <sql.h>
#include <sqlext.h>
#include <sqlucode.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "jetdb/jetdb.h"

namespace tqodbc {

struct DiagRecord {
  std::string state;
  SQLINTEGER native = 0;
  std::string message;
};

struct Handle {
  explicit Handle(SQLSMALLINT t) : type(t) {}
  virtual ~Handle() = default;
  SQLSMALLINT type;
  std::vector<DiagRecord> diags;
  SQLRETURN lastReturn = SQL_SUCCESS;
  void clearDiags() { diags.clear(); }
  // Records a diagnostic; returns SQL_ERROR for a failure's state, to be
  // returned at once.
  SQLRETURN fail(std::string state, std::string message, SQLINTEGER native = 0);
  void warn(std::string state, std::string message);
  SQLRETURN failWith(const jetdb::Error& error);
};

struct Env : Handle {
  Env() : Handle(SQL_HANDLE_ENV) {}
  SQLINTEGER odbcVersion = SQL_OV_ODBC3;
};

struct Conn : Handle {
  explicit Conn(Env* e) : Handle(SQL_HANDLE_DBC), env(e) {}
  Env* env;
  std::unique_ptr<jetdb::Database> db;
  std::string dsn, path;
  bool autocommit = true;
  bool readOnly = false;
  SQLUINTEGER loginTimeout = 0;
};

// Ends the connection's transaction, if any, as SQLEndTran does.
SQLRETURN endTransaction(Conn& c, SQLSMALLINT completion);

struct Desc : Handle {
  Desc() : Handle(SQL_HANDLE_DESC) {}
};

// What a result set column says of itself.
struct ResultColumn {
  std::string name;
  std::string table;
  SQLSMALLINT sqlType = SQL_WVARCHAR;
  SQLULEN size = 0;
  SQLSMALLINT digits = 0;
  SQLSMALLINT nullable = SQL_NULLABLE_UNKNOWN;
  bool autoIncrement = false;
  bool unsignedType = false;
  std::string typeName;
};

ResultColumn describe(const jetdb::ColumnInfo& column);
// Catalog answers build their rows with these.
ResultColumn textColumn(const char* name, bool nullable = true);
ResultColumn shortColumn(const char* name, bool nullable = true);
ResultColumn intColumn(const char* name, bool nullable = true);

class Result {
 public:
  virtual ~Result() = default;
  const std::vector<ResultColumn>& columns() const { return columns_; }
  // 1: a row, 0: the end, -1: an error in `error`.
  virtual int next(jetdb::Error& error) = 0;
  virtual const jetdb::Value& value(std::size_t column) const = 0;

 protected:
  std::vector<ResultColumn> columns_;
};

// The rows of a jetdb query.
std::unique_ptr<Result> queryResult(std::unique_ptr<jetdb::Query> query);

// A result whose rows are all known beforehand (catalog answers).
class RowsResult : public Result {
 public:
  RowsResult(std::vector<ResultColumn> columns, std::vector<std::vector<jetdb::Value>> rows);
  int next(jetdb::Error&) override;
  const jetdb::Value& value(std::size_t column) const override { return rows_[row_ - 1][column]; }

 private:
  std::vector<std::vector<jetdb::Value>> rows_;
  std::size_t row_ = 0;
};

struct Binding {
  SQLSMALLINT cType = SQL_C_DEFAULT;
  SQLPOINTER target = nullptr;
  SQLLEN bufferLength = 0;
  SQLLEN* indicator = nullptr;
};

struct Param {
  SQLSMALLINT ioType = SQL_PARAM_INPUT;
  SQLSMALLINT cType = SQL_C_DEFAULT;
  SQLSMALLINT sqlType = SQL_VARCHAR;
  SQLPOINTER value = nullptr;
  SQLLEN bufferLength = 0;
  SQLLEN* indicator = nullptr;
};

struct Stmt : Handle {
  explicit Stmt(Conn* c);
  Conn* conn;
  // What jetdb made of the prepared text (null: nothing prepared), its
  // parameter markers and the columns it will give.
  std::unique_ptr<jetdb::PreparedStatement> statement;
  std::size_t markers = 0;
  std::vector<ResultColumn> prepared;
  std::unique_ptr<Result> result;
  bool onRow = false;
  SQLLEN rowCount = -1;
  SQLULEN fetched = 0;            // rows fetched from the current result, for SQL_ATTR_MAX_ROWS
  std::vector<Binding> bindings;  // by column number, 0 unused
  std::vector<Param> params;      // by marker number, 0 unused
  // Parameters given at execution (SQLParamData/SQLPutData): those still to
  // come and the one being given (parameter set, marker number), and what
  // was given, by set and marker number.
  using Slot = std::pair<std::size_t, std::size_t>;
  std::vector<Slot> awaited;
  std::optional<Slot> giving;
  std::vector<std::vector<std::optional<std::string>>> given;
  // Piecewise SQLGetData: the column read last and how much of it is gone.
  SQLUSMALLINT dataColumn = 0;
  std::size_t dataOffset = 0;
  bool dataDone = false;
  std::string pieceText;  // the value being read, as text and as UTF-16
  std::u16string pieceWide;
  // Attributes.
  SQLULEN rowArraySize = 1, rowBindType = SQL_BIND_BY_COLUMN, maxRows = 0, queryTimeout = 0, maxLength = 0;
  SQLULEN* rowsFetchedPtr = nullptr;
  SQLUSMALLINT* rowStatusPtr = nullptr;
  SQLLEN* rowBindOffsetPtr = nullptr;
  SQLULEN paramsetSize = 1, paramBindType = SQL_PARAM_BIND_BY_COLUMN;
  SQLLEN* paramBindOffsetPtr = nullptr;
  SQLULEN* paramsProcessedPtr = nullptr;
  SQLUSMALLINT* paramStatusPtr = nullptr;
  SQLULEN noscan = SQL_NOSCAN_OFF;
  Desc* ard;
  Desc* apd;
  Desc* ird;
  Desc* ipd;
};

// The text jetdb runs (statement_text.cpp): `sql` cut at its parameter
// markers, its escapes and backquoted names made Jet text; the value of
// parameter `number` in parameter set `row`.
std::vector<std::string> cutAtMarkers(const std::string& sql);
SQLRETURN parameterValue(Stmt& s, std::size_t row, std::size_t number, const Param& p, jetdb::Value& out);
// Where the buffers of parameter set `row` lie: the bound address moved by
// the set's stride and the bind offset.
const void* parameterAddress(const Stmt& s, const void* bound, std::size_t row, SQLLEN bufferLength, bool indicator);
// The C type of SQL_C_DEFAULT for a value of `sqlType`.
SQLSMALLINT defaultCType(SQLSMALLINT sqlType);

// Handles: every one this driver gave out, so that a stale one is refused.
template <class T>
T* lookup(SQLHANDLE handle, SQLSMALLINT type);
Handle* lookupAny(SQLHANDLE handle);
void freeStatement(Stmt* s);

// Text of the API: narrow calls in UTF-8, wide ones in UTF-16.
std::string fromWide(const SQLWCHAR* text, SQLLEN length);  // length in characters or SQL_NTS
std::u16string toUtf16(const std::string& utf8);
std::string fromNarrow(const SQLCHAR* text, SQLLEN length);
// Writes `text` to an output buffer of `capacity` (bytes when `bytes`, else
// characters), NUL-terminated, and its whole length to `length` in the same
// unit; a cut sets 01004 on `h` and returns SQL_SUCCESS_WITH_INFO.
SQLRETURN putText(Handle& h, const std::string& text, bool wide, SQLPOINTER out, SQLLEN capacity, bool bytes,
                  SQLLEN* length);
SQLRETURN putText16(Handle& h, const std::string& text, bool wide, SQLPOINTER out, SQLSMALLINT capacity, bool bytes,
                    SQLSMALLINT* length);

// The implementations behind both the narrow and the wide entry points.
SQLRETURN connectTo(Conn& c, const std::string& dsn, const std::string& connectionString, std::string* completed);
SQLRETURN prepare(Stmt& s, const std::string& sql);
SQLRETURN execute(Stmt& s);
SQLRETURN describeColumn(Stmt& s, SQLUSMALLINT column, bool wide, SQLPOINTER name, SQLSMALLINT capacity,
                         SQLSMALLINT* nameLength, SQLSMALLINT* type, SQLULEN* size, SQLSMALLINT* digits,
                         SQLSMALLINT* nullable);
SQLRETURN columnAttribute(Stmt& s, SQLUSMALLINT column, SQLUSMALLINT field, bool wide, SQLPOINTER text,
                          SQLSMALLINT capacity, SQLSMALLINT* length, SQLLEN* number);
SQLRETURN getInfo(Conn& c, SQLUSMALLINT info, bool wide, SQLPOINTER value, SQLSMALLINT capacity, SQLSMALLINT* length);
SQLRETURN diagRecord(SQLSMALLINT type, SQLHANDLE handle, SQLSMALLINT record, bool wide, SQLPOINTER state,
                     SQLINTEGER* native, SQLPOINTER message, SQLSMALLINT capacity, SQLSMALLINT* length);
SQLRETURN diagField(SQLSMALLINT type, SQLHANDLE handle, SQLSMALLINT record, SQLSMALLINT field, bool wide,
                    SQLPOINTER value, SQLSMALLINT capacity, SQLSMALLINT* length);
SQLRETURN getConnectAttr(Conn& c, SQLINTEGER attr, bool wide, SQLPOINTER value, SQLINTEGER capacity,
                         SQLINTEGER* length);
SQLRETURN setConnectAttr(Conn& c, SQLINTEGER attr, SQLPOINTER value);
SQLRETURN getStmtAttr(Stmt& s, SQLINTEGER attr, SQLPOINTER value);
SQLRETURN setStmtAttr(Stmt& s, SQLINTEGER attr, SQLPOINTER value);
// Ends the current result (SQLCloseCursor, SQLFreeStmt SQL_CLOSE, a new execution).
void closeCursor(Stmt& s);
// The columns of the current result, or else of the prepared statement;
// null when there are none.
const std::vector<ResultColumn>* resultColumns(const Stmt& s);

// Catalog answers; a null name stands for "any".
using Name = std::optional<std::string>;
SQLRETURN tables(Stmt& s, const Name& table, const Name& catalog, const Name& schema, const Name& types);
SQLRETURN columns(Stmt& s, const Name& table, const Name& column);
SQLRETURN primaryKeys(Stmt& s, const Name& table);
SQLRETURN foreignKeys(Stmt& s, const Name& pkTable, const Name& fkTable);
SQLRETURN statistics(Stmt& s, const Name& table, SQLUSMALLINT unique);
SQLRETURN typeInfo(Stmt& s, SQLSMALLINT type);
// Puts `rows` as the statement's result.
SQLRETURN answer(Stmt& s, std::vector<ResultColumn> columns, std::vector<std::vector<jetdb::Value>> rows);

// Seconds since 1970 of a civil date and time, as jetdb counts them.
std::int64_t secondsOf(int year, int month, int day, int hour, int minute, int second);

// Converts one value to the application's C type; `offset` counts what a
// piecewise read has already taken (bytes of the text, or characters).
SQLRETURN convertValue(Stmt& s, const jetdb::Value& v, const ResultColumn& column, SQLSMALLINT cType, SQLPOINTER target,
                       SQLLEN capacity, SQLLEN* indicator, std::size_t* offset, bool* done);

}  // namespace tqodbc

// The first lines of an entry point: the handle it was given, refused when
// this driver did not give it out, its diagnostics cleared.
#define STATEMENT(handle)                                           \
  tqodbc::Stmt* s = tqodbc::lookup<tqodbc::Stmt>(handle, SQL_HANDLE_STMT); \
  if (!s) return SQL_INVALID_HANDLE;                                \
  s->clearDiags()
#define CONNECTION(handle)                                          \
  tqodbc::Conn* c = tqodbc::lookup<tqodbc::Conn>(handle, SQL_HANDLE_DBC); \
  if (!c) return SQL_INVALID_HANDLE;                                \
  c->clearDiags()
