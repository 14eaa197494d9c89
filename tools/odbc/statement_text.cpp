// The text that jetdb runs: cut at its parameter markers, with ODBC's
// escapes and backquoted names made Jet text, and each parameter's value
// put in as a literal.
#include <charconv>
#include <cmath>

#include "driver.h"
#include "jetdb/sql_text.h"

namespace tqodbc {

// Cuts `sql` at its parameter markers; an identifier between backquotes
// becomes one between brackets, and the ODBC escapes that clients write
// ({d '...'}, {ts '...'}, {t '...'}, {fn ...}, {oj ...}) become Jet text.
// The text is read with the driver's own reader, so that a '?', a brace
// or a backquote inside a string, a name or a date is left as it is.
std::vector<std::string> cutAtMarkers(const std::string& sql) {
  using jetdb::sql::TokenKind;
  std::vector<std::string> pieces(1);
  std::vector<bool> escapes;  // open braces: true when its closing brace is dropped
  std::size_t copied = 0;     // the text up to here is in the pieces
  jetdb::sql::Tokens reader(sql);
  jetdb::sql::Token t;
  auto copyTo = [&](std::size_t end) {
    pieces.back().append(sql, copied, end - copied);
    copied = end;
  };
  while (reader.next(t)) {
    if (t.kind == TokenKind::Marker) {
      copyTo(t.offset);
      pieces.emplace_back();
      copied = t.end();
    } else if (t.kind == TokenKind::QuotedName) {
      copyTo(t.offset);
      pieces.back() += "[" + t.inner() + "]";
      copied = t.end();
    } else if (t.is("{")) {
      copyTo(t.offset);
      jetdb::sql::Tokens ahead(sql, t.end());
      jetdb::sql::Token word, literal, close;
      const bool named = ahead.next(word) && word.kind == TokenKind::Word;
      if (named && (word.isWord("d") || word.isWord("t") || word.isWord("ts"))) {
        jetdb::sql::Tokens rest(sql, word.end());
        if (rest.next(literal) && literal.kind == TokenKind::String && rest.next(close) && close.is("}")) {
          pieces.back() += "#" + (word.isWord("t") ? "1899-12-30 " + literal.inner() : literal.inner()) + "#";
          copied = close.end();
          reader = rest;
          continue;
        }
      }
      if (named && (word.isWord("fn") || word.isWord("oj") || word.isWord("escape"))) {
        escapes.push_back(true);
        copied = word.isWord("escape") ? word.offset : word.end();  // {escape '\'} keeps its keyword
        reader = jetdb::sql::Tokens(sql, copied);
        continue;
      }
      escapes.push_back(false);
    } else if (t.is("}") && !escapes.empty()) {
      if (escapes.back()) {
        copyTo(t.offset);
        copied = t.end();
      }
      escapes.pop_back();
    }
  }
  copyTo(sql.size());
  return pieces;
}

SQLSMALLINT defaultCType(SQLSMALLINT sqlType) {
  switch (sqlType) {
    case SQL_CHAR:
    case SQL_VARCHAR:
    case SQL_LONGVARCHAR:
    case SQL_DECIMAL:
    case SQL_NUMERIC:
      return SQL_C_CHAR;
    case SQL_WCHAR:
    case SQL_WVARCHAR:
    case SQL_WLONGVARCHAR:
      return SQL_C_WCHAR;
    case SQL_BIT:
      return SQL_C_BIT;
    case SQL_TINYINT:
      return SQL_C_UTINYINT;
    case SQL_SMALLINT:
      return SQL_C_SSHORT;
    case SQL_INTEGER:
      return SQL_C_SLONG;
    case SQL_BIGINT:
      return SQL_C_SBIGINT;
    case SQL_REAL:
      return SQL_C_FLOAT;
    case SQL_FLOAT:
    case SQL_DOUBLE:
      return SQL_C_DOUBLE;
    case SQL_TYPE_DATE:
    case SQL_DATE:
      return SQL_C_TYPE_DATE;
    case SQL_TYPE_TIME:
    case SQL_TIME:
      return SQL_C_TYPE_TIME;
    case SQL_TYPE_TIMESTAMP:
    case SQL_TIMESTAMP:
      return SQL_C_TYPE_TIMESTAMP;
    default:
      return SQL_C_BINARY;
  }
}

namespace {

std::string quote(const std::string& text) {
  std::string out = "'";
  for (char c : text) {
    if (c == '\'') out += '\'';
    out += c;
  }
  return out + "'";
}

std::string dateLiteral(int y, int mo, int d, int h, int mi, int sec) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "#%04d-%02d-%02d %02d:%02d:%02d#", y, mo, d, h, mi, sec);
  return buf;
}

}  // namespace

