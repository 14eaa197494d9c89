// jetdb: a database driver that speaks the Access (Jet) SQL dialect and keeps
// its data in an SQLite file.
//
// Contract
// --------
// * A database is one file: an SQLite database that also holds the driver's
//   own catalog (Jet type and size of every column, column order, indexes
//   with their per-table names, primary keys and relations). Opening any
//   other file fails and leaves the file untouched.
// * Every call that can fail returns false (or null) and leaves the reason
//   in lastError(). No exception ever leaves this API.
// * Every statement is atomic: it applies whole or not at all. Values are
//   checked against the column types on every write, and relations are
//   enforced (without cascades) on every write, whether the write comes from
//   SQL text or from insertRow/updateRow/deleteRow.
// * The referring columns of every relation are indexed: by an index of the
//   table that leads with them, or else by one the relation keeps for
//   itself, so that a parent's delete or key change finds its children
//   without reading the whole table. check() reports a relation without.
// * Text comparisons, filters, sorts and unique indexes ignore case and
//   accents of Latin letters, as Access does.
// * A Database is used from one thread. Two processes may open one file; a
//   writer that finds the file locked waits a bounded time, then fails with
//   state HY000 (native 3045).
// * A database opened read-only (OpenMode::ReadOnly) writes nothing, neither
//   to its file nor beside it: it opens a file in a read-only folder or
//   without write permission, and every write through it (a statement that
//   is not a SELECT, a row operation) fails with state HY000, native 3027.
//   A closed database is one file that such an open reads. A file whose
//   writer was killed is read as its last commit left it while its log
//   files (-wal, -shm) are beside it; without them, a file whose header
//   still asks for a write-ahead log cannot be read without writing, and
//   the open fails with state HY000, native 3051 (an open for writing
//   repairs it).
// * A "-wal", "-shm" or "-journal" beside a database that is a link, not a
//   regular file, or owned by someone else than the database's owner is
//   never read: the open fails with state HY000, native 3051, naming it
//   (see foreignLog).
// * Expressions: a run of one operator (a OR b OR c..., a + b - c...) may
//   be as long as memory allows; IN takes a list of values or a one-column
//   subquery. Parentheses, NOT, signs, functions, IN lists and subqueries
//   nest at most kMaxNesting levels, an IN list weighing kInNesting and a
//   subquery kSubqueryNesting; deeper, the statement fails with state
//   54001, native 3360 ("Requête trop complexe"), as it does when the
//   statement is too large for SQLite.
// * Functions: Access's built-in functions (IIf, Left, DateAdd, Format...;
//   the list and their rules in functions.h), names in any case, run as
//   Access runs them, texts in French conventions (decimal comma, dates day
//   first). An unknown function fails with state 42000, native 3085; a
//   wrong number of arguments with 42000, native 3075. A function that
//   fails as it runs fails its statement, which changes nothing, with
//   Access's run-time error number as the native number: 5 (invalid
//   argument), 6 (overflow), 13 (type mismatch), 14 (text too long), 94
//   (invalid use of Null). `&` reads Null as "" (Null & Null is Null), `+`
//   joins two texts. A function's date reads as Kind::DateTime, its
//   True/False as -1/0.
// * Queries: SELECT [DISTINCT | DISTINCTROW] [TOP n [PERCENT]] over tables,
//   aliases ("FROM Recettes AS r", "FROM Recettes r"), INNER, LEFT and RIGHT
//   [OUTER] JOINs nested in parentheses as Access writes them, comma joins
//   and "(SELECT ...) AS q"; "t.col", "[t].[col]", "t.*"; GROUP BY and
//   HAVING with Count(*), Count, Sum, Avg, Min, Max, First, Last, StDev,
//   StDevP, Var and VarP; ORDER BY expressions, result aliases and column
//   numbers; UNION [ALL], whose ORDER BY comes last and sorts the whole;
//   subqueries in IN, EXISTS and as values; BETWEEN; #m/d/yyyy [h:nn:ss
//   AM|PM]# and #h:nn:ss# (US order) besides ISO dates; True, False, Null.
//   DISTINCTROW changes nothing over one table and is DISTINCT over a join.
//   TOP n keeps every row that ties with the n-th on the ORDER BY keys, and
//   n PERCENT of the rows rounded up; a column of a grouped query outside
//   any aggregate must be one of its groups (42000, native 3122). First and
//   Last take the first and the last row of the group as read, Null
//   included; Count(x), Sum, Avg, StDev and Var leave Null out. The join
//   parentheses weigh one level of nesting, a subquery in FROM
//   kSubqueryNesting.
// * Result columns: a column read from a table keeps its name, Jet type and
//   size (the unmatched side of an outer join reads Null, a Bit too); a
//   column named alike in two tables is named "table.column"; an unnamed
//   expression is "Expr1000", "Expr1001", ...; Count is a Long, Sum, Min,
//   Max, First and Last have their column's type, Avg, StDev and Var are
//   Doubles, Sum is a Double over Bit, Byte, Short, Long and Counter (so
//   that a total beyond a Long, or of Trues, reads as the number it is)
//   and has its column's type otherwise. Expressions have the type Jet
//   gives them: a text literal or parameter is a Text, an integer one a
//   Long (a Double beyond a Long), a decimal one a Double; + - * over
//   integer types give a Long, with a Single or Double a Double, with a
//   Currency a Currency; / gives a Double; & and + between texts a Memo;
//   a condition a Long (-1/0); functions their result's type (Len, InStr,
//   DateDiff: Long; Year, Month, ..., DatePart, Sgn, Asc, StrComp: Short;
//   Abs, Int, Fix and Round their argument's). An expression whose type
//   depends on what it holds (a parameter without a value) reads as a
//   Double.
// * SELECT without FROM gives one row (SELECT 1, SELECT ?); SELECT
//   @@IDENTITY gives the Counter value of the last row this Database
//   inserted (0 before any). A member of a union may stand in parentheses
//   ("(SELECT ...) UNION (SELECT ...)"); TOP works in a subquery of FROM.
// * Writes: INSERT INTO t [(cols)] SELECT ..., SELECT ... INTO t (a new
//   table with the columns' types, no key nor index), UPDATE through a join
//   ("UPDATE a INNER JOIN b ON ... SET a.x = b.y"), DELETE through a join
//   ("DELETE a.* FROM a INNER JOIN b ON ...", each row once) are checked
//   row by row like any other write.
//
// Values
// ------
// * Text and Memo read as Kind::Text (UTF-8).
// * Bit, Byte, Short, Long and Counter read as Kind::Integer. A Bit reads as
//   -1 (True) or 0 (False), never Null; writing any non-zero number to a Bit
//   stores -1, writing Null stores 0.
// * Single and Double read as Kind::Double; Currency reads as Kind::Double
//   rounded to four decimals.
// * DateTime reads as Kind::DateTime: `integer` holds seconds since
//   1970-01-01 00:00:00, in no particular time zone (Access dates carry none).
// * Binary and LongBinary read as Kind::Binary, their bytes; SQL writes
//   them 0x0A1B... A Binary(n) takes at most n bytes (more: 22001), neither
//   takes a text nor a number (22018). Bytes compare byte by byte.
// * Guid reads as Kind::Text "{6F9619FF-8B86-D011-B42D-00C04FC964FF}", as
//   Access shows it; it takes that text with or without braces, in any case,
//   or its 16 bytes (the Windows GUID layout); any other text fails (22018).
// * Decimal reads as Kind::Decimal, the exact digits that were written,
//   without zeros ending its decimals ("-1.5" in a DECIMAL(5,2)): a text
//   ("12345.6789"), an integer or a double (by its shortest decimal form)
//   is written exactly, rounded half to even to the scale; more digits before the point than
//   precision - scale fail (22003), a text that is no number 22018.
//   Expressions (arithmetic, comparisons) read it as a Double; a value of
//   more than 15 significant digits is kept as text, which SQL compares as
//   text, so such values are for storing and reading back.
// * Counter: a new row takes the seed when the table has none, else the
//   highest number in use plus the increment (the lowest plus it for a
//   negative increment); COUNTER(seed, increment), AUTOINCREMENT alike.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace jetdb {

