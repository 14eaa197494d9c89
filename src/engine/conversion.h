// Contract: the conversion of one run. It takes the run's locks, makes the
// plan (plan.h) under them and carries it out: the resume, detection, the
// copy or the backup, then the planned steps in order.
//
// How a failure leaves: RunConversion returns the DbVersion reached, 0 when
// nothing was converted or a step failed; it throws nothing. What happened
// is in the journal (each layer writes its own lines); why, in one phrase,
// is the reason of shell/failure.h, which RunConversion clears first and
// completes last (an interruption, the backup that holds the original).
#pragma once

#include <functional>
#include <vector>

#include "engine/plan.h"
#include "platform/text.h"
#include "recordsets/db_version.h"

// Converts the source (into the destination, or in place) and returns the
// DbVersion reached, 0 when nothing was converted. strDest ends naming the
// file that was converted; *pBackup, when given, the backup an in-place run
// wrote (empty when it wrote none). onLocked, when given, is called once the
// run holds its locks and before it writes anything (it opens the journal):
// a run that waits in vain or is refused calls it not at all.
DbVersion RunConversion(const CString& strSource, CString& strDest, const CString& strTemplateDir,
                        CString* pBackup = nullptr, const std::function<void()>& onLocked = {});

// Runs the planned steps on strDest in order while they succeed; the
// version the last one reaches, 0 after a failed step (with its reason).
// onOwnCopy: strDest is a file this run made (a copy, an import), not the
// user's own, which a failed first step must leave byte for byte.
DbVersion RunSteps(const std::vector<PlannedStep>& steps, const CString& strDest, bool onOwnCopy = false);
