// Runs conversion steps in the test process, as the chain does, on fixture
// databases: one step or the chain from any entry version, with the data
// sources in a file of the harness's own (ODBCINI) and the journal captured.
// Results are read back through the driver's shell, as a support person
// would read them.
#pragma once

#include <string>

#include "recordsets/db_version.h"
#include "test_support/journal_capture.h"
#include "test_support/temp_dir.h"

class StepHarness {
 public:
  // templateDir: the folder of the template databases.
  explicit StepHarness(std::string templateDir);

  const std::string& work() const { return m_work.path(); }

  // Copies a database into the work folder and returns the copy's path.
  std::string Fixture(const std::string& source, const std::string& name = "Base.mdb");

  // Runs the one step that starts from `from` on `db`; true when it succeeded.
  bool RunStep(DbVersion from, const std::string& db);
  // Runs the chain from `from` on `db`; the version reached, 0 after a failure.
  DbVersion RunChain(DbVersion from, const std::string& db);

  // What the steps journaled so far, UTF-8 with "\n" line ends, without
  // banner and closing line; the journal is closed afterwards.
  std::string Journal() { return m_journal.Text(); }

  // `jetsql --csv db sql`: the header line, then one line per row; a
  // refused statement gives the shell's error text.
  static std::string Query(const std::string& db, const std::string& sql);
  // What `jetsql db ".schema table"` prints, in the shell's own layout.
  static std::string Schema(const std::string& db, const std::string& table);

 private:
  TempDir m_work;
  ScopedEnv m_odbcIni;
  std::string m_templateDir;
  JournalCapture m_journal;
};
