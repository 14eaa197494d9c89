// Every public Access sample read whole and compared with an independent
// reader's reading (tools/access_reference.sh wrote its digest): the tables,
// the columns and their types, every value of every column, and the
// relations.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>

#include "access/access_file.h"
#include "sample_digest.h"

namespace {

using namespace mdbfile;
using namespace mdbdigest;

TEST(AccessSamples, EveryValueAsTheIndependentReaderReadsIt) {
  if (!std::filesystem::is_directory(ACCESS_SAMPLES)) {
    GTEST_SKIP() << "no Access samples at " << ACCESS_SAMPLES;
  }
  const Digest digest = readDigest(ACCESS_DIGEST);
  ASSERT_FALSE(digest.byFile.empty()) << ACCESS_DIGEST;
  Counts counts;
  for (const auto& [file, lines] : digest.byFile) {
    SCOPED_TRACE(file);
    const auto started = std::chrono::steady_clock::now();
    const ReadResult r = readAccessFile(std::string(ACCESS_SAMPLES) + "/" + file);
    if (refusedByDesign(file)) {
      EXPECT_FALSE(r.database);
      EXPECT_NE(r.error, "");
      EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5));
      continue;
    }
    ASSERT_TRUE(r.database) << r.error;
    expectDigest(*r.database, lines, counts);
  }
  std::printf("Access samples: %zu files, %zu tables, %zu rows, %zu values compared, %zu differing "
              "(bytes that code page 1252 leaves undefined); %zu dates before 1899-12-30 with a time, "
              "equal to the bit, which the independent reader dates a day off\n",
              counts.files, counts.tables, counts.rows, counts.values, counts.differing, counts.earlyTimes);
  EXPECT_GT(counts.values, 0u);
}

}  // namespace
