// The query forms people write in Access, on a small kitchen: categories,
// ingredients (one without category, one never used, Null dates, accents),
// recipes (one without ingredients) and the links between them.
#include <algorithm>
#include <cstdio>

#include "test_db.h"

namespace jetdb::test {
namespace {

class QueriesTest : public DbTest {
 protected:
  void SetUp() override {
    DbTest::SetUp();
    for (const char* sql : {
             "CREATE TABLE [Categories] ([ID] LONG CONSTRAINT [PK] PRIMARY KEY, [Nom] TEXT(30))",
             "CREATE TABLE [Ingredients] ([ID] LONG CONSTRAINT [PK] PRIMARY KEY, [Nom] TEXT(40), "
             "[Categorie] LONG CONSTRAINT [CatIng] REFERENCES [Categories] ([ID]), [Prix] CURRENCY, "
             "[Achat] DATETIME, [Bio] BIT)",
             "CREATE TABLE [Recettes] ([ID] LONG CONSTRAINT [PK] PRIMARY KEY, [Titre] TEXT(40))",
             "CREATE TABLE [Liens] ([Recette] LONG CONSTRAINT [RecLien] REFERENCES [Recettes] ([ID]), "
             "[Ingredient] LONG CONSTRAINT [IngLien] REFERENCES [Ingredients] ([ID]), [Qte] DOUBLE)",
             "INSERT INTO [Categories] VALUES (1, 'Légumes')",
             "INSERT INTO [Categories] VALUES (2, 'Fruits')",
             "INSERT INTO [Categories] VALUES (3, 'Épices')",
             "INSERT INTO [Ingredients] VALUES (1, 'Carotte', 1, 2.5, #2024-03-04#, True)",
             "INSERT INTO [Ingredients] VALUES (2, 'Poireau', 1, 4, #2023-12-01#, False)",
             "INSERT INTO [Ingredients] VALUES (3, 'Pomme', 2, 2.5, Null, True)",
             "INSERT INTO [Ingredients] VALUES (4, 'Sel', Null, 1, #2024-01-02 13:30:00#, False)",
             "INSERT INTO [Ingredients] VALUES (5, 'Crème', Null, 4, Null, False)",
             "INSERT INTO [Recettes] VALUES (1, 'Soupe')",
             "INSERT INTO [Recettes] VALUES (2, 'Tarte')",
             "INSERT INTO [Recettes] VALUES (3, 'Vide')",
             "INSERT INTO [Liens] VALUES (1, 1, 200)",
             "INSERT INTO [Liens] VALUES (1, 2, 100)",
             "INSERT INTO [Liens] VALUES (1, 4, 5)",
             "INSERT INTO [Liens] VALUES (2, 3, 500)",
             "INSERT INTO [Liens] VALUES (2, 4, 2)",
         })
      ok(sql);
  }

