// jetsql as a support person uses it: CSV that spreadsheets read back, and
// dumps that rebuild a database value for value.
#include <sqlite3.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <set>
#include <sstream>

#include "dump.h"
#include "jetdb/test_db.h"
#include "jetdb/tricky_sql.h"
#include "script.h"

namespace jetdb::test {
namespace {

// Standard output of a jetsql command line, and its exit code; with
// `errors`, standard error instead.
std::pair<std::string, int> jetsql(const std::string& args, bool errors = false) {
  std::string out;
  FILE* p = ::popen((std::string("'") + JETSQL + "' " + args + (errors ? " 2>&1 >/dev/null" : " 2>/dev/null")).c_str(),
                    "r");
  if (!p) return {"", -1};
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, p)) > 0;) out.append(buffer, n);
  const int status = ::pclose(p);
  return {out, WIFEXITED(status) ? WEXITSTATUS(status) : -1};
}

std::vector<std::vector<Value>> rows(Database& db, const std::string& table) {
  std::vector<std::vector<Value>> out;
  auto q = db.query("SELECT * FROM [" + table + "]");
  if (!q) return out;
  while (q->next()) {
    out.emplace_back();
    for (std::size_t i = 0; i < q->columns().size(); ++i) out.back().push_back(q->value(i));
  }
  return out;
}

std::string dumped(Database& db, const std::string& table = "") {
  std::ostringstream out;
  Error error;
  EXPECT_TRUE(jetsql::dump(db, table, out, error)) << error.message;
  return out.str();
}

class JetsqlTest : public ::testing::Test {
 protected:
  std::unique_ptr<Database> create(const std::string& name, const std::vector<std::string>& statements) {
    Error error;
    auto db = Database::open(dir_.file(name), OpenMode::Create, error);
    EXPECT_TRUE(db) << error.message;
    for (const auto& s : statements) EXPECT_TRUE(db && db->execute(s)) << s << ": " << db->lastError().message;
    return db;
  }
  TempDir dir_;
};

TEST(JetsqlScript, EndsStatementsWhereTheDriverReadsTheirEnd) {
  std::string script = "-- it's a comment; not a statement\n.tables\n";
  std::vector<std::string> expected = {".tables"};
  for (const auto& t : trickySql()) {
    script += std::string(t.text) + "\n-- a comment line in it: ' [ #\n;\n";
    std::string text = t.text;
    expected.push_back(text.substr(text.find_first_not_of(" \t")));
  }
  script += "SELECT 1\nFROM [T];\n\n.schema T\n;";
  expected.insert(expected.end(), {"SELECT 1\nFROM [T]", ".schema T"});
  EXPECT_EQ(jetsql::splitScript(script), expected);
  EXPECT_EQ(jetsql::splitScript("SELECT 1 FROM T;\nSELECT 2 FROM T"),
            (std::vector<std::string>{"SELECT 1 FROM T", "SELECT 2 FROM T"}))
      << "the last statement needs no ';'";

  for (const char* open : {"SELECT 'a;", "SELECT [a;", "SELECT #1/2", "SELECT 1"})
    EXPECT_TRUE(jetsql::awaitsMore(open)) << open;
  for (const char* closed : {"SELECT 'a;';", "SELECT [a;];", "SELECT 1;\n-- done: '", ".tables"})
    EXPECT_FALSE(jetsql::awaitsMore(closed)) << closed;
}

TEST(JetsqlScript, EachPieceKnowsTheLineItStartsOn) {
  const std::string script =
      "-- a comment\nSELECT 1 FROM T; SELECT\n'two\nlines'\nFROM T;\n\n.tables\n  SELECT [a\n]\n-- inside\nFROM T";
  EXPECT_EQ(jetsql::scriptPieces(script),
            (std::vector<jetsql::Piece>{{"SELECT 1 FROM T", 2},
                                        {"SELECT\n'two\nlines'\nFROM T", 2},
                                        {".tables", 7},
                                        {"SELECT [a\n]\nFROM T", 8}}));
}

