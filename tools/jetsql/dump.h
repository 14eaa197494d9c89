// A script that rebuilds a database, or one of its tables, with
// `jetsql --create`.
#pragma once

#include <ostream>
#include <string>

#include "jetdb/jetdb.h"

namespace jetsql {

// The value as an Access SQL literal that reads back to the same stored
// value in a column of `type`.
std::string literal(const jetdb::Value& value, jetdb::JetType type);

// Writes CREATE TABLE and CREATE INDEX statements, the rows as INSERTs and
// last the relations, so that every parent exists when a relation is
// added. With `table` set, only that table and its own relations (those
// it refers by) are written. False, with the driver's error, when a table
// cannot be read.
bool dump(jetdb::Database& db, const std::string& table, std::ostream& out, jetdb::Error& error);

}  // namespace jetsql