  // The rows as "a|b;c|d", Null as "NULL", numbers to six digits; sorted
  // unless the order is what the case checks.
  std::string rows(const std::string& sql, bool ordered, const std::vector<Value>& values = {}) {
    auto q = db_->query(sql, values);
    if (!q) return "ERROR " + db_->lastError().state + " " + db_->lastError().message;
    std::vector<std::string> out;
    while (q->next()) {
      std::string row;
      for (std::size_t i = 0; i < q->columns().size(); ++i) {
        const Value& v = q->value(i);
        char number[32];
        std::snprintf(number, sizeof number, "%.6g", v.real);
        row += (i ? "|" : "") + (v.isNull() ? "NULL" : v.kind == Value::Kind::Double ? number : v.asText());
      }
      out.push_back(row);
    }
    if (q->error()) return "ERROR " + q->error()->message;
    if (!ordered) std::sort(out.begin(), out.end());
    std::string text;
    for (const auto& r : out) text += (text.empty() ? "" : ";") + r;
    return text;
  }
};

TEST_F(QueriesTest, SelectFormsGiveAccessResults) {
  struct Case {
    const char* sql;
    bool ordered;
    const char* expected;
  } cases[] = {
      // TOP keeps the rows that tie with the last one kept.
      {"SELECT TOP 2 Nom FROM Ingredients ORDER BY Prix", false, "Carotte;Pomme;Sel"},
      {"SELECT TOP 2 Nom, Prix FROM Ingredients ORDER BY Prix DESC, Nom", true, "Crème|4;Poireau|4"},
      // PERCENT rounds up: half of five rows is three.
      {"SELECT TOP 50 PERCENT Nom FROM Ingredients ORDER BY Nom", true, "Carotte;Crème;Poireau"},
      // DISTINCTROW over one table: every row is a record of its own.
      {"SELECT DISTINCTROW TOP 1 Prix FROM Ingredients ORDER BY Prix DESC", true, "4;4"},
      {"SELECT DISTINCTROW Nom FROM Ingredients INNER JOIN Liens ON Liens.Ingredient = Ingredients.ID", false,
       "Carotte;Poireau;Pomme;Sel"},
      {"SELECT DISTINCT Prix FROM Ingredients", false, "1;2.5;4"},
      {"SELECT r.Titre FROM (Recettes AS r INNER JOIN Liens AS l ON r.ID = l.Recette) "
       "INNER JOIN Ingredients i ON l.Ingredient = i.ID WHERE i.Nom = 'SEL'",
       false, "Soupe;Tarte"},
      // The unmatched side of an outer join reads as Null, its Bit too.
      {"SELECT c.Nom, i.Nom, i.Bio FROM Categories c LEFT JOIN Ingredients i ON i.Categorie = c.ID WHERE c.ID = 3",
       false, "Épices|NULL|NULL"},
      {"SELECT [c].[Nom], i.Nom FROM Categories AS c RIGHT OUTER JOIN Ingredients AS i ON i.Categorie = c.ID "
       "WHERE c.ID IS NULL",
       false, "NULL|Crème;NULL|Sel"},
      {"SELECT Titre, Qte FROM Recettes, Liens WHERE Recettes.ID = Liens.Recette AND Qte > 100", false,
       "Soupe|200;Tarte|500"},
      // Case alone is folded; an accent makes another text.
      {"SELECT c.* FROM Categories AS c WHERE c.Nom = 'éPICES'", false, "3|Épices"},
      {"SELECT c.* FROM Categories AS c WHERE c.Nom = 'EPICES'", false, ""},
      // Count(x) leaves out the Null values, Count(*) counts rows.
      {"SELECT Categorie, Count(*), Count(Achat) FROM Ingredients GROUP BY Categorie", false, "1|2|2;2|1|0;NULL|2|1"},
      {"SELECT Categorie, Sum(Prix), Avg(Prix) FROM Ingredients GROUP BY Categorie HAVING Max(Prix) > 3", false,
       "1|6.5|3.25;NULL|5|2.5"},
      {"SELECT Categorie + 1 FROM Ingredients WHERE Categorie > 0 GROUP BY Categorie", false, "2;3"},
      // First and Last are the first and last rows as read, Null included.
      {"SELECT First(Nom), Last(Nom), First(Achat) FROM Ingredients WHERE ID >= 3", false, "Pomme|Crème|NULL"},
      {"SELECT StDev(Qte), StDevP(Qte), Var(Qte), VarP(Qte) FROM Liens WHERE Recette = 2", false,
       "352.139|249|124002|62001"},
      {"SELECT StDev(Qte), VarP(Qte) FROM Liens WHERE Recette = 3", false, "NULL|NULL"},
      {"SELECT Nom AS N, Prix * 2 AS Double FROM Ingredients WHERE Prix < 3 ORDER BY 2 DESC, N", true,
       "Carotte|5;Pomme|5;Sel|2"},
      {"SELECT Nom, Prix * 2 AS P FROM Ingredients WHERE ID < 4 ORDER BY P, Prix * 0 + ID DESC", true,
       "Pomme|5;Carotte|5;Poireau|8"},
      {"SELECT Nom FROM Categories UNION SELECT Nom FROM Ingredients WHERE Prix = 4 ORDER BY Nom", true,
       "Crème;Épices;Fruits;Légumes;Poireau"},
      {"SELECT Categorie FROM Ingredients WHERE Prix = 4 UNION ALL SELECT Categorie FROM Ingredients "
       "WHERE Prix = 4",
       false, "1;1;NULL;NULL"},
      {"SELECT Categorie FROM Ingredients WHERE Prix = 4 UNION SELECT ID FROM Categories WHERE ID < 2", false,
       "1;NULL"},
      {"SELECT TOP 2 Nom FROM Categories UNION SELECT Titre FROM Recettes ORDER BY 1 DESC", true, "Vide;Tarte"},
      {"SELECT q.Categorie, q.n FROM (SELECT Categorie, Count(*) AS n FROM Ingredients GROUP BY Categorie) AS q "
       "WHERE q.n > 1",
       false, "1|2;NULL|2"},
      {"SELECT Nom FROM Ingredients WHERE ID NOT IN (SELECT Ingredient FROM Liens)", false, "Crème"},
      {"SELECT Titre FROM Recettes r WHERE NOT EXISTS (SELECT * FROM Liens l WHERE l.Recette = r.ID)", false, "Vide"},
      {"SELECT Nom FROM Categories c WHERE EXISTS (SELECT * FROM Ingredients i WHERE i.Categorie = c.ID AND "
       "i.Prix > 3)",
       false, "Légumes"},
      {"SELECT Titre, (SELECT Count(*) FROM Liens WHERE Liens.Recette = Recettes.ID) FROM Recettes", false,
       "Soupe|3;Tarte|2;Vide|0"},
      {"SELECT Nom FROM Ingredients WHERE Prix = (SELECT Max(Prix) FROM Ingredients)", false, "Crème;Poireau"},
      {"SELECT Nom FROM Ingredients WHERE Prix BETWEEN 2 AND 3", false, "Carotte;Pomme"},
      {"SELECT Nom FROM Ingredients WHERE Prix NOT BETWEEN 2 AND 3", false, "Crème;Poireau;Sel"},
      // #…# literals are US month/day.
      {"SELECT Nom FROM Ingredients WHERE Achat = #3/4/2024#", false, "Carotte"},
      {"SELECT Nom FROM Ingredients WHERE Achat = #1/2/2024 1:30:00 PM#", false, "Sel"},
      {"SELECT TOP 1 #1:30:05 PM#, #12:00:00 AM#, #13:30:05# FROM Categories", false,
       "1899-12-30 13:30:05|1899-12-30 00:00:00|1899-12-30 13:30:05"},
      {"SELECT Nom FROM Ingredients WHERE Bio = True AND Achat IS NOT Null", false, "Carotte"},
  };
  for (const auto& c : cases) EXPECT_EQ(rows(c.sql, c.ordered), c.expected) << c.sql;
}

// A query reads each row into the values of the row before: each value
// must be its own row's, whole, whatever that row held (a long text, a
// Null, a number in a column without a type).
TEST_F(QueriesTest, EachRowsValuesAreItsOwnWhateverTheRowBeforeHeld) {
  const std::string long1 = "un texte bien plus long que ce que garde une chaîne en elle";
  ok("CREATE TABLE [Notes] ([ID] LONG CONSTRAINT [PK] PRIMARY KEY, [T] TEXT(80), [N] DOUBLE)");
  ok("INSERT INTO [Notes] VALUES (1, '" + long1 + "', 1.5)");
  ok("INSERT INTO [Notes] VALUES (2, Null, Null)");
  ok("INSERT INTO [Notes] VALUES (3, 'court', 2)");
  ok("INSERT INTO [Notes] VALUES (4, '', 3)");
  auto q = db_->query("SELECT [T], [N], IIf([ID] = 1, [T], IIf([ID] = 3, 7, IIf([ID] = 4, 'quatre', Null))) "
                      "FROM [Notes] ORDER BY [ID]");
  ASSERT_TRUE(q);
  ASSERT_TRUE(q->next());
  EXPECT_EQ(q->value(0), Value::of(long1));
  EXPECT_EQ(q->value(1), Value::of(1.5));
  EXPECT_EQ(q->value(2), Value::of(long1));
  ASSERT_TRUE(q->next());
  EXPECT_EQ(q->value(0), Value::null());
  EXPECT_EQ(q->value(1), Value::null());
  EXPECT_EQ(q->value(2), Value::null());
  ASSERT_TRUE(q->next());
  EXPECT_EQ(q->value(0), Value::of("court"));
  EXPECT_EQ(q->value(1), Value::of(2.0));
  EXPECT_FALSE(q->value(2).isNull());
  EXPECT_EQ(q->value(2).asDouble(), 7);
  EXPECT_TRUE(q->value(2).text.empty());
  ASSERT_TRUE(q->next());
  EXPECT_EQ(q->value(0), Value::of(""));
  EXPECT_EQ(q->value(1), Value::of(3.0));
  EXPECT_EQ(q->value(2), Value::of("quatre"));  // nothing left of the number before
  EXPECT_FALSE(q->next());
}

TEST_F(QueriesTest, ResultColumnsAreNamedAndTypedAsAccessDoes) {
  auto q = db_->query(
      "SELECT i.Categorie, Count(*), Sum(i.Prix), Avg(Prix), Max(Achat), Last(Bio), Prix * 2, Min(Nom) AS Premier "
      "FROM Ingredients AS i GROUP BY i.Categorie, Prix");
  ASSERT_TRUE(q) << db_->lastError().message;
  const std::vector<std::pair<std::string, JetType>> expected = {
      {"Categorie", JetType::Long},  {"Expr1000", JetType::Long},     {"Expr1001", JetType::Currency},
      {"Expr1002", JetType::Double}, {"Expr1003", JetType::DateTime}, {"Expr1004", JetType::Bit},
      {"Expr1005", JetType::Currency}, {"Premier", JetType::Text}};
  ASSERT_EQ(q->columns().size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(q->columns()[i].name, expected[i].first);
    EXPECT_EQ(q->columns()[i].type, expected[i].second) << expected[i].first;
  }
  bool dated = false;
  while (q->next()) dated = dated || q->value(4).kind == Value::Kind::DateTime;
  EXPECT_TRUE(dated);
  // Same names from two tables are told apart by their table.
  q = db_->query("SELECT * FROM Categories INNER JOIN Ingredients ON Ingredients.Categorie = Categories.ID");
  ASSERT_TRUE(q);
  EXPECT_EQ(q->columns()[0].name, "Categories.ID");
  EXPECT_EQ(q->columns()[2].name, "Ingredients.ID");
  EXPECT_EQ(q->columns()[7].type, JetType::Bit);
}

TEST_F(QueriesTest, ParametersAreBoundByPositionInTheText) {
  // A [Name] that is no column is a parameter; used twice it takes one value.
  EXPECT_EQ(rows("SELECT Nom FROM Ingredients WHERE Prix > ? AND Categorie = [Catégorie voulue]", false,
                 {Value::of(2), Value::of(1)}),
            "Carotte;Poireau");
  EXPECT_EQ(rows("SELECT Nom FROM Ingredients WHERE [Plafond] > Prix AND Prix * 2 > [plafond]", false, {Value::of(3)}),
            "Carotte;Pomme");
  EXPECT_EQ(rows("SELECT TOP 1 [Nom voulu], ? FROM Categories", false, {Value::of("x"), Value::of(2.5)}), "x|2.5");
  EXPECT_FALSE(db_->query("SELECT Nom FROM Ingredients WHERE Prix > ? AND ID < ?", {Value::of(1)}));
  EXPECT_EQ(db_->lastError().state, "07002");
  EXPECT_FALSE(db_->query("SELECT Nom FROM Ingredients WHERE Prix > ?"));
  EXPECT_EQ(db_->lastError().native, 3061);
  ASSERT_TRUE(db_->execute("UPDATE Ingredients SET Prix = [Nouveau] WHERE ID = ?", {Value::of(9), Value::of(4)}));
  EXPECT_EQ(one("SELECT Prix FROM Ingredients WHERE ID = 4").real, 9);
}

TEST_F(QueriesTest, BadQueriesAreRefusedWithTheirError) {
  struct Case {
    const char* sql;
    const char* state;
    int native;
  } cases[] = {
      {"SELECT Categorie, Nom, Count(*) FROM Ingredients GROUP BY Categorie", "42000", 3122},
      {"SELECT Nom FROM Ingredients GROUP BY Categorie HAVING Prix > 1", "42000", 3122},
      {"SELECT Nom, Count(*) FROM Ingredients", "42000", 3122},
      {"SELECT Nom FROM Categories, Ingredients", "42000", 3079},
      {"SELECT Nom FROM Categories UNION SELECT Nom, Prix FROM Ingredients", "42000", 3307},
      {"SELECT x.Nom FROM Categories c", "42S22", 3265},
      {"SELECT * FROM Categories c INNER JOIN Absente a ON a.ID = c.ID", "42S02", 3078},
      {"SELECT * FROM Categories c INNER JOIN Ingredients i", "42000", 3131},
      {"SELECT * FROM (SELECT ID FROM Categories)) AS q", "42000", 3131},
      {"SELECT * FROM Categories c INNER JOIN Ingredients i ON i. = c.ID", "42000", 3135},
      {"SELECT TOP 1 Nom FROM Ingredients ORDER BY 3", "42000", 3075},
      {"SELECT Nom, (SELECT ID, Nom FROM Categories) FROM Ingredients", "42000", 3306},
  };
  for (const auto& c : cases) {
    EXPECT_FALSE(db_->query(c.sql)) << c.sql;
    EXPECT_EQ(db_->lastError().state, c.state) << c.sql;
    EXPECT_EQ(db_->lastError().native, c.native) << c.sql << " -> " << db_->lastError().message;
  }
  // Join parentheses and subqueries in FROM count towards the nesting bound.
  std::string joins = "Categories c0";
  for (int i = 1; i <= kMaxNesting + 1; ++i)
    joins = "(" + joins + " INNER JOIN Categories c" + std::to_string(i) + " ON c" + std::to_string(i) + ".ID = c0.ID)";
  std::string nested = "SELECT ID FROM Categories";
  for (int i = 0; i <= kMaxNesting / kSubqueryNesting; ++i) nested = "SELECT ID FROM (" + nested + ") AS q";
  for (const std::string& sql : {"SELECT c0.ID FROM " + joins, nested}) {
    EXPECT_FALSE(db_->query(sql)) << sql;
    EXPECT_EQ(db_->lastError().state, "54001") << sql;
  }
}

TEST_F(QueriesTest, WritesThroughJoinsKeepTheRules) {
  ok("CREATE TABLE [Achats] ([Nom] TEXT(40), [Titre] TEXT(40), [Qte] DOUBLE)");
  ok("INSERT INTO Achats (Nom, Titre, Qte) SELECT i.Nom, r.Titre, l.Qte FROM (Liens l INNER JOIN Ingredients i "
     "ON i.ID = l.Ingredient) INNER JOIN Recettes r ON r.ID = l.Recette WHERE l.Qte >= 100");
  EXPECT_EQ(rows("SELECT * FROM Achats", false), "Carotte|Soupe|200;Poireau|Soupe|100;Pomme|Tarte|500");

  ok("SELECT i.Nom, i.Achat, i.Bio, c.Nom AS Rayon INTO Copie FROM Ingredients i LEFT JOIN Categories c "
     "ON c.ID = i.Categorie WHERE i.Prix < 3");
  const auto columns = db_->columns("Copie");
  ASSERT_TRUE(columns);
  ASSERT_EQ(columns->size(), 4u);
  EXPECT_EQ((*columns)[1].type, JetType::DateTime);
  EXPECT_EQ((*columns)[2].type, JetType::Bit);
  EXPECT_EQ((*columns)[3].name, "Rayon");
  EXPECT_EQ(rows("SELECT * FROM Copie", false),
            "Carotte|2024-03-04 00:00:00|-1|Légumes;Pomme|NULL|-1|Fruits;Sel|2024-01-02 13:30:00|0|NULL");
  EXPECT_EQ(fails("SELECT Nom INTO Copie FROM Categories"), "42S01");

  ok("UPDATE Ingredients AS i INNER JOIN Categories AS c ON c.ID = i.Categorie SET i.Prix = i.Prix + c.ID "
     "WHERE c.Nom = 'fruits'");
  EXPECT_EQ(rows("SELECT Nom, Prix FROM Ingredients WHERE Prix > 3", false), "Crème|4;Poireau|4;Pomme|4.5");
  // A value the column refuses, or a child left without parent, refuses
  // the whole statement.
  EXPECT_EQ(fails("UPDATE Liens INNER JOIN Ingredients ON Ingredients.ID = Liens.Ingredient "
                  "SET Liens.Recette = 9 WHERE Ingredients.Nom = 'Sel'"),
            "23000");
  EXPECT_EQ(fails("UPDATE Ingredients INNER JOIN Categories ON Categories.ID = Ingredients.Categorie "
                  "SET Ingredients.Prix = Categories.Nom"),
            "22018");

  ok("DELETE l.* FROM Liens AS l INNER JOIN Ingredients AS i ON i.ID = l.Ingredient WHERE i.Nom = 'Sel'");
  EXPECT_EQ(rows("SELECT Recette, Ingredient FROM Liens", false), "1|1;1|2;2|3");
  EXPECT_EQ(fails("DELETE Categories.* FROM Categories INNER JOIN Ingredients ON Ingredients.Categorie = "
                  "Categories.ID WHERE Ingredients.Nom = 'Pomme'"),
            "23000");
  ok("DELETE FROM Ingredients WHERE ID NOT IN (SELECT Ingredient FROM Liens)");
  EXPECT_EQ(rows("SELECT Nom FROM Ingredients", false), "Carotte;Poireau;Pomme");
}

}  // namespace
}  // namespace jetdb::test
