#include "engine/conversion.h"

#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <functional>

#include "engine/detection.h"
#include "framework/data_source.h"
#include "framework/step_table.h"
#include "framework/version_table.h"
#include "platform/file_copy.h"
#include "platform/interrupt.h"
#include "platform/odbc_installer.h"
#include "platform/run_lock.h"
#include "platform/settings_file.h"
#include "recordsets/data_sources.h"
#include "shell/failure.h"
#include "shell/journal.h"
#include "steps/chain.h"

namespace {

int LockTimeout() {
  const char* text = std::getenv("UPDATER_LOCK_TIMEOUT");
  if (text == nullptr || *text == '\0') return kDefaultLockTimeoutSeconds;
  return std::atoi(text);
}

const char* SignalName(int signal) {
  switch (signal) {
    case SIGINT:
      return "SIGINT";
    case SIGTERM:
      return "SIGTERM";
    case SIGHUP:
      return "SIGHUP";
    default:
      return "?";
  }
}

// A killed run could not remove its data sources (they name files of that
// run, which this one must not reach by mistake), nor the copy of the
// data-source file it was writing.
void RemoveStaleDataSources() {
  RemoveStaleDataSourceCopies();
  RemoveDataSource(kConvertedDataSource, "");
  RemoveDataSource(kTemplateDataSource, "");
}

// A relative DEST= lands in the template folder, and converting a template
// would feed the user's data to every later conversion.
bool WritesATemplate(const CString& strSource, const CString& strDest, const CString& strTemplateDir) {
  const CString templatePath = WrittenTemplate(strSource, strDest, strTemplateDir);
  if (templatePath.IsEmpty()) return false;
  const CString& written = IsInPlace(strSource, strDest) ? strSource : strDest;
  JournalFormat("ERREUR : Le fichier à mettre à jour est une base modèle : %s\n", written.GetString());
  NoteFailure("le fichier à mettre à jour %s est la base modèle %s ; rien n'a été écrit", written.GetString(),
              templatePath.GetString());
  return true;
}

// A step half done cannot run again, and an in-place run changes the source
// step by step. Until a run ends converted, a note beside the source names
// the backup that holds the database as it was, and the next run starts
// again from that backup instead of from a half-converted source, whether
// the last one failed or was killed.
CString ResumeNotePath(const CString& strSource) { return strSource + ".reprise"; }

// The first free name beside the source for the file an unfinished run
// left: SOURCE.inachevee, then SOURCE.inachevee.1, ...
CString FreeUnfinishedPath(const CString& strSource) {
  const CString first = strSource + ".inachevee";
  CString path = first;
  for (int n = 1; NameTaken(path); ++n) path.Format("%s.%d", first.GetString(), n);
  return path;
}

// The logs SQLite keeps beside a database: a writer killed on the way
// leaves its last commits in them.
constexpr const char* kLogSuffixes[] = {"-wal", "-shm", "-journal"};

// Moves a database with its logs, as they are: a half-converted file may
// hold a live log that no read-only snapshot could take.
bool MoveWithLogs(const std::string& from, const std::string& to) {
  if (std::rename(from.c_str(), to.c_str()) != 0) return false;
  for (const char* suffix : kLogSuffixes)
    if (PathExists((from + suffix).c_str())) std::rename((from + suffix).c_str(), (to + suffix).c_str());
  return true;
}

// False when a half-converted source could not be put back as it was.
// The file being replaced is moved aside, not deleted: the note cannot tell
// a file the last run left half converted from one the user has worked on
// since (put back by hand, then used), and nothing a user wrote may be lost.
bool RestoreFromBackup(const CString& strSource) {
  const std::string note = ResumeNotePath(strSource).str();
  const SettingsText text = ReadSettingsFile(note);
  if (text.state != SettingsText::State::Read) return true;
  const std::string backup = text.text.substr(0, text.text.find('\n'));
  // A backup the user removed means the user kept the source as it is.
  if (!backup.empty() && PathExists(backup.c_str())) {
    const std::string source = strSource.str();
    const std::string unfinished = FreeUnfinishedPath(strSource).str();
    const bool moved = MoveWithLogs(source, unfinished);
    if (!moved || !CopyFileA(backup.c_str(), strSource, TRUE)) {
      // The user's file goes back where it was, whatever it holds.
      if (moved) MoveWithLogs(unfinished, source);
      NoteFailure("la base %s est à moitié convertie et n'a pas pu être rétablie depuis %s", strSource.GetString(),
                  backup.c_str());
      return false;
    }
    JournalFormat(
        "Reprise après une conversion inachevée : base rétablie depuis %s ; la base inachevée est gardée dans %s\n",
        backup.c_str(), unfinished.c_str());
  }
  unlink(note.c_str());
  return true;
}

// Takes one of the run's locks, saying on standard error for whom and how
// long a busy one is waited for; false, with the failure noted, when the
// run must not go on. `busy` words the failure after the wait.
bool TakeLock(CRunLock& lock, const std::string& path, int timeout, const CString& busy) {
  const auto tell = [&](const std::string& holder) {
    std::fprintf(stderr, "updater : attente du verrou %s, tenu par %s ; %d s au plus.\n", path.c_str(),
                 holder.empty() ? "une autre conversion" : holder.c_str(), timeout);
  };
  switch (lock.Acquire(path, timeout, tell)) {
    case CRunLock::Result::Busy:
      NoteFailure("%s (verrou %s) ; abandon après %d s d'attente", busy.GetString(), path.c_str(), timeout);
      return false;
    case CRunLock::Result::Refused:
      NoteFailure("le verrou %s est un lien ou un fichier spécial que ce programme n'a pas créé ; il n'est pas "
                  "suivi et rien n'a été converti",
                  path.c_str());
      return false;
    case CRunLock::Result::Held:
    case CRunLock::Result::Unavailable:
      // Where no lock file can be made no data source can be registered
      // either; the registration then fails and says so.
      return true;
  }
  return true;
}

DbVersion Convert(const CString& strSource, CString& strDest, const CString& strTemplateDir, CString& strBackup,
                  const std::function<void()>& onLocked) {
  // The data sources have fixed names: two runs at once would point them at
  // each other's files. One run at a time holds them.
  CRunLock lock;
  const std::string lockPath = DataSourceLockPath();
  const int timeout = LockTimeout();
  if (!TakeLock(lock, lockPath, timeout, "une autre conversion utilise les sources de données TQ2TMP et TQ2TMPSRC"))
    return 0;
  if (lock.IsHeld()) {
    RemoveStaleDataSources();
    // Where unnamed files are missing, a killed copy leaves its temporary.
    RemoveCopyLeftoversBeside(strSource);
    if (!strDest.IsEmpty()) RemoveCopyLeftoversBeside(strDest);
  }
  // Refused before the journal is opened: nothing is written beside the
  // templates.
  if (WritesATemplate(strSource, strDest, strTemplateDir)) return 0;
  const bool inPlace = IsInPlace(strSource, strDest);
  // That lock belongs to one data-source file: runs with settings of their
  // own would still write one database at once, each step over the other's.
  CRunLock fileLock;
  const std::string fileLockPath = (inPlace ? strSource : strDest).str() + ".lock";
  CString busy;
  busy.Format("une autre conversion écrit déjà %s", (inPlace ? strSource : strDest).GetString());
  if (!TakeLock(fileLock, fileLockPath, timeout, busy)) return 0;
  // Only now may the journal be emptied: a run that waited in vain, or was
  // refused, leaves the last run's journal as it was.
  if (onLocked) onLocked();
  if (inPlace && fileLock.IsHeld() && !RestoreFromBackup(strSource)) return 0;

  const DbVersion detected = DetectDbVersion(strSource);
  if (detected == 0 || !IsSoundDatabase(strSource)) return 0;
  if (detected == kDbVersion253) {
    // Already converted: nothing to do but the copy a different destination
    // asked for. The summary dialog is not shown for such a run.
    if (!IsInPlace(strSource, strDest) && !PrepareDestinationFile(detected, strSource, strDest)) return 0;
    g_bDebug = 0;
    return detected;
  }
  if (!PrepareDestinationFile(detected, strSource, strDest, &strBackup)) return 0;
  const CString note = inPlace ? ResumeNotePath(strSource) : CString();
  if (inPlace) ReplaceSettingsFile(note.str(), strBackup.str() + "\n");
  const DbVersion reached = RunChain(detected, strDest, strTemplateDir);
  if (reached != 0 && inPlace) unlink(note);
  return reached;
}

}  // namespace

