// The DDL operations of a structure phase: fixed lists of statements, each
// with its journal line, under the operation's own name, and the rules that
// say what a refused statement does to the rest of its operation.
#pragma once

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "platform/database.h"
#include "platform/types.h"

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
  const char* name;  // "AddCategoriesExportable"
  std::vector<DdlStatement> statements;
  const char* summaryLine = nullptr;
};

// The five statements of a row that runs once per language column: %d in
// both formats takes 1 to 5.
std::vector<DdlStatement> ForEachLanguage(const char* sqlFormat, const char* lineFormat,
                                          OnFailure onFailure = OnFailure::Stop);

// Concatenates statement lists, for operations built from several rows.
std::vector<DdlStatement> Statements(std::initializer_list<std::vector<DdlStatement>> parts);

// Sends one statement; a refusal is a CDBException.
using StatementSender = std::function<void(const std::string& sql)>;

// Runs the operation's statements by its rules through `send`; a refused
// statement writes the database error to the journal. TRUE when none was
// refused.
BOOL RunDdlOperation(const DdlOperation& op, const StatementSender& send);

// One statement of a data phase, guarded as a DDL statement is: its success
// line, or the database error followed by the merge's own failure line.
BOOL ExecuteDataStatement(CDatabase* pDb, const DdlStatement& statement, const char* failureLine);
