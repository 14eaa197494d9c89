// Files whose indexes were built in the older order (case and accents both
// ignored, a ligature as its first letter): a writer rebuilds them, a
// reader finds every row, a unique index the new order would break is
// reported and the file left as it was.
#include <sqlite3.h>

#include "jetdb/text.h"
#include "test_db.h"

namespace jetdb::test {
namespace {

int olderCollate(void*, int na, const void* a, int nb, const void* b) {
  return compareOlder({static_cast<const char*>(a), static_cast<std::size_t>(na)},
                      {static_cast<const char*>(b), static_cast<std::size_t>(nb)});
}

int currentCollate(void*, int na, const void* a, int nb, const void* b) {
  return compareFolded({static_cast<const char*>(a), static_cast<std::size_t>(na)},
                       {static_cast<const char*>(b), static_cast<std::size_t>(nb)});
}

// Runs `sql` on the file itself, with JETNOCASE in the order `collate` gives,
// or without one, as the stock tools' extension registers it.
std::string raw(const std::string& path, const std::string& sql, decltype(&olderCollate) collate) {
  sqlite3* db = nullptr;
  EXPECT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
  char* msg = nullptr;
  if (collate) {
    sqlite3_create_collation(db, "JETNOCASE", SQLITE_UTF8, nullptr, collate);
  } else {
    sqlite3_enable_load_extension(db, 1);
    EXPECT_EQ(sqlite3_load_extension(db, JETDB_SQLITE, nullptr, &msg), SQLITE_OK) << (msg ? msg : "");
    sqlite3_free(msg);
    msg = nullptr;
  }
  std::string out;
  sqlite3_exec(
      db, sql.c_str(),
      [](void* o, int n, char** v, char**) {
        for (int i = 0; i < n; ++i) *static_cast<std::string*>(o) += std::string(v[i] ? v[i] : "NULL") + ";";
        return 0;
      },
      &out, &msg);
  if (msg) out += std::string("error: ") + msg;
  sqlite3_free(msg);
  sqlite3_close(db);
  return out;
}

class OlderFile : public DbTest {
 protected:
  // The file as an older driver left it: the same rows, its indexes in the
  // older order and no mark of the rule.
  void makeOlder(bool uniqueLigature) {
    ok("CREATE TABLE [Categories] ([Id] INTEGER CONSTRAINT PrimaryKey PRIMARY KEY, [Nom] TEXT(50))");
    ok("CREATE INDEX [ParNom] ON [Categories] ([Nom])");
    for (const char* row : {"(1, 'Importación')", "(2, 'Importacion')", "(3, 'Zèbre')", "(4, 'Abricot')"})
      ok(std::string("INSERT INTO [Categories] VALUES ") + row);
    if (uniqueLigature) {
      ok("CREATE TABLE [Mots] ([Mot] TEXT(50) CONSTRAINT PrimaryKey PRIMARY KEY)");
      ok("INSERT INTO [Mots] VALUES ('oeuf')");
    }
    db_.reset();
    // The older order told 'Œuf' from 'oeuf': both could be keys.
    const std::string ligature = uniqueLigature ? "INSERT INTO \"Mots\" (\"Mot\") VALUES ('Œuf');" : "";
    EXPECT_EQ(raw(path(),
                  "DELETE FROM _jet_meta WHERE key = 'collation'; REINDEX JETNOCASE; " + ligature +
                      "PRAGMA integrity_check",
                  olderCollate),
              "ok;");
    if (uniqueLigature) return;
    // Proof that the file is in the older order: the current one sees its
    // indexes out of order.
    EXPECT_NE(raw(path(), "PRAGMA integrity_check", currentCollate), "ok;");
  }
  std::vector<std::int64_t> idsNamed(Database& db, const std::string& name) {
    std::vector<std::int64_t> out;
    auto q = db.query("SELECT [Id] FROM [Categories] WHERE [Nom] = '" + name + "' ORDER BY [Id]");
    EXPECT_TRUE(q) << db.lastError().message;
    while (q && q->next()) out.push_back(q->value(0).integer);
    return out;
  }
};

TEST_F(OlderFile, NewFilesAreMarkedWithTheCurrentRule) {
  db_.reset();
  EXPECT_EQ(raw(path(), "SELECT value FROM _jet_meta WHERE key = 'collation'", currentCollate), "jet-general 2;");
}

TEST_F(OlderFile, ReaderFindsEveryRowInTheOrderTheIndexesWereBuilt) {
  makeOlder(false);
  const std::string before = ReadFile(path());
  Error e;
  auto reader = Database::open(path(), OpenMode::ReadOnly, e);
  ASSERT_TRUE(reader) << e.message;
  // The older rule throughout, so that the index and the comparisons agree:
  // no row is missed, none is changed.
  EXPECT_EQ(idsNamed(*reader, "importacion"), (std::vector<std::int64_t>{1, 2}));
  EXPECT_EQ(idsNamed(*reader, "ZEBRE"), (std::vector<std::int64_t>{3}));
  reader.reset();
  EXPECT_TRUE(ReadFile(path()) == before);
}

TEST_F(OlderFile, WriterRebuildsTheIndexesAndMarksTheFile) {
  makeOlder(false);
  reopen();
  EXPECT_EQ(idsNamed(*db_, "Importacion"), (std::vector<std::int64_t>{2}));
  EXPECT_EQ(idsNamed(*db_, "IMPORTACIÓN"), (std::vector<std::int64_t>{1}));
  EXPECT_EQ(idsNamed(*db_, "zèbre"), (std::vector<std::int64_t>{3}));
  db_.reset();
  EXPECT_EQ(raw(path(),
                "PRAGMA integrity_check; SELECT value FROM _jet_meta WHERE key = 'collation'",
                currentCollate),
            "ok;jet-general 2;");
  // A reader of the rebuilt file compares as the writer does.
  Error e;
  auto reader = Database::open(path(), OpenMode::ReadOnly, e);
  ASSERT_TRUE(reader) << e.message;
  EXPECT_EQ(idsNamed(*reader, "importacion"), (std::vector<std::int64_t>{2}));
}

TEST_F(OlderFile, UniqueKeysTheLigatureRuleJoinsRefuseTheWriterAndChangeNothing) {
  makeOlder(true);
  const std::string before = ReadFile(path());
  Error e;
  EXPECT_FALSE(Database::open(path(), OpenMode::Existing, e));
  EXPECT_EQ(e.state, "23000");
  EXPECT_NE(e.message.find("\nTable [Mots], index [PrimaryKey] : 'oeuf' et 'Œuf' sont désormais égales."),
            std::string::npos)
      << e.message;
  EXPECT_EQ(e.message.find("Categories"), std::string::npos) << e.message;
  EXPECT_TRUE(ReadFile(path()) == before);
  // Still whole, and still readable in its own order.
  EXPECT_EQ(raw(path(), "PRAGMA integrity_check; SELECT count(*) FROM [Mots]", olderCollate), "ok;2;");
  auto reader = Database::open(path(), OpenMode::ReadOnly, e);
  ASSERT_TRUE(reader) << e.message;
  EXPECT_EQ(idsNamed(*reader, "IMPORTACION"), (std::vector<std::int64_t>{1, 2}));
}

TEST(StockTools, ExtensionComparesAsTheDriverDoes) {
  TempDir dir;
  const std::string path = dir.file("mots.mdb");
  {
    Error e;
    auto db = Database::open(path, true, e);
    ASSERT_TRUE(db) << e.message;
    ASSERT_TRUE(db->execute("CREATE TABLE [Mots] ([Mot] TEXT(50) CONSTRAINT PrimaryKey PRIMARY KEY)"));
    for (const char* v : {"Œuf", "ouf", "résumé", "resume", "Importación", "Importacion", "e", "é", "f"})
      ASSERT_TRUE(db->execute(std::string("INSERT INTO [Mots] VALUES ('") + v + "')"));
  }
  const char* sql =
      "PRAGMA integrity_check;"
      "SELECT group_concat(Mot, ',') FROM (SELECT Mot FROM Mots WHERE Mot = 'OEUF' OR Mot = 'IMPORTACION'"
      " ORDER BY Mot);"
      "SELECT group_concat(Mot, ',') FROM (SELECT Mot FROM Mots WHERE jetlike(Mot, 'oe*') OR jetlike(Mot, 'r?sum?')"
      " ORDER BY Mot);"
      "SELECT group_concat(Mot, ',') FROM (SELECT Mot FROM Mots WHERE Mot < 'g' ORDER BY Mot);";
  EXPECT_EQ(raw(path, sql, nullptr), "ok;Importacion,Œuf;Œuf,resume,résumé;e,é,f;");
}

}  // namespace
}  // namespace jetdb::test
