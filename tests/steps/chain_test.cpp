// The chain of steps against the step table and the version table, the
// statements the steps send against the driver's corpus.
#include "steps/chain.h"

#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>

#include "framework/step_table.h"
#include "framework/version_table.h"

TEST(ChainTest, LinksFollowTheStepTableRowByRow) {
  const auto links = ChainLinks();
  const auto rows = StepTable();
  ASSERT_FALSE(links.empty());
  ASSERT_LE(links.size(), rows.size());
  for (std::size_t i = 0; i < links.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(links[i].from, rows[i].from);
    // What a step stamps is what detection recognises as its target.
    EXPECT_EQ(VersionFromStoredText(StoredVersionText(rows[i].to)), rows[i].to);
  }
  for (std::size_t i = 0; i + 1 < rows.size(); ++i) EXPECT_EQ(rows[i].to, rows[i + 1].from) << i;
  EXPECT_EQ(rows.back().to, kDbVersion253);
  EXPECT_EQ(ConvertedAs(kDbVersion242Early), kDbVersion242);
}

namespace {

// Every statement the corpus expects the driver to accept, with its "%d"
// rows expanded.
std::set<std::string> AcceptedStatements() {
  std::ifstream in(CORPUS);
  std::set<std::string> accepted;
  for (std::string line; std::getline(in, line);) {
    const std::size_t bar = line.find(" | ");
    if (line.rfind("ok", 0) != 0 || bar == std::string::npos) continue;
    const std::string sql = line.substr(bar + 3);
    int first = 1, last = 0;
    if (std::sscanf(line.c_str(), "ok %d-%d", &first, &last) == 2 ||
        (std::sscanf(line.c_str(), "ok %d", &first) == 1 && (last = first) != 0)) {
      for (int n = first; n <= last; ++n) {
        std::string one = sql;
        one.replace(one.find("%d"), 2, std::to_string(n));
        accepted.insert(one);
      }
    } else {
      accepted.insert(sql);
    }
  }
  return accepted;
}

}  // namespace

TEST(ChainTest, EveryStatementOfEveryStepIsInTheDriversCorpus) {
  const std::set<std::string> accepted = AcceptedStatements();
  ASSERT_GT(accepted.size(), 20u) << CORPUS;
  for (const ChainLink& link : ChainLinks())
    for (const DdlOperation& op : link.structure())
      for (const DdlStatement& statement : op.statements)
        EXPECT_TRUE(accepted.count(statement.sql)) << "step " << link.from << ": " << statement.sql;
}
