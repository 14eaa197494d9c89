#include "types.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "errors.h"
#include "jetdb/text.h"

namespace jetdb {

const char* typeName(JetType t) {
  switch (t) {
    case JetType::Text: return "TEXT";
    case JetType::Memo: return "MEMO";
    case JetType::Bit: return "BIT";
    case JetType::Byte: return "BYTE";
    case JetType::Short: return "SHORT";
    case JetType::Long: return "LONG";
    case JetType::Counter: return "COUNTER";
    case JetType::Single: return "REAL";
    case JetType::Double: return "DOUBLE";
    case JetType::Currency: return "CURRENCY";
    case JetType::DateTime: return "DATETIME";
  }
  return "?";
}

std::optional<ColumnType> typeFromName(std::string_view w, int size) {
  struct Entry { const char* word; JetType type; int bytes; };
  static const Entry kTypes[] = {
      {"TEXT", JetType::Text, 255},       {"CHAR", JetType::Text, 255},      {"VARCHAR", JetType::Text, 255},
      {"STRING", JetType::Text, 255},     {"ALPHANUMERIC", JetType::Text, 255},
      {"MEMO", JetType::Memo, 0},         {"LONGTEXT", JetType::Memo, 0},    {"NOTE", JetType::Memo, 0},
      {"LONGCHAR", JetType::Memo, 0},
      {"BIT", JetType::Bit, 1},           {"YESNO", JetType::Bit, 1},        {"LOGICAL", JetType::Bit, 1},
      {"LOGICAL1", JetType::Bit, 1},      {"BYTE", JetType::Byte, 1},        {"INTEGER1", JetType::Byte, 1},
      {"TINYINT", JetType::Byte, 1},      {"SHORT", JetType::Short, 2},      {"SMALLINT", JetType::Short, 2},
      {"INTEGER2", JetType::Short, 2},    {"INTEGER", JetType::Long, 4},     {"INT", JetType::Long, 4},
      {"LONG", JetType::Long, 4},         {"INTEGER4", JetType::Long, 4},    {"COUNTER", JetType::Counter, 4},
      {"AUTOINCREMENT", JetType::Counter, 4}, {"REAL", JetType::Single, 4},  {"SINGLE", JetType::Single, 4},
      {"FLOAT4", JetType::Single, 4},     {"IEEESINGLE", JetType::Single, 4}, {"FLOAT", JetType::Double, 8},
      {"DOUBLE", JetType::Double, 8},     {"FLOAT8", JetType::Double, 8},    {"IEEEDOUBLE", JetType::Double, 8},
      {"NUMBER", JetType::Double, 8},     {"CURRENCY", JetType::Currency, 8}, {"MONEY", JetType::Currency, 8},
      {"DATETIME", JetType::DateTime, 8}, {"DATE", JetType::DateTime, 8},   {"TIME", JetType::DateTime, 8},
      {"TIMESTAMP", JetType::DateTime, 8},
  };
  for (const Entry& e : kTypes) {
    if (!sameName(w, e.word)) continue;
    ColumnType ct{e.type, e.bytes};
    if (e.type == JetType::Text) {
      if (size == 0 || size > 255) return std::nullopt;
      ct.size = size < 0 ? 255 : size;
    } else if (size >= 0) {
      return std::nullopt;  // only text takes a size
    }
    return ct;
  }
  return std::nullopt;
}

bool isTextType(JetType t) { return t == JetType::Text || t == JetType::Memo; }

std::optional<double> parseNumber(std::string_view text) {
  std::string s(text);
  std::size_t b = s.find_first_not_of(" \t");
  std::size_t e = s.find_last_not_of(" \t");
  if (b == std::string::npos) return std::nullopt;
  s = s.substr(b, e - b + 1);
  // strtod would accept "inf", "nan" and hexadecimal, which Access does not.
  for (char c : s)
    if (!(std::isdigit(static_cast<unsigned char>(c)) || c == '.' || c == '-' || c == '+' || c == 'e' || c == 'E'))
      return std::nullopt;
  char* end = nullptr;
  double v = std::strtod(s.c_str(), &end);
  if (end != s.c_str() + s.size() || !std::isfinite(v)) return std::nullopt;
  return v;
}

std::string formatNumber(double v) {
  if (std::nearbyint(v) == v && std::fabs(v) < 1e15) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.0f", v);
    return buf;
  }
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.15g", v);
  return buf;
}

