#include "dates.h"

#include <cctype>
#include <cmath>
#include <ctime>
#include <string>
#include <vector>

namespace jetdb::dates {

std::int64_t floorDiv(std::int64_t a, std::int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

std::int64_t daysOf(std::int64_t year, std::int64_t month, std::int64_t day) {
  year += floorDiv(month - 1, 12);
  month = month - 1 - floorDiv(month - 1, 12) * 12 + 1;
  std::int64_t y = year - (month <= 2);
  const std::int64_t era = floorDiv(y, 400);
  const std::int64_t yoe = y - era * 400;
  const std::int64_t doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5;
  const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468 + day - 1;
}

Civil split(std::int64_t seconds) {
  Civil c;
  std::int64_t z = floorDiv(seconds, kDay);
  std::int64_t rest = seconds - z * kDay;
  c.hour = static_cast<int>(rest / 3600);
  c.minute = static_cast<int>(rest / 60 % 60);
  c.second = static_cast<int>(rest % 60);
  z += 719468;
  const std::int64_t era = floorDiv(z, 146097);
  const std::int64_t doe = z - era * 146097;
  const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const std::int64_t mp = (5 * doy + 2) / 153;
  c.day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  c.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  c.year = yoe + era * 400 + (c.month <= 2);
  return c;
}

std::int64_t join(const Civil& c) {
  return daysOf(c.year, c.month, c.day) * kDay + c.hour * 3600 + c.minute * 60 + c.second;
}

bool inRange(std::int64_t seconds) {
  const std::int64_t y = split(seconds).year;
  return y >= kMinYear && y <= kMaxYear;
}

int weekday(std::int64_t seconds, int firstDay) {
  // 1970-01-01 was a Thursday, day 5 counted from Sunday.
  const int sunday = static_cast<int>(floorDiv(seconds, kDay) + 4 - floorDiv(floorDiv(seconds, kDay) + 4, 7) * 7) + 1;
  return (sunday - firstDay + 7) % 7 + 1;
}

int daysInMonth(std::int64_t year, int month) {
  return static_cast<int>(daysOf(year, month + 1, 1) - daysOf(year, month, 1));
}

double toSerial(std::int64_t seconds) {
  const std::int64_t days = floorDiv(seconds - kSerialZero, kDay);
  const double fraction = static_cast<double>(seconds - kSerialZero - days * kDay) / kDay;
  return days < 0 ? static_cast<double>(days) - fraction : static_cast<double>(days) + fraction;
}

std::optional<std::int64_t> fromSerial(double serial) {
  if (!std::isfinite(serial) || std::fabs(serial) > 3.0e6) return std::nullopt;
  const double days = std::trunc(serial);
  const double fraction = std::fabs(serial - days);
  const auto s = kSerialZero + static_cast<std::int64_t>(days) * kDay + std::llround(fraction * kDay);
  if (!inRange(s)) return std::nullopt;
  return s;
}

namespace {

std::int64_t fullYear(std::int64_t y, std::size_t digits) {
  if (digits <= 2) return y < 30 ? 2000 + y : 1900 + y;
  return y;
}

// Numbers of a date or time, with the separator that followed each.
struct Part {
  std::int64_t value;
  std::size_t digits;
  char after;
};

}  // namespace

std::optional<std::int64_t> parse(std::string_view text) {
  std::vector<Part> parts;
  std::size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  while (i < text.size()) {
    if (!std::isdigit(static_cast<unsigned char>(text[i]))) return std::nullopt;
    Part p{0, 0, 0};
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])) && p.digits < 6)
      p.value = p.value * 10 + (text[i++] - '0'), ++p.digits;
    if (i < text.size()) {
      p.after = text[i++];
      if (p.after == ' ' || p.after == 'T')
        while (i < text.size() && text[i] == ' ') ++i;
      if (p.after != '/' && p.after != '-' && p.after != '.' && p.after != ':' && p.after != ' ' && p.after != 'T')
        return std::nullopt;
    }
    parts.push_back(p);
  }
  Civil c{1899, 12, 30};
  std::size_t k = 0;
  if (parts.size() >= 3 && parts[0].after != ':') {
    if (parts[0].after != parts[1].after) return std::nullopt;
    if (parts[0].digits == 4) {
      c.year = parts[0].value, c.month = static_cast<int>(parts[1].value), c.day = static_cast<int>(parts[2].value);
    } else {
      c.day = static_cast<int>(parts[0].value), c.month = static_cast<int>(parts[1].value);
      c.year = fullYear(parts[2].value, parts[2].digits);
    }
    k = 3;
    if (k < parts.size() && parts[2].after != ' ' && parts[2].after != 'T') return std::nullopt;
  }
  if (k < parts.size()) {
    const std::size_t n = parts.size() - k;
    if (n < 2 || n > 3 || parts[k].after != ':' || (n == 3 && parts[k + 1].after != ':')) return std::nullopt;
    if (parts.back().after != 0) return std::nullopt;
    c.hour = static_cast<int>(parts[k].value);
    c.minute = static_cast<int>(parts[k + 1].value);
    c.second = n == 3 ? static_cast<int>(parts[k + 2].value) : 0;
  } else if (k == 0 || parts.back().after != 0) {
    return std::nullopt;
  }
  if (c.month < 1 || c.month > 12 || c.day < 1 || c.day > daysInMonth(c.year, c.month) || c.hour > 23 ||
      c.minute > 59 || c.second > 59 || c.year < kMinYear || c.year > kMaxYear)
    return std::nullopt;
  return join(c);
}

std::int64_t now() {
  const std::time_t t = std::time(nullptr);
  std::tm local{};
  localtime_r(&t, &local);
  return join(Civil{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec});
}

}  // namespace jetdb::dates
