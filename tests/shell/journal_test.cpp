#include "shell/journal.h"

#include <gtest/gtest.h>

#include "test_support/temp_dir.h"

// The banner and the closing line are in every journal the golden one is
// compared with, byte for byte.
TEST(JournalTest, AJournalThatCannotBeCreatedIsSilentlyAbsent) {
  TempDir dir;
  OpenJournal((dir.path() + "/no/such/folder/Updater.log").c_str());
  EXPECT_EQ(g_pJournal, nullptr);
  JournalWrite("lost\n");
  CloseJournal();
  OpenJournal("");
  EXPECT_EQ(g_pJournal, nullptr);
}
