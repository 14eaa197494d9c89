// Format(value, format) as Access's expression service runs it on a machine
// set up the French way, which is how the application's users run it:
//  - numbers: decimal comma, a plain space between thousands, the euro sign
//    after the amount ("1 234,50 €"), negative amounts with a leading minus;
//  - dates: day first, Short Date dd/mm/yyyy, times on 24 hours with ':';
//    French day and month names, lower case ("lundi", "janvier"), their
//    short forms without a point ("lun", "janv"); Medium Date dd-mmm-yy,
//    Medium Time on 12 hours with AM/PM as Access has it;
//  - Yes/No, True/False and On/Off read "Oui"/"Non", "Vrai"/"Faux",
//    "Activé"/"Désactivé".
// Pictures take the usual placeholders: 0 # . , % and literals for numbers
// (up to four sections: positive;negative;zero;Null); d dd ddd dddd ddddd
// dddddd, m mm mmm mmmm, y yy yyyy, h hh, n nn, s ss, w ww q, AM/PM am/pm
// A/P a/p for dates; "quoted" text and \x escapes in both; < and > turn a
// text to lower or upper case. Rounding is half away from zero, as Format's
// own (CInt and Round round half to even).
#include <cmath>
#include <cstdio>
#include <vector>

#include "conversions.h"
#include "dates.h"
#include "jetdb/text.h"

namespace jetdb::fn {
namespace {

const char* const kDays[] = {"dimanche", "lundi", "mardi", "mercredi", "jeudi", "vendredi", "samedi"};
const char* const kShortDays[] = {"dim", "lun", "mar", "mer", "jeu", "ven", "sam"};
const char* const kMonths[] = {"janvier", "février", "mars",      "avril",   "mai",      "juin",
                               "juillet", "août",    "septembre", "octobre", "novembre", "décembre"};
const char* const kShortMonths[] = {"janv", "févr", "mars", "avr", "mai", "juin",
                                    "juil", "août", "sept", "oct", "nov", "déc"};

bool same(std::string_view a, const char* b) { return compareFolded(a, b) == 0; }

std::string twoDigits(std::int64_t v) {
  char buf[24];
  std::snprintf(buf, sizeof buf, "%02lld", static_cast<long long>(v));
  return buf;
}

// The digits of |v| rounded half away from zero to `decimals` places, the
// integer part first ("" when it is 0), then exactly `decimals` digits.
void digitsOf(double v, int decimals, std::string& whole, std::string& fraction) {
  double scaled = std::round(std::fabs(v) * std::pow(10.0, decimals));
  int shown = decimals;
  if (!std::isfinite(scaled)) {  // too large for its decimals: they are all 0
    scaled = std::round(std::fabs(v));
    shown = 0;
  }
  char buf[400];
  std::snprintf(buf, sizeof buf, "%.0f", scaled);
  std::string all = buf;
  if (all.size() <= static_cast<std::size_t>(shown)) all.insert(0, shown + 1 - all.size(), '0');
  whole = all.substr(0, all.size() - shown);
  fraction = all.substr(all.size() - shown) + std::string(decimals - shown, '0');
  if (whole == "0") whole.clear();
}

std::string grouped(const std::string& digits) {
  std::string out;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i && (digits.size() - i) % 3 == 0) out += ' ';
    out += digits[i];
  }
  return out;
}

std::string fixed(double v, int decimals, bool thousands) {
  std::string whole, fraction;
  digitsOf(v, decimals, whole, fraction);
  if (whole.empty()) whole = "0";
  std::string s = (v < 0 && (whole != "0" || fraction.find_first_not_of('0') != std::string::npos)) ? "-" : "";
  s += thousands ? grouped(whole) : whole;
  if (decimals) s += "," + fraction;
  return s;
}

std::string scientific(double v) {
  if (v == 0) return "0,00E+00";
  int exponent = static_cast<int>(std::floor(std::log10(std::fabs(v))));
  double mantissa = v / std::pow(10.0, exponent);
  if (std::round(std::fabs(mantissa) * 100) >= 1000) mantissa /= 10, ++exponent;
  char buf[16];
  std::snprintf(buf, sizeof buf, "E%c%02d", exponent < 0 ? '-' : '+', std::abs(exponent));
  return fixed(mantissa, 2, false) + buf;
}

