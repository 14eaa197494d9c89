#include "access/model.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace mdbfile {

bool isKnownType(std::uint8_t code) {
  return (code >= 0x01 && code <= 0x0C) || code == 0x0F || code == 0x10;
}

std::string typeName(const Column& column) {
  switch (column.type) {
    case JetType::Boolean: return "Boolean";
    case JetType::Byte: return "Byte";
    case JetType::Integer: return "Integer";
    case JetType::Long: return column.autoNumber ? "Counter" : "Long";
    case JetType::Currency: return "Currency";
    case JetType::Single: return "Single";
    case JetType::Double: return "Double";
    case JetType::DateTime: return "DateTime";
    case JetType::Binary: return "Binary(" + std::to_string(column.size) + ")";
    case JetType::Text: return "Text(" + std::to_string(column.size) + ")";
    case JetType::OLE: return "OLE";
    case JetType::Memo: return "Memo";
    case JetType::GUID: return "GUID";
    case JetType::Decimal:
      return "Decimal(" + std::to_string(column.precision) + "," + std::to_string(column.scale) + ")";
  }
  return "?";
}

void setRelationFlags(Relation& r, std::uint32_t grbit) {
  r.flags = grbit;
  r.oneToOne = (grbit & 0x1) != 0;
  r.enforced = (grbit & 0x2) == 0;
  r.cascadeUpdates = (grbit & 0x100) != 0;
  r.cascadeDeletes = (grbit & 0x1000) != 0;
}

namespace {

// The digits of a non-negative integer, with `decimals` of them after a point.
std::string withPoint(std::string digits, int decimals) {
  if (decimals <= 0) return digits;
  if (static_cast<int>(digits.size()) <= decimals) {
    digits.insert(0, static_cast<size_t>(decimals) + 1 - digits.size(), '0');
  }
  digits.insert(digits.size() - static_cast<size_t>(decimals), 1, '.');
  return digits;
}

}  // namespace

std::string currencyText(Currency value) {
  // The magnitude of INT64_MIN does not fit an int64: work unsigned.
  const bool negative = value.tenThousandths < 0;
  const std::uint64_t magnitude = negative ? 0 - static_cast<std::uint64_t>(value.tenThousandths)
                                           : static_cast<std::uint64_t>(value.tenThousandths);
  return (negative ? "-" : "") + withPoint(std::to_string(magnitude), 4);
}

std::string decimalText(const Decimal& value) {
  // Long division of the 128-bit magnitude by ten, one decimal digit a turn.
  std::array<std::uint32_t, 4> words = value.magnitude;
  std::string reversed;
  bool zero = false;
  while (!zero) {
    std::uint64_t remainder = 0;
    zero = true;
    for (int i = 3; i >= 0; --i) {
      const std::uint64_t current = (remainder << 32) | words[static_cast<size_t>(i)];
      words[static_cast<size_t>(i)] = static_cast<std::uint32_t>(current / 10);
      remainder = current % 10;
      if (words[static_cast<size_t>(i)] != 0) zero = false;
    }
    reversed += static_cast<char>('0' + remainder);
  }
  const std::string digits(reversed.rbegin(), reversed.rend());
  const bool isZero = digits.find_first_not_of('0') == std::string::npos;
  return (value.negative && !isZero ? "-" : "") + withPoint(digits, value.scale);
}

std::string guidText(const Guid& value) {
  const auto& b = value.bytes;
  char text[40];
  std::snprintf(text, sizeof text,
                "{%02X%02X%02X%02X-%02X%02X-%02X%02X-%02X%02X-%02X%02X%02X%02X%02X%02X}", b[3], b[2],
                b[1], b[0], b[5], b[4], b[7], b[6], b[8], b[9], b[10], b[11], b[12], b[13], b[14],
                b[15]);
  return text;
}

namespace {

// Days since 1970-01-01 to a civil date (proleptic Gregorian), after
// H. Hinnant's algorithm.
void civilFromDays(std::int64_t z, int& year, int& month, int& day) {
  z += 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const std::int64_t doe = z - era * 146097;
  const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const std::int64_t mp = (5 * doy + 2) / 153;
  day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  year = static_cast<int>(yoe + era * 400 + (month <= 2 ? 1 : 0));
}

constexpr std::int64_t kJetEpochFromUnix = -25569;  // 1899-12-30
constexpr double kFirstDay = -657434.0;             // 0100-01-01
constexpr double kLastDay = 2958466.0;              // 10000-01-01

}  // namespace

std::optional<CivilTime> civilTime(DateTime value) {
  const double d = value.days;
  if (!std::isfinite(d) || d <= kFirstDay - 1.0 || d >= kLastDay) return std::nullopt;
  // The integer part counts days; the fraction is always the time after
  // midnight, on either side of day zero.
  const double whole = std::trunc(d);
  auto days = static_cast<std::int64_t>(whole);
  auto ms = static_cast<std::int64_t>(std::llround(std::fabs(d - whole) * 86400000.0));
  if (ms >= 86400000) {
    ms -= 86400000;
    ++days;
  }
  CivilTime t;
  civilFromDays(days + kJetEpochFromUnix, t.year, t.month, t.day);
  if (t.year < 100 || t.year > 9999) return std::nullopt;
  t.hour = static_cast<int>(ms / 3600000);
  t.minute = static_cast<int>(ms / 60000 % 60);
  t.second = static_cast<int>(ms / 1000 % 60);
  t.millisecond = static_cast<int>(ms % 1000);
  return t;
}

std::string dateText(const CivilTime& t) {
  char text[40];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour,
                t.minute, t.second);
  std::string out = text;
  if (t.millisecond != 0) {
    std::snprintf(text, sizeof text, ".%03d", t.millisecond);
    out += text;
  }
  return out;
}

namespace {

template <typename T>
std::string shortest(T v) {
  char text[64];
  const auto r = std::to_chars(text, text + sizeof text, v);
  return std::string(text, r.ptr);
}

}  // namespace

std::string valueText(const Value& value) {
  return std::visit(
      [](const auto& x) -> std::string {
        using T = std::decay_t<decltype(x)>;
        if constexpr (std::is_same_v<T, std::monostate>) {
          return "Null";
        } else if constexpr (std::is_same_v<T, bool>) {
          return x ? "True" : "False";
        } else if constexpr (std::is_same_v<T, std::int32_t>) {
          return std::to_string(x);
        } else if constexpr (std::is_same_v<T, Currency>) {
          return currencyText(x);
        } else if constexpr (std::is_same_v<T, float> || std::is_same_v<T, double>) {
          return shortest(x);
        } else if constexpr (std::is_same_v<T, DateTime>) {
          const auto t = civilTime(x);
          return t ? dateText(*t) : "#" + shortest(x.days) + "#";
        } else if constexpr (std::is_same_v<T, std::string>) {
          std::string out = "\"";
          for (char c : x) {
            switch (c) {
              case '"': out += "\\\""; break;
              case '\\': out += "\\\\"; break;
              case '\n': out += "\\n"; break;
              case '\r': out += "\\r"; break;
              case '\t': out += "\\t"; break;
              default: out += c;
            }
          }
          return out + "\"";
        } else if constexpr (std::is_same_v<T, Bytes>) {
          static const char digits[] = "0123456789ABCDEF";
          std::string out = "0x";
          for (auto b : x) {
            out += digits[b >> 4];
            out += digits[b & 15];
          }
          return out;
        } else if constexpr (std::is_same_v<T, Guid>) {
          return guidText(x);
        } else {
          return decimalText(x);
        }
      },
      value);
}

}  // namespace mdbfile
