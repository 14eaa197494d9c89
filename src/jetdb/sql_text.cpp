#include "jetdb/sql_text.h"

#include <cctype>

namespace jetdb::sql {
namespace {

constexpr bool isDigit(char c) { return c >= '0' && c <= '9'; }
constexpr bool isWordChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || isDigit(c) || c == '_' ||
         static_cast<unsigned char>(c) >= 0x80;
}
constexpr char upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// The end of a text between `close` delimiters opened at `at`; npos when
// it never closes. In a string the delimiter doubled stands for itself.
std::size_t closing(std::string_view sql, std::size_t at, char close, bool doubled) {
  for (std::size_t j = at + 1; j < sql.size(); ++j) {
    if (sql[j] != close) continue;
    if (doubled && j + 1 < sql.size() && sql[j + 1] == close) {
      ++j;
      continue;
    }
    return j + 1;
  }
  return std::string_view::npos;
}

// 12, 12.5, .5, 12e3, 1.5E-7; an exponent counts only with its digits.
std::size_t numberEnd(std::string_view sql, std::size_t i) {
  const std::size_t n = sql.size();
  // 0x0A1B: bytes, as Access writes a binary value; 0x alone is no bytes.
  if (sql[i] == '0' && i + 1 < n && (sql[i + 1] == 'x' || sql[i + 1] == 'X') &&
      (i + 2 == n || std::isxdigit(static_cast<unsigned char>(sql[i + 2])) || !isWordChar(sql[i + 2]))) {
    i += 2;
    while (i < n && std::isxdigit(static_cast<unsigned char>(sql[i]))) ++i;
    return i;
  }
  while (i < n && isDigit(sql[i])) ++i;
  if (i < n && sql[i] == '.') {
    ++i;
    while (i < n && isDigit(sql[i])) ++i;
  }
  if (i < n && (sql[i] == 'e' || sql[i] == 'E')) {
    std::size_t k = i + 1;
    if (k < n && (sql[k] == '+' || sql[k] == '-')) ++k;
    if (k < n && isDigit(sql[k])) {
      i = k;
      while (i < n && isDigit(sql[i])) ++i;
    }
  }
  return i;
}

}  // namespace

Token tokenAt(std::string_view sql, std::size_t at) {
  const std::size_t n = sql.size();
  const char c = sql[at];
  auto made = [&](TokenKind kind, std::size_t end) { return Token{kind, at, sql.substr(at, end - at)}; };
  auto delimited = [&](TokenKind kind, char close, bool doubled) {
    const std::size_t end = closing(sql, at, close, doubled);
    return end == std::string_view::npos ? made(TokenKind::Unclosed, n) : made(kind, end);
  };
  switch (c) {
    case '[':
      return delimited(TokenKind::Name, ']', false);
    case '`':
      return delimited(TokenKind::QuotedName, '`', false);
    case '\'':
    case '"':
      return delimited(TokenKind::String, c, true);
    case '#':
      return delimited(TokenKind::Date, '#', false);
    case '?':
      return made(TokenKind::Marker, at + 1);
    default:
      break;
  }
  if (isDigit(c) || (c == '.' && at + 1 < n && isDigit(sql[at + 1])))
    return made(TokenKind::Number, numberEnd(sql, at));
  if (isWordChar(c)) {
    std::size_t j = at;
    while (j < n && isWordChar(sql[j])) ++j;
    return made(TokenKind::Word, j);
  }
  if (at + 1 < n) {
    const char d = sql[at + 1];
    if ((c == '<' && (d == '>' || d == '=')) || ((c == '>' || c == '!') && d == '='))
      return made(TokenKind::Symbol, at + 2);
  }
  return made(TokenKind::Symbol, at + 1);
}

bool Tokens::next(Token& t) {
  while (at_ < sql_.size() && isSpace(sql_[at_])) ++at_;
  if (at_ >= sql_.size()) return false;
  t = tokenAt(sql_, at_);
  at_ = t.end();
  return true;
}

std::string Token::inner() const {
  switch (kind) {
    case TokenKind::Name:
    case TokenKind::QuotedName:
    case TokenKind::Date:
      return std::string(text.substr(1, text.size() - 2));
    case TokenKind::String: {
      const char quote = text.front();
      std::string out;
      out.reserve(text.size() - 2);
      for (std::size_t i = 1; i + 1 < text.size(); ++i) {
        out += text[i];
        if (text[i] == quote) ++i;  // the second of a doubled quote
      }
      return out;
    }
    default:
      return std::string(text);
  }
}

bool Token::isWord(std::string_view word) const {
  if (kind != TokenKind::Word || text.size() != word.size()) return false;
  for (std::size_t i = 0; i < word.size(); ++i)
    if (upper(text[i]) != upper(word[i])) return false;
  return true;
}

}  // namespace jetdb::sql
