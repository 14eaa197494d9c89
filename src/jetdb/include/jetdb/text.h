// Text as Access compares it: case and the accents of Latin letters are
// ignored. Public: the tools that read our files (the ODBC driver's catalog
// answers, the SQLite extension of the stock tools) compare names and texts
// as the driver does.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace jetdb {

// Compares two UTF-8 texts ignoring case and Latin accents: <0, 0 or >0.
// This is the order of the JETNOCASE collation registered on every file.
int compareFolded(std::string_view a, std::string_view b);
inline bool sameName(std::string_view a, std::string_view b) { return compareFolded(a, b) == 0; }

// True when `text` matches the Access LIKE `pattern` (* ? # [list] [!list]),
// ignoring case and accents. With `ansi` (Access's ANSI-92 mode) the
// wildcards are % and _ instead, and *, ? and # stand for themselves.
bool likeMatch(std::string_view text, std::string_view pattern, bool ansi = false);

// A UTF-8 text as code points and back, for the string functions, which
// count characters, not bytes. A byte that is not valid UTF-8 stands for
// itself, as in the comparisons.
std::u32string decodeText(std::string_view text);
std::string encodeText(std::u32string_view chars);
// One character as the comparisons see it: lower case, without accent.
char32_t foldChar(char32_t c);

// Number of characters (code points) of a UTF-8 text.
std::size_t characterCount(std::string_view text);

}  // namespace jetdb
