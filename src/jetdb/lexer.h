// Splits Jet SQL text into tokens. Words and [bracketed names] are kept
// apart so that a bracketed name is never taken for a keyword.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace jetdb {

struct Token {
  enum class Kind { End, Word, Name, String, Integer, Real, Date, Bytes, Symbol, Bad };
  Kind kind = Kind::End;
  std::string text;        // word, name without brackets, string without quotes, bytes, symbol
  std::int64_t integer = 0;
  double real = 0;
  std::size_t offset = 0;  // where the token starts in the statement
};

// Never fails: text the lexer cannot read becomes one Bad token, which the
// parser reports as a syntax error.
std::vector<Token> tokenize(std::string_view sql);

}  // namespace jetdb
