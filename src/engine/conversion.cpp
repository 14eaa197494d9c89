#include "engine/conversion.h"

#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <functional>
#include <new>

#include "engine/access_source.h"
#include "engine/detection.h"
#include "engine/resume_note.h"
#include "engine/unfinished_mark.h"
#include "framework/data_source.h"
#include "framework/step_phases.h"
#include "jetdb/jetdb.h"
#include "platform/file_copy.h"
#include "platform/file_stamp.h"
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
    // Without Debug there is no journal: the user must hear that the file
    // was swapped.
    SayLine(stderr,
            "reprise d'une conversion inachevée : %s est rétablie depuis %s ; la base inachevée est gardée dans %s",
            strSource.GetString(), resume.backup.GetString(), unfinished.c_str());
  }
  unlink(resume.note);
  return true;
}

// The steps of an in-place run, under the note that lets a later run put
// the backup back (resume_note.h). No note may stay once nothing was
// converted: the source is then the user's file as it was, and the user
// may go on working on it.
DbVersion RunStepsInPlace(const ConversionPlan& plan, const CString& strDest) {
  const CString& source = plan.source;
  ResumeNote note;
  note.backup = plan.backup;
  note.backupStamp = StampOf(plan.backup.str());
  if (!note.backupStamp.valid || !StampOf(source.str()).valid || !WriteResumeNote(source, note)) {
    NoteFailure("impossible d'écrire la note de reprise %s ; rien n'a été converti",
                ResumeNotePath(source).GetString());
    return kDbVersionNone;
  }
  CString why;
  if (!SetUnfinishedMark(source, plan.backup, why)) {
    unlink(ResumeNotePath(source));
    NoteFailure("la base %s n'a pas pu être marquée en cours de conversion : %s ; rien n'a été converti",
                source.GetString(), why.GetString());
    return kDbVersionNone;
  }
  const FileStamp before = StampOf(source.str());
  const DbVersion reached = RunSteps(plan.steps, strDest);
  const FileStamp after = StampOf(source.str());
  if (reached != kDbVersionNone || after.SameFile(before)) {
    // The mark goes before the note: a kill between the two leaves a note
    // that a later run trusts, never a mark without one.
    if (!ClearUnfinishedMark(source, why))
      SayLine(stderr, "la marque de conversion en cours n'a pas pu être ôtée de %s : %s", source.GetString(),
              why.GetString());
    unlink(ResumeNotePath(source));
  } else {
    note.left = after;
    WriteResumeNote(source, note);
  }
  return reached;
}

// A real Access source (access_source.h): its import is detected as any
// database, put in place of the source (the Access file becoming the
// backup) or at the destination, then converted.
// Whether the file detected as `detected` is still the one the plan was
// made for, and sound; says why not.
bool StillAsPlanned(const ConversionPlan& plan, DbVersion detected) {
  if (detected == kDbVersionNone) return false;
  if (detected != plan.version) {
    // The file changed between the plan and now: what was planned for it
    // no longer holds.
    NoteFailure("la base %s a changé pendant la préparation de la conversion", plan.source.GetString());
    return false;
  }
  if (!plan.damage.IsEmpty()) {
    ReportDamage(plan.source, plan.damage);
    return false;
  }
  return true;
}

