// Databases for the tests of the database layers: jetdb files in a
// temporary folder, and user data sources kept in a data-source file of
// that folder (ODBCINI), never in the user's own ~/.odbc.ini.
#pragma once

#include <string>
#include <vector>

#include "test_support/temp_dir.h"

class DbFiles {
 public:
  DbFiles();

  const std::string& dir() const { return m_dir.path(); }
  std::string odbcIni() const { return m_dir.path() + "/odbc.ini"; }

  // Creates the database file `name` and runs the statements on it; a
  // statement the driver refuses fails the test.
  std::string Create(const std::string& name, const std::vector<std::string>& statements);
  // Registers the data source on `path` as the installer call does.
  void Register(const std::string& dsn, const std::string& path);

 private:
  TempDir m_dir;
  ScopedEnv m_odbcIni;
};
