#include "framework/step_phases.h"

#include <new>

#include "framework/data_source.h"
#include "framework/phase_timing.h"
#include "merges/language_merges.h"
#include "recordsets/data_sources.h"
#include "shell/failure.h"
#include "shell/journal.h"
#include "shell/progress_dlg.h"

CString TemplatePath(const CString& templateDir, const ConversionStep& step) {
  CString path;
  path.Format("%s/%s", templateDir.GetString(), step.templateFile);
  return path;
}

CString StepTitle(const ConversionStep& step) {
  CString title(step.lines.opening);
  title.TrimRight();
  return title;
}

BOOL RunStructurePhase(const ConversionStep& step, const StatementSender& send) {
  const CPhaseTiming timing(step, "structure");
  JournalWrite(step.lines.structureOpening);
  BOOL result = TRUE;
  for (const DdlOperation& op : step.structure) {
    result = RunDdlOperation(op, send);
    if (!result) break;
  }
  JournalWrite(result ? step.lines.structureSuccess : step.lines.structureFailure);
  return result;
}

BOOL RunStructurePhase(CDatabase* pDb, const ConversionStep& step) {
  return RunStructurePhase(step, [pDb](const std::string& sql) { pDb->ExecuteSQL(sql.c_str()); });
}

namespace {

BOOL RunMerges(const MergeContext& context) {
  int number = 0;
  for (const Merge& merge : context.step.merges) {
    const CPhaseTiming timing(context.step, "merge", ++number, merge.name);
    if (!merge.run(context)) return FALSE;
  }
  return TRUE;
}

}  // namespace

BOOL RunDataPhase(CDatabase* pDb, const ConversionStep& step, const CString& templatePath) {
  const CPhaseTiming timing(step, "data");
  JournalWrite(step.lines.dataOpening);
  RemoveDataSource(kTemplateDataSource, templatePath);
  if (!AddDataSource(kTemplateDataSource, templatePath)) return FALSE;

  BOOL result = FALSE;
  {
    CSysLanguageSet templateSet(nullptr, step.from.code);
    bool opened = false;
    try {
      // Templates are only read: they may sit where the user cannot write.
      // The labels are read by the merge that needs them, with its own
      // filter and order: read here too, a thousand rows a step would be
      // read only to be read again.
      templateSet.m_strFilter = "False";
      templateSet.Open(AFX_DB_USE_DEFAULT_TYPE, nullptr, CRecordset::readOnly);
      opened = true;
    } catch (CDBException& e) {
      JournalWrite("ERREUR : Ouverture de la base de données source.\n");
      NoteFailure("ouverture de la base modèle %s impossible : %s", templatePath.GetString(), e.m_strError.GetString());
    }
    if (opened) {
      try {
        result = RunMerges({pDb, templateSet, step});
      } catch (CDBException& e) {
        // A database error that the merge itself does not handle.
        JournalDbError(e);
        result = FALSE;
      }
    }
    if (templateSet.IsOpen()) templateSet.Close();
  }
  RemoveDataSource(kTemplateDataSource, templatePath);
  JournalWrite(result ? step.lines.dataSuccess : step.lines.dataFailure);
  return result;
}

Merge FromTemplate(const char* name, BOOL (*merge)(CDatabase* pDb, CDatabase* pTemplateDb)) {
  return {name, [merge](const MergeContext& c) { return merge(c.pDb, c.templateSet.m_pDatabase); }};
}

Merge OnDatabase(const char* name, BOOL (*merge)(CDatabase* pDb)) {
  return {name, [merge](const MergeContext& c) { return merge(c.pDb); }};
}

Merge LanguePrinterMerge() {
  return {"UpdateLanguePrinter", [](const MergeContext& c) {
            return UpdateLanguePrinter(c.pDb, c.templateSet.m_pDatabase, c.step.from.code, c.step.printerLimit);
          }};
}

Merge LangueSystemMerge() {
  return {"UpdateLangueSystem",
          [](const MergeContext& c) { return UpdateLangueSystem(c.pDb, c.templateSet, c.step.systemLimit); }};
}

namespace {

// The row of Langue_System that holds the database's version.
constexpr char kVersionRow[] = "[LIBELLE]='IDS_VERSION_DB'";

// Writes the target's version text into the five language columns of the
// version row; a database error leaves the version as it was.
BOOL WriteVersionStamp(CSysLanguageSet& set, const char* stamp) {
  try {
    set.m_strFilter = kVersionRow;
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

BOOL RunStep(const CString& strDest, const ConversionStep& step, const CString& templatePath) {
  const CPhaseTiming timing(step, "step");
  JournalWrite(step.lines.opening);
  if (!AddDataSource(kConvertedDataSource, strDest)) return FALSE;

  CProgressDlg progress;
  if (step.lines.progress != nullptr) progress.m_strText = step.lines.progress;
  progress.Create();

  BOOL result = FALSE;
  // Out of memory, the step still removes what it registered, and the run
  // ends as a failed step does.
  try {
    CSysLanguageSet set(nullptr, kConvertedDatabase);
    try {
      // The set is the step's connection, and its only row is the version
      // row that the step stamps at its end: opened on every label, it would
      // read them all for nothing.
      set.m_strFilter = kVersionRow;
      set.Open();
    } catch (CDBException& e) {
      JournalDbError(e);
      NoteFailure("ouverture de la base à convertir %s impossible : %s", strDest.GetString(), e.m_strError.GetString());
    }
    if (set.IsOpen()) {
      CDatabase* pDb = set.m_pDatabase;
      // The step's connection is the only one on the converted file while
      // the step runs: its merges write row by row, and a commit per row
      // would cost more than the rows. Everything is committed when the
      // set closes.
      pDb->BatchWrites(TRUE);
      const BOOL structureDone = step.structure.empty() || RunStructurePhase(pDb, step);
      result = structureDone ? RunDataPhase(pDb, step, templatePath) : FALSE;
      if (result) result = WriteVersionStamp(set, step.to.text);
      // The stamp and the step's last rows wait in the batch: the step is
      // done only once they are committed, which a full disk refuses.
      try {
        pDb->BatchWrites(FALSE);
      } catch (CDBException& e) {
        JournalDbError(e);
        NoteFailure("%s", e.m_strError.GetString());
        result = FALSE;
      }
      set.Close();
    }
  } catch (const std::bad_alloc&) {
    NoteFailure("%s", kOutOfMemoryReason);
    result = FALSE;
  }
  RemoveDataSource(kConvertedDataSource, strDest);
  progress.DestroyWindow();
  return result;
}
