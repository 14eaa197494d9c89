// The generator of the large database: scaling multiplies every count and
// keeps the shape, so that the chain benchmark's doubled database has twice
// the rows of each kind.
#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>

#include "gendb.h"

namespace {

// INSERT statements per table of the generated SQL.
std::map<std::string, long> RowsPerTable(const gendb::LargeSizes& sizes) {
  std::ostringstream out;
  gendb::WriteLarge(out, sizes);
  std::istringstream lines(out.str());
  std::map<std::string, long> rows;
  std::string line;
  while (std::getline(lines, line)) {
    const auto open = line.find('['), close = line.find(']');
    if (line.rfind("INSERT INTO [", 0) == 0 && close != std::string::npos)
      ++rows[line.substr(open + 1, close - open - 1)];
  }
  return rows;
}

TEST(GendbLarge, ScalingMultipliesEveryCount) {
  const gendb::LargeSizes base{400, 200, 100, 3000, 7, 5, 25, 300, 60};
  const gendb::LargeSizes twice = gendb::Scaled(base, 2);
  EXPECT_EQ(twice.ingredients, 800);
  EXPECT_EQ(twice.planning, 120);
  EXPECT_EQ(twice.suppliers, 10);
  EXPECT_EQ(twice.seed, base.seed);
  const auto one = RowsPerTable(base), two = RowsPerTable(twice);
  for (const char* table : {"Ingredients", "Recettes", "Categories", "Planning", "FicheProduction"}) {
    ASSERT_GT(one.at(table), 0) << table;
    EXPECT_EQ(two.at(table), 2 * one.at(table)) << table;
  }
  const long links1 = one.at("CategIngre") + one.at("CategRecet") + one.at("Compositions");
  const long links2 = two.at("CategIngre") + two.at("CategRecet") + two.at("Compositions");
  // The links to a supplier itself are drawn at random and may meet twice.
  EXPECT_GT(links2, links1 * 19 / 10);
  EXPECT_LT(links2, links1 * 21 / 10);
}

}  // namespace