std::optional<std::string> namedNumber(double v, std::string_view name) {
  if (same(name, "General Number")) return textOf(Value::of(v));
  if (same(name, "Currency")) return fixed(v, 2, true) + " €";
  if (same(name, "Fixed")) return fixed(v, 2, false);
  if (same(name, "Standard")) return fixed(v, 2, true);
  if (same(name, "Percent")) return fixed(v * 100, 2, false) + "%";
  if (same(name, "Scientific")) return scientific(v);
  if (same(name, "Yes/No")) return std::string(v != 0 ? "Oui" : "Non");
  if (same(name, "True/False")) return std::string(v != 0 ? "Vrai" : "Faux");
  if (same(name, "On/Off")) return std::string(v != 0 ? "Activé" : "Désactivé");
  return std::nullopt;
}

// One element of a picture: a literal, or a run of one placeholder letter.
struct Piece {
  bool literal = true;
  std::string text;  // the literal, or the placeholder as written ("dd", "AM/PM", "0")
};

std::vector<Piece> pieces(std::string_view picture, bool date) {
  std::vector<Piece> out;
  auto literal = [&out](std::string_view t) {
    if (out.empty() || !out.back().literal) out.push_back(Piece{});
    out.back().text += t;
  };
  for (std::size_t i = 0; i < picture.size();) {
    const char c = picture[i];
    if (c == '"') {
      const std::size_t close = picture.find('"', i + 1);
      literal(picture.substr(i + 1, close == std::string_view::npos ? std::string_view::npos : close - i - 1));
      i = close == std::string_view::npos ? picture.size() : close + 1;
    } else if (c == '\\' && i + 1 < picture.size()) {
      // The escaped character whole, even when it is not ASCII.
      std::size_t n = 1;
      while (i + 1 + n < picture.size() && (static_cast<unsigned char>(picture[i + 1 + n]) & 0xC0) == 0x80) ++n;
      literal(picture.substr(i + 1, n));
      i += 1 + n;
    } else if (date && (picture.substr(i, 5) == "AM/PM" || picture.substr(i, 5) == "am/pm")) {
      out.push_back(Piece{false, std::string(picture.substr(i, 5))});
      i += 5;
    } else if (date && (picture.substr(i, 3) == "A/P" || picture.substr(i, 3) == "a/p")) {
      out.push_back(Piece{false, std::string(picture.substr(i, 3))});
      i += 3;
    } else if (date && std::string_view("dmyhnswqcDMYHNSWQC").find(c) != std::string_view::npos) {
      std::size_t j = i;
      const char lowered = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      while (j < picture.size() && std::tolower(static_cast<unsigned char>(picture[j])) == lowered) ++j;
      out.push_back(Piece{false, std::string(j - i, lowered)});
      i = j;
    } else if (!date && (c == '0' || c == '#' || c == '.' || c == ',' || c == '%')) {
      out.push_back(Piece{false, std::string(1, c)});
      ++i;
    } else {
      literal(picture.substr(i, 1));
      ++i;
    }
  }
  return out;
}

bool isDatePicture(std::string_view picture) {
  bool letters = false;
  for (const Piece& p : pieces(picture, false)) {
    if (!p.literal && (p.text == "0" || p.text == "#")) return false;
    if (p.literal)
      for (char c : p.text)
        if (std::string_view("dmyhnswqcDMYHNSWQC").find(c) != std::string_view::npos) letters = true;
  }
  return letters;
}

