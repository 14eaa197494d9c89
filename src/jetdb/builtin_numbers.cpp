// The conversions (CStr, CLng... as functions, and the numberOf, textOf and
// dateOf every function reads its arguments with), IsNumeric and IsDate,
// and the mathematics. Kept apart from text and dates because they share
// Access's rules for numbers: rounding half to even, the ranges of Integer,
// Long and Currency, and overflow as error 6.
#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>

#include "builtin_args.h"
#include "types.h"

namespace jetdb::fn {
namespace {

std::string numberText(double v) {
  if (v == 0) return "0";
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.15G", v);
  std::string s = buf;
  std::replace(s.begin(), s.end(), '.', ',');
  return s;
}

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
Value realFunction(const Args& a, double (*f)(double), bool positive, bool nonNegative) {
  if (a.null(0)) return Value::null();
  const double d = a.number(0);
  if ((positive && d <= 0) || (nonNegative && d < 0)) raise(5);
  return number(f(d));
}

}  // namespace

std::optional<double> numberOf(const Value& v) {
  switch (v.kind) {
    case Value::Kind::Integer:
      return static_cast<double>(v.integer);
    case Value::Kind::Double:
      return v.real;
    case Value::Kind::DateTime:
      return dates::toSerial(v.integer);
    case Value::Kind::Null:
    case Value::Kind::Binary:
      return std::nullopt;
    case Value::Kind::Text:
    case Value::Kind::Decimal:
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
    case Value::Kind::Decimal: {
      std::string s = v.text;
      std::replace(s.begin(), s.end(), '.', ',');
      return s;
    }
    case Value::Kind::Binary:
      return v.asText();
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
    case Value::Kind::Decimal:
      return dates::fromSerial(v.asDouble());
    case Value::Kind::Null:
    case Value::Kind::Binary:
      return std::nullopt;
  }
  return std::nullopt;
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
}  // namespace jetdb::fn