DbVersion ExecuteAccess(const ConversionPlan& plan, CString& strDest, CString& strBackup) {
  const CString& source = plan.source;
  const AccessSource& access = *plan.access;
  JournalFormat("Base source : fichier Access (%s), importée avant la conversion : %s\n", access.kind.GetString(),
                source.GetString());
  if (!access.refusal.IsEmpty() || plan.version == kDbVersionNone) {
    JournalFormat("ERREUR : %s.\n", plan.refusal.GetString());
    NoteFailure("%s", plan.refusal.GetString());
    return 0;
  }
  // The file imported is the source as it is now (after a resume, the
  // backup put back): else what was planned for it no longer holds.
  const FileStamp now = StampOf(source.str());
  if (!now.valid || now.size != access.stamp.size || now.sum != access.stamp.sum) {
    NoteFailure("la base %s a changé pendant la préparation de la conversion", source.GetString());
    return 0;
  }
  JournalFormat("Import : %zu tables, %zu lignes\n", access.tables, access.rows);
  for (const CString& line : access.notCarried) {
    JournalFormat("Non repris par l'import : %s\n", line.GetString());
    // Without Debug there is no journal: what the database lost is said.
    SayLine(stderr, "import de %s : non repris : %s", source.GetString(), line.GetString());
  }
  const DbVersion detected = DetectDbVersion(access.imported);
  if (!StillAsPlanned(plan, detected)) return 0;
  if (!plan.inPlace) {
    if (!PutImportedAt(access, strDest, plan.version != ChainTarget())) {
      JournalFormat("ATTENTION : impossible de creer le fichier de destination : %s\n", strDest.GetString());
      return 0;
    }
    JournalFormat("Fichier à mettre à jour : %s\n", strDest.GetString());
    if (plan.version == ChainTarget()) return detected;
    return RunSteps(plan.steps, strDest, true);
  }
  if (!PutImportedInPlace(access, plan.backup)) {
    JournalFormat("ATTENTION : impossible de copier le fichier de sauvegarde : %s\n", plan.backup.GetString());
    return 0;
  }
  // The Access file is the original under the backup's name, whatever
  // follows.
  strBackup = plan.backup;
  JournalFormat("Fichier de sauvegarde (le fichier Access d'origine) : %s\n", plan.backup.GetString());
  strDest = source;
  JournalFormat("Fichier à mettre à jour : %s\n", strDest.GetString());
  if (plan.version == ChainTarget()) return detected;
  return RunStepsInPlace(plan, strDest);
}

// Carries the plan out. Every decision is the plan's; what can still go
// wrong (a refused registration or copy, a step) says so on the way.
DbVersion Execute(const ConversionPlan& plan, CString& strDest, CString& strBackup) {
  const CString& source = plan.source;
  if (!plan.resume.passedOver.IsEmpty()) SayLine(stderr, "%s", plan.resume.passedOver.GetString());
  if (!plan.resume.refusal.IsEmpty()) {
    NoteFailure("%s", plan.resume.refusal.GetString());
    return 0;
  }
  if (!plan.resume.note.IsEmpty() && !Resume(plan.resume, source)) return 0;
  if (plan.access) return ExecuteAccess(plan, strDest, strBackup);
  const DbVersion detected = DetectDbVersion(source);
  if (!StillAsPlanned(plan, detected)) return 0;
  if (plan.version == ChainTarget()) {
    // Already converted: nothing to do but the copy a different destination
    // asked for. The summary dialog is not shown for such a run.
    if (!plan.inPlace && !PrepareDestinationFile(detected, source, strDest, plan.backup)) return 0;
    g_bDebug = 0;
    return detected;
  }
  if (!PrepareDestinationFile(detected, source, strDest, plan.backup)) return 0;
  if (!plan.inPlace) return RunSteps(plan.steps, strDest, true);
  // Until the run ends converted, the note names the backup that holds
  // the database as it was (see PlannedResume).
  strBackup = plan.backup;
  return RunStepsInPlace(plan, strDest);
}

// Takes one of the run's locks, saying on standard error for whom and how
// long a busy one is waited for; false, with the failure noted, when the
// run must not go on. `busy` words the failure after the wait.
bool TakeLock(CRunLock& lock, const std::string& path, int timeout, const CString& busy) {
  const auto tell = [&](const std::string& holder) {
    SayLine(stderr, "attente du verrou %s, tenu par %s ; %d s au plus", path.c_str(),
            holder.empty() ? "une autre conversion" : holder.c_str(), timeout);
  };
  switch (lock.Acquire(path, timeout, tell)) {
    case CRunLock::Result::Busy:
      NoteFailure("%s ; abandon après %d s d'attente", busy.GetString(), timeout);
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
  const int timeout = LockTimeoutSeconds();
  if (!TakeLock(lock, DataSourceLockPath(), timeout, DataSourcesBusyReason())) return 0;
  if (lock.IsHeld()) {
    RemoveStaleDataSources();
    // Where unnamed files are missing, a killed copy leaves its temporary.
    RemoveCopyLeftoversBeside(strSource);
    if (!strDest.IsEmpty()) RemoveCopyLeftoversBeside(strDest);
    // And a killed import, its private folder.
    RemoveImportLeftoversBeside(strSource, strSource);
    if (!strDest.IsEmpty()) RemoveImportLeftoversBeside(strDest, strSource);
  }
  // Both refusals come before the file's lock and the journal, which would
  // be written beside the file.
  const bool inPlace = IsInPlace(strSource, strDest);
  const CString& written = inPlace ? strSource : strDest;
  if (const CString why = BlankEdgedPathReason(written); !why.IsEmpty()) {
    NoteFailure("%s ; rien n'a été écrit", why.GetString());
    return 0;
  }
  // A relative DEST= lands in the template folder, and converting a
  // template would feed the user's data to every later conversion.
  if (const CString hit = WrittenTemplate(strSource, strDest, strTemplateDir); !hit.IsEmpty()) {
    JournalFormat("ERREUR : Le fichier à mettre à jour est une base modèle : %s\n", written.GetString());
    NoteFailure("%s ; rien n'a été écrit", TemplateReason(written, hit).GetString());
    return 0;
  }
  // That lock belongs to one data-source file: runs with settings of their
  // own would still write one database at once, each step over the other's.
  CRunLock fileLock;
  if (!TakeLock(fileLock, FileLockPath(written), timeout, FileBusyReason(written))) return 0;
  // Only now may the journal be emptied: a run that waited in vain, or was
  // refused, leaves the last run's journal as it was.
  if (onLocked) onLocked();
  LockState locks;
  locks.fileLockHeld = fileLock.IsHeld();
  return Execute(PlanConversion(strSource, strDest, strTemplateDir, locks, FolderOf(written.str()).c_str()), strDest,
                 strBackup);
}

}  // namespace

