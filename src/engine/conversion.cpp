#include "engine/conversion.h"

#include <cstdio>
#include <cstdlib>

#include "engine/detection.h"
#include "framework/data_source.h"
#include "framework/step_table.h"
#include "framework/version_table.h"
#include "platform/file_copy.h"
#include "platform/run_lock.h"
#include "recordsets/data_sources.h"
#include "shell/journal.h"
#include "steps/chain.h"

namespace {

int LockTimeout() {
  const char* text = std::getenv("UPDATER_LOCK_TIMEOUT");
  if (text == nullptr || *text == '\0') return kDefaultLockTimeoutSeconds;
  return std::atoi(text);
}

}  // namespace

DbVersion RunChain(DbVersion nVersion, CString& strDest, const CString& strTemplateDir) {
  // Each link is tried against the version reached by the links before it,
  // so one run goes through every step from the detected version on.
  for (const ChainLink& link : ChainLinks()) {
    nVersion = ConvertedAs(nVersion);
    if (nVersion == link.from) nVersion = link.run(strDest, strTemplateDir) ? StepConstantsFrom(link.from).to : 0;
  }
  return nVersion;
}

DbVersion RunConversion(const CString& strSource, CString& strDest, const CString& strTemplateDir) {
  // The data sources have fixed names: two runs at once would point them at
  // each other's files. One run at a time holds them.
  CRunLock lock;
  const std::string lockPath = DataSourceLockPath();
  const int timeout = LockTimeout();
  // Where no lock file can be made no data source can be registered either;
  // the registration then fails and says so in the journal.
  if (lock.Acquire(lockPath, timeout) == CRunLock::Result::Busy) {
    std::fprintf(stderr,
                 "updater : une autre conversion utilise les sources de données TQ2TMP et TQ2TMPSRC "
                 "(verrou %s) ; abandon après %d s d'attente.\n",
                 lockPath.c_str(), timeout);
    return 0;
  }

  const DbVersion detected = DetectDbVersion(strSource);
  if (detected == 0) return 0;
  if (detected == kDbVersion253) {
    // Already converted: nothing to do but the copy a different destination
    // asked for. The summary dialog is not shown for such a run.
    const bool inPlace = strDest.IsEmpty() || strDest == strSource || IsSameFile(strDest, strSource);
    if (!inPlace && !PrepareDestinationFile(detected, strSource, strDest)) return 0;
    g_bDebug = 0;
    return detected;
  }
  if (!PrepareDestinationFile(detected, strSource, strDest)) return 0;
  return RunChain(detected, strDest, strTemplateDir);
}
