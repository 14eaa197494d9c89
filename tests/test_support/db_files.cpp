#include "test_support/db_files.h"

#include <gtest/gtest.h>

#include "jetdb/jetdb.h"
#include "platform/odbc_installer.h"

DbFiles::DbFiles() : m_odbcIni("ODBCINI", m_dir.path() + "/odbc.ini") {}

std::string DbFiles::Create(const std::string& name, const std::vector<std::string>& statements) {
  std::string path = m_dir.path() + "/" + name;
  jetdb::Error error;
  auto db = jetdb::Database::open(path, true, error);
  EXPECT_TRUE(db) << error.message;
  if (!db) return path;
  for (const auto& sql : statements) EXPECT_TRUE(db->execute(sql)) << sql << ": " << db->lastError().message;
  return path;
}

void DbFiles::Register(const std::string& dsn, const std::string& path) {
  std::string attributes = "DSN=" + dsn + '\0' + "DBQ=" + path + '\0' + '\0';
  ASSERT_TRUE(SQLConfigDataSource(nullptr, ODBC_ADD_DSN, kAccessDriverName, attributes.c_str()));
}