TEST_F(JetsqlTest, TheDriverSaysWhichStatementsPrintRows) {
  create("rows.mdb", {kTrickySchema, "INSERT INTO T (ID, NOM) VALUES (1, 'un')"});
  const std::string db = "'" + dir_.file("rows.mdb") + "'";
  // No space after SELECT, a tab before it: rows all the same.
  EXPECT_EQ(jetsql("--csv " + db + " 'SELECT[ID]FROM T'"), std::make_pair(std::string("ID\n1\n"), 0));
  EXPECT_EQ(jetsql("--csv " + db + " '\tSELECT NOM FROM T'").first, "NOM\nun\n");
  // SELECT ... INTO makes its table and prints nothing.
  EXPECT_EQ(jetsql(db + " 'SELECT ID INTO [T2] FROM T'"), std::make_pair(std::string(), 0));
  EXPECT_EQ(jetsql("--csv " + db + " 'SELECT COUNT(*) AS N FROM T2'").first, "N\n1\n");
  EXPECT_EQ(jetsql(db + " 'SELECT ID FROM Absente'").second, 1);
}

TEST_F(JetsqlTest, ATransactionIsKeptByCommitOnly) {
  create("tx.mdb", {kTrickySchema});
  const std::string db = "'" + dir_.file("tx.mdb") + "'";
  auto count = [&] { return jetsql("--csv " + db + " 'SELECT COUNT(*) AS N FROM T'").first; };
  EXPECT_EQ(jetsql(db + " .begin 'INSERT INTO T (ID) VALUES (1)' 'CREATE TABLE U (X LONG)' .rollback").second, 0);
  EXPECT_EQ(count(), "N\n0\n");
  EXPECT_EQ(jetsql(db + " 'SELECT X FROM U'").second, 1) << "the table made is gone too";
  // Left open, at the end of the statements or at an error, it is undone.
  EXPECT_EQ(jetsql(db + " .begin 'INSERT INTO T (ID) VALUES (2)'").second, 0);
  EXPECT_EQ(jetsql(db + " .begin 'INSERT INTO T (ID) VALUES (3)' 'SELECT ID FROM Absente' .commit").second, 1);
  EXPECT_EQ(count(), "N\n0\n");
  EXPECT_EQ(jetsql(db + " .begin 'INSERT INTO T (ID) VALUES (4)' .commit").second, 0);
  EXPECT_EQ(count(), "N\n1\n");
  EXPECT_EQ(jetsql(db + " .begin .begin").second, 1);
}

TEST_F(JetsqlTest, CsvQuotesSeparatorsQuotesAndLineBreaksOnly) {
  auto db = create("csv.mdb", {"CREATE TABLE [T] ([n] LONG, [a] TEXT(50))"});
  for (const char* text : {"plain", "a,b", "say \"hi\"", "two\nlines", "cr\rhere", " spaced "})
    ASSERT_TRUE(db->insertRow("T", {{"n", Value::of(1)}, {"a", Value::of(text)}}));
  db.reset();
  EXPECT_EQ(jetsql("--csv " + dir_.file("csv.mdb") + " 'SELECT [a], [n] FROM [T]'"),
            std::make_pair(std::string("a,n\nplain,1\n\"a,b\",1\n\"say \"\"hi\"\"\",1\n\"two\nlines\",1\n"
                                       "\"cr\rhere\",1\n spaced ,1\n"),
                           0));
}

// Rows are written in blocks as they come: a result many blocks long comes
// out whole and in order, in CSV as in the list mode.
TEST_F(JetsqlTest, AResultLongerThanManyBlocksIsWrittenWholeAsItComes) {
  auto db = create("long.mdb", {"CREATE TABLE [T] ([n] LONG, [a] TEXT(100))"});
  db->setWriteBatching(true);
  std::string csv = "n,a\n", list = "n|a\n";
  const std::string filler(60, 'x');
  for (int n = 1; n <= 6000; ++n) {
    const std::string a = n % 7 == 0 ? "a,\"" + std::to_string(n) : filler + std::to_string(n);
    ASSERT_TRUE(db->insertRow("T", {{"n", Value::of(n)}, {"a", Value::of(a)}}));
    csv += std::to_string(n) + "," + (n % 7 == 0 ? "\"a,\"\"" + std::to_string(n) + "\"" : a) + "\n";
    list += std::to_string(n) + "|" + a + "\n";
  }
  db.reset();
  const std::string file = "'" + dir_.file("long.mdb") + "' ";
  EXPECT_EQ(jetsql("--csv " + file + "'SELECT n, a FROM T ORDER BY n'"), std::make_pair(csv, 0));
  EXPECT_EQ(jetsql(file + "'.mode list' 'SELECT n, a FROM T ORDER BY n'"), std::make_pair(list, 0));
}

