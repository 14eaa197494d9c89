// Contract: what a real Access file holds, read into plain values.
//
// What a writer may rely on:
//  - Every text (names, Text and Memo values, default values, the lines of
//    notCarried) is UTF-8, decoded as Jet stores it; nothing was replaced
//    by '?'.
//  - A row holds one Value per column of its table, in column order. Null
//    is std::monostate, distinct from "" and from 0.
//  - Each Value holds the alternative that its column's type names:
//    Boolean bool; Byte, Integer, Long (and Counter) std::int32_t; Currency
//    Currency; Single float; Double double; DateTime DateTime; Text and Memo
//    std::string; Binary and OLE Bytes; GUID Guid; Decimal Decimal. Only a
//    Boolean is never Null (Jet stores it in the null mask).
//  - Currency, DateTime and Decimal keep Jet's own bits: nothing was rounded
//    on the way, so a writer chooses its own exact conversion.
//  - Indexes name columns of their own table; a relation names tables and
//    columns of the model, its columns paired in key order.
//  - notCarried lists, one French line each, what the file holds and the
//    model does not (saved queries, linked tables, validation rules, forms,
//    columns of a type it cannot read ...). A model with an empty list is
//    the whole file as far as data goes.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace mdbfile {

// Jet's own type codes, as they stand in a table definition.
enum class JetType : std::uint8_t {
  Boolean = 0x01,
  Byte = 0x02,
  Integer = 0x03,
  Long = 0x04,
  Currency = 0x05,
  Single = 0x06,
  Double = 0x07,
  DateTime = 0x08,
  Binary = 0x09,
  Text = 0x0A,
  OLE = 0x0B,
  Memo = 0x0C,
  GUID = 0x0F,
  Decimal = 0x10,
};

// A Jet type code that the model knows.
bool isKnownType(std::uint8_t code);

struct Currency {
  std::int64_t tenThousandths = 0;  // the raw 64-bit value: 1.5 is 15000
  bool operator==(const Currency&) const = default;
};

// Days since 1899-12-30 as Jet stores them: the integer part counts days
// (negative before that day), the fraction is the time of day whatever the
// sign (-1.25 is 1899-12-29 06:00).
struct DateTime {
  double days = 0;
  bool operator==(const DateTime&) const = default;
};

struct Decimal {
  bool negative = false;
  std::uint8_t scale = 0;
  std::array<std::uint32_t, 4> magnitude{};  // little-endian words of the 128-bit integer
  bool operator==(const Decimal&) const = default;
};

struct Guid {
  std::array<std::uint8_t, 16> bytes{};  // as stored: the first three groups little-endian
  bool operator==(const Guid&) const = default;
};

using Bytes = std::vector<std::uint8_t>;

using Value = std::variant<std::monostate, bool, std::int32_t, Currency, float, double, DateTime,
                           std::string, Bytes, Guid, Decimal>;
using Row = std::vector<Value>;

struct Column {
  std::string name;
  JetType type = JetType::Long;
  int size = 0;         // characters for Text, bytes for Binary, 0 for the others
  int precision = 0;    // Decimal only
  int scale = 0;        // Decimal only
  bool autoNumber = false;  // a Long that Access numbers itself: Counter
  bool autoGuid = false;    // a GUID that Access fills itself
  bool required = false;
  std::optional<bool> allowZeroLength;      // Text and Memo, where the file says
  std::optional<std::string> defaultValue;  // the Access expression, as written
  bool operator==(const Column&) const = default;
};

struct IndexColumn {
  std::string column;
  bool descending = false;
  bool operator==(const IndexColumn&) const = default;
};

struct Index {
  std::string name;
  std::vector<IndexColumn> columns;  // in key order
  bool primary = false;
  bool unique = false;
  bool ignoreNulls = false;
  bool required = false;
  bool operator==(const Index&) const = default;
};

struct Table {
  std::string name;
  std::vector<Column> columns;
  std::vector<Index> indexes;  // the indexes a user made; not those Jet adds for a relation
  std::int64_t nextAutoNumber = 0;  // the next value of the Counter column; 0 without one
  std::vector<Row> rows;
  bool operator==(const Table&) const = default;
};

struct RelationColumn {
  std::string column;            // of the table that refers
  std::string referencedColumn;  // of the table referred to
  bool operator==(const RelationColumn&) const = default;
};

// One relation of MSysRelationships. Access enforces it unless the file says
// not to; a writer that enforces every relation must not enforce one that
// Access does not.
struct Relation {
  std::string name;
  std::string table;            // the referring (many) side
  std::string referencedTable;  // the referred (one) side
  std::vector<RelationColumn> columns;
  bool enforced = true;
  bool cascadeUpdates = false;
  bool cascadeDeletes = false;
  bool oneToOne = false;
  std::uint32_t flags = 0;  // grbit, for what the fields above do not say
  bool operator==(const Relation&) const = default;
};

// Fills the fields of `r` that its grbit says: 0x1 one-to-one, 0x2 not
// enforced, 0x100 cascading updates, 0x1000 cascading deletes.
void setRelationFlags(Relation& r, std::uint32_t grbit);

struct Database {
  int jetVersion = 4;      // 3 (Access 97) or 4 (Access 2000 to 2003)
  int codePage = 1252;     // the code page Jet 3 text was decoded with
  std::vector<Table> tables;
  std::vector<Relation> relations;
  std::vector<std::string> notCarried;
  bool operator==(const Database&) const = default;
};

// The type as Access spells it in DDL: "Text(50)", "Decimal(18,4)",
// "Counter", "Memo" ...
std::string typeName(const Column& column);

// Exact texts of the values whose bits the model keeps.
std::string currencyText(Currency value);         // "-12.3400": always four decimals
std::string decimalText(const Decimal& value);    // "-1.50" for scale 2: exactly `scale` decimals
std::string guidText(const Guid& value);          // "{6F9619FF-8B86-D011-B42D-00C04FC964FF}"

// A date of the civil calendar with its time to the millisecond.
struct CivilTime {
  int year = 1899, month = 12, day = 30;
  int hour = 0, minute = 0, second = 0, millisecond = 0;
  bool operator==(const CivilTime&) const = default;
};
// nullopt when the value lies outside what Access allows (years 100 to 9999)
// or is not a number.
std::optional<CivilTime> civilTime(DateTime value);
std::string dateText(const CivilTime& t);  // "1899-12-29 06:00:00", ".123" when milliseconds

// A value as support reads it: Null, True/False, numbers exactly (the
// shortest text that reads back as the same Single or Double), dates as
// above (the raw day count between # when out of range), text between
// double quotes with \" \\ \n \r \t escaped, bytes as 0x and hex.
std::string valueText(const Value& value);

}  // namespace mdbfile
