#include "engine/plan.h"

#include <unistd.h>

#include <cstdlib>

#include "engine/access_source.h"
#include "engine/detection.h"
#include "engine/resume_note.h"
#include "engine/unfinished_mark.h"
#include "framework/data_source.h"
#include "framework/step_phases.h"
#include "platform/connect_string.h"
#include "platform/database.h"
#include "platform/file_copy.h"
#include "platform/file_stamp.h"
#include "platform/run_lock.h"
#include "platform/settings_file.h"
#include "steps/versions.h"

namespace {

bool FolderIsWritable(const CString& file) { return access(FolderOf(file.GetString()).c_str(), W_OK) == 0; }

// The run copies into this folder (destination or backup) before any step.
CString UnwritableFolder(const CString& file) {
  if (FolderIsWritable(file)) return CString();
  CString reason;
  reason.Format("le dossier %s n'est pas accessible en écriture", FolderOf(file.GetString()).c_str());
  return reason;
}

PlannedStep CheckTemplate(const ConversionStep& step, const CString& strTemplateDir) {
  PlannedStep planned;
  planned.step = &step;
  planned.templatePath = TemplatePath(strTemplateDir, step);
  planned.templateExists = PathExists(planned.templatePath);
  if (!planned.templateExists) return planned;
  try {
    CDatabase db;
    db.OpenEx(FileConnectString(planned.templatePath.GetString()).c_str(), CDatabase::openReadOnly);
  } catch (CDBException& e) {
    planned.templateError = e.m_strError.IsEmpty() ? CString("erreur du pilote") : e.m_strError;
  }
  return planned;
}

// The first free name beside the source for the file an unfinished run
// left: SOURCE.inachevee, then SOURCE.inachevee.1, ...
CString FreeUnfinishedPath(const CString& strSource) {
  const CString first = strSource + ".inachevee";
  CString path = first;
  for (int n = 1; NameTaken(path); ++n) path.Format("%s.%d", first.GetString(), n);
  return path;
}

}  // namespace

std::string FileLockPath(const CString& strWritten) { return strWritten.str() + ".lock"; }

CString DataSourcesBusyReason() {
  CString reason;
  reason.Format("une autre conversion utilise les sources de données TQ2TMP et TQ2TMPSRC (verrou %s)",
                DataSourceLockPath().c_str());
  return reason;
}

CString FileBusyReason(const CString& strWritten) {
  CString reason;
  reason.Format("une autre conversion écrit déjà %s (verrou %s)", strWritten.GetString(),
                FileLockPath(strWritten).c_str());
  return reason;
}

int LockTimeoutSeconds() {
  const char* text = std::getenv("UPDATER_LOCK_TIMEOUT");
  if (text == nullptr || *text == '\0') return kDefaultLockTimeoutSeconds;
  return std::atoi(text);
}

CString TemplateReason(const CString& strWritten, const CString& strTemplate) {
  CString reason;
  reason.Format("le fichier à mettre à jour %s est la base modèle %s", strWritten.GetString(),
                strTemplate.GetString());
  return reason;
}

CString BlankEdgedPathReason(const CString& strWritten) {
  const std::string& path = strWritten.str();
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  if (path.empty() || (!blank(path.front()) && !blank(path.back()))) return {};
  CString reason;
  reason.Format("le chemin « %s » commence ou finit par un blanc, que la source de données ODBC ne garde pas "
                "(un autre fichier serait converti) : renommez le fichier ou donnez une destination",
                strWritten.GetString());
  return reason;
}

CString ResumeNotePath(const CString& strSource) { return strSource + ".reprise"; }

LockState ProbeLocks(const CString& strSource, const CString& strDest) {
  const CString& strWritten = IsInPlace(strSource, strDest) ? strSource : strDest;
  LockState locks;
  locks.dataSourcesBusy = CRunLock::IsHeldElsewhere(DataSourceLockPath());
  locks.fileBusy = CRunLock::IsHeldElsewhere(FileLockPath(strWritten));
  // The lock file is made beside the file: where it cannot be, the run goes
  // on without it.
  locks.fileLockHeld = !locks.fileBusy && FolderIsWritable(strWritten);
  return locks;
}

