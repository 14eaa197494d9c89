// The program as a user runs it: a real process, a registry folder, files.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "test_support/temp_dir.h"

namespace {

class RunTest : public ::testing::Test {
 protected:
  void SetUp() override { std::filesystem::create_directories(m_templates + "/data"); }

  void SetRegistry(bool debug) {
    WriteFile(m_registry.path() + "/HKEY_CURRENT_USER.reg",
              std::string("REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Norvane\\Toquelin\\updater\\Générale]\n"
                          "\"Debug\"=dword:0000000") +
                  (debug ? "1" : "0") + "\n");
    WriteFile(m_registry.path() + "/HKEY_LOCAL_MACHINE.reg",
              "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Norvane\\Toquelin\\tq2\\Path]\n\"ExePath\"=\"" +
                  m_templates + "\"\n");
  }

  // Runs the program from an unrelated folder; returns its exit status.
  int Run(const std::string& args) {
    const std::string command = "cd '" + m_cwd.path() + "' && UPDATER_REGISTRY='" + m_registry.path() + "' '" +
                                UPDATER_BINARY + "' " + args + " >/dev/null 2>&1";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  TempDir m_registry, m_root, m_cwd;
  std::string m_templates = m_root.path() + "/T";
};

}  // namespace

TEST_F(RunTest, NoSourceEndsWith1000AndWritesNoJournalEvenWithDebug) {
  SetRegistry(true);
  EXPECT_EQ(Run(""), 1000 % 256);
  EXPECT_FALSE(FileExists(m_cwd.path() + "/Updater.log"));
  EXPECT_FALSE(FileExists(m_templates + "/Updater.log"));
}

TEST_F(RunTest, WithDebugTheJournalLiesInTheResolvedDestinationFolder) {
  SetRegistry(true);
  EXPECT_EQ(Run("/src=data/Base.mdb"), 232);
  const std::string journal = ReadFile(m_templates + "/data/Updater.log");
  const std::string banner = "Mise \xE0 jour database Toquelin V2.5.3 Beta\r\n\r\n";
  ASSERT_GE(journal.size(), banner.size());
  EXPECT_EQ(journal.substr(0, banner.size()), banner);
  const std::string closing = "\r\nFin du journal.\r\n";
  EXPECT_EQ(journal.substr(journal.size() - closing.size()), closing);
}

TEST_F(RunTest, WithoutDebugNoJournalIsCreatedAndAnOldOneIsLeftAlone) {
  SetRegistry(false);
  EXPECT_EQ(Run("-SRC=data/Base.mdb"), 232);
  EXPECT_FALSE(FileExists(m_templates + "/data/Updater.log"));
  WriteFile(m_templates + "/data/Updater.log", "an earlier run\r\n");
  EXPECT_EQ(Run("/SRC=data/Base.mdb"), 232);
  EXPECT_EQ(ReadFile(m_templates + "/data/Updater.log"), "an earlier run\r\n");
}

TEST_F(RunTest, HelpAndVersionAnswerWithoutConverting) {
  SetRegistry(true);
  EXPECT_EQ(Run("--help /SRC=data/Base.mdb"), 0);
  EXPECT_EQ(Run("--version"), 0);
  EXPECT_FALSE(FileExists(m_templates + "/data/Updater.log"));
}
