#include "platform/db_time.h"

CTime::CTime(int year, int month, int day, int hour, int minute, int second) {
  std::tm tm{};
  tm.tm_year = year - 1900;
  tm.tm_mon = month - 1;
  tm.tm_mday = day;
  tm.tm_hour = hour;
  tm.tm_min = minute;
  tm.tm_sec = second;
  tm.tm_isdst = -1;  // let the zone's rules decide, as the original does
  m_time = std::mktime(&tm);
}

CTime CTime::GetCurrentTime() { return CTime(std::time(nullptr)); }

std::tm CTime::Local() const {
  std::tm tm{};
  localtime_r(&m_time, &tm);
  return tm;
}

int CTime::GetYear() const { return Local().tm_year + 1900; }
int CTime::GetDay() const { return Local().tm_mday; }
int CTime::GetHour() const { return Local().tm_hour; }

std::int64_t ToDriverSeconds(const CTime& time) {
  std::time_t t = time.GetTime();
  std::tm tm{};
  localtime_r(&t, &tm);
  return static_cast<std::int64_t>(timegm(&tm));
}

CTime FromDriverSeconds(std::int64_t seconds) {
  std::time_t t = static_cast<std::time_t>(seconds);
  std::tm tm{};
  gmtime_r(&t, &tm);
  tm.tm_isdst = -1;
  return CTime(std::mktime(&tm));
}
