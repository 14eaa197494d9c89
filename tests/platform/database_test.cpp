#include "platform/database.h"

#include <gtest/gtest.h>

#include <ctime>
#include <functional>

#include "jetdb/jetdb.h"
#include "platform/connect_string.h"
#include "platform/db_time.h"
#include "test_support/db_files.h"

namespace {

class DatabaseTest : public ::testing::Test {
 protected:
  DbFiles m_files;
};

TEST_F(DatabaseTest, UnknownDataSourcesAndUnreadableFilesFailToOpen) {
  CDatabase db;
  try {
    db.OpenEx("ODBC;DSN=TQ2TMP;UID=admin;PWD=qlvm7;");
    FAIL();
  } catch (CDBException& e) {
    EXPECT_EQ(e.m_strStateNativeOrigin.Left(12), "State:IM002,");
    EXPECT_NE(e.m_strError.Find("TQ2TMP"), -1);
  }
  EXPECT_FALSE(db.IsOpen());

  // Registration does not check the path; opening does, through the driver.
  m_files.Register("TQ2TMPSRC", m_files.dir() + "/tq2V2_1.mdb");
  EXPECT_THROW(db.OpenEx("ODBC;DSN=TQ2TMPSRC;UID=admin;PWD=qlvm7;"), CDBException);
  WriteFile(m_files.dir() + "/tq2V2_1.mdb", "not a database");
  EXPECT_THROW(db.OpenEx("ODBC;DSN=TQ2TMPSRC;UID=admin;PWD=qlvm7;"), CDBException);
  EXPECT_EQ(ReadFile(m_files.dir() + "/tq2V2_1.mdb"), "not a database");
  EXPECT_FALSE(db.IsOpen());
}

TEST_F(DatabaseTest, OpenedReadOnlyItReadsRefusesWritesAndLeavesTheFileAlone) {
  const std::string path = m_files.Create("base.mdb", {"CREATE TABLE [Variables] ([NAME] TEXT(32), [VALNUM] DOUBLE)",
                                                       "INSERT INTO [Variables] ([NAME], [VALNUM]) VALUES ('TYPE_DB', 1)"});
  m_files.Register("TQ2TMP", path);
  const std::string before = ReadFile(path);
  const std::function<void(CDatabase&)> opens[] = {
      [](CDatabase& db) { db.Open("TQ2TMP", FALSE, TRUE); },
      [](CDatabase& db) { db.OpenEx("ODBC;DSN=TQ2TMP;UID=admin;PWD=qlvm7;", CDatabase::openReadOnly); },
  };
  for (const auto& open : opens) {
    CDatabase db;
    open(db);
    ASSERT_TRUE(db.IsOpen());
    auto query = db.Driver().query("SELECT [NAME] FROM [Variables]");
    ASSERT_TRUE(query && query->next());
    EXPECT_EQ(query->value(0).text, "TYPE_DB");
    query.reset();
    for (const char* sql : {"DELETE FROM [Variables]", "CREATE TABLE [Autre] ([N] INTEGER)"}) {
      try {
        db.ExecuteSQL(sql);
        ADD_FAILURE() << sql << " went through a read-only connection";
      } catch (CDBException& e) {
        EXPECT_EQ(e.m_strStateNativeOrigin.Left(23), "State:HY000,Native:3027") << sql;
      }
    }
    EXPECT_FALSE(FileExists(path + "-wal"));
    EXPECT_FALSE(FileExists(path + "-shm"));
  }
  EXPECT_EQ(ReadFile(path), before);
}

TEST_F(DatabaseTest, ADriverAndFileConnectStringOpensTheFileWithoutADataSource) {
  // Braces and semicolons of the path must reach the driver as they are.
  const std::string path = m_files.Create("a;b}c.mdb", {"CREATE TABLE [Variables] ([NAME] TEXT(32))",
                                                        "INSERT INTO [Variables] ([NAME]) VALUES ('TYPE_DB')"});
  const std::string before = ReadFile(path);
  {
    CDatabase db;
    ASSERT_TRUE(db.OpenEx(FileConnectString(path).c_str(), CDatabase::openReadOnly));
    auto query = db.Driver().query("SELECT [NAME] FROM [Variables]");
    ASSERT_TRUE(query && query->next());
    EXPECT_EQ(query->value(0).text, "TYPE_DB");
    query.reset();
    EXPECT_THROW(db.ExecuteSQL("DELETE FROM [Variables]"), CDBException);
  }
  EXPECT_EQ(ReadFile(path), before);
  EXPECT_FALSE(FileExists(m_files.odbcIni()));

  CDatabase other;
  try {
    other.OpenEx(("ODBC;DRIVER={SQLite3};DBQ=" + path + ";").c_str(), CDatabase::openReadOnly);
    FAIL() << "another driver opened the file";
  } catch (CDBException& e) {
    EXPECT_EQ(e.m_strStateNativeOrigin.Left(12), "State:IM003,");
  }
  EXPECT_THROW(other.OpenEx(FileConnectString(m_files.dir() + "/missing.mdb").c_str(), CDatabase::openReadOnly),
               CDBException);
}

// Dates are wall-clock times: what the driver stores is the local time of
// the CTime, whatever the zone, and it comes back as the same local time.
TEST(CTimeTest, GoesToTheDriverAsLocalWallClockTime) {
  for (const char* zone : {"Europe/Paris", "America/New_York", "UTC"}) {
    ScopedEnv tz("TZ", zone);
    tzset();
    std::tm summer{};
    summer.tm_year = 2024 - 1900;
    summer.tm_mon = 6;
    summer.tm_mday = 14;
    summer.tm_hour = 9;
    summer.tm_min = 30;
    summer.tm_sec = 5;
    const std::int64_t wallClock = timegm(&summer);

    CTime t(2024, 7, 14, 9, 30, 5);
    EXPECT_EQ(ToDriverSeconds(t), wallClock) << zone;
    CTime back = FromDriverSeconds(wallClock);
    EXPECT_EQ(back, t) << zone;
    EXPECT_EQ(back.GetHour(), 9);
    EXPECT_EQ(back.GetDay(), 14);
    EXPECT_EQ(FromDriverSeconds(-2208988800).GetYear(), 1900) << zone;  // before 1970
  }
  tzset();
}

}  // namespace
