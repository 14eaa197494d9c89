#include "recordsets/index_array.h"

#include <gtest/gtest.h>

#include <limits>

TEST(IndexArrayTest, UninitialisedArrayRefusesWritesAndReadsZero) {
  CIndexArray array;
  EXPECT_FALSE(array.SetAt(0, 5));
  EXPECT_EQ(array.GetAt(0), 0);
  EXPECT_EQ(array.GetSize(), 0);
  EXPECT_FALSE(array.Init(7, 10, 0)) << "a zero grow step could never grow";
}

TEST(IndexArrayTest, FreshEntriesHoldTheFillValueAndOutOfRangeReadsZero) {
  CIndexArray array;
  ASSERT_TRUE(array.Init(-3, 100, 50));
  EXPECT_FALSE(array.Init(0, 10, 5)) << "initialised twice";
  EXPECT_EQ(array.GetSize(), 100);
  EXPECT_EQ(array.GetAt(0), -3);
  EXPECT_EQ(array.GetAt(99), -3);
  EXPECT_EQ(array.GetAt(100), 0);
  EXPECT_EQ(array.GetAt(-1), 0);
  EXPECT_FALSE(array.SetAt(-1, 4));
  ASSERT_TRUE(array.SetAt(42, 9));
  EXPECT_EQ(array.GetAt(42), 9);
  EXPECT_EQ(array.GetSize(), 100);
}

TEST(IndexArrayTest, GrowsByWholeStepsPastTheIndexAndKeepsItsEntries) {
  CIndexArray array;
  ASSERT_TRUE(array.Init(0, 100, 50));
  ASSERT_TRUE(array.SetAt(99, 1));
  ASSERT_TRUE(array.SetAt(100, 2));
  EXPECT_EQ(array.GetSize(), 150);
  ASSERT_TRUE(array.SetAt(149, 3));
  EXPECT_EQ(array.GetSize(), 150);
  ASSERT_TRUE(array.SetAt(150, 4));
  EXPECT_EQ(array.GetSize(), 200);
  EXPECT_EQ(array.GetAt(99), 1);
  EXPECT_EQ(array.GetAt(100), 2);
  EXPECT_EQ(array.GetAt(149), 3);
  EXPECT_EQ(array.GetAt(150), 4);
  EXPECT_EQ(array.GetAt(151), 0);

  CIndexArray jump;
  ASSERT_TRUE(jump.Init(0, 100, 50));
  ASSERT_TRUE(jump.SetAt(149, 1));
  EXPECT_EQ(jump.GetSize(), 200);
  ASSERT_TRUE(jump.SetAt(1000, 1));
  EXPECT_EQ(jump.GetSize(), 1050);
}

TEST(IndexArrayTest, AFailedGrowKeepsTheOldEntriesAndSize) {
  CIndexArray array;
  ASSERT_TRUE(array.Init(6, 100, 50));
  ASSERT_TRUE(array.SetAt(10, 1));
  // The next whole step past the largest index is beyond a 32-bit size.
  EXPECT_FALSE(array.SetAt(std::numeric_limits<LONG>::max(), 2));
  EXPECT_EQ(array.GetSize(), 100);
  EXPECT_EQ(array.GetAt(10), 1);
  EXPECT_EQ(array.GetAt(11), 6);
  EXPECT_TRUE(array.SetAt(20, 3));
}

TEST(IndexArrayTest, FreeEmptiesTheArrayAndAllowsANewStart) {
  CIndexArray array;
  ASSERT_TRUE(array.Init(0, 100, 50));
  ASSERT_TRUE(array.SetAt(5, 1));
  array.Free();
  EXPECT_EQ(array.GetSize(), 0);
  EXPECT_EQ(array.GetAt(5), 0);
  EXPECT_FALSE(array.SetAt(5, 1));
  EXPECT_TRUE(array.Init(0, 10, 10));
}
