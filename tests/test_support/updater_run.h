// Runs the real program as a user would: its own registry folder (Debug on
// or off, the template folder), its own ODBC data-source file, a work folder.
#pragma once

#include <map>
#include <string>

#include "test_support/temp_dir.h"

// The exit status of a run that failed: 1000, as the shell sees it.
inline constexpr int kFailed = 1000 % 256;

class UpdaterRun {
 public:
  // templateDir: the folder the registry names as the template folder;
  // binary: the program run, the updater of the build unless told.
  explicit UpdaterRun(std::string templateDir, bool debug = true, std::string binary = UPDATER_BINARY);

  void SetDebug(bool debug);
  // Runs the program with the arguments (already quoted for the shell) and
  // extra environment assignments; returns the exit status. Standard output
  // and standard error are kept in stdoutText() and stderrText().
  int Run(const std::string& args, const std::string& env = "");

  const std::string& work() const { return m_work.path(); }
  const std::string& templateDir() const { return m_templateDir; }
  const std::string& odbcIni() const { return m_odbcIni; }
  const std::string& stdoutText() const { return m_stdout; }
  const std::string& stderrText() const { return m_stderr; }
  const std::string& registryDir() const { return m_registry.path(); }

  // The journal of a folder, as UTF-8 with "\n" line ends, and with the work
  // folder written as <WORK> so that it compares with a fixed text.
  std::string Journal(const std::string& folder) const;

 private:
  TempDir m_registry, m_work;
  TempDir m_output;  // the run's standard output and error, outside the folders it may touch
  std::string m_templateDir;
  std::string m_binary;
  std::string m_odbcIni;
  std::string m_stdout;
  std::string m_stderr;
};

// Replaces every occurrence of `from` in `text` by `to`.
std::string ReplaceAll(std::string text, const std::string& from, const std::string& to);

// Every file under a folder, by path, with its bytes (a folder or other
// non-regular file by its name alone): what "nothing changed" means.
std::map<std::string, std::string> FolderSnapshot(const std::string& folder);

// Copies the template databases (tq2V2_*) of one folder into another, for
// tests that change or must not write the build's own.
void CopyTemplates(const std::string& from, const std::string& to);
