#include "shell/journal.h"

#include <gtest/gtest.h>

#include "test_support/temp_dir.h"

TEST(JournalTest, BannerAndClosingLineFrameWhatIsWritten) {
  TempDir dir;
  const std::string path = dir.path() + "/Updater.log";
  OpenJournal(path.c_str());
  ASSERT_NE(g_pJournal, nullptr);
  JournalWrite("Toquelin database version : 2000\n");
  CloseJournal();
  EXPECT_EQ(g_pJournal, nullptr);
  EXPECT_EQ(ReadFile(path),
            "Mise \xE0 jour database Toquelin V2.5.3 Beta\r\n\r\n"
            "Toquelin database version : 2000\r\n"
            "\r\nFin du journal.\r\n");
}

TEST(JournalTest, AJournalThatCannotBeCreatedIsSilentlyAbsent) {
  TempDir dir;
  OpenJournal((dir.path() + "/no/such/folder/Updater.log").c_str());
  EXPECT_EQ(g_pJournal, nullptr);
  JournalWrite("lost\n");
  CloseJournal();
  OpenJournal("");
  EXPECT_EQ(g_pJournal, nullptr);
}
