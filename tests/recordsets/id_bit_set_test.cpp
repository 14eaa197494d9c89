#include "recordsets/id_bit_set.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

namespace {

std::vector<LONG> Members(CIdBitSet& set) {
  std::vector<LONG> ids;
  for (LONG id = set.First(); id != -1; id = set.Next()) ids.push_back(id);
  return ids;
}

}  // namespace

// Identifiers come back in ascending order across words and across grows,
// whatever the order they were added in; a grow that cannot be made keeps
// the old bits.
TEST(IdBitSetTest, IteratesInAscendingOrderAcrossWordsGrowsAndFailedGrows) {
  CIdBitSet set(512, FALSE);
  EXPECT_EQ(set.First(), -1);
  EXPECT_EQ(set.Next(), -1);
  for (LONG id : {7, 3, 543, 31, 32, 0, 3, 544, 20000}) EXPECT_TRUE(set.Add(id)) << id;
  EXPECT_FALSE(set.Add(-1));
  EXPECT_FALSE(set.Add(std::numeric_limits<LONG>::max()));
  EXPECT_EQ(Members(set), (std::vector<LONG>{0, 3, 7, 31, 32, 543, 544, 20000}));
  EXPECT_EQ(set.Next(), -1);  // past the end the iteration stays there
  EXPECT_EQ(set.First(), 0);
  // A request past the 32-bit range gets no storage and stays usable.
  CIdBitSet huge(std::numeric_limits<LONG>::max(), FALSE);
  EXPECT_EQ(huge.First(), -1);
  EXPECT_TRUE(huge.Add(3));
  EXPECT_EQ(huge.First(), 3);
}

TEST(IdBitSetTest, OnesFillHoldsEveryIdentifierUntilCleared) {
  CIdBitSet set(40, TRUE);
  EXPECT_EQ(Members(set).size(), static_cast<std::size_t>(set.GetCapacity()));
  // Fresh storage of a grow is filled with ones as well.
  ASSERT_TRUE(set.Add(100));
  EXPECT_EQ(Members(set).size(), static_cast<std::size_t>(set.GetCapacity()));
  EXPECT_GT(set.GetCapacity(), 100);
  set.Clear();
  EXPECT_EQ(set.First(), -1);
  ASSERT_TRUE(set.Add(5));
  ASSERT_TRUE(set.Add(1000));
  EXPECT_EQ(Members(set), (std::vector<LONG>{5, 1000}));
}
