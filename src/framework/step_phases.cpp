#include "framework/step_phases.h"

#include "framework/data_source.h"
#include "framework/phase_timing.h"
#include "framework/version_table.h"
#include "merges/language_merges.h"
#include "recordsets/data_sources.h"
#include "shell/failure.h"
#include "shell/journal.h"
#include "shell/progress_dlg.h"

BOOL RunStructurePhase(CDatabase* pDb, const StepConstants& k, const std::vector<DdlOperation>& ops) {
  const CPhaseTiming timing(k, "structure");
  JournalWrite(k.structureOpening);
  BOOL result = TRUE;
  for (const DdlOperation& op : ops) {
    result = ExecuteDdlOperation(pDb, op);
    if (!result) break;
  }
  JournalWrite(result ? k.structureSuccess : k.structureFailure);
  return result;
}

BOOL RunDataPhase(CDatabase* pDb, const StepConstants& k, const CString& templateDir, const DataMerges& merges) {
  const CPhaseTiming timing(k, "data");
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
      // Templates are only read: they may sit where the user cannot write.
      templateSet.Open(AFX_DB_USE_DEFAULT_TYPE, nullptr, CRecordset::readOnly);
      opened = true;
    } catch (CDBException& e) {
      JournalWrite("ERREUR : Ouverture de la base de données source.\n");
      NoteFailure("ouverture de la base modèle %s impossible : %s", templatePath.GetString(), e.m_strError.GetString());
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

DataMerges LanguageMerges(const StepConstants& k) {
  return [&k](CDatabase* pDb, CSysLanguageSet& templateSet) -> BOOL {
    return UpdateLanguePrinter(pDb, templateSet.m_pDatabase, k.from, k.printerLimit) &&
           UpdateLangueSystem(pDb, templateSet, k.systemLimit);
  };
}

DataMerges FromTemplate(BOOL (*merge)(CDatabase* pDb, CDatabase* pTemplateDb)) {
  return [merge](CDatabase* pDb, CSysLanguageSet& templateSet) { return merge(pDb, templateSet.m_pDatabase); };
}

DataMerges OnDatabase(BOOL (*merge)(CDatabase* pDb)) {
  return [merge](CDatabase* pDb, CSysLanguageSet&) { return merge(pDb); };
}

BOOL RunDataPhase(CDatabase* pDb, const StepConstants& k, const CString& templateDir,
                  std::initializer_list<DataMerges> merges) {
  // The list lives for the whole call, and the phase runs within it.
  return RunDataPhase(pDb, k, templateDir, [merges, &k](CDatabase* pDb, CSysLanguageSet& templateSet) {
    int number = 0;
    for (const DataMerges& merge : merges) {
      const CPhaseTiming timing(k, "merge", ++number);
      if (!merge(pDb, templateSet)) return FALSE;
    }
    return TRUE;
  });
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
  const CPhaseTiming timing(k, "step");
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
      NoteFailure("ouverture de la base à convertir %s impossible : %s", strDest.GetString(), e.m_strError.GetString());
    }
    if (set.IsOpen()) {
      CDatabase* pDb = set.m_pDatabase;
      // The step's connection is the only one on the converted file while
      // the step runs: its merges write row by row, and a commit per row
      // would cost more than the rows. Everything is committed when the
      // set closes.
      pDb->BatchWrites(TRUE);
      const BOOL structureDone = structure ? structure(pDb) : TRUE;
      result = structureDone ? data(pDb) : FALSE;
      if (result) result = WriteVersionStamp(set, StoredVersionText(k.to));
      // The stamp and the step's last rows wait in the batch: the step is
      // done only once they are committed, which a full disk refuses.
      try {
        pDb->BatchWrites(FALSE);
      } catch (CDBException& e) {
        JournalDbError(e);
        CString reason = e.m_strError;
        if (reason.Right(1) == ".") reason = reason.Left(reason.GetLength() - 1);
        NoteFailure("%s", reason.GetString());
        result = FALSE;
      }
      set.Close();
    }
  }
  RemoveDataSource(kConvertedDataSource, strDest);
  progress.DestroyWindow();
  return result;
}
