// Text as Access compares it in its General sort order: case is ignored,
// accents are not, and a ligature equals its two letters (œ = oe, æ = ae,
// ß = ss, ĳ = ij). Case is folded for the Latin-1 and Latin Extended-A
// letters, which hold every letter of Windows-1252 (and ƒ): the texts of
// the application's files come from that code page. Other letters compare
// as they are. Public: the tools that read our files (the ODBC driver's catalog
// answers, the SQLite extension of the stock tools) compare names and texts
// as the driver does.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace jetdb {

// Compares two UTF-8 texts ignoring case: <0, 0 or >0. Letters decide
// first, accents only between texts whose letters agree, so that an accented
// letter sorts beside its base letter ('e' < 'é' < 'f'). This is the order
// of the JETNOCASE collation registered on every file.
int compareFolded(std::string_view a, std::string_view b);
// The order of files made before accents were told apart: case and Latin
// accents both ignored, a ligature taken as its first letter. Their indexes
// follow it until a writer rebuilds them.
int compareOlder(std::string_view a, std::string_view b);
inline bool sameName(std::string_view a, std::string_view b) { return compareFolded(a, b) == 0; }

// True when `text` matches the Access LIKE `pattern` (* ? # [list] [!list]),
// compared as compareFolded compares (a pattern's 'oe' matches 'Œ'; ?, #
// and a list take one whole character). With `ansi` (Access's ANSI-92
// mode) the wildcards are % and _ instead, and *, ? and # stand for
// themselves.
bool likeMatch(std::string_view text, std::string_view pattern, bool ansi = false);

// A UTF-8 text as code points and back, for the string functions, which
// count characters, not bytes. A byte that is not valid UTF-8 stands for
// itself, as in the comparisons.
std::u32string decodeText(std::string_view text);
std::string encodeText(std::u32string_view chars);
// One character in lower case (Latin-1 and Latin Extended-A).
char32_t lowerChar(char32_t c);
char32_t foldChar(char32_t c);

// The number of characters of `text` from `at` on that compare equal to
// `sought` as compareFolded compares (a ligature matches its two letters),
// or npos when none do.
std::size_t matchAt(std::u32string_view text, std::size_t at, std::u32string_view sought);

// Number of characters (code points) of a UTF-8 text.
std::size_t characterCount(std::string_view text);

}  // namespace jetdb
