// The record an unfinished in-place run leaves beside its source,
// SOURCE.reprise, and the rules by which a later run trusts it.
//
// The folder may be shared: anyone who can write it can put a file, a link
// or a folder at that name. So the note decides nothing unless it can only
// have come from someone who could already write the database itself:
//  - it is a regular file, not a link, with one name, writable by its owner
//    alone, owned by the database's owner or by the user running now;
//  - the backup it names is a bare name of the same folder, of the
//    documented shape (SOURCE.<version>[.N]), a regular file that is not a
//    link and has one name, owned as the note must be, and still the file
//    the run wrote (its size, time and sum, recorded in the note when it was
//    made, see file_stamp.h).
// Anything else is passed over with a French phrase that says what and why.
// After a failed run the note also records the source as that run left
// it: a later change (the user worked on it since) is refused rather than
// overwritten by the backup.
//
// Text, one "key=value" a line: "sauvegarde", "empreinte-sauvegarde" and,
// after a failed run, "empreinte-laissee".
#pragma once

#include <optional>

#include "platform/file_stamp.h"
#include "platform/text.h"

struct ResumeNote {
  CString backup;  // full path, in the source's folder
  FileStamp backupStamp;
  std::optional<FileStamp> left;  // the source as the failed run left it
};

// What is found at the note's name.
struct FoundNote {
  bool present = false;  // something holds the name
  std::optional<ResumeNote> note;  // when it is trusted
  CString passedOver;  // why it is not, when present and not trusted
};

FoundNote ReadResumeNote(const CString& strSource);

// The trusted backup's refusal: empty when the backup is the one recorded
// (or is gone, which the user may do); else why it may not be put back.
CString BackupProblem(const CString& strSource, const ResumeNote& note);

// Writes the note (replacing whatever holds the name, never following it).
bool WriteResumeNote(const CString& strSource, const ResumeNote& note);
