#include "lexer.h"

#include <cerrno>
#include <cstdlib>

#include "jetdb/sql_text.h"
#include "types.h"

namespace jetdb {
namespace {

// The symbols of the dialect; any other character is an error.
bool dialectSymbol(std::string_view s) {
  return s.size() == 2 || std::string_view("(),;.*=<>+-/&!@").find(s.front()) != std::string_view::npos;
}

}  // namespace

std::vector<Token> tokenize(std::string_view sql) {
  using sql::TokenKind;
  std::vector<Token> out;
  sql::Tokens reader(sql);
  sql::Token read;
  while (reader.next(read)) {
    Token t;
    t.offset = read.offset;
    bool good = true;
    switch (read.kind) {
      case TokenKind::Word:
        t.kind = Token::Kind::Word;
        t.text = std::string(read.text);
        break;
      case TokenKind::Name:
        t.kind = Token::Kind::Name;
        t.text = read.inner();
        break;
      case TokenKind::String:
        t.kind = Token::Kind::String;
        t.text = read.inner();
        break;
      case TokenKind::Date: {
        auto d = parseDate(read.inner());
        good = d.has_value();
        t.kind = Token::Kind::Date;
        t.integer = d.value_or(0);
        t.text = std::string(read.text);
        break;
      }
      case TokenKind::Number: {
        t.text = std::string(read.text);
        if (t.text.size() >= 2 && (t.text[1] == 'x' || t.text[1] == 'X')) {
          // An odd count of digits has a zero before the first, as 0xABC is 0x0ABC.
          std::string hex = t.text.substr(2);
          if (hex.size() % 2) hex.insert(hex.begin(), '0');
          t.kind = Token::Kind::Bytes;
          t.text.clear();
          for (std::size_t k = 0; k < hex.size(); k += 2)
            t.text += static_cast<char>(std::stoi(hex.substr(k, 2), nullptr, 16));
          break;
        }
        bool real = t.text.find_first_not_of("0123456789") != std::string::npos;
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
        break;
      }
      case TokenKind::Marker:
        t.kind = Token::Kind::Symbol;
        t.text = "?";
        break;
      case TokenKind::Symbol:
        t.kind = Token::Kind::Symbol;
        t.text = std::string(read.text);
        good = dialectSymbol(read.text);
        break;
      case TokenKind::QuotedName:  // for the ODBC driver to turn into a [name]
      case TokenKind::Unclosed:
        good = false;
        break;
    }
    if (!good) {
      // The parser reports it as a syntax error at this place.
      Token bad;
      bad.kind = Token::Kind::Bad;
      bad.offset = read.offset;
      bad.text = std::string(sql.substr(read.offset, 20));
      out.push_back(std::move(bad));
      break;
    }
    out.push_back(std::move(t));
  }
  Token end;
  end.kind = Token::Kind::End;
  end.offset = sql.size();
  out.push_back(end);
  return out;
}

}  // namespace jetdb
