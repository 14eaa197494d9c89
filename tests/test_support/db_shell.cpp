#include "test_support/db_shell.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "jetdb/jetdb.h"
#include "steps/versions.h"

void Shell(const std::string& db, const std::string& statement) {
  const std::string command = std::string("'") + JETSQL + "' '" + db + "' \"" + statement + "\" >/dev/null";
  ASSERT_EQ(std::system(command.c_str()), 0) << statement;
}

std::string Text(const std::string& db, const std::string& sql) {
  jetdb::Error error;
  auto database = jetdb::Database::open(db, jetdb::OpenMode::ReadOnly, error);
  if (!database) return "cannot open: " + error.message;
  auto query = database->query(sql);
  if (!query) return "query failed: " + database->lastError().message;
  return query->next() ? query->value(0).asText() : "no row";
}

std::string Version(const std::string& db) {
  return Text(db, "SELECT [Langue_1] FROM [Langue_System] WHERE [Libelle]='IDS_VERSION_DB'");
}

bool HasColumn(const std::string& db, const std::string& table, const std::string& column) {
  jetdb::Error error;
  auto database = jetdb::Database::open(db, jetdb::OpenMode::ReadOnly, error);
  auto columns = database ? database->columns(table) : std::nullopt;
  if (!columns) return false;
  for (const auto& c : *columns)
    if (c.name == column) return true;
  return false;
}

std::string ReachedVersion() { return StoredVersionText(ChainTarget()); }

std::string AnyOf(const std::string& column, std::initializer_list<int> values) {
  std::string condition;
  for (int value : values) condition += (condition.empty() ? "(" : " OR ") + column + "=" + std::to_string(value);
  return condition + ")";
}
