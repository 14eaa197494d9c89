// The aggregates of Access that SQLite lacks or computes otherwise:
// First and Last, the value of the first and the last row of the group as
// the rows are read, Null included (Min and Max skip Null, these do not);
// StDev and Var over a sample (n - 1), StDevP and VarP over the whole
// population (n), all of them Null when they have too few values. Null
// values are left out of the four statistics, as Access leaves them out.
#include <sqlite3.h>

#include <cmath>
#include <new>

#include "sqlite_functions.h"

namespace jetdb {
namespace {

struct Pick {
  sqlite3_value* value;
  bool seen;
};

template <bool kLast>
void pickStep(sqlite3_context* ctx, int, sqlite3_value** argv) {
  auto* p = static_cast<Pick*>(sqlite3_aggregate_context(ctx, sizeof(Pick)));
  if (!p) return sqlite3_result_error_nomem(ctx);
  if (p->seen && !kLast) return;
  sqlite3_value* copy = sqlite3_value_dup(argv[0]);
  if (!copy) return sqlite3_result_error_nomem(ctx);
  sqlite3_value_free(p->value);
  p->value = copy;
  p->seen = true;
}

void pickFinal(sqlite3_context* ctx) {
  auto* p = static_cast<Pick*>(sqlite3_aggregate_context(ctx, 0));
  if (!p || !p->seen) return sqlite3_result_null(ctx);
  sqlite3_result_value(ctx, p->value);
  sqlite3_value_free(p->value);
}

// Welford's running mean and sum of squared deviations: one pass, and no
// loss of precision on large values close together.
struct Spread {
  std::int64_t n;
  double mean;
  double m2;
};

void spreadStep(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return;
  auto* p = static_cast<Spread*>(sqlite3_aggregate_context(ctx, sizeof(Spread)));
  if (!p) return sqlite3_result_error_nomem(ctx);
  const double x = sqlite3_value_double(argv[0]);
  ++p->n;
  const double delta = x - p->mean;
  p->mean += delta / static_cast<double>(p->n);
  p->m2 += delta * (x - p->mean);
}

template <bool kSample, bool kRoot>
void spreadFinal(sqlite3_context* ctx) {
  auto* p = static_cast<Spread*>(sqlite3_aggregate_context(ctx, 0));
  const std::int64_t n = p ? p->n : 0;
  if (n < (kSample ? 2 : 1)) return sqlite3_result_null(ctx);
  const double variance = p->m2 / static_cast<double>(kSample ? n - 1 : n);
  sqlite3_result_double(ctx, kRoot ? std::sqrt(variance) : variance);
}

}  // namespace

bool registerAggregates(sqlite3* db) {
  using Final = void (*)(sqlite3_context*);
  using Step = void (*)(sqlite3_context*, int, sqlite3_value**);
  const struct {
    const char* name;
    Step step;
    Final final;
  } kAggregates[] = {
      {"jetfirst", pickStep<false>, pickFinal},          {"jetlast", pickStep<true>, pickFinal},
      {"jetstdev", spreadStep, spreadFinal<true, true>}, {"jetstdevp", spreadStep, spreadFinal<false, true>},
      {"jetvar", spreadStep, spreadFinal<true, false>},  {"jetvarp", spreadStep, spreadFinal<false, false>},
  };
  for (const auto& a : kAggregates)
    if (sqlite3_create_function_v2(db, a.name, 1, SQLITE_UTF8, nullptr, nullptr, a.step, a.final, nullptr) != SQLITE_OK)
      return false;
  return true;
}

}  // namespace jetdb
