#include "app/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/quoted.h"

namespace {

void Parse(const std::vector<std::string>& args, CUpdaterCommandLineInfo& info) {
  class Host : public CWinApp {
  } host;
  host.m_args = {"updater"};
  host.m_args.insert(host.m_args.end(), args.begin(), args.end());
  host.ParseCommandLine(info);
}

std::string Joined(const std::vector<std::string>& args) {
  std::string text;
  for (const std::string& a : args) text += "[" + a + "] ";
  return text;
}

}  // namespace

// Both families of path options: the Windows ones by name at the start of
// the argument, in any case, their value byte for byte; the GNU ones in
// their two spellings. Each says how its relative paths are taken.
TEST(CommandLineTest, TakesTheSourceAndDestinationInEitherForm) {
  struct Case {
    std::vector<std::string> args;
    const char* source;
    const char* dest;
    bool sourceHere, destHere, sourceTilde;
  };
  const Case cases[] = {
      {{"/SRC=/data/Base.mdb", "-dest=out/New.mdb"}, "/data/Base.mdb", "out/New.mdb", false, false, true},
      {{"-Src=données/Été.mdb "}, "données/Été.mdb ", "", false, false, true},
      // The name counts only at the start of its argument.
      {{"/DEST=/home/me/SRC=x/B.mdb"}, "", "/home/me/SRC=x/B.mdb", false, false, false},
      {{"--src", "/abs/B.mdb", "--dest=./o.mdb"}, "/abs/B.mdb", "./o.mdb", true, true, false},
      {{"--src=~/B.mdb", "--dest", "-odd name.mdb"}, "~/B.mdb", "-odd name.mdb", true, true, true},
      // An empty /SRC= is no source, as the Windows callers knew it.
      {{"/SRC=", "--info"}, "", "", false, false, true},
  };
  for (const Case& c : cases) {
    CUpdaterCommandLineInfo info;
    Parse(c.args, info);
    EXPECT_EQ(info.m_strError, "") << Joined(c.args);
    EXPECT_EQ(info.m_strSource, c.source) << Joined(c.args);
    EXPECT_EQ(info.m_strDest, c.dest) << Joined(c.args);
    if (!info.m_strSource.IsEmpty()) {
      EXPECT_EQ(info.m_sourceForm.currentFolder, c.sourceHere) << Joined(c.args);
      EXPECT_EQ(info.m_sourceForm.expandTilde, c.sourceTilde) << Joined(c.args);
    }
    if (!info.m_strDest.IsEmpty()) {
      EXPECT_EQ(info.m_destForm.currentFolder, c.destHere) << Joined(c.args);
    }
  }
}

// Every argument not understood is refused with a reason, and the first
// refusal, --help or --version stops the parse where it stands.
TEST(CommandLineTest, RefusesWhatItDoesNotKnowAndWhatIsGivenTwice) {
  struct Case {
    std::vector<std::string> args;
    const char* reason;  // a part of the error
  };
  const Case cases[] = {
      {{"/info"}, "option inconnue « /info » (voulez-vous dire --info ?)"},
      {{"--INFO"}, "(voulez-vous dire --info ?)"},
      {{"--dry-run", "--src=B.mdb"}, "(voulez-vous dire --info ?)"},
      {{"--quiet"}, "option inconnue « --quiet »"},
      {{"--SRC=B.mdb"}, "voulez-vous dire --src CHEMIN ou /SRC=CHEMIN"},
      {{"Base.mdb"}, "argument inattendu « Base.mdb »"},
      {{"/home/me/Base.mdb"}, "argument inattendu « /home/me/Base.mdb »"},
      {{"/SRC=a.mdb", "-src=b.mdb"}, "la base source est donnée deux fois"},
      {{"--dest", "a.mdb", "/DEST=b.mdb"}, "la destination est donnée deux fois"},
      {{"--info", "--info"}, "l'option --info est donnée deux fois"},
      {{"--src"}, "l'option --src demande un chemin"},
      {{"--dest="}, "l'option --dest demande un chemin"},
      {{"--json", "/SRC=a.mdb"}, "l'option --json ne s'emploie qu'avec --info"},
      {{"--x\x1b[2J"}, "« --x\\x1B[2J »"},
  };
  for (const Case& c : cases) {
    CUpdaterCommandLineInfo info;
    Parse(c.args, info);
    EXPECT_NE(info.m_strError.str().find(c.reason), std::string::npos) << Joined(c.args) << info.m_strError.str();
  }
  CUpdaterCommandLineInfo help;
  Parse({"-h", "--bogus"}, help);
  EXPECT_TRUE(help.m_bHelp);
  EXPECT_EQ(help.m_strError, "");
  for (const char* spelling : {"--help", "/?"}) {
    CUpdaterCommandLineInfo info;
    Parse({spelling}, info);
    EXPECT_TRUE(info.m_bHelp) << spelling;
  }
  CUpdaterCommandLineInfo refused;
  Parse({"--bogus", "--version"}, refused);
  EXPECT_FALSE(refused.m_bVersion);
  EXPECT_NE(refused.m_strError, "");
  CUpdaterCommandLineInfo version;
  Parse({"-V"}, version);
  EXPECT_TRUE(version.m_bVersion);
  EXPECT_EQ(Quoted(std::string(100, 'e')), ("« " + std::string(80, 'e') + "… »").c_str());
}
