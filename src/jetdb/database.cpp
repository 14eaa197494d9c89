// The Database object: opening files (their journal modes, their reading
// without a write), the row API and catalog inspection. Statements run in
// statements.cpp, inside the transactions of transaction.cpp.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>

#include "collation.h"
#include "errors.h"
#include "executors.h"
#include "jetdb/faults.h"
#include "jetdb/text.h"
#include "session.h"
#include "sqlite_file.h"
#include "sqlite_functions.h"
#include "transaction.h"

namespace jetdb {
namespace {

void likeFunction(sqlite3_context* ctx, int, sqlite3_value** argv) {
  const auto* session = static_cast<const Session*>(sqlite3_user_data(ctx));
  if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
    sqlite3_result_null(ctx);
    return;
  }
  auto text = [](sqlite3_value* v) {
    const unsigned char* t = sqlite3_value_text(v);
    return std::string_view(reinterpret_cast<const char*>(t), static_cast<std::size_t>(sqlite3_value_bytes(v)));
  };
  std::string value(text(argv[0]));
  std::string pattern(text(argv[1]));
  sqlite3_result_int(ctx, likeMatch(value, pattern, session && session->ansiWildcards) ? 1 : 0);
}

// Durability and sharing. While a connection that writes has the file
// open, it runs in WAL mode with synchronous=NORMAL: a commit is a single
// append to the write-ahead log, and the log carries checksums, so a process
// killed at any moment leaves a file that opens on the state after its last
// committed statement (SQLite replays or discards the log on the next open).
// What NORMAL gives up is durability across a power cut: the last few
// commits may be lost, never the consistency of the file. A rollback journal
// with synchronous=FULL would pay two fsyncs per statement for that, which
// row-by-row record-set work cannot afford. WAL also lets readers of other
// processes go on while one writes. Writers take the lock at the start of
// each statement and wait up to kBusyTimeoutMs for it.
//
// At rest the file is in rollback-journal (DELETE) mode: a connection for
// writing switches it to WAL when it opens and, the last to close,
// checkpoints the log into the file and switches it back (a file found in
// WAL mode, a killed writer's, is taken over the same way). So a closed
// database is one file whose header asks for no log, which a reader can
// open where it could not create the log's index (-shm): in a read-only
// folder. Both switches are single rollback-journal transactions run with
// synchronous=FULL, and the log is removed only once checkpointed, so a
// kill or a power cut during either leaves the file whole, before or after
// it. They mark the file even when nothing else is written: what must stay
// byte for byte as it was is opened read-only. The switch to WAL is not put
// off to the first write: until then the connection's own reads would take
// the locks of a rollback journal, which keep other writers from committing.
// A connection that is not the last (another writer, a reader of another
// process) finds the file busy, fails the switch back at once and leaves it
// to the last one; a file whose readers outlive every writer stays in WAL
// mode with its log, as after a kill, until the next writer opens and
// closes it.
//
// A read-only connection writes nothing. It opens the file read-only with
// readonly_shm=1 (a URI parameter of SQLite's unix VFS, from the release that
// brought read-only WAL readers, 3.22), so that SQLite never opens the log's
// index for writing: it uses the index of a live writer, or else rebuilds it
// in its own memory from the log, under a read lock that keeps any writer
// from checkpointing under it. What it cannot do without writing is create
// a missing index, so a file whose log lies beside it without its index is
// refused rather than read. Neither immutable=1 nor nolock=1 is sound while
// a log exists: both drop the locks that keep another process from
// checkpointing pages under the reader, nolock refuses WAL files outright,
// and immutable ignores the log with the commits in it. A file in WAL mode
// with no log at all holds every commit in itself and is open nowhere; it
// is read as immutable (a writer that opened it during the read could
// checkpoint under the reader: a window of one read, accepted).
//
// A merge rewrites the same few pages of a table and its indexes tens of
// thousands of times: a larger checkpoint interval copies each one back to
// the file once per checkpoint instead of every thousand pages.
// SELECT @@IDENTITY: the connection's last Counter value, read as the
// statement runs (a prepared statement is compiled once).
void identityFunction(sqlite3_context* ctx, int, sqlite3_value**) {
  sqlite3_result_int64(ctx, static_cast<const Session*>(sqlite3_user_data(ctx))->lastIdentity);
}

// Stops the row insert that found no parent for a value (see rows.cpp). The
// code is SQLite's own for a broken foreign key, which no file of ours
// declares: the insert knows it for this function's.
void parentMissingFunction(sqlite3_context* ctx, int, sqlite3_value**) {
  sqlite3_result_error(ctx, "parent row missing", -1);
  sqlite3_result_error_code(ctx, SQLITE_CONSTRAINT_FOREIGNKEY);
}

bool configure(sqlite3* db, Session& session) {
  sqlite3_busy_timeout(db, kBusyTimeoutMs);
  return registerCollation(db, CollationRule::Current) &&
         sqlite3_create_function_v2(db, "jetlike", 2, SQLITE_UTF8 | SQLITE_DETERMINISTIC, &session, likeFunction,
                                    nullptr, nullptr, nullptr) == SQLITE_OK &&
         sqlite3_create_function_v2(db, "jet_identity", 0, SQLITE_UTF8, &session, identityFunction, nullptr, nullptr,
                                    nullptr) == SQLITE_OK &&
         sqlite3_create_function_v2(db, "jet_parent_missing", 0, SQLITE_UTF8 | SQLITE_DIRECTONLY, nullptr,
                                    parentMissingFunction, nullptr, nullptr, nullptr) == SQLITE_OK &&
         registerFunctions(db) && registerAggregates(db);
}

// The page cache holds the whole file, up to kMaxCacheKb: a merge visits
// the rows of a link table in key order, which is not the order of their
// pages, and a step rewrites its tables with their indexes. With a cache
// smaller than the file, each visit reads back pages it evicted before and
// each batch spills its pages to the log before its commit, so that the
// work per row grows with the size of the file; a reader's ordered scan
// likewise reads each page many times through SQLite's default 2 MB. Pages
// are only cached once read: a small file costs no more memory than its
// size. The ceiling keeps a file of a million categories, or a kitchen
// sixteen times the large one of the benchmarks (200 MB), within 100 MB
// of memory; measured on those, a ceiling of 32 MB costs no more time than
// one of 64 MB: what a merge reads again in key order is a part of the
// file, not all of it.
//
// Index builds and sorts stay in memory up to the size of that cache, and
// spill to a temporary file only beyond it: SQLite then packs their records
// into one buffer, where with temporary storage in memory it would allocate
// and free each record on its own (a run's sorts hold hundreds of
// thousands). Multi-row statements' undo journals stay in memory (see
// prepareSqlite). The setting writes nothing to the file: readers take it
// too.
constexpr std::int64_t kMinCacheKb = 16384;
constexpr std::int64_t kMaxCacheKb = 32 * 1024;
bool useMemory(sqlite3* db, std::int64_t fileBytes) {
  const std::int64_t cacheKb = std::clamp(fileBytes / 1024 + fileBytes / 4096, kMinCacheKb, kMaxCacheKb);
  const std::string cache = "PRAGMA cache_size=-" + std::to_string(cacheKb);
  return exec(db, cache.c_str());
}

// The read at the end opens the log at once: a reader that finds the header
// asking for a log finds it beside the file.
bool setJournal(sqlite3* db) {
  return exec(db, "PRAGMA synchronous=FULL") && exec(db, "PRAGMA journal_mode=WAL") &&
         exec(db, "PRAGMA synchronous=NORMAL") && exec(db, "PRAGMA wal_autocheckpoint=20000") &&
         exec(db, "PRAGMA schema_version");
}

// The last writer's switch back to a rollback journal. With another
// connection on the file the switch fails at once (busy, with no wait), and
// the file is left to that one.
void leaveWal(sqlite3* db) {
  sqlite3_busy_timeout(db, 0);
  exec(db, "PRAGMA synchronous=FULL");
  exec(db, "PRAGMA journal_mode=DELETE");
}

// The URI that opens `path` read-only without writing (see above), or as
// an immutable file.
std::string readOnlyUri(const std::string& path, bool immutable = false) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string uri = path.starts_with('/') ? "file://" : "file:";
  for (char c : path) {
    if (c == '%' || c == '?' || c == '#') {
      uri += '%';
      uri += kHex[static_cast<unsigned char>(c) >> 4];
      uri += kHex[static_cast<unsigned char>(c) & 15];
    } else {
      uri += c;
    }
  }
  return uri + (immutable ? "?mode=ro&immutable=1" : "?mode=ro&readonly_shm=1");
}

}  // namespace

