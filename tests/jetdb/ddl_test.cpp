// Definition statements: atomicity, per-table names, constraints and the
// conversion of ALTER COLUMN.
#include "test_db.h"

namespace jetdb::test {
namespace {

class Ddl : public DbTest {};

TEST_F(Ddl, AddOfSeveralColumnsIsAllOrNothing) {
  ok("CREATE TABLE [Categories] ([CLASS_ID] INTEGER, [EXPORTABLE] BIT)");
  EXPECT_EQ(fails("ALTER TABLE [Categories] ADD COLUMN [A] INTEGER, [B] TEXT(10), [EXPORTABLE] BIT"), "42S21");
  EXPECT_EQ(db_->lastError().message, "Le champ 'EXPORTABLE' existe déjà dans la table 'Categories'.");
  EXPECT_EQ(db_->columns("Categories")->size(), 2u);
  ok("ALTER TABLE [Categories] ADD COLUMN [A] INTEGER, [B] TEXT(10)");
  EXPECT_EQ(db_->columns("Categories")->size(), 4u);
  // The file agrees with the catalog in memory.
  reopen();
  EXPECT_EQ(db_->columns("Categories")->size(), 4u);
  ok("INSERT INTO [Categories] ([CLASS_ID], [A], [B]) VALUES (1, 2, 'x')");
}

TEST_F(Ddl, DropOfSeveralColumnsIsAllOrNothing) {
  ok("CREATE TABLE [T] ([A] INTEGER, [B] INTEGER, [C] INTEGER)");
  ok("CREATE INDEX [C] ON [T] ([C])");
  EXPECT_EQ(fails("ALTER TABLE [T] DROP COLUMN [A], [C]"), "HY000");
  EXPECT_EQ(fails("ALTER TABLE [T] DROP COLUMN [A], [Z]"), "42S22");
  EXPECT_EQ(db_->columns("T")->size(), 3u);
  ok("ALTER TABLE [T] DROP [A], [B]");
  ASSERT_EQ(db_->columns("T")->size(), 1u);
  EXPECT_EQ(fails("ALTER TABLE [T] DROP COLUMN [C]"), "HY000");
}

TEST_F(Ddl, IndexNamesBelongToTheirTable) {
  ok("CREATE TABLE [Ingredients] ([IMPORTED] BIT)");
  ok("CREATE TABLE [Recettes] ([IMPORTED] BIT)");
  ok("CREATE INDEX [IMPORTED] ON [Ingredients] ( [IMPORTED] )");
  ok("CREATE INDEX [IMPORTED] ON [Recettes] ( [IMPORTED] )");
  EXPECT_EQ(fails("CREATE INDEX [imported] ON [Recettes] ( [IMPORTED] )"), "42S11");
  ok("DROP INDEX [IMPORTED] ON [Recettes]");
  EXPECT_EQ(db_->indexes("Ingredients").size(), 1u);
  EXPECT_EQ(fails("DROP INDEX [IMPORTED] ON [Recettes]"), "42S12");
  EXPECT_EQ(fails("ALTER TABLE [Recettes] DROP CONSTRAINT [IMPORTED]"), "42S12");
  ok("ALTER TABLE [Ingredients] DROP CONSTRAINT [IMPORTED]");
  EXPECT_TRUE(db_->indexes("Ingredients").empty());
}

TEST_F(Ddl, ConstraintsOfCreateTable) {
  ok("CREATE TABLE [LAN_Clients] ( [SERNUM] TEXT(12) CONSTRAINT PrimaryKey PRIMARY KEY NOT NULL, [ENABLE] BIT, "
     "[CODE] TEXT(5) UNIQUE, [N] INTEGER NOT NULL, CONSTRAINT [UQ] UNIQUE ([ENABLE], [N]))");
  auto ix = db_->indexes("LAN_Clients");
  ASSERT_EQ(ix.size(), 3u);
  EXPECT_TRUE(ix[0].primary);
  EXPECT_EQ(ix[0].name, "PrimaryKey");
  EXPECT_EQ(ix[2].name, "UQ");
  EXPECT_EQ(fails("INSERT INTO [LAN_Clients] ([SERNUM]) VALUES ('A')"), "23000");  // [N] is NOT NULL
  ok("INSERT INTO [LAN_Clients] ([SERNUM], [N], [CODE]) VALUES ('A', 1, 'x')");
  EXPECT_EQ(fails("INSERT INTO [LAN_Clients] ([SERNUM], [N]) VALUES ('a', 2)"), "23000");
  EXPECT_EQ(fails("INSERT INTO [LAN_Clients] ([SERNUM], [N], [CODE]) VALUES ('B', 2, 'X')"), "23000");
  EXPECT_EQ(fails("ALTER TABLE [LAN_Clients] ADD CONSTRAINT [PK2] PRIMARY KEY ([CODE])"), "42S11");
  EXPECT_EQ(fails("CREATE TABLE [X] ([A] INTEGER, [a] TEXT)"), "42S21");
  EXPECT_EQ(fails("CREATE TABLE [X] ([A] TEXT(256))"), "42000");
  EXPECT_EQ(fails("CREATE TABLE [X] ([A] WIDGET)"), "42000");
  EXPECT_EQ(db_->tables(), std::vector<std::string>{"LAN_Clients"});
}

TEST_F(Ddl, PrimaryKeyOverNullOrDuplicateRowsFails) {
  ok("CREATE TABLE [T] ([A] INTEGER, [B] INTEGER)");
  ok("INSERT INTO [T] VALUES (1, Null)");
  EXPECT_EQ(fails("ALTER TABLE [T] ADD CONSTRAINT [PrimaryKey] PRIMARY KEY ([A], [B])"), "23000");
  ok("UPDATE [T] SET [B] = 1");
  ok("INSERT INTO [T] VALUES (1, 1)");
  EXPECT_EQ(fails("ALTER TABLE [T] ADD CONSTRAINT [PrimaryKey] PRIMARY KEY ([A], [B])"), "23000");
  EXPECT_TRUE(db_->indexes("T").empty());
  ok("DELETE FROM [T] WHERE [A] = 1 AND [B] = 1 AND [A] = 2");
  ok("CREATE INDEX [K] ON [T] ([A]) WITH DISALLOW NULL");
  EXPECT_EQ(fails("INSERT INTO [T] VALUES (Null, 3)"), "23000");
}

TEST_F(Ddl, AlterColumnConvertsOrFailsWhole) {
  ok("CREATE TABLE [FmtEtiquette] ([ID] INTEGER, [MRGHAUT] FLOAT, [REF] TEXT(32))");
  ok("INSERT INTO [FmtEtiquette] VALUES (1, 2.5, 'abcdef')");
  ok("INSERT INTO [FmtEtiquette] VALUES (2, 3.5, 'ab')");
  ok("ALTER TABLE [FmtEtiquette] ALTER COLUMN [MRGHAUT] INTEGER");
  // Half-way values go to the even neighbour, as Access rounds them.
  EXPECT_EQ(one("SELECT [MRGHAUT] FROM [FmtEtiquette] WHERE [ID] = 1").integer, 2);
  EXPECT_EQ(one("SELECT [MRGHAUT] FROM [FmtEtiquette] WHERE [ID] = 2").integer, 4);
  EXPECT_EQ(db_->columns("FmtEtiquette")->at(1).type, JetType::Long);

  EXPECT_EQ(fails("ALTER TABLE [FmtEtiquette] ALTER COLUMN [REF] TEXT(4)"), "22001");
  EXPECT_EQ(db_->columns("FmtEtiquette")->at(2).size, 32);
  EXPECT_EQ(fails("ALTER TABLE [FmtEtiquette] ALTER COLUMN [REF] SHORT"), "22018");
  ok("UPDATE [FmtEtiquette] SET [REF] = '70000' WHERE [ID] = 1");
  ok("UPDATE [FmtEtiquette] SET [REF] = '12' WHERE [ID] = 2");
  EXPECT_EQ(fails("ALTER TABLE [FmtEtiquette] ALTER COLUMN [REF] SHORT"), "22003");
  ok("ALTER TABLE [FmtEtiquette] ALTER COLUMN [REF] LONG");
  EXPECT_EQ(one("SELECT SUM([REF]) FROM [FmtEtiquette]").asInteger(), 70012);
  ok("ALTER TABLE [FmtEtiquette] ALTER COLUMN [MRGHAUT] TEXT(10)");
  EXPECT_EQ(one("SELECT [MRGHAUT] FROM [FmtEtiquette] WHERE [ID] = 2").text, "4");
}

TEST_F(Ddl, DropTableRemovesItsIndexesAndNameIsFreeAgain) {
  ok("CREATE TABLE [T] ([A] INTEGER CONSTRAINT PrimaryKey PRIMARY KEY)");
  ok("INSERT INTO [T] VALUES (1)");
  ok("DROP TABLE [t]");
  EXPECT_EQ(fails("DROP TABLE [T]"), "42S02");
  ok("CREATE TABLE [T] ([A] TEXT(5))");
  ok("CREATE INDEX [PrimaryKey] ON [T] ([A])");
  EXPECT_EQ(count("T"), 0);
}

// A DEFAULT fills the columns an INSERT does not name, each row anew; one
// that could never be stored is refused with its definition.
TEST_F(Ddl, DefaultsFillWhatAnInsertLeavesOutAndOutliveAReopen) {
  ok("CREATE TABLE [T] ([N] COUNTER, [Nom] TEXT(10) NOT NULL DEFAULT \"sans nom\", [Q] LONG DEFAULT -2,"
     " [Le] DATETIME DEFAULT Date(), [Oui] BIT DEFAULT True, [Rien] TEXT(5))");
  ok("INSERT INTO [T] ([Q]) VALUES (Null)");
  ASSERT_TRUE(db_->insertRow("T", {{"Rien", Value::of("x")}}));
  EXPECT_EQ(one("SELECT [Nom] & '|' & [Q] & '|' & [Oui] FROM [T] WHERE [N] = 1").text, "sans nom||-1");
  EXPECT_EQ(one("SELECT [Nom] & '|' & [Q] & '|' & [Oui] FROM [T] WHERE [N] = 2").text, "sans nom|-2|-1");
  EXPECT_EQ(one("SELECT Count(*) FROM [T] WHERE [Le] = Date()").integer, 2);
  // SELECT ... INTO takes types, not rules.
  ok("SELECT * INTO [Copie] FROM [T]");
  EXPECT_FALSE((*db_->columns("Copie"))[1].defaultValue);

  EXPECT_EQ(fails("CREATE TABLE [U] ([A] LONG DEFAULT 'abc')"), "22018");
  EXPECT_EQ(fails("CREATE TABLE [U] ([A] TEXT(2) DEFAULT 'abc')"), "22001");
  EXPECT_EQ(fails("CREATE TABLE [U] ([A] LONG DEFAULT Inconnue())"), "42000");
  EXPECT_EQ(fails("CREATE TABLE [U] ([A] COUNTER DEFAULT 1)"), "42000");
  EXPECT_EQ(fails("ALTER TABLE [T] ADD COLUMN [Z] BYTE DEFAULT 300"), "22003");
  EXPECT_FALSE(db_->columns("U"));

  ok("ALTER TABLE [T] ADD COLUMN [Z] BYTE DEFAULT 7");
  ok("ALTER TABLE [T] ALTER COLUMN [Q] LONG");  // a new definition, without its default
  reopen();
  const auto cols = *db_->columns("T");
  EXPECT_EQ(cols[1].defaultValue, "\"sans nom\"");
  EXPECT_EQ(cols[3].defaultValue, "Date()");
  EXPECT_FALSE(cols[2].defaultValue);
  EXPECT_EQ(cols[6].defaultValue, "7");
  EXPECT_TRUE(one("SELECT [Z] FROM [T] WHERE [N] = 1").isNull());  // rows already there keep Null
  ok("INSERT INTO [T] ([Rien]) VALUES ('y')");
  EXPECT_EQ(one("SELECT [Z] FROM [T] WHERE [Rien] = 'y'").integer, 7);
  EXPECT_TRUE(one("SELECT [Q] FROM [T] WHERE [Rien] = 'y'").isNull());

  // A table made again under the same name starts without them.
  ok("DROP TABLE [T]");
  ok("CREATE TABLE [T] ([Nom] TEXT(10))");
  EXPECT_FALSE((*db_->columns("T"))[0].defaultValue);
  EXPECT_TRUE(db_->check().empty());
}

TEST_F(Ddl, ReservedAndMalformedNamesAreRefused) {
  EXPECT_EQ(fails("CREATE TABLE [_jet_tables] ([A] INTEGER)"), "HY000");
  EXPECT_EQ(fails("CREATE TABLE [a.b] ([A] INTEGER)"), "HY000");
  EXPECT_EQ(fails("CREATE TABLE [T] ([_jet_row] INTEGER)"), "HY000");
  EXPECT_EQ(fails("CREATE TABLE [] ([A] INTEGER)"), "42000");
}

}  // namespace
}  // namespace jetdb::test
