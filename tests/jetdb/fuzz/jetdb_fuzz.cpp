// libFuzzer target: every input is split on newlines into statements run
// against a small database with a relation, a counter, a bit and a date;
// then the closed file must open read-only with its catalog and rows
// readable. Build with -DUPDATER_FUZZ=ON and clang; run e.g.
//   build-fuzz/tests/jetdb/jetdb_fuzz -runs=1000000 -timeout=10 -entropic=0 NEW_DIR tests/jetdb/fuzz/corpus
// (the corpus folder holds seeds of the operator chains, IN lists, nesting,
// definitions and writes that plain mutation rarely reaches; -entropic=0
// because the default schedule's bookkeeping of rare features, run over the
// whole driver's counters after every input, took as long as the input).
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

#include "jetdb/jetdb.h"

namespace {

void removeDatabase(const std::string& path) {
  std::remove(path.c_str());
  std::remove((path + "-wal").c_str());
  std::remove((path + "-shm").c_str());
}

// On tmpfs: a disk sync per commit would cap the run at a few inputs a second.
const std::string& databasePath() {
  static const std::string path = "/dev/shm/jetdb_fuzz_" + std::to_string(::getpid()) + ".mdb";
  // Registered after the path's destructor, so run before it.
  static const bool removedAtExit = std::atexit([] { removeDatabase(databasePath()); }) == 0;
  (void)removedAtExit;
  return path;
}

// Whatever the statements did, the closed database is one file, without its
// log, that a reader opens without writing, and its catalog and rows read
// back.
void checkClosed(const std::string& path) {
  struct stat info {};
  if (::stat((path + "-wal").c_str(), &info) == 0) __builtin_trap();
  jetdb::Error error;
  auto db = jetdb::Database::open(path, jetdb::OpenMode::ReadOnly, error);
  if (!db) __builtin_trap();
  for (const auto& t : db->tables()) {
    auto q = db->query("SELECT * FROM [" + t + "]");
    if (!q) __builtin_trap();
    while (q->next()) {
    }
    if (q->error()) __builtin_trap();
  }
}

// The closed file the set-up statements leave, built once: creating the
// catalog and running the definitions cost twenty times the statements of a
// typical input, and each input starts from the same bytes all the same.
const std::string& seededImage() {
  static const std::string image = [] {
    const std::string& path = databasePath();
    removeDatabase(path);
    jetdb::Error error;
    {
      auto db = jetdb::Database::open(path, true, error);
      if (!db || !db->execute("CREATE TABLE [P] ([ID] INTEGER CONSTRAINT PrimaryKey PRIMARY KEY, [NAME] TEXT(10))") ||
          !db->execute("CREATE TABLE [C] ([ID] COUNTER, [P] INTEGER, [B] BIT, [D] DATETIME)") ||
          !db->execute("ALTER TABLE [C] ADD CONSTRAINT [PC] FOREIGN KEY ([P]) REFERENCES [P]([ID])") ||
          !db->execute("INSERT INTO [P] VALUES (1, 'un')") || !db->execute("INSERT INTO [C] ([P]) VALUES (1)"))
        __builtin_trap();
    }
    checkClosed(path);
    std::ifstream in(path, std::ios::binary);
    std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (bytes.size() < 100) __builtin_trap();
    return bytes;
  }();
  return image;
}

// One write of the whole image: each input opens the seeded database byte
// for byte, with no log beside it.
void restore(const std::string& path, const std::string& image) {
  removeDatabase(path);
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd < 0 || ::write(fd, image.data(), image.size()) != static_cast<ssize_t>(image.size())) __builtin_trap();
  ::close(fd);
}

// Most inputs commit nothing. Their file is then the seeded one but for the
// change counter that the switches of journal mode move (bytes 24-27 and its
// copy at 92-95), and checkClosed would only read the seeded database again,
// which passed it once: a third of an input's time saved.
bool unchanged(const std::string& path, const std::string& image) {
  static std::string bytes(image.size() + 1, '\0');
  const int fd = ::open(path.c_str(), O_RDONLY);
  if (fd < 0) return false;
  const ssize_t read = ::read(fd, bytes.data(), bytes.size());
  ::close(fd);
  if (read != static_cast<ssize_t>(image.size())) return false;
  auto same = [&](std::size_t from, std::size_t to) {
    return std::memcmp(bytes.data() + from, image.data() + from, to - from) == 0;
  };
  return same(0, 24) && same(28, 92) && same(96, image.size());
}

void run(jetdb::Database& db, std::string_view input) {
  while (!input.empty()) {
    std::size_t nl = input.find('\n');
    std::string_view sql = input.substr(0, nl);
    if (auto q = db.query(sql)) {
      for (int rows = 0; rows < 1000 && q->next(); ++rows) {
        for (std::size_t i = 0; i < q->columns().size(); ++i) (void)q->value(i).asText();
        if (q->rowId() && rows == 0) db.updateRow("C", q->rowId(), {{"B", jetdb::Value::of(1)}});
      }
    } else {
      db.execute(sql);
    }
    if (nl == std::string_view::npos) break;
    input.remove_prefix(nl + 1);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string& path = databasePath();
  restore(path, seededImage());
  {
    jetdb::Error error;
    auto db = jetdb::Database::open(path, false, error);
    if (!db) __builtin_trap();
    run(*db, std::string_view(reinterpret_cast<const char*>(data), size));
  }
  if (!unchanged(path, seededImage())) checkClosed(path);
  return 0;
}
