#include "collation.h"

#include <vector>

#include "errors.h"
#include "jetdb/text.h"
#include "sqlite_file.h"
#include "sqlite_util.h"

namespace jetdb {
namespace {

constexpr const char* kRuleKey = "collation";
constexpr const char* kCurrentRule = "jet-general 2";

int collate(void* rule, int na, const void* a, int nb, const void* b) {
  const std::string_view x(static_cast<const char*>(a), static_cast<std::size_t>(na));
  const std::string_view y(static_cast<const char*>(b), static_cast<std::size_t>(nb));
  return rule ? compareOlder(x, y) : compareFolded(x, y);
}

std::string quoted(std::string_view text) {
  std::string out = "'";
  for (char c : text) out += c == '\'' ? std::string("''") : std::string(1, c);
  return out + "'";
}

// The keys of `index` that the current order makes equal, one line each.
void equalKeys(sqlite3* db, const TableMeta& table, const IndexMeta& index, std::vector<std::string>& lines) {
  std::string cols;
  for (const auto& c : index.columns) cols += (cols.empty() ? "" : ", ") + quoteIdent(c);
  // NOT INDEXED: the sort is made in the current order, not read from the
  // index being questioned.
  Stmt s(db, "SELECT " + cols + " FROM " + quoteIdent(table.name) + " NOT INDEXED ORDER BY " + cols);
  if (!s.ok()) return;
  const int n = static_cast<int>(index.columns.size());
  std::vector<std::string> previous;
  bool havePrevious = false;
  while (s.step() == SQLITE_ROW) {
    std::vector<std::string> key;
    bool same = havePrevious, hasNull = false;
    for (int i = 0; i < n; ++i) {
      hasNull = hasNull || sqlite3_column_type(s.get(), i) == SQLITE_NULL;
      key.push_back(s.text(i));
      const bool isText = sqlite3_column_type(s.get(), i) == SQLITE_TEXT;
      same = same && (isText ? compareFolded(key[i], previous[i]) == 0 : key[i] == previous[i]);
    }
    if (same && !hasNull) {
      std::string a, b;
      for (int i = 0; i < n; ++i) {
        a += (i ? ", " : "") + quoted(previous[i]);
        b += (i ? ", " : "") + quoted(key[i]);
      }
      lines.push_back("Table [" + table.name + "], index [" + index.name + "] : " + a + " et " +
                      b + " sont désormais égales.");
    }
    previous = std::move(key);
    havePrevious = true;
  }
}

}  // namespace

bool registerCollation(sqlite3* db, CollationRule rule) {
  static int older = 1;
  return sqlite3_create_collation_v2(db, "JETNOCASE", SQLITE_UTF8, rule == CollationRule::Older ? &older : nullptr,
                                     collate, nullptr) == SQLITE_OK;
}

std::optional<CollationRule> fileRule(sqlite3* db) {
  Stmt s(db, "SELECT value FROM _jet_meta WHERE key = ?");
  if (!s.ok()) return std::nullopt;
  s.bind(1, std::string_view(kRuleKey));
  const int rc = s.step();
  // No mark at all: a file of the builds before the mark, in the older order.
  if (rc == SQLITE_DONE) return CollationRule::Older;
  if (rc != SQLITE_ROW) return std::nullopt;
  return s.text(0) == kCurrentRule ? CollationRule::Current : CollationRule::Older;
}

bool markCurrentRule(sqlite3* db) {
  Stmt s(db, "INSERT OR REPLACE INTO _jet_meta VALUES(?, ?)");
  if (!s.ok()) return false;
  s.bind(1, std::string_view(kRuleKey));
  s.bind(2, std::string_view(kCurrentRule));
  return s.step() == SQLITE_DONE;
}

bool rebuildIndexes(sqlite3* db, const std::string& path, const Catalog& catalog, Error& error) {
  if (!exec(db, "BEGIN IMMEDIATE")) {
    error = sqliteFailure(db, sqlite3_extended_errcode(db), path);
    return false;
  }
  if (exec(db, "REINDEX JETNOCASE") && markCurrentRule(db) && exec(db, "COMMIT")) return true;
  const int code = sqlite3_extended_errcode(db);
  error = sqliteFailure(db, code, path);
  exec(db, "ROLLBACK");
  std::vector<std::string> lines;
  if ((code & 0xFF) == SQLITE_CONSTRAINT)
    for (const auto& t : catalog.tables())
      for (const auto& ix : t.indexes)
        if (ix.unique || ix.primary) equalKeys(db, t, ix, lines);
  if (!lines.empty()) error = errors::collationConflict(lines);
  return false;
}

}  // namespace jetdb
