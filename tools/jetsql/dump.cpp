#include "dump.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "jetdb/text.h"

namespace jetsql {
namespace {

std::string bracket(const std::string& name) { return "[" + name + "]"; }

std::string nameList(const std::vector<std::string>& names) {
  std::string out;
  for (const auto& n : names) out += (out.empty() ? "" : ", ") + bracket(n);
  return out;
}

// The fewest digits that read back as the same double, so that the text
// stays short where the value is short and exact everywhere.
std::string exactNumber(double v) {
  char buf[40];
  for (int digits = 15; digits <= 17; ++digits) {
    std::snprintf(buf, sizeof buf, "%.*g", digits, v);
    if (std::strtod(buf, nullptr) == v) break;
  }
  return buf;
}

using jetdb::sameName;

bool inPrimaryKey(const std::vector<jetdb::IndexInfo>& indexes, const std::string& column) {
  for (const auto& ix : indexes)
    if (ix.primary &&
        std::any_of(ix.columns.begin(), ix.columns.end(), [&](const std::string& c) { return sameName(c, column); }))
      return true;
  return false;
}

void createTable(const std::string& table, const std::vector<jetdb::ColumnInfo>& columns,
                 const std::vector<jetdb::IndexInfo>& indexes, std::ostream& out) {
  out << "CREATE TABLE " << bracket(table) << " (";
  for (std::size_t i = 0; i < columns.size(); ++i) {
    const auto& c = columns[i];
    out << (i ? ",\n  " : "\n  ") << bracket(c.name) << " " << jetdb::typeSpelling(c);
    // A Bit and a key column refuse Null by themselves; saying so again
    // would make the column required in the rebuilt catalog.
    if (!c.nullable && c.type != jetdb::JetType::Bit && !inPrimaryKey(indexes, c.name)) out << " NOT NULL";
    if (c.defaultValue) out << " DEFAULT " << *c.defaultValue;
  }
  out << "\n);\n";
  for (const auto& ix : indexes) {
    out << "CREATE " << (ix.unique || ix.primary ? "UNIQUE " : "") << "INDEX " << bracket(ix.name) << " ON "
        << bracket(table) << " (" << nameList(ix.columns) << ")";
    std::string with;
    if (ix.primary) with += " PRIMARY";
    if (ix.disallowNull) with += " DISALLOW NULL";
    if (ix.ignoreNull) with += " IGNORE NULL";
    if (!with.empty()) out << " WITH" << with;
    out << ";\n";
  }
}

bool insertRows(jetdb::Database& db, const std::string& table, const std::vector<jetdb::ColumnInfo>& columns,
                std::ostream& out, jetdb::Error& error) {
  std::vector<std::string> names;
  for (const auto& c : columns) names.push_back(c.name);
  // No ORDER BY: the rows come in the order they were stored, and the
  // rebuilt table stores them in the order they are inserted.
  auto q = db.query("SELECT " + nameList(names) + " FROM " + bracket(table));
  if (!q) {
    error = db.lastError();
    return false;
  }
  const std::string head = "INSERT INTO " + bracket(table) + " (" + nameList(names) + ") VALUES (";
  while (q->next()) {
    out << head;
    for (std::size_t i = 0; i < columns.size(); ++i) out << (i ? ", " : "") << literal(q->value(i), columns[i].type);
    out << ");\n";
  }
  if (q->error()) {
    error = *q->error();
    return false;
  }
  return true;
}

}  // namespace

std::string literal(const jetdb::Value& value, jetdb::JetType type) {
  using K = jetdb::Value::Kind;
  switch (value.kind) {
    case K::Null:
      return "Null";
    case K::Integer:
      if (type == jetdb::JetType::Bit) return value.integer ? "True" : "False";
      return std::to_string(value.integer);
    case K::Double:
      return exactNumber(value.real);
    case K::DateTime:
      return "#" + value.asText() + "#";
    case K::Binary:
      return value.asText();
    case K::Decimal:  // as text: a number literal is a Double, which holds fifteen digits
    case K::Text: {
      std::string out = "'";
      for (char c : value.text) out += c == '\'' ? std::string("''") : std::string(1, c);
      return out + "'";
    }
  }
  return "Null";
}

bool dump(jetdb::Database& db, const std::string& table, std::ostream& out, jetdb::Error& error) {
  std::vector<std::string> tables;
  for (const auto& t : db.tables())
    if (table.empty() || sameName(t, table)) tables.push_back(t);
  if (tables.empty()) {
    error = {"42S02", 3078, "[jetdb][Pilote Access]",
             "Impossible de trouver la table ou la requête source '" + table + "'."};
    return false;
  }
  for (const auto& t : tables) {
    const auto columns = db.columns(t);
    createTable(t, *columns, db.indexes(t), out);
    if (!insertRows(db, t, *columns, out, error)) return false;
  }
  for (const auto& t : tables)
    for (const auto& r : db.relations(t))
      if (sameName(r.table, t))
        out << "ALTER TABLE " << bracket(r.table) << " ADD CONSTRAINT " << bracket(r.name) << " FOREIGN KEY ("
            << nameList(r.columns) << ") REFERENCES " << bracket(r.refTable) << " (" << nameList(r.refColumns)
            << ");\n";
  // The saved queries of the whole database come last, in the order they
  // were made: each may read any table, and the queries before it.
  if (table.empty())
    for (const auto& v : db.views()) out << "CREATE VIEW " << bracket(v) << " AS " << *db.viewText(v) << ";\n";
  return true;
}

}  // namespace jetsql
