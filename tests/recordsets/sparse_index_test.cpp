#include "recordsets/sparse_index.h"

#include <gtest/gtest.h>

#include <map>
#include <random>

// Against a plain map, through every growth of the table, with the keys
// that collide most: runs of neighbours, multiples of a power of two, the
// extremes of a Long.
TEST(SparseIndexTest, HoldsWhatAMapHoldsThroughEveryGrowth) {
  CSparseIndex index;
  std::map<LONG, std::uint32_t> expected;
  std::mt19937 random(20261209);
  const auto set = [&](LONG id, std::uint32_t value) {
    index.Set(id, value);
    expected[id] = value;
  };
  set(0, 7);
  set(2147483647, 8);
  for (LONG i = 0; i < 3000; ++i) set(6000000 + i, static_cast<std::uint32_t>(i + 1));
  for (LONG i = 1; i < 2000; ++i) set(i << 20, static_cast<std::uint32_t>(i + 9));
  for (int i = 0; i < 3000; ++i) set(static_cast<LONG>(random() & 0x7FFFFFFF), static_cast<std::uint32_t>(i + 3));
  set(6000010, 99);  // replaced, not added twice
  EXPECT_EQ(index.size(), expected.size());
  for (const auto& [id, value] : expected) ASSERT_EQ(index.Get(id), value) << id;
  for (LONG id : {1, 5999999, 6003000, (1 << 20) + 1, 2147483646}) EXPECT_EQ(index.Get(id), 0u) << id;
}

TEST(SparseIndexTest, NegativeIdentifiersAreNeitherHeldNorFound) {
  CSparseIndex index;
  EXPECT_EQ(index.Get(5), 0u) << "empty";
  index.Set(-1, 4);
  EXPECT_EQ(index.size(), 0u);
  EXPECT_EQ(index.Get(-1), 0u);
  index.Set(5, 4);
  EXPECT_EQ(index.Get(-1), 0u);
  EXPECT_EQ(index.Get(5), 4u);
}