void prepareSqlite() {
  // SQLite keeps memory statistics, which nothing here reads, under one
  // process-wide mutex taken on every allocation and free: a record set's
  // row costs several of them. Only possible before SQLite's first use; a
  // process that used it already (a client of the driver, say) keeps its
  // statistics, and loses nothing.
  static const bool kNoMemoryStatistics = sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0) == SQLITE_OK;
  (void)kNoMemoryStatistics;
  // A multi-row statement's undo journal stays in memory whatever its size:
  // in a temporary file it would be written, read back and deleted (the
  // deletion waits on the disk), for a few megabytes at most.
  static const bool kStatementJournalsInMemory = sqlite3_config(SQLITE_CONFIG_STMTJRNL_SPILL, -1) == SQLITE_OK;
  (void)kStatementJournalsInMemory;
}

int openSqlite(const std::string& path, OpenMode mode, sqlite3** db) {
  prepareSqlite();
  const bool readOnly = mode == OpenMode::ReadOnly;
  const int flags = SQLITE_OPEN_NOMUTEX | (readOnly ? SQLITE_OPEN_READONLY | SQLITE_OPEN_URI : SQLITE_OPEN_READWRITE) |
                    (mode == OpenMode::Create ? SQLITE_OPEN_CREATE : 0);
  return sqlite3_open_v2(readOnly ? readOnlyUri(path).c_str() : path.c_str(), db, flags, nullptr);
}