namespace {

// Days from 1970-01-01 of a civil date (proleptic Gregorian).
std::int64_t daysFromCivil(std::int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void civilFromDays(std::int64_t z, std::int64_t& y, unsigned& m, unsigned& d) {
  z += 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  y = static_cast<std::int64_t>(yoe) + era * 400;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  d = doy - (153 * mp + 2) / 5 + 1;
  m = mp < 10 ? mp + 3 : mp - 9;
  y += m <= 2;
}

bool leap(std::int64_t y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

}  // namespace

std::optional<std::int64_t> parseDate(std::string_view text) {
  int a = 0, b = 0, c = 0, hh = 0, mm = 0, ss = 0;
  char sep = 0;
  std::string s(text);
  int n = 0;
  int year, month, day;
  int t1 = 0, t2 = 0, tn = 0;
  if (std::sscanf(s.c_str(), " %d:%d%n", &t1, &t2, &tn) >= 2) {
    // A time alone is a time of Access's day zero, 12/30/1899.
    year = 1899;
    month = 12;
    day = 30;
  } else if (std::sscanf(s.c_str(), "%d%c%d%*c%d%n", &a, &sep, &b, &c, &n) >= 4 && (sep == '-' || sep == '/')) {
    if (sep == '-' || a > 31) { year = a; month = b; day = c; }  // ISO order
    else { month = a; day = b; year = c; }                         // Access literals are US order
  } else {
    return std::nullopt;
  }
  std::string rest = s.substr(static_cast<std::size_t>(n));
  std::size_t p = rest.find_first_not_of(" T");
  if (p != std::string::npos) {
    int m2 = 0;
    rest = rest.substr(p);
    if (std::sscanf(rest.c_str(), "%d:%d%n", &hh, &mm, &m2) < 2) return std::nullopt;
    std::string tail = rest.substr(static_cast<std::size_t>(m2));
    if (!tail.empty() && tail[0] == ':') {
      int m3 = 0;
      if (std::sscanf(tail.c_str(), ":%d%n", &ss, &m3) < 1) return std::nullopt;
      tail = tail.substr(static_cast<std::size_t>(m3));
    }
    // "1:05:00 PM": a twelve-hour clock, 12 AM being midnight.
    std::size_t q = tail.find_first_not_of(' ');
    if (q != std::string::npos) {
      std::string half = tail.substr(q);
      for (char& ch : half) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
      while (!half.empty() && half.back() == ' ') half.pop_back();
      if ((half != "AM" && half != "PM") || hh < 1 || hh > 12) return std::nullopt;
      hh = hh % 12 + (half == "PM" ? 12 : 0);
    }
  }
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (year < 100 || year > 9999 || month < 1 || month > 12 || day < 1) return std::nullopt;
  if (day > kDays[month - 1] + (month == 2 && leap(year) ? 1 : 0)) return std::nullopt;
  if (hh < 0 || hh > 23 || mm < 0 || mm > 59 || ss < 0 || ss > 59) return std::nullopt;
  return daysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) * 86400 + hh * 3600 +
         mm * 60 + ss;
}

std::string formatDate(std::int64_t seconds) {
  std::int64_t days = seconds >= 0 ? seconds / 86400 : -((-seconds + 86399) / 86400);
  std::int64_t rem = seconds - days * 86400;
  std::int64_t y;
  unsigned m, d;
  civilFromDays(days, y, m, d);
  char buf[48];
  std::snprintf(buf, sizeof buf, "%04lld-%02u-%02u %02d:%02d:%02d", static_cast<long long>(y), m, d,
                static_cast<int>(rem / 3600), static_cast<int>(rem / 60 % 60), static_cast<int>(rem % 60));
  return buf;
}

namespace {

// The number a value stands for when it is written to a numeric column: a
// number as it is, a text that reads as one, and for a Bit the French and
// English words of truth. False for anything else.
bool numberOf(const Value& in, bool bitWords, double& v) {
  using K = Value::Kind;
  if (in.kind == K::Integer) {
    v = static_cast<double>(in.integer);
    return true;
  }
  if (in.kind == K::Double) {
    v = in.real;
    return true;
  }
  if (in.kind != K::Text) return false;
  auto n = parseNumber(in.text);
  if (!n && bitWords) {
    if (sameName(in.text, "True") || sameName(in.text, "Oui") || sameName(in.text, "Vrai")) n = -1;
    else if (sameName(in.text, "False") || sameName(in.text, "Non") || sameName(in.text, "Faux")) n = 0;
  }
  if (!n) return false;
  v = *n;
  return true;
}

}  // namespace

bool coerce(const ColumnType& ct, std::string_view column, const Value& in, Value& out, Error& error) {
  using K = Value::Kind;
  if (in.isNull()) {
    out = ct.type == JetType::Bit ? Value::of(0) : Value::null();
    return true;
  }
  switch (ct.type) {
    case JetType::Text:
    case JetType::Memo: {
      std::string s = in.kind == K::Text       ? in.text
                      : in.kind == K::Integer  ? std::to_string(in.integer)
                      : in.kind == K::Double   ? formatNumber(in.real)
                                               : formatDate(in.integer);
      if (ct.type == JetType::Text && characterCount(s) > static_cast<std::size_t>(ct.size)) {
        error = errors::textTooLong(column);
        return false;
      }
      out = Value::of(std::move(s));
      return true;
    }
    case JetType::Bit:
    case JetType::Byte:
    case JetType::Short:
    case JetType::Long:
    case JetType::Counter: {
      double v;
      if (!numberOf(in, ct.type == JetType::Bit, v)) {
        error = errors::wrongType(column);
        return false;
      }
      if (!std::isfinite(v)) { error = errors::outOfRange(column); return false; }
      if (ct.type == JetType::Bit) { out = Value::of(v != 0 ? -1 : 0); return true; }
      // Access rounds half to even when it stores a fraction in an integer.
      double r = std::nearbyint(v);
      double lo = ct.type == JetType::Byte ? 0 : ct.type == JetType::Short ? -32768 : -2147483648.0;
      double hi = ct.type == JetType::Byte ? 255 : ct.type == JetType::Short ? 32767 : 2147483647.0;
      if (r < lo || r > hi) { error = errors::outOfRange(column); return false; }
      out = Value::of(static_cast<std::int64_t>(r));
      return true;
    }
    case JetType::Single:
    case JetType::Double:
    case JetType::Currency: {
      double v;
      if (!numberOf(in, false, v)) {
        error = errors::wrongType(column);
        return false;
      }
      if (!std::isfinite(v)) { error = errors::outOfRange(column); return false; }
      if (ct.type == JetType::Single) {
        if (std::fabs(v) > static_cast<double>(std::numeric_limits<float>::max())) {
          error = errors::outOfRange(column);
          return false;
        }
        v = static_cast<double>(static_cast<float>(v));
      } else if (ct.type == JetType::Currency) {
        if (std::fabs(v) > 922337203685477.0) { error = errors::outOfRange(column); return false; }
        v = std::nearbyint(v * 10000.0) / 10000.0;
      }
      out = Value::of(v);
      return true;
    }
    case JetType::DateTime: {
      if (in.kind == K::DateTime) { out = in; return true; }
      if (in.kind == K::Text) {
        if (auto d = parseDate(in.text)) { out = Value::dateTime(*d); return true; }
      }
      error = errors::wrongType(column);
      return false;
    }
  }
  error = errors::wrongType(column);
  return false;
}

std::int64_t Value::asInteger() const {
  switch (kind) {
    case Kind::Integer:
    case Kind::DateTime: return integer;
    case Kind::Double: return static_cast<std::int64_t>(std::llround(real));
    case Kind::Text: {
      auto n = parseNumber(text);
      return n ? static_cast<std::int64_t>(std::llround(*n)) : 0;
    }
    case Kind::Null: return 0;
  }
  return 0;
}

double Value::asDouble() const {
  switch (kind) {
    case Kind::Integer:
    case Kind::DateTime: return static_cast<double>(integer);
    case Kind::Double: return real;
    case Kind::Text: return parseNumber(text).value_or(0);
    case Kind::Null: return 0;
  }
  return 0;
}

std::string Value::asText() const {
  switch (kind) {
    case Kind::Integer: return std::to_string(integer);
    case Kind::DateTime: return formatDate(integer);
    case Kind::Double: return formatNumber(real);
    case Kind::Text: return text;
    case Kind::Null: return {};
  }
  return {};
}

}  // namespace jetdb
