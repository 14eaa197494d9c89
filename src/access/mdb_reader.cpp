#include "access/mdb_reader.h"

// mdbtools.h includes glib inside extern "C", where glib's C++ half cannot
// be: glib comes first, on its own.
#include <glib.h>
#include <mdbtools.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <set>

#include "access/jet_text.h"
#include "access/table_def.h"

namespace mdbfile {

namespace {

std::uint32_t le32(const std::uint8_t* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

struct Context {
  const std::vector<std::uint8_t>& file;
  int jetVersion;
  size_t pageSize;
  int codePage;

  std::string text(const std::uint8_t* p, size_t n) const {
    return jetVersion == 3 ? codePageText(p, n, codePage) : jet4Text(p, n);
  }

  // The bytes of row `row` of page `page`, or nullptr when the page is no
  // data page or the row lies outside it.
  const std::uint8_t* pageRow(std::uint32_t page, std::uint32_t row, size_t& size) const {
    const size_t countAt = jetVersion == 3 ? 0x08 : 0x0C;
    const std::uint64_t base = static_cast<std::uint64_t>(page) * pageSize;
    if (page == 0 || base + pageSize > file.size()) return nullptr;
    const std::uint8_t* p = file.data() + base;
    const size_t rows = p[countAt] | (p[countAt + 1] << 8);
    if (p[0] != 0x01 || row >= rows || countAt + 2 + (row + 1) * 2 > pageSize) return nullptr;
    auto offsetOf = [&](std::uint32_t r) {
      const size_t at = countAt + 2 + r * 2;
      return static_cast<size_t>((p[at] | (p[at + 1] << 8)) & 0x1FFF);
    };
    const size_t start = offsetOf(row);
    const size_t end = row == 0 ? pageSize : offsetOf(row - 1);
    if (start > end || end > pageSize) return nullptr;
    size = end - start;
    return p + start;
  }
};

// A Memo or OLE value: a 12-byte header in the row, the data inline, in one
// row of a long-value page, or in a chain of them.
bool readLong(const Context& ctx, const std::uint8_t* field, size_t size, Bytes& out) {
  if (size < 12) return false;
  const std::uint32_t head = le32(field);
  const size_t length = head & 0x3FFFFFFF;
  if (length > ctx.file.size()) return false;
  if (head & 0x80000000) {
    if (12 + length > size) return false;
    out.assign(field + 12, field + 12 + length);
    return true;
  }
  std::uint32_t pointer = le32(field + 4);
  size_t rowSize = 0;
  if (head & 0x40000000) {
    const std::uint8_t* p = ctx.pageRow(pointer >> 8, pointer & 0xFF, rowSize);
    if (p == nullptr || rowSize < length) return false;
    out.assign(p, p + length);
    return true;
  }
  out.clear();
  std::set<std::uint32_t> seen;
  while (out.size() < length) {
    if (pointer == 0 || !seen.insert(pointer).second) return false;
    const std::uint8_t* p = ctx.pageRow(pointer >> 8, pointer & 0xFF, rowSize);
    if (p == nullptr || rowSize < 4) return false;
    const size_t take = std::min(rowSize - 4, length - out.size());
    out.insert(out.end(), p + 4, p + 4 + take);
    pointer = le32(p);
  }
  return true;
}

template <typename T>
T raw(const std::uint8_t* p) {
  T v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

// The value of one field of a cracked row, from its bytes.
bool decodeValue(const Context& ctx, const MdbColumn& col, std::uint8_t scale, const MdbField& f,
                 Value& out) {
  if (col.col_type == MDB_BOOL) {
    out = !f.is_null;  // the null mask holds a Boolean's value
    return true;
  }
  if (f.is_null) {
    out = std::monostate{};
    return true;
  }
  const auto* p = static_cast<const std::uint8_t*>(f.value);
  const auto n = static_cast<size_t>(f.siz);
  if (f.siz < 0 || (n > 0 && p == nullptr)) return false;
  auto need = [&](size_t size) { return n == size; };
  switch (col.col_type) {
    case MDB_BYTE:
      if (!need(1)) return false;
      out = static_cast<std::int32_t>(p[0]);
      return true;
    case MDB_INT:
      if (!need(2)) return false;
      out = static_cast<std::int32_t>(raw<std::int16_t>(p));
      return true;
    case MDB_LONGINT:
      if (!need(4)) return false;
      out = raw<std::int32_t>(p);
      return true;
    case MDB_MONEY:
      if (!need(8)) return false;
      out = Currency{raw<std::int64_t>(p)};
      return true;
    case MDB_FLOAT:
      if (!need(4)) return false;
      out = raw<float>(p);
      return true;
    case MDB_DOUBLE:
      if (!need(8)) return false;
      out = raw<double>(p);
      return true;
    case MDB_DATETIME:
      if (!need(8)) return false;
      out = DateTime{raw<double>(p)};
      return true;
    case MDB_REPID: {
      if (!need(16)) return false;
      Guid g;
      std::memcpy(g.bytes.data(), p, 16);
      out = g;
      return true;
    }
    case MDB_NUMERIC: {
      if (!need(17)) return false;
      Decimal d;
      d.negative = (p[0] & 0x80) != 0;
      d.scale = scale;
      // Four 32-bit words, the most significant first, each little-endian.
      for (size_t w = 0; w < 4; ++w) d.magnitude[w] = le32(p + 1 + 4 * (3 - w));
      out = d;
      return true;
    }
    case MDB_TEXT:
      out = ctx.text(p, n);
      return true;
    case MDB_BINARY:
      out = Bytes(p, p + n);
      return true;
    case MDB_MEMO:
    case MDB_OLE: {
      Bytes bytes;
      if (!readLong(ctx, p, n, bytes)) return false;
      if (col.col_type == MDB_OLE) {
        out = std::move(bytes);
      } else {
        out = ctx.text(bytes.data(), bytes.size());
      }
      return true;
    }
    default:
      return false;
  }
}

struct TableCloser {
  void operator()(MdbTableDef* t) const { mdb_free_tabledef(t); }
};
using TablePtr = std::unique_ptr<MdbTableDef, TableCloser>;

struct HandleCloser {
  void operator()(MdbHandle* h) const { mdb_close(h); }
};
using HandlePtr = std::unique_ptr<MdbHandle, HandleCloser>;

std::optional<std::string> prop(const MdbColumn* col, const char* key) {
  const char* v = mdb_col_get_prop(col, key);
  if (v == nullptr) return std::nullopt;
  return std::string(v);
}

bool yes(const std::optional<std::string>& v) { return v && (*v == "yes" || *v == "1" || *v == "True"); }

std::string quoted(const std::string& table, const std::string& column) {
  return "« " + table + "." + column + " »";
}

// Walks the rows of `t`, each as the values of its columns in column order.
template <typename OnRow>
std::string walkRows(const Context& ctx, MdbTableDef* t, const std::string& name,
                     const std::vector<std::uint8_t>& scales, OnRow onRow) {
  MdbHandle* mdb = t->entry->mdb;
  std::vector<MdbField> fields(t->num_cols);
  mdb_rewind_table(t);
  while (mdb_fetch_row(t)) {
    int start = 0;
    size_t size = 0;
    if (mdb_find_row(mdb, static_cast<int>(t->cur_row) - 1, &start, &size) != 0) {
      return "ligne illisible dans la table « " + name + " »";
    }
    const int count = mdb_crack_row(t, start & 0x1FFF, size, fields.data());
    if (count < 0) return "ligne illisible dans la table « " + name + " »";
    Row row(t->num_cols);
    for (unsigned i = 0; i < t->num_cols; ++i) {
      const MdbField& f = fields[i];
      if (f.colnum < 0 || static_cast<unsigned>(f.colnum) >= t->num_cols) {
        return "ligne illisible dans la table « " + name + " »";
      }
      const auto* col = static_cast<const MdbColumn*>(g_ptr_array_index(t->columns, f.colnum));
      const std::uint8_t scale = scales.empty() ? 0 : scales[static_cast<size_t>(f.colnum)];
      if (!decodeValue(ctx, *col, scale, f, row[static_cast<size_t>(f.colnum)])) {
        return "valeur illisible dans la colonne " + quoted(name, col->name);
      }
    }
    onRow(std::move(row));
  }
  return {};
}

// A user table: its definition, then its rows.
std::string readTable(const Context& ctx, MdbCatalogEntry* entry, Sink& sink) {
  const std::string name = entry->object_name;
  TablePtr t(mdb_read_table(entry));
  if (!t || !mdb_read_columns(t.get())) return "définition illisible de la table « " + name + " »";
  const auto def = readTableDef(ctx.file, ctx.jetVersion, static_cast<std::uint32_t>(entry->table_pg),
                                ctx.codePage);
  if (!def) return "définition illisible de la table « " + name + " »";

  Table table;
  table.name = name;
  // libmdb's columns and the definition's are the same columns, in another
  // order: their names join them.
  std::map<std::string, const DefColumn*> defByName;
  for (const auto& d : def->columns) defByName[d.name] = &d;
  std::map<int, size_t> byNumber;  // a DefColumn::number to its column
  bool hasCounter = false;
  for (unsigned i = 0; i < t->num_cols; ++i) {
    const auto* col = static_cast<const MdbColumn*>(g_ptr_array_index(t->columns, i));
    if (!isKnownType(static_cast<std::uint8_t>(col->col_type))) {
      return "colonne " + quoted(name, col->name) + " d'un type Jet inconnu (" +
             std::to_string(col->col_type) + ")";
    }
    const auto d = defByName.find(col->name);
    if (d == defByName.end()) return "définition illisible de la table « " + name + " »";
    Column c;
    c.name = col->name;
    c.type = static_cast<JetType>(col->col_type);
    if (c.type == JetType::Text) c.size = ctx.jetVersion == 3 ? col->col_size : col->col_size / 2;
    if (c.type == JetType::Binary) c.size = col->col_size;
    if (c.type == JetType::Decimal) {
      c.precision = d->second->precision;
      c.scale = d->second->scale;
    }
    c.autoNumber = col->is_long_auto != 0;
    c.autoGuid = col->is_uuid_auto != 0;
    hasCounter = hasCounter || c.autoNumber;
    c.required = yes(prop(col, "Required"));
    if (c.type == JetType::Text || c.type == JetType::Memo) {
      if (auto z = prop(col, "AllowZeroLength")) c.allowZeroLength = yes(z);
    }
    c.defaultValue = prop(col, "DefaultValue");
    if (auto rule = prop(col, "ValidationRule"); rule && !rule->empty()) {
      sink.notCarried("règle de validation de la colonne " + quoted(name, c.name) +
                      " non reprise : " + *rule);
    }
    byNumber[d->second->number] = table.columns.size();
    table.columns.push_back(std::move(c));
  }
  if (const char* rule = mdb_table_get_prop(t.get(), "ValidationRule"); rule && *rule) {
    sink.notCarried("règle de validation de la table « " + name + " » non reprise : " + rule);
  }
  for (const auto& d : def->indexes) {
    if (d.foreignKey) continue;  // Jet's own, for a relation: the relation says it
    Index index;
    index.name = d.name;
    index.primary = d.primary;
    index.unique = d.primary || (d.flags & 0x01) != 0;
    index.ignoreNulls = (d.flags & 0x02) != 0;
    index.required = (d.flags & 0x08) != 0;
    for (const auto& k : d.columns) {
      const auto at = byNumber.find(k.number);
      if (at == byNumber.end()) return "index « " + d.name + " » de la table « " + name + " » illisible";
      index.columns.push_back({table.columns[at->second].name, k.descending});
    }
    table.indexes.push_back(std::move(index));
  }
  // Jet keeps the last number it gave.
  if (hasCounter) table.nextAutoNumber = static_cast<std::int64_t>(def->lastAutoNumber) + 1;
  sink.table(table);
  std::vector<std::uint8_t> scales;
  for (const auto& c : table.columns) scales.push_back(static_cast<std::uint8_t>(c.scale));
  std::uint64_t rows = 0;
  const std::string error = walkRows(ctx, t.get(), name, scales, [&](Row row) {
    ++rows;
    sink.row(std::move(row));
  });
  if (!error.empty()) return error;
  // libmdb ends a table quietly at a page it cannot read: on a truncated or
  // damaged file, rows would go missing without a word.
  if (rows != def->rowCount) {
    return "table « " + name + " » : " + std::to_string(rows) + " lignes lues sur les " +
           std::to_string(def->rowCount) + " qu'elle compte (fichier tronqué ou endommagé)";
  }
  return {};
}

// The relations, from the rows of MSysRelationships: one row a column pair.
std::string readRelations(const Context& ctx, MdbHandle* mdb, const std::set<std::string>& tables,
                          Sink& sink) {
  MdbCatalogEntry* entry = mdb_get_catalogentry_by_name(mdb, "MSysRelationships");
  if (entry == nullptr) return {};
  TablePtr t(mdb_read_table(entry));
  if (!t || !mdb_read_columns(t.get())) return "table des relations illisible";
  std::map<std::string, int> at;
  for (unsigned i = 0; i < t->num_cols; ++i) {
    at[static_cast<const MdbColumn*>(g_ptr_array_index(t->columns, i))->name] = static_cast<int>(i);
  }
  for (const char* c : {"ccolumn", "grbit", "icolumn", "szColumn", "szObject", "szReferencedColumn",
                        "szReferencedObject", "szRelationship"}) {
    if (at.find(c) == at.end()) return "table des relations illisible";
  }
  struct Pair {
    long icolumn;
    RelationColumn columns;
  };
  std::map<std::string, std::pair<Relation, std::vector<Pair>>> byName;
  std::vector<std::string> order;
  auto textOf = [](const Value& v) { return std::holds_alternative<std::string>(v) ? std::get<std::string>(v) : std::string(); };
  auto longOf = [](const Value& v) { return std::holds_alternative<std::int32_t>(v) ? std::get<std::int32_t>(v) : 0; };
  const std::string error = walkRows(ctx, t.get(), "MSysRelationships", {}, [&](Row row) {
    const std::string name = textOf(row[static_cast<size_t>(at["szRelationship"])]);
    auto [it, fresh] = byName.try_emplace(name);
    Relation& r = it->second.first;
    if (fresh) {
      order.push_back(name);
      r.name = name;
      r.table = textOf(row[static_cast<size_t>(at["szObject"])]);
      r.referencedTable = textOf(row[static_cast<size_t>(at["szReferencedObject"])]);
      setRelationFlags(r, static_cast<std::uint32_t>(longOf(row[static_cast<size_t>(at["grbit"])])));
    }
    it->second.second.push_back({longOf(row[static_cast<size_t>(at["icolumn"])]),
                                 {textOf(row[static_cast<size_t>(at["szColumn"])]),
                                  textOf(row[static_cast<size_t>(at["szReferencedColumn"])])}});
  });
  if (!error.empty()) return error;
  for (const auto& name : order) {
    auto& [relation, pairs] = byName[name];
    // Access's own tables relate to each other too; they are not the data.
    if (tables.count(relation.table) == 0 || tables.count(relation.referencedTable) == 0) continue;
    std::stable_sort(pairs.begin(), pairs.end(),
                     [](const Pair& a, const Pair& b) { return a.icolumn < b.icolumn; });
    for (const auto& p : pairs) relation.columns.push_back(p.columns);
    sink.relation(relation);
  }
  return {};
}

// The catalog is the rows of MSysObjects (its definition is page 2), the
// properties of every table and column among them. libmdb reads it and its
// long values quietly short where a truncated file cuts it, and whole tables
// or their columns' properties would be lost without a word: its rows are
// walked here, every long value read through, and counted.
std::string checkCatalog(const Context& ctx, MdbHandle* mdb) {
  const auto objects = readTableDef(ctx.file, ctx.jetVersion, 2, ctx.codePage);
  MdbCatalogEntry* entry = mdb_get_catalogentry_by_name(mdb, "MSysObjects");
  const std::string damaged = "catalogue de la base incomplet (fichier tronqué ou endommagé)";
  if (!objects || entry == nullptr || objects->rowCount != mdb->num_catalog) return damaged;
  TablePtr t(mdb_read_table(entry));
  if (!t || !mdb_read_columns(t.get())) return damaged;
  std::uint64_t rows = 0;
  const std::string error = walkRows(ctx, t.get(), "MSysObjects", {}, [&](Row) { ++rows; });
  if (!error.empty() || rows != objects->rowCount) return damaged;
  return {};
}

std::string objectLine(int type, const std::string& name) {
  switch (type) {
    case MDB_QUERY: return "requête enregistrée « " + name + " » non reprise";
    case MDB_LINKED_TABLE: return "table liée « " + name + " » non reprise (ses données sont dans une autre base)";
    case MDB_FORM: return "formulaire « " + name + " » non repris";
    case MDB_REPORT: return "état « " + name + " » non repris";
    case MDB_MACRO: return "macro « " + name + " » non reprise";
    case MDB_MODULE: return "module « " + name + " » non repris";
    default: return {};
  }
}

}  // namespace

std::string readWithLibmdb(const std::vector<std::uint8_t>& file, const FileHeader& header,
                           int codePage, Sink& sink) {
  // libmdb decodes names of Jet 3 objects in this code page.
  const std::string charset = "CP" + std::to_string(codePage);
  setenv("MDB_JET3_CHARSET", charset.c_str(), 1);
  // libmdb keeps the buffer it is given and does not write to it.
  HandlePtr mdb(mdb_open_buffer(const_cast<std::uint8_t*>(file.data()), file.size(), MDB_NOFLAGS));
  if (!mdb) return "libmdb ne reconnaît pas le fichier";
  if (!mdb_read_catalog(mdb.get(), MDB_ANY)) return "catalogue de la base illisible";
  const Context ctx{file, header.jetVersion, static_cast<size_t>(header.pageSize), codePage};
  if (std::string error = checkCatalog(ctx, mdb.get()); !error.empty()) return error;
  sink.begin(header.jetVersion, codePage);
  std::vector<std::string> others;
  std::set<std::string> tables;
  for (unsigned i = 0; i < mdb->num_catalog; ++i) {
    auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb->catalog, i));
    if (std::strncmp(entry->object_name, "MSys", 4) == 0) continue;  // Access's own objects
    if (mdb_is_user_table(entry)) {
      if (std::string error = readTable(ctx, entry, sink); !error.empty()) return error;
      tables.insert(entry->object_name);
    } else if (std::string line = objectLine(entry->object_type, entry->object_name); !line.empty()) {
      others.push_back(line);
    }
  }
  if (std::string error = readRelations(ctx, mdb.get(), tables, sink); !error.empty()) return error;
  for (const auto& line : others) sink.notCarried(line);
  return {};
}

}  // namespace mdbfile
