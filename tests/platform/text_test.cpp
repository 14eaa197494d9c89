#include "platform/text.h"

#include <gtest/gtest.h>

TEST(CStringTest, FormatFollowsPrintf) {
  CString s;
  s.Format("%s\\%s%s", "C:", "BASE", ".MDB");
  EXPECT_EQ(s, "C:\\BASE.MDB");
  s.Format("[CLASS_ID]=%d", -1);
  EXPECT_EQ(s, "[CLASS_ID]=-1");
  // Longer than any fixed buffer a careless implementation would use.
  s.Format("%0600d", 7);
  EXPECT_EQ(s.GetLength(), 600);
  EXPECT_EQ(s.Right(2), "07");
}

TEST(CStringTest, FindAndSubstringsClampLikeTheOriginal) {
  const CString s("/XSRC=base.mdb");
  EXPECT_EQ(s.Find("SRC="), 2);
  EXPECT_EQ(s.Find("DEST="), -1);
  EXPECT_EQ(s.Find('b', 7), 13);
  EXPECT_EQ(s.Find("S", 99), -1);
  EXPECT_EQ(s.Mid(6), "base.mdb");
  EXPECT_EQ(s.Mid(6, 4), "base");
  EXPECT_EQ(s.Mid(100), "");
  EXPECT_EQ(s.Mid(-3, 2), "/X");
  EXPECT_EQ(s.Left(100), s);
  EXPECT_EQ(s.Right(3), "mdb");
  EXPECT_EQ(s.ReverseFind('/'), 0);
}

TEST(CStringTest, UpperCasingCoversFrenchLettersAndKeepsLength) {
  CString s("générale àçœ ÿ ß ÷");
  const int length = s.GetLength();
  s.MakeUpper();
  EXPECT_EQ(s, "GÉNÉRALE ÀÇœ ÿ ß ÷");  // œ and ÿ are outside Latin-1's pairs
  EXPECT_EQ(s.GetLength(), length);
  s.MakeLower();
  EXPECT_EQ(s, "générale àçœ ÿ ß ÷");
}

TEST(CStringTest, ComparisonIsByteWiseUnlessAskedOtherwise) {
  EXPECT_NE(CString("Base.mdb").Compare("BASE.MDB"), 0);
  EXPECT_EQ(CString("Générale").CompareNoCase("GÉNÉRALE"), 0);
  EXPECT_LT(CString("2.0.1.49").Compare("2.1.1.91"), 0);
  EXPECT_FALSE(CString("2.0.1.49 ") == "2.0.1.49");
}

TEST(CStringTest, ReplaceDoesNotRescanItsOwnOutput) {
  CString s("a/b/c");
  EXPECT_EQ(s.Replace("/", "//"), 2);
  EXPECT_EQ(s, "a//b//c");
}