// Read through SQLite's own handle, before any statement: SQLite has read
// nothing yet, so nothing is ever written to a foreign file, and a
// descriptor of our own would, once closed, drop the locks that other
// connections of this process hold on the file (POSIX locks belong to the
// process, not to the descriptor).
FileKind fileKind(sqlite3* db) {
  sqlite3_file* file = nullptr;
  unsigned char header[100] = {};
  if (sqlite3_file_control(db, "main", SQLITE_FCNTL_FILE_POINTER, &file) != SQLITE_OK || !file || !file->pMethods ||
      file->pMethods->xRead(file, header, sizeof header, 0) != SQLITE_OK ||
      std::memcmp(header, "SQLite format 3", 16) != 0)
    return FileKind::Foreign;
  // Bytes 18 and 19, the write and read versions, are 2 in WAL mode.
  return header[18] == 2 || header[19] == 2 ? FileKind::Wal : FileKind::Rollback;
}

bool logPresent(const std::string& path) {
  struct stat info {};
  return ::stat((path + "-wal").c_str(), &info) == 0 && ::stat((path + "-shm").c_str(), &info) == 0;
}

Database::Impl::~Impl() {
  if (!db) return;
  // A transaction still open was never committed: it is undone. What a
  // batch holds is committed work of the caller's.
  if (transaction && !sqlite3_get_autocommit(db)) exec(db, "ROLLBACK");
  commitBatch();
  // Finalized first, so that the switch finds no statement of its own in
  // the way and the connection closes now.
  cache.clear();
  shapes.clear();
  idleQueries.clear();
  if (wal) leaveWal(db);
  sqlite3_close_v2(db);
}

