// The model on a pipe: how the reading child hands a file's content to its
// parent.
//
// Format, version 1, little-endian: the magic "MDBM" and a u32 version,
// then records, each a tag byte and its fields:
//   'B' u8 jetVersion, u16 codePage                      first, once
//   'T' table: str name, i64 nextAutoNumber, u16 columns, each: str name,
//       u8 type, u32 size, u8 precision, u8 scale, u8 flags (1 Counter,
//       2 auto GUID, 4 required, 8 allow-zero-length known, 16 allowed,
//       32 default follows) [str default]; u16 indexes, each: str name,
//       u8 flags (1 primary, 2 unique, 4 ignore nulls, 8 required),
//       u8 keys, each: u16 column, u8 descending
//   'R' row of the last table: one value a column, a tag byte first:
//       0 Null, 1 false, 2 true, 3 i32, 4 Currency i64, 5 f32, 6 f64,
//       7 DateTime f64, 8 text str, 9 bytes str, 10 GUID 16 bytes,
//       11 Decimal u8 negative, u8 scale, 4 x u32
//   'L' relation: str name, str table, str referencedTable, u32 grbit,
//       u16 pairs, each: str column, str referencedColumn
//   'N' str: a line of what cannot be carried
//   'X' str: the reading failed, with this French line; last
//   'E' u64 tables, u64 rows: the reading is complete; last
// where str is a u32 byte count and the bytes.
//
// The parent trusts nothing of it: every count and length is checked against
// what the format allows and what is left of the stream's budget before
// anything is kept, text must be UTF-8, every value must be of its column's
// type, and an index or relation must name columns that exist.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "access/sink.h"

namespace mdbfile {

constexpr std::uint32_t kStreamVersion = 1;

// Writes the records to `write`, which takes bytes and returns false when
// they could not go (the writer then stops writing).
class StreamWriter : public Sink {
 public:
  using Write = std::function<bool(const std::uint8_t*, std::size_t)>;
  explicit StreamWriter(Write write);
  ~StreamWriter() override;
  void begin(int jetVersion, int codePage) override;
  void table(const Table& definition) override;
  void row(Row row) override;
  void relation(const Relation& relation) override;
  void notCarried(const std::string& line) override;
  void fail(const std::string& line);
  void end();
  bool flush();

 private:
  void u8(std::uint32_t v) { m_buffer.push_back(static_cast<std::uint8_t>(v)); }
  void uint(std::uint64_t v, int bytes);
  void str(const std::string& s);
  void bytes(const std::uint8_t* p, std::size_t n);
  void maybeFlush();
  Write m_write;
  std::vector<std::uint8_t> m_buffer;
  std::vector<Column> m_columns;
  std::uint64_t m_tables = 0;
  std::uint64_t m_rows = 0;
  bool m_ok = true;
};

// Where the decoder takes its bytes: fills `out` with exactly `n` bytes, or
// returns false (end of stream, time out ...).
using ByteSource = std::function<bool(std::uint8_t* out, std::size_t n)>;

struct StreamResult {
  bool complete = false;   // an 'E' record closed a valid stream
  std::string error;       // otherwise why: the child's own line, or what was wrong
};

// Reads records into `sink` until the stream ends; never keeps more than
// `budget` bytes of the stream's content.
StreamResult decodeStream(const ByteSource& source, std::uint64_t budget, Sink& sink);

}  // namespace mdbfile
