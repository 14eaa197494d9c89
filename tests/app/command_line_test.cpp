#include "app/command_line.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Parses argv the way the framework does, into a fresh command-line object.
struct Parsed {
  CUpdaterCommandLineInfo info;
  explicit Parsed(std::vector<std::string> args) {
    class Host : public CWinApp {
    } host;
    host.m_args = {"updater"};
    host.m_args.insert(host.m_args.end(), args.begin(), args.end());
    host.ParseCommandLine(info);
  }
};

}  // namespace

TEST(CommandLineTest, BothPrefixesAndAnyCaseOfTheName) {
  Parsed a({"/SRC=/data/Base.mdb", "-dest=out/New.mdb"});
  EXPECT_EQ(a.info.m_strSource, "/data/Base.mdb");
  EXPECT_EQ(a.info.m_strDest, "out/New.mdb");
  Parsed b({"-Src=base.mdb", "/DeSt=x.mdb"});
  EXPECT_EQ(b.info.m_strSource, "base.mdb");
  EXPECT_EQ(b.info.m_strDest, "x.mdb");
}

TEST(CommandLineTest, ValuesKeepTheCaseTheUserTyped) {
  Parsed p({"/src=données/Été.mdb"});
  EXPECT_EQ(p.info.m_strSource, "données/Été.mdb");
}

TEST(CommandLineTest, ALaterParameterReplacesAnEarlierOne) {
  Parsed p({"/SRC=first.mdb", "/DEST=a.mdb", "/SRC=second.mdb", "/DEST=b.mdb"});
  EXPECT_EQ(p.info.m_strSource, "second.mdb");
  EXPECT_EQ(p.info.m_strDest, "b.mdb");
}

TEST(CommandLineTest, NamesAreFoundAnywhereInAFlag) {
  Parsed p({"/xSRC=in.mdb", "-NEWDEST=out.mdb"});
  EXPECT_EQ(p.info.m_strSource, "in.mdb");
  EXPECT_EQ(p.info.m_strDest, "out.mdb");
  // "SRC=" is looked for first, so it wins inside a DEST flag.
  Parsed q({"/DEST=/tmp/SRC=odd.mdb"});
  EXPECT_EQ(q.info.m_strSource, "odd.mdb");
  EXPECT_TRUE(q.info.m_strDest.IsEmpty());
}

TEST(CommandLineTest, OtherParametersGoToTheFrameworkUnchanged) {
  Parsed p({"SRC=not-a-flag.mdb", "/verbose", "second.mdb", "/SRC="});
  EXPECT_TRUE(p.info.m_strSource.IsEmpty());  // the last one gave an empty value
  EXPECT_EQ(p.info.m_strFileName, "SRC=not-a-flag.mdb");
  EXPECT_TRUE(p.info.m_strDest.IsEmpty());
}