PlannedResume PlanResume(const CString& strSource) {
  PlannedResume resume;
  const FoundNote found = ReadResumeNote(strSource);
  resume.passedOver = found.passedOver;
  if (!found.note) {
    // Without a note to trust, the file may still say it is half converted.
    if (const auto backup = UnfinishedMark(strSource)) resume.refusal = UnfinishedWithoutNoteReason(strSource, *backup);
    return resume;
  }
  const ResumeNote& note = *found.note;
  resume.note = ResumeNotePath(strSource);
  resume.refusal = BackupProblem(strSource, note);
  if (!resume.refusal.IsEmpty()) {
    resume.refusal += " ; aucun fichier n'est changé";
    return resume;
  }
  // A backup the user removed means the user kept the source as it is.
  if (!PathExists(note.backup)) return resume;
  // Work the user did since the failed run is never put aside for the backup.
  if (note.left && !StampOf(strSource.str()).SameFile(*note.left)) {
    resume.refusal.Format(
        "la base %s a changé depuis la conversion inachevée qui l'a laissée : elle n'est pas remplacée par la "
        "sauvegarde %s et aucun fichier n'est changé (supprimez %s pour la convertir telle qu'elle est)",
        strSource.GetString(), note.backup.GetString(), resume.note.GetString());
    return resume;
  }
  resume.backup = note.backup;
  resume.unfinished = FreeUnfinishedPath(strSource);
  return resume;
}

std::vector<PlannedStep> PlanSteps(DbVersion nVersion, const CString& strTemplateDir) {
  std::vector<PlannedStep> steps;
  for (const ConversionStep* step : StepsFrom(nVersion)) steps.push_back(CheckTemplate(*step, strTemplateDir));
  return steps;
}

ConversionPlan PlanConversion(const CString& strSource, const CString& strDest, const CString& strTemplateDir,
                              const LockState& locks, const CString& strImportBeside) {
  ConversionPlan plan;
  plan.source = strSource;
  plan.inPlace = IsInPlace(strSource, strDest);
  plan.written = plan.inPlace ? strSource : strDest;
  plan.writtenExists = PathExists(plan.written);
  if (locks.dataSourcesBusy) {
    plan.refusal = DataSourcesBusyReason();
    return plan;
  }
  plan.refusal = BlankEdgedPathReason(plan.written);
  if (!plan.refusal.IsEmpty()) return plan;
  plan.writtenTemplate = WrittenTemplate(strSource, strDest, strTemplateDir);
  if (!plan.writtenTemplate.IsEmpty()) {
    plan.refusal = TemplateReason(plan.written, plan.writtenTemplate);
    return plan;
  }
  if (locks.fileBusy) {
    plan.refusal = FileBusyReason(plan.written);
    return plan;
  }
  if (plan.inPlace && locks.fileLockHeld) plan.resume = PlanResume(strSource);
  if (!plan.resume.refusal.IsEmpty()) {
    plan.refusal = plan.resume.refusal;
    return plan;
  }
  plan.versionFile = plan.resume.backup.IsEmpty() ? strSource : plan.resume.backup;
  if (ReadAccessHeader(plan.versionFile).access) {
    auto access = ImportAccessSource(plan.versionFile, strSource, strImportBeside);
    plan.access = access;
    if (!access->refusal.IsEmpty()) {
      plan.refusal = access->refusal;
      return plan;
    }
  }
  // The same detection for an imported file as for one of ours.
  const CString& detected = plan.access ? plan.access->imported : plan.versionFile;
  plan.version = PeekDbVersion(detected, plan.refusal);
  if (plan.version == kDbVersionNone) {
    if (plan.access) plan.refusal = NotToquelinReason(*plan.access);
    return plan;
  }
  plan.damage = FindDamage(detected);
  if (!plan.damage.IsEmpty()) {
    plan.refusal = DamageReason(plan.versionFile, plan.damage);
    return plan;
  }
  plan.reached = plan.version;
  // An Access file at the last version is still brought into our format.
  if (plan.version == ChainTarget() && !plan.access) {
    // Already converted: only a different destination gets a copy; in
    // place nothing is written at all.
    if (!plan.inPlace) plan.refusal = UnwritableFolder(plan.written);
    return plan;
  }
  if (plan.inPlace)
    plan.backup = plan.access ? AccessBackupPath(strSource, PlainBackupPath(strSource, plan.version))
                              : FreeBackupPath(strSource, plan.version);
  // The copy would fail, and say so; the plan goes on to say the rest.
  plan.refusal = UnwritableFolder(plan.inPlace ? plan.backup : plan.written);
  plan.steps = PlanSteps(plan.version, strTemplateDir);
  if (!plan.steps.empty()) plan.reached = plan.steps.back().step->to.code;
  return plan;
}