// Null, the text 'Null' and the empty text print apart in CSV, as the
// sqlite3 shell prints them; the other modes print the same rows.
TEST_F(JetsqlTest, ModesHeadersAndNullText) {
  auto db = create("modes.mdb", {"CREATE TABLE [T] ([n] LONG, [a] TEXT(20))", "INSERT INTO T (n, a) VALUES (1, 'Null')",
                                 "INSERT INTO T (n, a) VALUES (2, '')", "INSERT INTO T (n) VALUES (3)",
                                 "INSERT INTO T (n, a) VALUES (4, 'é|x')"});
  db.reset();
  const std::string file = "'" + dir_.file("modes.mdb") + "' ";
  const std::string select = "'SELECT n, a FROM T ORDER BY n' ";
  EXPECT_EQ(jetsql("--csv " + file + select), std::make_pair(std::string("n,a\n1,Null\n2,\"\"\n3,\n4,é|x\n"), 0));
  EXPECT_EQ(jetsql(file + "'.nullvalue (rien)' '.headers off' '.mode csv;' " + select).first,
            "1,Null\n2,\"\"\n3,(rien)\n4,é|x\n");
  EXPECT_EQ(jetsql(file + "'.mode list' " + select).first, "n|a\n1|Null\n2|\n3|Null\n4|é|x\n");
  EXPECT_EQ(jetsql(file + "'.mode box' " + select).first,
            "┌───┬──────┐\n│ n │ a    │\n├───┼──────┤\n│ 1 │ Null │\n│ 2 │      │\n│ 3 │ Null │\n│ 4 │ é|x  │\n"
            "└───┴──────┘\n");
  EXPECT_EQ(jetsql(file + "'.headers off' '.mode box' " + select + "'.mode column' '.headers on' '.mode'").first,
            "┌───┬──────┐\n│ 1 │ Null │\n│ 2 │      │\n│ 3 │ Null │\n│ 4 │ é|x  │\n└───┴──────┘\nmode actuel : column\n");
  EXPECT_EQ(jetsql(file + "'.mode column' '.headers off' " + select).first, "1  Null\n2  \n3  Null\n4  é|x\n");
  for (const char* wrong : {"'.mode table'", "'.headers yes'", "'.nosuch'", "'.read'"})
    EXPECT_EQ(jetsql(file + wrong + " .tables"), std::make_pair(std::string(), 1)) << wrong;
}

// .tables and .schema alone, with a name, a pattern, brackets or a ';'.
TEST_F(JetsqlTest, TablesAndSchemaTakeAPatternOrNothing) {
  create("names.mdb", {"CREATE TABLE [Recettes] ([n] LONG)", "CREATE TABLE [Recettes Web] ([m] TEXT(5))",
                       "CREATE TABLE [Unités] ([u] LONG)"});
  const std::string file = "--csv '" + dir_.file("names.mdb") + "' ";
  EXPECT_EQ(jetsql(file + ".tables").first, "Table\nRecettes\nRecettes Web\nUnités\n");
  EXPECT_EQ(jetsql(file + "'.tables;'").first, jetsql(file + ".tables").first);
  EXPECT_EQ(jetsql(file + "'.tables rec*'").first, "Table\nRecettes\nRecettes Web\n");
  EXPECT_EQ(jetsql(file + "'.tables %s'").first, "Table\nRecettes\nUnités\n");
  EXPECT_EQ(jetsql(file + "'.tables UNITÉS;'").first, "Table\nUnités\n");
  EXPECT_EQ(jetsql(file + "'.tables unites'").first, "Table\n") << "an accent counts";
  const std::string one = jetsql(file + "'.schema [Recettes Web]'").first;
  EXPECT_EQ(one, "Champ,Type,Null\nm,TEXT(5),\"\"\n\nIndex,Genre,Champs\n\nRelation,Table,Référence\n");
  EXPECT_EQ(jetsql(file + "'.schema Recettes Web;'").first, one);
  const auto [all, code] = jetsql(file + ".schema");
  EXPECT_EQ(code, 0);
  for (const char* part : {"[Recettes]\nChamp,Type,Null\nn,LONG,\"\"\n", "\n[Recettes Web]\n" , "\n[Unités]\nChamp"})
    EXPECT_NE(all.find(part), std::string::npos) << part << " in " << all;
  EXPECT_EQ(jetsql(file + "'.schema Absente'").second, 1);
}

