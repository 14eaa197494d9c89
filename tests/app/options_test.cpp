// The command line as a Linux user types it, through the real program: a
// mistyped option touches nothing, the GNU path options take the current
// folder, the Windows ones the template folder, and a path arrives whole.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "steps/versions.h"
#include "sample_run.h"

namespace fs = std::filesystem;

namespace {

using OptionsTest = SampleRunTest;

}  // namespace

// With Debug on and an in-place source, any lax reading would leave a
// backup, a journal or a data-source file behind.
TEST_F(OptionsTest, AMistypedOptionOrABareNameSaysSoInOneLineAndTouchesNothing) {
  const auto work = FolderSnapshot(m_run.work());
  const auto templates = FolderSnapshot(m_templates.path());
  const std::string args[] = {
      "/info",   "-info",          "--INFO",   "/INFO",         "--dry-run",
      "--quiet", "--SRC=Base.mdb", "Base.mdb", "/SRC=Base.mdb", "'/SRC=" + m_source + "' --src Base.mdb"};
  for (const std::string& extra : args) {
    const std::string command = extra + " '/SRC=" + m_source + "'";
    ASSERT_EQ(m_run.Run(command), 2) << command;
    const std::string& err = m_run.stderrText();
    EXPECT_EQ(err.rfind("updater : ", 0), 0u) << command << "\n" << err;
    EXPECT_EQ(err.find('\n'), err.size() - 1) << "not one line: " << err;
    EXPECT_NE(err.find("voir --help.\n"), std::string::npos) << err;
    EXPECT_EQ(err.find("/SRC= manque"), std::string::npos) << err;
    EXPECT_EQ(m_run.stdoutText(), "") << command;
    EXPECT_EQ(FolderSnapshot(m_run.work()), work) << command;
    EXPECT_EQ(FolderSnapshot(m_templates.path()), templates) << command;
  }
}

TEST_F(OptionsTest, ShortHelpAndVersionAnswerOnStandardOutput) {
  for (const char* help : {"-h", "'/?'", "--help"}) {
    ASSERT_EQ(m_run.Run(help), 0) << help;
    EXPECT_EQ(m_run.stdoutText().rfind("Usage : updater --src BASE.mdb", 0), 0u) << help;
    // The exit codes are part of the usage.
    EXPECT_TRUE(Says("  2     ligne de commande refusée")) << help;
  }
  for (const char* version : {"-V", "--version"}) {
    ASSERT_EQ(m_run.Run(version), 0) << version;
    EXPECT_EQ(m_run.stdoutText().rfind("updater 2.5.3", 0), 0u) << version;
  }
}

// --info shows where each spelling leads without converting; one real run
// shows that the conversion goes where --info said.
TEST_F(OptionsTest, GnuPathsAreTakenInTheCurrentFolderAndWindowsOnesInTheTemplateFolder) {
  const std::string& work = m_run.work();
  fs::create_directories(work + "/out");
  ASSERT_EQ(m_run.Run("--info --src Base.mdb --dest=out/New.mdb"), 0) << m_run.stderrText();
  EXPECT_TRUE(Says("Base source            : " + work + "/Base.mdb\n")) << m_run.stdoutText();
  EXPECT_TRUE(Says("Destination            : " + work + "/out/New.mdb (copie")) << m_run.stdoutText();

  ASSERT_EQ(m_run.Run("--info '/SRC=" + m_source + "' /DEST=New.mdb"), 0);
  EXPECT_TRUE(Says("Destination            : " + m_templates.path() + "/New.mdb (copie")) << m_run.stdoutText();

  // A name is read only at the start of its argument.
  ASSERT_EQ(m_run.Run("--info --src Base.mdb '/DEST=" + work + "/out/SRC=x.mdb'"), 0);
  EXPECT_TRUE(Says("Destination            : " + work + "/out/SRC=x.mdb (copie")) << m_run.stdoutText();

  // The shell leaves "~" after "=": the program expands it.
  ASSERT_EQ(m_run.Run("--info /SRC=~/Base.mdb --dest=~/out/New.mdb", "HOME='" + work + "'"), 0);
  EXPECT_TRUE(Says("Base source            : " + work + "/Base.mdb\n")) << m_run.stdoutText();
  EXPECT_TRUE(Says("Destination            : " + work + "/out/New.mdb (copie")) << m_run.stdoutText();

  ASSERT_EQ(m_run.Run("--src Base.mdb --dest out/New.mdb"), 0) << m_run.stderrText();
  EXPECT_TRUE(FileExists(work + "/out/New.mdb"));
  EXPECT_TRUE(FileExists(work + "/out/Updater.log"));
  EXPECT_FALSE(FileExists(m_templates.path() + "/New.mdb"));
}

// A name that ends in a blank is that name: nothing trims it away.
// A path arrives whole where it is read; the file converted is named to the
// driver through the data-source file, which drops a value's edge blanks,
// so there such a path is refused rather than another file converted.
TEST_F(OptionsTest, APathArrivesExactlyAsTypedOrIsRefused) {
  fs::rename(m_source, m_source + " ");
  WriteFile(m_source, "not the database");
  ASSERT_EQ(m_run.Run("--info --src 'Base.mdb ' --dest Copie.mdb"), 0) << m_run.stdoutText();
  EXPECT_TRUE(Says("Base source            : " + m_source + " \n")) << m_run.stdoutText();
  EXPECT_TRUE(Says(std::string("Version détectée       : ") + StoredVersionText(2000))) << m_run.stdoutText();

  const auto work = FolderSnapshot(m_run.work());
  for (const char* args : {"--src 'Base.mdb '", "--src 'Base.mdb ' --dest 'Copie.mdb '"}) {
    EXPECT_EQ(m_run.Run(std::string("--info ") + args), kFailed) << args;
    EXPECT_TRUE(Says("commence ou finit par un blanc")) << args << "\n" << m_run.stdoutText();
    EXPECT_EQ(m_run.Run(args), kFailed) << args;
    EXPECT_NE(m_run.stderrText().find("commence ou finit par un blanc"), std::string::npos) << m_run.stderrText();
    EXPECT_EQ(FolderSnapshot(m_run.work()), work) << args;
  }
}
