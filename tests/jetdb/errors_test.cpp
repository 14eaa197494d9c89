// What a refusal carries, and that no text at all breaks the parser.
#include <random>

#include "test_db.h"

namespace jetdb::test {
namespace {

class Errors : public DbTest {
 protected:
  void SetUp() override {
    DbTest::SetUp();
    ok("CREATE TABLE [Variables] ([NAME] TEXT(32) CONSTRAINT PK_NAME PRIMARY KEY NOT NULL, [VALNUM] FLOAT)");
  }
};

TEST_F(Errors, RefusalsNameTheirObjectsInFrench) {
  struct Case { const char* sql; const char* state; int native; const char* message; };
  const Case cases[] = {
      {"CREATE TABLE [Variables] ([A] INTEGER)", "42S01", 3010, "La table 'Variables' existe déjà."},
      {"ALTER TABLE [Nulle] ADD [A] BIT", "42S02", 3078, "Impossible de trouver la table ou la requête source 'Nulle'."},
      {"ALTER TABLE [Variables] ADD [VALNUM] BIT", "42S21", 3380,
       "Le champ 'VALNUM' existe déjà dans la table 'Variables'."},
      {"ALTER TABLE [Variables] DROP [X]", "42S22", 3265, "Le champ 'X' est introuvable dans la table 'Variables'."},
      {"CREATE INDEX [PK_NAME] ON [Variables] ([VALNUM])", "42S11", 3375,
       "La table 'Variables' a déjà un index nommé 'PK_NAME'."},
      {"DROP INDEX [I] ON [Variables]", "42S12", 3377, "Il n'existe aucun index nommé 'I' dans la table 'Variables'."},
      {"ALTER TABLE [Variables] ADD [A] TEXT(", "42000", 3290, "Erreur de syntaxe dans l'instruction ALTER TABLE."},
      {"SELEKT 1", "42000", 3129,
       "Instruction SQL non valide ; 'DELETE', 'INSERT', 'PROCEDURE', 'SELECT' ou 'UPDATE' attendu."},
  };
  for (const auto& c : cases) {
    EXPECT_FALSE(db_->execute(c.sql)) << c.sql;
    const Error& e = db_->lastError();
    EXPECT_EQ(e.state, c.state) << c.sql;
    EXPECT_EQ(e.native, c.native) << c.sql;
    EXPECT_EQ(e.message, c.message) << c.sql;
    EXPECT_EQ(e.origin, "[jetdb][Pilote Access]");
    EXPECT_EQ(e.stateNativeOrigin(), "State:" + e.state + ",Native:" + std::to_string(e.native) +
                                         ",Origin:[jetdb][Pilote Access]");
  }
  // A success clears the last error.
  ok("INSERT INTO [Variables] ([NAME]) VALUES ('A')");
  EXPECT_TRUE(db_->lastError().state.empty());
}

TEST_F(Errors, ExpressionErrorsQuoteTheText) {
  EXPECT_EQ(fails("SELECT [NAME] FROM [Variables] WHERE [NAME] = = 'A'"), "42000");
  EXPECT_NE(db_->lastError().message.find("= 'A'"), std::string::npos) << db_->lastError().message;
  EXPECT_EQ(fails("SELECT FOO([NAME]) FROM [Variables]"), "42000");
  EXPECT_EQ(fails("SELECT [NAME] FROM [Variables] WHERE [NAME] = 'unterminated"), "42000");
  EXPECT_EQ(fails("SELECT [NAME] FROM [Variables]; DROP TABLE [Variables]"), "42000");
  EXPECT_EQ(db_->tables().size(), 1u);
}

TEST_F(Errors, HostileTextNeitherCrashesNorChangesTheFile) {
  ok("INSERT INTO [Variables] ([NAME], [VALNUM]) VALUES ('A', 1)");
  EXPECT_EQ(fails(std::string(100000, '(') + "1"), "42000");
  EXPECT_EQ(fails("SELECT [NAME] FROM [Variables] WHERE " + std::string(5000, '(') + "1" + std::string(5000, ')')),
            "54001");
  EXPECT_EQ(fails("SELECT [NAME] FROM [Variables] WHERE " + std::string(5000, '-') + "1"), "54001");
  EXPECT_FALSE(db_->execute(std::string_view("SELECT\0 1", 9)));
  std::mt19937 rng(7);
  const std::string alphabet = "[]()',;*#.=<>-&!\" SELECTFROMWHEREINSERTALTERDROPADDCOLUMN0123456789Variables";
  for (int i = 0; i < 2000; ++i) {
    std::string sql;
    int n = static_cast<int>(rng() % 60);
    for (int k = 0; k < n; ++k) sql += alphabet[rng() % alphabet.size()];
    db_->execute(sql);
  }
  EXPECT_EQ(one("SELECT [VALNUM] FROM [Variables] WHERE [NAME]='A'").real, 1.0);
}

}  // namespace
}  // namespace jetdb::test
