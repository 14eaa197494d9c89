// The check of a whole file: sound files pass, each planted fault gives
// its line, and jetsql reports them with its exit code.
#include <sqlite3.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>

#include "test_db.h"

namespace jetdb::test {
namespace {

// What jetsql prints on standard output, and its exit code.
std::pair<std::string, int> jetsql(const std::string& args) {
  std::string out;
  FILE* p = ::popen((std::string(JETSQL) + " " + args + " 2>/dev/null").c_str(), "r");
  if (!p) return {"", -1};
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, p)) > 0;) out.append(buffer, n);
  const int status = ::pclose(p);
  return {out, WIFEXITED(status) ? WEXITSTATUS(status) : -1};
}

std::vector<std::string> checked(const std::string& path) {
  Error e;
  auto db = Database::open(path, OpenMode::ReadOnly, e);
  if (!db) return {"open: " + e.message};
  return db->check();
}

// Plants faults below the driver, as another program writing the file
// could: the driver's collation is stood in for by an ASCII one.
void plant(const std::string& path, const std::vector<std::string>& statements) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
  sqlite3_create_collation(
      db, "JETNOCASE", SQLITE_UTF8, nullptr, [](void*, int na, const void* a, int nb, const void* b) {
        const int n = std::min(na, nb);
        const int c =
            ::strncasecmp(static_cast<const char*>(a), static_cast<const char*>(b), static_cast<std::size_t>(n));
        return c ? c : na - nb;
      });
  for (const auto& sql : statements)
    EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK) << sql << ": " << sqlite3_errmsg(db);
  sqlite3_close(db);
}

class Check : public DbTest {
 protected:
  void SetUp() override {
    DbTest::SetUp();
    ok("CREATE TABLE [P] ([ID] INTEGER CONSTRAINT PK PRIMARY KEY, [NAME] TEXT(5), [B] BYTE, [F] BIT, [D] DATETIME)");
    ok("CREATE TABLE [C] ([ID] COUNTER, [P] INTEGER CONSTRAINT FK REFERENCES [P] ([ID]))");
    ok("CREATE UNIQUE INDEX [UN] ON [P] ([NAME])");
    for (int i = 1; i <= 300; ++i)
      ok("INSERT INTO [P] VALUES (" + std::to_string(i) + ", 'n" + std::to_string(i) + "', 1, True, #2020-01-01#)");
    ok("INSERT INTO [C] ([P]) VALUES (1)");
    db_.reset();
  }
};

TEST_F(Check, SoundFilesPass) {
  EXPECT_EQ(checked(path()), std::vector<std::string>{});
  std::size_t templates = 0;
  for (const auto& entry : std::filesystem::directory_iterator(TOQUELIN_TEMPLATE_DIR)) {
    if (entry.path().extension() != ".mdb") continue;
    ++templates;
    EXPECT_EQ(checked(entry.path().string()), std::vector<std::string>{}) << entry.path();
  }
  EXPECT_GE(templates, 2u);
  const auto before = ReadFile(TOQUELIN_SAMPLE_DB);
  EXPECT_EQ(jetsql("--check " + std::string(TOQUELIN_SAMPLE_DB)), std::make_pair(std::string("OK\n"), 0));
  EXPECT_EQ(ReadFile(TOQUELIN_SAMPLE_DB), before);
}

TEST_F(Check, EachPlantedFaultGivesItsLine) {
  plant(path(), {
                    "INSERT INTO \"C\" (\"ID\", \"P\") VALUES (5, 4242)",
                    "DROP INDEX \"jetix.P.PK\"",
                    "INSERT INTO \"P\" (\"ID\", \"NAME\", \"B\", \"F\", \"D\") VALUES (1, 'beaucoup', 300, 1, 1e12)",
                    "INSERT INTO \"P\" (\"ID\", \"NAME\", \"B\", \"F\") VALUES (NULL, 'x', 'abc', -1)",
                    "INSERT INTO _jet_tables (name) VALUES ('Fantome')",
                    "INSERT INTO _jet_columns VALUES ('Perdue', 0, 'A', 'LONG', 4, 0)",
                    "CREATE TABLE \"Inconnue\" (a)",
                    "CREATE INDEX \"extra\" ON \"C\" (\"P\")",
                });
  const std::vector<std::string> expected = {
      "Index 'PK' de la table 'P' du catalogue absent du fichier.",
      "Table 'Fantome' du catalogue absente du fichier.",
      "Catalogue : 1 champ(s) d'une table qu'il ne liste pas.",
      "Table 'Inconnue' du fichier absente du catalogue.",
      "Index 'extra' du fichier absent du catalogue.",
      "Champ 'P.ID' : 1 valeur(s) Null dans un champ obligatoire.",
      "Champ 'P.NAME' : 1 texte(s) de plus de 5 caractères.",
      "Champ 'P.B' : 1 valeur(s) d'un autre type que BYTE.",
      "Champ 'P.B' : 1 valeur(s) hors des limites de BYTE (de 0 à 255).",
      "Champ 'P.F' : 1 valeur(s) hors des limites de BIT (0 ou -1).",
      "Champ 'P.D' : 1 valeur(s) d'un autre type que DATETIME.",
      "Index 'PK' de la table 'P' : 1 valeur(s) de clé en double.",
      "Relation 'FK' : 1 enregistrement(s) de la table 'C' sans enregistrement associé dans la table 'P'.",
  };
  EXPECT_EQ(checked(path()), expected);
  std::string lines;
  for (const auto& l : expected) lines += l + "\n";
  EXPECT_EQ(jetsql("--check " + path()), std::make_pair(lines, 1));
  EXPECT_EQ(jetsql(path() + " .check"), std::make_pair(lines, 1));
}

