#include "lexer.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>

#include "types.h"

namespace jetdb {
namespace {

bool wordChar(unsigned char c) { return std::isalnum(c) || c == '_' || c >= 0x80; }

}  // namespace

std::vector<Token> tokenize(std::string_view sql) {
  std::vector<Token> out;
  std::size_t i = 0;
  const std::size_t n = sql.size();
  auto bad = [&](std::size_t at) {
    Token t;
    t.kind = Token::Kind::Bad;
    t.offset = at;
    t.text = std::string(sql.substr(at, 20));
    out.push_back(std::move(t));
  };
  while (i < n) {
    unsigned char c = static_cast<unsigned char>(sql[i]);
    if (std::isspace(c)) { ++i; continue; }
    Token t;
    t.offset = i;
    if (c == '[') {
      std::size_t close = sql.find(']', i + 1);
      if (close == std::string_view::npos) { bad(i); break; }
      t.kind = Token::Kind::Name;
      t.text = std::string(sql.substr(i + 1, close - i - 1));
      i = close + 1;
    } else if (c == '\'' || c == '"') {
      // Jet takes both quotes as string delimiters; a doubled quote stands
      // for itself.
      char quote = static_cast<char>(c);
      std::string s;
      std::size_t j = i + 1;
      bool closed = false;
      while (j < n) {
        if (sql[j] == quote) {
          if (j + 1 < n && sql[j + 1] == quote) { s += quote; j += 2; continue; }
          closed = true;
          ++j;
          break;
        }
        s += sql[j++];
      }
      if (!closed) { bad(i); break; }
      t.kind = Token::Kind::String;
      t.text = std::move(s);
      i = j;
    } else if (c == '#') {
      std::size_t close = sql.find('#', i + 1);
      if (close == std::string_view::npos) { bad(i); break; }
      auto d = parseDate(sql.substr(i + 1, close - i - 1));
      if (!d) { bad(i); break; }
      t.kind = Token::Kind::Date;
      t.integer = *d;
      t.text = std::string(sql.substr(i, close - i + 1));
      i = close + 1;
    } else if (std::isdigit(c) || (c == '.' && i + 1 < n && std::isdigit(static_cast<unsigned char>(sql[i + 1])))) {
      std::size_t j = i;
      bool real = false;
      while (j < n && std::isdigit(static_cast<unsigned char>(sql[j]))) ++j;
      if (j < n && sql[j] == '.') {
        real = true;
        ++j;
        while (j < n && std::isdigit(static_cast<unsigned char>(sql[j]))) ++j;
      }
      if (j < n && (sql[j] == 'e' || sql[j] == 'E')) {
        std::size_t k = j + 1;
        if (k < n && (sql[k] == '+' || sql[k] == '-')) ++k;
        if (k < n && std::isdigit(static_cast<unsigned char>(sql[k]))) {
          real = true;
          j = k;
          while (j < n && std::isdigit(static_cast<unsigned char>(sql[j]))) ++j;
        }
      }
      t.text = std::string(sql.substr(i, j - i));
      if (!real) {
        errno = 0;
        long long v = std::strtoll(t.text.c_str(), nullptr, 10);
        if (errno == ERANGE) real = true;
        else { t.kind = Token::Kind::Integer; t.integer = v; }
      }
      if (real) {
        t.kind = Token::Kind::Real;
        t.real = std::strtod(t.text.c_str(), nullptr);
      }
      i = j;
    } else if (wordChar(c)) {
      std::size_t j = i;
      while (j < n && wordChar(static_cast<unsigned char>(sql[j]))) ++j;
      t.kind = Token::Kind::Word;
      t.text = std::string(sql.substr(i, j - i));
      i = j;
    } else {
      static const char* kTwo[] = {"<>", "<=", ">=", "!="};
      t.kind = Token::Kind::Symbol;
      t.text = std::string(1, static_cast<char>(c));
      for (const char* two : kTwo) {
        if (i + 1 < n && sql[i] == two[0] && sql[i + 1] == two[1]) t.text = two;
      }
      if (std::string_view("(),;.*=<>+-/&!?").find(static_cast<char>(c)) == std::string_view::npos) {
        bad(i);
        break;
      }
      i += t.text.size();
    }
    out.push_back(std::move(t));
  }
  Token end;
  end.kind = Token::Kind::End;
  end.offset = n;
  out.push_back(end);
  return out;
}

}  // namespace jetdb
