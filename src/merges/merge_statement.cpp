#include "merges/merge_statement.h"

#include "shell/journal.h"

BOOL ExecuteMergeStatement(CDatabase* pDb, const CString& sql, bool journalError) {
  try {
    pDb->ExecuteSQL(sql);
    return TRUE;
  } catch (CDBException& e) {
    if (journalError) JournalDbError(e);
    return FALSE;
  }
}
