#include "platform/field_value.h"

#include <cmath>
#include <cstring>
#include <limits>

#include "platform/database.h"
#include "platform/db_time.h"
#include "platform/text.h"

namespace rfx {
namespace {

// Pseudo-nulls: values that a caller does not write by chance. A BYTE has
// no value to spare: 0xA5 is one that no reference table uses (SetFieldDirty
// forces it to be written should one ever need it).
constexpr LONG kLongPseudoNull = 0x4A4D4120;
constexpr BYTE kBytePseudoNull = 0xA5;
constexpr BOOL kBoolPseudoNull = 2;
constexpr std::uint64_t kDoublePseudoNullBits = 0x7FF8'4A4D'4120'0000ULL;  // a quiet NaN
constexpr std::time_t kDatePseudoNull = std::numeric_limits<std::time_t>::min();
constexpr char kTextPseudoNull[] = "\x01<pseudo-null>\x01";

template <typename T>
T& As(const FieldBinding& field) {
  return *static_cast<T*>(field.member);
}

double DoublePseudoNull() {
  double d;
  std::memcpy(&d, &kDoublePseudoNullBits, sizeof d);
  return d;
}

bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

CDBException FieldError(const char* state, const char* what, const std::string& column) {
  CString message;
  message.Format("%s pour la colonne %s.", what, column.c_str());
  CString origin;
  origin.Format("State:%s,Native:0,Origin:[MFC]", state);
  return CDBException(SQL_ERROR, message, origin);
}

CDBException WrongKind(const std::string& column) {
  return FieldError("07006", "Type de données incompatible avec le membre lié", column);
}

std::int64_t Integer(const std::string& column, const jetdb::Value& value, std::int64_t min, std::int64_t max) {
  // A floating column bound to an integer member converts as ODBC converts
  // it: the fraction is dropped (a warning there, not an error), and only a
  // value outside the member's range is refused. The label formats read
  // their FLOAT margins this way into long members.
  if (value.kind == jetdb::Value::Kind::Double) {
    const double whole = std::trunc(value.real);
    if (!(whole >= static_cast<double>(min) && whole <= static_cast<double>(max)))
      throw FieldError("22003", "Valeur numérique hors limites", column);
    return static_cast<std::int64_t>(whole);
  }
  if (value.kind != jetdb::Value::Kind::Integer) throw WrongKind(column);
  if (value.integer < min || value.integer > max)
    throw FieldError("22003", "Valeur numérique hors limites", column);
  return value.integer;
}

std::size_t CharacterCount(const std::string& text) {
  std::size_t n = 0;
  for (unsigned char c : text) n += (c & 0xC0) != 0x80;
  return n;
}

// The number of bytes of the first `count` UTF-8 characters.
std::size_t FirstCharactersBytes(const std::string& text, std::size_t count) {
  // No fewer bytes than characters: a text of at most `count` bytes is whole.
  if (text.size() <= count) return text.size();
  std::size_t seen = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80 && seen++ == count) return i;
  }
  return text.size();
}

}  // namespace

bool Load(const FieldBinding& field, const jetdb::Value& value) {
  const bool null = value.isNull();
  constexpr auto kIntMin = std::numeric_limits<std::int32_t>::min();
  constexpr auto kIntMax = std::numeric_limits<std::int32_t>::max();
  switch (field.kind) {
    case FieldKind::Long:
      As<LONG>(field) = null ? 0 : static_cast<LONG>(Integer(field.column, value, kIntMin, kIntMax));
      break;
    case FieldKind::Int:
      As<int>(field) = null ? 0 : static_cast<int>(Integer(field.column, value, kIntMin, kIntMax));
      break;
    case FieldKind::Byte:
      As<BYTE>(field) = null ? 0 : static_cast<BYTE>(Integer(field.column, value, 0, 255));
      break;
    case FieldKind::Bool:
      As<BOOL>(field) = null ? FALSE : (Integer(field.column, value, std::numeric_limits<std::int64_t>::min(),
                                                std::numeric_limits<std::int64_t>::max()) != 0);
      break;
    case FieldKind::Double:
      if (null) As<double>(field) = 0.0;
      else if (value.kind == jetdb::Value::Kind::Double) As<double>(field) = value.real;
      else if (value.kind == jetdb::Value::Kind::Integer) As<double>(field) = static_cast<double>(value.integer);
      else throw WrongKind(field.column);
      break;
    case FieldKind::Date:
      if (!null && value.kind != jetdb::Value::Kind::DateTime) throw WrongKind(field.column);
      As<CTime>(field) = null ? CTime(0) : FromDriverSeconds(value.integer);
      break;
    case FieldKind::Text:
      if (!null && value.kind != jetdb::Value::Kind::Text) throw WrongKind(field.column);
      // Into the member's own buffer: a set moving over a table loads a
      // text per row into the same members.
      if (null) As<CString>(field).Empty();
      else
        As<CString>(field).SetString(
            value.text.data(),
            static_cast<int>(FirstCharactersBytes(value.text, static_cast<std::size_t>(field.maxLength))));
      break;
  }
  return null;
}