Error sqliteFailure(sqlite3* db, int code, const std::string& path, std::string_view table) {
  const int primary = code & 0xFF;
  // SQLite words a file system mounted read-only as a read-only file, a
  // failed write or a file it cannot open, whichever it met first.
  if ((primary == SQLITE_READONLY || primary == SQLITE_CANTOPEN || primary == SQLITE_PERM ||
       (primary == SQLITE_IOERR && code != SQLITE_IOERR_NOMEM)) &&
      !path.empty() && onReadOnlyFileSystem(path))
    return errors::readOnlyDisk(path);
  switch (primary) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
    case SQLITE_PROTOCOL:
      return errors::fileLocked(path);
    case SQLITE_READONLY:
      return errors::readOnly(path);
    case SQLITE_CONSTRAINT:
      return errors::duplicateValues(table);
    case SQLITE_CORRUPT:
      return errors::corrupt(path);
    case SQLITE_NOTADB:
      return errors::notADatabase(path);
    case SQLITE_FULL:
      return errors::diskFull(path);
    case SQLITE_IOERR:
      return code == SQLITE_IOERR_NOMEM ? errors::outOfMemory() : errors::ioError(path);
    case SQLITE_NOMEM:
      return errors::outOfMemory();
    case SQLITE_CANTOPEN:
      if (auto tooLong = pathLimitError(path)) return *tooLong;
      return errors::cannotOpen(path);
    case SQLITE_PERM:
    case SQLITE_AUTH:
      return errors::cannotOpen(path);
    case SQLITE_INTERRUPT:
      return errors::interrupted();
    case SQLITE_TOOBIG:
      return errors::tooComplex();
    case SQLITE_MISMATCH:
      return errors::wrongType(table);
    case SQLITE_ERROR: {
      // SQLite's limits on a statement's size come as plain errors; only
      // their English text tells them apart.
      static const char* kLimits[] = {"parser stack overflow", "Expression tree is too large", "too many"};
      const char* message = db ? sqlite3_errmsg(db) : "";
      if (auto raised = functionError(message)) return *raised;
      for (const char* limit : kLimits)
        if (std::strncmp(message, limit, std::strlen(limit)) == 0) return errors::tooComplex();
      return errors::engine(code);
    }
    default:
      return errors::engine(code);
  }
}

Error Session::sqliteError(std::string_view table) const {
  return sqliteFailure(db, sqlite3_extended_errcode(db), path, table);
}

namespace {

// An existing file that SQLite would not open or read: unknown to it,
// unless the machine is the reason (memory, a read-only file system).
Error unopenedFailure(int code, const std::string& path) {
  if ((code & 0xFF) == SQLITE_NOMEM || code == SQLITE_IOERR_NOMEM) return errors::outOfMemory();
  if (onReadOnlyFileSystem(path)) return errors::readOnlyDisk(path);
  return errors::notADatabase(path);
}

}  // namespace

