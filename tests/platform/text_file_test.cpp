#include "platform/text_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "child_process.h"
#include "test_support/temp_dir.h"

// CR LF and Windows-1252; a character outside the code page, a cut sequence
// or a byte that is not UTF-8 becomes one question mark.
TEST(JournalBytesTest, NewlinesBecomeCrLfAndTextBecomesWindows1252) {
  // Octal escapes: a hex one would take the letter after it.
  const std::pair<const char*, const char*> cases[] = {{"Mise à jour\n", "Mise \340 jour\r\n"},
                                                       {"créee € œ", "cr\351ee \200 \234"},
                                                       {"\n\n", "\r\n\r\n"},
                                                       {"Łódź", "?\363d?"},
                                                       {"a\xE2\x82z", "a?z"},
                                                       {"\xFF\xFE", "??"},
                                                       {"漢字", "??"}};
  for (const auto& [text, bytes] : cases) EXPECT_EQ(ToJournalBytes(text), bytes) << text;
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

namespace {

constexpr UINT kCreate = CFile::modeCreate | CFile::modeWrite | CFile::typeText;

// The journal goes into the destination's folder, which other users may share.
class SharedFolderJournalTest : public ::testing::Test {
 protected:
  std::string journal() const { return m_dir.path() + "/Updater.log"; }
  std::string victim() const { return m_dir.path() + "/victim"; }
  TempDir m_dir;
};

TEST_F(SharedFolderJournalTest, ALinkIsRefusedAndItsTargetLeftAlone) {
  WriteFile(victim(), "someone else's data\n");
  ASSERT_EQ(symlink(victim().c_str(), journal().c_str()), 0);
  CStdioFile file;
  EXPECT_FALSE(file.Open(journal().c_str(), kCreate));
  EXPECT_FALSE(file.IsOpen());
  EXPECT_EQ(ReadFile(victim()), "someone else's data\n");

  // A link to a file not made yet makes none.
  ASSERT_EQ(unlink(victim().c_str()), 0);
  EXPECT_FALSE(file.Open(journal().c_str(), kCreate));
  EXPECT_FALSE(FileExists(victim()));
}

TEST_F(SharedFolderJournalTest, AFileOfAnotherUserIsNotEmptied) {
  const std::optional<UserIds> nobody = Nobody();
  if (geteuid() != 0 || !nobody) GTEST_SKIP() << "only root can give a file to another user (nobody)";
  WriteFile(journal(), "nobody's journal\n");
  ASSERT_EQ(chown(journal().c_str(), nobody->uid, nobody->gid), 0);
  CStdioFile file;
  EXPECT_FALSE(file.Open(journal().c_str(), kCreate));
  EXPECT_EQ(ReadFile(journal()), "nobody's journal\n");
}

TEST_F(SharedFolderJournalTest, AFifoIsRefusedWithoutWaitingForAReader) {
  ASSERT_EQ(mkfifo(journal().c_str(), 0666), 0);
  EXPECT_EQ(ProblemsInChild(
                [this] {
                  std::string report;
                  CStdioFile file;
                  if (file.Open(journal().c_str(), kCreate)) report += "opened without a reader; ";
                  // With a reader the FIFO opens at once: the type check refuses it.
                  const int reader = open(journal().c_str(), O_RDONLY | O_NONBLOCK);
                  if (file.Open(journal().c_str(), kCreate)) report += "opened with a reader; ";
                  close(reader);
                  return report;
                },
                5),
            "");
}

TEST_F(SharedFolderJournalTest, ANewJournalGetsTheModeTheUmaskLeaves) {
  const mode_t old = umask(027);
  CStdioFile file;
  const BOOL opened = file.Open(journal().c_str(), kCreate);
  umask(old);
  ASSERT_TRUE(opened);
  struct stat st {};
  ASSERT_EQ(stat(journal().c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
}

}  // namespace
