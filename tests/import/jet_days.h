// A date of the driver (seconds since 1970) as Jet's day count: whole days
// since 1899-12-30, then the time after midnight, subtracted before day
// zero (-1.25 is 1899-12-29 06:00). For the tests that read a written file
// back into the model.
#pragma once

#include <cstdint>

#include "access/model.h"

inline mdbfile::DateTime jetDays(std::int64_t seconds) {
  const std::int64_t s = seconds + 25569LL * 86400;
  const std::int64_t day = s >= 0 ? s / 86400 : -((-s + 86399) / 86400);
  const double time = static_cast<double>(s - day * 86400) / 86400.0;
  return mdbfile::DateTime{day >= 0 ? static_cast<double>(day) + time : static_cast<double>(day) - time};
}
