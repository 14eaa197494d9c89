#include "merges/user_rows.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <string>

#include "jetdb/jetdb.h"
#include "shell/journal.h"

namespace {

constexpr LONG kSystemUser = -1;

std::string Bracket(const std::string& name) { return "[" + name + "]"; }

// The first value of the first row, Null when there is none.
jetdb::Value Scalar(CDatabase* pDb, const std::string& sql) {
  jetdb::Database& db = pDb->Driver();
  auto query = db.query(sql);
  if (!query) throw CDBException::FromDriver(db.lastError());
  if (!query->next()) {
    if (query->error()) throw CDBException::FromDriver(*query->error());
    return jetdb::Value::null();
  }
  return query->value(0);
}

bool HasColumn(CDatabase* pDb, const char* table, const char* column) {
  const auto columns = pDb->Driver().columns(table);
  if (!columns) return false;
  return std::any_of(columns->begin(), columns->end(), [column](const jetdb::ColumnInfo& c) {
    return CString(c.name.c_str()).CompareNoCase(column) == 0;
  });
}

// The lowest number above `floor` (and above 0) that the table does not
// use: the keys above it are read in order until the first gap.
LONG FreeNumberAbove(CDatabase* pDb, const KeyedTable& keys, LONG floor) {
  const LONG first = std::max<LONG>(floor, 0) + 1;
  jetdb::Database& db = pDb->Driver();
  auto query = db.query("SELECT " + Bracket(keys.key) + " FROM " + Bracket(keys.table) + " WHERE " +
                        Bracket(keys.key) + ">=" + std::to_string(first) + " ORDER BY " + Bracket(keys.key));
  if (!query) throw CDBException::FromDriver(db.lastError());
  std::int64_t candidate = first;
  while (query->next() && query->value(0).integer == candidate) ++candidate;
  if (query->error()) throw CDBException::FromDriver(*query->error());
  if (candidate > std::numeric_limits<LONG>::max()) throw CDBException(SQL_ERROR, "Aucun numéro libre.", "");
  return static_cast<LONG>(candidate);
}

void Execute(CDatabase* pDb, const std::string& sql) { pDb->ExecuteSQL(CString(sql.c_str())); }

}  // namespace

const KeyedTable& CategoryKeys() {
  static const KeyedTable keys{"Categories",
                               "CLASS_ID",
                               {{"Categories", "PERE_ID"},
                                {"CategRecet", "CLASS_ID"},
                                {"CategRecet", "CLASSPARENT"},
                                {"CategIngre", "CLASS_ID"},
                                {"CategIngre", "CLASSPARENT"},
                                {"CategIngAllerg", "CLASS_ID"},
                                {"CategIngAllerg", "CLASSPARENT"},
                                {"Fournisseurs", "ID"},
                                {"Ingredients", "FOURN1"},
                                {"Ingredients", "FOURN2"}}};
  return keys;
}

const KeyedTable& UnitKeys() {
  static const KeyedTable keys{"Unites",
                               "UNITDEF_ID",
                               {{"Ingredients", "UNITE"},
                                {"Ingredients", "FOU1_UNIT"},
                                {"Ingredients", "FOU2_UNIT"},
                                {"Ingredients", "FOU1_UNIT2"},
                                {"Ingredients", "FOU2_UNIT2"},
                                {"Ingredients", "PEUNIT"},
                                {"Ingredients", "PEUNITNET"},
                                {"Ingredients", "NUTRI_UNIT"},
                                {"Recettes", "NUTRI_UNIT"},
                                {"Compositions", "UNITE"},
                                {"FicheProduction", "UNITE"}}};
  return keys;
}

const KeyedTable& PreEmballeLabelKeys() {
  static const KeyedTable keys{"LibellesPreEmballe",
                               "ID",
                               {{"Ingredients", "PREEM_DENVENT"},
                                {"Ingredients", "PREEM_COMPOS"},
                                {"Ingredients", "PREEM_CATADDITIF"},
                                {"RecetPreEmbal", "ID_VOLPDS"},
                                {"RecetPreEmbal", "ID_DATE"},
                                {"RecetPreEmbal", "ID_LIEU"},
                                {"RecetPreEmbal", "ID_APOUVERT"},
                                {"MSpecifIng", "IDMSPECIF"},
                                {"MSpecifRec", "IDMSPECIF"}}};
  return keys;
}

const KeyedTable& ProgressionKeys() {
  static const KeyedTable keys{"Progression", "IDPROGRESSION", {}};
  return keys;
}

