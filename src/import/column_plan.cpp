#include "import/column_plan.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <type_traits>
#include <variant>

namespace mdbimport {

namespace {

using mdbfile::JetType;

// The driver's type for each Jet type: the same type, its size, precision
// and scale kept within what Access itself allows.
std::string driverType(const mdbfile::Column& c) {
  switch (c.type) {
    case JetType::Boolean: return "BIT";
    case JetType::Byte: return "BYTE";
    case JetType::Integer: return "SHORT";
    case JetType::Long: return c.autoNumber ? "COUNTER" : "LONG";
    case JetType::Currency: return "CURRENCY";
    case JetType::Single: return "SINGLE";
    case JetType::Double: return "DOUBLE";
    case JetType::DateTime: return "DATETIME";
    case JetType::Text: return "TEXT(" + std::to_string(std::clamp(c.size, 1, 255)) + ")";
    case JetType::Memo: return "MEMO";
    case JetType::Binary: return "BINARY(" + std::to_string(std::clamp(c.size, 1, jetdb::kMaxBinary)) + ")";
    case JetType::OLE: return "LONGBINARY";
    case JetType::GUID: return "GUID";
    case JetType::Decimal: {
      const int precision = std::clamp(c.precision, 1, jetdb::kMaxPrecision);
      return "DECIMAL(" + std::to_string(precision) + "," + std::to_string(std::clamp(c.scale, 0, precision)) + ")";
    }
  }
  return "MEMO";
}

constexpr std::int64_t kExactCurrency = std::int64_t{1} << 53;  // ten-thousandths a Double holds exactly
constexpr std::int64_t kJetEpochSeconds = -25569LL * 86400;   // 1899-12-30 from 1970-01-01

}  // namespace

std::string bracketed(const std::string& name) { return "[" + name + "]"; }

ColumnPlan planColumn(const mdbfile::Column& c) {
  ColumnPlan plan;
  const std::string type = driverType(c);
  plan.ddl = bracketed(c.name) + " " + type;
  if (c.required && c.type != JetType::Boolean) plan.ddl += " NOT NULL";
  if (c.defaultValue) {
    const std::string& d = *c.defaultValue;
    const auto from = d.find_first_not_of(" =");
    if (from != std::string::npos) plan.defaultText = d.substr(from);
  }
  return plan;
}

jetdb::Value convert(const mdbfile::Value& in, Change& change) {
  change = Change::None;
  return std::visit(
      [&](const auto& x) -> jetdb::Value {
        using T = std::decay_t<decltype(x)>;
        if constexpr (std::is_same_v<T, std::monostate>) {
          return jetdb::Value::null();
        } else if constexpr (std::is_same_v<T, bool>) {
          return jetdb::Value::of(x ? -1 : 0);
        } else if constexpr (std::is_same_v<T, std::int32_t>) {
          return jetdb::Value::of(static_cast<std::int64_t>(x));
        } else if constexpr (std::is_same_v<T, float> || std::is_same_v<T, double>) {
          if (!std::isfinite(x)) {
            change = Change::NotANumber;
            return jetdb::Value::null();
          }
          return jetdb::Value::of(static_cast<double>(x));
        } else if constexpr (std::is_same_v<T, mdbfile::Currency>) {
          // Within 2^53 ten-thousandths the quotient is the Double nearest
          // the amount, and the driver's rounding to four decimals gives the
          // same ten-thousandths back.
          if (x.tenThousandths >= kExactCurrency || x.tenThousandths <= -kExactCurrency) change = Change::Currency;
          return jetdb::Value::of(static_cast<double>(x.tenThousandths) / 10000.0);
        } else if constexpr (std::is_same_v<T, mdbfile::DateTime>) {
          if (!mdbfile::civilTime(x)) {
            change = Change::DateOutOfRange;
            return jetdb::Value::null();
          }
          // As civilTime reads it: whole days, then the time after midnight
          // on either side of day zero; the driver keeps whole seconds.
          const double whole = std::trunc(x.days);
          auto ms = std::llround(std::fabs(x.days - whole) * 86400000.0);
          if (ms % 1000 != 0) change = Change::Milliseconds;
          const auto seconds = static_cast<std::int64_t>(whole) * 86400 + (ms + 500) / 1000 + kJetEpochSeconds;
          return jetdb::Value::dateTime(seconds);
        } else if constexpr (std::is_same_v<T, std::string>) {
          return jetdb::Value::of(x);
        } else if constexpr (std::is_same_v<T, mdbfile::Decimal>) {
          return jetdb::Value::of(mdbfile::decimalText(x));  // its exact digits, which the driver keeps
        } else if constexpr (std::is_same_v<T, mdbfile::Guid>) {
          return jetdb::Value::bytes(std::string(x.bytes.begin(), x.bytes.end()));  // Windows' layout, as stored
        } else {  // Bytes
          return jetdb::Value::bytes(std::string(x.begin(), x.end()));
        }
      },
      in);
}

}  // namespace mdbimport
