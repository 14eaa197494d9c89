#include "access/table_def.h"

#include <set>

#include "access/jet_text.h"

namespace mdbfile {

namespace {

// Bounds-checked little-endian reads over the definition's bytes: a read
// past the end marks the definition as bad instead of reading on.
class Cursor {
 public:
  explicit Cursor(const std::vector<std::uint8_t>& bytes) : m_bytes(bytes) {}
  bool ok() const { return m_ok; }
  size_t pos() const { return m_pos; }
  void seek(size_t pos) { m_pos = pos; }
  void skip(size_t n) { m_pos += n; }
  std::uint32_t u8() { return read(1); }
  std::uint32_t u16() { return read(2); }
  std::uint32_t u32() { return read(4); }
  const std::uint8_t* take(size_t n) {
    if (!m_ok || n > m_bytes.size() || m_pos > m_bytes.size() - n) {
      m_ok = false;
      return nullptr;
    }
    const std::uint8_t* p = m_bytes.data() + m_pos;
    m_pos += n;
    return p;
  }

 private:
  std::uint32_t read(size_t n) {
    const std::uint8_t* p = take(n);
    if (p == nullptr) return 0;
    std::uint32_t v = 0;
    for (size_t i = n; i-- > 0;) v = (v << 8) | p[i];
    return v;
  }
  const std::vector<std::uint8_t>& m_bytes;
  size_t m_pos = 0;
  bool m_ok = true;
};

// The definition's pages joined: the first whole, the next ones (linked by
// the word at offset 4) without their 8-byte header.
std::optional<std::vector<std::uint8_t>> joinPages(const std::vector<std::uint8_t>& file,
                                                   size_t pageSize, std::uint32_t page) {
  std::vector<std::uint8_t> bytes;
  std::set<std::uint32_t> seen;
  while (page != 0) {
    const std::uint64_t start = static_cast<std::uint64_t>(page) * pageSize;
    if (start + pageSize > file.size() || !seen.insert(page).second || seen.size() > 256) {
      return std::nullopt;
    }
    const std::uint8_t* p = file.data() + start;
    if (p[0] != 0x02) return std::nullopt;  // not a definition page
    bytes.insert(bytes.end(), p + (bytes.empty() ? 0 : 8), p + pageSize);
    page = p[4] | (p[5] << 8) | (p[6] << 16) | (static_cast<std::uint32_t>(p[7]) << 24);
  }
  return bytes;
}

std::string readName(Cursor& c, int jetVersion, int codePage) {
  const size_t length = jetVersion == 3 ? c.u8() : c.u16();
  const std::uint8_t* p = c.take(length);
  if (p == nullptr) return {};
  return jetVersion == 3 ? codePageText(p, length, codePage) : jet4Text(p, length);
}

struct Layout {
  size_t rowCount, autoNumber, numCols, numIdx, numRealIdx, header;
  size_t realIdxHeader, colEntry, colNumber, colFlags, colLength, colPrecision;
  size_t realIdxPrefix, realIdxFlags, realIdxEntry, logicalEntry, logicalPhysical, logicalType;
};
constexpr Layout kJet3{12, 16, 25, 27, 31, 43, 8, 18, 1, 13, 16, 9, 0, 38, 39, 20, 4, 19};
constexpr Layout kJet4{16, 20, 45, 47, 51, 63, 12, 25, 5, 15, 23, 11, 4, 46, 52, 28, 8, 23};

}  // namespace

std::optional<TableDef> readTableDef(const std::vector<std::uint8_t>& file, int jetVersion,
                                     std::uint32_t firstPage, int codePage) {
  const Layout& l = jetVersion == 3 ? kJet3 : kJet4;
  const auto bytes = joinPages(file, jetVersion == 3 ? 2048 : 4096, firstPage);
  if (!bytes) return std::nullopt;
  Cursor c(*bytes);
  TableDef def;
  c.seek(l.rowCount);
  def.rowCount = c.u32();
  c.seek(l.autoNumber);
  def.lastAutoNumber = c.u32();
  c.seek(l.numCols);
  const std::uint32_t numCols = c.u16();
  const std::uint32_t numIdx = c.u32();
  c.seek(l.numRealIdx);
  const std::uint32_t numRealIdx = c.u32();
  // Jet allows 255 columns and 32 indexes a table; more is a damaged page.
  if (!c.ok() || numCols > 256 || numIdx > 256 || numRealIdx > numIdx) return std::nullopt;
  c.seek(l.header + numRealIdx * l.realIdxHeader);

  for (std::uint32_t i = 0; i < numCols; ++i) {
    const std::uint8_t* e = c.take(l.colEntry);
    if (e == nullptr) return std::nullopt;
    DefColumn col;
    col.type = e[0];
    col.number = e[l.colNumber] | (e[l.colNumber + 1] << 8);
    col.flags = e[l.colFlags];
    col.length = e[l.colLength] | (e[l.colLength + 1] << 8);
    col.precision = e[l.colPrecision];
    col.scale = e[l.colPrecision + 1];
    def.columns.push_back(col);
  }
  for (auto& col : def.columns) col.name = readName(c, jetVersion, codePage);

  struct Physical {
    std::vector<DefIndexColumn> columns;
    std::uint8_t flags = 0;
  };
  std::vector<Physical> physical(numRealIdx);
  for (auto& p : physical) {
    const std::uint8_t* e = c.take(l.realIdxEntry);
    if (e == nullptr) return std::nullopt;
    for (size_t k = 0; k < 10; ++k) {
      const std::uint8_t* key = e + l.realIdxPrefix + 3 * k;
      const int number = key[0] | (key[1] << 8);
      if (number != 0xFFFF) p.columns.push_back({number, key[2] != 0x01});
    }
    p.flags = e[l.realIdxFlags];
  }
  for (std::uint32_t i = 0; i < numIdx; ++i) {
    const std::uint8_t* e = c.take(l.logicalEntry);
    if (e == nullptr) return std::nullopt;
    const std::uint32_t which = e[l.logicalPhysical] | (e[l.logicalPhysical + 1] << 8) |
                                (e[l.logicalPhysical + 2] << 16) |
                                (static_cast<std::uint32_t>(e[l.logicalPhysical + 3]) << 24);
    if (which >= numRealIdx) return std::nullopt;
    DefIndex index;
    index.columns = physical[which].columns;
    index.flags = physical[which].flags;
    index.primary = e[l.logicalType] == 0x01;
    index.foreignKey = e[l.logicalType] == 0x02;
    def.indexes.push_back(index);
  }
  for (auto& index : def.indexes) index.name = readName(c, jetVersion, codePage);
  if (!c.ok()) return std::nullopt;
  return def;
}

}  // namespace mdbfile
