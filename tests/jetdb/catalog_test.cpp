// The catalog a file carries about itself, as the shell and the layer above
// read it.
#include "test_db.h"

namespace jetdb::test {
namespace {

class CatalogTest : public DbTest {};

TEST_F(CatalogTest, FileDescribesItselfAfterReopen) {
  ok("CREATE TABLE [Unites] ([UNITDEF_ID] INTEGER CONSTRAINT PrimaryKey PRIMARY KEY, [NAME_1] TEXT(32) NOT NULL, "
     "[CFACT] DOUBLE, [IMPERIAL] LOGICAL, [NB] SMALLINT, [DATE_MAJ] DATETIME, [NOTE] MEMO, [ID] AUTOINCREMENT, "
     "[R] SINGLE, [P] MONEY, [O] BYTE)");
  ok("CREATE TABLE [Ingredients] ([INGRED_ID] COUNTER, [U] LONG)");
  ok("CREATE UNIQUE INDEX [Nom] ON [Unites] ([NAME_1] DESC, [NB]) WITH IGNORE NULL");
  ok("ALTER TABLE [Ingredients] ADD CONSTRAINT [UnitesIngredients] FOREIGN KEY ([U]) REFERENCES [Unites]");
  reopen();
  EXPECT_EQ(db_->tables(), (std::vector<std::string>{"Unites", "Ingredients"}));
  auto cols = db_->columns("unites");
  ASSERT_TRUE(cols);
  std::vector<std::string> shown;
  for (const auto& c : *cols) shown.push_back(c.name + " " + typeName(c.type) + " " + std::to_string(c.size) + (c.nullable ? "" : " NN"));
  EXPECT_EQ(shown, (std::vector<std::string>{"UNITDEF_ID LONG 4 NN", "NAME_1 TEXT 32 NN", "CFACT DOUBLE 8",
                                             "IMPERIAL BIT 1 NN", "NB SHORT 2", "DATE_MAJ DATETIME 8", "NOTE MEMO 0",
                                             "ID COUNTER 4", "R REAL 4", "P CURRENCY 8", "O BYTE 1"}));
  auto ix = db_->indexes("Unites");
  ASSERT_EQ(ix.size(), 2u);
  EXPECT_EQ(ix[1].name, "Nom");
  EXPECT_EQ(ix[1].columns, (std::vector<std::string>{"NAME_1", "NB"}));
  EXPECT_TRUE(ix[1].unique && ix[1].ignoreNull && !ix[1].primary);
  auto rel = db_->relations("Unites");
  ASSERT_EQ(rel.size(), 1u);
  EXPECT_EQ(rel[0].table, "Ingredients");
  EXPECT_EQ(rel[0].refColumns, (std::vector<std::string>{"UNITDEF_ID"}));  // the primary key, unnamed
  EXPECT_EQ(db_->relations("Ingredients").size(), 1u);
  EXPECT_FALSE(db_->columns("Nulle"));
  EXPECT_TRUE(db_->indexes("Nulle").empty());
}

// Definitions of several tables in turn: each reopened table has its own
// columns in their order, with their defaults, and its own indexes.
TEST_F(CatalogTest, EachTableGetsBackItsOwnDefinitionsWhateverTheirOrder) {
  ok("CREATE TABLE [A] ([A1] LONG DEFAULT 1, [A2] TEXT(5))");
  ok("CREATE TABLE [B] ([B1] TEXT(4) DEFAULT 'b', [A1] LONG DEFAULT 7)");
  ok("ALTER TABLE [A] ADD COLUMN [A3] DOUBLE");
  ok("CREATE INDEX [IB] ON [B] ([B1])");
  ok("ALTER TABLE [B] ADD COLUMN [B3] BIT");
  ok("ALTER TABLE [A] DROP COLUMN [A2]");
  ok("CREATE INDEX [IA] ON [A] ([A3], [A1])");
  ok("CREATE TABLE [C] ([C1] LONG)");
  reopen();
  const auto described = [&](const std::string& table) {
    std::string shown;
    const auto columns = db_->columns(table);
    if (!columns) return std::string("no table");
    for (const auto& c : *columns)
      shown += c.name + (c.defaultValue ? "=" + *c.defaultValue : "") + " ";
    for (const auto& ix : db_->indexes(table)) {
      shown += "[" + ix.name;
      for (const auto& c : ix.columns) shown += " " + c;
      shown += "]";
    }
    return shown;
  };
  EXPECT_EQ(described("A"), "A1=1 A3 [IA A3 A1]");
  EXPECT_EQ(described("B"), "B1='b' A1=7 B3 [IB B1]");
  EXPECT_EQ(described("C"), "C1 ");
}

TEST_F(CatalogTest, SelectStarFollowsColumnOrderAfterChanges) {
  ok("CREATE TABLE [T] ([A] INTEGER, [B] TEXT(3), [C] BIT)");
  ok("ALTER TABLE [T] DROP COLUMN [B]");
  ok("ALTER TABLE [T] ADD COLUMN [D] DATETIME");
  ok("INSERT INTO [T] VALUES (1, True, #2001-01-01#)");
  auto q = db_->query("SELECT * FROM [T]");
  ASSERT_TRUE(q && q->next());
  ASSERT_EQ(q->columns().size(), 3u);
  EXPECT_EQ(q->columns()[2].name, "D");
  EXPECT_EQ(q->value(1).integer, -1);
  EXPECT_EQ(q->value(2).kind, Value::Kind::DateTime);
}

TEST_F(CatalogTest, FailedDefinitionLeavesCatalogAsItWas) {
  ok("CREATE TABLE [P] ([ID] INTEGER CONSTRAINT PrimaryKey PRIMARY KEY)");
  // The table part succeeds, its relation fails: nothing remains.
  EXPECT_EQ(fails("CREATE TABLE [C] ([ID] INTEGER, [P] TEXT(4) CONSTRAINT [PC] REFERENCES [P] ([ID]))"), "HY000");
  EXPECT_EQ(db_->tables(), std::vector<std::string>{"P"});
  ok("CREATE TABLE [C] ([ID] INTEGER, [P] INTEGER CONSTRAINT [PC] REFERENCES [P] ([ID]))");
  EXPECT_EQ(db_->relations("C").size(), 1u);
  reopen();
  EXPECT_EQ(db_->relations("P").size(), 1u);
}

// Tables and relations are found by their names as Access compares them,
// whatever the name's characters: case aside, a ligature as its letters,
// accents counted; a name that is not ASCII may equal one that is.
TEST_F(CatalogTest, NamesAreFoundAsAccessComparesThemWhateverTheirCharacters) {
  ok("CREATE TABLE [Œuvres] ([ID] INTEGER CONSTRAINT PrimaryKey PRIMARY KEY)");
  ok("CREATE TABLE [Recettes] ([ID] INTEGER CONSTRAINT PrimaryKey PRIMARY KEY)");
  ok("CREATE TABLE [Détails] ([N] INTEGER, [OEUVRE] INTEGER, [RECETTE] INTEGER)");
  ok("ALTER TABLE [détails] ADD CONSTRAINT [OeuvresDetails] FOREIGN KEY ([OEUVRE]) REFERENCES [oeuvres]([ID])");
  ok("ALTER TABLE [DÉTAILS] ADD CONSTRAINT [RecettesDetails] FOREIGN KEY ([RECETTE]) REFERENCES [RECETTES]([ID])");
  ok("INSERT INTO [OEUVRES] ([ID]) VALUES (1)");
  ok("INSERT INTO [recettes] ([ID]) VALUES (2)");
  EXPECT_EQ(count("œuvres"), 1);
  EXPECT_EQ(count("Oeuvres"), 1);
  EXPECT_EQ(fails("CREATE TABLE [OEUVRES] ([X] INTEGER)"), "42S01");
  EXPECT_EQ(fails("CREATE TABLE [rEcEtTeS] ([X] INTEGER)"), "42S01");
  // Accents count: 'Details' is another table.
  EXPECT_EQ(fails("SELECT * FROM [Details]"), "42S02");
  ok("CREATE TABLE [Details] ([X] INTEGER)");
  // Both relations hold, reached from either side by any spelling.
  ok("INSERT INTO [détails] ([N], [OEUVRE], [RECETTE]) VALUES (1, 1, 2)");
  EXPECT_EQ(fails("INSERT INTO [Détails] ([N], [OEUVRE], [RECETTE]) VALUES (2, 9, 2)"), "23000");
  EXPECT_EQ(fails("INSERT INTO [DÉTAILS] ([N], [OEUVRE], [RECETTE]) VALUES (3, 1, 9)"), "23000");
  EXPECT_EQ(fails("DELETE FROM [oeuvres] WHERE [ID] = 1"), "23000");
  EXPECT_EQ(fails("DELETE FROM [RECETTES] WHERE [ID] = 2"), "23000");
  ok("DROP TABLE [details]");
  EXPECT_EQ(count("Détails"), 1);
  EXPECT_EQ(fails("SELECT * FROM [Details]"), "42S02");
}

}  // namespace
}  // namespace jetdb::test
