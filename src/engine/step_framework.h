// The common shape of a conversion step: the driver, the structure phase
// with its DDL operations, the data phase with the template database, the
// merges' order and the version stamp. Each step's source gives only what
// is its own: its statements, its merges and its row in the step table.
#pragma once

#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "platform/database.h"
#include "platform/text.h"
#include "recordsets/db_version.h"
#include "recordsets/sys_language_set.h"

// What the failure of one statement does to the rest of its operation.
enum class OnFailure {
  Stop,  // the operation returns FALSE at once
  GoOn,  // the next statements still run, without success lines
};

struct DdlStatement {
  std::string sql;
  std::string successLine;
  OnFailure onFailure = OnFailure::Stop;
};

// A fixed list of statements. With a summary line the operation follows the
// "all run" rule instead: every statement runs whatever happened before,
// and the one summary line is written at the end when none failed.
struct DdlOperation {
  const char* name;
  std::vector<DdlStatement> statements;
  const char* summaryLine = nullptr;
};

// The five statements of a row that runs once per language column: %d in
// both formats takes 1 to 5.
std::vector<DdlStatement> ForEachLanguage(const char* sqlFormat, const char* lineFormat,
                                          OnFailure onFailure = OnFailure::Stop);

// Concatenates statement lists, for operations built from several rows.
std::vector<DdlStatement> Statements(std::initializer_list<std::vector<DdlStatement>> parts);

// The constants of one step.
struct StepConstants {
  DbVersion from;
  DbVersion to;
  const char* journalLine;   // the step's opening line
  const char* progressText;  // null: the progress window keeps its resource text
  const char* templateFile;  // in the template folder
  const char* stamp;         // the version text written at the end
  // Null opening line: the step has no structure phase.
  const char* structureOpening;
  const char* structureSuccess;
  const char* structureFailure;
  const char* dataOpening;
  const char* dataSuccess;
  const char* dataFailure;
  // The language merges: no limit means the full form.
  std::optional<int> printerLimit;
  std::optional<int> systemLimit;
};

// The row of the step table for the step that starts from `from`.
const StepConstants& StepConstantsFrom(DbVersion from);

// The journal line of a database error: "ERREUR : %s\n%s\n".
void JournalDbError(const CDBException& e);

BOOL ExecuteDdlOperation(CDatabase* pDb, const DdlOperation& op);

// Runs the operations in order while they succeed, between the phase's
// opening and closing lines.
BOOL RunStructurePhase(CDatabase* pDb, const StepConstants& k, const std::vector<DdlOperation>& ops);

// Runs each merge only while every one before it returned TRUE.
BOOL RunInOrder(std::initializer_list<std::function<BOOL()>> merges);

using DataMerges = std::function<BOOL(CDatabase* pDb, CSysLanguageSet& templateSet)>;

// Registers and opens the template database, runs the merges, and removes
// the template data source again, between the phase's lines. A database
// error that no merge handles ends the phase as a failure.
BOOL RunDataPhase(CDatabase* pDb, const StepConstants& k, const CString& templateDir, const DataMerges& merges);

using Phase = std::function<BOOL(CDatabase* pDb)>;

// The step driver: the data source of the converted database, the progress
// window, the converted database, the phases, the stamp and the clean-up.
// An empty structure phase means the step has none.
BOOL RunStep(const CString& strDest, const StepConstants& k, const Phase& structure, const Phase& data);

// A conversion step: what every step object knows, the template folder.
class CConversionStep {
 public:
  explicit CConversionStep(const CString& templateDir) : m_strTemplateDir(templateDir) {}

 protected:
  const CString& m_strTemplateDir;
};
