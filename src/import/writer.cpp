#include "import/writer.h"

#include <array>
#include <utility>

namespace mdbimport {

namespace {

std::string quoted(const std::string& s) { return "« " + s + " »"; }
std::string ofTable(const std::string& t) { return "Table " + quoted(t); }
std::string ofColumn(const std::string& t, const std::string& c) { return ofTable(t) + ", champ " + quoted(c); }

std::string nameList(const std::vector<std::string>& names) {
  std::string out;
  for (const auto& n : names) out += (out.empty() ? "" : ", ") + bracketed(n);
  return out;
}

// What the report says of each kind of changed value.
const char* changeText(Change c) {
  switch (c) {
    case Change::Milliseconds: return " dates arrondies à la seconde (le pilote ne garde pas les millisecondes)";
    case Change::Currency: return " montants au-delà de 900 719 925 474 arrondis (le pilote les garde en Double)";
    case Change::NotANumber: return " valeurs qui ne sont pas des nombres (NaN, infini) écrites Null";
    case Change::DateOutOfRange: return " dates hors des années 100 à 9999 écrites Null";
    case Change::None: break;
  }
  return "";
}
constexpr std::size_t kChanges = 5;

}  // namespace

// The table being written: its definition, the statement that inserts
// its rows, and what its values lost on the way.
struct Writer::Current {
  mdbfile::Table definition;
  bool made = false;
  std::unique_ptr<jetdb::PreparedStatement> insert;
  std::vector<std::array<std::size_t, kChanges>> changed;  // per column, per Change
  std::size_t written = 0;
  std::size_t refused = 0;
  std::string firstRefusal;
  std::vector<jetdb::Value> values;
};

Writer::Writer(jetdb::Database& db) : m_db(db) {}
Writer::~Writer() = default;

std::string Writer::driverError() const { return m_db.lastError().message; }

void Writer::begin(int, int) {
  if (!m_db.setWriteBatching(true)) m_error = driverError();
}

void Writer::table(const mdbfile::Table& definition) {
  endTable();
  m_table = std::make_unique<Current>();
  Current& t = *m_table;
  // Everything but the rows, which may be a whole model's.
  t.definition.name = definition.name;
  t.definition.columns = definition.columns;
  t.definition.indexes = definition.indexes;
  t.definition.nextAutoNumber = definition.nextAutoNumber;
  t.changed.assign(definition.columns.size(), {});
  const std::string& name = definition.name;
  if (definition.columns.empty()) {
    report(ofTable(name) + " non reprise : elle n'a aucun champ");
    return;
  }
  std::vector<ColumnPlan> plans;
  std::string ddl, withDefaults, columns, marks;
  for (const auto& c : definition.columns) {
    plans.push_back(planColumn(c));
    const ColumnPlan& plan = plans.back();
    ddl += (ddl.empty() ? "" : ", ") + plan.ddl;
    withDefaults += (withDefaults.empty() ? "" : ", ") + plan.ddl +
                    (plan.defaultText.empty() ? "" : " DEFAULT " + plan.defaultText);
    columns += (columns.empty() ? "" : ", ") + bracketed(c.name);
    marks += marks.empty() ? "?" : ", ?";
    t.values.emplace_back();
  }
  const std::string create = "CREATE TABLE " + bracketed(name) + " (";
  if (!m_db.execute(create + withDefaults + ")")) {
    // A default the driver refuses (a function it lacks, a value of
    // another type): the table without them, then each one on its own.
    if (!m_db.execute(create + ddl + ")")) {
      report(ofTable(name) + " non reprise : " + driverError());
      return;
    }
    for (std::size_t i = 0; i < plans.size(); ++i) {
      if (plans[i].defaultText.empty()) continue;
      if (!m_db.execute("ALTER TABLE " + bracketed(name) + " ALTER COLUMN " + plans[i].ddl + " DEFAULT " +
                        plans[i].defaultText))
        report(ofColumn(name, definition.columns[i].name) + " : valeur par défaut " +
               quoted(*definition.columns[i].defaultValue) + " non reprise : " + driverError());
    }
  }
  t.insert = m_db.prepare("INSERT INTO " + bracketed(name) + " (" + columns + ") VALUES (" + marks + ")");
  if (!t.insert) {
    report(ofTable(name) + " : ses lignes ne peuvent être écrites : " + driverError());
    return;
  }
  t.made = true;
}

void Writer::row(mdbfile::Row row) {
  if (!m_table) return;
  Current& t = *m_table;
  if (!t.made) {
    ++t.refused;
    return;
  }
  for (std::size_t i = 0; i < row.size() && i < t.changed.size(); ++i) {
    Change change;
    t.values[i] = convert(row[i], change);
    if (change != Change::None) ++t.changed[i][static_cast<std::size_t>(change)];
  }
  if (m_db.execute(*t.insert, t.values)) {
    ++t.written;
    ++m_rowsWritten;
  } else if (t.refused++ == 0) {
    t.firstRefusal = driverError();
  }
}

void Writer::endTable() {
  if (!m_table) return;
  Current& t = *m_table;
  const mdbfile::Table& def = t.definition;
  for (std::size_t i = 0; i < t.changed.size(); ++i)
    for (std::size_t k = 1; k < kChanges; ++k)
      if (t.changed[i][k] != 0)
        report(ofColumn(def.name, def.columns[i].name) + " : " + std::to_string(t.changed[i][k]) +
               changeText(static_cast<Change>(k)));
  if (t.refused != 0) {
    report(ofTable(def.name) + " : " + std::to_string(t.refused) + " lignes non écrites" +
           (t.firstRefusal.empty() ? "" : " (la première : " + t.firstRefusal + ")"));
  }
  if (t.made) {
    t.insert.reset();
    m_written.emplace_back(def.name, t.written);
    for (const auto& index : def.indexes) makeIndex(index);
    for (std::size_t i = 0; i < def.columns.size(); ++i) {
      if (!def.columns[i].autoNumber || def.nextAutoNumber == 0) continue;
      // The driver numbers a new row after the highest number in use.
      auto q = m_db.query("SELECT Max(" + bracketed(def.columns[i].name) + ") FROM " + bracketed(def.name));
      std::int64_t next = 1;
      if (q && q->next()) next = q->value(0).asInteger() + 1;
      if (next != def.nextAutoNumber)
        report(ofColumn(def.name, def.columns[i].name) + " : le prochain numéro automatique sera " +
               std::to_string(next) + " et non " + std::to_string(def.nextAutoNumber) +
               " (le pilote numérote après le plus grand numéro présent)");
    }
  }
  m_table.reset();
}

void Writer::makeIndex(const mdbfile::Index& index) {
  const std::string& table = m_table->definition.name;
  std::string keys;
  for (const auto& c : index.columns) {
    keys += (keys.empty() ? "" : ", ") + bracketed(c.column);
    if (c.descending)
      report(ofTable(table) + ", index " + quoted(index.name) + " : ordre décroissant de " + quoted(c.column) +
             " non conservé (index croissant)");
  }
  std::string sql = std::string("CREATE ") + (index.unique && !index.primary ? "UNIQUE " : "") + "INDEX " +
                    bracketed(index.name) + " ON " + bracketed(table) + " (" + keys + ")";
  std::vector<std::string> with;
  if (index.primary) with.push_back("PRIMARY");
  if (index.required && !index.primary) with.push_back("DISALLOW NULL");
  if (index.ignoreNulls) with.push_back("IGNORE NULL");
  for (std::size_t i = 0; i < with.size(); ++i) sql += (i ? " " : " WITH ") + with[i];
  if (!m_db.execute(sql)) report(ofTable(table) + ", index " + quoted(index.name) + " non créé : " + driverError());
}

void Writer::relation(const mdbfile::Relation& relation) {
  endTable();
  m_relations.push_back(relation);
}

void Writer::makeRelation(const mdbfile::Relation& r) {
  const std::string what = "Relation " + quoted(r.name) + " (" + quoted(r.table) + " vers " + quoted(r.referencedTable) + ")";
  if (!r.enforced) {
    report(what + " non reprise : Access ne l'applique pas, et le pilote applique toute relation");
    return;
  }
  std::vector<std::string> columns, referenced;
  for (const auto& c : r.columns) {
    columns.push_back(c.column);
    referenced.push_back(c.referencedColumn);
  }
  if (!m_db.execute("ALTER TABLE " + bracketed(r.table) + " ADD CONSTRAINT " + bracketed(r.name) + " FOREIGN KEY (" +
                    nameList(columns) + ") REFERENCES " + bracketed(r.referencedTable) + " (" +
                    nameList(referenced) + ")")) {
    report(what + " non créée : " + driverError());
    return;
  }
  if (r.cascadeUpdates) report(what + " : mise à jour en cascade non reprise (la relation est appliquée sans cascade)");
  if (r.cascadeDeletes) report(what + " : suppression en cascade non reprise (la relation est appliquée sans cascade)");
}

void Writer::notCarried(const std::string& line) { report(line); }

bool Writer::finish() {
  endTable();
  for (const auto& r : m_relations) makeRelation(r);
  m_relations.clear();
  if (!m_db.setWriteBatching(false) && m_error.empty()) m_error = driverError();
  if (!m_error.empty()) return false;
  // Every row the driver took must be in the file: a batch lost on the way
  // would otherwise go unseen.
  for (const auto& [table, written] : m_written) {
    auto q = m_db.query("SELECT Count(*) FROM " + bracketed(table));
    if (!q || !q->next()) {
      m_error = driverError();
      return false;
    }
    if (q->value(0).asInteger() != static_cast<std::int64_t>(written)) {
      m_error = ofTable(table) + " : " + std::to_string(q->value(0).asInteger()) + " lignes dans le fichier pour " +
                std::to_string(written) + " écrites";
      return false;
    }
  }
  return true;
}

bool writeModel(const mdbfile::Database& model, Writer& writer) {
  writer.begin(model.jetVersion, model.codePage);
  for (const auto& t : model.tables) {
    writer.table(t);
    for (const auto& r : t.rows) writer.row(r);
  }
  for (const auto& r : model.relations) writer.relation(r);
  for (const auto& line : model.notCarried) writer.notCarried(line);
  return writer.finish();
}

}  // namespace mdbimport
