// Speed of the language merges' access pattern through a record set: for
// each of 10,000 labels, set the filter to its key, Requery, Edit, change
// one field, Update, on a 10,000-row table. Target: 0.5 s for the 10,000
// rounds. Beside it the same rounds written by hand against SQLite's C API
// with prepared statements, on the same file with the driver's collation
// loaded and its settings of a writer (a write-ahead log, synchronous
// NORMAL): the floor that the record sets are measured against (aim: at
// most 1.3 times its time).
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "bench_folder.h"
#include "jetdb/jetdb.h"
#include "platform/odbc_installer.h"
#include "recordsets/langue_printer_set.h"

namespace {

constexpr int kRows = 10000;

bool CreateLabels(const std::string& path) {
  jetdb::Error error;
  auto db = jetdb::Database::open(path, true, error);
  if (!db || !db->execute("CREATE TABLE [Langue_Printer] ([Item_Id] INTEGER CONSTRAINT PrimaryKey PRIMARY KEY, "
                          "[Libelle] TEXT(50), [Classement] TEXT(50), [Langue_1] TEXT(255), [Langue_2] TEXT(255), "
                          "[Langue_3] TEXT(255), [Langue_4] TEXT(255), [Langue_5] TEXT(255), [Owner] INTEGER)"))
    return false;
  for (int id = 1; id <= kRows; ++id) {
    std::string text = "Libellé " + std::to_string(id);
    if (!db->insertRow("Langue_Printer", {{"Item_Id", jetdb::Value::of(id)},
                                          {"Libelle", jetdb::Value::of("IDS_" + std::to_string(id))},
                                          {"Langue_1", jetdb::Value::of(text)},
                                          {"Langue_2", jetdb::Value::of(text)},
                                          {"Owner", jetdb::Value::of(-1)}}))
      return false;
  }
  return true;
}

void BM_FilterRequeryEditUpdate(benchmark::State& state) {
  BenchFolder folder("recordset-bench");
  const std::string path = folder.path() + "/base.mdb";
  std::string attributes = std::string("DSN=TQ2TMP") + '\0' + "DBQ=" + path + '\0' + '\0';
  if (!CreateLabels(path) || !SQLConfigDataSource(nullptr, ODBC_ADD_DSN, kAccessDriverName, attributes.c_str())) {
    state.SkipWithError("cannot set the database up");
    return;
  }
  CLanguePrinterSet set(nullptr, kConvertedDatabase);
  set.Open();
  int round = 0;
  for (auto _ : state) {
    for (int id = 1; id <= kRows; ++id) {
      set.m_strFilter.Format("[Item_Id]=%d", id);
      set.Requery();
      set.Edit();
      set.m_Langue_3.Format("Libellé %d.%d", id, round);
      benchmark::DoNotOptimize(set.Update());
    }
    ++round;
  }
  state.SetItemsProcessed(state.iterations() * kRows);
}

// One label read whole by its key, as the set binds it, then one column
// written back by the row's identity: each statement prepared once.
void BM_SqliteCApi(benchmark::State& state) {
  BenchFolder folder("recordset-bench");
  const std::string path = folder.path() + "/base.mdb";
  sqlite3* db = nullptr;
  if (!CreateLabels(path) || sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK ||
      sqlite3_enable_load_extension(db, 1) != SQLITE_OK ||
      sqlite3_load_extension(db, JETDB_SQLITE_EXTENSION, nullptr, nullptr) != SQLITE_OK ||
      sqlite3_exec(db, "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL; PRAGMA wal_autocheckpoint=20000",
                   nullptr, nullptr, nullptr) != SQLITE_OK) {
    sqlite3_close(db);
    state.SkipWithError("cannot set the database up");
    return;
  }
  sqlite3_stmt* read = nullptr;
  sqlite3_stmt* write = nullptr;
  sqlite3_prepare_v2(db,
                     "SELECT _jet_row, Item_Id, Libelle, Classement, Langue_1, Langue_2, Langue_3, Langue_4, "
                     "Langue_5, Owner FROM Langue_Printer WHERE Item_Id = ?",
                     -1, &read, nullptr);
  sqlite3_prepare_v2(db, "UPDATE Langue_Printer SET Langue_3 = ? WHERE _jet_row = ?", -1, &write, nullptr);
  if (read == nullptr || write == nullptr) state.SkipWithError("cannot prepare the statements");
  int round = 0;
  char text[64];
  for (auto _ : state) {
    for (int id = 1; id <= kRows && read != nullptr && write != nullptr; ++id) {
      sqlite3_bind_int(read, 1, id);
      if (sqlite3_step(read) != SQLITE_ROW) {
        state.SkipWithError("a label is missing");
        break;
      }
      const sqlite3_int64 row = sqlite3_column_int64(read, 0);
      for (int c = 1; c < sqlite3_column_count(read); ++c) benchmark::DoNotOptimize(sqlite3_column_text(read, c));
      sqlite3_reset(read);
      std::snprintf(text, sizeof text, "Libellé %d.%d", id, round);
      sqlite3_bind_text(write, 1, text, -1, SQLITE_TRANSIENT);
      sqlite3_bind_int64(write, 2, row);
      benchmark::DoNotOptimize(sqlite3_step(write));
      sqlite3_reset(write);
    }
    ++round;
  }
  sqlite3_finalize(read);
  sqlite3_finalize(write);
  sqlite3_close(db);
  state.SetItemsProcessed(state.iterations() * kRows);
}

}  // namespace

BENCHMARK(BM_SqliteCApi)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_FilterRequeryEditUpdate)->Unit(benchmark::kMillisecond)->Iterations(3);

BENCHMARK_MAIN();