// Beyond any hand-written filter, and within what SQLite's parser takes
// once the expression is translated: an IN list or a subquery takes more
// room there than a parenthesis.
inline constexpr int kMaxNesting = 16;
inline constexpr int kInNesting = 2;
inline constexpr int kSubqueryNesting = 4;

enum class JetType {
  Text, Memo, Bit, Byte, Short, Long, Counter, Single, Double, Currency, DateTime,
  Binary,      // BINARY(n) / VARBINARY(n): up to n bytes, n from 1 to 510
  LongBinary,  // LONGBINARY / OLEOBJECT / IMAGE: bytes without a limit
  Guid,        // GUID / UNIQUEIDENTIFIER
  Decimal,     // DECIMAL(p,s) / NUMERIC(p,s): exact, p digits of which s after the point
};

// The Access name of a type ("TEXT", "LONG", "BIT", ...).
const char* typeName(JetType type);

// The largest Binary column, the precision of Decimal and the one it takes
// when none is written (DECIMAL is DECIMAL(18,0), as in Access).
inline constexpr int kMaxBinary = 510;
inline constexpr int kMaxPrecision = 28;
inline constexpr int kDefaultPrecision = 18;

struct Value {
  enum class Kind { Null, Integer, Double, Text, DateTime, Binary, Decimal };
  Kind kind = Kind::Null;
  std::int64_t integer = 0;  // Integer, and DateTime as seconds since 1970
  double real = 0;           // Double
  // Text; the bytes of a Binary; a Decimal's digits as "-123.45" (a point,
  // at most its column's scale of decimals, none of them a trailing zero).
  std::string text;

