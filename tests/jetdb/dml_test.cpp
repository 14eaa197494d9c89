// Data statements as the record sets and the steps write them, and the row
// API.
#include "test_db.h"

namespace jetdb::test {
namespace {

class Dml : public DbTest {
 protected:
  void SetUp() override {
    DbTest::SetUp();
    ok("CREATE TABLE [Langue_System] ([Item_Id] INTEGER CONSTRAINT PrimaryKey PRIMARY KEY, [LIBELLE] TEXT(64), "
       "[Langue_1] TEXT(255), [Owner] INTEGER)");
    ok("INSERT INTO [Langue_System] VALUES (105, 'IDS_A', 'Été', -1)");
    ok("INSERT INTO [Langue_System] VALUES (107, 'IDS_VERSION_DB', '2.4.3.307', -1)");
    ok("INSERT INTO [Langue_System] VALUES (108, 'ids_b', 'eté', 0)");
    ok("INSERT INTO [Langue_System] VALUES (110, Null, 'l''été', 0)");
  }
  std::vector<std::int64_t> ids(const std::string& where, const std::string& order = "[Item_Id]") {
    std::vector<std::int64_t> out;
    auto q = db_->query("SELECT [Item_Id] FROM [Langue_System] WHERE " + where + " ORDER BY " + order);
    EXPECT_TRUE(q) << where << " -> " << db_->lastError().message;
    while (q && q->next()) out.push_back(q->value(0).integer);
    return out;
  }
  using V = std::vector<std::int64_t>;
};

TEST_F(Dml, RecordSetFiltersAndSorts) {
  EXPECT_EQ(ids("[Item_Id]<=107"), (V{105, 107}));
  EXPECT_EQ(ids("[Item_Id] > 107"), (V{108, 110}));
  EXPECT_EQ(ids("[LIBELLE]='IDS_VERSION_DB'"), (V{107}));
  EXPECT_EQ(ids("[Owner] = -1"), (V{105, 107}));
  EXPECT_EQ(ids("[Item_Id]<>-1 AND NOT ([Owner] = 0)"), (V{105, 107}));
  EXPECT_EQ(ids("[LIBELLE] IS NULL OR ([Item_Id] = 105)"), (V{105, 110}));
  EXPECT_EQ(ids("[Item_Id] > 0", "[Owner],[Item_Id] DESC"), (V{107, 105, 110, 108}));
}

TEST_F(Dml, TextComparisonsIgnoreCaseButNotAccents) {
  EXPECT_EQ(ids("[LIBELLE]='ids_version_db'"), (V{107}));
  EXPECT_EQ(ids("[Langue_1]='ETE'"), (V{}));
  EXPECT_EQ(ids("[Langue_1]='ÉTÉ'"), (V{105}));
  EXPECT_EQ(ids("[Langue_1]<>'ETÉ' AND [Item_Id] <> 107"), (V{105, 110}));
  EXPECT_EQ(ids("[Langue_1] LIKE 'é*'"), (V{105}));
  EXPECT_EQ(ids("[LIBELLE] LIKE 'IDS_*'"), (V{105, 107, 108}));
  EXPECT_EQ(ids("[LIBELLE] LIKE 'ids_?'"), (V{105, 108}));
  EXPECT_EQ(ids("[Langue_1] LIKE '*''*'"), (V{110}));
  EXPECT_EQ(ids("[LIBELLE] NOT LIKE '*VERSION*'"), (V{105, 108}));
  EXPECT_EQ(ids("[Langue_1] LIKE '#.#.#.###'"), (V{107}));
  // 'eté' before 'Été': their letters agree, and a plain e comes first.
  EXPECT_EQ(ids("[Item_Id] > 0", "[Langue_1], [Item_Id]"), (V{107, 108, 105, 110}));
  EXPECT_EQ(one("SELECT MAX([LIBELLE]) FROM [Langue_System]").text, "IDS_VERSION_DB");
}

TEST_F(Dml, UniqueIndexesGroupsAndLigaturesFollowTheSameRule) {
  ok("CREATE TABLE [Mots] ([Id] INTEGER, [Mot] TEXT(50))");
  ok("CREATE UNIQUE INDEX [MotUnique] ON [Mots] ([Mot])");
  ok("INSERT INTO [Mots] VALUES (1, 'résumé')");
  ok("INSERT INTO [Mots] VALUES (2, 'resume')");
  ok("INSERT INTO [Mots] VALUES (3, 'Œuf')");
  ok("INSERT INTO [Mots] VALUES (4, 'ouf')");
  ok("INSERT INTO [Mots] VALUES (5, 'f')");
  ok("INSERT INTO [Mots] VALUES (6, 'é')");
  ok("INSERT INTO [Mots] VALUES (7, 'E')");
  // Case alone, or a ligature against its two letters, is the same key.
  EXPECT_EQ(fails("INSERT INTO [Mots] VALUES (8, 'RÉSUMÉ')"), "23000");
  EXPECT_EQ(fails("INSERT INTO [Mots] VALUES (8, 'oeuf')"), "23000");
  auto list = [&](const std::string& sql) {
    std::vector<std::string> out;
    auto q = db_->query(sql);
    EXPECT_TRUE(q) << sql << " -> " << db_->lastError().message;
    while (q && q->next()) out.push_back(q->value(0).text + "/" + std::to_string(q->value(1).asInteger()));
    return out;
  };
  EXPECT_EQ(list("SELECT [Mot], [Id] FROM [Mots] WHERE [Mot] = 'œuf'"), (std::vector<std::string>{"Œuf/3"}));
  EXPECT_EQ(list("SELECT [Mot], [Id] FROM [Mots] WHERE [Mot] = 'OEUF'"), (std::vector<std::string>{"Œuf/3"}));
  EXPECT_EQ(list("SELECT [Mot], [Id] FROM [Mots] WHERE [Mot] LIKE 'oe*'"), (std::vector<std::string>{"Œuf/3"}));
  EXPECT_EQ(list("SELECT [Mot], [Id] FROM [Mots] ORDER BY [Mot]"),
            (std::vector<std::string>{"E/7", "é/6", "f/5", "Œuf/3", "ouf/4", "resume/2", "résumé/1"}));
  ok("CREATE TABLE [Noms] ([Nom] TEXT(50), [N] INTEGER)");
  for (const char* v : {"('Importación', 1)", "('importación', 2)", "('Importacion', 4)", "('Oeuvre', 8)",
                        "('Œuvre', 16)"})
    ok(std::string("INSERT INTO [Noms] VALUES ") + v);
  EXPECT_EQ(list("SELECT MIN([Nom]), SUM([N]) FROM [Noms] GROUP BY [Nom] ORDER BY MIN([Nom])"),
            (std::vector<std::string>{"Importacion/4", "Importación/3", "Oeuvre/24"}));
  EXPECT_EQ(one("SELECT COUNT(*) FROM (SELECT DISTINCT [Nom] FROM [Noms])").integer, 3);
}

TEST_F(Dml, StepSpacingAndRedundantParentheses) {
  ok("UPDATE [Langue_System]SET [Langue_System].[Owner]=3 WHERE ((([Langue_System].[Item_Id])=108));");
  EXPECT_EQ(ids("[Owner]=3"), (V{108}));
  ok("DELETE * FROM [Langue_System]WHERE [Langue_System].[Item_Id]=108");
  ok("DELETE FROM [Langue_System] WHERE [Langue_System].[Item_Id]<>-1 AND [Owner] = 0");
  EXPECT_EQ(count("Langue_System"), 2);
  ok("UPDATE [Langue_System] SET [Langue_System].[Langue_1] = [LIBELLE] & '!' , [Owner] = [Owner] * 2 - 1");
  EXPECT_EQ(one("SELECT [Langue_1] FROM [Langue_System] WHERE [Item_Id] = 105").text, "IDS_A!");
  EXPECT_EQ(one("SELECT [Owner] FROM [Langue_System] WHERE [Item_Id] = 105").integer, -3);
  EXPECT_EQ(fails("UPDATE [Langue_System] SET [Autre].[Owner] = 1"), "42S22");
  EXPECT_EQ(fails("UPDATE [Langue_System] SET [Owner] = 1 WHERE [Nulle] = 2"), "42S22");
}

TEST_F(Dml, InsertSelectAndAggregates) {
  ok("CREATE TABLE [Copie] ([ID] INTEGER, [TXT] TEXT(10))");
  ok("INSERT INTO [Copie] ([ID], [TXT]) SELECT [Item_Id], [LIBELLE] FROM [Langue_System] WHERE [Item_Id] <> 107");
  EXPECT_EQ(count("Copie"), 3);
  EXPECT_EQ(fails("INSERT INTO [Copie] SELECT [Item_Id], [LIBELLE] FROM [Langue_System]"), "22001");
  EXPECT_EQ(count("Copie"), 3);
  EXPECT_EQ(fails("INSERT INTO [Copie] ([ID]) VALUES (1, 2)"), "21S01");
  auto q = db_->query("SELECT COUNT(*), COUNT([LIBELLE]), MIN([Item_Id]), SUM([Owner]) FROM [Langue_System]");
  ASSERT_TRUE(q && q->next());
  EXPECT_EQ(q->value(0).integer, 4);
  EXPECT_EQ(q->value(1).integer, 3);
  EXPECT_EQ(q->value(2).integer, 105);
  EXPECT_EQ(q->value(3), Value::of(-2.0)) << "a total of Longs is a Double";
  EXPECT_EQ(q->rowId(), 0);
  EXPECT_EQ(fails("SELECT [Item_Id], COUNT(*) FROM [Langue_System]"), "42000");
}

// A query text sent again reuses what an earlier query prepared; queries of
// one text open together must still each walk their own rows, with their
// own values, and a schema change must not leave an old shape behind.
TEST_F(Dml, QueriesOfOneTextOpenTogetherKeepTheirOwnRowsAndValues) {
  const std::string sql = "SELECT [Item_Id] FROM [Langue_System] WHERE [Item_Id]>";
  auto a = db_->query(sql + "100 ORDER BY [Item_Id]");
  auto b = db_->query(sql + "107 ORDER BY [Item_Id]");
  ASSERT_TRUE(a && b);
  ASSERT_TRUE(a->next() && b->next());
  EXPECT_EQ(a->value(0).integer, 105);
  EXPECT_EQ(b->value(0).integer, 108);
  ASSERT_TRUE(a->next());
  EXPECT_EQ(a->value(0).integer, 107);
  a.reset();
  EXPECT_EQ(ids("[Item_Id]>108"), V({110}));
  ASSERT_TRUE(b->next());
  EXPECT_EQ(b->value(0).integer, 110);
  b.reset();
  ok("ALTER TABLE [Langue_System] ADD [Langue_2] TEXT(10)");
  EXPECT_EQ(ids("[Item_Id]>100"), V({105, 107, 108, 110}));
  auto all = db_->query("SELECT * FROM [Langue_System] WHERE [Item_Id]=105");
  ASSERT_TRUE(all && all->next());
  EXPECT_EQ(all->columns().size(), 5u);
}

TEST_F(Dml, RowIdentityDrivesUpdateAndDelete) {
  auto q = db_->query("SELECT [Item_Id], [Langue_1] FROM [Langue_System] WHERE [LIBELLE]='IDS_VERSION_DB'");
  ASSERT_TRUE(q && q->next());
  RowId row = q->rowId();
  EXPECT_NE(row, 0);
  EXPECT_EQ(q->columns()[1].type, JetType::Text);
  EXPECT_EQ(q->columns()[1].size, 255);
  ASSERT_TRUE(db_->updateRow("Langue_System", row, {{"Langue_1", Value::of("2.5.3.459")}}));
  EXPECT_FALSE(q->next());
  EXPECT_EQ(one("SELECT [Langue_1] FROM [Langue_System] WHERE [Item_Id]=107").text, "2.5.3.459");
  EXPECT_FALSE(db_->updateRow("Langue_System", row, {{"Nulle", Value::of(1)}}));
  EXPECT_EQ(db_->lastError().state, "42S22");
  EXPECT_FALSE(db_->updateRow("Langue_System", row, {{"Item_Id", Value::of(105)}}));
  EXPECT_EQ(db_->lastError().state, "23000");
  ASSERT_TRUE(db_->deleteRow("Langue_System", row));
  EXPECT_FALSE(db_->deleteRow("Langue_System", row));
  EXPECT_EQ(count("Langue_System"), 3);
  // A row that is gone is refused as such, though a write of columns that
  // no relation names does not read the row first.
  EXPECT_FALSE(db_->updateRow("Langue_System", row, {{"Langue_1", Value::of("x")}, {"Item_Id", Value::of(200)}}));
  EXPECT_EQ(db_->lastError().native, 3167);
  EXPECT_EQ(count("Langue_System"), 3);
}

}  // namespace
}  // namespace jetdb::test