// A script's refused statement is named by its line (and by its file for
// .read), and the script stops there.
TEST_F(JetsqlTest, ScriptErrorsGiveTheirLineAndStatement) {
  create("script.mdb", {"CREATE TABLE [T] ([n] LONG)"});
  WriteFile(dir_.file("inner.sql"), "INSERT INTO T (n) VALUES (2);\n\n-- next\nSELECT *\n  FROM Absente;\nINSERT INTO T (n) VALUES (3);\n");
  WriteFile(dir_.file("outer.sql"), "INSERT INTO T (n) VALUES (1);\n.read " + dir_.file("inner.sql") + "\nINSERT INTO T (n) VALUES (4);\n");
  const std::string file = "'" + dir_.file("script.mdb") + "'";
  const auto [errors, code] = jetsql(file + " < '" + dir_.file("outer.sql") + "'", true);
  EXPECT_EQ(code, 1);
  EXPECT_EQ(errors, "ERREUR [42S02] (3078) [jetdb][Pilote Access] Impossible de trouver la table ou la requête source "
                    "'Absente'.\n  à la ligne 4 de " + dir_.file("inner.sql") + " : SELECT *\n  FROM Absente\n");
  EXPECT_EQ(jetsql("--csv " + file + " 'SELECT n FROM T'").first, "n\n1\n2\n");
  EXPECT_EQ(jetsql(file + " '.read " + dir_.file("absent.sql") + "'", true).first.rfind("ERREUR impossible de lire", 0), 0u);
  // A script that reads itself stops, refused, at a bounded depth.
  WriteFile(dir_.file("self.sql"), "SELECT n FROM T;\n.read " + dir_.file("self.sql") + "\n");
  EXPECT_EQ(jetsql(file + " '.read " + dir_.file("self.sql") + "'").second, 1);
  // Standard input names no file.
  WriteFile(dir_.file("stdin.sql"), "SELECT 1 FROM T;\nSELECT x FROM;");
  EXPECT_NE(jetsql(file + " < '" + dir_.file("stdin.sql") + "'", true).first.find("\n  à la ligne 2 : SELECT x FROM\n"),
            std::string::npos);
}

