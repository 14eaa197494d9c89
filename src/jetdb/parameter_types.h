// The type of each parameter of a statement, from the column it is written
// to or compared with: what a client needs to know of a parameter before it
// binds a value (an ODBC driver describing it, for one).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "ast.h"
#include "catalog.h"
#include "parser.h"

namespace jetdb {

// `keys` are the statement's parameters as the compiler knows them: "\x01?"
// and the offset of a mark, or a name. Unknown where no column gives one.
std::vector<std::optional<JetType>> parameterTypes(const Catalog& catalog, const Statement& statement,
                                                   const ParseNotes& notes, const std::vector<std::string>& keys);

}  // namespace jetdb
