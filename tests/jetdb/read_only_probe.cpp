// Opens a database read-only the way another user would, for the tests that
// run it under that user's rights: counts the rows of [T] and tries to
// delete them. Prints "rows=N write=STATE/NATIVE" (or "write=done"), or
// "open=STATE/NATIVE" when the open fails; 64 without exactly one path.
#include <cstdio>
#include <string>

#include "jetdb/jetdb.h"

int main(int argc, char** argv) {
  if (argc != 2) return 64;
  jetdb::Error error;
  auto db = jetdb::Database::open(argv[1], jetdb::OpenMode::ReadOnly, error);
  if (!db) {
    std::printf("open=%s/%d\n", error.state.c_str(), error.native);
    return 1;
  }
  auto query = db->query("SELECT COUNT(*) FROM [T]");
  const long long rows = query && query->next() ? static_cast<long long>(query->value(0).integer) : -1;
  query.reset();
  const bool deleted = db->execute("DELETE FROM [T]");
  const jetdb::Error& refusal = db->lastError();
  std::printf("rows=%lld write=%s\n", rows,
              deleted ? "done" : (refusal.state + "/" + std::to_string(refusal.native)).c_str());
  return 0;
}
