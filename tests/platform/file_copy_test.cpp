#include "platform/file_copy.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "test_support/temp_dir.h"

TEST(FileCopyTest, CopiesBytesAndReplacesOrKeepsTheDestinationAsAsked) {
  TempDir dir;
  const std::string a = dir.path() + "/a.mdb", b = dir.path() + "/b.mdb";
  std::string bytes(200000, '\0');
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 7);
  WriteFile(a, bytes);
  WriteFile(b, "old");
  EXPECT_FALSE(CopyFileA(a.c_str(), b.c_str(), TRUE));
  EXPECT_EQ(ReadFile(b), "old");
  EXPECT_TRUE(CopyFileA(a.c_str(), b.c_str(), FALSE));
  EXPECT_EQ(ReadFile(b), bytes);
}

TEST(FileCopyTest, OneFileUnderTwoNamesIsNeverCopiedOntoItself) {
  TempDir dir;
  const std::string a = dir.path() + "/a.mdb";
  WriteFile(a, "data");
  ASSERT_EQ(chdir(dir.path().c_str()), 0);
  EXPECT_TRUE(IsSameFile("./a.mdb", a.c_str()));
  ASSERT_EQ(symlink(a.c_str(), (dir.path() + "/link.mdb").c_str()), 0);
  EXPECT_TRUE(IsSameFile((dir.path() + "/link.mdb").c_str(), "a.mdb"));
  EXPECT_FALSE(CopyFileA("./a.mdb", a.c_str(), FALSE));
  EXPECT_EQ(ReadFile(a), "data");
  EXPECT_FALSE(IsSameFile(a.c_str(), (dir.path() + "/missing.mdb").c_str()));
}

TEST(FileCopyTest, AFailedCopyLeavesNothingBehind) {
  TempDir dir;
  const std::string a = dir.path() + "/a.mdb", out = dir.path() + "/ro";
  WriteFile(a, "data");
  // Root writes into a read-only folder; a "folder" that is a file stops it.
  if (geteuid() == 0) {
    WriteFile(out, "");
  } else {
    ASSERT_EQ(mkdir(out.c_str(), 0500), 0);
  }
  EXPECT_FALSE(CopyFileA(a.c_str(), (out + "/b.mdb").c_str(), FALSE));
  EXPECT_FALSE(CopyFileA((dir.path() + "/missing").c_str(), (dir.path() + "/c.mdb").c_str(), FALSE));
  EXPECT_FALSE(FileExists(dir.path() + "/c.mdb"));
}
