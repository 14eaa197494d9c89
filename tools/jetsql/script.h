// Splitting of a jetsql script into statements and shell commands.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace jetsql {

// A statement or a shell command, and the line of the script (from 1) on
// which it starts, for the error that names it.
struct Piece {
  std::string text;
  int line = 1;
  friend bool operator==(const Piece&, const Piece&) = default;
};

// Statements end with ';' outside quotes, brackets and #dates#; a line
// whose first word starts with '.' is a shell command of its own; lines
// starting with "--" are comments. Blank pieces are dropped.
std::vector<Piece> scriptPieces(std::string_view script);
// The same, texts only.
std::vector<std::string> splitScript(std::string_view script);

// True when the lines typed so far end inside a statement (no ';' yet, or
// an open quote, bracket or date), so that the shell asks for another line.
bool awaitsMore(std::string_view text);

}  // namespace jetsql
