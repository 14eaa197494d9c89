#include "types.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
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
    case JetType::Binary: return "BINARY";
    case JetType::LongBinary: return "LONGBINARY";
    case JetType::Guid: return "GUID";
    case JetType::Decimal: return "DECIMAL";
  }
  return "?";
}

std::optional<ColumnType> typeFromName(std::string_view w, const std::vector<std::int64_t>& args) {
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
      {"BINARY", JetType::Binary, kMaxBinary}, {"VARBINARY", JetType::Binary, kMaxBinary},
      {"LONGBINARY", JetType::LongBinary, 0},  {"OLEOBJECT", JetType::LongBinary, 0},
      {"IMAGE", JetType::LongBinary, 0},       {"GENERAL", JetType::LongBinary, 0},
      {"GUID", JetType::Guid, 16},             {"UNIQUEIDENTIFIER", JetType::Guid, 16},
      {"DECIMAL", JetType::Decimal, 17},       {"NUMERIC", JetType::Decimal, 17},   {"DEC", JetType::Decimal, 17},
  };
  for (const Entry& e : kTypes) {
    if (!sameName(w, e.word)) continue;
    ColumnType ct{e.type, e.bytes};
    switch (e.type) {
      case JetType::Text:
      case JetType::Binary: {
        const int most = e.type == JetType::Text ? 255 : kMaxBinary;
        if (args.size() > 1 || (args.size() == 1 && (args[0] < 1 || args[0] > most))) return std::nullopt;
        if (args.size() == 1) ct.size = static_cast<int>(args[0]);
        return ct;
      }
      case JetType::Decimal:
        // Access's DECIMAL is DECIMAL(18,0); DECIMAL(p) has no decimals.
        if (args.size() > 2) return std::nullopt;
        ct.precision = args.empty() ? kDefaultPrecision : static_cast<int>(std::clamp<std::int64_t>(args[0], 0, 99));
        ct.scale = args.size() == 2 ? static_cast<int>(std::clamp<std::int64_t>(args[1], -1, 99)) : 0;
        if (ct.precision < 1 || ct.precision > kMaxPrecision || ct.scale < 0 || ct.scale > ct.precision)
          return std::nullopt;
        return ct;
      case JetType::Counter:
        if (args.size() == 1 || args.size() > 2) return std::nullopt;
        if (args.size() == 2) {
          const auto inLong = [](std::int64_t v) { return v >= -2147483648LL && v <= 2147483647LL; };
          if (!inLong(args[0]) || !inLong(args[1]) || args[1] == 0) return std::nullopt;
          ct.seed = args[0];
          ct.increment = args[1];
        }
        return ct;
      default:
        if (!args.empty()) return std::nullopt;  // only the types above take numbers
        return ct;
    }
  }
  return std::nullopt;
}

std::optional<ColumnType> typeFromSpelling(std::string_view spelling) {
  const std::size_t open = spelling.find('(');
  std::vector<std::int64_t> args;
  if (open != std::string_view::npos) {
    if (spelling.back() != ')') return std::nullopt;
    std::string inner(spelling.substr(open + 1, spelling.size() - open - 2));
    const char* p = inner.c_str();
    while (*p) {
      char* end = nullptr;
      errno = 0;
      const long long v = std::strtoll(p, &end, 10);
      if (end == p || errno == ERANGE) return std::nullopt;
      args.push_back(v);
      p = end;
      while (*p == ' ') ++p;
      if (*p == ',') ++p;
      else if (*p) return std::nullopt;
    }
  }
  return typeFromName(spelling.substr(0, open), args);
}

std::string typeSpelling(const ColumnType& t) {
  std::string out = typeName(t.type);
  switch (t.type) {
    case JetType::Text:
    case JetType::Binary: return out + "(" + std::to_string(t.size) + ")";
    case JetType::Decimal: return out + "(" + std::to_string(t.precision) + "," + std::to_string(t.scale) + ")";
    case JetType::Counter:
      if (t.seed == 1 && t.increment == 1) return out;
      return out + "(" + std::to_string(t.seed) + "," + std::to_string(t.increment) + ")";
    default: return out;
  }
}

