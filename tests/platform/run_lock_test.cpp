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
