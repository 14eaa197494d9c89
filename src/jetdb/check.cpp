// Database::check: whether a file is what the driver would have left, seen
// from below the driver's own rules. Every count is a query of its own, so
// that one fault found (a damaged page) does not hide the others.
#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <set>

#include "errors.h"
#include "session.h"
#include "sqlite_file.h"
#include "jetdb/text.h"

namespace jetdb {
namespace {

std::string q(std::string_view name) { return "'" + std::string(name) + "'"; }

// The ranges that the row writes keep, in the storage they use.
struct Range {
  std::string storage;  // what typeof() gives for a value of the type
  std::string bounds;   // SQL condition on "v" that a stored value breaks, or empty
  std::string words;    // the range in words
};
Range rangeOf(const ColumnType& type) {
  switch (type.type) {
    case JetType::Text:
    case JetType::Memo:
      return {"'text'", "", ""};
    case JetType::Bit:
      return {"'integer'", "v NOT IN (0, -1)", "0 ou -1"};
    case JetType::Byte:
      return {"'integer'", "v NOT BETWEEN 0 AND 255", "de 0 à 255"};
    case JetType::Short:
      return {"'integer'", "v NOT BETWEEN -32768 AND 32767", "de -32768 à 32767"};
    case JetType::Long:
    case JetType::Counter:
      return {"'integer'", "v NOT BETWEEN -2147483648 AND 2147483647", "de -2147483648 à 2147483647"};
    case JetType::Single:
      return {"'real', 'integer'", "abs(v) > 3.4028234663852886e38", "de -3,4E38 à 3,4E38"};
    case JetType::Double:
      return {"'real', 'integer'", "", ""};
    case JetType::Currency:
      return {"'real', 'integer'", "abs(v) > 922337203685477.5807", "de -922337203685477,5807 à 922337203685477,5807"};
    case JetType::DateTime:
      // Seconds from 1970 of 01/01/100 00:00:00 and 31/12/9999 23:59:59.
      return {"'integer'", "v NOT BETWEEN -59011459200 AND 253402300799", "du 01/01/100 au 31/12/9999"};
    case JetType::Binary:
      return {"'blob'", "length(v) > " + std::to_string(type.size), std::to_string(type.size) + " octets au plus"};
    case JetType::LongBinary:
      return {"'blob'", "", ""};
    case JetType::Guid: {
      std::string pattern = "{";
      for (int group : {8, 4, 4, 4, 12}) {
        for (int k = 0; k < group; ++k) pattern += "[0-9A-F]";
        pattern += group == 12 ? "}" : "-";
      }
      return {"'text'", "v NOT GLOB '" + pattern + "'", "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}"};
    }
    case JetType::Decimal: {
      // A number kept as text is written with digits, a sign and a point only.
      const int whole = type.precision - type.scale;
      return {"'integer', 'real', 'text'",
              "abs(v) >= 1e" + std::to_string(whole) +
                  " OR (typeof(v) = 'text' AND (v GLOB '*[^0-9.-]*' OR v NOT GLOB '*[0-9]*'))",
              "nombre de " + std::to_string(type.precision) + " chiffres dont " + std::to_string(type.scale) +
                  " décimales"};
    }
  }
  return {"'text'", "", ""};
}

// SQLite's integrity report, one line of it, in French.
std::string integrityLine(const std::string& line) {
  auto after = [&](const char* marker) -> std::string {
    std::size_t at = line.find(marker);
    if (at == std::string::npos) return {};
    std::string rest = line.substr(at + std::strlen(marker));
    return rest.substr(0, rest.find_first_of(" \n"));
  };
  if (auto ix = after("missing from index "); !ix.empty())
    return "Index SQLite " + q(ix) + " incomplet : des lignes y manquent.";
  if (auto ix = after("wrong # of entries in index "); !ix.empty())
    return "Index SQLite " + q(ix) + " : son nombre d'entrées ne correspond pas à la table.";
  if (auto ix = after("non-unique entry in index "); !ix.empty())
    return "Index SQLite " + q(ix) + " : entrées en double.";
  std::string lower = line;
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  std::size_t at = lower.find("page ");
  if (at != std::string::npos) {
    std::size_t digits = at + 5, end = digits;
    while (end < lower.size() && std::isdigit(static_cast<unsigned char>(lower[end]))) ++end;
    if (end > digits) return "Page " + lower.substr(digits, end - digits) + " du fichier endommagée.";
  }
  return "Structure interne du fichier endommagée.";
}

class Checker {
 public:
  explicit Checker(Session& s) : s_(s) {}

