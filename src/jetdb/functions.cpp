#include "jetdb/functions.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <new>
#include <stdexcept>

#include "jetdb/dates.h"
#include "jetdb/errors.h"
#include "jetdb/text.h"

namespace jetdb {
namespace fn {
namespace {

[[noreturn]] void raise(int number) { throw Failure{number}; }

std::string numberText(double v) {
  if (v == 0) return "0";
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.15G", v);
  std::string s = buf;
  std::replace(s.begin(), s.end(), '.', ',');
  return s;
}

// Windows-1252, which Asc and Chr speak, differs from Unicode in 80-9F.
constexpr char16_t kCp1252[32] = {0x20AC, 0x81,   0x201A, 0x192,  0x201E, 0x2026, 0x2020, 0x2021,
                                  0x2C6,  0x2030, 0x160,  0x2039, 0x152,  0x8D,   0x17D,  0x8F,
                                  0x90,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                  0x2DC,  0x2122, 0x161,  0x203A, 0x153,  0x9D,   0x17E,  0x178};

char32_t upper(char32_t c) {
  if ((c >= 'a' && c <= 'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7)) return c - 32;
  if (c == 0xFF) return 0x178;
  if (c >= 0x100 && c <= 0x17F && c != 0x138 && c != 0x149 && c != 0x17F) {
    // Latin Extended-A pairs its letters upper then lower, with the run
    // 139-148 and 179-17E shifted by one.
    const bool shifted = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
    if (shifted ? (c % 2 == 0) : (c % 2 == 1)) return c - 1;
  }
  return c;
}

char32_t lower(char32_t c) {
  if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) return c + 32;
  if (c == 0x178) return 0xFF;
  if (c >= 0x100 && c <= 0x17F && c != 0x138 && c != 0x149 && c != 0x17F) {
    const bool shifted = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
    if (shifted ? (c % 2 == 1) : (c % 2 == 0)) return c + 1;
  }
  return c;
}

}  // namespace

std::string changeCase(std::string_view text, bool toUpper) {
  std::u32string s = decodeText(text);
  for (char32_t& c : s) c = toUpper ? upper(c) : lower(c);
  return encodeText(s);
}

std::optional<double> numberOf(const Value& v) {
  switch (v.kind) {
    case Value::Kind::Integer:
      return static_cast<double>(v.integer);
    case Value::Kind::Double:
      return v.real;
    case Value::Kind::DateTime:
      return dates::toSerial(v.integer);
    case Value::Kind::Null:
      return std::nullopt;
    case Value::Kind::Text:
      break;
  }
  // A French user writes 2,5; a program writes 2.5: both are read.
  std::string s = v.text;
  std::replace(s.begin(), s.end(), ',', '.');
  if (std::count(s.begin(), s.end(), '.') > 1) return std::nullopt;
  return parseNumber(s);
}

std::string textOf(const Value& v) {
  switch (v.kind) {
    case Value::Kind::Integer:
      return std::to_string(v.integer);
    case Value::Kind::Double:
      return numberText(v.real);
    case Value::Kind::DateTime:
      return format(v, "General Date");
    case Value::Kind::Text:
      return v.text;
    case Value::Kind::Null:
      return {};
  }
  return {};
}

std::optional<std::int64_t> dateOf(const Value& v) {
  switch (v.kind) {
    case Value::Kind::DateTime:
      return v.integer;
    case Value::Kind::Integer:
      return dates::fromSerial(static_cast<double>(v.integer));
    case Value::Kind::Double:
      return dates::fromSerial(v.real);
    case Value::Kind::Text:
      return dates::parse(v.text);
    case Value::Kind::Null:
      return std::nullopt;
  }
  return std::nullopt;
}

namespace {

// The arguments of one call. `dates` has bit i set when the compiler knew
// argument i to be a date: SQLite keeps a date as a plain integer.
struct Args {
  sqlite3_value** argv;
  int n;
  unsigned dates;

