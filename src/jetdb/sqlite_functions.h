// What SQLite runs for the compiled statements: the built-in functions of
// functions.h, the aggregates behind First, Last, StDev, StDevP, Var and
// VarP, and the way a function's run-time error comes back to the driver.
#pragma once

#include <optional>

#include "jetdb/jetdb.h"

struct sqlite3;

namespace jetdb {

// Registers, on a new connection, the SQLite functions the compiled calls
// use, and the user aggregates.
bool registerFunctions(sqlite3* db);
bool registerAggregates(sqlite3* db);

// The driver error that a function raised, read back from the message
// SQLite reports for the failed statement; nullopt for any other message.
std::optional<Error> functionError(const char* sqliteMessage);

}  // namespace jetdb
