// Contract: CTime, a moment to the second, as the record sets exchange it
// with date columns.
//
// What the system may rely on:
//  - CTime::GetCurrentTime() is now; CTime(year, month, day, hour, minute,
//    second) is that wall-clock moment in the local time zone; the Get...
//    accessors give the local wall-clock fields back; GetTime() the time_t.
//  - Access dates carry no time zone: they are the wall-clock local time of
//    whoever wrote them. The database driver stores a date as seconds since
//    1970-01-01 00:00:00 of that wall clock, so a CTime goes to the driver
//    as its local wall-clock fields counted as if they were UTC
//    (ToDriverSeconds), and a driver date comes back as that wall-clock time
//    in the local zone (FromDriverSeconds). A database date read and written
//    back is unchanged whatever TZ says. A wall-clock time that a daylight-
//    saving change skips or repeats maps to the time that mktime chooses.
// Differences from the original: time_t is 64 bits, so a CTime spans far
// more than 1970-2038 (any year from 100 to 9999 that Access can store);
// Format and time spans are not provided (the system does not use them).
#pragma once

#include <compare>
#include <cstdint>
#include <ctime>

class CTime {
 public:
  CTime() = default;
  explicit CTime(std::time_t time) : m_time(time) {}
  CTime(int year, int month, int day, int hour, int minute, int second);

  static CTime GetCurrentTime();

  std::time_t GetTime() const { return m_time; }
  int GetYear() const;
  int GetDay() const;
  int GetHour() const;

  friend auto operator<=>(const CTime&, const CTime&) = default;

 private:
  std::tm Local() const;
  std::time_t m_time = 0;
};

// The driver's date value (wall-clock seconds) of a CTime, and back.
std::int64_t ToDriverSeconds(const CTime& time);
CTime FromDriverSeconds(std::int64_t seconds);
