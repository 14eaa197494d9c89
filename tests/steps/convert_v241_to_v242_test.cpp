// The step V2.4.1 -> V2.4.2 on the V2.4.1 fixture: in process, and through
// the program where the exit code matters.
#include <filesystem>

#include "fixture_step_test.h"
#include "test_support/updater_run.h"

namespace {

using ConvertV241ToV242Test = FixtureStepTest;

TEST_F(ConvertV241ToV242Test, AddsTheInventoryCategoryAndMovesTheStoragePlacesToTheTop) {
  const std::string db = Fixture("V241");
  ASSERT_NE(Text(db, "SELECT [PERE_ID] FROM [Categories] WHERE [CLASS_ID]=20"), "-1");
  const std::string before = ShellTime(std::time(nullptr));
  const std::string others = StepHarness::Query(db, "SELECT * FROM [Categories] WHERE [CLASS_ID]<>20");
  ASSERT_TRUE(m_harness.RunStep(2004, db)) << m_harness.Journal();
  EXPECT_EQ(StepHarness::Query(db,
                               "SELECT [CLASS_ID], [TYPE], [MASQUE], [PERE_ID], [NAME_1], [NAME_2], [NAME_3], "
                               "[NAME_4], [NAME_5], [OWNER], [ASCHILD], [EXPORTABLE] FROM [Categories] "
                               "WHERE [CLASS_ID]=28"),
            "CLASS_ID,TYPE,MASQUE,PERE_ID,NAME_1,NAME_2,NAME_3,NAME_4,NAME_5,OWNER,ASCHILD,EXPORTABLE\n"
            "28,3,0,-1,Inventaire,Inventory,Inventur,Inventario,Inventario,-1,0,0\n");
  EXPECT_GE(Text(db, "SELECT [DATE_MAJ] FROM [Categories] WHERE [CLASS_ID]=28"), before);
  EXPECT_EQ(Text(db, "SELECT [PERE_ID] FROM [Categories] WHERE [CLASS_ID]=20"), "-1");
  EXPECT_GE(Text(db, "SELECT [DATE_MAJ] FROM [Categories] WHERE [CLASS_ID]=20"), before);
  // No other category changed.
  EXPECT_EQ(StepHarness::Query(db, "SELECT * FROM [Categories] WHERE [CLASS_ID]<>20 AND [CLASS_ID]<>28"), others);
}

// Statements 2 to 4 are marked "go on": the later ones of the operation
// still run, silently, and the phase stops after it.
TEST_F(ConvertV241ToV242Test, APlanningVatCodeThatExistsStillChangesThePlanningButNotTheRecipes) {
  const std::string journal = RunBroken("V241", 2004, "ALTER TABLE [Planning] ADD [TVACODE] INTEGER");
  EXPECT_NE(journal.find("Champs [Ingredients].[TVACODE] ajouté\nERREUR : "), std::string::npos) << journal;
  EXPECT_EQ(journal.find("Champs [Planning]"), std::string::npos);
  EXPECT_EQ(journal.find("Index [Planning]"), std::string::npos);
  EXPECT_NE(journal.find("\nERREUR : Structure database V2.4.2 non mise à jour\n\n"), std::string::npos);
  EXPECT_TRUE(HasColumn(m_db, "Planning", "TYPE"));
  Shell(m_db, "UPDATE [Planning] SET [CLIENT]='" + std::string(100, 'x') + "'");
  EXPECT_FALSE(HasColumn(m_db, "Recettes", "TVACODE"));
  EXPECT_EQ(Version(m_db), "2.4.1.263");
}

TEST_F(ConvertV241ToV242Test, APrincipalCategoryThatExistsStopsBeforeTheDiscountAndTheRelations) {
  const std::string journal = RunBroken("V241", 2004, "ALTER TABLE [Recettes] ADD [CATPRINCIPAL] INTEGER");
  EXPECT_NE(journal.find("Champs [Recettes].[TVACODE] ajouté\nERREUR : "), std::string::npos) << journal;
  EXPECT_EQ(journal.find("[ENTPRINCIPAL] ajouté"), std::string::npos);
  EXPECT_TRUE(HasColumn(m_db, "Recettes", "ENTPRINCIPAL"));
  EXPECT_EQ(journal.find("[REMISE] modifié"), std::string::npos);
  // No relation: a recipe may still name a category that does not exist.
  Shell(m_db, "UPDATE [Recettes] SET [CATPRINCIPAL]=9999");
}

class ConvertV241ToV242RunTest : public FixtureStepTest {
 protected:
  // Runs the program on the fixture with the change made first.
  int RunOn(const std::string& change) {
    m_db = m_run.work() + "/Base.mdb";
    std::filesystem::copy_file(std::string(FIXTURE_DIR) + "/Fixture_V241.mdb", m_db);
    Shell(m_db, change);
    return m_run.Run("'/SRC=" + m_db + "'");
  }

  UpdaterRun m_run{TEMPLATE_DIR};
};

TEST_F(ConvertV241ToV242RunTest, NoStoragePlacesCategoryFailsTheStepInTheJournalAndTheExitCode) {
  EXPECT_EQ(RunOn("DELETE FROM [Categories] WHERE [CLASS_ID]=20"), kFailed);
  const std::string journal = m_run.Journal(m_run.work());
  EXPECT_NE(journal.find("Données table [Langue_System] mises à jour.\n"
                         "ERREUR : Données table [Categories] non mises à jour.\n"
                         "ERREUR : Données database V2.4.2 non mise à jour\n\n\nFin du journal.\n"),
            std::string::npos)
      << journal;
  EXPECT_NE(m_run.stderrText().find("V2.4.1 -> V2.4.2"), std::string::npos) << m_run.stderrText();
  // The inventory category written before stays; the version does not move.
  EXPECT_EQ(Text(m_db, "SELECT [NAME_1] FROM [Categories] WHERE [CLASS_ID]=28"), "Inventaire");
  EXPECT_EQ(Version(m_db), "2.4.1.263");
}

TEST_F(ConvertV241ToV242RunTest, AnInventoryCategoryThatExistsFailsTheStepWithTheDriversError) {
  EXPECT_EQ(RunOn("INSERT INTO [Categories] ([CLASS_ID], [TYPE], [PERE_ID], [NAME_1], [OWNER]) "
                  "VALUES (28, 0, 3, 'Caves', 1)"),
            kFailed);
  const std::string journal = m_run.Journal(m_run.work());
  EXPECT_NE(journal.find("Données table [Langue_System] mises à jour.\nERREUR : "), std::string::npos) << journal;
  EXPECT_NE(journal.find("\nERREUR : Données database V2.4.2 non mise à jour\n\n\nFin du journal.\n"),
            std::string::npos);
  EXPECT_EQ(Text(m_db, "SELECT [NAME_1] FROM [Categories] WHERE [CLASS_ID]=28"), "Caves");
  EXPECT_NE(Text(m_db, "SELECT [PERE_ID] FROM [Categories] WHERE [CLASS_ID]=20"), "-1");
  EXPECT_EQ(Version(m_db), "2.4.1.263");
  EXPECT_EQ(ReadFile(m_run.odbcIni()).find("[TQ2TMP"), std::string::npos);
}

}  // namespace
