// The text that jetdb runs: cut at its parameter markers, with ODBC's
// escapes and backquoted names made Jet text; and the values of its
// parameters, which jetdb takes as values, never as text.
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

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
    case SQL_GUID:
      return SQL_C_GUID;
    default:
      return SQL_C_BINARY;
  }
}

const void* parameterAddress(const Stmt& s, const void* bound, std::size_t row, SQLLEN bufferLength, bool indicator) {
  if (!bound) return nullptr;
  const SQLLEN stride = s.paramBindType == SQL_PARAM_BIND_BY_COLUMN
                            ? (indicator ? static_cast<SQLLEN>(sizeof(SQLLEN)) : bufferLength)
                            : static_cast<SQLLEN>(s.paramBindType);
  const SQLLEN shift = s.paramBindOffsetPtr ? *s.paramBindOffsetPtr : 0;
  return static_cast<const char*>(bound) + shift + static_cast<SQLLEN>(row) * stride;
}

namespace {

jetdb::Value dateValue(int y, int mo, int d, int h, int mi, int sec) {
  return jetdb::Value::dateTime(secondsOf(y, mo, d, h, mi, sec));
}

bool numericSqlType(SQLSMALLINT t) {
  switch (t) {
    case SQL_NUMERIC:
    case SQL_DECIMAL:
    case SQL_INTEGER:
    case SQL_SMALLINT:
    case SQL_TINYINT:
    case SQL_BIGINT:
    case SQL_FLOAT:
    case SQL_REAL:
    case SQL_DOUBLE:
    case SQL_BIT:
      return true;
    default:
      return false;
  }
}

bool binarySqlType(SQLSMALLINT t) { return t == SQL_BINARY || t == SQL_VARBINARY || t == SQL_LONGVARBINARY; }

// A plain decimal number, "-12.50": what a client sends for an exact one.
bool decimalText(const std::string& text) {
  std::size_t i = text[0] == '-' || text[0] == '+' ? 1 : 0;
  bool digit = false, point = false;
  for (; i < text.size(); ++i) {
    if (text[i] >= '0' && text[i] <= '9') digit = true;
    else if (text[i] == '.' && !point) point = true;
    else return false;
  }
  return digit;
}

// A text bound for a number (pyodbc sends a Decimal as SQL_C_CHAR with
// SQL_NUMERIC) is that number, an exact one kept to its last digit; any
// other text stays a text.
jetdb::Value textValue(std::string text, SQLSMALLINT sqlType) {
  if (numericSqlType(sqlType) && !text.empty()) {
    const char* begin = text.c_str();
    char* end = nullptr;
    errno = 0;
    const long long integer = std::strtoll(begin, &end, 10);
    if (end != begin && *end == 0 && errno == 0) return jetdb::Value::of(static_cast<std::int64_t>(integer));
    if ((sqlType == SQL_NUMERIC || sqlType == SQL_DECIMAL) && decimalText(text))
      return jetdb::Value::decimal(text[0] == '+' ? text.substr(1) : text);
    const double real = std::strtod(begin, &end);
    if (end != begin && *end == 0 && std::isfinite(real)) return jetdb::Value::of(real);
  }
  return jetdb::Value::of(std::move(text));
}

}  // namespace