  static Value null() { return {}; }
  static Value of(std::int64_t v) { Value x; x.kind = Kind::Integer; x.integer = v; return x; }
  static Value of(int v) { return of(static_cast<std::int64_t>(v)); }
  static Value of(double v) { Value x; x.kind = Kind::Double; x.real = v; return x; }
  static Value of(std::string v) { Value x; x.kind = Kind::Text; x.text = std::move(v); return x; }
  static Value of(const char* v) { return of(std::string(v)); }
  static Value dateTime(std::int64_t seconds) { Value x; x.kind = Kind::DateTime; x.integer = seconds; return x; }
  static Value bytes(std::string b) { Value x; x.kind = Kind::Binary; x.text = std::move(b); return x; }
  // `digits` as described above; what a Decimal column reads (see coerce
  // for what it takes).
  static Value decimal(std::string digits) { Value x; x.kind = Kind::Decimal; x.text = std::move(digits); return x; }

  bool isNull() const { return kind == Kind::Null; }
  // Conversions for readers that know what they bound; Null gives 0 / "".
  // A Binary's text is "0x" and its bytes in hexadecimal, as SQL writes it.
  std::int64_t asInteger() const;
  double asDouble() const;
  std::string asText() const;

  friend bool operator==(const Value&, const Value&) = default;
};

struct ColumnInfo {
  std::string name;
  JetType type = JetType::Long;
  int size = 0;          // characters for Text, bytes of storage otherwise
  bool nullable = true;  // false for NOT NULL, primary-key and Bit columns
  // The expression a new row takes when an INSERT does not name the column
  // (CREATE TABLE ... [c] LONG DEFAULT 0), as written; a table's columns only.
  std::optional<std::string> defaultValue;
  int precision = 0, scale = 0;                // Decimal
  std::int64_t seed = 1, increment = 1;        // Counter: its first number and the step to the next
};

// The type of a column as DDL writes it: "TEXT(50)", "BINARY(16)",
// "DECIMAL(18,4)", "COUNTER(100,10)" (a Counter that starts at 1 by steps
// of 1 is "COUNTER"), "LONG"...; CREATE TABLE reads it back as the same type.
std::string typeSpelling(const ColumnInfo& column);

struct IndexInfo {
  std::string name;
  std::vector<std::string> columns;
  bool unique = false;
  bool primary = false;
  bool ignoreNull = false;
  bool disallowNull = false;
};

// A relation: `table`(`columns`) refers to `refTable`(`refColumns`).
struct RelationInfo {
  std::string name;
  std::string table;
  std::vector<std::string> columns;
  std::string refTable;
  std::vector<std::string> refColumns;
};

struct Error {
  std::string state;    // SQLSTATE in ODBC's conventions: "42S01", "23000", ...
  int native = 0;       // the driver's own error number
  std::string origin;   // "[jetdb][Pilote Access]"
  std::string message;  // French, names the objects involved

  // "State:42S21,Native:-1508,Origin:[jetdb][Pilote Access]"
  std::string stateNativeOrigin() const;
};

