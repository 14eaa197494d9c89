// updater --info --json: the dry run as one JSON object on standard output,
// for scripts. Its schema is in the README (and the manual's --json):
// "schema" 1; "exit_code" and "outcome" (would_convert, would_fail,
// already_converted, refused) with "reason"; "source" (path, version),
// "destination" (path, in_place, exists), "backup" and "journal"; "steps"
// in order, each with its versions and "template" (path, exists, opens,
// error); "would_fail", "reached"; "settings" with the origin of each.
// With no source, only "source": null and the settings are given.
#pragma once

#include "app/settings_report.h"
#include "app/updater_app.h"
#include "engine/plan.h"

void PrintDryRunJson(const CUpdaterApp& app, const SettingsInForce& settings, const ConversionPlan* plan, int exitCode);
