// Statements: preparing, parameters, execution, result description,
// fetching and the conversion of values to the application's C types.
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

#include "driver.h"
#include "jetdb/sql_text.h"

namespace tqodbc {

// ---- result sets ------------------------------------------------------------

ResultColumn describe(const jetdb::ColumnInfo& c) {
  ResultColumn r;
  r.name = c.name;
  r.nullable = c.nullable ? SQL_NULLABLE : SQL_NO_NULLS;
  r.typeName = jetdb::typeName(c.type);
  using T = jetdb::JetType;
  switch (c.type) {
    case T::Text:
      r.sqlType = SQL_WVARCHAR;
      r.size = static_cast<SQLULEN>(c.size > 0 ? c.size : 255);
      break;
    case T::Memo:
      r.sqlType = SQL_WLONGVARCHAR;
      r.size = 1073741823;
      break;
    case T::Bit:
      r.sqlType = SQL_BIT;
      r.size = 1;
      break;
    case T::Byte:
      r.sqlType = SQL_TINYINT;
      r.size = 3;
      r.unsignedType = true;
      break;
    case T::Short:
      r.sqlType = SQL_SMALLINT;
      r.size = 5;
      break;
    case T::Long:
      r.sqlType = SQL_INTEGER;
      r.size = 10;
      break;
    case T::Counter:
      r.sqlType = SQL_INTEGER;
      r.size = 10;
      r.autoIncrement = true;
      break;
    case T::Single:
      r.sqlType = SQL_REAL;
      r.size = 7;
      break;
    case T::Double:
      r.sqlType = SQL_DOUBLE;
      r.size = 15;
      break;
    case T::Currency:
      r.sqlType = SQL_DECIMAL;
      r.size = 19;
      r.digits = 4;
      break;
    case T::DateTime:
      r.sqlType = SQL_TYPE_TIMESTAMP;
      r.size = 19;
      break;
  }
  return r;
}

ResultColumn textColumn(const char* name, bool nullable) {
  ResultColumn r;
  r.name = name;
  r.sqlType = SQL_WVARCHAR;
  r.size = 128;
  r.nullable = nullable ? SQL_NULLABLE : SQL_NO_NULLS;
  r.typeName = "TEXT";
  return r;
}

ResultColumn shortColumn(const char* name, bool nullable) {
  ResultColumn r = textColumn(name, nullable);
  r.sqlType = SQL_SMALLINT;
  r.size = 5;
  r.typeName = "SHORT";
  return r;
}

ResultColumn intColumn(const char* name, bool nullable) {
  ResultColumn r = textColumn(name, nullable);
  r.sqlType = SQL_INTEGER;
  r.size = 10;
  r.typeName = "LONG";
  return r;
}

RowsResult::RowsResult(std::vector<ResultColumn> columns, std::vector<std::vector<jetdb::Value>> rows)
    : rows_(std::move(rows)) {
  columns_ = std::move(columns);
}

int RowsResult::next(jetdb::Error&) {
  if (row_ >= rows_.size()) return 0;
  ++row_;
  return 1;
}

namespace {

class QueryResult : public Result {
 public:
  explicit QueryResult(std::unique_ptr<jetdb::Query> q) : query_(std::move(q)) {
    for (const auto& c : query_->columns()) columns_.push_back(describe(c));
  }
  int next(jetdb::Error& error) override {
    if (query_->next()) return 1;
    if (!query_->error()) return 0;
    error = *query_->error();
    return -1;
  }
  const jetdb::Value& value(std::size_t column) const override { return query_->value(column); }

