// The record set's private pieces that its sources share.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

#include "jetdb/jetdb.h"
#include "platform/recordset.h"

// The rows of the snapshot, as the driver gave them (or as this set last
// wrote them), packed one after another into large blocks: a set over a
// table of a million rows holds them in about the bytes of their values,
// not in one heap string and one value object per column. A row is
// unpacked when the set reaches it.
class CRecordset::RowStore {
 public:
  std::size_t size() const { return m_entries.size(); }
  bool empty() const { return m_entries.empty(); }
  void clear();

  void Append(jetdb::RowId id, const std::vector<jetdb::Value>& values);
  // The current row of `query`, its first `count` columns.
  void Append(const jetdb::Query& query, std::size_t count);
  jetdb::RowId Id(std::size_t row) const { return m_entries[row].id; }
  bool Deleted(std::size_t row) const { return m_entries[row].deleted != 0; }
  void MarkDeleted(std::size_t row) { m_entries[row].deleted = 1; }
  // The values of a row, in column order, into those `values` holds (their
  // texts keep their buffers).
  void Read(std::size_t row, std::vector<jetdb::Value>& values) const;
  // A row's new values; the old bytes stay unused in their block.
  void Replace(std::size_t row, const std::vector<jetdb::Value>& values);

 private:
  // Sixteen bytes a row: a block holds at most 2^31 bytes.
  struct Entry {
    jetdb::RowId id = 0;
    std::uint32_t block = 0;
    std::uint32_t offset : 31 = 0;
    std::uint32_t deleted : 1 = 0;
  };
  // Packs values at the end of the last block (a new one when they do not
  // fit) and tells where.
  void Pack(const std::vector<jetdb::Value>& values, Entry& entry);
  // The same for `count` values, the i-th given by value(i).
  template <class Get>
  void PackWith(std::size_t count, Get value, Entry& entry);
  // Where a row of at most `bytes` goes, told in `entry`: the end of the
  // last block, or a new block.
  char* Room(std::size_t bytes, Entry& entry);

  std::deque<Entry> m_entries;  // grows without moving what it holds
  std::vector<std::unique_ptr<char[]>> m_blocks;
  std::size_t m_blockSize = 0;  // of the last block
  std::size_t m_used = 0;       // bytes used in the last block
};

struct CRecordset::FieldState {
  bool null = false;         // the field's Null status: read, set, or a new row's
  bool forceDirty = false;   // SetFieldDirty: written by the next Update
  bool forceNull = false;    // SetFieldNull: written as Null by the next Update
  jetdb::Value atEdit;       // the member's value when Edit began
};

// An error that the framework finds itself.
[[noreturn]] void ThrowFrameworkError(RETCODE code, const char* message);
