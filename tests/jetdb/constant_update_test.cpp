// UPDATE statements that set columns to constants: every selected row gets
// the value as its column stores it, a refused value or key fails the whole
// statement and changes no row, and a statement that selects no row
// succeeds whatever its value.
#include "test_db.h"

namespace jetdb::test {
namespace {

class ConstantUpdateTest : public DbTest {
 protected:
  void SetUp() override {
    DbTest::SetUp();
    ok("CREATE TABLE [T] ([ID] INTEGER CONSTRAINT PK PRIMARY KEY, [CODE] TEXT(4), [FLAG] BIT, [N] SHORT, "
       "[PRICE] DOUBLE, [REQ] INTEGER NOT NULL)");
    ok("CREATE UNIQUE INDEX [UCODE] ON [T] ([CODE])");
    for (int id = 1; id <= 5; ++id)
      ok("INSERT INTO [T] VALUES (" + std::to_string(id) + ", 'c" + std::to_string(id) + "', 0, " + std::to_string(id) +
         ", 1.5, 7)");
  }
};

TEST_F(ConstantUpdateTest, EverySelectedRowTakesTheStoredValue) {
  ok("UPDATE [T] SET [PRICE] = Null, [FLAG] = 5 WHERE [ID] > 2");
  EXPECT_EQ(one("SELECT COUNT(*) FROM [T] WHERE [PRICE] IS NULL").integer, 3);
  // A Bit stores any non-zero number as True (-1).
  EXPECT_EQ(one("SELECT COUNT(*) FROM [T] WHERE [FLAG] = -1").integer, 3);
  EXPECT_EQ(one("SELECT [PRICE] FROM [T] WHERE [ID] = 2").real, 1.5);
  ok("UPDATE [T] SET [N] = -3");
  EXPECT_EQ(one("SELECT MIN([N]) FROM [T]").integer, -3);
  EXPECT_EQ(one("SELECT MAX([N]) FROM [T]").integer, -3);
}

TEST_F(ConstantUpdateTest, ADuplicateKeyChangesNoRow) {
  EXPECT_EQ(fails("UPDATE [T] SET [CODE] = 'x', [PRICE] = 9 WHERE [ID] >= 4"), "23000");
  EXPECT_EQ(one("SELECT COUNT(*) FROM [T] WHERE [PRICE] = 9").integer, 0);
  EXPECT_EQ(one("SELECT [CODE] FROM [T] WHERE [ID] = 5").text, "c5");
  // One row only: the key is free.
  ok("UPDATE [T] SET [CODE] = 'x' WHERE [ID] = 4");
  EXPECT_EQ(one("SELECT [ID] FROM [T] WHERE [CODE] = 'X'").integer, 4);
}

TEST_F(ConstantUpdateTest, AValueThatDoesNotFitFailsOnlyWhenARowIsSelected) {
  ok("UPDATE [T] SET [REQ] = Null WHERE [ID] > 10");
  ok("UPDATE [T] SET [N] = 100000 WHERE [ID] > 10");
  EXPECT_FALSE(db_->execute("UPDATE [T] SET [REQ] = Null WHERE [ID] = 1"));
  EXPECT_FALSE(db_->execute("UPDATE [T] SET [N] = 100000, [PRICE] = 2 WHERE [ID] = 1"));
  EXPECT_EQ(one("SELECT COUNT(*) FROM [T] WHERE [REQ] = 7 AND [N] = [ID] AND [PRICE] = 1.5").integer, 5);
}

TEST_F(ConstantUpdateTest, ARelatedColumnIsStillCheckedRowByRow) {
  ok("CREATE TABLE [C] ([ID] INTEGER CONSTRAINT PKC PRIMARY KEY, [T_ID] INTEGER)");
  ok("ALTER TABLE [C] ADD CONSTRAINT [TC] FOREIGN KEY ([T_ID]) REFERENCES [T] ([ID])");
  ok("INSERT INTO [C] VALUES (1, 1)");
  ok("INSERT INTO [C] VALUES (2, 2)");
  EXPECT_EQ(fails("UPDATE [C] SET [T_ID] = 9"), "23000");
  EXPECT_EQ(one("SELECT COUNT(*) FROM [C] WHERE [T_ID] = 9").integer, 0);
  ok("UPDATE [C] SET [T_ID] = 3");
  EXPECT_EQ(one("SELECT COUNT(*) FROM [C] WHERE [T_ID] = 3").integer, 2);
}

}  // namespace
}  // namespace jetdb::test
