#include "import/column_plan.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <type_traits>
#include <variant>

namespace mdbimport {

namespace {

using mdbfile::JetType;

// The driver's type word for the Jet types it holds itself.
const char* driverType(JetType t, bool autoNumber) {
  switch (t) {
    case JetType::Boolean: return "BIT";
    case JetType::Byte: return "BYTE";
    case JetType::Integer: return "SHORT";
    case JetType::Long: return autoNumber ? "COUNTER" : "LONG";
    case JetType::Currency: return "CURRENCY";
    case JetType::Single: return "SINGLE";
    case JetType::Double: return "DOUBLE";
    case JetType::DateTime: return "DATETIME";
    case JetType::Text: return "TEXT";
    case JetType::Memo: return "MEMO";
    default: return nullptr;
  }
}

// A Decimal's text: a sign, `precision` digits and a point, or "0." before
// a fraction of `precision` digits.
int decimalTextSize(const mdbfile::Column& c) { return std::min(255, std::max(c.precision, 1) + 3); }

constexpr std::int64_t kExactCurrency = std::int64_t{1} << 53;  // ten-thousandths a Double holds exactly
constexpr std::int64_t kJetEpochSeconds = -25569LL * 86400;   // 1899-12-30 from 1970-01-01

}  // namespace

std::string bracketed(const std::string& name) { return "[" + name + "]"; }

ColumnPlan planColumn(const std::string& table, const mdbfile::Column& c) {
  ColumnPlan plan;
  std::string type;
  if (const char* word = driverType(c.type, c.autoNumber)) {
    type = word;
    if (c.type == JetType::Text) type += "(" + std::to_string(std::clamp(c.size, 1, 255)) + ")";
  } else {
    switch (c.type) {
      case JetType::GUID: type = "TEXT(38)"; break;
      case JetType::Decimal: type = "TEXT(" + std::to_string(decimalTextSize(c)) + ")"; break;
      default: type = "MEMO"; break;  // Binary, OLE
    }
    plan.typeNote = "Table « " + table + " », champ « " + c.name + " » : type " + mdbfile::typeName(c) +
                    " écrit en " + type +
                    (c.type == JetType::GUID      ? " (le GUID en texte)"
                     : c.type == JetType::Decimal ? " (le nombre exact en texte)"
                                                  : " (les octets en hexadécimal, 0x...)");
  }
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
          return jetdb::Value::of(mdbfile::decimalText(x));
        } else {  // Bytes, Guid
          return jetdb::Value::of(mdbfile::valueText(x));
        }
      },
      in);
}

}  // namespace mdbimport
