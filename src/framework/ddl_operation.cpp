#include "framework/ddl_operation.h"

#include "shell/journal.h"

std::vector<DdlStatement> ForEachLanguage(const char* sqlFormat, const char* lineFormat, OnFailure onFailure) {
  std::vector<DdlStatement> statements;
  for (int language = 1; language <= 5; ++language) {
    CString sql, line;
    sql.Format(sqlFormat, language);
    line.Format(lineFormat, language);
    statements.push_back({sql.str(), line.str(), onFailure});
  }
  return statements;
}

std::vector<DdlStatement> Statements(std::initializer_list<std::vector<DdlStatement>> parts) {
  std::vector<DdlStatement> all;
  for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

BOOL RunDdlOperation(const DdlOperation& op, const StatementSender& send) {
  const bool allRun = op.summaryLine != nullptr;
  BOOL result = TRUE;
  for (const DdlStatement& statement : op.statements) {
    try {
      send(statement.sql);
      // Once a statement of the operation has failed, the later ones run
      // without their success lines.
      if (result && !allRun) JournalWrite(statement.successLine.c_str());
    } catch (CDBException& e) {
      JournalDbError(e);
      result = FALSE;
      if (!allRun && statement.onFailure == OnFailure::Stop) return FALSE;
    }
  }
  if (allRun && result) JournalWrite(op.summaryLine);
  return result;
}

BOOL ExecuteDataStatement(CDatabase* pDb, const DdlStatement& statement, const char* failureLine) {
  const BOOL result =
      RunDdlOperation(DdlOperation{"", {statement}}, [pDb](const std::string& sql) { pDb->ExecuteSQL(sql.c_str()); });
  if (!result) JournalWrite(failureLine);
  return result;
}
