// Contract: what a run will do, decided once, in one place, and without
// doing any of it: the plan writes no file, registers no data source,
// journals nothing and notes no failure. `updater --info` prints it
// (app/dry_run.h); a run makes the same plan once it holds its locks and
// carries it out as it stands (conversion.h), so the two cannot part.
//
// In the order the run carries it out, the plan says:
//  - whether another run holds the data sources or writes the file: the run
//    waits for it, then gives up;
//  - whether the file to write is a template: refused before anything is
//    written;
//  - the resume: a half-converted source that an earlier in-place run left
//    is put back from its backup first (PlanResume);
//  - the version, read from the file that the run will detect: the source,
//    or the backup that the resume puts back; a real Access file is imported
//    first (access_source.h) and the version read from the imported rows;
//  - whether that file is damaged: refused;
//  - the destination that a copy of the source replaces, or, in place, the
//    free name of the backup written first;
//  - the steps in order, each with its template and whether that is there
//    and opens; the first that would fail;
//  - the version reached when every step succeeds.
// `refusal` says, in French, why no conversion would start at all.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "framework/conversion_step.h"
#include "platform/text.h"
#include "recordsets/db_version.h"

class AccessSource;

struct PlannedStep {
  const ConversionStep* step = nullptr;
  CString templatePath;
  bool templateExists = false;
  CString templateError;  // why it does not open read-only; empty when it opens

  // Whether the step would fail on its template.
  bool FailsOnTemplate() const { return !templateExists || !templateError.IsEmpty(); }
};

// An in-place run that does not end converted leaves a note beside the
// source naming the backup that holds the database as it was: a step half
// done cannot run again, and the note cannot tell a half-converted file from
// one the user has worked on since. The next in-place run puts that backup
// back first and keeps the file it replaces.
// Only a note and a backup that the database's owner (or the user running)
// wrote are acted on (resume_note.h); anything else at the note's name is
// passed over, and said.
struct PlannedResume {
  CString note;        // SOURCE.reprise when there is one to act on; else empty
  CString backup;      // the file put back; empty when the backup is gone (the note is only dropped)
  CString unfinished;  // where the file it replaces is kept: SOURCE.inachevee, .1, ...
  CString passedOver;  // why what holds the note's name is not trusted; empty when nothing or trusted
  CString refusal;     // why the source may not be put back (the backup or the source changed)
};

// What the plan knows of the locks that keep runs apart.
struct LockState {
  bool dataSourcesBusy = false;  // another run holds TQ2TMP and TQ2TMPSRC
  bool fileBusy = false;         // another run writes the same file
  bool fileLockHeld = true;      // this run holds (or could take) the file's lock
};

struct ConversionPlan {
  CString source;
  CString written;  // the file the steps convert: the destination, or the source in place
  bool inPlace = false;
  bool writtenExists = false;
  CString refusal;  // why no conversion would start; empty when one would
  CString writtenTemplate;  // the template that `written` is, when it is one
  PlannedResume resume;
  CString versionFile;  // the file whose version the run detects
  // When versionFile is a real Access file: its import, which the run
  // detects and puts in place of the source or at the destination.
  std::shared_ptr<const AccessSource> access;
  DbVersion version = kDbVersionNone;
  CString damage;  // what is damaged in it
  CString backup;  // in place: written before the steps
  std::vector<PlannedStep> steps;
  DbVersion reached = kDbVersionNone;  // when every step succeeds
};

// The plan of a run with these paths, and these locks. A real Access
// source is imported in a private folder made in strImportBeside (the
// folder of the file the run writes), or in the temporary folder when empty,
// so that a plan that writes nothing writes nothing beside the database.
ConversionPlan PlanConversion(const CString& strSource, const CString& strDest, const CString& strTemplateDir,
                              const LockState& locks, const CString& strImportBeside = CString());

// The locks as a run starting now would find them, read without taking them.
LockState ProbeLocks(const CString& strSource, const CString& strDest);

// The one decision about a resume (planned only for an in-place run that
// holds the file's lock): from the note beside the source, whether a backup
// is put back first.
PlannedResume PlanResume(const CString& strSource);

// The steps from that version on, each with its template as found now.
std::vector<PlannedStep> PlanSteps(DbVersion nVersion, const CString& strTemplateDir);

// The locks, and how they are named when another run holds them.
std::string FileLockPath(const CString& strWritten);
CString DataSourcesBusyReason();
CString FileBusyReason(const CString& strWritten);
// How long a run waits for the other's lock: UPDATER_LOCK_TIMEOUT
// (seconds) when set.
int LockTimeoutSeconds();
inline constexpr int kDefaultLockTimeoutSeconds = 120;

// The reasons that the plan and the run give alike.
CString TemplateReason(const CString& strWritten, const CString& strTemplate);
// The converted file reaches the driver through the data-source file, whose
// readers (ours and unixODBC's) drop the blanks at either end of a value:
// "B.mdb " would come back as "B.mdb", another file, converted without a
// backup. Such a path is refused; empty when the path is fine.
CString BlankEdgedPathReason(const CString& strWritten);

// The note an unfinished in-place run leaves beside its source.
CString ResumeNotePath(const CString& strSource);
