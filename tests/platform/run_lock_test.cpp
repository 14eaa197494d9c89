#include "platform/run_lock.h"

#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>
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

// A lock file lies in a folder other users may write: what they put at its
// name is never followed nor created, and a FIFO does not hold the run.
TEST(RunLockTest, ALinkOrASpecialFileAtTheNameIsRefusedAndNothingIsCreated) {
  TempDir dir;
  const std::string path = dir.path() + "/base.mdb.lock", target = dir.path() + "/passwd";
  ASSERT_EQ(symlink(target.c_str(), path.c_str()), 0);
  EXPECT_EQ(CRunLock().Acquire(path, 0), CRunLock::Result::Refused);
  EXPECT_FALSE(FileExists(target));
  WriteFile(target, "root:x:0:0\n");
  EXPECT_EQ(CRunLock().Acquire(path, 0), CRunLock::Result::Refused);
  EXPECT_EQ(ReadFile(target), "root:x:0:0\n");
  unlink(path.c_str());
  ASSERT_EQ(mkfifo(path.c_str(), 0666), 0);
  EXPECT_EQ(CRunLock().Acquire(path, 0), CRunLock::Result::Refused);
}

TEST(RunLockTest, AWaiterIsToldWhoHoldsTheLock) {
  TempDir dir;
  const std::string path = dir.path() + "/lock";
  CRunLock held;
  ASSERT_EQ(held.Acquire(path, 0), CRunLock::Result::Held);
  int pipeFds[2];
  ASSERT_EQ(pipe(pipeFds), 0);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    std::string told;
    const bool busy = CRunLock().Acquire(path, 1, [&](const std::string& holder) { told += holder + "|"; }) ==
                      CRunLock::Result::Busy;
    told = (busy ? "busy " : "held ") + told;
    _exit(write(pipeFds[1], told.data(), told.size()) == static_cast<ssize_t>(told.size()) ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  close(pipeFds[1]);
  char buffer[300] = {};
  const ssize_t n = read(pipeFds[0], buffer, sizeof buffer - 1);
  close(pipeFds[0]);
  ASSERT_GT(n, 0);
  // Once, with the holder's process.
  EXPECT_EQ(std::string(buffer), "busy processus " + std::to_string(getpid()) + ", utilisateur " +
                                     std::string(getpwuid(geteuid())->pw_name) + "|");
}
