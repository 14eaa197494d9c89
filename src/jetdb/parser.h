// Reads one Jet SQL statement into its syntax tree.
#pragma once

#include <string_view>

#include "jetdb/ast.h"

namespace jetdb {

// A trailing ";" is allowed; anything after it is a syntax error. On failure
// `error` holds a 42000 error that says where the text went wrong.
bool parseStatement(std::string_view sql, Statement& out, Error& error);

}  // namespace jetdb
