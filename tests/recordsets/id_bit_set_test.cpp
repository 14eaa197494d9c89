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

TEST(IdBitSetTest, CapacityIsRoundedUpToWholeWordsWithOneSpare) {
  EXPECT_EQ(CIdBitSet(512, FALSE).GetCapacity(), 544);
  EXPECT_EQ(CIdBitSet(0, FALSE).GetCapacity(), 32);
  EXPECT_EQ(CIdBitSet(31, FALSE).GetCapacity(), 32);
  EXPECT_EQ(CIdBitSet(32, FALSE).GetCapacity(), 64);
  // A request past the 32-bit range gets no storage and stays usable.
  CIdBitSet huge(std::numeric_limits<LONG>::max(), FALSE);
  EXPECT_EQ(huge.GetCapacity(), 0);
  EXPECT_EQ(huge.First(), -1);
  EXPECT_TRUE(huge.Add(3));
  EXPECT_EQ(huge.First(), 3);
}

TEST(IdBitSetTest, IteratesInAscendingOrderAcrossWordsWhateverTheAddingOrder) {
  CIdBitSet set(512, FALSE);
  EXPECT_EQ(set.First(), -1);
  EXPECT_EQ(set.Next(), -1);
  for (LONG id : {7, 3, 543, 31, 32, 0, 3}) EXPECT_TRUE(set.Add(id)) << id;
  EXPECT_FALSE(set.Add(-1));
  EXPECT_EQ(Members(set), (std::vector<LONG>{0, 3, 7, 31, 32, 543}));
  // Past the end the iteration stays there.
  EXPECT_EQ(set.Next(), -1);
  EXPECT_EQ(set.First(), 0);
}

TEST(IdBitSetTest, GrowsBy512BitStepsAndKeepsItsBits) {
  CIdBitSet set(512, FALSE);
  ASSERT_TRUE(set.Add(543));
  EXPECT_EQ(set.GetCapacity(), 544);
  ASSERT_TRUE(set.Add(544));
  EXPECT_EQ(set.GetCapacity(), 1056);
  ASSERT_TRUE(set.Add(1056 + 512));
  EXPECT_EQ(set.GetCapacity(), 2080);
  ASSERT_TRUE(set.Add(20000));
  EXPECT_EQ(set.GetCapacity(), 20512);
  EXPECT_EQ(Members(set), (std::vector<LONG>{543, 544, 1568, 20000}));
}

TEST(IdBitSetTest, AFailedGrowKeepsTheOldBits) {
  CIdBitSet set(512, FALSE);
  ASSERT_TRUE(set.Add(12));
  EXPECT_FALSE(set.Add(std::numeric_limits<LONG>::max()));
  EXPECT_EQ(set.GetCapacity(), 544);
  EXPECT_EQ(Members(set), std::vector<LONG>{12});
}

TEST(IdBitSetTest, OnesFillHoldsEveryIdentifierUntilCleared) {
  CIdBitSet set(40, TRUE);
  EXPECT_EQ(set.GetCapacity(), 64);
  EXPECT_EQ(Members(set).size(), 64u);
  // Fresh storage of a grow is filled with ones as well.
  ASSERT_TRUE(set.Add(100));
  EXPECT_EQ(Members(set).size(), 576u);

  set.Clear();
  EXPECT_EQ(set.First(), -1);
  ASSERT_TRUE(set.Add(5));
  ASSERT_TRUE(set.Add(1000));
  EXPECT_EQ(Members(set), (std::vector<LONG>{5, 1000}));
}