std::string numberPicture(double v, std::string_view section, bool sign) {
  const std::vector<Piece> ps = pieces(section, false);
  bool thousands = false, percent = false, point = false;
  int intZeros = 0, decimals = 0;
  std::size_t first = ps.size(), last = 0;
  for (std::size_t i = 0; i < ps.size(); ++i) {
    const std::string& t = ps[i].text;
    if (ps[i].literal) continue;
    if (t == "%") {
      percent = true;
      continue;
    }
    if (t == ".") point = true;
    if (t == "," && !point) thousands = true;
    if (t == "0" || t == "#" || t == ".") first = std::min(first, i), last = i;
    if (t == "0" && !point) ++intZeros;
    if ((t == "0" || t == "#") && point) ++decimals;
  }
  if (percent) v *= 100;
  std::string whole, fraction;
  digitsOf(v, decimals, whole, fraction);
  const bool zero = whole.empty() && fraction.find_first_not_of('0') == std::string::npos;
  std::string out = sign && v < 0 && !zero ? "-" : "";
  if (first == ps.size()) {  // no placeholder: the literals alone
    for (const Piece& p : ps) out += p.literal || p.text == "%" ? p.text : "";
    return out;
  }
  for (std::size_t i = 0; i < first; ++i) out += ps[i].literal || ps[i].text == "%" ? ps[i].text : "";
  // The integer part, filled from its rightmost placeholder leftwards;
  // digits left over go before the leftmost one.
  std::size_t pointAt = first;
  while (pointAt <= last && ps[pointAt].text != ".") ++pointAt;
  if (thousands) {
    if (whole.size() < static_cast<std::size_t>(intZeros)) whole.insert(0, intZeros - whole.size(), '0');
    out += grouped(whole);
  } else {
    std::string built;
    std::size_t left = whole.size();
    for (std::size_t i = pointAt; i-- > first;) {
      const Piece& p = ps[i];
      if (p.literal || p.text == "%") {
        built.insert(0, p.text);
      } else if (p.text == "0" || p.text == "#") {
        if (left > 0)
          built.insert(0, 1, whole[--left]);
        else if (p.text == "0")
          built.insert(0, "0");
      }
    }
    out += whole.substr(0, left) + built;
  }
  if (pointAt <= last) {
    // Decimals shown by '#' are dropped when they are trailing zeros.
    std::vector<char> kinds;
    for (std::size_t i = pointAt + 1; i <= last; ++i)
      if (!ps[i].literal && (ps[i].text == "0" || ps[i].text == "#")) kinds.push_back(ps[i].text[0]);
    std::size_t keep = fraction.size();
    while (keep > 0 && kinds[keep - 1] == '#' && fraction[keep - 1] == '0') --keep;
    out += ',';
    std::size_t d = 0;
    for (std::size_t i = pointAt + 1; i <= last; ++i) {
      const Piece& p = ps[i];
      if (p.literal || p.text == "%")
        out += p.text;
      else if ((p.text == "0" || p.text == "#") && d < keep)
        out += fraction[d++];
      else if (p.text == "0" || p.text == "#")
        ++d;
    }
  }
  for (std::size_t i = last + 1; i < ps.size(); ++i) out += ps[i].literal || ps[i].text == "%" ? ps[i].text : "";
  return out;
}

std::vector<std::string> sections(std::string_view picture) {
  std::vector<std::string> out(1);
  bool quoted = false;
  for (std::size_t i = 0; i < picture.size(); ++i) {
    const char c = picture[i];
    if (c == '"') quoted = !quoted;
    if (c == ';' && !quoted) {
      out.emplace_back();
      continue;
    }
    out.back() += c;
    if (c == '\\' && i + 1 < picture.size()) out.back() += picture[++i];
  }
  return out;
}

std::string number(double v, std::string_view picture) {
  if (auto named = namedNumber(v, picture)) return *named;
  const std::vector<std::string> s = sections(picture);
  if (v < 0 && s.size() >= 2 && !s[1].empty()) return numberPicture(std::fabs(v), s[1], false);
  if (v == 0 && s.size() >= 3 && !s[2].empty()) return numberPicture(v, s[2], false);
  return numberPicture(v, s[0], true);
}

std::string shortDate(const dates::Civil& c) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%02d/%02d/%04lld", c.day, c.month, static_cast<long long>(c.year));
  return buf;
}
std::string longTime(const dates::Civil& c) {
  return twoDigits(c.hour) + ":" + twoDigits(c.minute) + ":" + twoDigits(c.second);
}
std::string longDate(std::int64_t d, const dates::Civil& c) {
  return std::string(kDays[dates::weekday(d) - 1]) + " " + std::to_string(c.day) + " " + kMonths[c.month - 1] + " " +
         std::to_string(c.year);
}

