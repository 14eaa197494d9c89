#include "platform/run_lock.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "test_support/temp_dir.h"

TEST(RunLockTest, ASecondProcessWaitsThenGivesUp) {
  TempDir dir;
  const std::string path = dir.path() + "/lock";
  CRunLock held;
  ASSERT_EQ(held.Acquire(path, 1), CRunLock::Result::Held);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    CRunLock other;
    _exit(other.Acquire(path, 1) == CRunLock::Result::Busy ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "the second process got a lock that was held";
}

TEST(RunLockTest, TheLockIsFreeAgainOnceItsHolderIsGone) {
  TempDir dir;
  const std::string path = dir.path() + "/lock";
  {
    CRunLock first;
    ASSERT_EQ(first.Acquire(path, 0), CRunLock::Result::Held);
  }
  CRunLock second;
  EXPECT_EQ(second.Acquire(path, 0), CRunLock::Result::Held);
  EXPECT_EQ(CRunLock().Acquire(dir.path() + "/no/such/folder/lock", 0), CRunLock::Result::Unavailable);
}

TEST(RunLockTest, TheFileGoesWithItsHolderAndAWaiterLocksTheFileThatFollows) {
  TempDir dir;
  const std::string path = dir.path() + "/lock";
  int acquired[2];
  ASSERT_EQ(pipe(acquired), 0);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    {
      CRunLock holder;
      if (holder.Acquire(path, 0) != CRunLock::Result::Held || write(acquired[1], "y", 1) != 1) _exit(2);
      usleep(300 * 1000);  // the parent opens the file meanwhile
    }
    _exit(0);
  }
  char ok = 0;
  ASSERT_EQ(read(acquired[0], &ok, 1), 1);
  {
    // Opened before the holder removes the file, locked after.
    CRunLock waiter;
    ASSERT_EQ(waiter.Acquire(path, 10), CRunLock::Result::Held);
    // It holds the file that the path names: another one is kept out.
    EXPECT_EQ(CRunLock().Acquire(path, 0), CRunLock::Result::Busy);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_FALSE(FileExists(path));
  close(acquired[0]);
  close(acquired[1]);
}
