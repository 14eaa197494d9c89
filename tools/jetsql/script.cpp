#include "script.h"

#include <algorithm>

#include "jetdb/sql_text.h"

namespace jetsql {
namespace {

bool blank(std::string_view s) { return s.find_first_not_of(" \t\r\n") == std::string_view::npos; }

std::string trim(std::string_view s) {
  std::size_t b = s.find_first_not_of(" \t\r\n");
  std::size_t e = s.find_last_not_of(" \t\r\n");
  return b == std::string_view::npos ? std::string() : std::string(s.substr(b, e - b + 1));
}

struct Scan {
  std::vector<Piece> pieces;
  std::string rest;     // text after the last whole piece
  int restLine = 0;     // the line the rest starts on; 0 while it is blank
  bool open = false;    // the rest ends inside a quote, a bracket or a date
};

// Statements are read with the driver's own reader of Jet text, so that a
// ';' inside a string, a name or a date never ends one. Between tokens, a
// line is looked at as a line: "--" starts a comment line wherever it
// stands, and '.' a shell command where no statement is under way.
Scan scan(std::string_view script) {
  Scan result;
  std::string& current = result.rest;
  std::size_t i = 0;
  int line = 1;
  bool lineStart = true;
  while (i < script.size()) {
    if (lineStart) {
      lineStart = false;
      std::size_t eol = script.find('\n', i);
      if (eol == std::string_view::npos) eol = script.size();
      const std::string text = trim(script.substr(i, eol - i));
      if (text.rfind("--", 0) == 0 || (!text.empty() && text[0] == '.' && blank(current))) {
        if (text[0] == '.') result.pieces.push_back({text, line});
        i = eol + 1;
        ++line;
        lineStart = true;
        continue;
      }
    }
    const char c = script[i];
    if (jetdb::sql::isSpace(c)) {
      current += c;
      ++i;
      lineStart = c == '\n';
      line += lineStart;
      continue;
    }
    const jetdb::sql::Token t = jetdb::sql::tokenAt(script, i);
    i = t.end();
    if (t.is(";")) {
      if (!blank(current)) result.pieces.push_back({trim(current), result.restLine});
      current.clear();
      result.restLine = 0;
      continue;
    }
    result.open = t.kind == jetdb::sql::TokenKind::Unclosed;
    if (!result.restLine) result.restLine = line;
    current += t.text;
    line += static_cast<int>(std::count(t.text.begin(), t.text.end(), '\n'));
  }
  return result;
}

}  // namespace

std::vector<Piece> scriptPieces(std::string_view script) {
  Scan s = scan(script);
  if (!blank(s.rest)) s.pieces.push_back({trim(s.rest), s.restLine});
  return s.pieces;
}

std::vector<std::string> splitScript(std::string_view script) {
  std::vector<std::string> texts;
  for (auto& p : scriptPieces(script)) texts.push_back(std::move(p.text));
  return texts;
}

bool awaitsMore(std::string_view text) {
  const Scan s = scan(text);
  return s.open || !blank(s.rest);
}

}  // namespace jetsql