// The literal that stands for parameter `p` in the text.
SQLRETURN parameterLiteral(Stmt& s, std::size_t number, const Param& p, std::string& out) {
  SQLLEN ind = p.indicator ? *p.indicator : SQL_NTS;
  if (ind == SQL_NULL_DATA) {
    out = "NULL";
    return SQL_SUCCESS;
  }
  SQLSMALLINT type = p.cType == SQL_C_DEFAULT ? defaultCType(p.sqlType) : p.cType;
  if (ind == SQL_DATA_AT_EXEC || ind <= SQL_LEN_DATA_AT_EXEC_OFFSET) {
    // Given piece by piece: text (or bytes taken as text).
    const std::optional<std::string>& piece = number < s.given.size() ? s.given[number] : std::nullopt;
    if (!piece) {
      out = "NULL";
    } else if (type == SQL_C_WCHAR) {
      out = quote(fromWide(reinterpret_cast<const SQLWCHAR*>(piece->data()), static_cast<SQLLEN>(piece->size() / 2)));
    } else {
      out = quote(*piece);
    }
    return SQL_SUCCESS;
  }
  if (!p.value) return s.fail("07002", "Le paramètre " + std::to_string(number) + " n'a pas de valeur liée.");
  const void* v = p.value;
  switch (type) {
    case SQL_C_CHAR: {
      const char* text = static_cast<const char*>(v);
      out = quote(ind == SQL_NTS ? std::string(text) : std::string(text, static_cast<std::size_t>(ind)));
      return SQL_SUCCESS;
    }
    case SQL_C_WCHAR:
      out = quote(fromWide(static_cast<const SQLWCHAR*>(v), ind == SQL_NTS ? SQL_NTS : ind / 2));
      return SQL_SUCCESS;
    case SQL_C_BIT:
      out = *static_cast<const unsigned char*>(v) ? "-1" : "0";
      return SQL_SUCCESS;
    case SQL_C_TINYINT:
    case SQL_C_STINYINT:
      out = std::to_string(*static_cast<const signed char*>(v));
      return SQL_SUCCESS;
    case SQL_C_UTINYINT:
      out = std::to_string(*static_cast<const unsigned char*>(v));
      return SQL_SUCCESS;
    case SQL_C_SHORT:
    case SQL_C_SSHORT:
      out = std::to_string(*static_cast<const SQLSMALLINT*>(v));
      return SQL_SUCCESS;
    case SQL_C_USHORT:
      out = std::to_string(*static_cast<const SQLUSMALLINT*>(v));
      return SQL_SUCCESS;
    case SQL_C_LONG:
    case SQL_C_SLONG:
      out = std::to_string(*static_cast<const SQLINTEGER*>(v));
      return SQL_SUCCESS;
    case SQL_C_ULONG:
      out = std::to_string(*static_cast<const SQLUINTEGER*>(v));
      return SQL_SUCCESS;
    case SQL_C_SBIGINT:
      out = std::to_string(*static_cast<const SQLBIGINT*>(v));
      return SQL_SUCCESS;
    case SQL_C_UBIGINT:
      out = std::to_string(*static_cast<const SQLUBIGINT*>(v));
      return SQL_SUCCESS;
    case SQL_C_FLOAT:
    case SQL_C_DOUBLE: {
      double d = type == SQL_C_FLOAT ? *static_cast<const float*>(v) : *static_cast<const double*>(v);
      if (!std::isfinite(d)) return s.fail("22003", "Valeur numérique hors limites.");
      char buf[32];
      auto r = std::to_chars(buf, buf + sizeof buf, d);
      out.assign(buf, r.ptr);
      return SQL_SUCCESS;
    }
    case SQL_C_TYPE_TIMESTAMP:
    case SQL_C_TIMESTAMP: {
      const auto* t = static_cast<const SQL_TIMESTAMP_STRUCT*>(v);
      out = dateLiteral(t->year, t->month, t->day, t->hour, t->minute, t->second);
      return SQL_SUCCESS;
    }
    case SQL_C_TYPE_DATE:
    case SQL_C_DATE: {
      const auto* t = static_cast<const SQL_DATE_STRUCT*>(v);
      out = dateLiteral(t->year, t->month, t->day, 0, 0, 0);
      return SQL_SUCCESS;
    }
    case SQL_C_TYPE_TIME:
    case SQL_C_TIME: {
      // Access keeps a time alone on the day its dates count from.
      const auto* t = static_cast<const SQL_TIME_STRUCT*>(v);
      out = dateLiteral(1899, 12, 30, t->hour, t->minute, t->second);
      return SQL_SUCCESS;
    }
    default:
      return s.fail("HY003", "Type C du paramètre " + std::to_string(number) + " non pris en charge (" +
                                 std::to_string(type) + ").");
  }
}

}  // namespace tqodbc
