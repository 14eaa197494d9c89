// The repairs that let a step delete categories, and add a template's rows,
// without losing or blocking on what a kitchen made around them.
#include "merges/category_repairs.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "jetdb/jetdb.h"
#include "merges/user_rows.h"
#include "test_support/db_files.h"
#include "test_support/journal_capture.h"

namespace {

// Categories with their links, under relations that refuse a category
// still linked.
const std::vector<std::string> kSchema{
    "CREATE TABLE [Categories] ([CLASS_ID] INTEGER CONSTRAINT PK PRIMARY KEY, [TYPE] BYTE, [PERE_ID] INTEGER, "
    "[NAME_1] TEXT(54), [OWNER] INTEGER, [ASCHILD] BIT)",
    "CREATE TABLE [Recettes] ([RECET_ID] INTEGER CONSTRAINT PK PRIMARY KEY, [NOM] TEXT(64))",
    "CREATE TABLE [CategRecet] ([RECET_ID] INTEGER, [CLASS_ID] INTEGER, [CLASSPARENT] INTEGER, "
    "CONSTRAINT PK PRIMARY KEY ([RECET_ID], [CLASS_ID]))",
    "CREATE TABLE [CategIngre] ([INGR_ID] INTEGER, [CLASS_ID] INTEGER, [CLASSPARENT] INTEGER, "
    "CONSTRAINT PK PRIMARY KEY ([INGR_ID], [CLASS_ID]))",
    "ALTER TABLE [CategRecet] ADD CONSTRAINT [R1] FOREIGN KEY ([CLASS_ID]) REFERENCES [Categories]([CLASS_ID])",
    "ALTER TABLE [CategIngre] ADD CONSTRAINT [R2] FOREIGN KEY ([CLASS_ID]) REFERENCES [Categories]([CLASS_ID])",
    "ALTER TABLE [CategRecet] ADD CONSTRAINT [R3] FOREIGN KEY ([RECET_ID]) REFERENCES [Recettes]([RECET_ID])",
    "ALTER TABLE [CategIngre] ADD CONSTRAINT [R4] FOREIGN KEY ([CLASSPARENT]) REFERENCES [Categories]([CLASS_ID])",
    "INSERT INTO [Recettes] VALUES (1, 'Tarte')",
    "INSERT INTO [Categories] VALUES (-1, 0, -1, 'Racine', -1, True)",
    "INSERT INTO [Categories] VALUES (26, 1, -1, 'Allergènes', -1, True)",
    "INSERT INTO [Categories] VALUES (29, 1, 26, 'Gluten', -1, False)",
    "INSERT INTO [Categories] VALUES (30, 1, 26, 'Lait', -1, True)",
    "INSERT INTO [Categories] VALUES (500, 1, 30, 'Lactose maison', 1, False)",
    "INSERT INTO [Categories] VALUES (40, 1, -1, 'Mes fromages', 1, True)",
    "INSERT INTO [Categories] VALUES (41, 1, 40, 'Chèvres', 1, False)",
    "INSERT INTO [Categories] VALUES (45, 1, -1, 'Du système', -1, False)",
    "INSERT INTO [CategIngre] VALUES (7, 29, 26)",
    "INSERT INTO [CategIngre] VALUES (8, 30, 26)",
    "INSERT INTO [CategIngre] VALUES (9, 500, 30)",
    "INSERT INTO [CategIngre] VALUES (10, 40, -1)",
    "INSERT INTO [CategRecet] VALUES (1, 29, 26)",
    "INSERT INTO [CategRecet] VALUES (1, 40, -1)",
};

class CategoryRepairsTest : public ::testing::Test {
 protected:
  CategoryRepairsTest() {
    m_files.Register("TQ2TMP", m_files.Create("base.mdb", kSchema));
    m_db.OpenEx("ODBC;DSN=TQ2TMP;");
  }

  std::string Rows(const std::string& sql) {
    auto query = m_db.Driver().query(sql);
    std::string text;
    while (query && query->next()) {
      for (std::size_t c = 0; c < query->columns().size(); ++c) text += (c ? "," : "") + query->value(c).asText();
      text += ";";
    }
    return text;
  }

  DbFiles m_files;
  JournalCapture m_journal;
  CDatabase m_db;
};

TEST_F(CategoryRepairsTest, SubCategoriesOfADeletedBranchLoseTheirLinksAndTheirChildrenMoveToTheRoot) {
  EXPECT_THROW(m_db.ExecuteSQL("DELETE FROM [Categories] WHERE [PERE_ID]=26"), CDBException);
  ASSERT_TRUE(DeleteLinksOfSubCategories(&m_db, 26));
  ASSERT_TRUE(AttachGrandchildrenToRoot(&m_db, 26));
  m_db.ExecuteSQL("DELETE FROM [Categories] WHERE [PERE_ID]=26");  // the step's own deletion now passes
  EXPECT_EQ(Rows("SELECT [INGR_ID], [CLASS_ID] FROM [CategIngre] ORDER BY [INGR_ID]"), "9,500;10,40;");
  EXPECT_EQ(Rows("SELECT [CLASS_ID] FROM [CategRecet]"), "40;");
  EXPECT_EQ(Rows("SELECT [PERE_ID] FROM [Categories] WHERE [CLASS_ID]=500"), "-1;");
  EXPECT_EQ(Rows("SELECT [CLASSPARENT] FROM [CategIngre] WHERE [CLASS_ID]=500"), "-1;");
  EXPECT_EQ(m_journal.Text(),
            "Liens des sous-catégories de la catégorie 26 supprimés : 2 ingrédients, 1 recettes\n"
            "Catégorie 500 rattachée à la racine (catégorie 30 supprimée)\n");
}

TEST_F(CategoryRepairsTest, NothingToRepairWritesNothing) {
  ASSERT_TRUE(DeleteLinksOfSubCategories(&m_db, 45));
  ASSERT_TRUE(AttachGrandchildrenToRoot(&m_db, 45));
  EXPECT_EQ(m_journal.Text(), "");
}

// A user's category at a claimed number moves above every number, with its
// children and links; a system row there stays for the step to meet.
TEST_F(CategoryRepairsTest, AUsersRowAtAClaimedNumberMovesWithEverythingThatNamesIt) {
  EXPECT_EQ(RowAtNumber(&m_db, CategoryKeys(), 45), RowAt::System);
  EXPECT_EQ(RowAtNumber(&m_db, CategoryKeys(), 46), RowAt::None);
  ASSERT_TRUE(MoveUserRowsAside(&m_db, CategoryKeys(), {36, 40, 45, 50}));
  EXPECT_EQ(Rows("SELECT [CLASS_ID], [NAME_1], [OWNER] FROM [Categories] WHERE [CLASS_ID]>=40 ORDER BY [CLASS_ID]"),
            "41,Chèvres,1;45,Du système,-1;500,Lactose maison,1;1000,Mes fromages,1;");
  EXPECT_EQ(Rows("SELECT [PERE_ID] FROM [Categories] WHERE [CLASS_ID]=41"), "1000;");
  EXPECT_EQ(Rows("SELECT [CLASS_ID] FROM [CategIngre] WHERE [INGR_ID]=10"), "1000;");
  EXPECT_EQ(Rows("SELECT [CLASS_ID] FROM [CategRecet] ORDER BY [CLASS_ID]"), "29;1000;");
  EXPECT_EQ(m_journal.Text(), "Données table [Categories] : enregistrement 40 de l'utilisateur déplacé en 1000\n");
}

}  // namespace
