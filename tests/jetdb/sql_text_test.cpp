// The one reader of Jet text, and what the driver makes of a statement
// before it runs it: the prepared statement.
#include "jetdb/sql_text.h"

#include <string>
#include <utility>
#include <vector>

#include "test_db.h"
#include "tricky_sql.h"

namespace jetdb::test {
namespace {

using sql::TokenKind;
using Tokens = std::vector<std::pair<TokenKind, std::string>>;

Tokens read(std::string_view text) {
  Tokens out;
  sql::Tokens reader(text);
  sql::Token t;
  while (reader.next(t)) out.emplace_back(t.kind, std::string(t.text));
  return out;
}

TEST(SqlReader, EndsStringsNamesAndDatesWhereTheDialectDoes) {
  const std::vector<std::pair<const char*, Tokens>> cases = {
      {"'it''s' \"a\"\"b\" 'x'", {{TokenKind::String, "'it''s'"}, {TokenKind::String, "\"a\"\"b\""},
                                   {TokenKind::String, "'x'"}}},
      {"[a'b]]", {{TokenKind::Name, "[a'b]"}, {TokenKind::Symbol, "]"}}},
      {"`a?b`[c]", {{TokenKind::QuotedName, "`a?b`"}, {TokenKind::Name, "[c]"}}},
      {"#1/2/2000#?", {{TokenKind::Date, "#1/2/2000#"}, {TokenKind::Marker, "?"}}},
      {"12.5e-3 .5 1e 123abc", {{TokenKind::Number, "12.5e-3"}, {TokenKind::Number, ".5"}, {TokenKind::Number, "1"},
                                {TokenKind::Word, "e"}, {TokenKind::Number, "123"}, {TokenKind::Word, "abc"}}},
      {"Prénom<>5>=x!=y", {{TokenKind::Word, "Prénom"}, {TokenKind::Symbol, "<>"}, {TokenKind::Number, "5"},
                           {TokenKind::Symbol, ">="}, {TokenKind::Word, "x"}, {TokenKind::Symbol, "!="},
                           {TokenKind::Word, "y"}}},
      {"a 'never closed; ?", {{TokenKind::Word, "a"}, {TokenKind::Unclosed, "'never closed; ?"}}},
      // A no-break space (the second byte of 'à' in UTF-8 is 0xA0) is part
      // of a word, whatever the locale says of the byte.
      {"voilà\xa0x", {{TokenKind::Word, "voilà\xa0x"}}},
  };
  for (const auto& [text, tokens] : cases) EXPECT_EQ(read(text), tokens) << text;

  sql::Token t = sql::tokenAt("'it''s'", 0);
  EXPECT_EQ(t.inner(), "it's");
  EXPECT_EQ(sql::tokenAt("[a b]", 0).inner(), "a b");
  EXPECT_TRUE(sql::tokenAt("select", 0).isWord("SELECT"));
}

class Prepared : public DbTest {
 protected:
  void SetUp() override {
    DbTest::SetUp();
    ok(kTrickySchema);
    ok("CREATE TABLE [U] ([UID] LONG CONSTRAINT PKU PRIMARY KEY, [ID] LONG, [PRIX] CURRENCY)");
    ok("INSERT INTO T (ID, NOM, JOUR) VALUES (1, 'un', #2024-01-02 10:00:00#)");
    ok("INSERT INTO T (ID, NOM) VALUES (2, 'deux')");
    ok("INSERT INTO U VALUES (10, 1, 2.5)");
  }
  std::unique_ptr<PreparedStatement> prepared(const std::string& text) {
    auto p = db_->prepare(text);
    EXPECT_TRUE(p) << text << " -> " << db_->lastError().message;
    return p;
  }
  static std::vector<std::vector<Value>> rows(Query& q) {
    std::vector<std::vector<Value>> out;
    while (q.next()) {
      out.emplace_back();
      for (std::size_t i = 0; i < q.columns().size(); ++i) out.back().push_back(q.value(i));
    }
    return out;
  }
};

TEST_F(Prepared, TellsWhatTheTrickyStatementsAreAndRunsThem) {
  for (const auto& t : trickySql()) {
    auto p = prepared(t.text);
    ASSERT_TRUE(p);
    int markers = 0;
    for (const auto& parameter : p->parameters()) markers += parameter.name == "?";
    EXPECT_EQ(markers, t.markers) << t.text;
    EXPECT_EQ(p->returnsRows(), t.rows) << t.text;
    EXPECT_EQ(p->changesRows(), t.changesRows) << t.text;
    const std::vector<Value> values(p->parameters().size(), Value::of(3));
    if (t.rows) {
      auto q = db_->query(*p, values);
      EXPECT_TRUE(q && !q->error()) << t.text << " -> " << db_->lastError().message;
    } else {
      EXPECT_TRUE(db_->execute(*p, values)) << t.text << " -> " << db_->lastError().message;
    }
  }
  EXPECT_EQ(one("SELECT NOM FROM T WHERE ID = 3").text, "#");
}

// A shell opens files read-only until a statement writes: what writes()
// says must be exactly what a read-only open refuses, or the shell would
// either fail a statement or reopen the file for one that only reads.
TEST_F(Prepared, SaysWhichStatementsAReadOnlyOpenRefuses) {
  db_.reset();
  Error e;
  auto reader = Database::open(path(), OpenMode::ReadOnly, e);
  ASSERT_TRUE(reader) << e.message;
  for (const auto& t : trickySql()) {
    auto p = reader->prepare(t.text);
    ASSERT_TRUE(p) << t.text << " -> " << reader->lastError().message;
    const std::vector<Value> values(p->parameters().size(), Value::of(3));
    const bool ran = p->returnsRows() ? reader->query(*p, values) != nullptr : reader->execute(*p, values);
    EXPECT_EQ(ran, !p->writes()) << t.text << " -> " << reader->lastError().message;
    if (p->writes()) {
      EXPECT_EQ(reader->lastError().native, 3027) << t.text;
    }
  }
  for (const char* definition : {"CREATE TABLE [V] ([X] LONG)", "DROP TABLE [U]", "ALTER TABLE [U] ADD COLUMN [Y] LONG",
                                 "DROP INDEX [PKU] ON [U]"}) {
    auto p = reader->prepare(definition);
    ASSERT_TRUE(p) << definition;
    EXPECT_TRUE(p->writes()) << definition;
    EXPECT_FALSE(reader->execute(*p)) << definition;
  }
}

TEST_F(Prepared, DescribesItsRowsAsTheQueryGivesThem) {
  const std::string text =
      "SELECT t.ID, NOM AS Nom, JOUR, PRIX, t.ID + 1, Count(*) AS N FROM T AS t LEFT JOIN U ON U.ID = t.ID "
      "GROUP BY t.ID, NOM, JOUR, PRIX";
  auto p = prepared(text);
  ASSERT_TRUE(p);
  auto q = db_->query(text);
  ASSERT_TRUE(q);
  ASSERT_EQ(p->columns().size(), q->columns().size());
  for (std::size_t i = 0; i < q->columns().size(); ++i) {
    const ColumnInfo &a = p->columns()[i], &b = q->columns()[i];
    EXPECT_EQ(std::tie(a.name, a.type, a.size, a.nullable), std::tie(b.name, b.type, b.size, b.nullable)) << i;
  }
  EXPECT_EQ(p->columns()[3].type, JetType::Currency);
  EXPECT_TRUE(p->columns()[3].nullable) << "the outer side of the join";
  EXPECT_FALSE(p->columns()[0].nullable);
}

TEST_F(Prepared, NamesAndTypesItsParameters) {
  auto p = prepared(
      "SELECT ID FROM T WHERE JOUR BETWEEN [Depuis] AND ? AND NOM LIKE ? AND ID IN (SELECT ID FROM U WHERE PRIX > "
      "[Prix minimum]) AND ? + 1 = 2 AND [depuis] IS NOT NULL");
  ASSERT_TRUE(p);
  std::vector<std::pair<std::string, std::optional<JetType>>> got;
  for (const auto& parameter : p->parameters()) got.emplace_back(parameter.name, parameter.type);
  const std::vector<std::pair<std::string, std::optional<JetType>>> expected = {
      {"Depuis", JetType::DateTime}, {"?", JetType::DateTime}, {"?", JetType::Text},
      {"Prix minimum", JetType::Currency}, {"?", std::nullopt}};
  EXPECT_EQ(got, expected);

  auto insert = prepared("INSERT INTO U (PRIX, UID) VALUES (?, ?)");
  ASSERT_TRUE(insert && insert->parameters().size() == 2);
  EXPECT_EQ(insert->parameters()[0].type, JetType::Currency);
  EXPECT_EQ(insert->parameters()[1].type, JetType::Long);
  auto update = prepared("UPDATE T SET NOM = ?, JOUR = [Jour] WHERE ID = ?");
  ASSERT_TRUE(update && update->parameters().size() == 2);
  EXPECT_EQ(update->parameters()[0].type, JetType::Text);
  EXPECT_EQ(update->parameters()[1].type, JetType::Long);
}

TEST_F(Prepared, RunsAsItsTextRunsAndFollowsTheCatalog) {
  const std::string text = "SELECT ID, NOM FROM T WHERE ID >= [Depuis] ORDER BY ID";
  auto p = prepared(text);
  ASSERT_TRUE(p);
  for (int from : {1, 2, 3}) {
    auto a = db_->query(*p, {Value::of(from)});
    auto b = db_->query(text, {Value::of(from)});
    ASSERT_TRUE(a && b);
    EXPECT_EQ(rows(*a), rows(*b)) << from;
  }
  // Without values a name that is no column is an unknown column, as with
  // the text.
  EXPECT_FALSE(db_->query(*p));
  EXPECT_EQ(db_->lastError().state, "42S22");

  auto all = prepared("SELECT * FROM T");
  ASSERT_TRUE(all);
  auto before = db_->query(*all);
  ASSERT_TRUE(before);
  EXPECT_EQ(before->columns().size(), 4u);
  before.reset();
  ok("ALTER TABLE T ADD COLUMN [EXTRA] LONG");
  auto after = db_->query(*all);
  ASSERT_TRUE(after);
  EXPECT_EQ(after->columns().size(), 5u) << "compiled again for the changed table";

  auto into = prepared("SELECT ID INTO [Copie] FROM T");
  ASSERT_TRUE(into);
  EXPECT_FALSE(db_->query(*into));
  EXPECT_EQ(db_->lastError().native, 3065);
  ASSERT_TRUE(db_->execute(*into));
  EXPECT_EQ(count("Copie"), 2);
}

TEST_F(Prepared, RefusesWhatTheTextWouldBeRefused) {
  EXPECT_FALSE(db_->prepare("SELECT FROM WHERE"));
  EXPECT_EQ(db_->lastError().state, "42000");
  EXPECT_FALSE(db_->prepare("SELECT * FROM Absente"));
  EXPECT_EQ(db_->lastError().state, "42S02");
  EXPECT_FALSE(db_->prepare("SELECT T.Absente FROM T"));
  EXPECT_EQ(db_->lastError().state, "42S22");
  // A write is checked as it runs.
  auto insert = prepared("INSERT INTO Absente VALUES (1)");
  ASSERT_TRUE(insert);
  EXPECT_FALSE(db_->execute(*insert));
  EXPECT_EQ(db_->lastError().state, "42S02");
}

}  // namespace
}  // namespace jetdb::test
