#include "access/stream.h"

#include <cstring>
#include <map>
#include <set>

namespace mdbfile {

namespace {

constexpr std::uint8_t kMagic[4] = {'M', 'D', 'B', 'M'};
constexpr std::size_t kFlushAt = 1 << 16;

template <typename T>
std::uint64_t bitsOf(T v) {
  std::uint64_t out = 0;
  std::memcpy(&out, &v, sizeof v);
  return out;
}

}  // namespace

StreamWriter::StreamWriter(Write write) : m_write(std::move(write)) {
  m_buffer.reserve(kFlushAt * 2);
  for (auto b : kMagic) u8(b);
  uint(kStreamVersion, 4);
}

StreamWriter::~StreamWriter() = default;

void StreamWriter::uint(std::uint64_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) m_buffer.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

void StreamWriter::bytes(const std::uint8_t* p, std::size_t n) {
  uint(n, 4);
  // A value larger than the buffer goes straight to the pipe.
  if (n > kFlushAt) {
    flush();
    if (m_ok && n > 0) m_ok = m_write(p, n);
    return;
  }
  m_buffer.insert(m_buffer.end(), p, p + n);
}

void StreamWriter::str(const std::string& s) {
  bytes(reinterpret_cast<const std::uint8_t*>(s.data()), s.size());
}

bool StreamWriter::flush() {
  if (m_ok && !m_buffer.empty()) m_ok = m_write(m_buffer.data(), m_buffer.size());
  m_buffer.clear();
  return m_ok;
}

void StreamWriter::maybeFlush() {
  if (m_buffer.size() >= kFlushAt) flush();
}

void StreamWriter::begin(int jetVersion, int codePage) {
  u8('B');
  u8(static_cast<std::uint32_t>(jetVersion));
  uint(static_cast<std::uint64_t>(codePage), 2);
}

void StreamWriter::table(const Table& t) {
  u8('T');
  str(t.name);
  uint(static_cast<std::uint64_t>(t.nextAutoNumber), 8);
  uint(t.columns.size(), 2);
  for (const auto& c : t.columns) {
    str(c.name);
    u8(static_cast<std::uint32_t>(c.type));
    uint(static_cast<std::uint64_t>(c.size), 4);
    u8(static_cast<std::uint32_t>(c.precision));
    u8(static_cast<std::uint32_t>(c.scale));
    u8((c.autoNumber ? 1 : 0) | (c.autoGuid ? 2 : 0) | (c.required ? 4 : 0) |
       (c.allowZeroLength ? 8 : 0) | (c.allowZeroLength.value_or(false) ? 16 : 0) |
       (c.defaultValue ? 32 : 0));
    if (c.defaultValue) str(*c.defaultValue);
  }
  uint(t.indexes.size(), 2);
  for (const auto& index : t.indexes) {
    str(index.name);
    u8((index.primary ? 1 : 0) | (index.unique ? 2 : 0) | (index.ignoreNulls ? 4 : 0) |
       (index.required ? 8 : 0));
    u8(static_cast<std::uint32_t>(index.columns.size()));
    for (const auto& k : index.columns) {
      std::size_t at = 0;
      while (at < t.columns.size() && t.columns[at].name != k.column) ++at;
      uint(at, 2);
      u8(k.descending ? 1 : 0);
    }
  }
  ++m_tables;
  maybeFlush();
}

void StreamWriter::row(Row row) {
  u8('R');
  for (const auto& v : row) {
    std::visit(
        [&](const auto& x) {
          using T = std::decay_t<decltype(x)>;
          if constexpr (std::is_same_v<T, std::monostate>) {
            u8(0);
          } else if constexpr (std::is_same_v<T, bool>) {
            u8(x ? 2 : 1);
          } else if constexpr (std::is_same_v<T, std::int32_t>) {
            u8(3);
            uint(static_cast<std::uint32_t>(x), 4);
          } else if constexpr (std::is_same_v<T, Currency>) {
            u8(4);
            uint(static_cast<std::uint64_t>(x.tenThousandths), 8);
          } else if constexpr (std::is_same_v<T, float>) {
            u8(5);
            uint(bitsOf(x), 4);
          } else if constexpr (std::is_same_v<T, double>) {
            u8(6);
            uint(bitsOf(x), 8);
          } else if constexpr (std::is_same_v<T, DateTime>) {
            u8(7);
            uint(bitsOf(x.days), 8);
          } else if constexpr (std::is_same_v<T, std::string>) {
            u8(8);
            str(x);
          } else if constexpr (std::is_same_v<T, Bytes>) {
            u8(9);
            bytes(x.data(), x.size());
          } else if constexpr (std::is_same_v<T, Guid>) {
            u8(10);
            m_buffer.insert(m_buffer.end(), x.bytes.begin(), x.bytes.end());
          } else {
            static_assert(std::is_same_v<T, Decimal>);
            u8(11);
            u8(x.negative ? 1 : 0);
            u8(x.scale);
            for (auto w : x.magnitude) uint(w, 4);
          }
        },
        v);
  }
  ++m_rows;
  maybeFlush();
}

void StreamWriter::relation(const Relation& r) {
  u8('L');
  str(r.name);
  str(r.table);
  str(r.referencedTable);
  uint(r.flags, 4);
  uint(r.columns.size(), 2);
  for (const auto& c : r.columns) {
    str(c.column);
    str(c.referencedColumn);
  }
  maybeFlush();
}

void StreamWriter::notCarried(const std::string& line) {
  u8('N');
  str(line);
}

void StreamWriter::fail(const std::string& line) {
  u8('X');
  str(line);
  flush();
}

void StreamWriter::end() {
  u8('E');
  uint(m_tables, 8);
  uint(m_rows, 8);
  flush();
}

namespace {

bool validUtf8(const std::string& s) {
  std::size_t i = 0;
  while (i < s.size()) {
    const auto c = static_cast<std::uint8_t>(s[i]);
    std::size_t n = 0;
    std::uint32_t cp = 0;
    if (c < 0x80) {
      ++i;
      continue;
    } else if ((c & 0xE0) == 0xC0) {
      n = 1;
      cp = c & 0x1F;
    } else if ((c & 0xF0) == 0xE0) {
      n = 2;
      cp = c & 0x0F;
    } else if ((c & 0xF8) == 0xF0) {
      n = 3;
      cp = c & 0x07;
    } else {
      return false;
    }
    for (std::size_t k = 1; k <= n; ++k) {
      if (i + k >= s.size()) return false;
      const auto d = static_cast<std::uint8_t>(s[i + k]);
      if ((d & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (d & 0x3F);
    }
    const std::uint32_t least[4] = {0, 0x80, 0x800, 0x10000};
    if (cp < least[n] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
    i += n + 1;
  }
  return true;
}

// The decoder's reading side: every byte counts against the budget, and a
// long value grows only as its bytes actually arrive.
class Reader {
 public:
  Reader(const ByteSource& source, std::uint64_t budget) : m_source(source), m_left(budget) {}
  bool ok() const { return m_ok; }
  const std::string& why() const { return m_why; }
  void fail(const std::string& why) {
    if (m_ok) m_why = why;
    m_ok = false;
  }

  bool raw(std::uint8_t* out, std::size_t n) {
    if (!m_ok) return false;
    if (n > m_left) {
      fail("flux du lecteur plus long que la base ne peut le donner");
      return false;
    }
    if (!m_source(out, n)) {
      fail("flux du lecteur interrompu");
      return false;
    }
    m_left -= n;
    return true;
  }
  std::uint64_t uint(int bytes) {
    std::uint8_t b[8] = {};
    if (!raw(b, static_cast<std::size_t>(bytes))) return 0;
    std::uint64_t v = 0;
    for (int i = bytes; i-- > 0;) v = (v << 8) | b[i];
    return v;
  }
  std::uint32_t u8() { return static_cast<std::uint32_t>(uint(1)); }
  template <typename Out>
  Out blob() {
    const std::uint64_t n = uint(4);
    Out out;
    if (!m_ok) return out;
    if (n > m_left) {
      fail("flux du lecteur : longueur de valeur impossible");
      return out;
    }
    std::uint8_t chunk[1 << 14];
    std::uint64_t done = 0;
    while (done < n && m_ok) {
      const auto step = static_cast<std::size_t>(std::min<std::uint64_t>(sizeof chunk, n - done));
      if (!raw(chunk, step)) break;
      out.insert(out.end(), chunk, chunk + step);
      done += step;
    }
    return out;
  }
  std::string text() {
    std::string s = blob<std::string>();
    if (m_ok && !validUtf8(s)) fail("flux du lecteur : texte qui n'est pas de l'UTF-8");
    return s;
  }
  std::string name() {
    std::string s = text();
    if (m_ok && (s.empty() || s.size() > 1024)) fail("flux du lecteur : nom vide ou trop long");
    return s;
  }

 private:
  const ByteSource& m_source;
  std::uint64_t m_left;
  bool m_ok = true;
  std::string m_why;
};

template <typename T>
T fromBits(std::uint64_t bits) {
  T v;
  std::memcpy(&v, &bits, sizeof v);
  return v;
}

bool readTable(Reader& in, Table& t) {
  t.name = in.name();
  t.nextAutoNumber = static_cast<std::int64_t>(in.uint(8));
  const std::uint64_t columns = in.uint(2);
  if (!in.ok()) return false;
  if (columns == 0 || columns > 255) {
    in.fail("flux du lecteur : nombre de colonnes impossible");
    return false;
  }
  std::set<std::string> names;
  for (std::uint64_t i = 0; i < columns && in.ok(); ++i) {
    Column c;
    c.name = in.name();
    const std::uint32_t type = in.u8();
    c.size = static_cast<int>(in.uint(4) & 0xFFFF);
    c.precision = static_cast<int>(in.u8());
    c.scale = static_cast<int>(in.u8());
    const std::uint32_t flags = in.u8();
    if (!in.ok()) return false;
    if (!isKnownType(static_cast<std::uint8_t>(type)) || c.scale > 28 || c.precision > 28 ||
        !names.insert(c.name).second) {
      in.fail("flux du lecteur : colonne impossible");
      return false;
    }
    c.type = static_cast<JetType>(type);
    c.autoNumber = (flags & 1) != 0;
    c.autoGuid = (flags & 2) != 0;
    c.required = (flags & 4) != 0;
    if (flags & 8) c.allowZeroLength = (flags & 16) != 0;
    if (flags & 32) c.defaultValue = in.text();
    t.columns.push_back(std::move(c));
  }
  const std::uint64_t indexes = in.uint(2);
  if (!in.ok()) return false;
  if (indexes > 256) {
    in.fail("flux du lecteur : nombre d'index impossible");
    return false;
  }
  for (std::uint64_t i = 0; i < indexes && in.ok(); ++i) {
    Index index;
    index.name = in.name();
    const std::uint32_t flags = in.u8();
    index.primary = (flags & 1) != 0;
    index.unique = (flags & 2) != 0;
    index.ignoreNulls = (flags & 4) != 0;
    index.required = (flags & 8) != 0;
    const std::uint32_t keys = in.u8();
    if (!in.ok()) return false;
    if (keys == 0 || keys > 10) {
      in.fail("flux du lecteur : index impossible");
      return false;
    }
    for (std::uint32_t k = 0; k < keys; ++k) {
      const std::uint64_t column = in.uint(2);
      const bool descending = in.u8() != 0;
      if (!in.ok()) return false;
      if (column >= t.columns.size()) {
        in.fail("flux du lecteur : index sur une colonne qui n'existe pas");
        return false;
      }
      index.columns.push_back({t.columns[column].name, descending});
    }
    t.indexes.push_back(std::move(index));
  }
  return in.ok();
}

// Which value tags a column of each type may hold (Null aside).
bool fits(JetType type, std::uint32_t tag) {
  switch (type) {
    case JetType::Boolean: return tag == 1 || tag == 2;
    case JetType::Byte:
    case JetType::Integer:
    case JetType::Long: return tag == 3;
    case JetType::Currency: return tag == 4;
    case JetType::Single: return tag == 5;
    case JetType::Double: return tag == 6;
    case JetType::DateTime: return tag == 7;
    case JetType::Text:
    case JetType::Memo: return tag == 8;
    case JetType::Binary:
    case JetType::OLE: return tag == 9;
    case JetType::GUID: return tag == 10;
    case JetType::Decimal: return tag == 11;
  }
  return false;
}

bool readRow(Reader& in, const Table& t, Row& row) {
  row.reserve(t.columns.size());
  for (const auto& c : t.columns) {
    const std::uint32_t tag = in.u8();
    if (!in.ok()) return false;
    if (!(tag == 0 && c.type != JetType::Boolean) && !fits(c.type, tag)) {
      in.fail("flux du lecteur : valeur d'un autre type que sa colonne « " + c.name + " »");
      return false;
    }
    switch (tag) {
      case 0: row.emplace_back(std::monostate{}); break;
      case 1: row.emplace_back(false); break;
      case 2: row.emplace_back(true); break;
      case 3: {
        const auto v = static_cast<std::int32_t>(static_cast<std::uint32_t>(in.uint(4)));
        if ((c.type == JetType::Byte && (v < 0 || v > 255)) ||
            (c.type == JetType::Integer && (v < -32768 || v > 32767))) {
          in.fail("flux du lecteur : entier hors de l'étendue de sa colonne « " + c.name + " »");
          return false;
        }
        row.emplace_back(v);
        break;
      }
      case 4: row.emplace_back(Currency{static_cast<std::int64_t>(in.uint(8))}); break;
      case 5: row.emplace_back(fromBits<float>(in.uint(4))); break;
      case 6: row.emplace_back(fromBits<double>(in.uint(8))); break;
      case 7: row.emplace_back(DateTime{fromBits<double>(in.uint(8))}); break;
      case 8: row.emplace_back(in.text()); break;
      case 9: row.emplace_back(in.blob<Bytes>()); break;
      case 10: {
        Guid g;
        in.raw(g.bytes.data(), g.bytes.size());
        row.emplace_back(g);
        break;
      }
      case 11: {
        Decimal d;
        d.negative = in.u8() != 0;
        d.scale = static_cast<std::uint8_t>(in.u8());
        for (auto& w : d.magnitude) w = static_cast<std::uint32_t>(in.uint(4));
        if (d.scale != c.scale) {
          in.fail("flux du lecteur : décimal d'une autre échelle que sa colonne « " + c.name + " »");
          return false;
        }
        row.emplace_back(d);
        break;
      }
      default: return false;
    }
  }
  return in.ok();
}

bool hasColumn(const Table& t, const std::string& name) {
  for (const auto& c : t.columns) {
    if (c.name == name) return true;
  }
  return false;
}

}  // namespace

StreamResult decodeStream(const ByteSource& source, std::uint64_t budget, Sink& sink) {
  StreamResult result;
  Reader in(source, budget);
  std::uint8_t magic[4] = {};
  in.raw(magic, 4);
  const std::uint64_t version = in.uint(4);
  if (!in.ok() || std::memcmp(magic, kMagic, 4) != 0 || version != kStreamVersion) {
    result.error = in.ok() ? "flux du lecteur d'une autre version" : in.why();
    return result;
  }
  // What the relations are checked against, and the counts the end confirms.
  std::map<std::string, Table> tables;
  const Table* current = nullptr;
  std::uint64_t rows = 0;
  bool begun = false;
  while (in.ok()) {
    const std::uint32_t tag = in.u8();
    if (!in.ok()) break;
    if (!begun && tag != 'B' && tag != 'X') {
      in.fail("flux du lecteur sans en-tête");
      break;
    }
    switch (tag) {
      case 'B': {
        const std::uint32_t jet = in.u8();
        const auto codePage = static_cast<int>(in.uint(2));
        if (begun || (jet != 3 && jet != 4)) {
          in.fail("flux du lecteur : en-tête impossible");
          break;
        }
        begun = true;
        sink.begin(static_cast<int>(jet), codePage);
        break;
      }
      case 'T': {
        Table t;
        if (!readTable(in, t)) break;
        if (tables.count(t.name) != 0) {
          in.fail("flux du lecteur : deux tables du même nom");
          break;
        }
        sink.table(t);
        current = &tables.emplace(t.name, std::move(t)).first->second;
        break;
      }
      case 'R': {
        if (current == nullptr) {
          in.fail("flux du lecteur : ligne sans table");
          break;
        }
        Row row;
        if (!readRow(in, *current, row)) break;
        ++rows;
        sink.row(std::move(row));
        break;
      }
      case 'L': {
        Relation r;
        r.name = in.name();
        r.table = in.name();
        r.referencedTable = in.name();
        r.flags = static_cast<std::uint32_t>(in.uint(4));
        const std::uint64_t pairs = in.uint(2);
        if (!in.ok()) break;
        const auto from = tables.find(r.table);
        const auto to = tables.find(r.referencedTable);
        if (pairs == 0 || pairs > 32 || from == tables.end() || to == tables.end()) {
          in.fail("flux du lecteur : relation impossible");
          break;
        }
        for (std::uint64_t i = 0; i < pairs && in.ok(); ++i) {
          RelationColumn c;
          c.column = in.name();
          c.referencedColumn = in.name();
          if (in.ok() && (!hasColumn(from->second, c.column) ||
                          !hasColumn(to->second, c.referencedColumn))) {
            in.fail("flux du lecteur : relation sur une colonne qui n'existe pas");
          }
          r.columns.push_back(std::move(c));
        }
        if (!in.ok()) break;
        setRelationFlags(r, r.flags);
        sink.relation(r);
        break;
      }
      case 'N': {
        const std::string line = in.text();
        if (in.ok()) sink.notCarried(line);
        break;
      }
      case 'X': {
        const std::string line = in.text();
        if (in.ok()) result.error = line.empty() ? "échec du lecteur" : line;
        return result;
      }
      case 'E': {
        const std::uint64_t tableCount = in.uint(8);
        const std::uint64_t rowCount = in.uint(8);
        if (!in.ok()) break;
        std::uint8_t extra = 0;
        if (tableCount != tables.size() || rowCount != rows) {
          in.fail("flux du lecteur : comptes de fin faux");
        } else if (source(&extra, 1)) {
          in.fail("flux du lecteur : données après la fin");
        } else {
          result.complete = true;
          return result;
        }
        break;
      }
      default: in.fail("flux du lecteur : enregistrement inconnu");
    }
  }
  result.error = in.why();
  return result;
}

}  // namespace mdbfile
