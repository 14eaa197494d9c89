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

void PutVarint(std::vector<char>& out, std::uint64_t v) {
  while (v >= 0x80) {
    out.push_back(static_cast<char>((v & 0x7F) | 0x80));
    v >>= 7;
  }
  out.push_back(static_cast<char>(v));
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

void Encode(std::vector<char>& out, const jetdb::Value& value) {
  out.push_back(static_cast<char>(value.kind));
  switch (value.kind) {
    case jetdb::Value::Kind::Null:
      break;
    case jetdb::Value::Kind::Integer:
    case jetdb::Value::Kind::DateTime:
      PutVarint(out, Zigzag(value.integer));
      break;
    case jetdb::Value::Kind::Double: {
      char bytes[sizeof(double)];
      std::memcpy(bytes, &value.real, sizeof bytes);
      out.insert(out.end(), bytes, bytes + sizeof bytes);
      break;
    }
    case jetdb::Value::Kind::Text:
    case jetdb::Value::Kind::Binary:
    case jetdb::Value::Kind::Decimal:
      PutVarint(out, value.text.size());
      out.insert(out.end(), value.text.begin(), value.text.end());
      break;
  }
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

void CRecordset::RowStore::Pack(const std::vector<jetdb::Value>& values, Entry& entry) {
  m_scratch.clear();
  PutVarint(m_scratch, values.size());
  for (const jetdb::Value& value : values) Encode(m_scratch, value);
  Store(entry);
}

void CRecordset::RowStore::Store(Entry& entry) {
  const std::size_t bytes = m_scratch.size();
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
  std::memcpy(m_blocks.back().get() + m_used, m_scratch.data(), bytes);
  entry.block = static_cast<std::uint32_t>(m_blocks.size() - 1);
  entry.offset = static_cast<std::uint32_t>(m_used) & 0x7FFFFFFFu;
  m_used += bytes;
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
  m_scratch.clear();
  PutVarint(m_scratch, count);
  for (std::size_t i = 0; i < count; ++i) Encode(m_scratch, query.value(i));
  Store(entry);
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
