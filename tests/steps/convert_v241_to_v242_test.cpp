// The step V2.4.1 -> V2.4.2 in process on the V2.4.1 fixture.
#include "fixture_step_test.h"

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

}  // namespace
