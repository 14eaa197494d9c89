// libFuzzer target: every input is split on newlines into statements run
// against a small database with a relation, then the database must still
// answer a query. Build with -DUPDATER_FUZZ=ON and clang; run e.g.
//   build-fuzz/tests/jetdb/jetdb_fuzz -max_total_time=60 NEW_DIR tests/jetdb/fuzz/corpus
// (the corpus folder holds seeds of the operator chains, IN lists and
// nesting that plain mutation rarely reaches).
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "jetdb/jetdb.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // On tmpfs: every input creates a database, and a disk sync per commit
  // would cap the run at a few inputs a second.
  static const std::string path = "/dev/shm/jetdb_fuzz_" + std::to_string(::getpid()) + ".mdb";
  std::remove(path.c_str());
  std::remove((path + "-wal").c_str());
  std::remove((path + "-shm").c_str());
  jetdb::Error error;
  auto db = jetdb::Database::open(path, true, error);
  if (!db) return 0;
  db->execute("CREATE TABLE [P] ([ID] INTEGER CONSTRAINT PrimaryKey PRIMARY KEY, [NAME] TEXT(10))");
  db->execute("CREATE TABLE [C] ([ID] COUNTER, [P] INTEGER, [B] BIT, [D] DATETIME)");
  db->execute("ALTER TABLE [C] ADD CONSTRAINT [PC] FOREIGN KEY ([P]) REFERENCES [P]([ID])");
  db->execute("INSERT INTO [P] VALUES (1, 'un')");
  db->execute("INSERT INTO [C] ([P]) VALUES (1)");

  std::string_view input(reinterpret_cast<const char*>(data), size);
  while (!input.empty()) {
    std::size_t nl = input.find('\n');
    std::string_view sql = input.substr(0, nl);
    if (auto q = db->query(sql)) {
      for (int rows = 0; rows < 1000 && q->next(); ++rows) {
        for (std::size_t i = 0; i < q->columns().size(); ++i) (void)q->value(i).asText();
        if (q->rowId() && rows == 0) db->updateRow("C", q->rowId(), {{"B", jetdb::Value::of(1)}});
      }
    } else {
      db->execute(sql);
    }
    if (nl == std::string_view::npos) break;
    input.remove_prefix(nl + 1);
  }
  // Whatever happened, the file still opens and holds a readable catalog.
  db.reset();
  auto again = jetdb::Database::open(path, false, error);
  if (!again) __builtin_trap();
  for (const auto& t : again->tables())
    if (!again->query("SELECT * FROM [" + t + "]")) __builtin_trap();
  return 0;
}
