#include "recordsets/index_array.h"

#include <gtest/gtest.h>

#include <limits>

TEST(IndexArrayTest, OnlyAnInitialisedArrayTakesWritesAndOutOfRangeReadsZero) {
  CIndexArray array;
  EXPECT_FALSE(array.SetAt(0, 5));
  EXPECT_EQ(array.GetAt(0), 0);
  EXPECT_FALSE(array.Init(7, 10, 0)) << "a zero grow step could never grow";
  ASSERT_TRUE(array.Init(-3, 100, 50));
  EXPECT_FALSE(array.Init(0, 10, 5)) << "initialised twice";
  EXPECT_EQ(array.GetAt(99), -3);
  EXPECT_EQ(array.GetAt(100), 0);
  EXPECT_EQ(array.GetAt(-1), 0);
  EXPECT_FALSE(array.SetAt(-1, 4));
  array.Free();
  EXPECT_EQ(array.GetSize(), 0);
  EXPECT_EQ(array.GetAt(5), 0);
  EXPECT_FALSE(array.SetAt(5, 1));
  EXPECT_TRUE(array.Init(0, 10, 10));
}

// Grows by whole steps past the index, to at least twice its size, filling
// with the fill value; a grow beyond a 32-bit size fails and keeps the old
// entries and size.
TEST(IndexArrayTest, GrowsByWholeStepsPastTheIndexAndAFailedGrowKeepsTheEntries) {
  CIndexArray array;
  ASSERT_TRUE(array.Init(6, 100, 50));
  ASSERT_TRUE(array.SetAt(99, 1));
  ASSERT_TRUE(array.SetAt(100, 2));
  EXPECT_EQ(array.GetSize(), 200);
  ASSERT_TRUE(array.SetAt(1000, 3));
  EXPECT_EQ(array.GetSize(), 1050);
  ASSERT_TRUE(array.SetAt(1050, 7));
  EXPECT_EQ(array.GetSize(), 2100);
  EXPECT_FALSE(array.SetAt(std::numeric_limits<LONG>::max(), 4));
  EXPECT_EQ(array.GetSize(), 2100);
  EXPECT_EQ(array.GetAt(99), 1);
  EXPECT_EQ(array.GetAt(100), 2);
  EXPECT_EQ(array.GetAt(1000), 3);
  EXPECT_EQ(array.GetAt(101), 6);
  EXPECT_TRUE(array.SetAt(20, 5));
}
