// The calendar arithmetic of the date functions. A date is what the driver
// stores: seconds since 1970-01-01 00:00:00, no time zone. Access keeps a
// date as a number of days since 1899-12-30 (its "serial"), which is what a
// date becomes when a function reads it as a number, and a number when it
// reads it as a date.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace jetdb::dates {

inline constexpr std::int64_t kDay = 86400;
// 1899-12-30, day 0 of Access's serial dates, which a time alone sits on.
inline constexpr std::int64_t kSerialZero = -25569 * kDay;
// The years Access accepts in a date.
inline constexpr std::int64_t kMinYear = 100;
inline constexpr std::int64_t kMaxYear = 9999;

struct Civil {
  std::int64_t year = 1970;
  int month = 1, day = 1, hour = 0, minute = 0, second = 0;
};

std::int64_t floorDiv(std::int64_t a, std::int64_t b);
// Days since 1970-01-01 of a date whose month and day may lie outside their
// range: they roll over into the next or previous months and years, as
// DateSerial's do.
std::int64_t daysOf(std::int64_t year, std::int64_t month, std::int64_t day);
Civil split(std::int64_t seconds);
std::int64_t join(const Civil& c);
bool inRange(std::int64_t seconds);
// 1 (Sunday) to 7, or counted from `firstDay` (1 = Sunday .. 7 = Saturday).
int weekday(std::int64_t seconds, int firstDay = 1);
int daysInMonth(std::int64_t year, int month);

// The serial of a date and the date of a serial (days before 1899-12-30
// carry their time as a negative fraction: -1.25 is 1899-12-29 06:00).
double toSerial(std::int64_t seconds);
std::optional<std::int64_t> fromSerial(double serial);

// A date or a time written as French users write them: "25/12/2020",
// "25/12/2020 14:30", "2020-12-25", "14:30:05" (on 1899-12-30), two-digit
// years as Access reads them (00-29: 2000s, 30-99: 1900s).
std::optional<std::int64_t> parse(std::string_view text);

// The current local date and time.
std::int64_t now();

}  // namespace jetdb::dates
