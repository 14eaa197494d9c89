// updater --info: what a run with the same settings and command line would
// do, printed in French on standard output, with nothing written anywhere.
#pragma once

#include "app/updater_app.h"

// The exit code is the one the run would start with: 0 when a conversion
// (or the copy of an already converted database) would start, else 1000.
int PrintDryRun(const CUpdaterApp& app, BOOL bPaths);