using RowId = std::int64_t;

// The rows of one SELECT. Valid while its Database lives; a Database may
// hold several open queries. Writes made while a query is open are
// allowed; whether the query sees them is unspecified.
class Query {
 public:
  virtual ~Query() = default;
  virtual const std::vector<ColumnInfo>& columns() const = 0;
  // Moves to the next row; false at the end or on error (see error()).
  virtual bool next() = 0;
  virtual const Value& value(std::size_t column) const = 0;
  // Identity of the current row, usable with updateRow/deleteRow; 0 when the
  // query has no single source row (aggregates).
  virtual RowId rowId() const = 0;
  // Set when next() returned false because of an error.
  virtual const std::optional<Error>& error() const = 0;
};

// A parameter of a statement: each "?", and each name that is no column of
// a table the statement names nor an alias of its result ("[Prix minimum]"),
// in the order values are given for them.
struct ParameterInfo {
  std::string name;             // "?", or the name as first written
  std::optional<JetType> type;  // the type of the column it is written to or compared with, when there is one
};

// A statement read (and, for a SELECT, compiled) once, that Database runs
// any number of times with values for its parameters; what it is and what
// it gives are known before it runs. Valid while its Database lives.
class PreparedStatement {
 public:
  ~PreparedStatement();
  PreparedStatement(const PreparedStatement&) = delete;
  PreparedStatement& operator=(const PreparedStatement&) = delete;

  // A SELECT that hands back rows (not SELECT ... INTO): run it with query().
  bool returnsRows() const;
  // INSERT, UPDATE or DELETE: the rows it writes are the rise of
  // totalChanges() across it (SELECT ... INTO, which also makes a table,
  // writes the catalog's rows besides its own).
  bool changesRows() const;
  // Changes the file when it runs: a definition, INSERT, UPDATE, DELETE or
  // SELECT ... INTO; every statement that returns no rows. These are the
  // ones a database opened read-only refuses (HY000, native 3027), so that
  // a program that opens files read-only until it must write (jetsql)
  // knows when to open the file for writing.
  bool writes() const;
  // The columns of its rows, as query() gives them, when it returns rows:
  // worked out with every parameter Null, so that an expression of
  // parameters alone reads as a Double.
  const std::vector<ColumnInfo>& columns() const;
  const std::vector<ParameterInfo>& parameters() const;

  struct Impl;

 private:
  friend class Database;
  explicit PreparedStatement(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
};

// ExistingAtRest opens for writing as Existing does, but a file at rest (in
// its rollback journal, as every last close leaves it) stays so: each write
// is a journaled transaction of its own, synced under synchronous=FULL,
// without the switch to the write-ahead log at the open and back at the
// close (a dozen waits on the disk between them). For one or two writes to
// a file that no other connection uses meanwhile, such as a mark set in it
// before a long piece of work and cleared after. A file found in WAL mode
// (a killed writer's) is taken over as Existing does.
enum class OpenMode { Existing, Create, ReadOnly, ExistingAtRest };

class Database {
 public:
  // Opens an existing database for reading and writing, creates a new one
  // (creating fails if the file exists), or opens an existing one read-only.
  // Returns null and fills `error` on failure; a file that is not a jetdb
  // database is never changed.
  static std::unique_ptr<Database> open(const std::string& path, OpenMode mode, Error& error);
  // Existing or Create, as `create` says.
  static std::unique_ptr<Database> open(const std::string& path, bool create, Error& error) {
    return open(path, create ? OpenMode::Create : OpenMode::Existing, error);
  }
  ~Database();
  Database(const Database&) = delete;
  Database& operator=(const Database&) = delete;

  // Runs one statement of any kind. A SELECT is run and its rows dropped;
  // SELECT ... INTO creates its table and fills it.
  bool execute(std::string_view sql);
  // Runs a SELECT; null on failure.
  std::unique_ptr<Query> query(std::string_view sql);
  // The same with values for the statement's parameters, by position in
  // the order of the text: each "?", and each name that is no column of a
  // table in the statement nor an alias of its result ("[Prix minimum]"),
  // a name used twice taking one value. Fewer values than parameters fail
  // with state 07002, native 3061. Without values such a name is an
  // unknown column (42S22) and a "?" fails with 07002.
  bool execute(std::string_view sql, const std::vector<Value>& values);
  std::unique_ptr<Query> query(std::string_view sql, const std::vector<Value>& values);

