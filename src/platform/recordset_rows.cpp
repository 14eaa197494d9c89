// The packed rows of a record set's snapshot. Each value is a kind byte
// followed by its payload: integers and dates as zigzag varints, doubles
// as their eight bytes, texts as a varint length and their bytes.
#include <algorithm>
#include <cstring>

#include "platform/recordset_rows.h"

namespace {

// The first block is small, since most sets are a seek that finds one row
// and a run opens hundreds of thousands of them; each next one doubles, up
// to a mebibyte: few enough allocations that their bookkeeping is nothing
// beside a large table's rows, small enough that the last one wastes little.
constexpr std::size_t kFirstBlockBytes = 256;
constexpr std::size_t kMaxBlockBytes = std::size_t{1} << 20;

// Writers into a buffer sized beforehand (see Bound): a row is packed
// without a capacity check per byte.
char* PutVarint(char* out, std::uint64_t v) {
  while (v >= 0x80) {
    *out++ = static_cast<char>((v & 0x7F) | 0x80);
    v >>= 7;
  }
  *out++ = static_cast<char>(v);
  return out;
}

std::uint64_t GetVarint(const char*& p) {
  std::uint64_t v = 0;
  for (int shift = 0;; shift += 7) {
    const auto byte = static_cast<unsigned char>(*p++);
    v |= static_cast<std::uint64_t>(byte & 0x7F) << shift;
    if ((byte & 0x80) == 0) return v;
  }
}

std::uint64_t Zigzag(std::int64_t v) {
  return (static_cast<std::uint64_t>(v) << 1) ^ static_cast<std::uint64_t>(v >> 63);
}

std::int64_t Unzigzag(std::uint64_t v) {
  return static_cast<std::int64_t>(v >> 1) ^ -static_cast<std::int64_t>(v & 1);
}

// The most bytes Encode writes for `value`: its kind, a varint of at most
// ten bytes, and a text's bytes.
constexpr std::size_t kMaxVarintBytes = 10;
std::size_t Bound(const jetdb::Value& value) { return 1 + kMaxVarintBytes + value.text.size(); }

char* Encode(char* out, const jetdb::Value& value) {
  *out++ = static_cast<char>(value.kind);
  switch (value.kind) {
    case jetdb::Value::Kind::Null:
      break;
    case jetdb::Value::Kind::Integer:
    case jetdb::Value::Kind::DateTime:
      out = PutVarint(out, Zigzag(value.integer));
      break;
    case jetdb::Value::Kind::Double:
      std::memcpy(out, &value.real, sizeof(double));
      out += sizeof(double);
      break;
    case jetdb::Value::Kind::Text:
    case jetdb::Value::Kind::Binary:
    case jetdb::Value::Kind::Decimal:
      out = PutVarint(out, value.text.size());
      std::memcpy(out, value.text.data(), value.text.size());
      out += value.text.size();
      break;
  }
  return out;
}

// Every member is set, as a new value would have it: values are compared
// whole (what Edit saw against what Update writes).
void Decode(const char*& p, jetdb::Value& value) {
  value.kind = static_cast<jetdb::Value::Kind>(*p++);
  value.integer = 0;
  value.real = 0;
  switch (value.kind) {
    case jetdb::Value::Kind::Null:
      value.text.clear();
      break;
    case jetdb::Value::Kind::Integer:
    case jetdb::Value::Kind::DateTime:
      value.integer = Unzigzag(GetVarint(p));
      value.text.clear();
      break;
    case jetdb::Value::Kind::Double:
      std::memcpy(&value.real, p, sizeof(double));
      p += sizeof(double);
      value.text.clear();
      break;
    case jetdb::Value::Kind::Text:
    case jetdb::Value::Kind::Binary:
    case jetdb::Value::Kind::Decimal: {
      const std::size_t size = GetVarint(p);
      value.text.assign(p, size);
      p += size;
      break;
    }
  }
}

}  // namespace

void CRecordset::RowStore::clear() {
  m_entries.clear();
  m_blocks.clear();
  m_blockSize = m_used = 0;
}

// Each row is encoded in place at the end of the last block; the block
// holds the most bytes it can take, and the bytes it did not take stay free.
template <class Get>
void CRecordset::RowStore::PackWith(std::size_t count, Get value, Entry& entry) {
  std::size_t bound = kMaxVarintBytes;
  for (std::size_t i = 0; i < count; ++i) bound += Bound(value(i));
  char* const start = Room(bound, entry);
  char* out = PutVarint(start, count);
  for (std::size_t i = 0; i < count; ++i) out = Encode(out, value(i));
  m_used += static_cast<std::size_t>(out - start);
}

void CRecordset::RowStore::Pack(const std::vector<jetdb::Value>& values, Entry& entry) {
  PackWith(values.size(), [&](std::size_t i) -> const jetdb::Value& { return values[i]; }, entry);
}

char* CRecordset::RowStore::Room(std::size_t bytes, Entry& entry) {
  // A row of more than 2 GB would not fit the offsets; the driver's rows
  // are far smaller.
  if (m_blocks.empty() || m_blockSize - m_used < bytes) {
    const std::size_t next =
        m_blocks.empty() ? kFirstBlockBytes : std::min(kMaxBlockBytes, 2 * m_blockSize);
    m_blockSize = std::max(next, bytes);
    // Every byte is written before it is read: no need to clear the block.
    m_blocks.push_back(std::make_unique_for_overwrite<char[]>(m_blockSize));
    m_used = 0;
  }
  entry.block = static_cast<std::uint32_t>(m_blocks.size() - 1);
  entry.offset = static_cast<std::uint32_t>(m_used) & 0x7FFFFFFFu;
  return m_blocks.back().get() + m_used;
}

void CRecordset::RowStore::Append(jetdb::RowId id, const std::vector<jetdb::Value>& values) {
  Entry entry;
  entry.id = id;
  Pack(values, entry);
  m_entries.push_back(entry);
}

void CRecordset::RowStore::Append(const jetdb::Query& query, std::size_t count) {
  Entry entry;
  entry.id = query.rowId();
  PackWith(count, [&](std::size_t i) -> const jetdb::Value& { return query.value(i); }, entry);
  m_entries.push_back(entry);
}

void CRecordset::RowStore::Read(std::size_t row, std::vector<jetdb::Value>& values) const {
  const Entry& entry = m_entries[row];
  const char* p = m_blocks[entry.block].get() + entry.offset;
  const std::size_t count = GetVarint(p);
  values.resize(count);
  for (jetdb::Value& value : values) Decode(p, value);
}

void CRecordset::RowStore::Replace(std::size_t row, const std::vector<jetdb::Value>& values) {
  Pack(values, m_entries[row]);
}
