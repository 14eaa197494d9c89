// The schema versions as the chain's steps declare them: each step names the
// version it converts (with the earlier builds converted like it) and the
// one it reaches; the chain's target is its last step's.
#pragma once

#include <vector>

#include "framework/conversion_step.h"
#include "platform/text.h"
#include "recordsets/db_version.h"

// The version every conversion ends at: the last step's.
DbVersion ChainTarget();

// The step that converts a database of this version, null for the target
// and any code that no step converts.
const ConversionStep* StepFrom(DbVersion nVersion);

// The steps that a run from this version goes through, in order, when each
// succeeds; none from the target or an unknown code.
std::vector<const ConversionStep*> StepsFrom(DbVersion nVersion);

// The version whose stored text is exactly `text` (case and blanks count),
// 0 when none is: every version a step converts, and the target.
DbVersion VersionFromStoredText(const CString& text);

// The text of that version's row ("2.0.1.49"), "" for an unknown code.
const char* StoredVersionText(DbVersion nVersion);

// The short text of a version ("V2.3"), which names its backup; "VERR" for
// every code without one (the target among them: a converted database is
// never backed up).
const char* GetVersionText(DbVersion nVersion);