DbVersion RunSteps(const std::vector<PlannedStep>& steps, const CString& strDest, bool onOwnCopy) {
  // Each step opens and closes its own connections to the file. Were each
  // close the last, the file would go from its log back to a rollback
  // journal and the next open would switch again, a dozen waits on the disk
  // a step. Once the first step is done, this connection, which runs
  // nothing, keeps the log open for the rest of the chain: the later
  // steps' commits stay in it, and each of them but the last is made
  // durable there with one sync of the log. The keeper's close, the last
  // one, leaves the file whole in one file as every last close does. On
  // the user's own file it opens only after the first step, so that a run
  // whose first step fails has changed no byte it did not write (see
  // RunStepsInPlace); on a copy of the run's own it opens before, which
  // spares the first step's close the switch back and the keeper's open
  // the switch again. When it cannot open, the steps run as without it.
  std::unique_ptr<jetdb::Database> keeper;
  const auto keep = [&] {
    jetdb::Error unopened;
    keeper = jetdb::Database::open(strDest.str(), jetdb::OpenMode::Existing, unopened);
  };
  if (onOwnCopy && steps.size() > 1) keep();
  DbVersion reached = kDbVersionNone;
  for (const PlannedStep& planned : steps) {
    if (!RunStep(strDest, *planned.step, planned.templatePath)) {
      // The step's own reason says why; which step it was says where.
      const CString why = FailureReason();
      CString reason;
      reason.Format("échec de « %s »%s%s%s", StepTitle(*planned.step).GetString(), why.IsEmpty() ? "" : " : ",
                    why.GetString(), g_pJournal != nullptr ? " (voir le journal)" : "");
      OverrideFailure(reason);
      return kDbVersionNone;
    }
    reached = planned.step->to.code;
    if (&planned == &steps.back()) break;
    if (!keeper) {
      keep();
    } else {
      // A sync the disk refuses leaves the step's commits in the log, as
      // they were: the next step's durable point, or the last close, syncs
      // them with its own.
      keeper->makeDurable();
    }
  }
  return reached;
}

DbVersion RunConversion(const CString& strSource, CString& strDest, const CString& strTemplateDir, CString* pBackup,
                        const std::function<void()>& onLocked) {
  ClearFailure();
  CString backup;
  DbVersion reached = kDbVersionNone;
  try {
    reached = Convert(strSource, strDest, strTemplateDir, backup, onLocked);
  } catch (const std::bad_alloc&) {
    // The locks are released on the way out; the failure is reported as
    // any other, with the backup named.
    NoteFailure("%s", kOutOfMemoryReason);
  }
  if (pBackup != nullptr) *pBackup = backup;
  if (reached == 0 && InterruptSignal() != 0) {
    CString reason;
    reason.Format("conversion interrompue par le signal %s", SignalName(InterruptSignal()));
    OverrideFailure(reason);
  }
  if (reached == 0 && !backup.IsEmpty()) {
    // The source is half converted: without Debug there is no journal to
    // say where the database as it was now lies.
    const CString cause = FailureReason().IsEmpty() ? CString("aucune version atteinte") : FailureReason();
    CString reason;
    reason.Format("%s ; la base d'origine est conservée dans %s", cause.GetString(), backup.GetString());
    OverrideFailure(reason);
  }
  return reached;
}
