#include "engine/conversion.h"

#include <unistd.h>

#include <csignal>
#include <cstdio>

#include "engine/detection.h"
#include "framework/data_source.h"
#include "framework/step_phases.h"
#include "platform/file_copy.h"
#include "platform/interrupt.h"
#include "platform/odbc_installer.h"
#include "platform/run_lock.h"
#include "platform/settings_file.h"
#include "recordsets/data_sources.h"
#include "shell/failure.h"
#include "shell/journal.h"
#include "steps/versions.h"

namespace {

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

// Puts the planned backup back over a half-converted source, and drops the
// note. The file being replaced is moved aside, not deleted: nothing a user
// wrote may be lost. False when the source could not be put back as it was.
bool Resume(const PlannedResume& resume, const CString& strSource) {
  if (!resume.backup.IsEmpty()) {
    const std::string source = strSource.str();
    const std::string unfinished = resume.unfinished.str();
    const bool moved = MoveWithLogs(source, unfinished);
    if (!moved || !CopyFileA(resume.backup, strSource, TRUE)) {
      // The user's file goes back where it was, whatever it holds.
      if (moved) MoveWithLogs(unfinished, source);
      NoteFailure("la base %s est à moitié convertie et n'a pas pu être rétablie depuis %s", strSource.GetString(),
                  resume.backup.GetString());
      return false;
    }
    JournalFormat(
        "Reprise après une conversion inachevée : base rétablie depuis %s ; la base inachevée est gardée dans %s\n",
        resume.backup.GetString(), unfinished.c_str());
  }
  unlink(resume.note);
  return true;
}

// Carries the plan out. Every decision is the plan's; what can still go
// wrong (a refused registration or copy, a step) says so on the way.
DbVersion Execute(const ConversionPlan& plan, CString& strDest, CString& strBackup) {
  const CString& source = plan.source;
  if (!plan.resume.note.IsEmpty() && !Resume(plan.resume, source)) return 0;
  const DbVersion detected = DetectDbVersion(source);
  if (detected == kDbVersionNone) return 0;
  if (detected != plan.version) {
    // The file changed between the plan and now: what was planned for it
    // no longer holds.
    NoteFailure("la base %s a changé pendant la préparation de la conversion", source.GetString());
    return 0;
  }
  if (!plan.damage.IsEmpty()) {
    ReportDamage(source, plan.damage);
    return 0;
  }
  if (plan.version == ChainTarget()) {
    // Already converted: nothing to do but the copy a different destination
    // asked for. The summary dialog is not shown for such a run.
    if (!plan.inPlace && !PrepareDestinationFile(detected, source, strDest, plan.backup)) return 0;
    g_bDebug = 0;
    return detected;
  }
  if (!PrepareDestinationFile(detected, source, strDest, plan.backup)) return 0;
  if (!plan.inPlace) return RunSteps(plan.steps, strDest);
  // Until the run ends converted, the note names the backup that holds
  // the database as it was (see PlannedResume).
  strBackup = plan.backup;
  const CString note = ResumeNotePath(source);
  ReplaceSettingsFile(note.str(), strBackup.str() + "\n");
  const DbVersion reached = RunSteps(plan.steps, strDest);
  if (reached != kDbVersionNone) unlink(note);
  return reached;
}

DbVersion Convert(const CString& strSource, CString& strDest, const CString& strTemplateDir, CString& strBackup) {
  // The data sources have fixed names: two runs at once would point them at
  // each other's files. One run at a time holds them.
  CRunLock lock;
  const int timeout = LockTimeoutSeconds();
  // Where no lock file can be made no data source can be registered either;
  // the registration then fails and says so in the journal.
  if (lock.Acquire(DataSourceLockPath(), timeout) == CRunLock::Result::Busy) {
    NoteFailure("%s ; abandon après %d s d'attente", DataSourcesBusyReason().GetString(), timeout);
    return 0;
  }
  if (lock.IsHeld()) {
    RemoveStaleDataSources();
    // Where unnamed files are missing, a killed copy leaves its temporary.
    RemoveCopyLeftoversBeside(strSource);
    if (!strDest.IsEmpty()) RemoveCopyLeftoversBeside(strDest);
  }
  // A relative DEST= lands in the template folder, and converting a
  // template would feed the user's data to every later conversion. Checked
  // before the file's lock, which would be written beside it.
  const bool inPlace = IsInPlace(strSource, strDest);
  const CString& written = inPlace ? strSource : strDest;
  if (const CString hit = WrittenTemplate(strSource, strDest, strTemplateDir); !hit.IsEmpty()) {
    JournalFormat("ERREUR : Le fichier à mettre à jour est une base modèle : %s\n", written.GetString());
    NoteFailure("%s ; rien n'a été écrit", TemplateReason(written, hit).GetString());
    return 0;
  }
  // That lock belongs to one data-source file: runs with settings of their
  // own would still write one database at once, each step over the other's.
  CRunLock fileLock;
  if (fileLock.Acquire(FileLockPath(written), timeout) == CRunLock::Result::Busy) {
    NoteFailure("%s ; abandon après %d s d'attente", FileBusyReason(written).GetString(), timeout);
    return 0;
  }
  LockState locks;
  locks.fileLockHeld = fileLock.IsHeld();
  return Execute(PlanConversion(strSource, strDest, strTemplateDir, locks), strDest, strBackup);
}

}  // namespace

DbVersion RunSteps(const std::vector<PlannedStep>& steps, const CString& strDest) {
  DbVersion reached = kDbVersionNone;
  for (const PlannedStep& planned : steps) {
    if (!RunStep(strDest, *planned.step, planned.templatePath)) {
      // The step's own reason says why; which step it was says where. A
      // driver message ends its own sentence.
      CString why = FailureReason();
      if (why.Right(1) == ".") why = why.Left(why.GetLength() - 1);
      CString reason;
      reason.Format("échec de « %s »%s%s%s", StepTitle(*planned.step).GetString(), why.IsEmpty() ? "" : " : ",
                    why.GetString(), g_pJournal != nullptr ? " (voir le journal)" : "");
      OverrideFailure(reason);
      return kDbVersionNone;
    }
    reached = planned.step->to.code;
  }
  return reached;
}

DbVersion RunConversion(const CString& strSource, CString& strDest, const CString& strTemplateDir, CString* pBackup) {
  ClearFailure();
  CString backup;
  const DbVersion reached = Convert(strSource, strDest, strTemplateDir, backup);
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