// Looking into a file leaves it, and its folder, as they were, to the byte
// and to the date; the first write opens it for writing.
TEST_F(JetsqlTest, ReadsChangeNothingUntilAStatementWrites) {
  create("look.mdb", {kTrickySchema, "INSERT INTO T (ID, NOM) VALUES (1, 'un')"});
  const std::string path = dir_.file("look.mdb");
  const auto before = contents(dir_.path());
  const auto date = std::filesystem::last_write_time(path);
  const std::string file = "'" + path + "' ";
  EXPECT_EQ(jetsql(file + ".tables .schema '.schema T' .dump .check 'SELECT * FROM T' '.tables;'").second, 0);
  EXPECT_EQ(jetsql(file + "< /dev/null").second, 0);
  EXPECT_EQ(contents(dir_.path()), before);
  EXPECT_EQ(std::filesystem::last_write_time(path), date);
  EXPECT_EQ(jetsql("--csv " + file + "'SELECT NOM FROM T' \"INSERT INTO T (ID, NOM) VALUES (2, 'deux')\" "
                                     "'SELECT NOM FROM T ORDER BY ID'").first,
            "NOM\nun\nNOM\nun\ndeux\n");
  EXPECT_EQ(std::filesystem::exists(path + "-wal") || std::filesystem::exists(path + "-shm"), false);
  EXPECT_EQ(jetsql("--read-only " + file + "'DELETE FROM T'").second, 1);
  EXPECT_EQ(jetsql("--csv " + file + "'SELECT Count(*) AS N FROM T'").first, "N\n2\n");
  // A file in WAL mode whose log lost its index is not read without
  // writing: the open for writing mends it, and it is one file again.
  sqlite3* raw = nullptr;
  ASSERT_EQ(sqlite3_open(path.c_str(), &raw), SQLITE_OK);
  EXPECT_EQ(sqlite3_exec(raw, "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr), SQLITE_OK);
  sqlite3_close(raw);
  WriteFile(path + "-wal", "");
  EXPECT_EQ(jetsql("--csv " + file + "'SELECT Count(*) AS N FROM T'").first, "N\n2\n");
  EXPECT_FALSE(std::filesystem::exists(path + "-wal"));
}

// --help and --version answer on standard output; a wrong command line is
// refused in French, touching nothing.
TEST_F(JetsqlTest, CommandLine) {
  const auto [help, helpCode] = jetsql("--help");
  EXPECT_EQ(helpCode, 0);
  EXPECT_EQ(help.rfind("usage : jetsql", 0), 0u);
  EXPECT_EQ(jetsql("-h").first, help);
  EXPECT_EQ(jetsql("--version"), std::make_pair(std::string("jetsql 2.5.3\n"), 0));
  create("cmd.mdb", {"CREATE TABLE [T] ([n] LONG)"});
  const auto before = contents(dir_.path());
  EXPECT_EQ(jetsql("--nope '" + dir_.file("cmd.mdb") + "' 'DROP TABLE T'", true),
            std::make_pair(std::string("jetsql : option inconnue : --nope ; voir jetsql --help.\n"), 64));
  EXPECT_EQ(jetsql("", true), std::make_pair(std::string("jetsql : il manque le fichier de la base ; voir jetsql --help.\n"), 64));
  EXPECT_EQ(jetsql("--create --read-only '" + dir_.file("new.mdb") + "'").second, 64);
  EXPECT_EQ(contents(dir_.path()), before);
  EXPECT_EQ(jetsql("'" + dir_.file("absent.mdb") + "' .tables").second, 2);
  EXPECT_FALSE(std::filesystem::exists(dir_.file("absent.mdb")));
}

// --import runs jetsql-import, found beside jetsql, so that jetsql itself
// starts without the Access reader and the libraries under it; a jetsql
// without its helper says so and writes nothing.
TEST_F(JetsqlTest, TheImportRunsInAProgramOfItsOwn) {
  const std::string notAccess = dir_.file("plain.txt");
  WriteFile(notAccess, "pas une base\n");
  EXPECT_EQ(jetsql("--import '" + notAccess + "' '" + dir_.file("n.mdb") + "'", true),
            std::make_pair(std::string("ce n'est pas une base Access (Jet 3 ou Jet 4)\n"), 2));
  EXPECT_EQ(jetsql("--import", true).second, 64);

  FILE* p = ::popen(("ldd '" + std::string(JETSQL) + "'").c_str(), "r");
  ASSERT_TRUE(p);
  std::string libraries;
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, p)) > 0;) libraries.append(buffer, n);
  ::pclose(p);
  EXPECT_EQ(libraries.find("libmdb"), std::string::npos) << libraries;
  EXPECT_EQ(libraries.find("libglib"), std::string::npos) << libraries;

  const std::string alone = dir_.file("alone");
  std::filesystem::create_directory(alone);
  std::filesystem::copy_file(JETSQL, alone + "/jetsql");
  std::filesystem::permissions(alone + "/jetsql", std::filesystem::perms::owner_all);
  const int status = std::system(("'" + alone + "/jetsql' --import '" + notAccess + "' '" + dir_.file("m.mdb") +
                                  "' 2>'" + dir_.file("err.txt") + "'").c_str());
  EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, 2);
  EXPECT_EQ(ReadFile(dir_.file("err.txt")).rfind("jetsql : l'import est impossible : jetsql-import manque", 0), 0u)
      << ReadFile(dir_.file("err.txt"));
  EXPECT_FALSE(std::filesystem::exists(dir_.file("m.mdb")));
}