  // Reads a statement without running it; null, with the error, when the
  // text is no statement of the dialect, or when a SELECT names a table or
  // a qualified column that does not exist (a definition or a write is
  // checked as it runs). Running it, with or without values, does what
  // execute() or query() does with its text and those values, without
  // reading the text again; query() of one that returns no rows fails
  // with state 42000, native 3065.
  std::unique_ptr<PreparedStatement> prepare(std::string_view sql);
  bool execute(const PreparedStatement& statement, const std::vector<Value>& values = {});
  std::unique_ptr<Query> query(const PreparedStatement& statement, const std::vector<Value>& values = {});

  // Row operations, each its own atomic statement, checked like the SQL
  // ones. Columns not named take Null (0 for Bit). `rowId`, when given,
  // receives the identity of the new row.
  bool insertRow(std::string_view table, const std::vector<std::pair<std::string, Value>>& values,
                 RowId* rowId = nullptr);
  bool updateRow(std::string_view table, RowId row, const std::vector<std::pair<std::string, Value>>& values);
  bool deleteRow(std::string_view table, RowId row);

  const Error& lastError() const;

  // Cancels the statement running in this database: it fails with state
  // HY008, native 3059 ("Opération annulée") and, being atomic, changes
  // nothing. The one call that may come from another thread or from a
  // signal handler (Ctrl-C in a shell). Nothing running, it does nothing:
  // no later statement is cancelled by it. A Query being read is running
  // until its last row: next() fails with the same error.
  void interrupt();

  // Rows inserted, updated or deleted since the open, by statements and row
  // operations alike; it only grows, so its rise across one statement is the
  // rows that statement wrote (what an ODBC client reads as its row count).
  std::int64_t totalChanges() const;

  // Write batching. While on, consecutive statements and row writes share
  // one SQLite transaction, each still atomic on its own (a refused one is
  // undone alone), committed every kBatchWrites writes or kBatchMillis
  // milliseconds, before any definition statement, when batching is turned
  // off and when the Database closes. Other connections see a write only
  // once its batch is committed, and a process killed mid-batch loses that
  // batch's writes; in exchange a row write costs no commit of its own.
  // Off by default. False when turning it off could not commit the open
  // batch (a full disk): its writes are undone, lastError() says why.
  // BatchLimit::None drops the count and the age: the batch then ends only
  // at a definition statement, when batching is turned off and at close.
  // For the one connection on a file, whose batch nobody waits to see: a
  // commit every 2000 writes rewrites the same index pages into the log
  // again and again, more often the larger the tables.
  enum class BatchLimit { WritesAndTime, None };
  bool setWriteBatching(bool on, BatchLimit limit = BatchLimit::WritesAndTime);
  // Makes every commit so far outlive a power cut, while this connection
  // stays open: one sync of the write-ahead log, which holds them (with
  // synchronous=NORMAL a commit writes the log without waiting for the
  // disk). For a program that keeps one connection on a file across several
  // units of work, each of which must outlive a power cut once done,
  // without the close and reopen that would switch the log mode twice.
  // Nothing is checkpointed (unless this connection has no log open yet):
  // emptying the log at each unit would cost two more syncs then (the log
  // and the file) and one more at the next write (the new log's header).
  // The log grows to the checkpoint interval at
  // most, and the last close still leaves one file. A batch open on this
  // connection is committed first. False when the disk refuses;
  // lastError() says why.
  bool makeDurable();
  static constexpr int kBatchWrites = 2000;
  static constexpr int kBatchMillis = 200;

  // Transactions, for clients that want several statements to stand or
  // fall together (an ODBC client with autocommit off). Between
  // beginTransaction() and commitTransaction() the statements and row
  // writes, definitions included, are one SQLite transaction, each still
  // atomic on its own (a refused one is undone alone); other connections
  // see none of them until the commit. rollbackTransaction() takes them all
  // back, the catalog with them. The write lock is taken by the first
  // write, and kept to the end. A batch of writes open at the begin is
  // committed first; no batch opens inside a transaction. Closing the
  // Database with a transaction open rolls it back. Beginning twice fails
  // (25000, native 3003); committing or rolling back with none open
  // succeeds and does nothing. When SQLite itself had to give the
  // transaction up (a full disk), every statement until the rollback
  // fails (25000, native 3034) rather than run outside it.
  bool beginTransaction();
  bool commitTransaction();
  bool rollbackTransaction();
  bool inTransaction() const;

