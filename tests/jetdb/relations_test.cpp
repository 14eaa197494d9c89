// The four rules of relations without cascades, through SQL and through the
// row API alike.
#include "test_db.h"

namespace jetdb::test {
namespace {

class Relations : public DbTest {
 protected:
  void SetUp() override {
    DbTest::SetUp();
    ok("CREATE TABLE [Categories] ([CLASS_ID] INTEGER CONSTRAINT PrimaryKey PRIMARY KEY, [NAME] TEXT(20))");
    ok("CREATE TABLE [Ingredients] ([INGRED_ID] COUNTER CONSTRAINT PrimaryKey PRIMARY KEY, [ENTPRINCIPAL] INTEGER)");
    ok("INSERT INTO [Categories] VALUES (1, 'un')");
    ok("INSERT INTO [Categories] VALUES (2, 'deux')");
    ok("INSERT INTO [Ingredients] ([ENTPRINCIPAL]) VALUES (1)");
    ok("INSERT INTO [Ingredients] ([ENTPRINCIPAL]) VALUES (Null)");
    ok("ALTER TABLE [Ingredients] ADD CONSTRAINT [CategoriesIngredients1] FOREIGN KEY ([ENTPRINCIPAL]) "
       "REFERENCES [Categories]([CLASS_ID])");
  }
};

// A statement that sets only columns outside every relation writes them
// without reading the rest of each row: type, size, Null and uniqueness are
// still checked, a failure changes no row, and a relation's column in the
// same statement is checked as always.
TEST_F(Relations, ColumnsOutsideEveryRelationKeepTheirChecks) {
  ok("ALTER TABLE [Ingredients] ADD [PXKG] DOUBLE");
  ok("ALTER TABLE [Ingredients] ADD [CODE] TEXT(4) NOT NULL");
  ok("UPDATE [Ingredients] SET [PXKG] = 2.5, [CODE] = 'C' & [INGRED_ID]");
  ok("CREATE UNIQUE INDEX [CODE] ON [Ingredients] ([CODE])");
  ok("UPDATE [Ingredients] SET [Ingredients].[PXKG] = Null");
  EXPECT_EQ(one("SELECT COUNT(*) FROM [Ingredients] WHERE [PXKG] IS NULL").integer, 2);
  EXPECT_EQ(fails("UPDATE [Ingredients] SET [PXKG] = 3, [CODE] = 'AB'"), "23000");
  EXPECT_EQ(fails("UPDATE [Ingredients] SET [PXKG] = 3, [CODE] = 'ABCDEFG'"), "22001");
  EXPECT_EQ(fails("UPDATE [Ingredients] SET [PXKG] = 3, [CODE] = Null"), "23000");
  EXPECT_EQ(fails("UPDATE [Ingredients] SET [PXKG] = 'cher'"), "22018");
  EXPECT_EQ(fails("UPDATE [Ingredients] SET [PXKG] = 3, [ENTPRINCIPAL] = 9"), "23000");
  EXPECT_EQ(one("SELECT COUNT(*) FROM [Ingredients] WHERE [PXKG] IS NULL AND [CODE] LIKE 'C#'").integer, 2);
  ok("UPDATE [Ingredients] SET [PXKG] = 4 WHERE [ENTPRINCIPAL] = 1");
  EXPECT_EQ(one("SELECT [CODE] FROM [Ingredients] WHERE [PXKG] = 4").text, "C1");
}

TEST_F(Relations, ChildValueMustExistInParentUnlessNull) {
  EXPECT_EQ(fails("INSERT INTO [Ingredients] ([ENTPRINCIPAL]) VALUES (9)"), "23000");
  EXPECT_NE(db_->lastError().message.find("'Categories'"), std::string::npos);
  EXPECT_EQ(fails("UPDATE [Ingredients] SET [ENTPRINCIPAL] = 9"), "23000");
  ok("INSERT INTO [Ingredients] ([ENTPRINCIPAL]) VALUES (2)");
  ok("UPDATE [Ingredients] SET [ENTPRINCIPAL] = Null WHERE [INGRED_ID] = 1");
  EXPECT_FALSE(db_->insertRow("Ingredients", {{"ENTPRINCIPAL", Value::of(42)}}));
  EXPECT_EQ(db_->lastError().state, "23000");
  EXPECT_EQ(count("Ingredients"), 3);
}

TEST_F(Relations, ParentWithChildrenCannotBeDeletedNorRekeyed) {
  EXPECT_EQ(fails("DELETE FROM [Categories] WHERE [CLASS_ID] = 1"), "23000");
  EXPECT_NE(db_->lastError().message.find("'Ingredients'"), std::string::npos);
  EXPECT_EQ(fails("UPDATE [Categories] SET [CLASS_ID] = 5 WHERE [CLASS_ID] = 1"), "23000");
  // A change that keeps the key, and a parent without children, are fine.
  ok("UPDATE [Categories] SET [NAME] = 'uno' WHERE [CLASS_ID] = 1");
  ok("UPDATE [Categories] SET [CLASS_ID] = 7 WHERE [CLASS_ID] = 2");
  ok("DELETE FROM [Categories] WHERE [CLASS_ID] = 7");

  auto q = db_->query("SELECT [CLASS_ID] FROM [Categories] WHERE [CLASS_ID] = 1");
  ASSERT_TRUE(q && q->next());
  RowId row = q->rowId();
  EXPECT_FALSE(db_->deleteRow("Categories", row));
  EXPECT_EQ(db_->lastError().state, "23000");
  EXPECT_FALSE(db_->updateRow("Categories", row, {{"CLASS_ID", Value::of(3)}}));
  ok("DELETE FROM [Ingredients]");
  EXPECT_TRUE(db_->deleteRow("Categories", row)) << db_->lastError().message;
}

TEST_F(Relations, AddingARelationOverBrokenRowsFails) {
  ok("CREATE TABLE [Fournisseurs] ([ID] INTEGER, [CAT] INTEGER)");
  ok("INSERT INTO [Fournisseurs] VALUES (1, 1)");
  ok("INSERT INTO [Fournisseurs] VALUES (2, 99)");
  const char* add =
      "ALTER TABLE [Fournisseurs] ADD CONSTRAINT [CategoriesFournisseurs] FOREIGN KEY ([CAT]) "
      "REFERENCES [Categories]([CLASS_ID])";
  EXPECT_EQ(fails(add), "23000");
  EXPECT_TRUE(db_->relations("Fournisseurs").empty());
  ok("UPDATE [Fournisseurs] SET [CAT] = Null WHERE [ID] = 2");
  ok(add);
  EXPECT_EQ(db_->relations("Fournisseurs").size(), 1u);
}

TEST_F(Relations, ReferredColumnsNeedAUniqueIndexAndMatchingTypes) {
  ok("CREATE TABLE [Libres] ([ID] INTEGER, [TXT] TEXT(10))");
  EXPECT_EQ(fails("ALTER TABLE [Libres] ADD CONSTRAINT [R1] FOREIGN KEY ([ID]) REFERENCES [Libres]([TXT])"), "HY000");
  EXPECT_EQ(fails("ALTER TABLE [Libres] ADD CONSTRAINT [R2] FOREIGN KEY ([TXT]) REFERENCES [Categories]([CLASS_ID])"),
            "HY000");
  EXPECT_EQ(fails("ALTER TABLE [Libres] ADD CONSTRAINT [R3] FOREIGN KEY ([ID]) REFERENCES [Nulle]([ID])"), "42S02");
  EXPECT_EQ(fails("ALTER TABLE [Libres] ADD CONSTRAINT [R4] FOREIGN KEY ([IDX]) REFERENCES [Categories]([CLASS_ID])"),
            "42S22");
}

TEST_F(Relations, UsedColumnsAndTablesCannotBeDroppedOrRetypedUntilTheRelationIs) {
  EXPECT_EQ(fails("ALTER TABLE [Ingredients] DROP COLUMN [ENTPRINCIPAL]"), "HY000");
  EXPECT_EQ(fails("ALTER TABLE [Ingredients] ALTER COLUMN [ENTPRINCIPAL] DOUBLE"), "HY000");
  EXPECT_EQ(fails("ALTER TABLE [Categories] ALTER COLUMN [CLASS_ID] SHORT"), "HY000");
  EXPECT_EQ(fails("DROP TABLE [Categories]"), "HY000");
  EXPECT_EQ(fails("DROP TABLE [Ingredients]"), "HY000");
  EXPECT_EQ(fails("DROP INDEX [PrimaryKey] ON [Categories]"), "HY000");
  ok("ALTER TABLE [Ingredients] DROP CONSTRAINT [CategoriesIngredients1]");
  ok("INSERT INTO [Ingredients] ([ENTPRINCIPAL]) VALUES (9)");  // no longer enforced
  ok("ALTER TABLE [Ingredients] DROP COLUMN [ENTPRINCIPAL]");
  ok("DROP TABLE [Categories]");
}

// The row writes make their SQL text for each row: names holding the
// quote that SQLite's names are written in must reach it doubled in every
// one of them, through statements and the row API alike.
TEST_F(Relations, NamesHoldingDoubleQuotesGoThroughEveryRowWrite) {
  ok("CREATE TABLE [Par\"ent] ([I\"d] LONG CONSTRAINT PK PRIMARY KEY, [No\"m] TEXT(20))");
  ok("CREATE TABLE [Enf\"ant] ([N] LONG CONSTRAINT PK PRIMARY KEY, [P\"id] LONG CONSTRAINT FK "
     "REFERENCES [Par\"ent] ([I\"d]))");
  ok("INSERT INTO [Par\"ent] VALUES (1, 'un')");
  ASSERT_TRUE(db_->insertRow("Par\"ent", {{"I\"d", Value::of(2)}, {"No\"m", Value::of("deux")}}));
  ok("INSERT INTO [Enf\"ant] VALUES (1, 1)");
  EXPECT_EQ(fails("INSERT INTO [Enf\"ant] VALUES (2, 3)"), "23000");
  EXPECT_FALSE(db_->insertRow("Enf\"ant", {{"N", Value::of(2)}, {"P\"id", Value::of(3)}}));
  EXPECT_EQ(db_->lastError().state, "23000");
  EXPECT_EQ(fails("DELETE FROM [Par\"ent] WHERE [I\"d] = 1"), "23000");
  ok("UPDATE [Enf\"ant] SET [P\"id] = 2");
  ok("UPDATE [Par\"ent] SET [No\"m] = 'uno' WHERE [I\"d] = 1");
  ok("DELETE FROM [Par\"ent] WHERE [I\"d] = 1");
  EXPECT_EQ(fails("DELETE FROM [Par\"ent]"), "23000");
  EXPECT_EQ(one("SELECT [No\"m] FROM [Par\"ent]").text, "deux");
  EXPECT_EQ(one("SELECT [P\"id] FROM [Enf\"ant]").integer, 2);
}

TEST_F(Relations, TextKeysMatchIgnoringCase) {
  ok("CREATE TABLE [Variables] ([NAME] TEXT(32) CONSTRAINT PK_NAME PRIMARY KEY NOT NULL, [VALSTR] TEXT(50))");
  ok("CREATE TABLE [Usages] ([VAR] TEXT(32))");
  ok("INSERT INTO [Variables] ([NAME]) VALUES ('Type_DB')");
  ok("ALTER TABLE [Usages] ADD CONSTRAINT [VariablesUsages] FOREIGN KEY ([VAR]) REFERENCES [Variables]([NAME])");
  ok("INSERT INTO [Usages] VALUES ('TYPE_DB')");
  // A key change in case only keeps the children attached.
  ok("UPDATE [Variables] SET [NAME] = 'TYPE_db'");
  EXPECT_EQ(fails("UPDATE [Variables] SET [NAME] = 'AUTRE'"), "23000");
}

TEST_F(Relations, SelfRelatedRowMayBeDeletedWhenItIsItsOwnParent) {
  ok("CREATE TABLE [Arbre] ([ID] INTEGER CONSTRAINT PrimaryKey PRIMARY KEY, [PERE] INTEGER)");
  ok("INSERT INTO [Arbre] VALUES (-1, Null)");
  ok("ALTER TABLE [Arbre] ADD CONSTRAINT [ArbreArbre] FOREIGN KEY ([PERE]) REFERENCES [Arbre]([ID])");
  ok("UPDATE [Arbre] SET [PERE] = -1");
  ok("INSERT INTO [Arbre] VALUES (5, -1)");
  EXPECT_EQ(fails("DELETE FROM [Arbre] WHERE [ID] = -1"), "23000");
  ok("DELETE FROM [Arbre] WHERE [ID] = 5");
  ok("DELETE FROM [Arbre] WHERE [ID] = -1");
}

// A link table's own index on its key serves the relation on that key;
// when the last such index goes, the relation gets one of its own. Through
// all of it the relation holds and the file checks sound.
TEST_F(Relations, AnIndexOnTheReferringColumnsServesTheRelation) {
  ok("CREATE TABLE [CategIngre] ([INGR_ID] INTEGER, [CLASS_ID] INTEGER, CONSTRAINT [PK] PRIMARY KEY ([CLASS_ID], "
     "[INGR_ID]))");
  ok("CREATE INDEX [CLASS] ON [CategIngre] ([CLASS_ID])");
  ok("INSERT INTO [CategIngre] VALUES (1, 2)");
  ok("ALTER TABLE [CategIngre] ADD CONSTRAINT [CategoriesCategIngre] FOREIGN KEY ([CLASS_ID]) REFERENCES "
     "[Categories]([CLASS_ID])");
  for (const char* drop : {"", "DROP INDEX [CLASS] ON [CategIngre]", "DROP INDEX [PK] ON [CategIngre]"}) {
    SCOPED_TRACE(drop);
    if (*drop) ok(drop);
    EXPECT_EQ(fails("DELETE FROM [Categories] WHERE [CLASS_ID] = 2"), "23000");
    EXPECT_EQ(fails("INSERT INTO [CategIngre] VALUES (1, 7)"), "23000");
    // The check finds a relation whose columns no index leads with.
    EXPECT_EQ(db_->check(), std::vector<std::string>{});
  }
  ok("DELETE FROM [CategIngre]");
  ok("DELETE FROM [Categories] WHERE [CLASS_ID] = 2");
  ok("ALTER TABLE [CategIngre] DROP CONSTRAINT [CategoriesCategIngre]");
  EXPECT_TRUE(db_->check().empty());
}

// The row writes keep what they know of a table's relations from one row to
// the next; each change of the relations or of the tables they join must be
// seen by the next write on the same connection: a relation added, dropped,
// undone with its transaction, and tables made again with their columns in
// other places.
TEST_F(Relations, EveryRowWriteSeesTheRelationsAsTheyAreNow) {
  ok("INSERT INTO [Ingredients] ([ENTPRINCIPAL]) VALUES (2)");
  EXPECT_EQ(fails("INSERT INTO [Ingredients] ([ENTPRINCIPAL]) VALUES (9)"), "23000");
  ok("ALTER TABLE [Ingredients] DROP CONSTRAINT [CategoriesIngredients1]");
  ok("INSERT INTO [Ingredients] ([ENTPRINCIPAL]) VALUES (9)");
  ok("DELETE FROM [Categories] WHERE [CLASS_ID] = 2");
  ok("DELETE FROM [Ingredients] WHERE [ENTPRINCIPAL] IN (2, 9)");
  ok("INSERT INTO [Categories] VALUES (2, 'deux')");

  ASSERT_TRUE(db_->beginTransaction());
  ok("ALTER TABLE [Ingredients] ADD CONSTRAINT [CategoriesIngredients1] FOREIGN KEY ([ENTPRINCIPAL]) "
     "REFERENCES [Categories]([CLASS_ID])");
  EXPECT_FALSE(db_->insertRow("Ingredients", {{"ENTPRINCIPAL", Value::of(9)}}));
  ASSERT_TRUE(db_->rollbackTransaction());
  RowId nine = 0;
  ASSERT_TRUE(db_->insertRow("Ingredients", {{"ENTPRINCIPAL", Value::of(9)}}, &nine));
  ASSERT_TRUE(db_->deleteRow("Ingredients", nine));

  // Both tables made again, each key column now behind another column.
  ok("DROP TABLE [Ingredients]");
  ok("DROP TABLE [Categories]");
  ok("CREATE TABLE [Categories] ([NAME] TEXT(20), [RANG] INTEGER, [CLASS_ID] INTEGER CONSTRAINT PrimaryKey PRIMARY "
     "KEY)");
  ok("CREATE TABLE [Ingredients] ([NOM] TEXT(20), [ENTPRINCIPAL] INTEGER, [INGRED_ID] COUNTER CONSTRAINT PrimaryKey "
     "PRIMARY KEY)");
  ok("INSERT INTO [Categories] VALUES ('un', 7, 1)");
  ok("INSERT INTO [Categories] VALUES ('sept', 1, 7)");
  ok("ALTER TABLE [Ingredients] ADD CONSTRAINT [CategoriesIngredients1] FOREIGN KEY ([ENTPRINCIPAL]) "
     "REFERENCES [Categories]([CLASS_ID])");
  RowId carrot = 0;
  ASSERT_TRUE(db_->insertRow("Ingredients", {{"NOM", Value::of(std::string("carotte"))}, {"ENTPRINCIPAL", Value::of(1)}},
                             &carrot));
  EXPECT_FALSE(db_->insertRow("Ingredients", {{"NOM", Value::of(std::string("x"))}, {"ENTPRINCIPAL", Value::of(2)}}));
  EXPECT_EQ(db_->lastError().state, "23000");
  // Category 7's rank is 1 and category 1 has a child: read at the old
  // places, the key would be 7 for the one and the rank for the other.
  EXPECT_EQ(fails("DELETE FROM [Categories] WHERE [CLASS_ID] = 1"), "23000");
  ok("DELETE FROM [Categories] WHERE [CLASS_ID] = 7");
  EXPECT_EQ(fails("UPDATE [Ingredients] SET [ENTPRINCIPAL] = 7"), "23000");
  ok("UPDATE [Ingredients] SET [NOM] = 'navet'");
  ASSERT_TRUE(db_->deleteRow("Ingredients", carrot));
  ok("DELETE FROM [Categories] WHERE [CLASS_ID] = 1");
  EXPECT_EQ(count("Categories"), 0);
}

// A row insert looks for all its parents in one statement. It must come to
// what the checks one by one came to: a key with a Null in it needs no
// parent, text keys match ignoring case and are written as given, and a
// missing parent is named, the first relation's first; a refused row in a
// batch leaves the rows around it.
TEST_F(Relations, AnInsertFindsItsParentsAsTheChecksOneByOneDid) {
  ok("CREATE TABLE [Unites] ([U1] INTEGER, [U2] TEXT(5), CONSTRAINT [PK] PRIMARY KEY ([U1], [U2]))");
  ok("INSERT INTO [Unites] VALUES (3, 'kg')");
  ok("CREATE TABLE [Liens] ([A] TEXT(5), [C] INTEGER, [B] INTEGER, [D] TEXT(5))");
  ok("ALTER TABLE [Liens] ADD CONSTRAINT [CategoriesLiens] FOREIGN KEY ([B]) REFERENCES [Categories]([CLASS_ID])");
  ok("ALTER TABLE [Liens] ADD CONSTRAINT [UnitesLiens] FOREIGN KEY ([C], [D]) REFERENCES [Unites]([U1], [U2])");
  ASSERT_TRUE(db_->setWriteBatching(true));
  ok("INSERT INTO [Liens] VALUES ('a', 3, 1, 'KG')");
  ok("INSERT INTO [Liens] VALUES ('b', 3, Null, Null)");
  ok("INSERT INTO [Liens] VALUES ('c', 7, 2, Null)");
  EXPECT_EQ(fails("INSERT INTO [Liens] VALUES ('x', 3, 9, 'kg')"), "23000");
  EXPECT_NE(db_->lastError().message.find("'Categories'"), std::string::npos) << db_->lastError().message;
  EXPECT_EQ(fails("INSERT INTO [Liens] VALUES ('x', 3, 1, 'g')"), "23000");
  EXPECT_NE(db_->lastError().message.find("'Unites'"), std::string::npos) << db_->lastError().message;
  EXPECT_FALSE(db_->insertRow("Liens", {{"B", Value::of(9)}, {"C", Value::of(4)}, {"D", Value::of(std::string("l"))}}));
  EXPECT_NE(db_->lastError().message.find("'Categories'"), std::string::npos) << db_->lastError().message;
  ASSERT_TRUE(db_->insertRow("Liens", {{"A", Value::of(std::string("d"))}, {"B", Value::of(2)}}));
  ASSERT_TRUE(db_->setWriteBatching(false));
  EXPECT_EQ(count("Liens"), 4);
  EXPECT_EQ(one("SELECT [D] FROM [Liens] WHERE [A] = 'a'").text, "KG");
  EXPECT_EQ(one("SELECT COUNT(*) FROM [Liens] WHERE [C] = 3 AND [B] IS NULL AND [D] IS NULL").integer, 1);

  // A table that is its own parent finds rows it holds already.
  ok("CREATE TABLE [Arbre] ([ID] INTEGER CONSTRAINT PrimaryKey PRIMARY KEY, [PERE] INTEGER)");
  ok("ALTER TABLE [Arbre] ADD CONSTRAINT [ArbreArbre] FOREIGN KEY ([PERE]) REFERENCES [Arbre]([ID])");
  ok("INSERT INTO [Arbre] VALUES (1, Null)");
  ok("INSERT INTO [Arbre] VALUES (2, 1)");
  EXPECT_EQ(fails("INSERT INTO [Arbre] VALUES (3, 3)"), "23000");
  EXPECT_EQ(count("Arbre"), 2);
  // What looks for the parents is not a function that Access SQL knows.
  EXPECT_EQ(fails("SELECT jet_parent_missing() FROM [Arbre]"), "42000");
}

}  // namespace
}  // namespace jetdb::test
