#include "script.h"

namespace jetsql {
namespace {

bool blank(const std::string& s) { return s.find_first_not_of(" \t\r\n") == std::string::npos; }

std::string trim(const std::string& s) {
  std::size_t b = s.find_first_not_of(" \t\r\n");
  std::size_t e = s.find_last_not_of(" \t\r\n");
  return b == std::string::npos ? std::string() : s.substr(b, e - b + 1);
}

struct Scan {
  std::vector<std::string> pieces;
  std::string rest;  // text after the last whole piece
  char open = 0;     // the quote, ']' or '#' that the rest leaves open
};

Scan scan(std::string_view script) {
  Scan result;
  std::vector<std::string>& out = result.pieces;
  std::string& current = result.rest;
  char open = 0;  // the quote, ']' or '#' we are inside
  std::size_t i = 0;
  while (i < script.size()) {
    std::size_t eol = script.find('\n', i);
    if (eol == std::string_view::npos) eol = script.size();
    std::string_view line = script.substr(i, eol - i);
    i = eol + 1;
    if (!open && blank(current)) {
      std::string t = trim(std::string(line));
      if (t.rfind("--", 0) == 0) continue;
      if (!t.empty() && t[0] == '.') {
        out.push_back(t);
        continue;
      }
    }
    for (char c : line) {
      if (open) {
        if (c == open) open = 0;
      } else if (c == '\'' || c == '"' || c == '#') {
        open = c;
      } else if (c == '[') {
        open = ']';
      } else if (c == ';') {
        if (!blank(current)) out.push_back(trim(current));
        current.clear();
        continue;
      }
      current += c;
    }
    current += '\n';
  }
  result.open = open;
  return result;
}

}  // namespace

std::vector<std::string> splitScript(std::string_view script) {
  Scan s = scan(script);
  if (!blank(s.rest)) s.pieces.push_back(trim(s.rest));
  return s.pieces;
}

bool awaitsMore(std::string_view text) {
  const Scan s = scan(text);
  return s.open || !blank(s.rest);
}

}  // namespace jetsql
