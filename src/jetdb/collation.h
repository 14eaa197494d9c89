// The JETNOCASE collation of a file's text columns and indexes, and the
// rule that built its indexes. Files made before the driver told accents
// apart have their indexes in the older order (case and accents ignored,
// ligatures as their first letter): the row 'collation' of _jet_meta says
// which rule a file's indexes follow, absent on such files.
#pragma once

#include <sqlite3.h>

#include <optional>
#include <string>
#include <string_view>

#include "catalog.h"
#include "jetdb/jetdb.h"

namespace jetdb {

enum class CollationRule { Current, Older };

// Registers JETNOCASE on a connection in the order of `rule`.
bool registerCollation(sqlite3* db, CollationRule rule);

// The rule a file's indexes follow: Older for a file without the mark (the
// builds before it); none when the mark cannot be read (memory, the disk),
// for a guess would have a reader search its indexes in the wrong order.
std::optional<CollationRule> fileRule(sqlite3* db);

// Marks a new file's indexes as built in the current order.
bool markCurrentRule(sqlite3* db);

// Rebuilds the indexes of a file of the older rule in the current order and
// marks it, in one transaction. When a unique index would then hold two
// equal keys (a ligature now equals its two letters), nothing is changed
// and `error` names every such pair, one line each.
bool rebuildIndexes(sqlite3* db, const std::string& path, const Catalog& catalog, Error& error);

}  // namespace jetdb
