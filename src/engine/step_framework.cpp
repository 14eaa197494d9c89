#include "engine/step_framework.h"

#include "app/journal.h"
#include "app/progress_dlg.h"
#include "engine/data_source.h"
#include "recordsets/data_sources.h"

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

void JournalDbError(const CDBException& e) {
  if (g_pJournal == nullptr) return;
  CString line;
  line.Format("ERREUR : %s\n%s\n", e.m_strError.GetString(), e.m_strStateNativeOrigin.GetString());
  g_pJournal->WriteString(line);
}

BOOL ExecuteDdlOperation(CDatabase* pDb, const DdlOperation& op) {
  const bool allRun = op.summaryLine != nullptr;
  BOOL result = TRUE;
  for (const DdlStatement& statement : op.statements) {
    try {
      pDb->ExecuteSQL(statement.sql.c_str());
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

BOOL RunStructurePhase(CDatabase* pDb, const StepConstants& k, const std::vector<DdlOperation>& ops) {
  JournalWrite(k.structureOpening);
  BOOL result = TRUE;
  for (const DdlOperation& op : ops) {
    result = ExecuteDdlOperation(pDb, op);
    if (!result) break;
  }
  JournalWrite(result ? k.structureSuccess : k.structureFailure);
  return result;
}

BOOL RunInOrder(std::initializer_list<std::function<BOOL()>> merges) {
  for (const auto& merge : merges)
    if (!merge()) return FALSE;
  return TRUE;
}

BOOL RunDataPhase(CDatabase* pDb, const StepConstants& k, const CString& templateDir, const DataMerges& merges) {
  JournalWrite(k.dataOpening);
  CString templatePath;
  templatePath.Format("%s/%s", templateDir.GetString(), k.templateFile);
  RemoveDataSource(kTemplateDataSource, templatePath);
  if (!AddDataSource(kTemplateDataSource, templatePath)) return FALSE;

  BOOL result = FALSE;
  {
    CSysLanguageSet templateSet(nullptr, k.from);
    bool opened = false;
    try {
      templateSet.Open();
      opened = true;
    } catch (CDBException&) {
      JournalWrite("ERREUR : Ouverture de la base de données source.\n");
    }
    if (opened) {
      try {
        result = merges(pDb, templateSet);
      } catch (CDBException& e) {
        // A database error that the merge itself does not handle.
        JournalDbError(e);
        result = FALSE;
      }
    }
    if (templateSet.IsOpen()) templateSet.Close();
  }
  RemoveDataSource(kTemplateDataSource, templatePath);
  JournalWrite(result ? k.dataSuccess : k.dataFailure);
  return result;
}

namespace {

// Writes the target's version text into the five language columns of the
// version row; a database error leaves the version as it was.
BOOL WriteVersionStamp(CSysLanguageSet& set, const char* stamp) {
  try {
    set.m_strFilter = "[LIBELLE]='IDS_VERSION_DB'";
    set.Requery();
    set.Edit();
    set.m_Langue_1 = stamp;
    set.m_Langue_2 = stamp;
    set.m_Langue_3 = stamp;
    set.m_Langue_4 = stamp;
    set.m_Langue_5 = stamp;
    set.Update();
    return TRUE;
  } catch (CDBException& e) {
    JournalDbError(e);
    return FALSE;
  }
}

}  // namespace

BOOL RunStep(const CString& strDest, const StepConstants& k, const Phase& structure, const Phase& data) {
  JournalWrite(k.journalLine);
  if (!AddDataSource(kConvertedDataSource, strDest)) return FALSE;

  CProgressDlg progress;
  if (k.progressText != nullptr) progress.m_strText = k.progressText;
  progress.Create();

  BOOL result = FALSE;
  {
    CSysLanguageSet set(nullptr, kDbVersion253);
    try {
      set.Open();
    } catch (CDBException& e) {
      JournalDbError(e);
    }
    if (set.IsOpen()) {
      CDatabase* pDb = set.m_pDatabase;
      const BOOL structureDone = structure ? structure(pDb) : TRUE;
      result = structureDone ? data(pDb) : FALSE;
      if (result) result = WriteVersionStamp(set, k.stamp);
      set.Close();
    }
  }
  RemoveDataSource(kConvertedDataSource, strDest);
  progress.DestroyWindow();
  return result;
}
