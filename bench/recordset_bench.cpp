// Speed of the language merges' access pattern through a record set: for
// each of 10,000 labels, set the filter to its key, Requery, Edit, change
// one field, Update, on a 10,000-row table. Target: 0.5 s for the 10,000
// rounds.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <unistd.h>

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

}  // namespace

BENCHMARK(BM_FilterRequeryEditUpdate)->Unit(benchmark::kMillisecond)->Iterations(3);

BENCHMARK_MAIN();
