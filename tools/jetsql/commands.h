// The shell's own commands, those that start with a dot.
#pragma once

#include <string>

#include "jetdb/jetdb.h"
#include "session.h"

namespace jetsql {

// One command line: ".tables", ".schema Unites;", ".mode csv" ...; a ';'
// after it is ignored.
Outcome command(Session& session, const std::string& text);

// Prints the problems of the file, or "OK"; true when there are none.
bool printCheck(jetdb::Database& db);

}  // namespace jetsql
