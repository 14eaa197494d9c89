#include "framework/data_source.h"

#include <gtest/gtest.h>

#include <string>

#include "shell/journal.h"
#include "platform/database.h"
#include "platform/odbc_installer.h"
#include "test_support/db_files.h"

namespace {

std::string Pairs(const std::string& list) {
  std::string shown = list;
  for (char& c : shown) {
    if (c == '\0') c = '|';
  }
  return shown;
}

TEST(DataSourceAttributesTest, AreFourPairsEndedByTwoNuls) {
  EXPECT_EQ(Pairs(DataSourceAttributes("TQ2TMP", "C:\\DATA\\BASE.MDB")),
            "DSN=TQ2TMP|FIL=MS Access|MAXBUFFERSIZE=4096|DBQ=C:\\DATA\\BASE.MDB||");
  // The path keeps its '/': only the format's own separators end pairs.
  EXPECT_EQ(Pairs(DataSourceAttributes("TQ2TMPSRC", "/opt/toquelin/tq2V2_1.mdb")),
            "DSN=TQ2TMPSRC|FIL=MS Access|MAXBUFFERSIZE=4096|DBQ=/opt/toquelin/tq2V2_1.mdb||");
}

class DataSourceTest : public ::testing::Test {
 protected:
  ~DataSourceTest() override { CloseJournal(); }
  DbFiles m_files;
};

TEST_F(DataSourceTest, RegisteredDataSourcesOpenTheirFileUntilRemoved) {
  std::string base = m_files.Create("base.mdb", {"CREATE TABLE [Variables] ([NAME] TEXT(32))"});
  std::string tmpl = m_files.Create("tq2V2_1.mdb", {});
  ASSERT_TRUE(AddDataSource("TQ2TMP", base.c_str()));
  ASSERT_TRUE(AddDataSource("TQ2TMPSRC", tmpl.c_str()));
  EXPECT_EQ(LookUpDataSource("TQ2TMP")->databaseFile, base);
  EXPECT_EQ(LookUpDataSource("TQ2TMPSRC")->databaseFile, tmpl);

  CDatabase db;
  db.OpenEx("ODBC;DSN=TQ2TMP;UID=admin;PWD=qlvm7;");
  EXPECT_NO_THROW(db.ExecuteSQL("DELETE FROM [Variables]"));
  db.Close();

  RemoveDataSource("TQ2TMP", base.c_str());
  RemoveDataSource("TQ2TMP", base.c_str());  // already gone: nothing to say
  EXPECT_FALSE(LookUpDataSource("TQ2TMP"));
  EXPECT_TRUE(LookUpDataSource("TQ2TMPSRC"));
  RemoveDataSource("TQ2TMPSRC", tmpl.c_str());
  // A file made by the adds goes with the last remove.
  EXPECT_FALSE(FileExists(m_files.odbcIni()));
}

TEST_F(DataSourceTest, ARefusedAddJournalsTheFirstPairOnly) {
  std::string journal = m_files.dir() + "/Updater.log";
  OpenJournal(journal.c_str());
  ASSERT_NE(g_pJournal, nullptr);
  const std::string before = ReadFile(journal);

  ScopedEnv unwritable("ODBCINI", m_files.dir() + "/missing/odbc.ini");
  EXPECT_FALSE(AddDataSource("TQ2TMPSRC", "/opt/toquelin/tq2V2_1.mdb"));
  EXPECT_EQ(ReadFile(journal).substr(before.size()), "ERREUR : ODBC_ADD_DSN {DSN=TQ2TMPSRC}\r\n");

  CloseJournal();
  EXPECT_FALSE(AddDataSource("TQ2TMP", "/base.mdb"));  // no journal: nothing written, no crash
}

}  // namespace
