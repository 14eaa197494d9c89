// Shared helpers of the jetdb tests: a fresh database file per test and
// short ways to run statements and read single values.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <memory>
#include <string>

#include "jetdb/jetdb.h"
#include "test_support/temp_dir.h"

namespace jetdb::test {

// The shared temporary folder, with the path of a file in it.
class TempDir : public ::TempDir {
 public:
  std::string file(const std::string& name) const { return path() + "/" + name; }
};

// Every file of a folder with its size and a hash of its bytes: what a
// reader must leave as it found it.
inline std::map<std::string, std::pair<std::size_t, std::size_t>> contents(const std::string& dir) {
  std::map<std::string, std::pair<std::size_t, std::size_t>> files;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    const std::string bytes = ReadFile(entry.path().string());
    files[entry.path().filename().string()] = {bytes.size(), std::hash<std::string>{}(bytes)};
  }
  return files;
}

class DbTest : public ::testing::Test {
 protected:
  void SetUp() override { reopen(true); }

  void reopen(bool create = false) {
    db_.reset();
    Error e;
    db_ = Database::open(path(), create, e);
    ASSERT_TRUE(db_) << e.state << " " << e.message;
  }
  std::string path() const { return dir_.file("test.mdb"); }

  // Runs statements that must succeed.
  void ok(const std::string& sql) { ASSERT_TRUE(db_->execute(sql)) << sql << "\n -> " << db_->lastError().message; }
  // Runs a statement that must fail; returns its SQLSTATE.
  std::string fails(const std::string& sql) {
    EXPECT_FALSE(db_->execute(sql)) << sql;
    return db_->lastError().state;
  }
  // The single value of a one-row query.
  Value one(const std::string& sql) {
    auto q = db_->query(sql);
    EXPECT_TRUE(q) << sql << " -> " << db_->lastError().message;
    if (!q || !q->next()) return Value::null();
    return q->value(0);
  }
  std::int64_t count(const std::string& table) {
    return one("SELECT COUNT(*) FROM [" + table + "]").integer;
  }

  TempDir dir_;
  std::unique_ptr<Database> db_;
};

}  // namespace jetdb::test
