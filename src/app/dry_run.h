// updater --info: what a run with the same settings and command line would
// do, printed in French on standard output (or as JSON, dry_run_json.h),
// with nothing written anywhere.
#pragma once

#include "app/updater_app.h"
#include "engine/plan.h"

// The exit code: 0 when a conversion (or the copy of an already converted
// database) would start and every step would find its template;
// kExitStepWouldFail when it would start but a step would fail; 1000 when
// none would start.
int PrintDryRun(const CUpdaterApp& app, BOOL bPaths, BOOL bJson);

// The exit code of --info when a step would fail: a script can tell it
// from a run that could not start, and check before it runs.
inline constexpr int kExitStepWouldFail = 3;

// The first step that would fail on its template, or null.
const PlannedStep* FailingStep(const ConversionPlan& plan);
// The step's name, as its journal opens it.
CString StepName(const PlannedStep& step);
// "« step » échouerait : son modèle ... manque".
CString WouldFailText(const PlannedStep& step);