// Every type with the values whose literals are easy to get wrong; the
// rebuilt file must hold the very same values, not merely print alike.
TEST_F(JetsqlTest, DumpRebuildsEveryValueAndTheCatalog) {
  auto db =
      create("src.mdb",
             {
                 "CREATE TABLE [Parent] ([Id] COUNTER, [Code] TEXT(10) NOT NULL DEFAULT 'x; \"y\"')",
                 "CREATE UNIQUE INDEX [PK_Parent] ON [Parent] ([Id]) WITH PRIMARY",
                 "CREATE UNIQUE INDEX [UX_Code] ON [Parent] ([Code]) WITH IGNORE NULL",
                 "CREATE TABLE [Child] ([Id] LONG, [Parent] LONG, [Name] TEXT(80), [Note] MEMO, [Ok] BIT, [B] BYTE, "
                 "[S] SHORT DEFAULT -(1 + 1), [F] SINGLE, [D] DOUBLE, [C] CURRENCY, [When] DATETIME)",
                 "CREATE INDEX [IX_Name] ON [Child] ([Name]) WITH DISALLOW NULL",
                 "ALTER TABLE [Child] ADD CONSTRAINT [ParentChild] FOREIGN KEY ([Parent]) REFERENCES [Parent] ([Id])",
                 "INSERT INTO [Parent] ([Id], [Code]) VALUES (7, 'A')",
             });
  ASSERT_TRUE(db->insertRow("Child", {{"Id", Value::of(1)},
                                      {"Parent", Value::of(7)},
                                      {"Name", Value::of("l'eau ; \"#1#\" [x]")},
                                      {"Note", Value::of("ligne\n-- pas un commentaire\n.tables\r\nfin")},
                                      {"Ok", Value::of(-1)},
                                      {"B", Value::of(255)},
                                      {"S", Value::of(-32768)},
                                      {"F", Value::of(0.1)},
                                      {"D", Value::of(1.0 / 3)},
                                      {"C", Value::of(12.3456)},
                                      {"When", Value::dateTime(-2209161600 + 59)}}));
  ASSERT_TRUE(db->insertRow("Child", {{"Id", Value::of(2)},
                                      {"Name", Value::of("")},
                                      {"D", Value::of(-2.5e-300)},
                                      {"C", Value::of(-922337203685477.0)},
                                      {"When", Value::dateTime(1700000000)}}));
  ASSERT_TRUE(db->insertRow(
      "Child",
      {{"Id", Value::of(3)}, {"Name", Value::of("é")}, {"D", Value::of(0.1 + 0.2)}, {"F", Value::of(-3.4e38)}}));
  const std::string script = dumped(*db);
  EXPECT_NE(script.find("[Code] TEXT(10) NOT NULL DEFAULT 'x; \"y\"'\n"), std::string::npos) << script;
  EXPECT_NE(script.find("[S] SHORT DEFAULT -(1 + 1),"), std::string::npos) << script;

  auto copy = create("copy.mdb", {});
  for (const auto& statement : jetsql::splitScript(script))
    ASSERT_TRUE(copy->execute(statement)) << statement << ": " << copy->lastError().message;
  for (const char* table : {"Parent", "Child"}) EXPECT_EQ(rows(*copy, table), rows(*db, table)) << table;
  EXPECT_EQ(dumped(*copy), script);
  EXPECT_FALSE(copy->insertRow("Child", {{"Id", Value::of(4)}, {"Parent", Value::of(8)}, {"Name", Value::of("x")}}));

  // Bytes, GUIDs, exact decimals and a seeded counter come back as they were.
  ASSERT_TRUE(db->execute("CREATE TABLE [Other] ([N] COUNTER(50, 5), [Bin] VARBINARY(8), [Ole] OLEOBJECT, [G] GUID, "
                          "[Dec] DECIMAL(28,6))"));
  ASSERT_TRUE(db->execute("INSERT INTO [Other] ([Bin], [Ole], [G], [Dec]) VALUES (?, ?, ?, ?)",
                          {Value::bytes(std::string("\0'\xff", 3)), Value::bytes(""),
                           Value::of("de2ac9c6-8676-4b0b-b8a6-217a8580cbee"), Value::of("-1234567890123456789012.000001")}));
  ASSERT_TRUE(db->execute("INSERT INTO [Other] ([Dec]) VALUES (0.5)"));
  const std::string more = dumped(*db, "Other");
  EXPECT_NE(more.find("[N] COUNTER(50,5),"), std::string::npos) << more;
  auto third = create("third.mdb", {});
  for (const auto& statement : jetsql::splitScript(more))
    ASSERT_TRUE(third->execute(statement)) << statement << ": " << third->lastError().message;
  EXPECT_EQ(rows(*third, "Other"), rows(*db, "Other"));
  EXPECT_EQ(dumped(*third, "Other"), more);
  ASSERT_TRUE(third->execute("INSERT INTO [Other] ([Dec]) VALUES (1)"));
  auto top = third->query("SELECT MAX([N]) FROM [Other]");
  ASSERT_TRUE(top && top->next());
  EXPECT_EQ(top->value(0).integer, 60);  // 50, 55, then on by its step

  // One table alone keeps its relation, which needs its parent first.
  auto alone = create("alone.mdb", {});
  for (const auto& statement : jetsql::splitScript(dumped(*db, "Parent") + dumped(*db, "Child")))
    ASSERT_TRUE(alone->execute(statement)) << statement << ": " << alone->lastError().message;
  EXPECT_EQ(dumped(*alone), script);

  std::ostringstream out;
  Error error;
  EXPECT_FALSE(jetsql::dump(*db, "Absent", out, error));
  EXPECT_EQ(error.state, "42S02");

  // Saved queries follow the tables they read, in the order they were made.
  ASSERT_TRUE(db->execute("CREATE VIEW [Codes] AS SELECT [Code] FROM [Parent] WHERE [Code] <> ';'"));
  ASSERT_TRUE(db->execute("CREATE VIEW [Deux] AS SELECT Count(*) AS N FROM [Codes]"));
  const std::string withViews = dumped(*db);
  auto viewed = create("viewed.mdb", {});
  for (const auto& statement : jetsql::splitScript(withViews))
    ASSERT_TRUE(viewed->execute(statement)) << statement << ": " << viewed->lastError().message;
  EXPECT_EQ(viewed->views(), (std::vector<std::string>{"Codes", "Deux"}));
  EXPECT_EQ(dumped(*viewed), withViews);
  EXPECT_EQ(dumped(*viewed, "Parent"), dumped(*db, "Parent")) << "a table alone comes without them";
}