ColumnInfo columnInfoOf(std::string name, const ColumnType& t, bool nullable) {
  ColumnInfo c{std::move(name), t.type, t.size, nullable, std::nullopt};
  c.precision = t.precision;
  c.scale = t.scale;
  c.seed = t.seed;
  c.increment = t.increment;
  return c;
}

std::string typeSpelling(const ColumnInfo& c) {
  return typeSpelling(ColumnType{c.type, c.size, c.precision, c.scale, c.seed, c.increment});
}

std::string shortestNumber(double v) {
  char buf[40];
  for (int digits = 15; digits <= 17; ++digits) {
    std::snprintf(buf, sizeof buf, "%.*g", digits, v);
    if (std::strtod(buf, nullptr) == v) break;
  }
  return buf;
}

std::optional<std::string> decimalDigits(std::string_view text, int precision, int scale, bool& overflow) {
  overflow = false;
  std::size_t i = 0, n = text.size();
  while (i < n && (text[i] == ' ' || text[i] == '\t')) ++i;
  while (n > i && (text[n - 1] == ' ' || text[n - 1] == '\t')) --n;
  bool negative = false;
  if (i < n && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  // The number is `digits` times ten to `exponent`.
  std::string digits;
  long exponent = 0;
  bool any = false, point = false;
  for (; i < n; ++i) {
    const char c = text[i];
    if (c >= '0' && c <= '9') {
      any = true;
      if (!digits.empty() || c != '0') digits += c;
      if (point) --exponent;
    } else if (c == '.' && !point) {
      point = true;
    } else {
      break;
    }
  }
  if (!any) return std::nullopt;
  if (i < n && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    bool minus = false;
    if (i < n && (text[i] == '-' || text[i] == '+')) minus = text[i++] == '-';
    if (i == n) return std::nullopt;
    long e = 0;
    for (; i < n && text[i] >= '0' && text[i] <= '9'; ++i) e = std::min(e * 10 + (text[i] - '0'), 100000L);
    exponent += minus ? -e : e;
  }
  if (i != n) return std::nullopt;
  // To an integer count of 10^-scale units, rounded half to even.
  const long shift = exponent + scale;
  if (digits.empty()) digits = "0";
  if (shift > 0 && digits != "0") {
    if (static_cast<long>(digits.size()) + shift > precision) {
      overflow = true;
      return std::nullopt;
    }
    digits.append(static_cast<std::size_t>(shift), '0');
  } else if (shift < 0) {
    const std::size_t cut = static_cast<std::size_t>(-shift);
    if (cut > digits.size()) {
      digits = "0";  // below half a unit: the first dropped digit is a zero
    } else {
      std::string kept = cut == digits.size() ? "0" : digits.substr(0, digits.size() - cut);
      const std::string dropped = digits.substr(digits.size() - cut);
      const bool half = dropped[0] == '5' && dropped.find_first_not_of('0', 1) == std::string::npos;
      const bool up = dropped[0] > '5' || (dropped[0] == '5' && !half) || (half && (kept.back() - '0') % 2 == 1);
      if (up) {
        std::size_t k = kept.size();
        while (k > 0 && kept[k - 1] == '9') kept[--k] = '0';
        if (k == 0) kept.insert(kept.begin(), '1');
        else ++kept[k - 1];
      }
      const std::size_t lead = kept.find_first_not_of('0');
      digits = lead == std::string::npos ? "0" : kept.substr(lead);
    }
  }
  if (static_cast<int>(digits.size()) > precision && digits != "0") {
    overflow = true;
    return std::nullopt;
  }
  // Back to a point and the fewest decimals.
  std::string whole, fraction;
  if (static_cast<int>(digits.size()) > scale) {
    whole = digits.substr(0, digits.size() - static_cast<std::size_t>(scale));
    fraction = digits.substr(digits.size() - static_cast<std::size_t>(scale));
  } else {
    whole = "0";
    fraction = std::string(static_cast<std::size_t>(scale) - digits.size(), '0') + digits;
  }
  while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
  std::string out = (negative && digits != "0" ? "-" : "") + whole;
  if (!fraction.empty()) out += "." + fraction;
  return out;
}

std::optional<std::string> guidText(std::string_view text) {
  if (text.size() == 38 && text.front() == '{' && text.back() == '}') text = text.substr(1, 36);
  if (text.size() != 36) return std::nullopt;
  std::string out = "{";
  for (std::size_t i = 0; i < 36; ++i) {
    const char c = text[i];
    const bool dash = i == 8 || i == 13 || i == 18 || i == 23;
    if (dash ? c != '-' : !std::isxdigit(static_cast<unsigned char>(c))) return std::nullopt;
    out += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  }
  return out + "}";
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
  if (in.kind != K::Text && in.kind != K::Decimal) return false;
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
      if (in.kind == K::Binary) {
        error = errors::wrongType(column);
        return false;
      }
      std::string s = in.kind == K::Text || in.kind == K::Decimal ? in.text
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
    case JetType::Binary:
    case JetType::LongBinary:
      if (in.kind != K::Binary) break;
      if (ct.type == JetType::Binary && in.text.size() > static_cast<std::size_t>(ct.size)) {
        error = errors::textTooLong(column);
        return false;
      }
      out = in;
      return true;
    case JetType::Guid: {
      std::optional<std::string> g;
      if (in.kind == K::Text) g = guidText(in.text);
      if (in.kind == K::Binary && in.text.size() == 16) {
        // Windows' layout: the first three groups little-endian, the rest as they come.
        static const int kOrder[16] = {3, 2, 1, 0, 5, 4, 7, 6, 8, 9, 10, 11, 12, 13, 14, 15};
        static const char kHex[] = "0123456789ABCDEF";
        std::string t = "{";
        for (int k = 0; k < 16; ++k) {
          if (k == 4 || k == 6 || k == 8 || k == 10) t += '-';
          const auto b = static_cast<unsigned char>(in.text[static_cast<std::size_t>(kOrder[k])]);
          t += kHex[b >> 4];
          t += kHex[b & 15];
        }
        g = t + "}";
      }
      if (!g) break;
      out = Value::of(std::move(*g));
      return true;
    }
    case JetType::Decimal: {
      std::string t;
      if (in.kind == K::Integer) t = std::to_string(in.integer);
      else if (in.kind == K::Double && std::isfinite(in.real)) t = shortestNumber(in.real);
      else if (in.kind == K::Text || in.kind == K::Decimal) t = in.text;
      else break;
      bool overflow = false;
      auto d = decimalDigits(t, ct.precision, ct.scale, overflow);
      if (!d) {
        error = overflow ? errors::outOfRange(column) : errors::wrongType(column);
        return false;
      }
      out = Value::decimal(std::move(*d));
      return true;
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
    case Kind::Text:
    case Kind::Decimal: {
      auto n = parseNumber(text);
      return n ? static_cast<std::int64_t>(std::llround(*n)) : 0;
    }
    case Kind::Binary:
    case Kind::Null: return 0;
  }
  return 0;
}

double Value::asDouble() const {
  switch (kind) {
    case Kind::Integer:
    case Kind::DateTime: return static_cast<double>(integer);
    case Kind::Double: return real;
    case Kind::Text:
    case Kind::Decimal: return parseNumber(text).value_or(0);
    case Kind::Binary:
    case Kind::Null: return 0;
  }
  return 0;
}

std::string Value::asText() const {
  switch (kind) {
    case Kind::Integer: return std::to_string(integer);
    case Kind::DateTime: return formatDate(integer);
    case Kind::Double: return formatNumber(real);
    case Kind::Text:
    case Kind::Decimal: return text;
    case Kind::Binary: {
      static const char kHex[] = "0123456789ABCDEF";
      std::string out = "0x";
      for (char c : text) {
        out += kHex[static_cast<unsigned char>(c) >> 4];
        out += kHex[static_cast<unsigned char>(c) & 15];
      }
      return out;
    }
    case Kind::Null: return {};
  }
  return {};
}

}  // namespace jetdb
