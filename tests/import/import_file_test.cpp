// The import as a whole: the new file is created only where nothing is,
// whole or not at all, and jetsql --import says so in its exit code.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <random>

#include "import/import_file.h"
#include "test_support/temp_dir.h"

namespace mdbimport {
namespace {

namespace fs = std::filesystem;

const std::string kSamples = ACCESS_SAMPLES;

std::vector<std::string> names(const std::string& dir) {
  std::vector<std::string> out;
  for (const auto& e : fs::directory_iterator(dir)) out.push_back(e.path().filename().string());
  std::sort(out.begin(), out.end());
  return out;
}

std::string randomBytes(std::size_t n) {
  std::mt19937 gen(27);
  std::string bytes(n, '\0');
  for (auto& c : bytes) c = static_cast<char>(gen());
  return bytes;
}

TEST(ImportFile, TheDestinationIsNeverReplacedNorReachedThroughALink) {
  TempDir dir;
  const std::string source = dir.path() + "/source.mdb", dest = dir.path() + "/new.mdb";
  WriteFile(source, randomBytes(8192));
  WriteFile(dest, "déjà là");
  ImportResult r = importAccessFile(source, dest);
  EXPECT_EQ(r.outcome, Outcome::Failed);
  EXPECT_FALSE(r.sourceUnreadable);
  EXPECT_NE(r.error.find("existe déjà"), std::string::npos) << r.error;
  EXPECT_EQ(ReadFile(dest), "déjà là");

  // A link planted under the name, even one to nothing, is no free name.
  const std::string linked = dir.path() + "/linked.mdb", target = dir.path() + "/target.mdb";
  ASSERT_EQ(::symlink(target.c_str(), linked.c_str()), 0);
  r = importAccessFile(source, linked);
  EXPECT_EQ(r.outcome, Outcome::Failed);
  EXPECT_FALSE(FileExists(target));
  EXPECT_TRUE(fs::is_symlink(linked));
  EXPECT_EQ(names(dir.path()), (std::vector<std::string>{"linked.mdb", "new.mdb", "source.mdb"}));
}

TEST(ImportFile, ASourceThatCannotBeReadLeavesNothingBehind) {
  TempDir dir;
  const std::string dest = dir.path() + "/new.mdb";
  for (const std::string& bytes : {randomBytes(65536), std::string(), std::string("\x00\x01\x00\x00Standard Jet DB\x00", 20)}) {
    const std::string source = dir.path() + "/source.mdb";
    WriteFile(source, bytes);
    const ImportResult r = importAccessFile(source, dest);
    EXPECT_EQ(r.outcome, Outcome::Failed);
    EXPECT_TRUE(r.sourceUnreadable);
    EXPECT_FALSE(r.error.empty());
    EXPECT_EQ(names(dir.path()), (std::vector<std::string>{"source.mdb"}));
  }
  // A truncated real file, when the samples are there.
  const std::string sample = kSamples + "/jackcess__testV2000.mdb";
  if (!FileExists(sample)) GTEST_SKIP() << "no Access samples at " << kSamples;
  const std::string whole = ReadFile(sample);
  WriteFile(dir.path() + "/source.mdb", whole.substr(0, whole.size() / 3));
  const auto started = std::chrono::steady_clock::now();
  const ImportResult r = importAccessFile(dir.path() + "/source.mdb", dest);
  EXPECT_EQ(r.outcome, Outcome::Failed);
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(30));
  EXPECT_EQ(names(dir.path()), (std::vector<std::string>{"source.mdb"}));
}

// jetsql's exit codes, and its report on standard error.
TEST(ImportFile, JetsqlSaysCompleteLeftOutOrNothingInItsExitCode) {
  if (!fs::is_directory(kSamples)) GTEST_SKIP() << "no Access samples at " << kSamples;
  TempDir dir;
  auto run = [&](const std::string& args) {
    const int status = std::system((std::string(JETSQL) + " " + args + " >" + dir.path() + "/out.txt 2>" +
                                    dir.path() + "/err.txt").c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  };
  const std::string complete = kSamples + "/jackcess__delTestV2000.mdb";
  const std::string partial = kSamples + "/jackcess__queryTestV2000.mdb";
  EXPECT_EQ(run("--import " + complete + " " + dir.path() + "/a.mdb"), 0);
  EXPECT_EQ(ReadFile(dir.path() + "/err.txt"), "");
  EXPECT_EQ(run("--import " + partial + " " + dir.path() + "/b.mdb"), 1);
  const std::string report = ReadFile(dir.path() + "/err.txt");
  EXPECT_EQ(std::count(report.begin(), report.end(), '\n'), 9) << report;
  EXPECT_NE(report.find("requête enregistrée « SelectQuery » non reprise\n"), std::string::npos) << report;
  EXPECT_EQ(run("--check " + dir.path() + "/b.mdb"), 0);
  EXPECT_EQ(run("--import " + complete + " " + dir.path() + "/a.mdb"), 2);
  EXPECT_EQ(run("--import " + kSamples + "/jackcessencrypt__db-enc.mdb " + dir.path() + "/c.mdb"), 2);
  EXPECT_EQ(run("--import --codepage x " + complete + " " + dir.path() + "/d.mdb"), 64);
  EXPECT_EQ(run("--import " + complete), 64);
  EXPECT_EQ(names(dir.path()), (std::vector<std::string>{"a.mdb", "b.mdb", "err.txt", "out.txt"}));
}

}  // namespace
}  // namespace mdbimport
