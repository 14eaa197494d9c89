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

#include <vector>

#include "engine/plan.h"
#include "platform/text.h"
#include "recordsets/db_version.h"

// Converts the source (into the destination, or in place) and returns the
// DbVersion reached, 0 when nothing was converted. strDest ends naming the
// file that was converted; *pBackup, when given, the backup an in-place run
// wrote (empty when it wrote none).
DbVersion RunConversion(const CString& strSource, CString& strDest, const CString& strTemplateDir,
                        CString* pBackup = nullptr);

// Runs the planned steps on strDest in order while they succeed; the
// version the last one reaches, 0 after a failed step (with its reason).
DbVersion RunSteps(const std::vector<PlannedStep>& steps, const CString& strDest);