  std::vector<std::string> pages() {
    integrity("PRAGMA quick_check(100)");
    return std::move(problems_);
  }
  std::vector<std::string> run() {
    integrity();
    readSchema();
    catalogAgainstFile();
    for (const auto& t : s_.catalog.tables())
      if (present(t.name)) rows(t);
    for (const auto& r : s_.catalog.relations()) orphans(r);
    return std::move(problems_);
  }

 private:
  void add(std::string line) {
    if (std::find(problems_.begin(), problems_.end(), line) == problems_.end()) problems_.push_back(std::move(line));
  }
  // The single number a query gives; -1, with its problem, when it fails.
  std::int64_t number(const std::string& sql) {
    Stmt st(s_.db, sql);
    const int rc = st.ok() ? st.step() : st.prepareCode();
    if (rc == SQLITE_ROW) return st.integer(0);
    add(sqliteFailure(s_.db, sqlite3_extended_errcode(s_.db), s_.path).message);
    return -1;
  }

  // quick_check reads every page but compares no row with its indexes.
  void integrity(const char* pragma = "PRAGMA integrity_check(100)") {
    Stmt st(s_.db, pragma);
    int rc = st.ok() ? st.step() : st.prepareCode();
    for (; rc == SQLITE_ROW; rc = st.step()) {
      const std::string line = st.text(0);
      if (line == "ok") continue;
      // A page SQLite could not read for want of memory or of a working
      // disk ("unable to get the page. error code=7") is no damage of the
      // file: what stopped the check is said instead, and the check ends.
      if (const int code = readErrorCode(line); (code & 0xFF) == SQLITE_NOMEM || (code & 0xFF) == SQLITE_IOERR) {
        s_.last = sqliteFailure(s_.db, code, s_.path);
        add(s_.last.message);
        return;
      }
      add(integrityLine(line));
    }
    if (rc != SQLITE_DONE) {
      s_.last = sqliteFailure(s_.db, sqlite3_extended_errcode(s_.db), s_.path);
      add(s_.last.message);
    }
  }
  static int readErrorCode(const std::string& line) {
    const std::size_t at = line.find("error code=");
    return at == std::string::npos ? 0 : std::atoi(line.c_str() + at + std::strlen("error code="));
  }

  struct Object {
    std::string type, name, table, sql;
  };
  void readSchema() {
    Stmt st(s_.db, "SELECT type, name, tbl_name, sql FROM sqlite_schema");
    int rc = st.ok() ? st.step() : st.prepareCode();
    for (; rc == SQLITE_ROW; rc = st.step()) schema_.push_back(Object{st.text(0), st.text(1), st.text(2), st.text(3)});
    if (rc != SQLITE_DONE) add(sqliteFailure(s_.db, sqlite3_extended_errcode(s_.db), s_.path).message);
  }
  const Object* object(std::string_view type, std::string_view name) const {
    for (const auto& o : schema_)
      if (o.type == type && sameName(o.name, name)) return &o;
    return nullptr;
  }
  bool present(std::string_view table) const {
    return std::find_if(checkable_.begin(), checkable_.end(),
                        [&](const std::string& t) { return sameName(t, table); }) != checkable_.end();
  }
  std::vector<std::string> fileColumns(const std::string& table) {
    std::vector<std::string> out;
    Stmt st(s_.db, "SELECT name FROM pragma_table_info(?)");
    st.bind(1, table);
    while (st.ok() && st.step() == SQLITE_ROW) out.push_back(st.text(0));
    return out;
  }

