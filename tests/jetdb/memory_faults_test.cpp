// Opening a file while SQLite's allocator refuses one allocation, for each
// allocation of the open in turn: the open either gives the whole catalog
// or fails naming the memory. Never an unknown format (which tells the user
// the file is not a database), never a catalog read in part (a table
// without its relations would take rows that break them). A binary of its
// own: the allocator is SQLite's, set once for the whole process.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <string>

#include "test_db.h"

namespace jetdb::test {
namespace {

sqlite3_mem_methods gDefault;
long gCountdown = -1;  // allocations left before one is refused; -1: none is

bool Refuse() { return gCountdown >= 0 && gCountdown-- == 0; }
void* RefusingMalloc(int n) { return Refuse() ? nullptr : gDefault.xMalloc(n); }
void* RefusingRealloc(void* p, int n) { return Refuse() ? nullptr : gDefault.xRealloc(p, n); }

class RefusingAllocator : public ::testing::Environment {
 public:
  void SetUp() override {
    ASSERT_EQ(sqlite3_config(SQLITE_CONFIG_GETMALLOC, &gDefault), SQLITE_OK);
    sqlite3_mem_methods methods = gDefault;
    methods.xMalloc = RefusingMalloc;
    methods.xRealloc = RefusingRealloc;
    ASSERT_EQ(sqlite3_config(SQLITE_CONFIG_MALLOC, &methods), SQLITE_OK);
  }
};
const auto* const kAllocator = ::testing::AddGlobalTestEnvironment(new RefusingAllocator);

// What a reader sees of a file's catalog, and a lookup that only the
// order its indexes were built in answers right ('résumé' is not 'resume').
std::string Described(Database& db) {
  std::string out;
  auto q = db.query("SELECT COUNT(*) FROM [Mots] WHERE [NOM] = 'resume'");
  if (q && q->next()) out += "resume: " + std::to_string(q->value(0).integer) + "\n";
  else out += "resume: " + (q && q->error() ? q->error()->message : db.lastError().message) + "\n";
  for (const std::string& table : db.tables()) {
    out += table + ":";
    for (const RelationInfo& r : db.relations(table)) out += " " + r.name + "->" + r.refTable;
    out += "\n";
  }
  return out;
}

struct Case {
  const char* name;
  OpenMode mode;
  // Left in WAL mode without a log, as earlier builds left files (and as
  // the templates are): a reader reopens such a file as immutable.
  bool walWithoutLog;
};

class MemoryFaults : public ::testing::TestWithParam<Case> {
 protected:
  void SetUp() override {
    Error e;
    auto db = Database::open(path, OpenMode::Create, e);
    ASSERT_TRUE(db) << e.message;
    for (const char* sql :
         {"CREATE TABLE [Categories] ([CLASS_ID] INTEGER CONSTRAINT PrimaryKey PRIMARY KEY, [NAME_1] TEXT(50), "
          "[NOTE] MEMO)",
          "CREATE TABLE [Ingredients] ([INGRED_ID] INTEGER CONSTRAINT PrimaryKey PRIMARY KEY, [NOM] TEXT(50), "
          "[PXKG] DECIMAL(18,4) DEFAULT 0)",
          "CREATE TABLE [CategIngre] ([INGR_ID] INTEGER, [CLASS_ID] INTEGER)",
          "ALTER TABLE [CategIngre] ADD CONSTRAINT [CategoriesCategIngre] FOREIGN KEY ([CLASS_ID]) "
          "REFERENCES [Categories]([CLASS_ID])",
          "ALTER TABLE [CategIngre] ADD CONSTRAINT [IngredientsCategIngre] FOREIGN KEY ([INGR_ID]) "
          "REFERENCES [Ingredients]([INGRED_ID])",
          "CREATE VIEW [Tout] AS SELECT * FROM [Categories]", "CREATE TABLE [Mots] ([NOM] TEXT(20))",
          "CREATE INDEX [ParNom] ON [Mots] ([NOM])", "INSERT INTO [Mots] VALUES ('résumé')",
          "INSERT INTO [Mots] VALUES ('resume')", "INSERT INTO [Mots] VALUES ('Resume')"})
      ASSERT_TRUE(db->execute(sql)) << sql << ": " << db->lastError().message;
    db.reset();
    if (GetParam().walWithoutLog) {
      sqlite3* raw = nullptr;
      ASSERT_EQ(sqlite3_open(path.c_str(), &raw), SQLITE_OK);
      ASSERT_EQ(sqlite3_exec(raw, "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr), SQLITE_OK);
      sqlite3_close(raw);
      ASSERT_FALSE(std::filesystem::exists(path + "-wal"));
    }
    auto whole = Database::open(path, OpenMode::ReadOnly, e);
    ASSERT_TRUE(whole) << e.message;
    expected = Described(*whole);
  }

  TempDir dir;
  std::string path = dir.file("base.mdb");
  std::string expected;
};

TEST_P(MemoryFaults, AnOpenGivesTheWholeCatalogOrNamesTheMemory) {
  ASSERT_NE(expected.find("CategoriesCategIngre->Categories"), std::string::npos) << expected;
  ASSERT_NE(expected.find("resume: 2"), std::string::npos) << expected;
  int refused = 0;
  for (long n = 0; n < 20000; ++n) {
    Error e;
    gCountdown = n;
    auto db = Database::open(path, GetParam().mode, e);
    const bool reached = gCountdown < 0;  // the refusal came within the open
    gCountdown = -1;
    if (db) {
      EXPECT_EQ(Described(*db), expected) << "allocation " << n;
      if (!reached) break;  // the whole open took fewer allocations: done
      continue;
    }
    ++refused;
    EXPECT_EQ(e.state, "HY001") << "allocation " << n << ": " << e.state << "/" << e.native << " " << e.message;
  }
  EXPECT_GT(refused, 10);
  // The file is as it was: a plain open reads it whole.
  Error e;
  auto db = Database::open(path, OpenMode::ReadOnly, e);
  ASSERT_TRUE(db) << e.message;
  EXPECT_EQ(Described(*db), expected);
}

// A row written while an allocation is refused is written whole or not at
// all: a text that SQLite could not copy must not arrive as Null.
class MemoryFaultsOfWrites : public MemoryFaults {};

TEST_P(MemoryFaultsOfWrites, ARowIsWrittenWholeOrRefusedNamingTheMemory) {
  Error e;
  auto db = Database::open(path, OpenMode::Existing, e);
  ASSERT_TRUE(db) << e.message;
  int refused = 0, id = 1;
  for (long n = 0; n < 20000; ++n, ++id) {
    // Each text longer than the last, so that binding it takes memory of
    // its own: a text that cannot be bound must not be written as Null.
    const std::string note(100 + 64 * static_cast<std::size_t>(n), 'n');
    gCountdown = n;
    const bool written = db->insertRow("Categories", {{"CLASS_ID", Value::of(id)}, {"NOTE", Value::of(note)}});
    const bool reached = gCountdown < 0;
    gCountdown = -1;
    const Error why = db->lastError();
    auto q = db->query("SELECT [NOTE] FROM [Categories] WHERE [CLASS_ID] = " + std::to_string(id));
    ASSERT_TRUE(q) << db->lastError().message;
    const bool stored = q->next();
    EXPECT_EQ(stored, written) << "allocation " << n;
    if (stored) {
      EXPECT_EQ(q->value(0).text, note) << "allocation " << n;
    }
    if (!written) {
      ++refused;
      // Refused for the allocation refused, not for an earlier one: the
      // connection is whole again once memory is.
      EXPECT_TRUE(reached) << "allocation " << n << ": " << why.message;
      EXPECT_EQ(why.state, "HY001") << "allocation " << n << ": " << why.message;
    }
    if (!reached) break;
  }
  EXPECT_GT(refused, 0);
}

INSTANTIATE_TEST_SUITE_P(Opens, MemoryFaults,
                         ::testing::Values(Case{"ReadOnly", OpenMode::ReadOnly, false},
                                           Case{"Existing", OpenMode::Existing, false},
                                           Case{"ReadOnlyImmutable", OpenMode::ReadOnly, true}),
                         [](const auto& info) { return std::string(info.param.name); });
INSTANTIATE_TEST_SUITE_P(Writer, MemoryFaultsOfWrites, ::testing::Values(Case{"Existing", OpenMode::Existing, false}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace jetdb::test