#ifdef SAMPLE_DB
// The sample and a database the whole chain converted, through the shell.
TEST_F(JetsqlTest, DumpOfRealDatabasesRebuildsThemWithCreate) {
  // Copies, so that the shell's read-write open leaves the build's own files (and their dates) alone.
  for (const std::string original : {SAMPLE_DB, CONVERTED_DB}) {
    const std::string source = dir_.file("source.mdb");
    std::filesystem::copy_file(original, source, std::filesystem::copy_options::overwrite_existing);
    const auto [script, code] = jetsql("'" + source + "' .dump");
    ASSERT_EQ(code, 0) << original;
    ASSERT_NE(script.find("ALTER TABLE"), std::string::npos) << original;
    WriteFile(dir_.file("dump.sql"), script);
    std::filesystem::remove(dir_.file("new.mdb"));
    ASSERT_EQ(jetsql("--create " + dir_.file("new.mdb") + " < " + dir_.file("dump.sql")).second, 0) << original;
    EXPECT_EQ(jetsql(dir_.file("new.mdb") + " .dump"), std::make_pair(script, 0)) << original;
    EXPECT_EQ(jetsql("--check " + dir_.file("new.mdb")), std::make_pair(std::string("OK\n"), 0)) << original;
  }
  EXPECT_EQ(jetsql(dir_.file("source.mdb") + " '.dump Absent'").second, 1);
}

