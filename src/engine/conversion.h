// The conversion of one run: detection, preparation and the chain of steps.
#pragma once

#include <functional>
#include <vector>

#include "platform/text.h"
#include "recordsets/db_version.h"
#include "steps/chain.h"

// Converts the source (into the destination, or in place) and returns the
// DbVersion reached, 0 when nothing was converted. strDest ends naming the
// file that was converted; *pBackup, when given, the backup an in-place run
// wrote (empty when it wrote none). onLocked, when given, is called once the
// run holds its locks and before it writes anything (it opens the journal):
// a run that waits in vain or is refused calls it not at all.
DbVersion RunConversion(const CString& strSource, CString& strDest, const CString& strTemplateDir,
                        CString* pBackup = nullptr, const std::function<void()>& onLocked = {});

// The links that a run from nVersion goes through, in order, when every
// step succeeds.
std::vector<const ChainLink*> PlannedLinks(DbVersion nVersion);

// Runs every step from nVersion on, while they succeed; returns the version
// reached, 0 after a failed step.
DbVersion RunChain(DbVersion nVersion, CString& strDest, const CString& strTemplateDir);

// How long a second run waits for the first one's data sources; the
// environment variable UPDATER_LOCK_TIMEOUT (seconds) overrides it.
inline constexpr int kDefaultLockTimeoutSeconds = 120;
