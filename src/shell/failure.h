// Why a run failed, for the one line it writes on standard error whatever
// the Debug switch says: without Debug there is no journal, and a user must
// not be left with a bare exit code.
//
// The first reason given is the one kept: it is the deepest one, and what
// follows from it (a step that fails because its database would not open)
// says less.
#pragma once

#include "platform/text.h"

// Notes the reason, printf rules, unless one is already noted.
void NoteFailure(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Replaces any reason noted: for a cause that explains the others (the
// run was interrupted from outside).
void OverrideFailure(const CString& reason);

// The reason noted, empty when none.
const CString& FailureReason();

// Forgets the reason, for a new run.
void ClearFailure();
