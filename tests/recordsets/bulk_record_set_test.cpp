#include "recordsets/categories_bulk_set.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_support/db_files.h"

namespace {

class CategoriesBulkSetTest : public ::testing::Test {
 protected:
  // The root -1, then kChildren categories under it (every third one with
  // children), then two under category 1.
  static constexpr int kChildren = 60;
  static_assert(kChildren > 2 * CRecordset::kDefaultRowsetSize, "the walk must cross rowsets");

  CategoriesBulkSetTest() {
    std::vector<std::string> sql = {
        "CREATE TABLE [Categories] ([CLASS_ID] INTEGER, [PERE_ID] INTEGER, [ASCHILD] BIT, [NAME_1] TEXT(50))",
        "INSERT INTO [Categories] VALUES (-1, -1, True, 'racine')"};
    for (int id = 1; id <= kChildren; ++id)
      sql.push_back("INSERT INTO [Categories] VALUES (" + std::to_string(id) + ", -1, " +
                    (id % 3 == 0 ? "True" : "False") + ", 'c')");
    sql.push_back("INSERT INTO [Categories] VALUES (100, 1, False, 'c')");
    sql.push_back("INSERT INTO [Categories] VALUES (101, 1, False, 'c')");
    m_files.Register("TQ2TMP", m_files.Create("base.mdb", sql));
  }

  DbFiles m_files;
};

TEST_F(CategoriesBulkSetTest, WalksMoreRowsThanOneRowsetRowByRow) {
  CCategoriesBulkSet set(nullptr, kConvertedDatabase);
  set.m_strBulkFilter = "[PERE_ID]=-1 AND [CLASS_ID]<>-1";
  set.m_strBulkSort = "[CLASS_ID]";
  ASSERT_TRUE(set.OpenColumns(65535));

  std::vector<LONG> seen;
  for (; !set.IsEOF(); set.MoveNext()) {
    seen.push_back(set.m_CLASS_ID);
    EXPECT_EQ(set.m_PERE_ID, -1);
    EXPECT_EQ(set.m_ASCHILD, set.m_CLASS_ID % 3 == 0 ? TRUE : FALSE) << set.m_CLASS_ID;
  }
  ASSERT_EQ(seen.size(), static_cast<std::size_t>(kChildren));
  for (int i = 0; i < kChildren; ++i) EXPECT_EQ(seen[i], i + 1);
  EXPECT_EQ(set.m_nRowsInRowset, 0);
  EXPECT_EQ(set.m_nRowInRowset, -1);

  // One set re-queried per parent, as the tree is read.
  set.m_strBulkFilter = "[PERE_ID]=1";
  ASSERT_TRUE(set.Requery());
  EXPECT_EQ(set.m_nRowsInRowset, 2);
  EXPECT_EQ(set.m_CLASS_ID, 100);
  set.MoveNext();
  EXPECT_EQ(set.m_CLASS_ID, 101);
  set.MoveNext();
  EXPECT_TRUE(set.IsEOF());

  set.m_strBulkFilter = "[PERE_ID]=2";
  set.Requery();
  EXPECT_TRUE(set.IsEOF());
  EXPECT_EQ(set.m_nRowInRowset, -1);
}

// The set reads from the driver as it moves: a set left half read, by
// Close or by Requery, must let go of its statement, or the table stays
// locked for the connection that shares it.
TEST_F(CategoriesBulkSetTest, ASetLeftHalfReadHoldsNoStatementOnItsDatabase) {
  CDatabase db;
  db.OpenEx(ConnectFor(kConvertedDatabase));
  CCategoriesBulkSet set(&db, kConvertedDatabase);
  set.m_strBulkFilter = "[PERE_ID]=-1";
  set.m_strBulkSort = "[CLASS_ID]";
  ASSERT_TRUE(set.OpenColumns(CCategoriesBulkSet::kClassId));
  for (int i = 0; i < 30; ++i) set.MoveNext();
  EXPECT_EQ(set.m_CLASS_ID, 30);

  set.m_strBulkFilter = "[PERE_ID]=1";
  set.Requery();
  EXPECT_EQ(set.m_CLASS_ID, 100);
  set.m_strBulkFilter = "[PERE_ID]=-1";
  set.Requery();
  set.MoveNext();
  EXPECT_EQ(set.m_CLASS_ID, 1);
  set.Close();
  EXPECT_NO_THROW(db.ExecuteSQL("DROP TABLE [Categories]"));
  db.Close();
}

TEST_F(CategoriesBulkSetTest, BindsOnlyTheColumnsOfTheMask) {
  CCategoriesBulkSet set(nullptr, kConvertedDatabase);
  set.m_strBulkFilter = "[CLASS_ID]=-1";
  set.m_CLASS_ID = 7;
  ASSERT_TRUE(set.OpenColumns(CCategoriesBulkSet::kAsChild));
  EXPECT_EQ(set.m_nFields, 1u);
  EXPECT_EQ(set.GetSQL(), "SELECT ASCHILD FROM [Categories] WHERE [CLASS_ID]=-1");
  EXPECT_EQ(set.m_pCLASS_IDValues, nullptr);
  EXPECT_EQ(set.m_ASCHILD, TRUE);
  EXPECT_EQ(set.m_CLASS_ID, 7);  // not bound, not touched
  EXPECT_THROW(set.AddNew(), CDBException);  // read-only
  set.Close();
  EXPECT_EQ(set.m_pASCHILDValues, nullptr);
}

TEST_F(CategoriesBulkSetTest, FailsWhenTheTableLacksAColumn) {
  m_files.Register("TQ2TMP", m_files.Create("old.mdb", {"CREATE TABLE [Categories] ([CLASS_ID] INTEGER, [PERE_ID] INTEGER)"}));
  CCategoriesBulkSet set(nullptr, kConvertedDatabase);
  EXPECT_TRUE(set.OpenColumns(CCategoriesBulkSet::kClassId | CCategoriesBulkSet::kPereId));
  set.Close();
  EXPECT_THROW(set.OpenColumns(7), CDBException);
}

}  // namespace
