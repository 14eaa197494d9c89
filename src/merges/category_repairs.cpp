#include "merges/category_repairs.h"

#include <string>
#include <utility>
#include <vector>

#include "jetdb/jetdb.h"
#include "shell/journal.h"

namespace {

constexpr LONG kRootId = -1;

std::vector<std::vector<LONG>> Rows(CDatabase* pDb, const std::string& sql, std::size_t columns) {
  jetdb::Database& db = pDb->Driver();
  auto query = db.query(sql);
  if (!query) throw CDBException::FromDriver(db.lastError());
  std::vector<std::vector<LONG>> rows;
  while (query->next()) {
    auto& row = rows.emplace_back();
    for (std::size_t c = 0; c < columns; ++c) {
      const jetdb::Value& v = query->value(c);
      row.push_back(v.isNull() ? 0 : static_cast<LONG>(v.integer));
    }
  }
  if (query->error()) throw CDBException::FromDriver(*query->error());
  return rows;
}

LONG Count(CDatabase* pDb, const std::string& sql) {
  const auto rows = Rows(pDb, sql, 1);
  return rows.empty() ? 0 : rows.front().front();
}

bool HasTable(CDatabase* pDb, const char* table) { return pDb->Driver().columns(table).has_value(); }

std::string SubCategories(LONG parentId) {
  return "(SELECT [CLASS_ID] FROM [Categories] WHERE [PERE_ID]=" + std::to_string(parentId) + ")";
}

}  // namespace

BOOL DeleteLinksOfSubCategories(CDatabase* pDb, LONG parentId) {
  const std::string under = " WHERE [CLASS_ID] IN " + SubCategories(parentId);
  try {
    LONG ingredients = 0, recipes = 0;
    for (const char* table : {"CategIngre", "CategIngAllerg", "CategRecet"}) {
      if (!HasTable(pDb, table)) continue;
      const std::string from = std::string("FROM [") + table + "]" + under;
      const LONG n = Count(pDb, "SELECT Count(*) " + from);
      if (n == 0) continue;
      pDb->ExecuteSQL(("DELETE * " + from).c_str());
      (std::string(table) == "CategRecet" ? recipes : ingredients) += n;
    }
    if (ingredients + recipes > 0)
      JournalFormat("Liens des sous-catégories de la catégorie %d supprimés : %d ingrédients, %d recettes\n",
                    static_cast<int>(parentId), static_cast<int>(ingredients), static_cast<int>(recipes));
    return TRUE;
  } catch (CDBException& e) {
    JournalDbError(e);
    return FALSE;
  }
}

BOOL AttachGrandchildrenToRoot(CDatabase* pDb, LONG parentId) {
  try {
    const auto rows = Rows(pDb,
                           "SELECT [CLASS_ID], [PERE_ID] FROM [Categories] WHERE [PERE_ID] IN " +
                               SubCategories(parentId) + " ORDER BY [CLASS_ID]",
                           2);
    for (const auto& row : rows) {
      const std::string id = std::to_string(row[0]), root = std::to_string(kRootId);
      pDb->ExecuteSQL(("UPDATE [Categories] SET [PERE_ID]=" + root + " WHERE [CLASS_ID]=" + id).c_str());
      // Its links name its parent too, and the relations hold them to it.
      for (const char* table : {"CategIngre", "CategIngAllerg", "CategRecet"})
        if (HasTable(pDb, table))
          pDb->ExecuteSQL((std::string("UPDATE [") + table + "] SET [CLASSPARENT]=" + root + " WHERE [CLASS_ID]=" + id)
                              .c_str());
      JournalFormat("Catégorie %d rattachée à la racine (catégorie %d supprimée)\n", static_cast<int>(row[0]),
                    static_cast<int>(row[1]));
    }
    return TRUE;
  } catch (CDBException& e) {
    JournalDbError(e);
    return FALSE;
  }
}