 private:
  std::unique_ptr<jetdb::Query> query_;
};

// ---- the text jetdb reads ---------------------------------------------------------

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

// The literal that stands for parameter `p` in the text.
SQLRETURN literal(Stmt& s, std::size_t number, const Param& p, std::string& out) {
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

}  // namespace

void closeCursor(Stmt& s) {
  s.result.reset();
  s.onRow = false;
  s.fetched = 0;
  s.dataColumn = 0;
}

void forgetGivenParameters(Stmt& s) {
  s.awaited.clear();
  s.giving = 0;
  s.given.clear();
}

SQLRETURN prepare(Stmt& s, const std::string& sql) {
  closeCursor(s);
  forgetGivenParameters(s);
  s.statement.reset();
  s.rowCount = -1;
  s.pieces = cutAtMarkers(sql);
  std::string text = s.pieces[0];
  for (std::size_t k = 1; k < s.pieces.size(); ++k) text += "?" + s.pieces[k];
  jetdb::Database& db = *s.conn->db;
  s.statement = db.prepare(text);
  if (!s.statement) return s.failWith(db.lastError());
  return SQL_SUCCESS;
}

SQLRETURN execute(Stmt& s) {
  if (!s.statement) return s.fail("HY010", "Aucune instruction préparée.");
  closeCursor(s);
  s.rowCount = -1;
  if (s.given.empty()) {
    for (std::size_t k = 1; k < s.pieces.size() && k < s.params.size(); ++k) {
      const SQLLEN* ind = s.params[k].indicator;
      if (ind && (*ind == SQL_DATA_AT_EXEC || *ind <= SQL_LEN_DATA_AT_EXEC_OFFSET)) s.awaited.push_back(k);
    }
    if (!s.awaited.empty()) {
      s.given.assign(s.pieces.size(), std::nullopt);
      s.giving = 0;
      return SQL_NEED_DATA;
    }
  }
  std::string sql = s.pieces[0];
  for (std::size_t k = 1; k < s.pieces.size(); ++k) {
    if (k >= s.params.size() || (!s.params[k].value && !s.params[k].indicator))
      return s.fail("07002", "Le paramètre " + std::to_string(k) + " n'a pas de valeur liée.");
    std::string lit;
    if (SQLRETURN rc = literal(s, k, s.params[k], lit); rc != SQL_SUCCESS) return rc;
    sql += lit;
    sql += s.pieces[k];
  }
  if (s.paramsProcessedPtr) *s.paramsProcessedPtr = 1;
  jetdb::Database& db = *s.conn->db;
  // Without parameters the prepared statement runs as it was read; with
  // them, their values are in the text.
  const bool pasted = s.pieces.size() > 1;
  if (s.statement->returnsRows()) {
    auto q = pasted ? db.query(sql) : db.query(*s.statement);
    if (!q) return s.failWith(db.lastError());
    s.result = std::make_unique<QueryResult>(std::move(q));
    return SQL_SUCCESS;
  }
  std::int64_t before = db.totalChanges();
  if (!(pasted ? db.execute(sql) : db.execute(*s.statement))) return s.failWith(db.lastError());
  if (s.statement->changesRows()) s.rowCount = static_cast<SQLLEN>(db.totalChanges() - before);
  if (!s.conn->autocommit) s.conn->pendingWrites = true;
  return SQL_SUCCESS;
}

// ---- values to C types ----------------------------------------------------------

void civil(std::int64_t seconds, SQLSMALLINT& year, SQLUSMALLINT& month, SQLUSMALLINT& day, SQLUSMALLINT& hour,
           SQLUSMALLINT& minute, SQLUSMALLINT& second) {
  std::int64_t days = seconds >= 0 ? seconds / 86400 : -((-seconds + 86399) / 86400);
  std::int64_t rem = seconds - days * 86400;
  // Days to a civil date, counted from 0000-03-01 so that a leap day ends its year.
  std::int64_t z = days + 719468;
  std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  std::int64_t doe = z - era * 146097;
  std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  std::int64_t mp = (5 * doy + 2) / 153;
  std::int64_t d = doy - (153 * mp + 2) / 5 + 1;
  std::int64_t m = mp < 10 ? mp + 3 : mp - 9;
  year = static_cast<SQLSMALLINT>(yoe + era * 400 + (m <= 2 ? 1 : 0));
  month = static_cast<SQLUSMALLINT>(m);
  day = static_cast<SQLUSMALLINT>(d);
  hour = static_cast<SQLUSMALLINT>(rem / 3600);
  minute = static_cast<SQLUSMALLINT>(rem / 60 % 60);
  second = static_cast<SQLUSMALLINT>(rem % 60);
}

std::string valueText(const jetdb::Value& v, const ResultColumn& column) {
  using K = jetdb::Value::Kind;
  switch (v.kind) {
    case K::Null:
      return {};
    case K::Text:
      return v.text;
    case K::Integer:
      if (column.sqlType == SQL_BIT) return v.integer ? "1" : "0";
      return std::to_string(v.integer);
    case K::Double: {
      char buf[64];
      if (column.sqlType == SQL_DECIMAL) {
        std::snprintf(buf, sizeof buf, "%.4f", v.real);
        return buf;
      }
      // A Single is shown as the float it is, not as the double it reads as.
      auto r = column.sqlType == SQL_REAL ? std::to_chars(buf, buf + sizeof buf, static_cast<float>(v.real))
                                          : std::to_chars(buf, buf + sizeof buf, v.real);
      return std::string(buf, r.ptr);
    }
    case K::DateTime: {
      SQLSMALLINT y;
      SQLUSMALLINT mo, d, h, mi, sec;
      civil(v.integer, y, mo, d, h, mi, sec);
      char buf[64];
      std::snprintf(buf, sizeof buf, "%04d-%02u-%02u %02u:%02u:%02u", y, mo, d, h, mi, sec);
      return buf;
    }
  }
  return {};
}

namespace {

// A value as a number, for the numeric C types.
bool asNumber(const jetdb::Value& v, double& out) {
  using K = jetdb::Value::Kind;
  if (v.kind == K::Integer || v.kind == K::DateTime)
    out = static_cast<double>(v.integer);
  else if (v.kind == K::Double)
    out = v.real;
  else {
    const char* begin = v.text.c_str();
    char* end = nullptr;
    out = std::strtod(begin, &end);
    while (end && std::isspace(static_cast<unsigned char>(*end))) ++end;
    return end != begin && end && *end == 0;
  }
  return true;
}

template <class T>
SQLRETURN putInteger(Stmt& s, const jetdb::Value& v, SQLPOINTER target, SQLLEN* indicator) {
  double d = 0;
  if (!asNumber(v, d)) return s.fail("22018", "Valeur « " + v.text + " » non numérique.");
  // A real is checked against the target's range before it is cast:
  // casting one beyond it is undefined.
  if (v.kind != jetdb::Value::Kind::Integer &&
      !(d > static_cast<double>(std::numeric_limits<T>::min()) - 1 &&
        d < static_cast<double>(std::numeric_limits<T>::max()) + 1 && std::fabs(d) < 9.2e18))
    return s.fail("22003", "Valeur numérique hors limites du type demandé.");
  std::int64_t i = v.kind == jetdb::Value::Kind::Integer ? v.integer : static_cast<std::int64_t>(std::trunc(d));
  if (i < static_cast<std::int64_t>(std::numeric_limits<T>::min()) ||
      (i > 0 && static_cast<std::uint64_t>(i) > static_cast<std::uint64_t>(std::numeric_limits<T>::max())))
    return s.fail("22003", "Valeur numérique hors limites du type demandé.");
  if (target) {
    T x = static_cast<T>(i);
    std::memcpy(target, &x, sizeof x);
  }
  if (indicator) *indicator = sizeof(T);
  if (d != std::trunc(d)) {
    s.warn("01S07", "Partie fractionnaire tronquée.");
    return SQL_SUCCESS_WITH_INFO;
  }
  return SQL_SUCCESS;
}

template <class T>
SQLRETURN putFixed(SQLPOINTER target, SQLLEN* indicator, const T& value) {
  if (target) std::memcpy(target, &value, sizeof value);
  if (indicator) *indicator = sizeof value;
  return SQL_SUCCESS;
}

bool asSeconds(const jetdb::Value& v, std::int64_t& seconds) {
  if (v.kind == jetdb::Value::Kind::DateTime) {
    seconds = v.integer;
    return true;
  }
  if (v.kind != jetdb::Value::Kind::Text) return false;
  int y = 0, mo = 0, d = 0, h = 0, mi = 0, sec = 0;
  if (std::sscanf(v.text.c_str(), "%d-%d-%d %d:%d:%d", &y, &mo, &d, &h, &mi, &sec) < 3) return false;
  // Back to seconds the way civil() reads them.
  std::int64_t yy = mo <= 2 ? y - 1 : y;
  std::int64_t era = (yy >= 0 ? yy : yy - 399) / 400;
  std::int64_t yoe = yy - era * 400;
  std::int64_t doy = (153 * (mo > 2 ? mo - 3 : mo + 9) + 2) / 5 + d - 1;
  std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  seconds = (era * 146097 + doe - 719468) * 86400 + h * 3600 + mi * 60 + sec;
  return true;
}

}  // namespace

SQLRETURN convertValue(Stmt& s, const jetdb::Value& v, const ResultColumn& column, SQLSMALLINT cType, SQLPOINTER target,
                       SQLLEN capacity, SQLLEN* indicator, std::size_t* offset, bool* done) {
  if (done) *done = true;
  if (v.isNull()) {
    if (!indicator) return s.fail("22002", "Valeur Null sans indicateur pour la recevoir.");
    *indicator = SQL_NULL_DATA;
    return SQL_SUCCESS;
  }
  if (cType == SQL_C_DEFAULT) cType = defaultCType(column.sqlType);
  switch (cType) {
    case SQL_C_CHAR:
    case SQL_C_WCHAR:
    case SQL_C_BINARY: {
      // A piecewise read converts the value once, at its first piece: a
      // client may read a long text a few characters at a time.
      const bool w = cType == SQL_C_WCHAR;
      std::string ownText;
      std::u16string ownWide;
      std::string& text = offset ? s.pieceText : ownText;
      std::u16string& wide = offset ? s.pieceWide : ownWide;
      if (!offset || *offset == 0) {
        text = valueText(v, column);
        wide = w ? toUtf16(text) : std::u16string();
      }
      const std::size_t unit = w ? 2 : 1;
      const std::size_t length = w ? wide.size() : text.size();
      std::size_t from = offset ? std::min(*offset, length) : 0;
      std::size_t remaining = length - from;
      if (indicator) *indicator = static_cast<SQLLEN>(remaining * unit);
      const std::size_t terminator = cType == SQL_C_BINARY ? 0 : 1;
      const std::size_t slots = capacity > 0 ? static_cast<std::size_t>(capacity) / unit : 0;
      const std::size_t room = slots >= terminator ? slots - terminator : 0;
      std::size_t n = std::min(remaining, room);
      // A piece fills the buffer, even when that cuts a surrogate pair:
      // clients take a cut piece's length as the buffer's, and join the
      // pieces' units again.
      if (target && slots > 0) {
        if (w) {
          auto* p = static_cast<SQLWCHAR*>(target);
          for (std::size_t k = 0; k < n; ++k) p[k] = wide[from + k];
          if (terminator) p[n] = 0;
        } else {
          std::memcpy(target, text.data() + from, n);
          if (terminator) static_cast<char*>(target)[n] = 0;
        }
      }
      if (offset) *offset = from + n;
      if (n < remaining) {
        if (done) *done = false;
        s.warn("01004", "Données de type chaîne tronquées à droite.");
        return SQL_SUCCESS_WITH_INFO;
      }
      return SQL_SUCCESS;
    }
    case SQL_C_BIT: {
      double d = 0;
      if (!asNumber(v, d)) return s.fail("22018", "Valeur « " + v.text + " » non numérique.");
      return putFixed(target, indicator, static_cast<unsigned char>(d != 0 ? 1 : 0));
    }
    case SQL_C_TINYINT:
    case SQL_C_STINYINT:
      return putInteger<signed char>(s, v, target, indicator);
    case SQL_C_UTINYINT:
      return putInteger<unsigned char>(s, v, target, indicator);
    case SQL_C_SHORT:
    case SQL_C_SSHORT:
      return putInteger<SQLSMALLINT>(s, v, target, indicator);
    case SQL_C_USHORT:
      return putInteger<SQLUSMALLINT>(s, v, target, indicator);
    case SQL_C_LONG:
    case SQL_C_SLONG:
      return putInteger<SQLINTEGER>(s, v, target, indicator);
    case SQL_C_ULONG:
      return putInteger<SQLUINTEGER>(s, v, target, indicator);
    case SQL_C_SBIGINT:
      return putInteger<SQLBIGINT>(s, v, target, indicator);
    case SQL_C_UBIGINT:
      return putInteger<SQLUBIGINT>(s, v, target, indicator);
    case SQL_C_FLOAT:
    case SQL_C_DOUBLE: {
      double d = 0;
      if (!asNumber(v, d)) return s.fail("22018", "Valeur « " + v.text + " » non numérique.");
      if (cType == SQL_C_FLOAT) return putFixed(target, indicator, static_cast<float>(d));
      return putFixed(target, indicator, d);
    }
    case SQL_C_TYPE_TIMESTAMP:
    case SQL_C_TIMESTAMP:
    case SQL_C_TYPE_DATE:
    case SQL_C_DATE:
    case SQL_C_TYPE_TIME:
    case SQL_C_TIME: {
      std::int64_t seconds = 0;
      if (!asSeconds(v, seconds)) return s.fail("07006", "Cette valeur ne se lit pas comme une date.");
      SQL_TIMESTAMP_STRUCT t{};
      civil(seconds, t.year, t.month, t.day, t.hour, t.minute, t.second);
      if (cType == SQL_C_TYPE_DATE || cType == SQL_C_DATE)
        return putFixed(target, indicator, SQL_DATE_STRUCT{t.year, t.month, t.day});
      if (cType == SQL_C_TYPE_TIME || cType == SQL_C_TIME)
        return putFixed(target, indicator, SQL_TIME_STRUCT{t.hour, t.minute, t.second});
      return putFixed(target, indicator, t);
    }
    default:
      return s.fail("07006", "Conversion vers le type C " + std::to_string(cType) + " non prise en charge.");
  }
}

// ---- fetching -------------------------------------------------------------------

namespace {

SQLRETURN fetch(Stmt& s) {
  if (!s.result) return s.fail("24000", "Aucun curseur ouvert.");
  SQLRETURN rc = SQL_SUCCESS;
  SQLULEN got = 0;
  s.dataColumn = 0;
  for (SQLULEN row = 0; row < s.rowArraySize; ++row) {
    if (s.maxRows && s.fetched >= s.maxRows) break;
    jetdb::Error error;
    int step = s.result->next(error);
    if (step < 0) {
      s.onRow = false;
      return s.failWith(error);
    }
    if (step == 0) break;
    ++got;
    ++s.fetched;
    bool rowWarned = false;
    const SQLLEN shift = s.rowBindOffsetPtr ? *s.rowBindOffsetPtr : 0;
    for (std::size_t col = 1; col < s.bindings.size(); ++col) {
      const Binding& b = s.bindings[col];
      if (!b.target && !b.indicator) continue;
      const SQLLEN stride = s.rowBindType == SQL_BIND_BY_COLUMN ? b.bufferLength : static_cast<SQLLEN>(s.rowBindType);
      const SQLLEN indStride = s.rowBindType == SQL_BIND_BY_COLUMN ? static_cast<SQLLEN>(sizeof(SQLLEN)) : stride;
      char* target = b.target ? static_cast<char*>(b.target) + shift + static_cast<SQLLEN>(row) * stride : nullptr;
      auto* ind = b.indicator ? reinterpret_cast<SQLLEN*>(reinterpret_cast<char*>(b.indicator) + shift +
                                                          static_cast<SQLLEN>(row) * indStride)
                              : nullptr;
      SQLRETURN one = convertValue(s, s.result->value(col - 1), s.result->columns()[col - 1], b.cType, target,
                                   b.bufferLength, ind, nullptr, nullptr);
      if (one == SQL_ERROR) {
        if (s.rowStatusPtr) s.rowStatusPtr[row] = SQL_ROW_ERROR;
        rc = s.rowArraySize > 1 ? SQL_SUCCESS_WITH_INFO : SQL_ERROR;
        rowWarned = true;
      } else if (one == SQL_SUCCESS_WITH_INFO) {
        if (rc == SQL_SUCCESS) rc = SQL_SUCCESS_WITH_INFO;
        rowWarned = true;
      }
    }
    if (s.rowStatusPtr && !(rowWarned && s.rowStatusPtr[row] == SQL_ROW_ERROR))
      s.rowStatusPtr[row] = rowWarned ? SQL_ROW_SUCCESS_WITH_INFO : SQL_ROW_SUCCESS;
  }
  if (s.rowsFetchedPtr) *s.rowsFetchedPtr = got;
  if (s.rowStatusPtr)
    for (SQLULEN row = got; row < s.rowArraySize; ++row) s.rowStatusPtr[row] = SQL_ROW_NOROW;
  s.onRow = got > 0;
  return got == 0 ? SQL_NO_DATA : rc;
}

SQLLEN displaySize(const ResultColumn& c) {
  switch (c.sqlType) {
    case SQL_BIT:
      return 1;
    case SQL_TINYINT:
      return 3;
    case SQL_SMALLINT:
      return 6;
    case SQL_INTEGER:
      return 11;
    case SQL_REAL:
      return 14;
    case SQL_DOUBLE:
      return 24;
    case SQL_DECIMAL:
      return static_cast<SQLLEN>(c.size) + 2;
    case SQL_TYPE_TIMESTAMP:
      return 19;
    default:
      return static_cast<SQLLEN>(c.size);
  }
}

SQLLEN octetLength(const ResultColumn& c) {
  switch (c.sqlType) {
    case SQL_BIT:
    case SQL_TINYINT:
      return 1;
    case SQL_SMALLINT:
      return 2;
    case SQL_INTEGER:
    case SQL_REAL:
      return 4;
    case SQL_DOUBLE:
      return 8;
    case SQL_DECIMAL:
      return static_cast<SQLLEN>(c.size) + 2;
    case SQL_TYPE_TIMESTAMP:
      return sizeof(SQL_TIMESTAMP_STRUCT);
    default:
      return static_cast<SQLLEN>(c.size) * 2;
  }
}

// An ODBC 2 application knows the timestamp by its old code.
SQLSMALLINT conciseType(const Stmt& s, const ResultColumn& c) {
  if (c.sqlType == SQL_TYPE_TIMESTAMP && s.conn->env->odbcVersion == SQL_OV_ODBC2) return SQL_TIMESTAMP;
  return c.sqlType;
}

}  // namespace

SQLRETURN describeColumn(Stmt& s, SQLUSMALLINT column, bool wide, SQLPOINTER name, SQLSMALLINT capacity,
                         SQLSMALLINT* nameLength, SQLSMALLINT* type, SQLULEN* size, SQLSMALLINT* digits,
                         SQLSMALLINT* nullable) {
  if (!s.result) return s.fail("07005", "L'instruction ne rend aucun résultat.");
  if (column < 1 || column > s.result->columns().size())
    return s.fail("07009", "Numéro de colonne " + std::to_string(column) + " hors limites.");
  const ResultColumn& c = s.result->columns()[column - 1u];
  if (type) *type = conciseType(s, c);
  if (size) *size = c.size;
  if (digits) *digits = c.digits;
  if (nullable) *nullable = c.nullable;
  return putText16(s, c.name, wide, name, capacity, false, nameLength);
}

SQLRETURN columnAttribute(Stmt& s, SQLUSMALLINT column, SQLUSMALLINT field, bool wide, SQLPOINTER text,
                          SQLSMALLINT capacity, SQLSMALLINT* length, SQLLEN* number) {
  if (!s.result) return s.fail("07005", "L'instruction ne rend aucun résultat.");
  if (field == SQL_DESC_COUNT || field == SQL_COLUMN_COUNT) {
    if (number) *number = static_cast<SQLLEN>(s.result->columns().size());
    return SQL_SUCCESS;
  }
  if (column < 1 || column > s.result->columns().size())
    return s.fail("07009", "Numéro de colonne " + std::to_string(column) + " hors limites.");
  const ResultColumn& c = s.result->columns()[column - 1u];
  auto num = [&](SQLLEN v) {
    if (number) *number = v;
    return SQL_SUCCESS;
  };
  auto str = [&](const std::string& v) { return putText16(s, v, wide, text, capacity, true, length); };
  switch (field) {
    case SQL_DESC_NAME:
    case SQL_DESC_LABEL:
    case SQL_DESC_BASE_COLUMN_NAME:
    case SQL_COLUMN_NAME:
      return str(c.name);
    case SQL_DESC_TABLE_NAME:
    case SQL_DESC_BASE_TABLE_NAME:
      return str(c.table);
    case SQL_DESC_CATALOG_NAME:
    case SQL_DESC_SCHEMA_NAME:
    case SQL_DESC_LITERAL_PREFIX:
    case SQL_DESC_LITERAL_SUFFIX:
      return str("");
    case SQL_DESC_TYPE_NAME:
    case SQL_DESC_LOCAL_TYPE_NAME:
      return str(c.typeName);
    case SQL_DESC_CONCISE_TYPE:
      return num(conciseType(s, c));
    case SQL_DESC_TYPE:
      return num(c.sqlType == SQL_TYPE_TIMESTAMP ? SQL_DATETIME : c.sqlType);
    case SQL_DESC_LENGTH:
    case SQL_COLUMN_LENGTH:
    case SQL_DESC_PRECISION:
    case SQL_COLUMN_PRECISION:
      return num(static_cast<SQLLEN>(c.size));
    case SQL_DESC_SCALE:
    case SQL_COLUMN_SCALE:
      return num(c.digits);
    case SQL_DESC_OCTET_LENGTH:
      return num(octetLength(c));
    case SQL_DESC_DISPLAY_SIZE:
      return num(displaySize(c));
    case SQL_DESC_NULLABLE:
    case SQL_COLUMN_NULLABLE:
      return num(c.nullable);
    case SQL_DESC_UNSIGNED:
      return num(c.unsignedType || c.sqlType == SQL_WVARCHAR || c.sqlType == SQL_WLONGVARCHAR ||
                         c.sqlType == SQL_TYPE_TIMESTAMP || c.sqlType == SQL_BIT
                     ? SQL_TRUE
                     : SQL_FALSE);
    case SQL_DESC_AUTO_UNIQUE_VALUE:
      return num(c.autoIncrement ? SQL_TRUE : SQL_FALSE);
    case SQL_DESC_CASE_SENSITIVE:
      return num(SQL_FALSE);
    case SQL_DESC_SEARCHABLE:
      return num(c.sqlType == SQL_WLONGVARCHAR ? SQL_PRED_CHAR : SQL_PRED_SEARCHABLE);
    case SQL_DESC_UPDATABLE:
      return num(SQL_ATTR_READWRITE_UNKNOWN);
    case SQL_DESC_FIXED_PREC_SCALE:
      return num(c.sqlType == SQL_DECIMAL ? SQL_TRUE : SQL_FALSE);
    case SQL_DESC_NUM_PREC_RADIX:
      return num(c.sqlType == SQL_REAL || c.sqlType == SQL_DOUBLE                                                ? 2
                 : c.sqlType == SQL_WVARCHAR || c.sqlType == SQL_WLONGVARCHAR || c.sqlType == SQL_TYPE_TIMESTAMP ? 0
                                                                                                                 : 10);
    case SQL_DESC_UNNAMED:
      return num(c.name.empty() ? SQL_UNNAMED : SQL_NAMED);
    default:
      return s.fail("HY091", "Champ de descripteur non reconnu (" + std::to_string(field) + ").");
  }
}

SQLRETURN getStmtAttr(Stmt& s, SQLINTEGER attr, SQLPOINTER value) {
  if (!value) return s.fail("HY009", "Pointeur nul pour la valeur de l'attribut.");
  auto put = [&](SQLULEN v) {
    *static_cast<SQLULEN*>(value) = v;
    return SQL_SUCCESS;
  };
  auto ptr = [&](void* p) {
    *static_cast<SQLPOINTER*>(value) = p;
    return SQL_SUCCESS;
  };
  switch (attr) {
    case SQL_ATTR_APP_ROW_DESC:
      return ptr(s.ard);
    case SQL_ATTR_APP_PARAM_DESC:
      return ptr(s.apd);
    case SQL_ATTR_IMP_ROW_DESC:
      return ptr(s.ird);
    case SQL_ATTR_IMP_PARAM_DESC:
      return ptr(s.ipd);
    case SQL_ATTR_ROW_ARRAY_SIZE:
    case SQL_ROWSET_SIZE:
      return put(s.rowArraySize);
    case SQL_ATTR_ROW_BIND_TYPE:
      return put(s.rowBindType);
    case SQL_ATTR_ROWS_FETCHED_PTR:
      return ptr(s.rowsFetchedPtr);
    case SQL_ATTR_ROW_STATUS_PTR:
      return ptr(s.rowStatusPtr);
    case SQL_ATTR_ROW_BIND_OFFSET_PTR:
      return ptr(s.rowBindOffsetPtr);
    case SQL_ATTR_PARAMSET_SIZE:
      return put(s.paramsetSize);
    case SQL_ATTR_PARAMS_PROCESSED_PTR:
      return ptr(s.paramsProcessedPtr);
    case SQL_ATTR_PARAM_STATUS_PTR:
      return ptr(s.paramStatusPtr);
    case SQL_ATTR_PARAM_BIND_TYPE:
      return put(SQL_PARAM_BIND_BY_COLUMN);
    case SQL_ATTR_MAX_ROWS:
      return put(s.maxRows);
    case SQL_ATTR_MAX_LENGTH:
      return put(s.maxLength);
    case SQL_ATTR_QUERY_TIMEOUT:
      return put(s.queryTimeout);
    case SQL_ATTR_NOSCAN:
      return put(s.noscan);
    case SQL_ATTR_CURSOR_TYPE:
      return put(SQL_CURSOR_FORWARD_ONLY);
    case SQL_ATTR_CONCURRENCY:
      return put(SQL_CONCUR_READ_ONLY);
    case SQL_ATTR_CURSOR_SCROLLABLE:
      return put(SQL_NONSCROLLABLE);
    case SQL_ATTR_CURSOR_SENSITIVITY:
      return put(SQL_UNSPECIFIED);
    case SQL_ATTR_ASYNC_ENABLE:
      return put(SQL_ASYNC_ENABLE_OFF);
    case SQL_ATTR_RETRIEVE_DATA:
      return put(SQL_RD_ON);
    case SQL_ATTR_USE_BOOKMARKS:
      return put(SQL_UB_OFF);
    case SQL_ATTR_ENABLE_AUTO_IPD:
      return put(SQL_FALSE);
    case SQL_ATTR_ROW_NUMBER:
      return put(s.onRow ? s.fetched : 0);
    default:
      return s.fail("HY092", "Attribut d'instruction non reconnu (" + std::to_string(attr) + ").");
  }
}

SQLRETURN setStmtAttr(Stmt& s, SQLINTEGER attr, SQLPOINTER value) {
  auto number = static_cast<SQLULEN>(reinterpret_cast<std::uintptr_t>(value));
  auto changed = [&](const char* what) {
    s.warn("01S02", std::string("Valeur d'option modifiée : ") + what + ".");
    return SQL_SUCCESS_WITH_INFO;
  };
  switch (attr) {
    case SQL_ATTR_ROW_ARRAY_SIZE:
    case SQL_ROWSET_SIZE:
      if (number == 0) return s.fail("HY024", "Taille de bloc nulle.");
      s.rowArraySize = number;
      return SQL_SUCCESS;
    case SQL_ATTR_ROW_BIND_TYPE:
      s.rowBindType = number;
      return SQL_SUCCESS;
    case SQL_ATTR_ROWS_FETCHED_PTR:
      s.rowsFetchedPtr = static_cast<SQLULEN*>(value);
      return SQL_SUCCESS;
    case SQL_ATTR_ROW_STATUS_PTR:
      s.rowStatusPtr = static_cast<SQLUSMALLINT*>(value);
      return SQL_SUCCESS;
    case SQL_ATTR_ROW_BIND_OFFSET_PTR:
      s.rowBindOffsetPtr = static_cast<SQLLEN*>(value);
      return SQL_SUCCESS;
    case SQL_ATTR_PARAMSET_SIZE:
      if (number != 1) return s.fail("HYC00", "Un seul jeu de paramètres par exécution.");
      return SQL_SUCCESS;
    case SQL_ATTR_PARAMS_PROCESSED_PTR:
      s.paramsProcessedPtr = static_cast<SQLULEN*>(value);
      return SQL_SUCCESS;
    case SQL_ATTR_PARAM_STATUS_PTR:
      s.paramStatusPtr = static_cast<SQLUSMALLINT*>(value);
      return SQL_SUCCESS;
    case SQL_ATTR_PARAM_BIND_TYPE:
      if (number != SQL_PARAM_BIND_BY_COLUMN) return changed("liaison des paramètres par colonne");
      return SQL_SUCCESS;
    case SQL_ATTR_MAX_ROWS:
      s.maxRows = number;
      return SQL_SUCCESS;
    case SQL_ATTR_MAX_LENGTH:
      s.maxLength = number;
      return SQL_SUCCESS;
    case SQL_ATTR_QUERY_TIMEOUT:
      s.queryTimeout = number;
      return SQL_SUCCESS;
    case SQL_ATTR_NOSCAN:
      s.noscan = number;
      return SQL_SUCCESS;
    case SQL_ATTR_CURSOR_TYPE:
      if (number != SQL_CURSOR_FORWARD_ONLY) return changed("curseur en avant seulement");
      return SQL_SUCCESS;
    case SQL_ATTR_CONCURRENCY:
      if (number != SQL_CONCUR_READ_ONLY) return changed("curseur en lecture seule");
      return SQL_SUCCESS;
    case SQL_ATTR_CURSOR_SCROLLABLE:
      if (number != SQL_NONSCROLLABLE) return s.fail("HYC00", "Les curseurs vont en avant seulement.");
      return SQL_SUCCESS;
    case SQL_ATTR_CURSOR_SENSITIVITY:
    case SQL_ATTR_ASYNC_ENABLE:
    case SQL_ATTR_RETRIEVE_DATA:
    case SQL_ATTR_USE_BOOKMARKS:
    case SQL_ATTR_ENABLE_AUTO_IPD:
      return SQL_SUCCESS;
    default:
      return s.fail("HY092", "Attribut d'instruction non reconnu (" + std::to_string(attr) + ").");
  }
}

}  // namespace tqodbc

using namespace tqodbc;

#define STATEMENT(handle)                          \
  Stmt* s = lookup<Stmt>(handle, SQL_HANDLE_STMT); \
  if (!s) return SQL_INVALID_HANDLE;               \
  s->clearDiags()

extern "C" {

SQLRETURN SQL_API SQLPrepare(SQLHSTMT stmt, SQLCHAR* text, SQLINTEGER length) {
  STATEMENT(stmt);
  if (!text) return s->lastReturn = s->fail("HY009", "Texte d'instruction nul.");
  return s->lastReturn = prepare(*s, fromNarrow(text, length));
}

SQLRETURN SQL_API SQLExecute(SQLHSTMT stmt) {
  STATEMENT(stmt);
  return s->lastReturn = execute(*s);
}

SQLRETURN SQL_API SQLExecDirect(SQLHSTMT stmt, SQLCHAR* text, SQLINTEGER length) {
  STATEMENT(stmt);
  if (!text) return s->lastReturn = s->fail("HY009", "Texte d'instruction nul.");
  if (SQLRETURN rc = prepare(*s, fromNarrow(text, length)); rc != SQL_SUCCESS) return s->lastReturn = rc;
  return s->lastReturn = execute(*s);
}

SQLRETURN SQL_API SQLNativeSql(SQLHDBC dbc, SQLCHAR* in, SQLINTEGER inLength, SQLCHAR* out, SQLINTEGER capacity,
                               SQLINTEGER* outLength) {
  Conn* c = lookup<Conn>(dbc, SQL_HANDLE_DBC);
  if (!c) return SQL_INVALID_HANDLE;
  c->clearDiags();
  if (!in) return c->fail("HY009", "Texte d'instruction nul.");
  SQLLEN n = 0;
  SQLRETURN rc = putText(*c, fromNarrow(in, inLength), false, out, capacity, false, &n);
  if (outLength) *outLength = static_cast<SQLINTEGER>(n);
  return rc;
}

SQLRETURN SQL_API SQLBindParameter(SQLHSTMT stmt, SQLUSMALLINT number, SQLSMALLINT ioType, SQLSMALLINT cType,
                                   SQLSMALLINT sqlType, SQLULEN, SQLSMALLINT, SQLPOINTER value, SQLLEN bufferLength,
                                   SQLLEN* indicator) {
  STATEMENT(stmt);
  if (number < 1) return s->fail("07009", "Numéro de paramètre hors limites.");
  if (ioType != SQL_PARAM_INPUT) return s->fail("HYC00", "Seuls les paramètres d'entrée sont pris en charge.");
  if (!value && !indicator) return s->fail("HY009", "Ni valeur ni indicateur pour le paramètre.");
  if (s->params.size() <= number) s->params.resize(number + 1u);
  s->params[number] = Param{ioType, cType, sqlType, value, bufferLength, indicator};
  return SQL_SUCCESS;
}

SQLRETURN SQL_API SQLParamData(SQLHSTMT stmt, SQLPOINTER* token) {
  STATEMENT(stmt);
  if (s->awaited.empty() && s->giving == 0) return s->fail("HY010", "Aucun paramètre n'est attendu.");
  if (!s->awaited.empty()) {
    s->giving = s->awaited.front();
    s->awaited.erase(s->awaited.begin());
    if (token) *token = s->params[s->giving].value;
    return SQL_NEED_DATA;
  }
  // Every piece is there: the statement runs now.
  s->giving = 0;
  SQLRETURN rc = execute(*s);
  s->given.clear();
  return s->lastReturn = rc;
}

SQLRETURN SQL_API SQLPutData(SQLHSTMT stmt, SQLPOINTER data, SQLLEN length) {
  STATEMENT(stmt);
  if (s->giving == 0) return s->fail("HY010", "Aucun paramètre n'est attendu.");
  std::optional<std::string>& piece = s->given[s->giving];
  if (length == SQL_NULL_DATA) {
    piece.reset();
    return SQL_SUCCESS;
  }
  if (!data && length != 0) return s->fail("HY009", "Pointeur nul pour la valeur.");
  const Param& p = s->params[s->giving];
  SQLSMALLINT type = p.cType == SQL_C_DEFAULT ? defaultCType(p.sqlType) : p.cType;
  std::size_t n;
  if (length == SQL_NTS) {
    if (type == SQL_C_WCHAR)
      n = std::char_traits<char16_t>::length(static_cast<const char16_t*>(data)) * 2;
    else
      n = std::strlen(static_cast<const char*>(data));
  } else if (length >= 0) {
    n = static_cast<std::size_t>(length);
  } else {
    return s->fail("HY090", "Longueur de valeur invalide.");
  }
  if (!piece) piece.emplace();
  piece->append(static_cast<const char*>(data), n);
  return SQL_SUCCESS;
}

SQLRETURN SQL_API SQLNumParams(SQLHSTMT stmt, SQLSMALLINT* count) {
  STATEMENT(stmt);
  if (!s->statement) return s->fail("HY010", "Aucune instruction préparée.");
  if (count) *count = static_cast<SQLSMALLINT>(s->pieces.size() - 1);
  return SQL_SUCCESS;
}

SQLRETURN SQL_API SQLNumResultCols(SQLHSTMT stmt, SQLSMALLINT* count) {
  STATEMENT(stmt);
  if (!count) return s->fail("HY009", "Pointeur nul pour le nombre de colonnes.");
  *count = s->result ? static_cast<SQLSMALLINT>(s->result->columns().size()) : 0;
  return SQL_SUCCESS;
}

SQLRETURN SQL_API SQLDescribeCol(SQLHSTMT stmt, SQLUSMALLINT column, SQLCHAR* name, SQLSMALLINT capacity,
                                 SQLSMALLINT* nameLength, SQLSMALLINT* type, SQLULEN* size, SQLSMALLINT* digits,
                                 SQLSMALLINT* nullable) {
  STATEMENT(stmt);
  return s->lastReturn = describeColumn(*s, column, false, name, capacity, nameLength, type, size, digits, nullable);
}

SQLRETURN SQL_API SQLColAttribute(SQLHSTMT stmt, SQLUSMALLINT column, SQLUSMALLINT field, SQLPOINTER text,
                                  SQLSMALLINT capacity, SQLSMALLINT* length, SQLLEN* number) {
  STATEMENT(stmt);
  return s->lastReturn = columnAttribute(*s, column, field, false, text, capacity, length, number);
}

SQLRETURN SQL_API SQLBindCol(SQLHSTMT stmt, SQLUSMALLINT column, SQLSMALLINT cType, SQLPOINTER target,
                             SQLLEN bufferLength, SQLLEN* indicator) {
  STATEMENT(stmt);
  if (column < 1) return s->fail("07009", "Les signets ne sont pas pris en charge (colonne 0).");
  if (bufferLength < 0) return s->fail("HY090", "Longueur de tampon négative.");
  if (s->bindings.size() <= column) s->bindings.resize(column + 1u);
  s->bindings[column] = Binding{cType, target, bufferLength, indicator};
  return SQL_SUCCESS;
}

SQLRETURN SQL_API SQLFetch(SQLHSTMT stmt) {
  STATEMENT(stmt);
  return s->lastReturn = fetch(*s);
}

SQLRETURN SQL_API SQLFetchScroll(SQLHSTMT stmt, SQLSMALLINT orientation, SQLLEN) {
  STATEMENT(stmt);
  if (orientation != SQL_FETCH_NEXT) return s->fail("HY106", "Les curseurs vont en avant seulement.");
  return s->lastReturn = fetch(*s);
}

SQLRETURN SQL_API SQLGetData(SQLHSTMT stmt, SQLUSMALLINT column, SQLSMALLINT cType, SQLPOINTER target, SQLLEN capacity,
                             SQLLEN* indicator) {
  STATEMENT(stmt);
  if (!s->result || !s->onRow) return s->lastReturn = s->fail("24000", "Le curseur n'est sur aucune ligne.");
  if (column < 1 || column > s->result->columns().size())
    return s->lastReturn = s->fail("07009", "Numéro de colonne " + std::to_string(column) + " hors limites.");
  if (capacity < 0) return s->lastReturn = s->fail("HY090", "Longueur de tampon négative.");
  if (!target && cType != SQL_C_CHAR && cType != SQL_C_WCHAR && cType != SQL_C_BINARY)
    return s->lastReturn = s->fail("HY009", "Pointeur nul pour la valeur.");
  if (s->dataColumn != column) {
    s->dataColumn = column;
    s->dataOffset = 0;
    s->dataDone = false;
  } else if (s->dataDone) {
    return s->lastReturn = SQL_NO_DATA;
  }
  return s->lastReturn = convertValue(*s, s->result->value(column - 1u), s->result->columns()[column - 1u], cType,
                                      target, capacity, indicator, &s->dataOffset, &s->dataDone);
}

SQLRETURN SQL_API SQLRowCount(SQLHSTMT stmt, SQLLEN* count) {
  STATEMENT(stmt);
  if (!count) return s->fail("HY009", "Pointeur nul pour le nombre de lignes.");
  *count = s->rowCount;
  return SQL_SUCCESS;
}

SQLRETURN SQL_API SQLMoreResults(SQLHSTMT stmt) {
  STATEMENT(stmt);
  closeCursor(*s);
  return SQL_NO_DATA;
}

SQLRETURN SQL_API SQLCloseCursor(SQLHSTMT stmt) {
  STATEMENT(stmt);
  if (!s->result) return s->fail("24000", "Aucun curseur ouvert.");
  closeCursor(*s);
  return SQL_SUCCESS;
}

SQLRETURN SQL_API SQLCancel(SQLHSTMT stmt) {
  STATEMENT(stmt);
  // Every call runs to its end before it returns: only an execution waiting
  // for its parameters can be under way.
  forgetGivenParameters(*s);
  return SQL_SUCCESS;
}

SQLRETURN SQL_API SQLFreeStmt(SQLHSTMT stmt, SQLUSMALLINT option) {
  STATEMENT(stmt);
  switch (option) {
    case SQL_CLOSE:
      closeCursor(*s);
      forgetGivenParameters(*s);
      return SQL_SUCCESS;
    case SQL_UNBIND:
      s->bindings.clear();
      return SQL_SUCCESS;
    case SQL_RESET_PARAMS:
      s->params.clear();
      return SQL_SUCCESS;
    case SQL_DROP:
      freeStatement(s);
      return SQL_SUCCESS;
    default:
      return s->fail("HY092", "Option non reconnue.");
  }
}

SQLRETURN SQL_API SQLGetStmtAttr(SQLHSTMT stmt, SQLINTEGER attr, SQLPOINTER value, SQLINTEGER, SQLINTEGER*) {
  STATEMENT(stmt);
  return s->lastReturn = getStmtAttr(*s, attr, value);
}

SQLRETURN SQL_API SQLSetStmtAttr(SQLHSTMT stmt, SQLINTEGER attr, SQLPOINTER value, SQLINTEGER) {
  STATEMENT(stmt);
  return s->lastReturn = setStmtAttr(*s, attr, value);
}

}  // extern "C"