// The questions support asks of a converted database, as jetsql answers
// them, against the same answers worked out here from the plain tables.
// The sample has no prices: a copy gets some, two of them tied.
TEST_F(JetsqlTest, JoinsGroupsTopAndSubqueriesAnswerOnTheConvertedSample) {
  const std::string copy = dir_.file("converted.mdb");
  std::filesystem::copy_file(CONVERTED_DB, copy);
  const std::string file = "--csv '" + copy + "' ";
  ASSERT_EQ(jetsql(file + "'UPDATE Ingredients SET PXKG = 40 - INGRED_ID * 1.5' 'UPDATE Ingredients SET PXKG = "
                          "(SELECT PXKG FROM Ingredients WHERE INGRED_ID = 10) WHERE INGRED_ID = 20'")
                .second,
            0);
  Error error;
  auto db = Database::open(copy, OpenMode::ReadOnly, error);
  ASSERT_TRUE(db) << error.message;
  auto pairs = [&](const std::string& sql) {
    std::vector<std::pair<Value, Value>> out;
    auto q = db->query(sql);
    EXPECT_TRUE(q) << sql;
    while (q && q->next()) out.emplace_back(q->value(0), q->value(1));
    return out;
  };
  std::map<std::int64_t, std::string> names, recipes;
  std::vector<double> prices;
  for (const auto& [id, name] : pairs("SELECT INGRED_ID, NOM FROM Ingredients")) names[id.integer] = name.asText();
  for (const auto& [id, price] : pairs("SELECT INGRED_ID, PXKG FROM Ingredients")) prices.push_back(price.real);
  for (const auto& [id, name] : pairs("SELECT RECET_ID, NOM FROM Recettes")) recipes[id.integer] = name.asText();
  std::map<std::int64_t, int> perCategory;
  for (const auto& [ingredient, category] : pairs("SELECT INGR_ID, CLASS_ID FROM CategIngre"))
    ++perCategory[category.integer];
  const auto links = pairs("SELECT INGRED_ID, RECET_ID FROM Compositions WHERE INGRED_ID IS NOT NULL");
  ASSERT_FALSE(links.empty());
  const std::int64_t used = links.front().first.integer;
  std::multiset<std::string> usingIt, counts, unused;
  std::set<std::int64_t> linked;
  for (const auto& [ingredient, recipe] : links) {
    linked.insert(ingredient.integer);
    if (ingredient.integer == used) usingIt.insert(recipes[recipe.integer]);
  }
  for (const auto& [category, n] : perCategory) counts.insert(std::to_string(category) + "," + std::to_string(n));
  for (const auto& [id, name] : names)
    if (!linked.count(id)) unused.insert(name.find_first_of(",\"") == std::string::npos ? name : '"' + name + '"');
  auto lines = [](const std::string& csv) {
    std::multiset<std::string> out;
    std::istringstream in(csv);
    std::string line;
    std::getline(in, line);  // the header
    while (std::getline(in, line)) out.insert(line);
    return out;
  };

  const auto [byIngredient, code] =
      jetsql(file + "'SELECT r.NOM FROM (Recettes AS r INNER JOIN Compositions AS c ON c.RECET_ID = r.RECET_ID) "
                    "INNER JOIN Ingredients AS i ON i.INGRED_ID = c.INGRED_ID WHERE i.INGRED_ID = " +
             std::to_string(used) + "'");
  EXPECT_EQ(code, 0);
  EXPECT_EQ(lines(byIngredient), usingIt);
  EXPECT_EQ(lines(jetsql(file + "'SELECT c.CLASS_ID, Count(*) AS N FROM Categories AS c INNER JOIN CategIngre AS g "
                                "ON g.CLASS_ID = c.CLASS_ID GROUP BY c.CLASS_ID'")
                      .first),
            counts);
  // TOP 10 gives ten rows, and those that tie with the tenth.
  std::sort(prices.rbegin(), prices.rend());
  ASSERT_GE(prices.size(), 10u);
  const auto top = lines(jetsql(file + "'SELECT TOP 10 NOM, PXKG FROM Ingredients ORDER BY PXKG DESC'").first);
  EXPECT_EQ(top.size(), static_cast<std::size_t>(std::count_if(prices.begin(), prices.end(),
                                                               [&](double p) { return p >= prices[9]; })));
  EXPECT_GT(top.size(), 10u);
  EXPECT_EQ(lines(jetsql(file + "'SELECT NOM FROM Ingredients WHERE INGRED_ID NOT IN (SELECT INGRED_ID FROM "
                                "Compositions WHERE INGRED_ID IS NOT NULL)'")
                      .first),
            unused);
  EXPECT_EQ(lines(jetsql(file + "'SELECT NOM FROM Ingredients AS i WHERE NOT EXISTS (SELECT * FROM Compositions AS "
                                "c WHERE c.INGRED_ID = i.INGRED_ID)'")
                      .first),
            unused);
}
#endif

}  // namespace
}  // namespace jetdb::test