std::vector<const ChainLink*> PlannedLinks(DbVersion nVersion) {
  // Each link is tried against the version that the links before it reach,
  // so one run goes through every step from the detected version on.
  std::vector<const ChainLink*> links;
  for (const ChainLink& link : ChainLinks()) {
    nVersion = ConvertedAs(nVersion);
    if (nVersion != link.from) continue;
    links.push_back(&link);
    nVersion = StepConstantsFrom(link.from).to;
  }
  return links;
}

DbVersion RunChain(DbVersion nVersion, CString& strDest, const CString& strTemplateDir) {
  nVersion = ConvertedAs(nVersion);
  for (const ChainLink* link : PlannedLinks(nVersion)) {
    const StepConstants& k = StepConstantsFrom(link->from);
    if (!link->run(strDest, strTemplateDir)) {
      CString step(k.journalLine);
      step.TrimRight();
      // The step's own reason says why; which step it was says where. A
      // driver message ends its own sentence.
      CString why = FailureReason();
      if (why.Right(1) == ".") why = why.Left(why.GetLength() - 1);
      CString reason;
      reason.Format("échec de « %s »%s%s%s", step.GetString(), why.IsEmpty() ? "" : " : ", why.GetString(),
                    g_pJournal != nullptr ? " (voir le journal)" : "");
      OverrideFailure(reason);
      return 0;
    }
    nVersion = k.to;
  }
  return nVersion;
}

DbVersion RunConversion(const CString& strSource, CString& strDest, const CString& strTemplateDir, CString* pBackup,
                        const std::function<void()>& onLocked) {
  ClearFailure();
  CString backup;
  const DbVersion reached = Convert(strSource, strDest, strTemplateDir, backup, onLocked);
  if (pBackup != nullptr) *pBackup = backup;
  if (reached == 0 && InterruptSignal() != 0) {
    CString reason;
    reason.Format("conversion interrompue par le signal %s", SignalName(InterruptSignal()));
    OverrideFailure(reason);
  }
  if (reached == 0 && !backup.IsEmpty()) {
    // The source is half converted: without Debug there is no journal to
    // say where the database as it was now lies.
    // A driver message noted as the reason ends its own sentence.
    CString cause = FailureReason().IsEmpty() ? CString("aucune version atteinte") : FailureReason();
    if (cause.Right(1) == ".") cause = cause.Left(cause.GetLength() - 1);
    CString reason;
    reason.Format("%s ; la base d'origine est conservée dans %s", cause.GetString(), backup.GetString());
    OverrideFailure(reason);
  }
  return reached;
}
