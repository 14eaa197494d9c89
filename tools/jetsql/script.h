// Splitting of a jetsql script into statements and shell commands.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace jetsql {

// Statements end with ';' outside quotes, brackets and #dates#; a line
// whose first word starts with '.' is a shell command of its own; lines
// starting with "--" are comments. Blank pieces are dropped.
std::vector<std::string> splitScript(std::string_view script);

}  // namespace jetsql
