// The fixed SQL statements that some merges run on the converted database
// around their rows (deletions, resets). The one place of this folder that
// catches a database error: a refused statement is a result the merges
// answer (FALSE), not an exception.
#pragma once

#include "platform/database.h"
#include "platform/text.h"
#include "platform/types.h"

// Runs one statement; FALSE when the database refuses it. Only the merges
// that report such a refusal journal the database error: the others leave
// the failure to their own line, or to the data phase's.
BOOL ExecuteMergeStatement(CDatabase* pDb, const CString& sql, bool journalError);
