// Values checked on every write as Access checks them, and read back with
// the representation the API promises.
#include "test_db.h"

namespace jetdb::test {
namespace {

class Types : public DbTest {
 protected:
  void SetUp() override {
    DbTest::SetUp();
    ok("CREATE TABLE [T] ([ID] COUNTER CONSTRAINT PrimaryKey PRIMARY KEY, [TXT] TEXT(5), [M] MEMO, [B] BIT, "
       "[BY] BYTE, [S] SMALLINT, [L] INTEGER, [R] REAL, [D] DOUBLE, [C] CURRENCY, [DT] DATETIME, [Y] YESNO)");
  }
  std::string setState(const std::string& column, const std::string& literal) {
    if (db_->execute("INSERT INTO [T] ([" + column + "]) VALUES (" + literal + ")")) return "ok";
    return db_->lastError().state;
  }
};

TEST_F(Types, IntegerRangesFollowTheJetSizes) {
  EXPECT_EQ(setState("BY", "255"), "ok");
  EXPECT_EQ(setState("BY", "256"), "22003");
  EXPECT_EQ(setState("BY", "-1"), "22003");
  EXPECT_EQ(setState("S", "-32768"), "ok");
  EXPECT_EQ(setState("S", "32768"), "22003");
  EXPECT_EQ(setState("L", "2147483647"), "ok");
  EXPECT_EQ(setState("L", "2147483648"), "22003");
  EXPECT_EQ(setState("L", "-2147483649"), "22003");
  EXPECT_EQ(setState("L", "'12'"), "ok");
  EXPECT_EQ(setState("L", "'douze'"), "22018");
  EXPECT_EQ(setState("R", "1e39"), "22003");
  EXPECT_EQ(setState("D", "'x'"), "22018");
  EXPECT_EQ(count("T"), 4);
}

TEST_F(Types, TextSizeCountsCharactersNotBytes) {
  EXPECT_EQ(setState("TXT", "'éàçüö'"), "ok");
  EXPECT_EQ(setState("TXT", "'abcdef'"), "22001");
  EXPECT_EQ(db_->lastError().native, 3163);
  EXPECT_EQ(setState("M", "'" + std::string(5000, 'x') + "'"), "ok");
  EXPECT_EQ(setState("TXT", "12345"), "ok");  // numbers become text
  EXPECT_EQ(setState("DT", "'pas une date'"), "22018");
  // Access spells a Memo LONGCHAR too.
  ok("ALTER TABLE [T] ADD COLUMN [LC] LONGCHAR");
  EXPECT_EQ((*db_->columns("T")).back().type, JetType::Memo);
  EXPECT_EQ(setState("LC", "'" + std::string(5000, 'x') + "'"), "ok");
}

TEST_F(Types, BitIsMinusOneOrZeroAndNeverNull) {
  ok("INSERT INTO [T] ([B]) VALUES (True)");
  ok("INSERT INTO [T] ([B]) VALUES (5)");
  ok("INSERT INTO [T] ([B], [Y]) VALUES (Null, False)");
  auto q = db_->query("SELECT [B], [Y] FROM [T] ORDER BY [ID]");
  ASSERT_TRUE(q);
  std::vector<std::int64_t> bits;
  while (q->next()) {
    EXPECT_EQ(q->value(1).kind, Value::Kind::Integer);
    bits.push_back(q->value(0).integer);
  }
  EXPECT_EQ(bits, (std::vector<std::int64_t>{-1, -1, 0}));
  EXPECT_EQ(one("SELECT COUNT(*) FROM [T] WHERE [B] = True").integer, 2);
  EXPECT_EQ(one("SELECT COUNT(*) FROM [T] WHERE [B] IS NULL").integer, 0);
  EXPECT_FALSE(db_->columns("T")->at(3).nullable);
  // A Bit added to a table with rows starts False in every row.
  ok("ALTER TABLE [T] ADD [NEW] BIT");
  EXPECT_EQ(one("SELECT COUNT(*) FROM [T] WHERE [NEW] = 0").integer, 3);
}

TEST_F(Types, SingleCurrencyAndDatesKeepAccessPrecision) {
  ok("INSERT INTO [T] ([R], [C], [DT]) VALUES (0.1, 12.345678, #2024-02-29 13:45:10#)");
  auto q = db_->query("SELECT [R], [C], [DT] FROM [T]");
  ASSERT_TRUE(q && q->next());
  EXPECT_EQ(q->value(0).real, static_cast<double>(0.1f));
  EXPECT_DOUBLE_EQ(q->value(1).real, 12.3457);
  EXPECT_EQ(q->value(2).kind, Value::Kind::DateTime);
  EXPECT_EQ(q->value(2).integer, 1709214310);
  EXPECT_EQ(q->value(2).asText(), "2024-02-29 13:45:10");
  EXPECT_EQ(one("SELECT COUNT(*) FROM [T] WHERE [DT] > #02/28/2024#").integer, 1);
  EXPECT_EQ(fails("INSERT INTO [T] ([DT]) VALUES (#2023-02-29#)"), "42000");
}

TEST_F(Types, CounterNumbersNewRowsAndCannotBeChanged) {
  RowId first = 0, second = 0;
  ASSERT_TRUE(db_->insertRow("T", {{"L", Value::of(1)}}, &first));
  ASSERT_TRUE(db_->insertRow("T", {{"L", Value::of(2)}}, &second));
  EXPECT_EQ(one("SELECT MAX([ID]) FROM [T]").integer, 2);
  EXPECT_FALSE(db_->updateRow("T", first, {{"ID", Value::of(10)}}));
  EXPECT_EQ(db_->lastError().state, "HY000");
  EXPECT_TRUE(db_->updateRow("T", second, {{"L", Value::of(20)}, {"TXT", Value::of("abc")}}));
  EXPECT_EQ(one("SELECT [L] FROM [T] WHERE [ID] = 2").integer, 20);
  EXPECT_FALSE(db_->updateRow("T", second, {{"TXT", Value::of("abcdef")}}));
  EXPECT_EQ(db_->lastError().state, "22001");
  EXPECT_EQ(one("SELECT [TXT] FROM [T] WHERE [ID] = 2").text, "abc");
}

}  // namespace
}  // namespace jetdb::test