std::string datePicture(std::int64_t d, std::string_view picture) {
  const dates::Civil c = dates::split(d);
  const std::vector<Piece> ps = pieces(picture, true);
  bool twelve = false;
  for (const Piece& p : ps) twelve = twelve || (!p.literal && p.text.find('/') != std::string::npos);
  std::string out;
  bool afterHour = false;
  for (std::size_t i = 0; i < ps.size(); ++i) {
    const Piece& p = ps[i];
    const std::string& t = p.text;
    if (p.literal) {
      out += t;
      continue;
    }
    // m right after an hour, or right before seconds, is minutes.
    bool beforeSeconds = false;
    for (std::size_t j = i + 1; j < ps.size(); ++j)
      if (!ps[j].literal) {
        beforeSeconds = ps[j].text[0] == 's';
        break;
      }
    const int hour12 = c.hour % 12 == 0 ? 12 : c.hour % 12;
    if (t[0] == 'm' && t.size() <= 2 && (afterHour || beforeSeconds))
      out += t.size() == 1 ? std::to_string(c.minute) : twoDigits(c.minute);
    else if (t == "d")
      out += std::to_string(c.day);
    else if (t == "dd")
      out += twoDigits(c.day);
    else if (t == "ddd")
      out += kShortDays[dates::weekday(d) - 1];
    else if (t == "dddd")
      out += kDays[dates::weekday(d) - 1];
    else if (t == "ddddd")
      out += shortDate(c);
    else if (t.size() >= 6 && t[0] == 'd')
      out += longDate(d, c);
    else if (t == "m")
      out += std::to_string(c.month);
    else if (t == "mm")
      out += twoDigits(c.month);
    else if (t == "mmm")
      out += kShortMonths[c.month - 1];
    else if (t[0] == 'm')
      out += kMonths[c.month - 1];
    else if (t == "y")
      out += std::to_string(dates::floorDiv(d, dates::kDay) - dates::daysOf(c.year, 1, 1) + 1);
    else if (t == "yy" || t == "yyy")
      out += twoDigits(c.year % 100);
    else if (t[0] == 'y')
      out += std::to_string(c.year);
    else if (t == "h")
      out += std::to_string(twelve ? hour12 : c.hour);
    else if (t[0] == 'h')
      out += twoDigits(twelve ? hour12 : c.hour);
    else if (t == "n")
      out += std::to_string(c.minute);
    else if (t[0] == 'n')
      out += twoDigits(c.minute);
    else if (t == "s")
      out += std::to_string(c.second);
    else if (t[0] == 's')
      out += twoDigits(c.second);
    else if (t == "w")
      out += std::to_string(dates::weekday(d));
    else if (t == "ww")
      out += std::to_string((dates::floorDiv(d, dates::kDay) - dates::daysOf(c.year, 1, 1) +
                             dates::weekday(dates::daysOf(c.year, 1, 1) * dates::kDay) - 1) /
                                7 +
                            1);
    else if (t[0] == 'q')
      out += std::to_string((c.month - 1) / 3 + 1);
    else if (t[0] == 'c')
      out += format(Value::dateTime(d), "General Date");
    else if (t.size() == 5)
      out += c.hour < 12 ? t.substr(0, 2) : t.substr(3, 2);
    else
      out += c.hour < 12 ? t.substr(0, 1) : t.substr(2, 1);
    afterHour = t[0] == 'h';
  }
  return out;
}

std::optional<std::string> namedDate(std::int64_t d, std::string_view name) {
  const dates::Civil c = dates::split(d);
  if (same(name, "General Date")) {
    const bool noTime = c.hour == 0 && c.minute == 0 && c.second == 0;
    const bool noDate = dates::floorDiv(d, dates::kDay) * dates::kDay == dates::kSerialZero;
    if (noDate && !noTime) return longTime(c);
    return noTime ? shortDate(c) : shortDate(c) + " " + longTime(c);
  }
  if (same(name, "Long Date")) return longDate(d, c);
  if (same(name, "Medium Date")) return datePicture(d, "dd-mmm-yy");
  if (same(name, "Short Date")) return shortDate(c);
  if (same(name, "Long Time")) return longTime(c);
  if (same(name, "Medium Time")) return datePicture(d, "hh:nn AM/PM");
  if (same(name, "Short Time")) return datePicture(d, "hh:nn");
  return std::nullopt;
}

bool namedDateFormat(std::string_view name) {
  for (const char* n :
       {"General Date", "Long Date", "Medium Date", "Short Date", "Long Time", "Medium Time", "Short Time"})
    if (same(name, n)) return true;
  return false;
}

}  // namespace

std::string format(const Value& v, std::string_view picture) {
  if (v.kind != Value::Kind::Text || numberOf(v)) {
    if (auto n = numberOf(v))
      if (auto named = namedNumber(*n, picture)) return *named;
  }
  if (v.kind == Value::Kind::DateTime || namedDateFormat(picture) || isDatePicture(picture)) {
    if (auto d = dateOf(v)) {
      if (auto named = namedDate(*d, picture)) return *named;
      // A date under a number's format is its serial.
      if (v.kind != Value::Kind::DateTime || isDatePicture(picture)) return datePicture(*d, picture);
      return number(dates::toSerial(*d), picture);
    }
  }
  if (v.kind == Value::Kind::Text) {
    auto n = numberOf(v);
    if (!n) {
      if (picture == ">" || picture == "<") return changeCase(v.text, picture == ">");
      return v.text;
    }
    return number(*n, picture);
  }
  if (auto n = numberOf(v)) return number(*n, picture);
  return textOf(v);
}

}  // namespace jetdb::fn
