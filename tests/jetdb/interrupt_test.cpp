// Cancelling a running statement from another thread, as a shell does
// from its Ctrl-C handler.
#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

#include "test_db.h"

namespace jetdb::test {
namespace {

class Interrupt : public DbTest {
 protected:
  void SetUp() override {
    DbTest::SetUp();
    ok("CREATE TABLE [G] ([N] LONG)");
    ok("CREATE TABLE [H] ([N] LONG)");
    ASSERT_TRUE(db_->setWriteBatching(true));
    for (int n = 0; n < 100; ++n) ASSERT_TRUE(db_->insertRow("G", {{"N", Value::of(n)}}));
    ASSERT_TRUE(db_->setWriteBatching(false));
  }

  // Runs `work` while another thread interrupts the database until it is
  // over: the first calls may come before the work has started.
  void interrupted(const std::function<void()>& work) {
    std::atomic<bool> done{false};
    std::thread canceller([&] {
      while (!done) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        db_->interrupt();
      }
    });
    work();
    done = true;
    canceller.join();
  }

  // A hundred million rows to count, a million to write: a second or so
  // each, many times the canceller's period, short enough that an
  // interrupt that did nothing fails the test instead of hanging it.
  static constexpr const char* kLong = " FROM G AS a, G AS b, G AS c";
};

TEST_F(Interrupt, CancelsARunningQueryOrWriteWhichChangesNothing) {
  interrupted([&] {
    auto q = db_->query(std::string("SELECT Count(*)") + kLong + ", G AS d");
    ASSERT_TRUE(q) << db_->lastError().message;
    EXPECT_FALSE(q->next());
    ASSERT_TRUE(q->error());
    EXPECT_EQ(q->error()->state, "HY008");
    EXPECT_EQ(q->error()->native, 3059);
  });
  ok("INSERT INTO [H] ([N]) VALUES (-1)");
  interrupted([&] {
    EXPECT_FALSE(db_->execute(std::string("INSERT INTO [H] ([N]) SELECT a.N") + kLong));
    EXPECT_EQ(db_->lastError().native, 3059);
  });
  // The cancelled write is undone whole; the one before it stays.
  EXPECT_EQ(count("H"), 1);

  // With nothing running, an interrupt cancels nothing that comes after it.
  db_->interrupt();
  EXPECT_EQ(count("G"), 100);
  ok("INSERT INTO [H] ([N]) SELECT [N] FROM [G]");
  EXPECT_EQ(count("H"), 101);
}

}  // namespace
}  // namespace jetdb::test
