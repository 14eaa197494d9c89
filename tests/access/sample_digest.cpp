#include "sample_digest.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <set>
#include <sstream>

namespace mdbdigest {

using namespace mdbfile;

namespace {


std::vector<std::string> splitTabs(const std::string& line) {
  std::vector<std::string> out;
  std::stringstream s(line);
  std::string part;
  while (std::getline(s, part, '\t')) out.push_back(part);
  return out;
}

}  // namespace

Digest readDigest(const std::string& path) {
  Digest d;
  std::ifstream in(path);
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    auto parts = splitTabs(line);
    if (parts.size() >= 2) d.byFile[parts[1]].push_back(parts);
  }
  return d;
}

namespace {

std::string hex(const void* p, size_t n) {
  static const char digits[] = "0123456789abcdef";
  std::string out;
  for (size_t i = 0; i < n; ++i) {
    const auto b = static_cast<const std::uint8_t*>(p)[i];
    out += digits[b >> 4];
    out += digits[b & 15];
  }
  return out;
}

// The independent reader decodes code page 1252's five undefined bytes as
// U+FFFD, where Windows (and we) keep them as U+0081, U+008D, U+008F,
// U+0090 and U+009D. The only difference the comparison allows: it maps
// ours the same way, and counts the values it changed.
bool undefinedOf1252AsReplacement(std::string& text) {
  bool changed = false;
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<std::uint8_t>(text[i]);
    if (c == 0xC2 && i + 1 < text.size()) {
      const auto d = static_cast<std::uint8_t>(text[i + 1]);
      if (d == 0x81 || d == 0x8D || d == 0x8F || d == 0x90 || d == 0x9D) {
        out += "\xEF\xBF\xBD";
        ++i;
        changed = true;
        continue;
      }
    }
    out += text[i];
  }
  text = out;
  return changed;
}

}  // namespace

// The same canonical text as tools/access_reference.mjs.
std::string canonical(const Value& v, bool jet3, bool& changed) {
  return std::visit(
      [&](const auto& x) -> std::string {
        using T = std::decay_t<decltype(x)>;
        if constexpr (std::is_same_v<T, std::monostate>) {
          return "N";
        } else if constexpr (std::is_same_v<T, bool>) {
          return x ? "V1" : "V0";
        } else if constexpr (std::is_same_v<T, std::int32_t>) {
          return "V" + std::to_string(x);
        } else if constexpr (std::is_same_v<T, float> || std::is_same_v<T, double>) {
          return "V" + hex(&x, sizeof x);
        } else if constexpr (std::is_same_v<T, DateTime>) {
          // Its arithmetic, to the operation: the raw day count must be ours
          // to the bit for the milliseconds to agree.
          const double ms = (x.days - 25569) * 86400 * 1000;
          return "V" + std::to_string(static_cast<long long>(std::floor(ms + 0.5)));
        } else if constexpr (std::is_same_v<T, std::string>) {
          std::string text = x;
          if (jet3 && undefinedOf1252AsReplacement(text)) changed = true;
          return "V" + text;
        } else if constexpr (std::is_same_v<T, Bytes>) {
          return "V" + hex(x.data(), x.size());
        } else if constexpr (std::is_same_v<T, Guid>) {
          const std::string g = guidText(x);
          return "V" + g.substr(1, g.size() - 2);
        } else if constexpr (std::is_same_v<T, Currency>) {
          return "V" + currencyText(x);
        } else {
          return "V" + decimalText(x);
        }
      },
      v);
}

namespace {

std::string fnv(const std::vector<std::string>& texts) {
  std::uint64_t h = 0xcbf29ce484222325ULL;
  for (const auto& t : texts) {
    for (char c : t) h = (h ^ static_cast<std::uint8_t>(c)) * 0x100000001b3ULL;
    h = (h ^ 0) * 0x100000001b3ULL;
  }
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(h));
  return text;
}

