// A loadable SQLite extension for the stock tools (the sqlite3 shell, and
// any program that loads extensions): it registers on a connection what
// the driver registers on its own, the JETNOCASE collation of the tables'
// text columns and indexes, and the jetlike() function of Access LIKE. Without
// them SQLite cannot compare a text key of our files, so even
// PRAGMA integrity_check stops at the first index.
//
//   sqlite3 Base.mdb ".load /usr/lib/toquelin/libjetdb_sqlite" "PRAGMA integrity_check"
#include <sqlite3ext.h>

#include <string>
#include <string_view>

#include "jetdb/text.h"

SQLITE_EXTENSION_INIT1

namespace {

int Collate(void*, int na, const void* a, int nb, const void* b) {
  return jetdb::compareFolded(std::string_view(static_cast<const char*>(a), static_cast<std::size_t>(na)),
                              std::string_view(static_cast<const char*>(b), static_cast<std::size_t>(nb)));
}

std::string_view Text(sqlite3_value* value) {
  const unsigned char* text = sqlite3_value_text(value);
  return {reinterpret_cast<const char*>(text), static_cast<std::size_t>(sqlite3_value_bytes(value))};
}

void Like(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
    sqlite3_result_null(ctx);
    return;
  }
  const std::string value(Text(argv[0]));
  const std::string pattern(Text(argv[1]));
  sqlite3_result_int(ctx, jetdb::likeMatch(value, pattern) ? 1 : 0);
}

}  // namespace

// SQLite derives this entry point's name from the file name
// libjetdb_sqlite.so; the generic one serves a renamed copy.
extern "C" __attribute__((visibility("default"))) int sqlite3_jetdbsqlite_init(sqlite3* db, char** /*error*/,
                                                                               const sqlite3_api_routines* api) {
  SQLITE_EXTENSION_INIT2(api);
  int rc = sqlite3_create_collation_v2(db, "JETNOCASE", SQLITE_UTF8, nullptr, Collate, nullptr);
  if (rc == SQLITE_OK) {
    rc = sqlite3_create_function_v2(db, "jetlike", 2, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, Like, nullptr,
                                    nullptr, nullptr);
  }
  return rc;
}

extern "C" __attribute__((visibility("default"))) int sqlite3_extension_init(sqlite3* db, char** error,
                                                                             const sqlite3_api_routines* api) {
  return sqlite3_jetdbsqlite_init(db, error, api);
}