TEST_F(Check, BytesGuidsAndDecimalsPassAndAWrongStoredOneIsFound) {
  reopen();
  ok("CREATE TABLE [N] ([BIN] BINARY(2), [G] GUID, [DEC] DECIMAL(5,2), [BIG] DECIMAL(28,2))");
  ok("INSERT INTO [N] VALUES (0x0102, '{de2ac9c6-8676-4b0b-b8a6-217a8580cbee}', 123.45, "
     "'12345678901234567890123456.78')");
  ok("INSERT INTO [N] VALUES (0x, Null, -999.99, -1)");
  db_.reset();
  EXPECT_EQ(checked(path()), std::vector<std::string>{});
  plant(path(), {
                    "INSERT INTO \"N\" (\"BIN\", \"G\", \"DEC\", \"BIG\") VALUES (x'010203', 'de2ac9c6-8676-4b0b-b8a6-217a8580cbee', 1000, 'douze')",
                    "INSERT INTO \"N\" (\"BIN\", \"G\", \"DEC\", \"BIG\") VALUES ('ab', '{DE2AC9C6-8676-4B0B-B8A6-217A8580CBEE}', '12.5', 'x1')",
                });
  const std::vector<std::string> expected = {
      "Champ 'N.BIN' : 1 valeur(s) d'un autre type que BINARY.",
      "Champ 'N.BIN' : 1 valeur(s) hors des limites de BINARY (2 octets au plus).",
      "Champ 'N.G' : 1 valeur(s) hors des limites de GUID ({XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}).",
      "Champ 'N.DEC' : 1 valeur(s) hors des limites de DECIMAL (nombre de 5 chiffres dont 2 décimales).",
      "Champ 'N.BIG' : 2 valeur(s) hors des limites de DECIMAL (nombre de 28 chiffres dont 2 décimales).",
  };
  EXPECT_EQ(checked(path()), expected);
}

TEST_F(Check, ADamagedPageIsFoundAndAFileThatDoesNotOpenIsOneProblem) {
  int root = 0;
  plant(path(), {});
  {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path().c_str(), &db), SQLITE_OK);
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, "SELECT rootpage FROM sqlite_schema WHERE name = 'P'", -1, &st, nullptr);
    if (sqlite3_step(st) == SQLITE_ROW) root = sqlite3_column_int(st, 0);
    sqlite3_finalize(st);
    sqlite3_close(db);
  }
  ASSERT_GT(root, 1);
  std::string bytes = ReadFile(path());
  // The first child pointer of the table's root, sent past the file's end.
  bytes.replace(static_cast<std::size_t>((root - 1) * 4096 + 12), 4, "\x7f\xff\xff\xff");
  WriteFile(path(), bytes);
  const auto problems = checked(path());
  ASSERT_FALSE(problems.empty());
  EXPECT_EQ(problems.front().rfind("Page ", 0), 0u) << problems.front();
  const auto [out, code] = jetsql("--check " + path());
  EXPECT_EQ(code, 1);
  EXPECT_EQ(out.rfind("Page ", 0), 0u) << out;
  EXPECT_EQ(out.find("OK"), std::string::npos);

  WriteFile(path(), "pas une base");
  EXPECT_EQ(jetsql("--check " + path()),
            std::make_pair("Format de base de données '" + path() + "' non reconnu.\n", 1));
}

}  // namespace
}  // namespace jetdb::test
