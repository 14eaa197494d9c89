#include "merges/user_rows.h"

#include <algorithm>
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
    const jetdb::Value highest = Scalar(pDb, "SELECT Max(" + key + ") FROM " + table);
    const LONG to = std::max<LONG>(highest.isNull() ? 0 : static_cast<LONG>(highest.integer), floor) + 1;
    // The row at its new number first, so that every reference always has
    // a row to point at: the relations refuse anything else.
    std::string columns, values;
    const auto tableColumns = pDb->Driver().columns(keys.table);
    if (!tableColumns) return std::nullopt;
    for (const jetdb::ColumnInfo& column : *tableColumns) {
      if (!columns.empty()) columns += ", ";
      if (!values.empty()) values += ", ";
      columns += Bracket(column.name);
      const bool isKey = CString(column.name.c_str()).CompareNoCase(keys.key) == 0;
      values += isKey ? std::to_string(to) : Bracket(column.name);
    }
    Execute(pDb, "INSERT INTO " + table + " (" + columns + ") SELECT " + values + " FROM " + table + " WHERE " + key +
                     "=" + std::to_string(id));
    for (const KeyReference& ref : keys.references) {
      if (!HasColumn(pDb, ref.table, ref.column)) continue;
      Execute(pDb, "UPDATE " + Bracket(ref.table) + " SET " + Bracket(ref.column) + "=" + std::to_string(to) +
                       " WHERE " + Bracket(ref.column) + "=" + std::to_string(id));
    }
    Execute(pDb, "DELETE FROM " + table + " WHERE " + key + "=" + std::to_string(id));
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
  const LONG floor = *std::max_element(claimed.begin(), claimed.end());
  for (LONG id : claimed) {
    if (RowAtNumber(pDb, keys, id) != RowAt::User) continue;
    if (!MoveRow(pDb, keys, id, floor)) return FALSE;
  }
  return TRUE;
}
