// Opening files: only jetdb files open, and a refused file is never changed.
// Sharing one file between two connections.
#include <fstream>
#include <iterator>

#include "test_db.h"

namespace jetdb::test {
namespace {

std::string readAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
void writeAll(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

std::string openState(const std::string& path, bool create = false) {
  Error e;
  auto db = Database::open(path, create, e);
  if (db) return "ok";
  EXPECT_FALSE(e.message.empty());
  return e.state + "/" + std::to_string(e.native);
}

TEST(Files, ForeignFilesAreRefusedAndLeftUntouched) {
  TempDir dir;
  std::string random;
  for (int i = 0; i < 4096; ++i) random += static_cast<char>((i * 7919) % 251);
  std::string access = std::string("\x00\x01\x00\x00Standard Jet DB\x00", 20) + std::string(2000, '\x11');
  const std::pair<std::string, std::string> files[] = {
      {"random.mdb", random}, {"empty.mdb", ""}, {"access.mdb", access}, {"short.mdb", "SQLite format 3"}};
  for (const auto& [name, bytes] : files) {
    std::string path = dir.file(name);
    writeAll(path, bytes);
    EXPECT_EQ(openState(path), "HY000/3343") << name;
    EXPECT_EQ(readAll(path), bytes) << name;
  }
  EXPECT_EQ(openState(dir.file("missing.mdb")), "HY000/3024");
  EXPECT_FALSE(std::filesystem::exists(dir.file("missing.mdb")));
  EXPECT_EQ(openState(dir.file("")), "HY000/3343");  // a directory
}

TEST(Files, PlainSqliteFileWithoutCatalogIsRefused) {
  TempDir dir;
  std::string path = dir.file("plain.mdb");
  {
    Error e;
    ASSERT_TRUE(Database::open(path, true, e));
  }
  // Take a jetdb file and remove the mark that makes it one.
  std::string bytes = readAll(path);
  std::size_t mark = bytes.find("jetdb 1");
  ASSERT_NE(mark, std::string::npos);
  bytes[mark] = 'X';
  writeAll(path, bytes);
  EXPECT_EQ(openState(path), "HY000/3343");
  EXPECT_EQ(readAll(path), bytes);
}

TEST(Files, CreateRefusesAnExistingFile) {
  TempDir dir;
  std::string path = dir.file("a.mdb");
  writeAll(path, "precious");
  EXPECT_EQ(openState(path, true), "HY000/3204");
  EXPECT_EQ(readAll(path), "precious");
}

TEST(Files, TwoConnectionsShareOneFile) {
  TempDir dir;
  std::string path = dir.file("shared.mdb");
  Error e;
  auto a = Database::open(path, true, e);
  ASSERT_TRUE(a);
  ASSERT_TRUE(a->execute("CREATE TABLE [T] ([ID] INTEGER)"));
  auto b = Database::open(path, false, e);
  ASSERT_TRUE(b) << e.message;
  ASSERT_TRUE(a->execute("INSERT INTO [T] VALUES (1)"));
  auto q = b->query("SELECT COUNT(*) FROM [T]");
  ASSERT_TRUE(q && q->next());
  EXPECT_EQ(q->value(0).integer, 1);
  ASSERT_TRUE(b->execute("INSERT INTO [T] VALUES (2)"));
  q.reset();
  a.reset();
  b.reset();
  // Closed, the database is a single file again.
  EXPECT_FALSE(std::filesystem::exists(path + "-wal"));
  auto c = Database::open(path, false, e);
  ASSERT_TRUE(c);
  auto n = c->query("SELECT COUNT(*) FROM [T]");
  ASSERT_TRUE(n && n->next());
  EXPECT_EQ(n->value(0).integer, 2);
}

}  // namespace
}  // namespace jetdb::test