  // A note that an application keeps inside the file, out of its catalog:
  // no table, .dump or check() shows it, and it goes with the file wherever
  // the file is copied. For a fact only someone who can write the database
  // may record (a file beside it can be deleted or planted by whoever can
  // write the folder). Setting Null removes it; a read-only open refuses
  // the write (3027). Empty optional when there is no such note.
  std::optional<std::string> applicationNote(std::string_view key) const;
  bool setApplicationNote(std::string_view key, const std::optional<std::string>& value);

  // Access's ANSI-92 mode (ExtendedAnsiSQL=1 of its ODBC driver): LIKE takes
  // % and _ as its wildcards, and *, ? and # stand for themselves. Off by
  // default.
  void setAnsiWildcards(bool on);

  // Catalog, as the tables were created (names in their own capitalisation).
  std::vector<std::string> tables() const;
  // Saved queries (CREATE VIEW v AS SELECT ..., DROP VIEW v), in the order
  // they were made. FROM names one as it names a table; its name is taken
  // among the tables' names.
  std::vector<std::string> views() const;
  // The SELECT a saved query keeps, as it was written; empty optional when
  // there is none of that name.
  std::optional<std::string> viewText(std::string_view name) const;
  // Empty optional when the table does not exist.
  std::optional<std::vector<ColumnInfo>> columns(std::string_view table) const;
  std::vector<IndexInfo> indexes(std::string_view table) const;
  // Relations in which `table` is the referring or the referred table.
  std::vector<RelationInfo> relations(std::string_view table) const;

  // Checks the whole file without changing it: SQLite's integrity check;
  // the catalog against the tables, columns and indexes of the file, both
  // ways; every relation (no row without its parent), unique index (no key
  // twice), required column (no Null) and every value against its column's
  // type and size. One French line per problem found; none when the file
  // is sound.
  std::vector<std::string> check();
  // Only the first part of it: every page of the file read and its structure
  // checked (SQLite's quick check), a fraction of check()'s time on a large
  // file. For a program that must not build on a damaged file.
  std::vector<std::string> checkPages();

  struct Impl;

 private:
  explicit Database(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
};

// A copy of an SQLite file as its last commit left it, for a backup taken
// while another program may have the file open. The copy is written to
// `destFd` (open for writing, empty) under a read transaction on `source`,
// so that no commit lands half way through it; nothing is written to
// `source` or beside it, and no commit waiting in someone else's log is
// moved into it. When no commit waits in a log, the copy is the file byte
// for byte; otherwise it is the database those commits make, written anew.
//  - Written: the copy is in `destFd`.
//  - NotNeeded: nothing was written; the file's own bytes are the copy to
//    make. Either SQLite does not read it as a database, or its header
//    still asks for a log that is not there: then no connection has it
//    open (one keeps its log from its first read to its last close) and
//    the main file holds every commit.
//  - Failed: `error` tells why (the file is locked, cannot be read, ...).
enum class Snapshot { Written, NotNeeded, Failed };
Snapshot snapshotCopy(const std::string& source, int destFd, Error& error);

// A byte copy of a database about to be converted, in `fd` and not yet
// synced, is set to the write-ahead-log mode that a writing connection
// gives the file while it has it open (the header's two format bytes). The
// first open for writing then finds the mode set and has no switch to make,
// a journaled transaction of its own with four waits on the disk; the last
// close leaves the file at rest as every last close does. Only a file of
// SQLite's format in rollback mode is changed. False, with `error`, when
// its header could not be read or written.
bool setLogModeInCopy(int fd, Error& error);

// SQLite plays whatever "-wal" (with its "-shm") or "-journal" it finds
// beside a database into it on the first read, so whoever can write the
// folder could otherwise change a database that only its owner may write.
// Such a file is used only when it is a regular file, not a link, owned by
// the owner of the database file. foreignLog gives the first that is not
// (its path), empty when none is; every open (Database::open, snapshotCopy)
// refuses the database then, with state HY000, native 3051, a French
// message naming the file, and changes nothing on disk.
std::string foreignLog(const std::string& path);

}  // namespace jetdb
