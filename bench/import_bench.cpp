// The write side of the Access import: a synthetic table of 300,000 rows
// (an AutoNumber key, text, numbers, a date, an amount, a flag, a Memo, two
// indexes) through the import's own writer into a new database, timed.
//   build/bench/import_bench [ROWS]
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <ctime>
#include <cstdio>
#include <string>

#include "import/writer.h"

namespace {

mdbfile::Table syntheticTable(int rows) {
  using mdbfile::JetType;
  mdbfile::Table t;
  t.name = "Mouvements";
  auto col = [&](const char* name, JetType type, int size = 0) {
    mdbfile::Column c;
    c.name = name;
    c.type = type;
    c.size = size;
    t.columns.push_back(c);
  };
  col("N", JetType::Long);
  t.columns.back().autoNumber = true;
  col("Libellé", JetType::Text, 50);
  col("Quantité", JetType::Long);
  col("Poids", JetType::Double);
  col("Le", JetType::DateTime);
  col("Prix", JetType::Currency);
  col("Actif", JetType::Boolean);
  col("Note", JetType::Memo);
  t.indexes.push_back({"PrimaryKey", {{"N", false}}, true, true, false, true});
  t.indexes.push_back({"Libellé", {{"Libellé", false}}, false, false, false, false});
  t.nextAutoNumber = rows + 1;
  t.rows.reserve(static_cast<std::size_t>(rows));
  for (int i = 0; i < rows; ++i) {
    t.rows.push_back({std::int32_t{i + 1}, "Article n° " + std::to_string(i % 5000), std::int32_t{i % 97},
                      i * 0.125, mdbfile::DateTime{40000.0 + i % 3000 + (i % 24) / 24.0},
                      mdbfile::Currency{std::int64_t{i} * 125}, i % 2 == 0,
                      i % 10 == 0 ? mdbfile::Value{"Une note un peu plus longue sur la ligne " + std::to_string(i)}
                                  : mdbfile::Value{}});
  }
  return t;
}

}  // namespace

int main(int argc, char** argv) {
  const int rows = argc > 1 ? std::atoi(argv[1]) : 300000;
  mdbfile::Database model;
  model.tables.push_back(syntheticTable(rows));

  char folder[] = "/tmp/import_bench.XXXXXX";
  if (!mkdtemp(folder)) return 1;
  const std::string path = std::string(folder) + "/bench.mdb";
  jetdb::Error error;
  auto db = jetdb::Database::open(path, jetdb::OpenMode::Create, error);
  if (!db) {
    std::fprintf(stderr, "%s\n", error.message.c_str());
    return 1;
  }
  const auto start = std::chrono::steady_clock::now();
  const std::clock_t cpuStart = std::clock();
  mdbimport::Writer writer(*db);
  const bool ok = mdbimport::writeModel(model, writer);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  // On a machine shared with other work the processor time says more.
  const double cpu = static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;
  db.reset();
  for (const char* suffix : {"", "-wal", "-shm"}) unlink((path + suffix).c_str());
  rmdir(folder);
  if (!ok || writer.rowsWritten() != static_cast<std::size_t>(rows)) {
    std::fprintf(stderr, "écriture en échec : %s\n", writer.error().c_str());
    return 1;
  }
  std::printf("import writer: %d rows in %.2f s, %.0f rows/s; processor time %.2f s, %.0f rows/s "
              "(indexes and the final count included)\n",
              rows, seconds, rows / seconds, cpu, rows / cpu);
  for (const auto& line : writer.notCarried()) std::printf("  %s\n", line.c_str());
  return 0;
}
