#include "platform/text.h"

#include <gtest/gtest.h>

#include "platform/unicode.h"

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
  // Around the length that is formatted in one pass: nothing cut or added.
  for (int length : {254, 255, 256, 257}) {
    s.Format("%0*d", length, 3);
    EXPECT_EQ(s.GetLength(), length);
    EXPECT_EQ(s.Right(1), "3");
    EXPECT_EQ(s.Left(1), "0");
  }
}

TEST(CStringTest, FormatMayTakeTheStringsOwnText) {
  CString s("[Item_Id]");
  s.Format("%s=%d AND %s", static_cast<const char*>(s), 12, static_cast<const char*>(s));
  EXPECT_EQ(s, "[Item_Id]=12 AND [Item_Id]");
  const CString word(std::string(200, 'x'));
  s = word;
  s.Format("%s|%s", static_cast<const char*>(s), static_cast<const char*>(s));
  EXPECT_EQ(s.GetLength(), 401);
  EXPECT_EQ(s, CString(word.str() + "|" + word.str()));
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

// The edges of well-formed UTF-8, and UTF-16 pairs: what decides whether a
// pasted hive is read as UTF-8 or as 1252, and how JSON writes a path.
TEST(UnicodeTest, TellsWellFormedUtf8AndDecodesUtf16) {
  const std::pair<std::string, std::size_t> lengths[] = {
      {"a", 1},
      {"\xC3\xA9", 2},
      {"\xE2\x82\xAC", 3},
      {"\xF0\x9F\x98\x80", 4},
      {"\xC0\xAF", 0},          // overlong '/'
      {"\xE0\x80\xAF", 0},      // overlong, three bytes
      {"\xED\xA0\x80", 0},      // a surrogate
      {"\xF4\x90\x80\x80", 0},  // above U+10FFFF
      {"\xC3", 0},
      {"\xE9t\xE9", 0},  // cut; Windows-1252 "été"
      {"\x80", 0},
  };
  for (const auto& [text, length] : lengths) EXPECT_EQ(Utf8SequenceLength(text, 0), length) << text;
  EXPECT_TRUE(IsValidUtf8("Générale €"));
  EXPECT_FALSE(IsValidUtf8("G\xE9n\xE9rale"));
  EXPECT_EQ(FromUtf16(std::string("G\0\xE9\0=\0\x3D\xD8\x00\xDE", 10), false), "Gé=\xF0\x9F\x98\x80");
  EXPECT_EQ(FromUtf16(std::string("\0G\xD8\x3D\0x\0", 7), true), "G\xEF\xBF\xBDx\xEF\xBF\xBD");
}
