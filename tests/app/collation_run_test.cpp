// A user's category whose Spanish name differs from the import category's
// by an accent alone is not an import category: the whole conversion, run
// by the program, keeps it and what lies under it.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "sample_run.h"
#include "test_support/db_shell.h"

namespace {

using CollationRunTest = SampleRunTest;

TEST_F(CollationRunTest, AUserCategoryNamedImportacionSurvivesBesideImportacion) {
  const std::string columns =
      "INSERT INTO [Categories] ([CLASS_ID], [TYPE], [MASQUE], [PERE_ID], [NAME_1], [NAME_2], [NAME_3], [NAME_4], "
      "[NAME_5], [OWNER], [DATE_MAJ], [ASCHILD]) VALUES ";
  Shell(m_source, columns +
                      "(500, 1, 0, -1, 'Mes importations', 'My imports', 'Meine Importe', 'Importacion', "
                      "'Le mie importazioni', 0, #2010-01-01 10:00:00#, True)");
  Shell(m_source, columns +
                      "(501, 1, 0, 500, 'Épices', 'Spices', 'Gewürze', 'Especias', 'Spezie', 0, "
                      "#2010-01-01 10:00:00#, False)");
  std::filesystem::create_directories(m_run.work() + "/out");
  ASSERT_EQ(m_run.Run("--src Base.mdb --dest out/New.mdb"), 0) << m_run.stderrText();
  const std::string converted = m_run.work() + "/out/New.mdb";
  EXPECT_EQ(Text(converted, "SELECT [NAME_4] FROM [Categories] WHERE [CLASS_ID]=500"), "Importacion");
  EXPECT_EQ(Text(converted, "SELECT [PERE_ID] FROM [Categories] WHERE [CLASS_ID]=501"), "500");
  const std::string journal = ReadFile(m_run.work() + "/out/Updater.log");
  // The sample's own import category still makes way for 25.
  EXPECT_NE(journal.find("Cat\xE9gorie 60 supprim\xE9"), std::string::npos);
  EXPECT_EQ(journal.find("Cat\xE9gorie 500 supprim\xE9"), std::string::npos);
  EXPECT_EQ(journal.find("Cat\xE9gorie 501 supprim\xE9"), std::string::npos);
}

}  // namespace