Database::Database(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
Database::~Database() = default;

std::unique_ptr<Database> Database::open(const std::string& path, OpenMode mode, Error& error) {
  const bool create = mode == OpenMode::Create;
  struct stat info {};
  const bool exists = ::stat(path.c_str(), &info) == 0;
  if (create && exists) {
    error = errors::fileExists(path);
    return nullptr;
  }
  if (!create && !exists) {
    error = errors::fileNotFound(path);
    return nullptr;
  }
  if (!create && !S_ISREG(info.st_mode)) {
    error = errors::notADatabase(path);
    return nullptr;
  }
  if (auto foreign = create ? std::nullopt : foreignLogError(path)) {
    error = *foreign;
    return nullptr;
  }
  if (auto tooLong = pathLimitError(path)) {
    error = *tooLong;
    return nullptr;
  }
  auto impl = std::make_unique<Impl>();
  impl->path = path;
  impl->readOnly = mode == OpenMode::ReadOnly;
  if (openSqlite(path, mode, &impl->db) != SQLITE_OK || !configure(impl->db, *impl)) {
    const int code = impl->db ? sqlite3_extended_errcode(impl->db) : SQLITE_NOMEM;
    error = create ? sqliteFailure(impl->db, code, path) : unopenedFailure(code, path);
    impl.reset();
    if (create) std::remove(path.c_str());
    return nullptr;
  }
  FileKind kind = FileKind::Rollback;
  if (create) {
    impl->wal = true;
    std::string detail;
    if (!useMemory(impl->db, 0) || !setJournal(impl->db) || !exec(impl->db, "BEGIN IMMEDIATE") ||
        !Catalog::create(impl->db, detail) || !markCurrentRule(impl->db) || !exec(impl->db, "COMMIT")) {
      error = impl->sqliteError();
      impl.reset();
      std::remove(path.c_str());
      return nullptr;
    }
  } else {
    kind = fileKind(impl->db);
    if (kind == FileKind::Foreign) {
      error = errors::notADatabase(path);
      return nullptr;
    }
    if (kind == FileKind::Wal && impl->readOnly && !logPresent(path)) {
      // No log at all: the main file holds every commit and no connection
      // has the file open (a connection in WAL mode keeps the log while it
      // lives), as after a clean close by a writer that left the file in
      // WAL mode, earlier builds of this driver among them. Such a file is
      // read as immutable, which takes no lock and creates no index. A log
      // without its index is refused: reading it would mean writing one.
      if (::access((path + "-wal").c_str(), F_OK) == 0) {
        error = errors::logMissing(path);
        return nullptr;
      }
      sqlite3_close_v2(impl->db);
      impl->db = nullptr;
      if (sqlite3_open_v2(readOnlyUri(path, true).c_str(), &impl->db,
                          SQLITE_OPEN_NOMUTEX | SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, nullptr) != SQLITE_OK ||
          !configure(impl->db, *impl)) {
        // The file was read once already: what fails now is the machine
        // (memory, most often), not the file's format.
        error = unopenedFailure(impl->db ? sqlite3_extended_errcode(impl->db) : SQLITE_NOMEM, path);
        return nullptr;
      }
    }
  }
  if (!create && !useMemory(impl->db, static_cast<std::int64_t>(info.st_size))) {
    error = unopenedFailure(sqlite3_extended_errcode(impl->db), path);
    return nullptr;
  }
  if (!impl->catalog.load(impl->db)) {
    // The code of the read that failed, not the connection's last one: a
    // later statement that succeeded would have cleared it.
    const int code = impl->catalog.loadError();
    error = code == SQLITE_OK ? errors::notADatabase(path)
            : (code & 0xFF) == SQLITE_BUSY || (code & 0xFF) == SQLITE_LOCKED ? errors::fileLocked(path)
                                                                             : unopenedFailure(code, path);
    return nullptr;
  }
  // A file whose indexes follow the older collation: a writer rebuilds them
  // in the current order before anything else, while the file is still in
  // its own journal mode, so that a refusal leaves it byte for byte as it
  // was; a reader, which may not write, compares in the order the indexes
  // were built in, so that no lookup misses a row.
  std::optional<CollationRule> rule = CollationRule::Current;
  if (!create && !(rule = fileRule(impl->db))) {
    error = unopenedFailure(sqlite3_extended_errcode(impl->db), path);
    return nullptr;
  }
  const bool older = *rule == CollationRule::Older;
  if (older && impl->readOnly && !registerCollation(impl->db, CollationRule::Older)) {
    error = unopenedFailure(sqlite3_extended_errcode(impl->db), path);
    return nullptr;
  }
  if (mode == OpenMode::Existing || mode == OpenMode::ExistingAtRest) {
    if (older && !rebuildIndexes(impl->db, path, impl->catalog, error)) return nullptr;
    const bool atRest = mode == OpenMode::ExistingAtRest && kind == FileKind::Rollback;
    impl->wal = !atRest;
    if (!(atRest ? exec(impl->db, "PRAGMA synchronous=FULL") : setJournal(impl->db))) {
      error = impl->sqliteError();
      return nullptr;
    }
  }
  return std::unique_ptr<Database>(new Database(std::move(impl)));
}

bool Database::makeDurable() {
  Session& s = *impl_;
  s.last = Error{};
  if (s.readOnly || !s.wal) return true;
  if (!s.commitBatch()) return false;
  // SQLite's own handle on the log: the one its locks and checkpoints use,
  // not a file found again by its name beside the database.
  // Without it (no log open on this connection yet), a checkpoint puts the
  // commits into the file itself, synced.
  sqlite3_file* log = nullptr;
  const int rc =
      sqlite3_file_control(s.db, "main", SQLITE_FCNTL_JOURNAL_POINTER, &log) == SQLITE_OK && log && log->pMethods
          ? log->pMethods->xSync(log, SQLITE_SYNC_NORMAL)
          : sqlite3_wal_checkpoint_v2(s.db, nullptr, SQLITE_CHECKPOINT_TRUNCATE, nullptr, nullptr);
  return rc == SQLITE_OK || s.fail(sqliteFailure(s.db, rc, s.path));
}

bool Database::setWriteBatching(bool on, BatchLimit limit) {
  const bool committed = on || impl_->commitBatch();
  impl_->batching = on;
  impl_->batchBounded = limit == BatchLimit::WritesAndTime;
  return committed;
}

namespace {

bool namedValues(Session& s, const TableMeta& t, const std::vector<std::pair<std::string, Value>>& in,
                 std::vector<std::pair<std::size_t, Value>>& out) {
  out.reserve(in.size());
  for (const auto& [name, v] : in) {
    int c = t.findColumn(name);
    if (c < 0) return s.fail(errors::columnNotFound(name, t.name));
    for (const auto& seen : out)
      if (seen.first == static_cast<std::size_t>(c)) return s.fail(errors::columnTwice(name));
    out.emplace_back(static_cast<std::size_t>(c), v);
  }
  return true;
}

// The table a row write names and its values by column index; null, with
// the error, when the table or a column is unknown or named twice.
const TableMeta* rowTarget(Session& s, std::string_view table,
                           const std::vector<std::pair<std::string, Value>>& values,
                           std::vector<std::pair<std::size_t, Value>>& named) {
  s.last = Error{};
  const TableMeta* t = s.catalog.findTable(table);
  if (!t) {
    s.fail(errors::tableNotFound(table));
    return nullptr;
  }
  return namedValues(s, *t, values, named) ? t : nullptr;
}

}  // namespace

bool Database::insertRow(std::string_view table, const std::vector<std::pair<std::string, Value>>& values,
                         RowId* rowId) {
  Session& s = *impl_;
  std::vector<std::pair<std::size_t, Value>> named;
  const TableMeta* t = rowTarget(s, table, values, named);
  if (!t) return false;
  std::vector<std::optional<Value>> row(t->columns.size());
  for (auto& [i, v] : named) row[i] = std::move(v);
  StatementTransaction tx(s, true, true);
  if (!tx.begin() || !insertValues(s, *t, row, rowId)) return false;
  return tx.commit();
}

bool Database::updateRow(std::string_view table, RowId row, const std::vector<std::pair<std::string, Value>>& values) {
  Session& s = *impl_;
  std::vector<std::pair<std::size_t, Value>> named;
  const TableMeta* t = rowTarget(s, table, values, named);
  if (!t) return false;
  // A column that no relation names and that is no counter is written
  // without reading the row first, as UPDATE writes it: a record set's
  // Update of a label's text is the merges' commonest write.
  std::vector<std::size_t> columns;
  for (const auto& [column, value] : named) columns.push_back(column);
  const bool free = writesFreeColumns(s, *t, columns);
  StatementTransaction tx(s, true, true, free);
  if (!tx.begin() || !(free ? updateFreeValues(s, *t, row, named) : updateValues(s, *t, row, named))) return false;
  // Unread, a row that is gone is told by the write that found nothing.
  if (free && sqlite3_changes(s.db) == 0) return s.fail(errors::rowNotFound());
  return tx.commit();
}

bool Database::deleteRow(std::string_view table, RowId row) {
  Session& s = *impl_;
  s.last = Error{};
  const TableMeta* t = s.catalog.findTable(table);
  if (!t) return s.fail(errors::tableNotFound(table));
  // A row that no relation refers to is deleted without being read first.
  StatementTransaction tx(s, true, true, !referredTo(s, *t));
  if (!tx.begin() || !deleteRowChecked(s, *t, row)) return false;
  return tx.commit();
}

const Error& Database::lastError() const { return impl_->last; }

// sqlite3_interrupt only sets a flag of the connection that its running
// statements read: safe from a signal handler.
void Database::interrupt() { sqlite3_interrupt(impl_->db); }

std::int64_t Database::totalChanges() const { return sqlite3_total_changes64(impl_->db); }

namespace {

// The application's notes share the driver's private table under a prefix
// of their own, so that no note can stand for one of the driver's facts.
std::string noteKey(std::string_view key) { return "note:" + std::string(key); }

}  // namespace

std::optional<std::string> Database::applicationNote(std::string_view key) const {
  Stmt s(impl_->db, "SELECT value FROM _jet_meta WHERE key = ?");
  const std::string k = noteKey(key);
  if (!s.ok()) return std::nullopt;
  s.bind(1, std::string_view(k));
  if (s.step() != SQLITE_ROW) return std::nullopt;
  return s.text(0);
}

bool Database::setApplicationNote(std::string_view key, const std::optional<std::string>& value) {
  Session& s = *impl_;
  s.last = Error{};
  StatementTransaction tx(s, false);
  if (!tx.begin()) return false;
  Stmt st(s.db, value ? "INSERT OR REPLACE INTO _jet_meta VALUES(?, ?)" : "DELETE FROM _jet_meta WHERE key = ?");
  if (!st.ok()) return s.fail(s.sqliteError());
  const std::string k = noteKey(key);
  st.bind(1, std::string_view(k));
  if (value) st.bind(2, std::string_view(*value));
  if (st.step() != SQLITE_DONE) return s.fail(s.sqliteError());
  return tx.commit();
}

std::vector<std::string> Database::tables() const {
  std::vector<std::string> out;
  for (const auto& t : impl_->catalog.tables()) out.push_back(t.name);
  return out;
}

std::vector<std::string> Database::views() const {
  std::vector<std::string> out;
  for (const auto& v : impl_->catalog.views()) out.push_back(v.name);
  return out;
}

std::optional<std::string> Database::viewText(std::string_view name) const {
  const ViewMeta* v = impl_->catalog.findView(name);
  if (!v) return std::nullopt;
  return v->sql;
}

std::optional<std::vector<ColumnInfo>> Database::columns(std::string_view table) const {
  const TableMeta* t = impl_->catalog.findTable(table);
  if (!t) return std::nullopt;
  std::vector<ColumnInfo> out;
  for (std::size_t i = 0; i < t->columns.size(); ++i) {
    const auto& c = t->columns[i];
    out.push_back(columnInfoOf(c.name, c.type, !t->columnRequired(i) && c.type.type != JetType::Bit));
    if (!c.defaultText.empty()) out.back().defaultValue = c.defaultText;
  }
  return out;
}

std::vector<IndexInfo> Database::indexes(std::string_view table) const {
  std::vector<IndexInfo> out;
  if (const TableMeta* t = impl_->catalog.findTable(table))
    for (const auto& ix : t->indexes)
      out.push_back(IndexInfo{ix.name, ix.columns, ix.unique, ix.primary, ix.ignoreNull, ix.disallowNull});
  return out;
}

std::vector<RelationInfo> Database::relations(std::string_view table) const {
  std::vector<RelationInfo> out;
  for (const auto& r : impl_->catalog.relations())
    if (sameName(r.table, table) || sameName(r.refTable, table))
      out.push_back(RelationInfo{r.name, r.table, r.columns, r.refTable, r.refColumns});
  return out;
}

}  // namespace jetdb