  bool has(int i) const { return i < n; }
  bool null(int i) const { return sqlite3_value_type(argv[i]) == SQLITE_NULL; }
  bool anyNull() const {
    for (int i = 0; i < n; ++i)
      if (null(i)) return true;
    return false;
  }
  Value value(int i) const {
    sqlite3_value* v = argv[i];
    switch (sqlite3_value_type(v)) {
      case SQLITE_NULL:
        return Value::null();
      case SQLITE_INTEGER:
        if (i < 32 && (dates >> i & 1)) return Value::dateTime(sqlite3_value_int64(v));
        return Value::of(static_cast<std::int64_t>(sqlite3_value_int64(v)));
      case SQLITE_FLOAT:
        return Value::of(sqlite3_value_double(v));
      default: {
        const unsigned char* t = sqlite3_value_text(v);
        return Value::of(
            std::string(reinterpret_cast<const char*>(t), static_cast<std::size_t>(sqlite3_value_bytes(v))));
      }
    }
  }
  double number(int i) const {
    if (null(i)) raise(94);
    auto d = numberOf(value(i));
    if (!d) raise(13);
    return *d;
  }
  // A whole number as VBA passes it to a Long argument: rounded half to even.
  std::int64_t whole(int i, double low = -2147483648.0, double high = 2147483647.0) const {
    const double r = std::nearbyint(number(i));
    if (!(r >= low && r <= high)) raise(6);
    return static_cast<std::int64_t>(r);
  }
  std::string text(int i) const {
    if (null(i)) raise(94);
    return textOf(value(i));
  }
  std::u32string chars(int i) const { return decodeText(text(i)); }
  std::int64_t date(int i) const {
    if (null(i)) raise(94);
    auto d = dateOf(value(i));
    if (!d) raise(13);
    return *d;
  }
  // The compare argument of InStr, Replace and StrComp: 0 binary, else text.
  bool binary(int i) const { return has(i) && whole(i) == 0; }
};

Value text(std::u32string_view chars) { return Value::of(encodeText(chars)); }
Value boolean(bool b) { return Value::of(b ? -1 : 0); }
Value date(std::int64_t seconds) {
  if (!dates::inRange(seconds)) raise(5);
  return Value::dateTime(seconds);
}
Value number(double d) {
  if (!std::isfinite(d)) raise(6);
  return Value::of(d);
}

std::u32string folded(std::u32string s, bool binary) {
  if (!binary)
    for (char32_t& c : s) c = foldChar(c);
  return s;
}

// --- Text -------------------------------------------------------------------

Value len(const Args& a) { return a.null(0) ? Value::null() : Value::of(static_cast<std::int64_t>(a.chars(0).size())); }

std::size_t count(const Args& a, int i) {
  const std::int64_t n = a.whole(i);
  if (n < 0) raise(5);
  return static_cast<std::size_t>(n);
}

Value left(const Args& a) {
  if (a.null(0)) return Value::null();
  const std::size_t n = count(a, 1);
  return text(a.chars(0).substr(0, n));
}

Value right(const Args& a) {
  if (a.null(0)) return Value::null();
  const std::size_t n = count(a, 1);
  const std::u32string s = a.chars(0);
  return text(s.substr(s.size() - std::min(n, s.size())));
}

Value mid(const Args& a) {
  if (a.null(0)) return Value::null();
  const std::int64_t start = a.whole(1);
  if (start < 1) raise(5);
  const std::size_t n = a.has(2) ? count(a, 2) : std::u32string::npos;
  const std::u32string s = a.chars(0);
  if (static_cast<std::size_t>(start) > s.size()) return Value::of("");
  return text(s.substr(static_cast<std::size_t>(start - 1), n));
}

Value inStr(const Args& a) {
  // InStr(s1, s2) or InStr(start, s1, s2[, compare]).
  const int k = a.n >= 3 ? 1 : 0;
  const std::int64_t start = k ? a.whole(0) : 1;
  if (start < 1) raise(5);
  if (a.null(k) || a.null(k + 1)) return Value::null();
  const bool binary = a.binary(k + 2);
  const std::u32string s = folded(a.chars(k), binary), sought = folded(a.chars(k + 1), binary);
  if (static_cast<std::size_t>(start) > s.size()) return Value::of(0);
  const std::size_t at = s.find(sought, static_cast<std::size_t>(start - 1));
  return Value::of(at == std::u32string::npos ? std::int64_t{0} : static_cast<std::int64_t>(at + 1));
}

Value inStrRev(const Args& a) {
  if (a.null(0) || a.null(1)) return Value::null();
  const std::int64_t start = a.has(2) ? a.whole(2) : -1;
  if (start == 0 || start < -1) raise(5);
  const bool binary = a.binary(3);
  const std::u32string s = folded(a.chars(0), binary), sought = folded(a.chars(1), binary);
  const std::size_t end = start == -1 ? s.size() : static_cast<std::size_t>(start);
  if (end > s.size()) return Value::of(0);
  if (sought.empty()) return Value::of(static_cast<std::int64_t>(end));
  if (sought.size() > end) return Value::of(0);
  const std::size_t at = s.rfind(sought, end - sought.size());
  return Value::of(at == std::u32string::npos ? std::int64_t{0} : static_cast<std::int64_t>(at + 1));
}

Value lCase(const Args& a) { return a.null(0) ? Value::null() : Value::of(changeCase(a.text(0), false)); }
Value uCase(const Args& a) { return a.null(0) ? Value::null() : Value::of(changeCase(a.text(0), true)); }

// VBA's trims take spaces only, not tabs or line ends.
Value trimmed(const Args& a, bool front, bool back) {
  if (a.null(0)) return Value::null();
  std::string s = a.text(0);
  std::size_t b = front ? s.find_first_not_of(' ') : 0;
  if (b == std::string::npos) return Value::of("");
  std::size_t e = back ? s.find_last_not_of(' ') + 1 : s.size();
  return Value::of(s.substr(b, e - b));
}
Value trim(const Args& a) { return trimmed(a, true, true); }
Value lTrim(const Args& a) { return trimmed(a, true, false); }
Value rTrim(const Args& a) { return trimmed(a, false, true); }

Value replace(const Args& a) {
  // Replace returns the text from `start` on, as VBA does.
  if (a.null(0)) return Value::null();
  const std::u32string s = a.chars(0), sought = a.chars(1), by = a.chars(2);
  const std::int64_t start = a.has(3) ? a.whole(3) : 1;
  std::int64_t left = a.has(4) ? a.whole(4) : -1;
  if (start < 1 || left < -1) raise(5);
  if (static_cast<std::size_t>(start) > s.size()) return Value::of("");
  const bool binary = a.binary(5);
  const std::u32string fs = folded(s, binary), fsought = folded(sought, binary);
  std::u32string out;
  std::size_t from = static_cast<std::size_t>(start - 1);
  while (!fsought.empty() && left != 0) {
    const std::size_t at = fs.find(fsought, from);
    if (at == std::u32string::npos) break;
    out.append(s, from, at - from).append(by);
    if (out.size() > kMaxText) raise(14);
    from = at + fsought.size();
    if (left > 0) --left;
  }
  out.append(s, from);
  return text(out);
}

Value space(const Args& a) {
  const std::size_t n = count(a, 0);
  if (n > kMaxText) raise(14);
  return Value::of(std::string(n, ' '));
}

char32_t chr(std::int64_t code) {
  if (code < 0 || code > 255) raise(5);
  return code >= 0x80 && code < 0xA0 ? kCp1252[code - 0x80] : static_cast<char32_t>(code);
}

Value stringOf(const Args& a) {
  const std::size_t n = count(a, 0);
  if (a.null(1)) return Value::null();
  const Value v = a.value(1);
  char32_t c = 0;
  if (v.kind == Value::Kind::Text) {
    const std::u32string s = decodeText(v.text);
    if (s.empty()) raise(5);
    c = s[0];
  } else {
    c = chr(((a.whole(1) % 256) + 256) % 256);
  }
  if (n > kMaxText) raise(14);
  return text(std::u32string(n, c));
}

Value strComp(const Args& a) {
  if (a.null(0) || a.null(1)) return Value::null();
  int c = 0;
  if (a.binary(2)) {
    const std::u32string x = a.chars(0), y = a.chars(1);
    c = x < y ? -1 : x > y ? 1 : 0;
  } else {
    c = compareFolded(a.text(0), a.text(1));
  }
  return Value::of(c < 0 ? -1 : c > 0 ? 1 : 0);
}

Value strReverse(const Args& a) {
  if (a.null(0)) return Value::null();
  std::u32string s = a.chars(0);
  std::reverse(s.begin(), s.end());
  return text(s);
}

Value asc(const Args& a) {
  if (a.null(0)) return Value::null();
  const std::u32string s = a.chars(0);
  if (s.empty()) raise(5);
  for (int i = 0; i < 32; ++i)
    if (kCp1252[i] == s[0]) return Value::of(0x80 + i);
  // Outside Windows-1252 Asc answers "?".
  return Value::of(s[0] <= 0xFF ? static_cast<std::int64_t>(s[0]) : std::int64_t{'?'});
}

Value chrOf(const Args& a) { return text(std::u32string(1, chr(a.whole(0)))); }

// Val reads the number at the start of a text, skipping spaces anywhere in
// it ("1 2 3" is 123), and stops at the first character that does not fit;
// "&H1F" and "&O17" are hexadecimal and octal.
Value val(const Args& a) {
  std::string s;
  for (char c : a.text(0))
    if (c != ' ' && c != '\t' && c != '\n' && c != '\r') s += c;
  if (s.size() > 2 && s[0] == '&' && (s[1] == 'H' || s[1] == 'h' || s[1] == 'O' || s[1] == 'o')) {
    const int base = (s[1] == 'H' || s[1] == 'h') ? 16 : 8;
    std::int64_t v = 0;
    for (std::size_t i = 2; i < s.size() && v < (std::int64_t{1} << 40); ++i) {
      const int d =
          std::isxdigit(static_cast<unsigned char>(s[i]))
              ? (std::isdigit(static_cast<unsigned char>(s[i])) ? s[i] - '0' : (std::tolower(s[i]) - 'a' + 10))
              : 99;
      if (d >= base) break;
      v = v * base + d;
    }
    return Value::of(static_cast<double>(v));
  }
  std::size_t i = 0;
  std::string digits;
  if (i < s.size() && (s[i] == '-' || s[i] == '+')) digits += s[i++];
  bool point = false, any = false;
  for (; i < s.size(); ++i) {
    if (std::isdigit(static_cast<unsigned char>(s[i]))) {
      digits += s[i];
      any = true;
    } else if (s[i] == '.' && !point) {
      digits += s[i];
      point = true;
    } else {
      break;
    }
  }
  if (any && i + 1 < s.size() && (s[i] == 'E' || s[i] == 'e' || s[i] == 'D' || s[i] == 'd')) {
    std::string exponent = "e";
    std::size_t j = i + 1;
    if (s[j] == '-' || s[j] == '+') exponent += s[j++];
    const std::size_t first = j;
    while (j < s.size() && std::isdigit(static_cast<unsigned char>(s[j])) && j - first < 4) exponent += s[j++];
    if (j > first) digits += exponent;
  }
  if (!any) return Value::of(0.0);
  return number(std::strtod(digits.c_str(), nullptr));
}

// Str writes numbers the way VBA's own source does, whatever the locale:
// a point for decimals, a space where the sign of a positive number would
// be, and no zero before the point (Str(0.5) is " .5").
Value str(const Args& a) {
  if (a.null(0)) return Value::null();
  const double d = a.number(0);
  std::string s;
  if (a.value(0).kind == Value::Kind::Integer) {
    s = std::to_string(a.value(0).integer);
  } else {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.15G", d);
    s = buf;
    if (s.rfind("0.", 0) == 0) s.erase(0, 1);
    if (s.rfind("-0.", 0) == 0) s.erase(1, 1);
  }
  return Value::of(d >= 0 ? " " + s : s);
}

// --- Conversions: Null is refused, as VBA refuses it ------------------------

Value cStr(const Args& a) { return Value::of(a.text(0)); }
Value cLng(const Args& a) { return Value::of(a.whole(0)); }
Value cInt(const Args& a) { return Value::of(a.whole(0, -32768.0, 32767.0)); }
Value cDbl(const Args& a) { return number(a.number(0)); }
Value cSng(const Args& a) {
  const double d = a.number(0);
  if (std::fabs(d) > static_cast<double>(FLT_MAX)) raise(6);
  return Value::of(static_cast<double>(static_cast<float>(d)));
}
Value cCur(const Args& a) {
  const double d = a.number(0);
  if (std::fabs(d) > 922337203685477.0) raise(6);
  return Value::of(std::nearbyint(d * 10000.0) / 10000.0);
}
Value cBool(const Args& a) {
  const Value v = a.value(0);
  if (v.kind == Value::Kind::Text) {
    for (const char* t : {"vrai", "true"})
      if (compareFolded(v.text, t) == 0) return boolean(true);
    for (const char* f : {"faux", "false"})
      if (compareFolded(v.text, f) == 0) return boolean(false);
  }
  return boolean(a.number(0) != 0);
}
Value cDate(const Args& a) { return date(a.date(0)); }

// --- Information: never Null ------------------------------------------------

Value isNumeric(const Args& a) {
  const Value v = a.value(0);
  if (v.kind == Value::Kind::Integer || v.kind == Value::Kind::Double) return boolean(true);
  return boolean(v.kind == Value::Kind::Text && numberOf(v).has_value());
}
Value isDate(const Args& a) {
  const Value v = a.value(0);
  return boolean(v.kind == Value::Kind::DateTime || (v.kind == Value::Kind::Text && dates::parse(v.text)));
}

// --- Mathematics ------------------------------------------------------------

// Integer arguments stay integers, as Access's Integer and Long do.
Value math(const Args& a, std::int64_t (*onInteger)(std::int64_t), double (*onReal)(double)) {
  if (a.null(0)) return Value::null();
  const Value v = a.value(0);
  if (v.kind == Value::Kind::Integer) return Value::of(onInteger(v.integer));
  return number(onReal(a.number(0)));
}
std::int64_t same(std::int64_t v) { return v; }
std::int64_t absInteger(std::int64_t v) {
  if (v == INT64_MIN) raise(6);
  return v < 0 ? -v : v;
}
Value absOf(const Args& a) {
  return math(a, absInteger, [](double d) { return std::fabs(d); });
}
Value sgn(const Args& a) {
  if (a.null(0)) return Value::null();
  const double d = a.number(0);
  return Value::of(d > 0 ? 1 : d < 0 ? -1 : 0);
}
Value intOf(const Args& a) {
  return math(a, same, [](double d) { return std::floor(d); });
}
Value fix(const Args& a) {
  return math(a, same, [](double d) { return std::trunc(d); });
}

Value roundOf(const Args& a) {
  if (a.null(0)) return Value::null();
  const std::int64_t digits = a.has(1) ? a.whole(1) : 0;
  if (digits < 0) raise(5);
  if (a.value(0).kind == Value::Kind::Integer) return a.value(0);
  const double d = a.number(0);
  if (digits > 15) return Value::of(d);
  const double scale = std::pow(10.0, static_cast<double>(digits));
  const double scaled = d * scale;
  // Half to even on the decimal digits the user sees: 2.5 -> 2, 0.125 -> 0.12.
  return number(std::isfinite(scaled) ? std::nearbyint(scaled) / scale : d);
}

Value realFunction(const Args& a, double (*f)(double), bool positive, bool nonNegative) {
  if (a.null(0)) return Value::null();
  const double d = a.number(0);
  if ((positive && d <= 0) || (nonNegative && d < 0)) raise(5);
  return number(f(d));
}
Value sqr(const Args& a) {
  return realFunction(
      a, [](double d) { return std::sqrt(d); }, false, true);
}
Value expOf(const Args& a) {
  return realFunction(
      a, [](double d) { return std::exp(d); }, false, false);
}
Value logOf(const Args& a) {
  return realFunction(
      a, [](double d) { return std::log(d); }, true, false);
}
Value sinOf(const Args& a) {
  return realFunction(
      a, [](double d) { return std::sin(d); }, false, false);
}
Value cosOf(const Args& a) {
  return realFunction(
      a, [](double d) { return std::cos(d); }, false, false);
}
Value atn(const Args& a) {
  return realFunction(
      a, [](double d) { return std::atan(d); }, false, false);
}

// --- Dates ------------------------------------------------------------------

Value nowOf(const Args&) { return Value::dateTime(dates::now()); }
Value today(const Args&) { return Value::dateTime(dates::floorDiv(dates::now(), dates::kDay) * dates::kDay); }
Value timeOf(const Args&) {
  const std::int64_t n = dates::now();
  return Value::dateTime(dates::kSerialZero + n - dates::floorDiv(n, dates::kDay) * dates::kDay);
}

Value part(const Args& a, int dates::Civil::*field) {
  if (a.null(0)) return Value::null();
  return Value::of((dates::split(a.date(0)).*field));
}
Value year(const Args& a) {
  return a.null(0) ? Value::null() : Value::of(static_cast<std::int64_t>(dates::split(a.date(0)).year));
}
Value month(const Args& a) { return part(a, &dates::Civil::month); }
Value day(const Args& a) { return part(a, &dates::Civil::day); }
Value hour(const Args& a) { return part(a, &dates::Civil::hour); }
Value minute(const Args& a) { return part(a, &dates::Civil::minute); }
Value second(const Args& a) { return part(a, &dates::Civil::second); }

// The first day of the week: 1 Sunday (Access's default) .. 7 Saturday; 0,
// "the system's", is Monday in French conventions.
int firstDay(const Args& a, int i) {
  if (!a.has(i) || a.null(i)) return 1;
  const std::int64_t f = a.whole(i);
  if (f < 0 || f > 7) raise(5);
  return f == 0 ? 2 : static_cast<int>(f);
}

Value weekdayOf(const Args& a) {
  if (a.null(0)) return Value::null();
  return Value::of(dates::weekday(a.date(0), firstDay(a, 1)));
}

enum class Interval { Year, Quarter, Month, DayOfYear, Day, Weekday, Week, Hour, Minute, Second };

Interval interval(const Args& a, int i) {
  static const std::pair<const char*, Interval> kCodes[] = {
      {"yyyy", Interval::Year}, {"q", Interval::Quarter}, {"m", Interval::Month}, {"y", Interval::DayOfYear},
      {"d", Interval::Day},     {"w", Interval::Weekday}, {"ww", Interval::Week}, {"h", Interval::Hour},
      {"n", Interval::Minute},  {"s", Interval::Second}};
  const std::string code = a.text(i);
  for (const auto& [name, value] : kCodes)
    if (compareFolded(code, name) == 0) return value;
  raise(5);
}

Value dateAdd(const Args& a) {
  const Interval in = interval(a, 0);
  const std::int64_t n = static_cast<std::int64_t>(std::trunc(a.number(1)));
  if (a.null(2)) return Value::null();
  const std::int64_t d = a.date(2);
  // Beyond this no result is a date Access can hold.
  if (n > 4000000000LL || n < -4000000000LL) raise(5);
  std::int64_t months = 0, seconds = 0;
  switch (in) {
    case Interval::Year:
      months = 12 * n;
      break;
    case Interval::Quarter:
      months = 3 * n;
      break;
    case Interval::Month:
      months = n;
      break;
    case Interval::DayOfYear:
    case Interval::Day:
    case Interval::Weekday:
      seconds = n * dates::kDay;
      break;
    case Interval::Week:
      seconds = 7 * n * dates::kDay;
      break;
    case Interval::Hour:
      seconds = 3600 * n;
      break;
    case Interval::Minute:
      seconds = 60 * n;
      break;
    case Interval::Second:
      seconds = n;
      break;
  }
  if (months == 0) return date(d + seconds);
  // A month added to 31 January ends on the last day of February.
  dates::Civil c = dates::split(d);
  const std::int64_t total = c.year * 12 + (c.month - 1) + months;
  if (total < dates::kMinYear * 12 || total > dates::kMaxYear * 12 + 11) raise(5);
  c.year = dates::floorDiv(total, 12);
  c.month = static_cast<int>(total - c.year * 12 + 1);
  c.day = std::min(c.day, dates::daysInMonth(c.year, c.month));
  return date(dates::join(c));
}

std::int64_t dayNumber(std::int64_t seconds) { return dates::floorDiv(seconds, dates::kDay); }

// DateDiff counts the boundaries crossed between the two dates, not whole
// periods: from 31/12/2020 to 01/01/2021 is one year.
Value dateDiff(const Args& a) {
  const Interval in = interval(a, 0);
  if (a.null(1) || a.null(2)) return Value::null();
  const std::int64_t d1 = a.date(1), d2 = a.date(2);
  const dates::Civil c1 = dates::split(d1), c2 = dates::split(d2);
  switch (in) {
    case Interval::Year:
      return Value::of(c2.year - c1.year);
    case Interval::Quarter:
      return Value::of((c2.year * 4 + (c2.month - 1) / 3) - (c1.year * 4 + (c1.month - 1) / 3));
    case Interval::Month:
      return Value::of((c2.year * 12 + c2.month) - (c1.year * 12 + c1.month));
    case Interval::DayOfYear:
    case Interval::Day:
      return Value::of(dayNumber(d2) - dayNumber(d1));
    case Interval::Weekday:
      return Value::of((dayNumber(d2) - dayNumber(d1)) / 7);
    case Interval::Week: {
      const int f = firstDay(a, 3);
      auto weekStart = [f](std::int64_t s) { return dayNumber(s) - (dates::weekday(s, f) - 1); };
      return Value::of((weekStart(d2) - weekStart(d1)) / 7);
    }
    case Interval::Hour:
      return Value::of(dates::floorDiv(d2, 3600) - dates::floorDiv(d1, 3600));
    case Interval::Minute:
      return Value::of(dates::floorDiv(d2, 60) - dates::floorDiv(d1, 60));
    case Interval::Second:
      return Value::of(d2 - d1);
  }
  return Value::null();
}

Value datePart(const Args& a) {
  const Interval in = interval(a, 0);
  if (a.null(1)) return Value::null();
  const std::int64_t d = a.date(1);
  const dates::Civil c = dates::split(d);
  const int f = firstDay(a, 2);
  const std::int64_t doy = dayNumber(d) - dates::daysOf(c.year, 1, 1) + 1;
  switch (in) {
    case Interval::Year:
      return Value::of(c.year);
    case Interval::Quarter:
      return Value::of((c.month - 1) / 3 + 1);
    case Interval::Month:
      return Value::of(c.month);
    case Interval::DayOfYear:
      return Value::of(doy);
    case Interval::Day:
      return Value::of(c.day);
    case Interval::Weekday:
      return Value::of(dates::weekday(d, f));
    case Interval::Week: {
      // The week that holds 1 January is week 1.
      const int jan1 = dates::weekday(dates::daysOf(c.year, 1, 1) * dates::kDay, f);
      return Value::of((doy - 1 + jan1 - 1) / 7 + 1);
    }
    case Interval::Hour:
      return Value::of(c.hour);
    case Interval::Minute:
      return Value::of(c.minute);
    case Interval::Second:
      return Value::of(c.second);
  }
  return Value::null();
}

Value dateSerial(const Args& a) {
  if (a.anyNull()) return Value::null();
  std::int64_t y = a.whole(0), m = a.whole(1), d = a.whole(2);
  if (y >= 0 && y <= 99) y += y < 30 ? 2000 : 1900;
  if (y < -100000 || y > 100000) raise(5);
  return date(dates::daysOf(y, m, d) * dates::kDay);
}

Value timeSerial(const Args& a) {
  if (a.anyNull()) return Value::null();
  return date(dates::kSerialZero + a.whole(0) * 3600 + a.whole(1) * 60 + a.whole(2));
}

Value dateValue(const Args& a) {
  if (a.null(0)) return Value::null();
  return date(dayNumber(a.date(0)) * dates::kDay);
}

Value formatOf(const Args& a) {
  if (a.null(0)) return Value::null();
  if (!a.has(1) || a.null(1)) return Value::of(textOf(a.value(0)));
  return Value::of(format(a.value(0), a.text(1)));
}

// `&`: Null counts as "", but Null & Null is Null.
Value concat(const Args& a) {
  std::string out;
  bool any = false;
  for (int i = 0; i < a.n; ++i) {
    if (a.null(i)) continue;
    any = true;
    out += textOf(a.value(i));
    if (out.size() > kMaxText) raise(14);
  }
  return any ? Value::of(std::move(out)) : Value::null();
}

}  // namespace
}  // namespace fn

namespace {

// How the compiler types a function's result.
enum class Result { Text, Number, Long, Short, Double, Single, Currency, Date, Bool };

struct Function {
  const char* name;  // upper case, as the parser leaves it
  int minArgs, maxArgs;
  Result result;
  Value (*run)(const fn::Args&);
  bool deterministic = true;
};

using namespace fn;

const Function kFunctions[] = {
    {"LEN", 1, 1, Result::Number, len},
    {"LEFT", 2, 2, Result::Text, left},
    {"RIGHT", 2, 2, Result::Text, right},
    {"MID", 2, 3, Result::Text, mid},
    {"INSTR", 2, 4, Result::Number, inStr},
    {"INSTRREV", 2, 4, Result::Number, inStrRev},
    {"LCASE", 1, 1, Result::Text, lCase},
    {"UCASE", 1, 1, Result::Text, uCase},
    {"TRIM", 1, 1, Result::Text, trim},
    {"LTRIM", 1, 1, Result::Text, lTrim},
    {"RTRIM", 1, 1, Result::Text, rTrim},
    {"REPLACE", 3, 6, Result::Text, replace},
    {"SPACE", 1, 1, Result::Text, space},
    {"STRING", 2, 2, Result::Text, stringOf},
    {"STRCOMP", 2, 3, Result::Number, strComp},
    {"STRREVERSE", 1, 1, Result::Text, strReverse},
    {"ASC", 1, 1, Result::Number, asc},
    {"CHR", 1, 1, Result::Text, chrOf},
    {"VAL", 1, 1, Result::Double, val},
    {"STR", 1, 1, Result::Text, str},
    {"CSTR", 1, 1, Result::Text, cStr},
    {"CLNG", 1, 1, Result::Long, cLng},
    {"CINT", 1, 1, Result::Short, cInt},
    {"CDBL", 1, 1, Result::Double, cDbl},
    {"CSNG", 1, 1, Result::Single, cSng},
    {"CCUR", 1, 1, Result::Currency, cCur},
    {"CBOOL", 1, 1, Result::Bool, cBool},
    {"CDATE", 1, 1, Result::Date, cDate},
    {"CVDATE", 1, 1, Result::Date, cDate},
    {"ISNUMERIC", 1, 1, Result::Bool, isNumeric},
    {"ISDATE", 1, 1, Result::Bool, isDate},
    {"ABS", 1, 1, Result::Number, absOf},
    {"SGN", 1, 1, Result::Number, sgn},
    {"INT", 1, 1, Result::Number, intOf},
    {"FIX", 1, 1, Result::Number, fix},
    {"ROUND", 1, 2, Result::Number, roundOf},
    {"SQR", 1, 1, Result::Double, sqr},
    {"EXP", 1, 1, Result::Double, expOf},
    {"LOG", 1, 1, Result::Double, logOf},
    {"SIN", 1, 1, Result::Double, sinOf},
    {"COS", 1, 1, Result::Double, cosOf},
    {"ATN", 1, 1, Result::Double, atn},
    {"NOW", 0, 0, Result::Date, nowOf, false},
    {"DATE", 0, 0, Result::Date, today, false},
    {"TIME", 0, 0, Result::Date, timeOf, false},
    {"YEAR", 1, 1, Result::Number, year},
    {"MONTH", 1, 1, Result::Number, month},
    {"DAY", 1, 1, Result::Number, day},
    {"HOUR", 1, 1, Result::Number, hour},
    {"MINUTE", 1, 1, Result::Number, minute},
    {"SECOND", 1, 1, Result::Number, second},
    {"WEEKDAY", 1, 2, Result::Number, weekdayOf},
    {"DATEADD", 3, 3, Result::Date, dateAdd},
    {"DATEDIFF", 3, 5, Result::Number, dateDiff},
    {"DATEPART", 2, 4, Result::Number, datePart},
    {"DATESERIAL", 3, 3, Result::Date, dateSerial},
    {"TIMESERIAL", 3, 3, Result::Date, timeSerial},
    {"DATEVALUE", 1, 1, Result::Date, dateValue},
    {"FORMAT", 1, 4, Result::Text, formatOf},
};

// Compiled in place rather than run by SQLite functions: they choose among
// their arguments, and SQLite's CASE and COALESCE evaluate only the one
// chosen and keep its type.
struct Special {
  const char* name;
  int minArgs, maxArgs;
};
const Special kSpecials[] = {
    {"IIF", 3, 3}, {"SWITCH", 2, 1 << 20}, {"CHOOSE", 2, 1 << 20}, {"ISNULL", 1, 1}, {"NZ", 1, 2}};

// The text of `&`, which compileFunction's callers reach through jet_concat.
const Function kConcat{"&", 0, 0, Result::Text, concat};

const Function* findFunction(std::string_view name) {
  for (const Function& f : kFunctions)
    if (name == f.name) return &f;
  return nullptr;
}
const Special* findSpecial(std::string_view name) {
  for (const Special& f : kSpecials)
    if (name == f.name) return &f;
  return nullptr;
}

std::optional<JetType> typeOf(Result r) {
  switch (r) {
    case Result::Text:
      return JetType::Text;
    case Result::Number:
      return std::nullopt;
    case Result::Long:
      return JetType::Long;
    case Result::Short:
      return JetType::Short;
    case Result::Double:
      return JetType::Double;
    case Result::Single:
      return JetType::Single;
    case Result::Currency:
      return JetType::Currency;
    case Result::Date:
      return JetType::DateTime;
    case Result::Bool:
      return JetType::Bit;
  }
  return std::nullopt;
}

constexpr const char* kFailureTag = "\x01jet:";

void run(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  const auto* f = static_cast<const Function*>(sqlite3_user_data(ctx));
  try {
    const Args args{argv + 1, argc - 1, static_cast<unsigned>(sqlite3_value_int64(argv[0]))};
    const Value r = f->run(args);
    switch (r.kind) {
      case Value::Kind::Null:
        sqlite3_result_null(ctx);
        break;
      case Value::Kind::Integer:
      case Value::Kind::DateTime:
        sqlite3_result_int64(ctx, r.integer);
        break;
      case Value::Kind::Double:
        sqlite3_result_double(ctx, r.real);
        break;
      case Value::Kind::Text:
        if (r.text.size() > kMaxText) throw Failure{14};
        sqlite3_result_text64(ctx, r.text.data(), r.text.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
        break;
    }
  } catch (const Failure& failure) {
    const std::string message = kFailureTag + std::to_string(failure.number);
    sqlite3_result_error(ctx, message.c_str(), -1);
  } catch (const std::bad_alloc&) {
    sqlite3_result_error_nomem(ctx);
  } catch (const std::exception&) {
    // Nothing may unwind through SQLite: what the checks above missed is
    // still an argument the function cannot take.
    sqlite3_result_error(ctx, (kFailureTag + std::string("5")).c_str(), -1);
  }
}

std::string sqlName(const char* name) {
  std::string s = "jet_";
  for (const char* p = name; *p; ++p) s += static_cast<char>(std::tolower(static_cast<unsigned char>(*p)));
  return s;
}

bool wrongCount(Session& s, const Expr& e) {
  std::string shown = e.source;
  while (!shown.empty() && shown.back() == ' ') shown.pop_back();
  return s.fail(
      makeError("42000", 3075,
                "Nombre d'arguments incorrect utilisé avec la fonction dans l'expression de requête '" + shown + "'."));
}

}  // namespace

bool isBuiltinFunction(std::string_view upperName) {
  return findFunction(upperName) != nullptr || findSpecial(upperName) != nullptr;
}

bool registerFunctions(sqlite3* db) {
  auto add = [db](const Function& f) {
    const int flags = SQLITE_UTF8 | (f.deterministic ? SQLITE_DETERMINISTIC : 0);
    return sqlite3_create_function_v2(db, sqlName(f.name).c_str(), -1, flags, const_cast<Function*>(&f), run, nullptr,
                                      nullptr, nullptr) == SQLITE_OK;
  };
  for (const Function& f : kFunctions)
    if (!add(f)) return false;
  return sqlite3_create_function_v2(db, "jet_concat", -1, SQLITE_UTF8 | SQLITE_DETERMINISTIC,
                                    const_cast<Function*>(&kConcat), run, nullptr, nullptr, nullptr) == SQLITE_OK;
}

std::optional<Error> functionError(const char* message) {
  if (!message || std::strncmp(message, kFailureTag, std::strlen(kFailureTag)) != 0) return std::nullopt;
  const int number = std::atoi(message + std::strlen(kFailureTag));
  switch (number) {
    case 5:
      return makeError("22023", 5, "Argument ou appel de procédure incorrect.");
    case 6:
      return makeError("22003", 6, "Dépassement de capacité.");
    case 13:
      return makeError("22018", 13, "Type incompatible.");
    case 14:
      return makeError("HY001", 14, "Espace de chaîne insuffisant.");
    default:
      return makeError("22004", 94, "Utilisation incorrecte de Null.");
  }
}

std::string concatSql(const std::vector<std::string>& operands, const std::vector<bool>& dates) {
  // At most 32 operands a call, the calls nested when there are more:
  // SQLite caps a function's arguments, and Null & Null being Null holds
  // group by group.
  constexpr std::size_t kGroup = 32;
  std::vector<std::string> level = operands;
  std::vector<bool> isDate = dates;
  do {
    std::vector<std::string> next;
    for (std::size_t i = 0; i < level.size(); i += kGroup) {
      unsigned mask = 0;
      std::string args;
      for (std::size_t j = i; j < std::min(level.size(), i + kGroup); ++j) {
        if (isDate[j]) mask |= 1u << (j - i);
        args += ", " + level[j];
      }
      next.push_back("jet_concat(" + std::to_string(mask) + args + ")");
    }
    level = std::move(next);
    isDate.assign(level.size(), false);
  } while (level.size() > 1);
  return level.front();
}

bool compileFunction(Session& s, const Expr& e, const Scope* scope, std::vector<Value>& params, CompiledExpr& out,
                     bool insideAggregate) {
  const Function* f = findFunction(e.name);
  const Special* special = f ? nullptr : findSpecial(e.name);
  const int n = static_cast<int>(e.args.size());
  const int minArgs = f ? f->minArgs : special->minArgs, maxArgs = f ? f->maxArgs : special->maxArgs;
  if (n < minArgs || n > maxArgs) return wrongCount(s, e);
  if (e.name == "SWITCH" && n % 2 != 0) return wrongCount(s, e);
  std::vector<CompiledExpr> args(e.args.size());
  for (std::size_t i = 0; i < e.args.size(); ++i) {
    if (!compileExpr(s, *e.args[i], scope, params, args[i], insideAggregate)) return false;
    out.aggregate = out.aggregate || args[i].aggregate;
    out.bareColumn = out.bareColumn || args[i].bareColumn;
  }
  // The common type of the values a choice may give, when they agree (a
  // Null has none): IIf(x, [Date], Null) still reads as a date, and
  // IIf(x, 'a', 'b') + 'c' joins texts.
  auto common = [&](std::size_t from, std::size_t step) {
    std::optional<JetType> t;
    bool first = true;
    for (std::size_t i = from; i < args.size(); i += step) {
      const Expr& arg = *e.args[i];
      if (arg.kind == Expr::Kind::Literal && arg.literal.isNull()) continue;
      const bool text = arg.kind == Expr::Kind::Literal && arg.literal.kind == Value::Kind::Text;
      const std::optional<JetType> type = text ? JetType::Text : args[i].type;
      if (!first && type != t) return std::optional<JetType>();
      t = type;
      first = false;
    }
    return t;
  };
  if (e.name == "IIF") {
    out.sql = "(CASE WHEN " + args[0].sql + " THEN " + args[1].valueSql() + " ELSE " + args[2].valueSql() + " END)";
    out.type = common(1, 1);
  } else if (e.name == "SWITCH") {
    out.sql = "(CASE";
    for (std::size_t i = 0; i < args.size(); i += 2)
      out.sql += " WHEN " + args[i].sql + " THEN " + args[i + 1].valueSql();
    out.sql += " END)";
    out.type = common(1, 2);
  } else if (e.name == "CHOOSE") {
    // The index is truncated, as Fix does; out of range gives Null.
    out.sql = "(CASE CAST(" + args[0].valueSql() + " AS INTEGER)";
    for (std::size_t i = 1; i < args.size(); ++i)
      out.sql += " WHEN " + std::to_string(i) + " THEN " + args[i].valueSql();
    out.sql += " END)";
    out.type = common(1, 1);
  } else if (e.name == "ISNULL") {
    out.sql = "(" + args[0].valueSql() + " IS NULL)";
    out.boolean = true;
  } else if (e.name == "NZ") {
    out.sql = "COALESCE(" + args[0].valueSql() + ", " + (n == 2 ? args[1].valueSql() : std::string("''")) + ")";
    out.type = n == 2                                                             ? common(0, 1)
               : (args[0].type == JetType::Text || args[0].type == JetType::Memo) ? args[0].type
                                                                                  : std::nullopt;
  } else {
    unsigned mask = 0;
    std::string list;
    for (std::size_t i = 0; i < args.size(); ++i) {
      if (args[i].type == JetType::DateTime) mask |= 1u << i;
      list += ", " + args[i].valueSql();
    }
    out.sql = sqlName(f->name) + "(" + std::to_string(mask) + list + ")";
    out.type = typeOf(f->result);
  }
  return true;
}

}  // namespace jetdb