const char* referenceType(JetType t) {
  switch (t) {
    case JetType::Boolean: return "boolean";
    case JetType::Byte: return "byte";
    case JetType::Integer: return "integer";
    case JetType::Long: return "long";
    case JetType::Currency: return "currency";
    case JetType::Single: return "float";
    case JetType::Double: return "double";
    case JetType::DateTime: return "datetime";
    case JetType::Binary: return "binary";
    case JetType::Text: return "text";
    case JetType::OLE: return "ole";
    case JetType::Memo: return "memo";
    case JetType::GUID: return "repid";
    case JetType::Decimal: return "numeric";
  }
  return "?";
}

}  // namespace

bool refusedByDesign(const std::string& file) {
  return file.rfind("jackcessencrypt__", 0) == 0 || file.rfind("mdbreader__password_", 0) == 0;
}


void expectDigest(const Database& db, const std::vector<std::vector<std::string>>& lines, Counts& counts,
                  bool compareRelations, const std::function<bool(const std::string&, const std::string&)>& tolerate) {
  ++counts.files;
  std::map<std::string, const Table*> byName;
  for (const auto& t : db.tables) byName[t.name] = &t;
  std::set<std::string> relations;
  for (const auto& rel : db.relations) {
    std::string pairs;
    for (const auto& c : rel.columns) pairs += (pairs.empty() ? "" : ";") + c.column + "=" + c.referencedColumn;
    relations.insert(rel.name + "\t" + rel.table + "\t" + rel.referencedTable + "\t" + std::to_string(rel.flags) +
                     "\t" + pairs);
  }
  std::set<std::string> expectedRelations;
  const Table* table = nullptr;
  size_t column = 0;
  for (const auto& l : lines) {
    if (l[0] == "F") {
      EXPECT_EQ(db.tables.size(), std::stoul(l[2]));
    } else if (l[0] == "T") {
      const auto it = byName.find(l[2]);
      table = nullptr;
      EXPECT_NE(it, byName.end()) << "table " << l[2];
      if (it == byName.end()) continue;
      table = it->second;
      column = 0;
      EXPECT_EQ(table->rows.size(), std::stoul(l[3])) << table->name;
      ++counts.tables;
      counts.rows += table->rows.size();
    } else if (l[0] == "C") {
      if (!table) continue;
      EXPECT_LT(column, table->columns.size()) << table->name;
      if (column >= table->columns.size()) continue;
      const Column& c = table->columns[column];
      SCOPED_TRACE(table->name + "." + c.name);
      EXPECT_EQ(c.name, l[3]);
      EXPECT_EQ(referenceType(c.type), l[4]);
      if (c.type == JetType::Text) {
        EXPECT_EQ(c.size * (db.jetVersion == 3 ? 1 : 2), std::stoi(l[5]));
      }
      if (c.type == JetType::Binary) {
        EXPECT_EQ(c.size, std::stoi(l[5]));
      }
      if (c.type == JetType::Decimal) {
        EXPECT_EQ(c.precision, std::stoi(l[6]));
        EXPECT_EQ(c.scale, std::stoi(l[7]));
      }
      std::vector<std::string> texts;
      size_t present = 0;
      for (const auto& row : table->rows) {
        bool changed = false;
        texts.push_back(canonical(row[column], db.jetVersion == 3, changed));
        if (texts.back() != "N") ++present;
        if (changed) ++counts.differing;
        // Before 1899-12-30 Access counts the time forward from midnight;
        // the independent reader takes the day count as a plain signed
        // number and places such a value a day off. Its bits agree (the
        // hash above); its date differs.
        if (const auto* d = std::get_if<DateTime>(&row[column]); d && d->days < 0 && d->days != std::trunc(d->days)) {
          ++counts.earlyTimes;
        }
      }
      counts.values += table->rows.size();
      if (tolerate && tolerate(table->name, c.name) && fnv(texts) != l[9]) {
        ++counts.tolerated;
      } else {
        EXPECT_EQ(present, std::stoul(l[8]));
        EXPECT_EQ(fnv(texts), l[9]);
      }
      ++column;
    } else if (l[0] == "R") {
      expectedRelations.insert(l[2] + "\t" + l[3] + "\t" + l[4] + "\t" + l[5] + "\t" + l[6]);
    }
  }
  if (compareRelations) {
    EXPECT_EQ(relations, expectedRelations);
  }
}

}  // namespace mdbdigest
