#include "app/command_line.h"

#include <gtest/gtest.h>

#include <vector>

// Either prefix and any case of the name; the value as typed; the last of
// two wins; a name found anywhere in a flag ("SRC=" first, even inside a
// DEST flag); anything else goes to the framework unchanged.
TEST(CommandLineTest, FindsSourceAndDestinationInTheFlags) {
  struct Case {
    std::vector<std::string> args;
    const char* source;
    const char* dest;
    const char* fileName;
  };
  const Case cases[] = {
      {{"/SRC=/data/Base.mdb", "-dest=out/New.mdb"}, "/data/Base.mdb", "out/New.mdb", ""},
      {{"-Src=base.mdb", "/DeSt=x.mdb"}, "base.mdb", "x.mdb", ""},
      {{"/src=données/Été.mdb"}, "données/Été.mdb", "", ""},
      {{"/SRC=first.mdb", "/DEST=a.mdb", "/SRC=second.mdb", "/DEST=b.mdb"}, "second.mdb", "b.mdb", ""},
      {{"/xSRC=in.mdb", "-NEWDEST=out.mdb"}, "in.mdb", "out.mdb", ""},
      {{"/DEST=/tmp/SRC=odd.mdb"}, "odd.mdb", "", ""},
      {{"SRC=not-a-flag.mdb", "/verbose", "second.mdb", "/SRC="}, "", "", "SRC=not-a-flag.mdb"},
  };
  for (const Case& c : cases) {
    class Host : public CWinApp {
    } host;
    host.m_args = {"updater"};
    host.m_args.insert(host.m_args.end(), c.args.begin(), c.args.end());
    CUpdaterCommandLineInfo info;
    host.ParseCommandLine(info);
    EXPECT_EQ(info.m_strSource, c.source) << c.args[0];
    EXPECT_EQ(info.m_strDest, c.dest) << c.args[0];
    EXPECT_EQ(info.m_strFileName, c.fileName) << c.args[0];
  }
}
