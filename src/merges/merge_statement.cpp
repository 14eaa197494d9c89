#include "merges/merge_statement.h"

#include "shell/failure.h"
#include "shell/journal.h"

BOOL ExecuteMergeStatement(CDatabase* pDb, const CString& sql, bool journalError) {
  try {
    pDb->ExecuteSQL(sql);
    return TRUE;
  } catch (CDBException& e) {
    if (journalError) {
      JournalDbError(e);
    } else {
      // A refusal expected of the data is not journaled; a full disk is
      // still the run's reason.
      NoteDbFailure(e);
    }
    return FALSE;
  }
}
