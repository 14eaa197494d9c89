// The date functions (Year, DateAdd, DateDiff, DatePart...) and Format's
// entry, over the calendar arithmetic of dates.h. A date argument is read
// with dateOf, so that a serial number or a French text counts as a date
// wherever Access takes one.
#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>

#include "builtin_args.h"

namespace jetdb::fn {
namespace {

Value part(const Args& a, int dates::Civil::*field) {
  if (a.null(0)) return Value::null();
  return Value::of((dates::split(a.date(0)).*field));
}

// The first day of the week: 1 Sunday (Access's default) .. 7 Saturday; 0,
// "the system's", is Monday in French conventions.
int firstDay(const Args& a, int i) {
  if (!a.has(i) || a.null(i)) return 1;
  const std::int64_t f = a.whole(i);
  if (f < 0 || f > 7) raise(5);
  return f == 0 ? 2 : static_cast<int>(f);
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

std::int64_t dayNumber(std::int64_t seconds) { return dates::floorDiv(seconds, dates::kDay); }

}  // namespace

Value nowOf(const Args&) { return Value::dateTime(dates::now()); }
Value today(const Args&) { return Value::dateTime(dates::floorDiv(dates::now(), dates::kDay) * dates::kDay); }
Value timeOf(const Args&) {
  const std::int64_t n = dates::now();
  return Value::dateTime(dates::kSerialZero + n - dates::floorDiv(n, dates::kDay) * dates::kDay);
}
Value year(const Args& a) {
  return a.null(0) ? Value::null() : Value::of(static_cast<std::int64_t>(dates::split(a.date(0)).year));
}
Value month(const Args& a) { return part(a, &dates::Civil::month); }
Value day(const Args& a) { return part(a, &dates::Civil::day); }
Value hour(const Args& a) { return part(a, &dates::Civil::hour); }
Value minute(const Args& a) { return part(a, &dates::Civil::minute); }
Value second(const Args& a) { return part(a, &dates::Civil::second); }
Value weekdayOf(const Args& a) {
  if (a.null(0)) return Value::null();
  return Value::of(dates::weekday(a.date(0), firstDay(a, 1)));
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
}  // namespace jetdb::fn
