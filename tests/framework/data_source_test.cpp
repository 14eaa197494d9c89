#include "framework/data_source.h"

#include <gtest/gtest.h>

#include <string>

#include "shell/journal.h"
#include "test_support/db_files.h"

namespace {

class DataSourceTest : public ::testing::Test {
 protected:
  ~DataSourceTest() override { CloseJournal(); }
  DbFiles m_files;
};

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
