// The indexes of every sample as libmdb's own parser reads them, where it
// reads them right: an independent reading of the same definitions. Where
// libmdb 1.0 takes a Jet 4 logical index's physical index from the wrong
// field, it finds no columns: those, and only those, are ours alone (the
// index-offset tests of reader_test.cpp state what they hold).
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

// mdbtools.h includes glib inside extern "C": glib first.
#include <glib.h>
#include <mdbtools.h>

#include "access/access_file.h"

namespace {

using namespace mdbfile;

// libmdb's warnings about the indexes it misreads, kept off the test's output.
class QuietStderr {
 public:
  QuietStderr() : m_saved(::dup(2)) {
    const int null = ::open("/dev/null", O_WRONLY);
    ::dup2(null, 2);
    ::close(null);
    g_log_set_default_handler([](const gchar*, GLogLevelFlags, const gchar*, gpointer) {}, nullptr);
  }
  ~QuietStderr() {
    ::dup2(m_saved, 2);
    ::close(m_saved);
  }
  QuietStderr(const QuietStderr&) = delete;
  QuietStderr& operator=(const QuietStderr&) = delete;

 private:
  int m_saved;
};

TEST(AccessIndexes, AsLibmdbReadsThemWhereItReadsThemRight) {
  if (!std::filesystem::is_directory(ACCESS_SAMPLES)) {
    GTEST_SKIP() << "no Access samples at " << ACCESS_SAMPLES;
  }
  size_t agreed = 0;
  size_t misreadByLibmdb = 0;
  for (const auto& entry : std::filesystem::directory_iterator(ACCESS_SAMPLES)) {
    const std::string path = entry.path().string();
    if (entry.path().extension() != ".mdb") continue;
    const ReadResult ours = readAccessFile(path);
    if (!ours.database) continue;  // the refused ones: reader_test.cpp
    SCOPED_TRACE(path);
    QuietStderr quiet;
    MdbHandle* mdb = mdb_open(path.c_str(), MDB_NOFLAGS);
    ASSERT_NE(mdb, nullptr);
    ASSERT_TRUE(mdb_read_catalog(mdb, MDB_TABLE));
    for (const auto& table : ours.database->tables) {
      MdbTableDef* t = mdb_read_table_by_name(mdb, const_cast<gchar*>(table.name.c_str()), MDB_TABLE);
      ASSERT_NE(t, nullptr) << table.name;
      mdb_read_columns(t);
      mdb_read_indices(t);
      for (const auto& index : table.indexes) {
        SCOPED_TRACE(table.name + "." + index.name);
        const MdbIndex* theirs = nullptr;
        for (unsigned k = 0; k < t->num_idxs; ++k) {
          const auto* ix = static_cast<const MdbIndex*>(g_ptr_array_index(t->indices, k));
          if (index.name == ix->name) theirs = ix;
        }
        ASSERT_NE(theirs, nullptr);
        if (theirs->num_keys == 0) {
          EXPECT_EQ(ours.database->jetVersion, 4);
          ++misreadByLibmdb;
          continue;
        }
        EXPECT_EQ(index.primary, theirs->index_type == 1);
        EXPECT_EQ(index.unique, index.primary || (theirs->flags & MDB_IDX_UNIQUE) != 0);
        EXPECT_EQ(index.ignoreNulls, (theirs->flags & MDB_IDX_IGNORENULLS) != 0);
        EXPECT_EQ(index.required, (theirs->flags & MDB_IDX_REQUIRED) != 0);
        ASSERT_EQ(index.columns.size(), theirs->num_keys);
        for (unsigned j = 0; j < theirs->num_keys; ++j) {
          const int number = theirs->key_col_num[j];
          ASSERT_TRUE(number >= 1 && number <= static_cast<int>(t->num_cols));
          const auto* col = static_cast<const MdbColumn*>(g_ptr_array_index(t->columns, number - 1));
          EXPECT_EQ(index.columns[j].column, col->name);
          EXPECT_EQ(index.columns[j].descending, theirs->key_col_order[j] == MDB_DESC);
        }
        ++agreed;
      }
      mdb_free_tabledef(t);
    }
    mdb_close(mdb);
  }
  std::printf("Access samples: %zu indexes as libmdb reads them, %zu that libmdb misreads\n", agreed,
              misreadByLibmdb);
  EXPECT_GT(agreed, 0u);
  EXPECT_GT(misreadByLibmdb, 0u);  // the case is in the samples, and read here
}

}  // namespace
