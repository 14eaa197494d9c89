// A mark inside the database itself while an in-place run converts it: the
// backup that holds the file as it was.
//
// The resume note beside the file (resume_note.h) lives in a folder that
// others may write: in a group folder another member can delete it between
// two runs, and the next run would then convert the half-converted file
// as if it were the user's and call a backup of it "la base d'origine".
// Only someone who can write the database can write or remove this mark,
// so a half-converted file is known as one whatever happened to its note.
// It is set after the backup and the note, removed once the run ends
// converted (or having changed nothing), and a backup never carries it:
// the backup is taken before.
#pragma once

#include <optional>

#include "platform/text.h"

// The backup the mark names; empty optional when the file carries no mark
// (or cannot be read, which the version check then reports).
std::optional<CString> UnfinishedMark(const CString& strSource);

// False, with the driver's reason in `why`, when the file could not be
// written (another program holds it, a full disk).
bool SetUnfinishedMark(const CString& strSource, const CString& strBackup, CString& why);
bool ClearUnfinishedMark(const CString& strSource, CString& why);

// Why a run may not go on with a file that carries the mark but no note it
// can trust.
CString UnfinishedWithoutNoteReason(const CString& strSource, const CString& strBackup);
