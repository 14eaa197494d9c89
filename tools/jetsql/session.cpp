#include "session.h"

#include <atomic>
#include <csignal>
#include <iostream>

#include "commands.h"

namespace jetsql {
namespace {

// The database of the session open now, for the SIGINT handler: it only
// reads this pointer and calls interrupt(), which only sets a flag.
std::atomic<jetdb::Database*> gOpen{nullptr};
volatile std::sig_atomic_t gInterrupted = 0;

void printError(const jetdb::Error& e, const std::string& context) {
  std::cerr << "ERREUR [" << e.state << "] (" << e.native << ") " << e.origin << " " << e.message << "\n" << context;
}

}  // namespace

std::unique_ptr<Session> Session::open(const std::string& path, Access access, Output output) {
  jetdb::Error error;
  auto db = jetdb::Database::open(path, access == Access::Create ? jetdb::OpenMode::Create : jetdb::OpenMode::ReadOnly,
                                  error);
  bool readOnly = access != Access::Create;
  // A file that its killed writer left unfinished (its log gone, or a
  // journal still to play back) is read only once an open for writing has
  // mended it, as any writer's open does; the driver changes no file that
  // is not one of its databases.
  if (!db && access == Access::WhenWritten) {
    jetdb::Error writing;
    db = jetdb::Database::open(path, jetdb::OpenMode::Existing, writing);
    readOnly = !db;
  }
  if (!db) {
    printError(error, "");
    return nullptr;
  }
  const bool opensOnWrite = access == Access::WhenWritten && readOnly;
  return std::unique_ptr<Session>(new Session(path, opensOnWrite, std::move(db), std::move(output)));
}

Session::Session(std::string path, bool opensOnWrite, std::unique_ptr<jetdb::Database> db, Output output)
    : path_(std::move(path)), opensOnWrite_(opensOnWrite), output_(std::move(output)) {
  setDatabase(std::move(db));
}

Session::~Session() { gOpen = nullptr; }

void Session::setDatabase(std::unique_ptr<jetdb::Database> db) {
  gOpen = nullptr;
  db_ = std::move(db);
  gOpen = db_.get();
}

void Session::interruptRunning() {
  gInterrupted = 1;
  if (jetdb::Database* db = gOpen) db->interrupt();
}

bool Session::interrupted() { return gInterrupted != 0; }
void Session::clearInterrupted() { gInterrupted = 0; }

void Session::fail(const std::string& message) const { std::cerr << "ERREUR " << message << "\n" << context_; }
void Session::fail(const jetdb::Error& error) const { printError(error, context_); }

// The file opened for writing in place of its read-only open. When it
// cannot be (a file the user may only read), the read-only open stays and
// refuses the write as such.
bool Session::openForWriting() {
  jetdb::Error error;
  auto db = jetdb::Database::open(path_, jetdb::OpenMode::Existing, error);
  if (!db) return false;
  opensOnWrite_ = false;
  setDatabase(std::move(db));
  return true;
}

Outcome Session::statement(const std::string& text) {
  auto prepared = db_->prepare(text);
  if (prepared && prepared->writes() && opensOnWrite_ && openForWriting())
    prepared = db_->prepare(text);
  if (!prepared) {
    fail(db_->lastError());
    return Outcome::Failed;
  }
  if (!prepared->returnsRows()) {
    if (db_->execute(*prepared)) return Outcome::Done;
    fail(db_->lastError());
    return Outcome::Failed;
  }
  auto q = db_->query(*prepared);
  if (!q) {
    fail(db_->lastError());
    return Outcome::Failed;
  }
  std::vector<std::string> header;
  for (const auto& c : q->columns()) header.push_back(c.name);
  if (output_.streams()) return streamRows(*q, header);
  std::vector<Row> rows;
  while (q->next()) {
    Row r;
    for (std::size_t i = 0; i < header.size(); ++i) r.push_back(cellOf(q->value(i)));
    rows.push_back(std::move(r));
  }
  if (q->error()) {
    fail(*q->error());
    return Outcome::Failed;
  }
  output_.print(header, rows, std::cout);
  return Outcome::Done;
}

// Written a block at a time as the rows come, as the sqlite3 shell does: a
// scan of a large table is not kept whole in memory, and the rows already
// written stay written when a later one fails.
Outcome Session::streamRows(jetdb::Query& q, const std::vector<std::string>& header) {
  constexpr std::size_t kBlock = 1 << 16;
  std::string text;
  if (output_.headers) output_.appendLine(text, std::vector<Cell>(header.begin(), header.end()));
  std::vector<Cell> cells(header.size());
  while (q.next()) {
    for (std::size_t i = 0; i < cells.size(); ++i) cells[i] = cellOf(q.value(i));
    output_.appendLine(text, cells);
    if (text.size() >= kBlock) {
      std::cout.write(text.data(), static_cast<std::streamsize>(text.size()));
      text.clear();
    }
  }
  std::cout.write(text.data(), static_cast<std::streamsize>(text.size()));
  if (q.error()) {
    std::cout.flush();
    fail(*q.error());
    return Outcome::Failed;
  }
  return Outcome::Done;
}

Outcome Session::run(const std::string& piece) {
  if (!piece.empty() && piece[0] == '.') return command(*this, piece);
  return statement(piece);
}

Outcome Session::runScript(std::string_view script, const std::string& file, bool stopAtError) {
  const std::string outer = context_;
  ++depth_;
  Outcome result = Outcome::Done;
  for (const auto& p : scriptPieces(script)) {
    context_ = "  à la ligne " + std::to_string(p.line) + (file.empty() ? "" : " de " + file) + " : " + p.text + "\n";
    Outcome o = run(p.text);
    if (interrupted()) o = Outcome::Failed;
    if (o == Outcome::Quit || (o == Outcome::Failed && (stopAtError || interrupted()))) {
      result = o;
      break;
    }
    if (o == Outcome::Failed) result = o;
  }
  --depth_;
  context_ = outer;
  return result;
}

}  // namespace jetsql