jetdb::Value Current(const FieldBinding& field) {
  switch (field.kind) {
    case FieldKind::Long: return jetdb::Value::of(static_cast<std::int64_t>(As<LONG>(field)));
    case FieldKind::Int: return jetdb::Value::of(static_cast<std::int64_t>(As<int>(field)));
    case FieldKind::Byte: return jetdb::Value::of(static_cast<std::int64_t>(As<BYTE>(field)));
    case FieldKind::Bool: return jetdb::Value::of(static_cast<std::int64_t>(As<BOOL>(field) ? -1 : 0));
    case FieldKind::Double: return jetdb::Value::of(As<double>(field));
    case FieldKind::Date: return jetdb::Value::dateTime(ToDriverSeconds(As<CTime>(field)));
    case FieldKind::Text: return jetdb::Value::of(As<CString>(field).str());
  }
  return {};
}

void CurrentInto(const FieldBinding& field, jetdb::Value& out) {
  if (field.kind == FieldKind::Text) {
    out.kind = jetdb::Value::Kind::Text;
    out.integer = 0;
    out.real = 0;
    out.text.assign(As<CString>(field).str());
    return;
  }
  const jetdb::Value value = Current(field);  // no text of its own
  out.kind = value.kind;
  out.integer = value.integer;
  out.real = value.real;
  out.text.clear();
}

jetdb::Value ForWrite(const FieldBinding& field) {
  if (field.kind == FieldKind::Text &&
      CharacterCount(As<CString>(field).str()) > static_cast<std::size_t>(field.maxLength))
    throw FieldError("22001", "Données chaîne tronquées à droite", field.column);
  return Current(field);
}

void SetPseudoNull(const FieldBinding& field) {
  switch (field.kind) {
    case FieldKind::Long: As<LONG>(field) = kLongPseudoNull; break;
    case FieldKind::Int: As<int>(field) = kLongPseudoNull; break;
    case FieldKind::Byte: As<BYTE>(field) = kBytePseudoNull; break;
    case FieldKind::Bool: As<BOOL>(field) = kBoolPseudoNull; break;
    case FieldKind::Double: As<double>(field) = DoublePseudoNull(); break;
    case FieldKind::Date: As<CTime>(field) = CTime(kDatePseudoNull); break;
    case FieldKind::Text: As<CString>(field) = kTextPseudoNull; break;
  }
}

bool IsPseudoNull(const FieldBinding& field) {
  switch (field.kind) {
    case FieldKind::Long: return As<LONG>(field) == kLongPseudoNull;
    case FieldKind::Int: return As<int>(field) == kLongPseudoNull;
    case FieldKind::Byte: return As<BYTE>(field) == kBytePseudoNull;
    case FieldKind::Bool: return As<BOOL>(field) == kBoolPseudoNull;
    case FieldKind::Double: return SameBits(As<double>(field), DoublePseudoNull());
    case FieldKind::Date: return As<CTime>(field).GetTime() == kDatePseudoNull;
    case FieldKind::Text: return As<CString>(field) == kTextPseudoNull;
  }
  return false;
}

bool SameValue(const jetdb::Value& a, const jetdb::Value& b) {
  if (a.kind == jetdb::Value::Kind::Double && b.kind == jetdb::Value::Kind::Double) return SameBits(a.real, b.real) || a.real == b.real;
  return a == b;
}

void LoadBulk(const BulkBinding& field, std::size_t row, const jetdb::Value& value) {
  constexpr LONG kNullData = -1;  // SQL_NULL_DATA
  LONG& length = (*field.lengths)[row];
  LONG& target = (*field.values)[row];
  if (value.isNull()) {
    target = 0;
    length = kNullData;
    return;
  }
  const bool flag = field.kind == BulkKind::Bool;
  std::int64_t v = flag ? Integer(field.column, value, std::numeric_limits<std::int64_t>::min(),
                                  std::numeric_limits<std::int64_t>::max())
                        : Integer(field.column, value, std::numeric_limits<std::int32_t>::min(),
                                  std::numeric_limits<std::int32_t>::max());
  target = flag ? (v != 0 ? TRUE : FALSE) : static_cast<LONG>(v);
  length = sizeof(LONG);
}

}  // namespace rfx
