// What a query's result columns say of themselves before a row is read:
// the type Jet gives each expression, so that a client that binds by the
// description (an ODBC driver, pandas) reads every value as it is. And the
// statement forms that clients emit beyond the dialect's core: SELECT
// without FROM, @@IDENTITY, parenthesised unions, TOP in a derived table,
// saved queries.
#include "test_db.h"

namespace jetdb::test {
namespace {

class ResultTypes : public DbTest {
 protected:
  void SetUp() override {
    DbTest::SetUp();
    ok("CREATE TABLE T (ID COUNTER CONSTRAINT PK PRIMARY KEY, NOM TEXT(20), Y LONG, B BIT, S SHORT, D DOUBLE, "
       "P CURRENCY, J DATETIME)");
    ok("INSERT INTO T (NOM, Y, B, S, D, P, J) VALUES ('crème', 2000000000, True, 7, 1.5, 2.25, #2024-02-29#)");
    ok("INSERT INTO T (NOM, Y, B, S, D, P, J) VALUES ('sel', 2000000000, True, 3, 2.5, 1, #2024-03-01#)");
  }
  // The type of each column and the values of the first row, read as the
  // description says.
  void expectColumns(const std::string& sql, const std::vector<std::pair<JetType, Value>>& expected,
                     const std::vector<Value>& values = {}) {
    auto q = db_->query(sql, values);
    ASSERT_TRUE(q) << sql << ": " << db_->lastError().message;
    ASSERT_EQ(q->columns().size(), expected.size()) << sql;
    ASSERT_TRUE(q->next()) << sql;
    for (std::size_t i = 0; i < expected.size(); ++i) {
      EXPECT_EQ(q->columns()[i].type, expected[i].first) << sql << ", column " << i + 1;
      EXPECT_EQ(q->value(i), expected[i].second) << sql << ", column " << i + 1;
    }
  }
};

TEST_F(ResultTypes, ExpressionsHaveTheTypeJetGivesThem) {
  expectColumns("SELECT 'recette' AS genre, NOM FROM T WHERE ID = 1",
                {{JetType::Text, Value::of("recette")}, {JetType::Text, Value::of("crème")}});
  expectColumns("SELECT 1, 3000000000, 2.5, #2024-01-02#, Len(NOM), Y * 2, S + 1, D * 2, P * 2, Y / 4 FROM T "
                "WHERE ID = 1",
                {{JetType::Long, Value::of(1)},
                 {JetType::Double, Value::of(3000000000.0)},
                 {JetType::Double, Value::of(2.5)},
                 {JetType::DateTime, one("SELECT #2024-01-02# FROM T WHERE ID = 1")},
                 {JetType::Long, Value::of(5)},
                 {JetType::Long, Value::of(std::int64_t{4000000000})},
                 {JetType::Long, Value::of(8)},
                 {JetType::Double, Value::of(3.0)},
                 {JetType::Currency, Value::of(4.5)},
                 {JetType::Double, Value::of(500000000.0)}});
  expectColumns("SELECT Year(J), DateDiff('d', J, #2024-03-31#), Abs(D), Round(P, 1), NOM & '!', ID = 1 FROM T "
                "WHERE ID = 1",
                {{JetType::Short, Value::of(2024)},
                 {JetType::Long, Value::of(31)},
                 {JetType::Double, Value::of(1.5)},
                 {JetType::Currency, Value::of(2.2)},
                 {JetType::Memo, Value::of("crème!")},
                 {JetType::Long, Value::of(-1)}});
  // A total of integers passes a Long and of Bits counts the Trues negatively.
  expectColumns("SELECT Sum(Y), Sum(B), Sum(P), Sum(D), Count(*) FROM T",
                {{JetType::Double, Value::of(4000000000.0)},
                 {JetType::Double, Value::of(-2.0)},
                 {JetType::Currency, Value::of(3.25)},
                 {JetType::Double, Value::of(4.0)},
                 {JetType::Long, Value::of(2)}});
  // A parameter is typed by its value.
  expectColumns("SELECT ?, ?, ? FROM T WHERE ID = 1",
                {{JetType::Text, Value::of("x")}, {JetType::Long, Value::of(7)}, {JetType::Double, Value::of(0.5)}},
                {Value::of("x"), Value::of(7), Value::of(0.5)});
  // SELECT ... INTO makes its columns of those types.
  ok("SELECT 'a' AS L, Len(NOM) AS N, Sum(Y) AS S INTO R FROM T GROUP BY NOM");
  const auto made = db_->columns("R");
  ASSERT_TRUE(made);
  EXPECT_EQ((*made)[0].type, JetType::Text);
  EXPECT_EQ((*made)[1].type, JetType::Long);
  EXPECT_EQ((*made)[2].type, JetType::Double);
}

TEST_F(ResultTypes, StatementsThatClientsEmit) {
  // Without FROM: one row.
  expectColumns("SELECT 1", {{JetType::Long, Value::of(1)}});
  expectColumns("SELECT ?", {{JetType::Text, Value::of("y")}}, {Value::of("y")});
  EXPECT_EQ(fails("SELECT 1 WHERE 1 = 1"), "42000");
  // @@IDENTITY: the counter of the last row inserted, read when it runs.
  auto identity = db_->prepare("SELECT @@IDENTITY AS lastrowid");
  ASSERT_TRUE(identity);
  ok("INSERT INTO T (NOM) VALUES ('trois')");
  auto q = db_->query(*identity);
  ASSERT_TRUE(q && q->next());
  EXPECT_EQ(q->columns()[0].type, JetType::Long);
  EXPECT_EQ(q->value(0), Value::of(3));
  ASSERT_TRUE(db_->insertRow("T", {{"NOM", Value::of("quatre")}}));
  q = db_->query(*identity);
  ASSERT_TRUE(q && q->next());
  EXPECT_EQ(q->value(0), Value::of(4));
  // Unions with their members in parentheses, and TOP inside a derived table.
  auto names = [&](const std::string& sql) {
    std::vector<std::string> out;
    auto r = db_->query(sql);
    EXPECT_TRUE(r) << sql << ": " << db_->lastError().message;
    while (r && r->next()) out.push_back(r->value(0).asText());
    return out;
  };
  using Names = std::vector<std::string>;
  EXPECT_EQ(names("(SELECT NOM FROM T WHERE ID = 1) UNION ALL (SELECT NOM FROM T WHERE ID = 2) ORDER BY 1"),
            (Names{"crème", "sel"}));
  EXPECT_EQ(names("SELECT x.NOM FROM (SELECT TOP 2 NOM, ID FROM T ORDER BY ID DESC) AS x ORDER BY x.ID"),
            (Names{"trois", "quatre"}));
}

TEST_F(ResultTypes, SavedQueriesReadAsTablesAndGoWithTheirName) {
  ok("CREATE VIEW Chers AS SELECT NOM, P FROM T WHERE P > 2");
  EXPECT_EQ(db_->views(), std::vector<std::string>{"Chers"});
  EXPECT_EQ(one("SELECT NOM FROM Chers"), Value::of("crème"));
  EXPECT_EQ(one("SELECT COUNT(*) FROM Chers AS c INNER JOIN T ON T.NOM = c.NOM"), Value::of(1));
  // Its columns are columns, not parameters, when values are given.
  auto q = db_->query("SELECT NOM FROM Chers WHERE P < ?", {Value::of(10)});
  ASSERT_TRUE(q && q->next()) << db_->lastError().message;
  EXPECT_EQ(q->value(0), Value::of("crème"));
  q.reset();
  // Its name is taken; one that names nothing is refused; it lives in the file.
  EXPECT_EQ(fails("CREATE TABLE Chers (X LONG)"), "42S01");
  EXPECT_EQ(fails("CREATE VIEW Chers AS SELECT 1"), "42S01");
  EXPECT_NE(fails("CREATE VIEW V2 AS SELECT X FROM Absente"), "");
  reopen();
  EXPECT_EQ(db_->views(), std::vector<std::string>{"Chers"});
  EXPECT_TRUE(db_->check().empty());
  ok("DROP VIEW Chers");
  EXPECT_TRUE(db_->views().empty());
  EXPECT_NE(fails("SELECT NOM FROM Chers"), "");
  EXPECT_NE(fails("DROP VIEW Chers"), "");
}

TEST_F(ResultTypes, AnsiModeTakesPercentAndUnderscoreAsWildcards) {
  auto like = [&](const std::string& pattern) {
    return one("SELECT COUNT(*) FROM T WHERE NOM LIKE '" + pattern + "'").integer;
  };
  EXPECT_EQ(like("cr%"), 0);
  EXPECT_EQ(like("cr*"), 1);
  db_->setAnsiWildcards(true);
  EXPECT_EQ(like("cr%"), 1);
  EXPECT_EQ(like("s_l"), 1);
  EXPECT_EQ(like("cr*"), 0) << "* stands for itself";
  EXPECT_EQ(like("[cs]%"), 2);
  db_->setAnsiWildcards(false);
  EXPECT_EQ(like("s?l"), 1);
}

}  // namespace
}  // namespace jetdb::test
