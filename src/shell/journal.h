// The run's journal: one process-wide text file, open only when the Debug
// switch is set and a journal path was formed. Every writer goes through
// the helpers below, which test g_pJournal for it: a run without a journal
// writes nothing and formats nothing.
#pragma once

#include "platform/database.h"
#include "platform/text.h"
#include "platform/text_file.h"

extern CStdioFile* g_pJournal;

// The Debug switch of the registry: non-zero writes the journal and shows
// the summary dialog at the end of the run.
extern int g_bDebug;

// Creates the journal (an existing one is emptied) and writes its banner.
// A file that cannot be created leaves g_pJournal null, silently.
void OpenJournal(const CString& path);

// Writes the closing line and closes the journal, if it is open.
void CloseJournal();

// Writes one whole text when the journal is open.
void JournalWrite(const char* text);

// Formats with printf rules and writes the result as one whole text.
void JournalFormat(const char* format, ...) __attribute__((format(printf, 1, 2)));

// The journal lines of a database error: "ERREUR : %s\n%s\n", the driver's
// message, then its state, native error and origin. An error the machine
// caused is noted as the run's reason too (NoteDbFailure).
void JournalDbError(const CDBException& e);
