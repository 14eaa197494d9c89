// Speed of the driver operations the conversion leans on. Targets: keyed
// single-row SELECT <= 20 us, single-row UPDATE by row identity in its own
// commit <= 50 us, ADD CONSTRAINT ... FOREIGN KEY and ALTER COLUMN on a
// 100,000-row table <= 1 s each, a grouped join over the large database's
// links <= 200 ms.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "jetdb/jetdb.h"

namespace {

std::string benchPath(const char* name) {
  const char* dir = std::getenv("JETDB_BENCH_DIR");
  std::filesystem::path base = dir ? dir : std::filesystem::temp_directory_path();
  return (base / (std::string(name) + "_" + std::to_string(::getpid()) + ".mdb")).string();
}

void removeDb(const std::string& path) {
  for (const char* suffix : {"", "-wal", "-shm"}) std::remove((path + suffix).c_str());
}

std::unique_ptr<jetdb::Database> freshDb(const std::string& path) {
  removeDb(path);
  jetdb::Error e;
  return jetdb::Database::open(path, true, e);
}

bool fill(jetdb::Database& db, int rows) {
  if (!db.execute("CREATE TABLE [Categories] ([CLASS_ID] INTEGER CONSTRAINT PrimaryKey PRIMARY KEY, "
                  "[NAME_1] TEXT(32))") ||
      !db.execute("CREATE TABLE [Ingredients] ([INGRED_ID] INTEGER CONSTRAINT PrimaryKey PRIMARY KEY, "
                  "[NAME_1] TEXT(64), [ENTPRINCIPAL] INTEGER, [MRGHAUT] FLOAT)"))
    return false;
  for (int i = 0; i < 100; ++i)
    if (!db.insertRow("Categories", {{"CLASS_ID", jetdb::Value::of(i)}, {"NAME_1", jetdb::Value::of("c")}}))
      return false;
  for (int i = 0; i < rows; ++i) {
    if (!db.insertRow("Ingredients", {{"INGRED_ID", jetdb::Value::of(i)},
                                      {"NAME_1", jetdb::Value::of("ingrédient " + std::to_string(i))},
                                      {"ENTPRINCIPAL", jetdb::Value::of(i % 100)},
                                      {"MRGHAUT", jetdb::Value::of(i * 0.5)}}))
      return false;
  }
  return true;
}

void BM_KeyedSelect(benchmark::State& state) {
  std::string path = benchPath("select");
  auto db = freshDb(path);
  if (!db || !fill(*db, 10000)) return state.SkipWithError("set-up failed");
  int key = 0;
  for (auto _ : state) {
    auto q = db->query("SELECT [INGRED_ID], [NAME_1], [ENTPRINCIPAL] FROM [Ingredients] WHERE [INGRED_ID]=" +
                       std::to_string(key));
    if (!q || !q->next()) return state.SkipWithError("no row");
    benchmark::DoNotOptimize(q->value(1));
    key = (key + 7919) % 10000;
  }
  db.reset();
  removeDb(path);
}
BENCHMARK(BM_KeyedSelect)->Unit(benchmark::kMicrosecond);

void BM_UpdateRowOwnCommit(benchmark::State& state) {
  std::string path = benchPath("update");
  auto db = freshDb(path);
  if (!db || !fill(*db, 10000)) return state.SkipWithError("set-up failed");
  auto q = db->query("SELECT [INGRED_ID] FROM [Ingredients] WHERE [INGRED_ID]=5000");
  if (!q || !q->next()) return state.SkipWithError("no row");
  jetdb::RowId row = q->rowId();
  q.reset();
  std::int64_t n = 0;
  for (auto _ : state) {
    if (!db->updateRow("Ingredients", row, {{"ENTPRINCIPAL", jetdb::Value::of(n++ % 100)}}))
      return state.SkipWithError(db->lastError().message.c_str());
  }
  db.reset();
  removeDb(path);
}
BENCHMARK(BM_UpdateRowOwnCommit)->Unit(benchmark::kMicrosecond);

// The 100,000-row definitions: each iteration builds its table outside the
// timing, then times the one statement.
void BM_AddForeignKey100k(benchmark::State& state) {
  std::string path = benchPath("fk");
  for (auto _ : state) {
    state.PauseTiming();
    auto db = freshDb(path);
    if (!db || !fill(*db, 100000)) return state.SkipWithError("set-up failed");
    state.ResumeTiming();
    if (!db->execute("ALTER TABLE [Ingredients] ADD CONSTRAINT [CategoriesIngredients1] FOREIGN KEY "
                     "([ENTPRINCIPAL]) REFERENCES [Categories]([CLASS_ID])"))
      return state.SkipWithError(db->lastError().message.c_str());
    state.PauseTiming();
    db.reset();
    state.ResumeTiming();
  }
  removeDb(path);
}
BENCHMARK(BM_AddForeignKey100k)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_AlterColumn100k(benchmark::State& state) {
  std::string path = benchPath("alter");
  for (auto _ : state) {
    state.PauseTiming();
    auto db = freshDb(path);
    if (!db || !fill(*db, 100000)) return state.SkipWithError("set-up failed");
    state.ResumeTiming();
    if (!db->execute("ALTER TABLE [Ingredients] ALTER COLUMN [MRGHAUT] INTEGER"))
      return state.SkipWithError(db->lastError().message.c_str());
    state.PauseTiming();
    db.reset();
    state.ResumeTiming();
  }
  removeDb(path);
}
BENCHMARK(BM_AlterColumn100k)->Unit(benchmark::kMillisecond)->Iterations(2);

#ifdef LARGE_DB
// A join of two tables grouped, over the large database's ingredient links
// (about 55,000 of its 100,000 links), read-only: target <= 200 ms.
void BM_JoinGroupByLarge(benchmark::State& state) {
  jetdb::Error e;
  auto db = jetdb::Database::open(LARGE_DB, jetdb::OpenMode::ReadOnly, e);
  if (!db) return state.SkipWithError(e.message.c_str());
  std::int64_t rows = 0;
  for (auto _ : state) {
    auto q = db->query(
        "SELECT g.CLASS_ID, Count(*), Max(i.PXKG), Avg(i.DENSITE) FROM CategIngre AS g INNER JOIN Ingredients AS i "
        "ON i.INGRED_ID = g.INGR_ID GROUP BY g.CLASS_ID ORDER BY Count(*) DESC");
    if (!q) return state.SkipWithError(db->lastError().message.c_str());
    rows = 0;
    while (q->next()) ++rows;
  }
  state.counters["groups"] = static_cast<double>(rows);
}
BENCHMARK(BM_JoinGroupByLarge)->Unit(benchmark::kMillisecond);
#endif

}  // namespace

BENCHMARK_MAIN();
