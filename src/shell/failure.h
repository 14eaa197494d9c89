// Why a run failed, for the one line it writes on standard error whatever
// the Debug switch says: without Debug there is no journal, and a user must
// not be left with a bare exit code.
//
// The first reason given is the one kept: it is the deepest one, and what
// follows from it (a step that fails because its database would not open)
// says less.
//
// The ways a failure leaves the layers, all of them:
//  - results: every phase, operation, merge and step returns BOOL, the
//    engine the DbVersion reached (0: none), the program its exit code;
//  - database errors: CDBException, raised by the platform's database and
//    record-set classes only, caught by the nearest handler that can answer
//    it (the statement, the merge that says so, else the data phase, else
//    the step driver), journaled there and turned into FALSE; none leaves a
//    step, none reaches the engine;
//  - this reason: noted where a failure is known best, read once, by the
//    application, for its line on standard error.
// The journal (journal.h) tells what happened; it is written, never read.
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
