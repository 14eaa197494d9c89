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
//
// A reason is a clause: it is kept without a final full stop (a driver
// message ends its own sentence), and SayReason ends the line with one.
#pragma once

#include <cstdio>

#include "platform/database.h"
#include "platform/text.h"

// The reason of a run that ran out of memory.
inline constexpr const char* kOutOfMemoryReason = "mémoire insuffisante pour continuer la conversion";

// Notes the reason, printf rules, unless one is already noted.
void NoteFailure(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Replaces any reason noted: for a cause that explains the others (the
// run was interrupted from outside).
void OverrideFailure(const CString& reason);

// The reason noted, empty when none.
const CString& FailureReason();

// Forgets the reason, for a new run.
void ClearFailure();

// Notes the driver's message of `e` when the machine caused it (a full
// disk, a read-only file system, memory, a path too long): whatever fails
// after such an error fails because of it, whoever handles it.
void NoteDbFailure(const CDBException& e);

// `text` without the full stops (and blanks) that end it.
CString WithoutFullStop(const CString& text);

// Writes "updater : ", then `text`, printf rules, ended by exactly one full
// stop, as one line on `out`: the program's way to tell its user.
void SayLine(std::FILE* out, const char* format, ...) __attribute__((format(printf, 2, 3)));