// The value of parameter `p` in parameter set `row`.
SQLRETURN parameterValue(Stmt& s, std::size_t row, std::size_t number, const Param& p, jetdb::Value& out) {
  using jetdb::Value;
  const auto* indicator = static_cast<const SQLLEN*>(parameterAddress(s, p.indicator, row, p.bufferLength, true));
  SQLLEN ind = indicator ? *indicator : SQL_NTS;
  if (ind == SQL_NULL_DATA) {
    out = Value::null();
    return SQL_SUCCESS;
  }
  SQLSMALLINT type = p.cType == SQL_C_DEFAULT ? defaultCType(p.sqlType) : p.cType;
  if (ind == SQL_DATA_AT_EXEC || ind <= SQL_LEN_DATA_AT_EXEC_OFFSET) {
    // Given piece by piece: text (or bytes taken as text).
    const std::optional<std::string>* piece =
        row < s.given.size() && number < s.given[row].size() ? &s.given[row][number] : nullptr;
    if (!piece || !*piece)
      out = Value::null();
    else if (type == SQL_C_BINARY && binarySqlType(p.sqlType))
      out = Value::bytes(**piece);
    else if (type == SQL_C_WCHAR)
      out = textValue(fromWide(reinterpret_cast<const SQLWCHAR*>((*piece)->data()),
                               static_cast<SQLLEN>((*piece)->size() / 2)),
                      p.sqlType);
    else
      out = textValue(**piece, p.sqlType);
    return SQL_SUCCESS;
  }
  const void* v = parameterAddress(s, p.value, row, p.bufferLength, false);
  if (!v) return s.fail("07002", "Le paramètre " + std::to_string(number) + " n'a pas de valeur liée.");
  auto integer = [&](auto x) {
    out = Value::of(static_cast<std::int64_t>(x));
    return SQL_SUCCESS;
  };
  switch (type) {
    case SQL_C_CHAR: {
      const char* text = static_cast<const char*>(v);
      out = textValue(ind == SQL_NTS ? std::string(text) : std::string(text, static_cast<std::size_t>(ind)), p.sqlType);
      return SQL_SUCCESS;
    }
    case SQL_C_WCHAR:
      out = textValue(fromWide(static_cast<const SQLWCHAR*>(v), ind == SQL_NTS ? SQL_NTS : ind / 2), p.sqlType);
      return SQL_SUCCESS;
    case SQL_C_BINARY: {
      // Bytes for a binary column; for any other, text as a client of
      // the Access driver sends it.
      const auto n = ind >= 0 ? static_cast<std::size_t>(ind) : static_cast<std::size_t>(std::max<SQLLEN>(p.bufferLength, 0));
      std::string bytes(static_cast<const char*>(v), n);
      out = binarySqlType(p.sqlType) ? Value::bytes(std::move(bytes)) : textValue(std::move(bytes), p.sqlType);
      return SQL_SUCCESS;
    }
    case SQL_C_GUID: {
      const auto* g = static_cast<const SQLGUID*>(v);
      char text[40];
      std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                    static_cast<unsigned>(g->Data1), g->Data2, g->Data3, g->Data4[0], g->Data4[1], g->Data4[2],
                    g->Data4[3], g->Data4[4], g->Data4[5], g->Data4[6], g->Data4[7]);
      out = Value::of(std::string(text));
      return SQL_SUCCESS;
    }
    case SQL_C_BIT:
      return integer(*static_cast<const unsigned char*>(v) ? -1 : 0);
    case SQL_C_TINYINT:
    case SQL_C_STINYINT:
      return integer(*static_cast<const signed char*>(v));
    case SQL_C_UTINYINT:
      return integer(*static_cast<const unsigned char*>(v));
    case SQL_C_SHORT:
    case SQL_C_SSHORT:
      return integer(*static_cast<const SQLSMALLINT*>(v));
    case SQL_C_USHORT:
      return integer(*static_cast<const SQLUSMALLINT*>(v));
    case SQL_C_LONG:
    case SQL_C_SLONG:
      return integer(*static_cast<const SQLINTEGER*>(v));
    case SQL_C_ULONG:
      return integer(*static_cast<const SQLUINTEGER*>(v));
    case SQL_C_SBIGINT:
      return integer(*static_cast<const SQLBIGINT*>(v));
    case SQL_C_UBIGINT: {
      const SQLUBIGINT u = *static_cast<const SQLUBIGINT*>(v);
      if (u > static_cast<SQLUBIGINT>(INT64_MAX)) return s.fail("22003", "Valeur numérique hors limites.");
      return integer(u);
    }
    case SQL_C_FLOAT:
    case SQL_C_DOUBLE: {
      double d = type == SQL_C_FLOAT ? *static_cast<const float*>(v) : *static_cast<const double*>(v);
      if (!std::isfinite(d)) return s.fail("22003", "Valeur numérique hors limites.");
      out = Value::of(d);
      return SQL_SUCCESS;
    }
    case SQL_C_TYPE_TIMESTAMP:
    case SQL_C_TIMESTAMP: {
      const auto* t = static_cast<const SQL_TIMESTAMP_STRUCT*>(v);
      out = dateValue(t->year, t->month, t->day, t->hour, t->minute, t->second);
      return SQL_SUCCESS;
    }
    case SQL_C_TYPE_DATE:
    case SQL_C_DATE: {
      const auto* t = static_cast<const SQL_DATE_STRUCT*>(v);
      out = dateValue(t->year, t->month, t->day, 0, 0, 0);
      return SQL_SUCCESS;
    }
    case SQL_C_TYPE_TIME:
    case SQL_C_TIME: {
      // Access keeps a time alone on the day its dates count from.
      const auto* t = static_cast<const SQL_TIME_STRUCT*>(v);
      out = dateValue(1899, 12, 30, t->hour, t->minute, t->second);
      return SQL_SUCCESS;
    }
    default:
      return s.fail("HY003", "Type C du paramètre " + std::to_string(number) + " non pris en charge (" +
                                 std::to_string(type) + ").");
  }
}

}  // namespace tqodbc
