// The folded order of names and texts: case and Latin accents ignored, the
// same answer whether the texts are ASCII, accented, or both by turns.
#include "jetdb/text.h"

#include <gtest/gtest.h>

#include <string>

namespace jetdb {
namespace {

int Sign(int v) { return (v > 0) - (v < 0); }

TEST(CompareFolded, IgnoresCaseOfAsciiLetters) {
  EXPECT_EQ(compareFolded("CategIngre", "CATEGINGRE"), 0);
  EXPECT_TRUE(sameName("[Langue_System]", "[langue_system]"));
  EXPECT_FALSE(sameName("CLASS_ID", "CLASS_IE"));
}

TEST(CompareFolded, OrdersByTheFoldedLetters) {
  // '_' (0x5F) sorts after 'Z' (0x5A) but before 'z': folding happens first.
  EXPECT_LT(compareFolded("A_", "Az"), 0);
  EXPECT_GT(compareFolded("Az", "A_"), 0);
  EXPECT_LT(compareFolded("ab", "ABC"), 0);
  EXPECT_GT(compareFolded("ABC", "ab"), 0);
  EXPECT_LT(compareFolded("", "a"), 0);
  EXPECT_EQ(compareFolded("", ""), 0);
}

TEST(CompareFolded, AccentsMatchTheirLettersAfterAnAsciiPrefix) {
  // "É" takes two bytes and "e" one: equal texts of different lengths.
  EXPECT_EQ(compareFolded("Cr\xc3\xa8me", "CREME"), 0);
  EXPECT_EQ(compareFolded("d\xc3\xa9j\xc3\xa0", "DEJA"), 0);
  EXPECT_EQ(compareFolded("\xc3\x89t\xc3\xa9", "ete"), 0);
  EXPECT_LT(compareFolded("Cr\xc3\xa8me", "Cremf"), 0);
  EXPECT_GT(compareFolded("Cr\xc3\xa8mf", "Creme"), 0);
  // The accented letter decides against a plain one after an equal prefix.
  EXPECT_LT(compareFolded("Cr\xc3\xa8me", "Crf"), 0);
  EXPECT_GT(compareFolded("Crf", "Cr\xc3\xa8me"), 0);
}

TEST(CompareFolded, IsAntisymmetricOverMixedTexts) {
  const std::string texts[] = {"a",
                               "A",
                               "ab",
                               "\xc3\xa0",
                               "\xc3\xa0"
                               "b",
                               "aB",
                               "b",
                               "\xc3\x89",
                               "e",
                               "E_",
                               "\xc5\x93",
                               "z",
                               "Z\xc3\xa9",
                               "ze",
                               "\xff",
                               "a\xff",
                               ""};
  for (const std::string& x : texts)
    for (const std::string& y : texts) {
      EXPECT_EQ(Sign(compareFolded(x, y)), -Sign(compareFolded(y, x))) << x << " / " << y;
      for (const std::string& z : texts) {
        if (compareFolded(x, y) <= 0 && compareFolded(y, z) <= 0) {
          EXPECT_LE(compareFolded(x, z), 0) << x << " / " << y << " / " << z;
        }
      }
    }
}

}  // namespace
}  // namespace jetdb
