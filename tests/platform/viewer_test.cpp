#include "platform/viewer.h"

#include <gtest/gtest.h>

#include "platform/text_file.h"

// The pager gets the journal as UTF-8 with LF ends; a control character a
// database value carried into the journal cannot reach the terminal.
TEST(ViewerTest, TheJournalIsShownAsUtf8TextWithoutControlCharacters) {
  const std::string journal = ToJournalBytes("Mise à jour\n\tétape \x1B[2J fin\nligne\rseule\n");
  EXPECT_EQ(ViewedText(journal), "Mise à jour\n\tétape ^[[2J fin\nligne^Mseule\n");
}
