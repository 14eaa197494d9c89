// The step V2.1 -> V2.2 through the real program: the sample from V2.0 in
// one run, the sample at V2.1 on its own, and the structure phase's rules
// on copies broken beforehand with the driver's shell.
#include <gtest/gtest.h>

#include <filesystem>

#include "test_support/db_shell.h"
#include "platform/text_file.h"
#include "test_support/updater_run.h"

namespace {

class ConvertV21ToV22Test : public ::testing::Test {
 protected:
  std::string Copy(const char* source, const std::string& name = "Base.mdb") {
    const std::string path = m_run.work() + "/" + name;
    std::filesystem::copy_file(source, path, std::filesystem::copy_options::overwrite_existing);
    return path;
  }

  UpdaterRun m_run{TEMPLATE_DIR};
};

}  // namespace

// The whole run from the sample to the last version, through every step.
TEST_F(ConvertV21ToV22Test, TheSampleReachesTheLastVersionInOneRunWithTheGoldenJournal) {
  const std::string source = Copy(SAMPLE_DB);
  const std::string before = ReadFile(source);
  std::filesystem::create_directory(m_run.work() + "/out");
  const std::string dest = m_run.work() + "/out/Base253.mdb";
  ASSERT_EQ(m_run.Run("'/SRC=" + source + "' '/DEST=" + dest + "'"), 0) << m_run.stderrText();
  EXPECT_EQ(ReadFile(source), before);
  EXPECT_EQ(Version(dest), ReachedVersion());
  for (const char* column : {"Langue_2", "Langue_5"})
    EXPECT_EQ(Text(dest, std::string("SELECT [") + column + "] FROM [Langue_System] WHERE [Libelle]='IDS_VERSION_DB'"),
              ReachedVersion());

  // Byte for byte: Windows-1252 with CR LF, as the Windows tool wrote it.
  const std::string golden = ReadFile(std::string(GOLDEN_DIR) + "/convert_v20_to_v253.log");
  EXPECT_EQ(m_run.Journal(m_run.work() + "/out"), golden);
  EXPECT_EQ(ReadFile(m_run.work() + "/out/Updater.log"), ToJournalBytes(ReplaceAll(golden, "<WORK>", m_run.work())));
  // Without a terminal the progress window is one plain line on stderr.
  EXPECT_EQ(m_run.stderrText().rfind("Mise à jour Toquelin V2.5 : Conversion de la base de données V2.0 -> V2.1\n", 0),
            0u)
      << m_run.stderrText();
}

TEST_F(ConvertV21ToV22Test, TheSampleAtV21ReachesV22OnItsOwn) {
  const std::string db = Copy(SAMPLE_V21_DB);
  ASSERT_EQ(Version(db), "2.1.1.91");
  ASSERT_EQ(m_run.Run("'/SRC=" + db + "'"), 0) << m_run.stderrText();
  EXPECT_EQ(Version(db), ReachedVersion());
  EXPECT_EQ(Version(db + ".V2.1"), "2.1.1.91");
  const std::string journal = m_run.Journal(m_run.work());
  EXPECT_NE(journal.find("Toquelin database version : 2001\n"), std::string::npos) << journal;
  EXPECT_EQ(journal.find("V2.0 -> V2.1"), std::string::npos);
  EXPECT_NE(journal.find("Données database V2.2 mise à jour\n"), std::string::npos) << journal;

  // What the data phase made of the sample's categories and units. The
  // suppliers' root keeps its type; its names are those of the last
  // template that has it.
  EXPECT_EQ(Text(db, "SELECT [TYPE] FROM [Categories] WHERE [CLASS_ID]=52"), "4");
  EXPECT_EQ(Text(db, "SELECT [NAME_1] & '/' & [NAME_4] & '/' & [TYPE] & '/' & [PERE_ID] FROM [Categories] "
                     "WHERE [CLASS_ID]=25"),
            "Importation/Importación/3/-1");
  EXPECT_EQ(Text(db, "SELECT COUNT(*) FROM [Categories] WHERE " + AnyOf("[CLASS_ID]", {60, 61, 62, 63, 70, 71})), "0");
  EXPECT_EQ(Text(db, "SELECT COUNT(*) FROM [Categories] WHERE [PERE_ID]=52 AND ([TYPE]<>0 OR [ASCHILD]<>0)"), "0");
  EXPECT_EQ(Text(db, "SELECT COUNT(*) FROM [Categories] WHERE " + AnyOf("[PERE_ID]", {53, 56, 58})), "0");
  EXPECT_EQ(Text(db, "SELECT [NAME_3] & '/' & [SYMBOL_3] FROM [Unites] WHERE [UNITDEF_ID]=13"), "Stück/Stück");
  EXPECT_EQ(Text(db, "SELECT [NAME_1] FROM [Unites] WHERE [UNITDEF_ID]=1"), "Once & mesure de capacité");
  // Units outside the system table keep their texts.
  EXPECT_EQ(Text(db, "SELECT [NAME_3] & '/' & [SYMBOL_1] FROM [Unites] WHERE [UNITDEF_ID]=22"), "Gallone/gal");
  EXPECT_EQ(Text(db, "SELECT [NAME_2] FROM [Unites] WHERE [UNITDEF_ID]=40"), "Quantité suffisante");
}
