#include <gtest/gtest.h>

#include "app/updater_app.h"

namespace {

struct App : CUpdaterApp {
  explicit App(const char* templateDir) { m_szTemplateDir = templateDir; }
};

}  // namespace

// Relative paths are taken in the template folder, the journal follows the
// destination, and without one the source is converted and holds it.
TEST(ResolvePathsTest, ResolvesSourceDestinationAndJournal) {
  const std::string longDir = "/" + std::string(300, 'm');
  struct Case {
    std::string dir, source, dest, wantSource, wantDest, wantJournal;
  };
  const Case cases[] = {
      {"/opt/tq", "/data/Base.mdb", "/out/New.mdb", "/data/Base.mdb", "/out/New.mdb", "/out/Updater.log"},
      {"/opt/tq", "Base.mdb", "out/New.mdb", "/opt/tq/Base.mdb", "/opt/tq/out/New.mdb", "/opt/tq/out/Updater.log"},
      {"/opt/tq", "data/Base.mdb", "New.mdb", "/opt/tq/data/Base.mdb", "/opt/tq/New.mdb", "/opt/tq/Updater.log"},
      {"/opt/tq", "data/Base.mdb", "", "/opt/tq/data/Base.mdb", "/opt/tq/data/Base.mdb", "/opt/tq/data/Updater.log"},
      {"/opt/tq", "/data/Base.mdb", "/data/Base.mdb", "/data/Base.mdb", "/data/Base.mdb", "/data/Updater.log"},
      {longDir, "Base.mdb", "", longDir + "/Base.mdb", longDir + "/Base.mdb", longDir + "/Updater.log"},
  };
  for (const Case& c : cases) {
    App app(c.dir.c_str());
    ASSERT_TRUE(app.ResolvePaths(c.source.c_str(), c.dest.c_str())) << c.source;
    EXPECT_EQ(app.m_strSource, c.wantSource.c_str());
    EXPECT_EQ(app.m_strDest, c.wantDest.c_str());
    EXPECT_EQ(app.m_strJournalPath, c.wantJournal.c_str()) << c.source << " " << c.dest;
  }
  App app("/opt/tq");
  EXPECT_FALSE(app.ResolvePaths("", "/out/new.mdb"));
  EXPECT_TRUE(app.m_strSource.IsEmpty());
  EXPECT_TRUE(app.m_strDest.IsEmpty());
  EXPECT_TRUE(app.m_strJournalPath.IsEmpty());
}
