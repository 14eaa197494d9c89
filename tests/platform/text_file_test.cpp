#include "platform/text_file.h"

#include <gtest/gtest.h>

#include "test_support/temp_dir.h"

TEST(JournalBytesTest, NewlinesBecomeCrLfAndTextBecomesWindows1252) {
  EXPECT_EQ(ToJournalBytes("Mise à jour\n"), "Mise \xE0 jour\r\n");
  EXPECT_EQ(ToJournalBytes("créee € œ"), "cr\xE9" "ee \x80 \x9C");
  EXPECT_EQ(ToJournalBytes("\n\n"), "\r\n\r\n");
}

TEST(JournalBytesTest, CharactersOutsideTheCodePageBecomeOneQuestionMark) {
  EXPECT_EQ(ToJournalBytes("Łódź"), "?\xF3" "d?");
  EXPECT_EQ(ToJournalBytes("a\xE2\x82z"), "a?z");  // a cut sequence
  EXPECT_EQ(ToJournalBytes("\xFF\xFE"), "??");      // bytes that are not UTF-8
  EXPECT_EQ(ToJournalBytes("漢字"), "??");
}

TEST(JournalBytesTest, RoundTripsThroughWindows1252) {
  const std::string text = "Données table [Unites] (10) modifiée par l'utilisateur.";
  EXPECT_EQ(FromWindows1252(ToJournalBytes(text)), text);
}

TEST(StdioFileTest, CreateEmptiesAnExistingFileAndWritesAtOnce) {
  TempDir dir;
  const std::string path = dir.path() + "/Updater.log";
  WriteFile(path, "an older journal that is much longer than the new one\r\n");
  CStdioFile file;
  ASSERT_TRUE(file.Open(path.c_str(), CFile::modeCreate | CFile::modeWrite | CFile::typeText));
  file.WriteString("é\n");
  // Written through already: a crash later in the run keeps the journal.
  EXPECT_EQ(ReadFile(path), "\xE9\r\n");
  file.Close();
  EXPECT_EQ(ReadFile(path), "\xE9\r\n");
}

TEST(StdioFileTest, OpenFailsQuietlyWhereNoFileCanBeMade) {
  TempDir dir;
  CStdioFile file;
  EXPECT_FALSE(file.Open((dir.path() + "/missing/Updater.log").c_str(), CFile::modeCreate | CFile::modeWrite));
  EXPECT_FALSE(file.Open(dir.path().c_str(), CFile::modeCreate | CFile::modeWrite));
  EXPECT_FALSE(file.Open("", CFile::modeCreate | CFile::modeWrite));
  file.WriteString("nothing\n");  // a closed file ignores writes
  EXPECT_FALSE(file.IsOpen());
}
