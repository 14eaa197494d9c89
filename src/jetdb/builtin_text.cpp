// The text functions (Left, InStr, Replace...), with those that carry text
// to and from other types (Asc, Chr, Val, Str) and `&`. Texts are taken as
// code points, not bytes, so that an accented letter counts once.
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "builtin_args.h"

namespace jetdb::fn {
namespace {

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

Value text(std::u32string_view chars) { return Value::of(encodeText(chars)); }

// Where `sought` occurs in `s` at `at`: the length it takes there, or
// npos. Binary compares code points; text compares as the collation does,
// so that a ligature matches its two letters.
std::size_t occursAt(std::u32string_view s, std::size_t at, std::u32string_view sought, bool binary) {
  if (!binary) return matchAt(s, at, sought);
  return s.substr(at).starts_with(sought) ? sought.size() : std::u32string::npos;
}

// The first occurrence of `sought` at or after `from`: (position, length),
// position npos when there is none.
std::pair<std::size_t, std::size_t> find(std::u32string_view s, std::u32string_view sought, std::size_t from,
                                         bool binary) {
  for (std::size_t at = from; at <= s.size(); ++at)
    if (const std::size_t n = occursAt(s, at, sought, binary); n != std::u32string::npos) return {at, n};
  return {std::u32string::npos, 0};
}

std::size_t count(const Args& a, int i) {
  const std::int64_t n = a.whole(i);
  if (n < 0) raise(5);
  return static_cast<std::size_t>(n);
}

// VBA's trims take spaces only, not tabs or line ends.
Value trimmed(const Args& a, bool front, bool back) {
  if (a.null(0)) return Value::null();
  std::string s = a.text(0);
  std::size_t b = front ? s.find_first_not_of(' ') : 0;
  if (b == std::string::npos) return Value::of("");
  std::size_t e = back ? s.find_last_not_of(' ') + 1 : s.size();
  return Value::of(s.substr(b, e - b));
}

char32_t chr(std::int64_t code) {
  if (code < 0 || code > 255) raise(5);
  return code >= 0x80 && code < 0xA0 ? kCp1252[code - 0x80] : static_cast<char32_t>(code);
}

}  // namespace

std::string changeCase(std::string_view text, bool toUpper) {
  std::u32string s = decodeText(text);
  for (char32_t& c : s) c = toUpper ? upper(c) : lowerChar(c);
  return encodeText(s);
}

Value len(const Args& a) { return a.null(0) ? Value::null() : Value::of(static_cast<std::int64_t>(a.chars(0).size())); }
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
  const std::u32string s = a.chars(k), sought = a.chars(k + 1);
  if (static_cast<std::size_t>(start) > s.size()) return Value::of(0);
  const std::size_t at = find(s, sought, static_cast<std::size_t>(start - 1), binary).first;
  return Value::of(at == std::u32string::npos ? std::int64_t{0} : static_cast<std::int64_t>(at + 1));
}

Value inStrRev(const Args& a) {
  if (a.null(0) || a.null(1)) return Value::null();
  const std::int64_t start = a.has(2) ? a.whole(2) : -1;
  if (start == 0 || start < -1) raise(5);
  const bool binary = a.binary(3);
  const std::u32string s = a.chars(0), sought = a.chars(1);
  const std::size_t end = start == -1 ? s.size() : static_cast<std::size_t>(start);
  if (end > s.size()) return Value::of(0);
  if (sought.empty()) return Value::of(static_cast<std::int64_t>(end));
  // The last occurrence that ends by `end`.
  const std::u32string_view head = std::u32string_view(s).substr(0, end);
  for (std::size_t at = end; at-- > 0;)
    if (occursAt(head, at, sought, binary) != std::u32string::npos) return Value::of(static_cast<std::int64_t>(at + 1));
  return Value::of(0);
}

Value lCase(const Args& a) { return a.null(0) ? Value::null() : Value::of(changeCase(a.text(0), false)); }
Value uCase(const Args& a) { return a.null(0) ? Value::null() : Value::of(changeCase(a.text(0), true)); }
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
  std::u32string out;
  std::size_t from = static_cast<std::size_t>(start - 1);
  while (!sought.empty() && left != 0) {
    const auto [at, n] = find(s, sought, from, binary);
    if (at == std::u32string::npos) break;
    out.append(s, from, at - from).append(by);
    if (out.size() > kMaxText) raise(14);
    from = at + n;
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

}  // namespace jetdb::fn
