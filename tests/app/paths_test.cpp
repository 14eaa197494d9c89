#include <gtest/gtest.h>

#include "app/updater_app.h"

namespace {

struct App : CUpdaterApp {
  explicit App(const char* templateDir) { m_szTemplateDir = templateDir; }
};

}  // namespace

TEST(ResolvePathsTest, NoSourceSetsNothing) {
  App app("/opt/tq");
  EXPECT_FALSE(app.ResolvePaths("", "/out/new.mdb"));
  EXPECT_TRUE(app.m_strSource.IsEmpty());
  EXPECT_TRUE(app.m_strDest.IsEmpty());
  EXPECT_TRUE(app.m_strJournalPath.IsEmpty());
}

TEST(ResolvePathsTest, AbsolutePathsAreKeptAndTheJournalFollowsTheDestination) {
  App app("/opt/tq");
  ASSERT_TRUE(app.ResolvePaths("/data/Base.mdb", "/out/New.mdb"));
  EXPECT_EQ(app.m_strSource, "/data/Base.mdb");
  EXPECT_EQ(app.m_strDest, "/out/New.mdb");
  EXPECT_EQ(app.m_strJournalPath, "/out/Updater.log");
}

TEST(ResolvePathsTest, RelativePathsAreTakenInTheTemplateFolder) {
  App app("/opt/tq");
  ASSERT_TRUE(app.ResolvePaths("Base.mdb", "out/New.mdb"));
  EXPECT_EQ(app.m_strSource, "/opt/tq/Base.mdb");
  EXPECT_EQ(app.m_strDest, "/opt/tq/out/New.mdb");
  EXPECT_EQ(app.m_strJournalPath, "/opt/tq/out/Updater.log");
  ASSERT_TRUE(app.ResolvePaths("data/Base.mdb", "New.mdb"));
  EXPECT_EQ(app.m_strSource, "/opt/tq/data/Base.mdb");
  EXPECT_EQ(app.m_strJournalPath, "/opt/tq/Updater.log");
}

TEST(ResolvePathsTest, WithoutDestinationTheSourceIsConvertedAndHoldsTheJournal) {
  App app("/opt/tq");
  ASSERT_TRUE(app.ResolvePaths("data/Base.mdb", ""));
  EXPECT_EQ(app.m_strDest, app.m_strSource);
  EXPECT_EQ(app.m_strJournalPath, "/opt/tq/data/Updater.log");
  ASSERT_TRUE(app.ResolvePaths("/data/Base.mdb", "/data/Base.mdb"));
  EXPECT_EQ(app.m_strDest, "/data/Base.mdb");
}

TEST(ResolvePathsTest, LongTemplateFoldersAreKeptWhole) {
  const std::string longDir = "/" + std::string(300, 'm');
  App app(longDir.c_str());
  ASSERT_TRUE(app.ResolvePaths("Base.mdb", ""));
  EXPECT_EQ(app.m_strSource, (longDir + "/Base.mdb").c_str());
}