  void catalogAgainstFile() {
    std::set<std::string> known;  // SQLite objects the catalog accounts for
    for (const auto& t : s_.catalog.tables()) {
      const Object* table = object("table", t.name);
      if (!table) {
        add("Table " + q(t.name) + " du catalogue absente du fichier.");
        continue;
      }
      known.insert(table->name);
      const std::vector<std::string> columns = fileColumns(table->name);
      auto has = [&](std::string_view c) {
        return std::any_of(columns.begin(), columns.end(), [&](const std::string& x) { return sameName(x, c); });
      };
      bool whole = has(kRowColumn);
      if (!whole) add("Table " + q(t.name) + " : la colonne d'identité des lignes manque dans le fichier.");
      for (const auto& c : t.columns)
        if (!has(c.name)) {
          add("Champ " + q(t.name + "." + c.name) + " du catalogue absent de la table.");
          whole = false;
        }
      for (const auto& c : columns)
        if (c != kRowColumn && t.findColumn(c) < 0) add("Colonne " + q(t.name + "." + c) + " absente du catalogue.");
      for (const auto& ix : t.indexes) {
        const Object* index = object("index", sqliteIndexName(t.name, ix.name));
        if (!index) {
          add("Index " + q(ix.name) + " de la table " + q(t.name) + " du catalogue absent du fichier.");
          continue;
        }
        known.insert(index->name);
        if (ix.unique != (index->sql.rfind("CREATE UNIQUE", 0) == 0))
          add("Index " + q(ix.name) + " de la table " + q(t.name) + " : " +
              (ix.unique ? "unique au catalogue, pas dans le fichier." : "unique dans le fichier, pas au catalogue."));
      }
      if (whole) checkable_.push_back(t.name);
    }
    // Catalog rows of a table the catalog does not list are never loaded:
    // only a count of them shows them.
    for (const char* part : {"_jet_columns", "_jet_indexes"})
      if (std::int64_t n =
              number(std::string("SELECT COUNT(*) FROM ") + part + " WHERE tbl NOT IN (SELECT name FROM _jet_tables)");
          n > 0)
        add("Catalogue : " + std::to_string(n) + (part == std::string("_jet_columns") ? " champ(s)" : " index") +
            " d'une table qu'il ne liste pas.");
    for (const auto& r : s_.catalog.relations()) {
      const TableMeta* child = s_.catalog.findTable(r.table);
      const TableMeta* parent = s_.catalog.findTable(r.refTable);
      if (!child || !parent) {
        add("Relation " + q(r.name) + " : table " + q(child ? r.refTable : r.table) + " absente du catalogue.");
        continue;
      }
      for (const auto& c : r.columns)
        if (child->findColumn(c) < 0) add("Relation " + q(r.name) + " : champ " + q(r.table + "." + c) + " inconnu.");
      for (const auto& c : r.refColumns)
        if (parent->findColumn(c) < 0)
          add("Relation " + q(r.name) + " : champ " + q(r.refTable + "." + c) + " inconnu.");
      if (const Object* index = object("index", sqliteRelationIndexName(r.table, r.name)))
        known.insert(index->name);
      else if (!child->indexLeadingWith(r.columns))
        add("Relation " + q(r.name) + " de la table " + q(r.table) + " : son index est absent du fichier.");
    }
    for (const auto& o : schema_) {
      if (o.name.rfind("sqlite_", 0) == 0 || o.name.rfind("_jet_", 0) == 0 || known.count(o.name)) continue;
      if (o.type == "table")
        add("Table " + q(o.name) + " du fichier absente du catalogue.");
      else if (o.type == "index")
        add("Index " + q(o.name) + " du fichier absent du catalogue.");
      else
        add("Objet " + q(o.name) + " (" + o.type + ") du fichier absent du catalogue.");
    }
  }

