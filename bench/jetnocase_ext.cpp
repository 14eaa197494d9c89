// A loadable extension for the stock sqlite3 shell that registers the
// driver's JETNOCASE collation, so that the shell can read and write a
// database file of ours (every text column of ours is declared with it):
//   sqlite3 -cmd ".load build/bench/jetnocase" Base.mdb
// It is the driver's own comparison, compiled in, not a second one.
#include <sqlite3ext.h>

#include "jetdb/text.h"

SQLITE_EXTENSION_INIT1

namespace {

int Collate(void*, int na, const void* a, int nb, const void* b) {
  return jetdb::compareFolded(std::string_view(static_cast<const char*>(a), static_cast<std::size_t>(na)),
                              std::string_view(static_cast<const char*>(b), static_cast<std::size_t>(nb)));
}

}  // namespace

extern "C" __attribute__((visibility("default"))) int sqlite3_jetnocase_init(sqlite3* db, char**,
                                                                             const sqlite3_api_routines* api) {
  SQLITE_EXTENSION_INIT2(api);
  return sqlite3_create_collation_v2(db, "JETNOCASE", SQLITE_UTF8, nullptr, Collate, nullptr);
}
