#include "platform/odbc_installer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

#include "test_support/temp_dir.h"

namespace {

// Nul-separated attribute list, as the installer takes it.
std::string Attributes(std::initializer_list<std::string> pairs) {
  std::string list;
  for (const auto& pair : pairs) list += pair + '\0';
  return list + '\0';
}

BOOL Add(const std::string& attributes, const char* driver = kAccessDriverName) {
  return SQLConfigDataSource(nullptr, ODBC_ADD_DSN, driver, attributes.c_str());
}

BOOL Remove(const std::string& name) {
  return SQLConfigDataSource(nullptr, ODBC_REMOVE_DSN, kAccessDriverName, Attributes({"DSN=" + name}).c_str());
}

const std::string kPath = "/srv/toquelin data/BASE.MDB";

class OdbcInstallerTest : public ::testing::Test {
 protected:
  std::string ini() const { return m_dir.path() + "/odbc.ini"; }
  TempDir m_dir;
  ScopedEnv m_env{"ODBCINI", m_dir.path() + "/odbc.ini"};
};

// A file as a user and other programs leave it: comments, spacing, another
// data source, no line end at the very end.
const char kUserFile[] =
    "; data sources of this user\n"
    "[ODBC Data Sources]\n"
    "Stock   =  PostgreSQL Unicode\n"
    "\n"
    "[Stock]\n"
    "Driver      = PostgreSQL Unicode\n"
    "# the accounting server\n"
    "Servername  = compta.local\n"
    "Database=stock";

TEST_F(OdbcInstallerTest, AddsThenRemovesLeavingTheOtherEntriesAsTheyWere) {
  WriteFile(ini(), kUserFile);
  ASSERT_TRUE(Add(Attributes({"DSN=TQ2TMP", "FIL=MS Access", "MAXBUFFERSIZE=4096", "DBQ=" + kPath})));

  EXPECT_EQ(ReadFile(ini()),
            "; data sources of this user\n"
            "[ODBC Data Sources]\n"
            "Stock   =  PostgreSQL Unicode\n"
            "TQ2TMP=Microsoft Access Driver (*.mdb)\n"
            "\n"
            "[Stock]\n"
            "Driver      = PostgreSQL Unicode\n"
            "# the accounting server\n"
            "Servername  = compta.local\n"
            "Database=stock\n"
            "\n"
            "[TQ2TMP]\n"
            "Driver=Microsoft Access Driver (*.mdb)\n"
            "FIL=MS Access\n"
            "MAXBUFFERSIZE=4096\n"
            "DBQ=" + kPath + "\n");
  auto entry = LookUpDataSource("TQ2TMP");
  ASSERT_TRUE(entry);
  EXPECT_EQ(entry->databaseFile, kPath);
  EXPECT_EQ(entry->driver, kAccessDriverName);

  ASSERT_TRUE(Remove("TQ2TMP"));
  // Only the line end that the new section needed after the last line stays.
  EXPECT_EQ(ReadFile(ini()), std::string(kUserFile) + "\n");
  EXPECT_FALSE(LookUpDataSource("TQ2TMP"));
  EXPECT_FALSE(Remove("TQ2TMP"));
}

TEST_F(OdbcInstallerTest, AddingAgainReplacesInPlaceAndKeepsCrLf) {
  WriteFile(ini(), "[ODBC Data Sources]\r\nTQ2TMP=Microsoft Access Driver (*.mdb)\r\n\r\n"
                   "[TQ2TMP]\r\nDBQ=/old.mdb\r\n\r\n[Other]\r\nDriver=x\r\n");
  ASSERT_TRUE(Add(Attributes({"DSN=TQ2TMP", "DBQ=/new.mdb"})));
  EXPECT_EQ(ReadFile(ini()), "[ODBC Data Sources]\r\nTQ2TMP=Microsoft Access Driver (*.mdb)\r\n\r\n"
                             "[TQ2TMP]\r\nDriver=Microsoft Access Driver (*.mdb)\r\nDBQ=/new.mdb\r\n\r\n"
                             "[Other]\r\nDriver=x\r\n");
  ASSERT_TRUE(Remove("tq2tmp"));  // names compare without case, as unixODBC's do
  EXPECT_EQ(ReadFile(ini()), "[ODBC Data Sources]\r\n\r\n[Other]\r\nDriver=x\r\n");
}

TEST_F(OdbcInstallerTest, CreatesAMissingFile) {
  ASSERT_TRUE(Add(Attributes({"DSN=TQ2TMPSRC", "DBQ=/t/tq2V2_1.mdb"})));
  EXPECT_EQ(ReadFile(ini()), "[ODBC Data Sources]\nTQ2TMPSRC=Microsoft Access Driver (*.mdb)\n\n"
                             "[TQ2TMPSRC]\nDriver=Microsoft Access Driver (*.mdb)\nDBQ=/t/tq2V2_1.mdb\n");
}

TEST_F(OdbcInstallerTest, RefusesOtherDriversRequestsAndUnwritableFiles) {
  WriteFile(ini(), kUserFile);
  EXPECT_FALSE(Add(Attributes({"DSN=TQ2TMP", "DBQ=/a.mdb"}), "SQLite3"));
  EXPECT_FALSE(Add(Attributes({"FIL=MS Access", "DBQ=/a.mdb"})));  // no DSN
  EXPECT_FALSE(SQLConfigDataSource(nullptr, 4 /* ODBC_ADD_SYS_DSN */, kAccessDriverName,
                                   Attributes({"DSN=TQ2TMP", "DBQ=/a.mdb"}).c_str()));
  EXPECT_EQ(ReadFile(ini()), kUserFile);

  ScopedEnv elsewhere("ODBCINI", m_dir.path() + "/missing/odbc.ini");
  EXPECT_FALSE(Add(Attributes({"DSN=TQ2TMP", "DBQ=/a.mdb"})));
}

std::string Shell(const std::string& command) {
  std::string out;
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  char buffer[256];
  while (pipe && fgets(buffer, sizeof buffer, pipe.get())) out += buffer;
  return out;
}

TEST_F(OdbcInstallerTest, UnixOdbcListsTheDataSourceWhileItIsRegistered) {
  if (Shell("command -v odbcinst").empty()) GTEST_SKIP() << "odbcinst is not installed";
  WriteFile(ini(), kUserFile);
  ASSERT_TRUE(Add(Attributes({"DSN=TQ2TMP", "FIL=MS Access", "MAXBUFFERSIZE=4096", "DBQ=" + kPath})));
  std::string listed = Shell("odbcinst -q -s 2>&1");
  EXPECT_NE(listed.find("[TQ2TMP]"), std::string::npos) << listed;
  EXPECT_NE(listed.find("[Stock]"), std::string::npos) << listed;
  EXPECT_NE(Shell("odbcinst -q -s -n TQ2TMP 2>&1").find("DBQ=" + kPath), std::string::npos);

  ASSERT_TRUE(Remove("TQ2TMP"));
  listed = Shell("odbcinst -q -s 2>&1");
  EXPECT_EQ(listed.find("[TQ2TMP]"), std::string::npos) << listed;
  EXPECT_NE(listed.find("[Stock]"), std::string::npos) << listed;
}

}  // namespace
