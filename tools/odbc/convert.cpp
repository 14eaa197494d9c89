// Values to the application's C types: text (narrow and wide, in pieces),
// numbers checked against their target's range, dates.
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

#include "driver.h"

namespace tqodbc {
namespace {

// The Gregorian date of seconds since 1970.
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

// A value as the text that SQL_C_CHAR gives of it.
std::string valueText(const jetdb::Value& v, const ResultColumn& column) {
  using K = jetdb::Value::Kind;
  switch (v.kind) {
    case K::Null:
      return {};
    case K::Text:
      // A GUID as ODBC writes it: no braces.
      if (column.sqlType == SQL_GUID && v.text.size() == 38 && v.text.front() == '{') return v.text.substr(1, 36);
      return v.text;
    case K::Binary:
      return v.asText().substr(2);  // ODBC's text of bytes: their hexadecimal, no 0x
    case K::Decimal: {
      // As many decimals as the column's scale, as the Access driver gives them.
      std::string t = v.text;
      const std::size_t point = t.find('.');
      const std::size_t decimals = point == std::string::npos ? 0 : t.size() - point - 1;
      const auto scale = static_cast<std::size_t>(std::max<SQLSMALLINT>(column.digits, 0));
      if (scale > decimals) t += (point == std::string::npos ? "." : "") + std::string(scale - decimals, '0');
      return t;
    }
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

// A value as a number, for the numeric C types.
bool asNumber(const jetdb::Value& v, double& out) {
  using K = jetdb::Value::Kind;
  if (v.kind == K::Integer || v.kind == K::DateTime)
    out = static_cast<double>(v.integer);
  else if (v.kind == K::Double)
    out = v.real;
  else if (v.kind == K::Binary)
    return false;
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
  seconds = secondsOf(y, mo, d, h, mi, sec);
  return true;
}

}  // namespace

// Back to seconds the way civil() reads them.
std::int64_t secondsOf(int y, int mo, int d, int h, int mi, int sec) {
  std::int64_t yy = mo <= 2 ? y - 1 : y;
  std::int64_t era = (yy >= 0 ? yy : yy - 399) / 400;
  std::int64_t yoe = yy - era * 400;
  std::int64_t doy = (153 * (mo > 2 ? mo - 3 : mo + 9) + 2) / 5 + d - 1;
  std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return (era * 146097 + doe - 719468) * 86400 + h * 3600 + mi * 60 + sec;
}

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
      // client may read a long text a few characters at a time. Bytes of a
      // text are its UTF-16LE, as the Access driver gives them; bytes are
      // themselves.
      const bool raw = cType == SQL_C_BINARY && v.kind == jetdb::Value::Kind::Binary;
      const bool w = cType == SQL_C_WCHAR || (cType == SQL_C_BINARY && !raw);
      std::string ownText;
      std::u16string ownWide;
      std::string& text = offset ? s.pieceText : ownText;
      std::u16string& wide = offset ? s.pieceWide : ownWide;
      if (!offset || *offset == 0) {
        text = raw ? v.text : valueText(v, column);
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
        if (w && !terminator) {
          // Bytes: the buffer need not be aligned for UTF-16 units.
          std::memcpy(target, wide.data() + from, n * unit);
        } else if (w) {
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
    case SQL_C_GUID: {
      // From the text "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" a GUID column reads as.
      unsigned int part[11];
      if (v.kind != jetdb::Value::Kind::Text ||
          std::sscanf(v.text.c_str(), "{%8x-%4x-%4x-%2x%2x-%2x%2x%2x%2x%2x%2x}", &part[0], &part[1], &part[2], &part[3],
                      &part[4], &part[5], &part[6], &part[7], &part[8], &part[9], &part[10]) != 11)
        return s.fail("07006", "Cette valeur ne se lit pas comme un GUID.");
      SQLGUID g{};
      g.Data1 = part[0];
      g.Data2 = static_cast<unsigned short>(part[1]);
      g.Data3 = static_cast<unsigned short>(part[2]);
      for (int k = 0; k < 8; ++k) g.Data4[k] = static_cast<unsigned char>(part[3 + k]);
      return putFixed(target, indicator, g);
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

}  // namespace tqodbc
