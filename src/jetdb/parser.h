// Reads one Jet SQL statement into its syntax tree.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "ast.h"

namespace jetdb {

// A trailing ";" is allowed; anything after it is a syntax error. On failure
// `error` holds a 42000 error that says where the text went wrong.
//
// `notes`, when given, receives what it takes to tell the parameters of
// the statement: every "?" and every unqualified name used as a value, in
// the order of the text (a "?" as "?", a name as written), and the tables
// and result-column aliases the statement names. A name that is neither a
// column of one of those tables nor an alias is a parameter.
struct ParseNotes {
  std::vector<std::pair<std::size_t, std::string>> values;  // offset, "?" or name
  std::vector<std::string> tables;
  std::vector<std::string> aliases;
};
bool parseStatement(std::string_view sql, Statement& out, Error& error, ParseNotes* notes = nullptr);

}  // namespace jetdb