std::vector<LONG> TemplateKeys(CDatabase* pTemplateDb, const KeyedTable& keys) {
  jetdb::Database& db = pTemplateDb->Driver();
  auto query = db.query("SELECT " + Bracket(keys.key) + " FROM " + Bracket(keys.table));
  if (!query) throw CDBException::FromDriver(db.lastError());
  std::vector<LONG> ids;
  while (query->next())
    if (!query->value(0).isNull()) ids.push_back(static_cast<LONG>(query->value(0).integer));
  if (query->error()) throw CDBException::FromDriver(*query->error());
  return ids;
}

RowAt RowAtNumber(CDatabase* pDb, const KeyedTable& keys, LONG id) {
  const std::string sql = "SELECT [OWNER] FROM " + Bracket(keys.table) + " WHERE " + Bracket(keys.key) + "=" +
                          std::to_string(id);
  jetdb::Database& db = pDb->Driver();
  auto query = db.query(sql);
  if (!query) throw CDBException::FromDriver(db.lastError());
  if (!query->next()) return RowAt::None;
  const jetdb::Value owner = query->value(0);
  return !owner.isNull() && owner.integer == kSystemUser ? RowAt::System : RowAt::User;
}

std::optional<LONG> MoveRow(CDatabase* pDb, const KeyedTable& keys, LONG id, LONG floor) {
  const std::string table = Bracket(keys.table);
  const std::string key = Bracket(keys.key);
  try {
    const LONG to = FreeNumberAbove(pDb, keys, floor);
    // The row at its new number first, so that every reference always has
    // a row to point at: the relations refuse anything else.
    // A column of a unique index (other than the key) would refuse the
    // copy beside its original: the copy holds Null there until the
    // original is gone, then gets the value back.
    std::vector<std::string> unique;
    for (const jetdb::IndexInfo& index : pDb->Driver().indexes(keys.table)) {
      if (!index.unique || index.primary) continue;
      for (const std::string& column : index.columns)
        if (std::find(unique.begin(), unique.end(), column) == unique.end()) unique.push_back(column);
    }
    std::string columns, values;
    const auto tableColumns = pDb->Driver().columns(keys.table);
    if (!tableColumns) return std::nullopt;
    for (const jetdb::ColumnInfo& column : *tableColumns) {
      if (!columns.empty()) columns += ", ";
      if (!values.empty()) values += ", ";
      columns += Bracket(column.name);
      const bool isKey = CString(column.name.c_str()).CompareNoCase(keys.key) == 0;
      const bool isUnique = std::find(unique.begin(), unique.end(), column.name) != unique.end();
      values += isKey ? std::to_string(to) : isUnique ? std::string("Null") : Bracket(column.name);
    }
    std::vector<jetdb::Value> held;
    for (const std::string& column : unique)
      held.push_back(Scalar(pDb, "SELECT " + Bracket(column) + " FROM " + table + " WHERE " + key + "=" +
                                     std::to_string(id)));
    Execute(pDb, "INSERT INTO " + table + " (" + columns + ") SELECT " + values + " FROM " + table + " WHERE " + key +
                     "=" + std::to_string(id));
    for (const KeyReference& ref : keys.references) {
      if (!HasColumn(pDb, ref.table, ref.column)) continue;
      Execute(pDb, "UPDATE " + Bracket(ref.table) + " SET " + Bracket(ref.column) + "=" + std::to_string(to) +
                       " WHERE " + Bracket(ref.column) + "=" + std::to_string(id));
    }
    Execute(pDb, "DELETE FROM " + table + " WHERE " + key + "=" + std::to_string(id));
    if (!unique.empty()) {
      std::string set;
      for (const std::string& column : unique) set += (set.empty() ? "" : ", ") + Bracket(column) + "=?";
      jetdb::Database& db = pDb->Driver();
      if (!db.execute("UPDATE " + table + " SET " + set + " WHERE " + key + "=" + std::to_string(to), held))
        throw CDBException::FromDriver(db.lastError());
    }
    JournalFormat("Données table [%s] : enregistrement %d de l'utilisateur déplacé en %d\n", keys.table,
                  static_cast<int>(id), static_cast<int>(to));
    return to;
  } catch (CDBException& e) {
    JournalDbError(e);
    return std::nullopt;
  }
}

BOOL MoveUserRowsAside(CDatabase* pDb, const KeyedTable& keys, const std::vector<LONG>& claimed) {
  if (claimed.empty()) return TRUE;
  // Numbers below 1000 are the templates' to claim, now or in a later
  // step: a row moved above them is not in the way again.
  constexpr LONG kTemplateNumbers = 999;
  const LONG floor = std::max(*std::max_element(claimed.begin(), claimed.end()), kTemplateNumbers);
  for (LONG id : claimed) {
    if (RowAtNumber(pDb, keys, id) != RowAt::User) continue;
    if (!MoveRow(pDb, keys, id, floor)) return FALSE;
  }
  return TRUE;
}
