// Jet SQL text as the driver reads it, for everyone who cuts such text or
// looks into it before it runs: the driver's parser and the cache of
// query shapes, jetsql's script splitter, the ODBC driver's parameter
// markers and escapes. One reader, so that all of them agree on where a
// string, a name, a date or a number ends, and so on what a ';' or a '?'
// outside them is.
//
// The reader knows no keyword and refuses nothing: every byte of the text
// belongs to exactly one token or to the white space between two. Character
// classes are ASCII and never depend on the locale; every byte from 0x80 up
// is a letter (the UTF-8 of an accented name).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace jetdb::sql {

enum class TokenKind {
  Word,        // letters, digits, '_' (not first a digit): a keyword or a name
  Name,        // [a name], bracketed; nothing inside it is special
  QuotedName,  // `a name`, as ODBC clients quote one (the dialect itself does not)
  String,      // 'text' or "text"; the quote doubled inside stands for itself
  Number,      // 12, 1.5, .5, 1e-3: no sign, and letters after it are a word of their own
  Date,        // #...#, whatever is between the signs
  Marker,      // ?, a parameter
  Symbol,      // any other character; <> <= >= != as one
  Unclosed,    // a quote, bracket, backquote or # that the text never closes: all the rest
};

struct Token {
  TokenKind kind = TokenKind::Symbol;
  std::size_t offset = 0;  // where it starts in the text
  std::string_view text;   // as written, quotes and brackets included

  std::size_t end() const { return offset + text.size(); }
  // The content of a String, Name, QuotedName or Date without its
  // delimiters, a doubled quote of a String undone; the text of any other.
  std::string inner() const;
  // A Symbol of exactly this text.
  bool is(std::string_view symbol) const { return kind == TokenKind::Symbol && text == symbol; }
  // A Word of this spelling, in any case (ASCII).
  bool isWord(std::string_view word) const;
};

// White space between tokens: space, tab, line feed, carriage return, form
// feed and vertical tab.
constexpr bool isSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// The token that starts at `at`, which is no white space and lies inside
// the text.
Token tokenAt(std::string_view sql, std::size_t at);

// The tokens of a text in order, white space passed over.
class Tokens {
 public:
  explicit Tokens(std::string_view sql, std::size_t from = 0) : sql_(sql), at_(from) {}
  // The next token into `t`; false at the end of the text.
  bool next(Token& t);
  // Where the reader is: the end of the last token given.
  std::size_t position() const { return at_; }

 private:
  std::string_view sql_;
  std::size_t at_;
};

}  // namespace jetdb::sql