  void rows(const TableMeta& t) {
    const std::string table = quoteIdent(t.name);
    for (std::size_t i = 0; i < t.columns.size(); ++i) {
      const ColumnMeta& c = t.columns[i];
      const std::string v = quoteIdent(c.name);
      const std::string field = "Champ " + q(t.name + "." + c.name) + " : ";
      const Range range = rangeOf(c.type);
      const std::string from = "SELECT COUNT(*) FROM (SELECT " + v + " AS v FROM " + table + ") WHERE ";
      if (std::int64_t n = number(from + "typeof(v) NOT IN ('null', " + range.storage + ")"); n > 0)
        add(field + std::to_string(n) + " valeur(s) d'un autre type que " + typeName(c.type.type) + ".");
      if (c.type.type == JetType::Text) {
        if (std::int64_t n = number(from + "typeof(v) = 'text' AND length(v) > " + std::to_string(c.type.size)); n > 0)
          add(field + std::to_string(n) + " texte(s) de plus de " + std::to_string(c.type.size) + " caractères.");
      }
      if (!range.bounds.empty()) {
        if (std::int64_t n = number(from + "typeof(v) IN (" + range.storage + ") AND (" + range.bounds + ")"); n > 0)
          add(field + std::to_string(n) + " valeur(s) hors des limites de " + typeName(c.type.type) + " (" +
              range.words + ").");
      }
      if (t.columnRequired(i) && c.type.type != JetType::Bit) {
        if (std::int64_t n = number(from + "v IS NULL"); n > 0)
          add(field + std::to_string(n) + " valeur(s) Null dans un champ obligatoire.");
      }
    }
    for (const auto& ix : t.indexes) {
      if (!ix.unique) continue;
      std::string columns, filled;
      for (const auto& c : ix.columns) {
        columns += (columns.empty() ? "" : ", ") + quoteIdent(c);
        filled += (filled.empty() ? "" : " AND ") + quoteIdent(c) + " IS NOT NULL";
      }
      if (std::int64_t n = number("SELECT COUNT(*) FROM (SELECT 1 FROM " + table + " WHERE " + filled + " GROUP BY " +
                                  columns + " HAVING COUNT(*) > 1)");
          n > 0)
        add("Index " + q(ix.name) + " de la table " + q(t.name) + " : " + std::to_string(n) +
            " valeur(s) de clé en double.");
    }
  }

  void orphans(const RelationMeta& r) {
    const TableMeta* child = s_.catalog.findTable(r.table);
    const TableMeta* parent = s_.catalog.findTable(r.refTable);
    if (!child || !parent || !present(child->name) || !present(parent->name)) return;
    for (const auto& c : r.columns)
      if (child->findColumn(c) < 0) return;
    for (const auto& c : r.refColumns)
      if (parent->findColumn(c) < 0) return;
    // The same test as the one a new relation passes (see ddl.cpp).
    std::string sql = "SELECT COUNT(*) FROM " + quoteIdent(child->name) + " AS c WHERE ";
    std::string match;
    for (std::size_t i = 0; i < r.columns.size(); ++i) {
      sql += "c." + quoteIdent(r.columns[i]) + " IS NOT NULL AND ";
      match +=
          (i ? " AND " : "") + std::string("p.") + quoteIdent(r.refColumns[i]) + " = c." + quoteIdent(r.columns[i]);
    }
    sql += "NOT EXISTS (SELECT 1 FROM " + quoteIdent(parent->name) + " AS p WHERE " + match + ")";
    if (std::int64_t n = number(sql); n > 0)
      add("Relation " + q(r.name) + " : " + std::to_string(n) + " enregistrement(s) de la table " + q(child->name) +
          " sans enregistrement associé dans la table " + q(parent->name) + ".");
  }

  Session& s_;
  std::vector<std::string> problems_;
  std::vector<Object> schema_;
  std::vector<std::string> checkable_;  // tables whose every column is in the file
};

}  // namespace

std::vector<std::string> Database::check() {
  impl_->last = Error{};
  return Checker(*impl_).run();
}

std::vector<std::string> Database::checkPages() {
  impl_->last = Error{};
  return Checker(*impl_).pages();
}

}  // namespace jetdb
