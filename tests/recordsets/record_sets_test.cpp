// Which connection a record set opens by itself, and one connection shared
// by two sets, as the merges share them. What each set binds is read on the
// real templates and databases by every chain run (tests/fixtures).
#include <gtest/gtest.h>

#include "recordsets/variables_set.h"
#include "test_support/db_files.h"

namespace {

const char kVariables[] = "CREATE TABLE [Variables] ([NAME] TEXT(32), [VALSTR] TEXT(255), [VALNUM] DOUBLE)";

class ConnectionsTest : public ::testing::Test {
 protected:
  ConnectionsTest() {
    m_files.Register(
        "TQ2TMP",
        m_files.Create("base.mdb", {kVariables, "INSERT INTO [Variables] VALUES ('TYPE_DB', 'Toquelin', 1)"}));
    m_files.Register(
        "TQ2TMPSRC",
        m_files.Create("tq2V2_1.mdb", {kVariables, "INSERT INTO [Variables] VALUES ('TYPE_DB', 'Modele', 2)"}));
  }
  DbFiles m_files;
};

TEST_F(ConnectionsTest, ASetWithoutDatabaseConnectsByItsDbVersion) {
  CVariablesSet converted(nullptr, kConvertedDatabase);
  converted.Open();
  EXPECT_EQ(converted.m_VALSTR, "Toquelin");
  // The code of any version, the last step's target too, names a template.
  for (const DbVersion version : {2004, 2005003}) {
    CVariablesSet tmpl(nullptr, version);
    tmpl.Open();
    EXPECT_EQ(tmpl.m_VALSTR, "Modele") << version;
  }

  // Given an open database, a set works on it whatever its DbVersion.
  CVariablesSet onConverted(converted.m_pDatabase, 2000);
  onConverted.Open();
  EXPECT_EQ(onConverted.m_VALSTR, "Toquelin");
}

TEST_F(ConnectionsTest, TwoSetsShareOneConnection) {
  CVariablesSet carrier(nullptr, kConvertedDatabase);
  carrier.Open();
  CDatabase* db = carrier.m_pDatabase;
  {
    CVariablesSet writer(db, kConvertedDatabase);
    writer.m_strFilter = "[NAME]='TYPE_DB'";
    writer.Open();
    writer.Edit();
    writer.m_VALNUM = 3;
    EXPECT_TRUE(writer.Update());
    writer.AddNew();
    writer.m_NAME = "LANGUE";
    writer.m_VALSTR = "FR";
    EXPECT_TRUE(writer.Update());
    writer.Close();
    EXPECT_EQ(writer.m_pDatabase, db);
  }
  EXPECT_TRUE(db->IsOpen());
  carrier.m_strSort = "[NAME]";
  carrier.Requery();
  EXPECT_EQ(carrier.m_NAME, "LANGUE");
  EXPECT_EQ(carrier.m_VALNUM, 0.0);
  EXPECT_TRUE(carrier.IsFieldNull(&carrier.m_VALNUM));
  carrier.MoveNext();
  EXPECT_EQ(carrier.m_VALNUM, 3.0);
  carrier.Close();
  EXPECT_EQ(carrier.m_pDatabase, nullptr);
}

}  // namespace
