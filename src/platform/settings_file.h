// Contract: reading and writing the small text files that hold settings (the
// registry hives, the user data sources). Other programs and people keep
// these files too, so none of the calls trusts what it finds at the path.
//
// What the system may rely on:
//  - No call throws or blocks, whatever the path names. ReadSettingsFile
//    gives Missing when the file or a folder on its path does not exist (a
//    dangling symbolic link counts as missing), Unusable when it cannot be
//    read: no permission on it or on a folder above it, a loop of symbolic
//    links, or anything but a regular file (a FIFO, a device, a folder). A
//    symbolic link to a regular file is followed.
//  - ReplaceSettingsFile(path, text) gives the file exactly `text` at once: a
//    reader sees the old text or the new one, never a mix. The new text is
//    written and synced in a file without a name, then named beside the file
//    as "<file>.updater-XXXXXX" and renamed over it, so a process killed
//    while writing leaves nothing behind. Every name is reached through the
//    folder's descriptor (folder_file.h), the copy's created exclusively.
//    A final symbolic link is followed and its target replaced (the link
//    stays a link) only when the link and its target are the effective
//    user's own: a link another user planted is never followed. The file
//    keeps its permission bits, a new one gets 0600. False, with nothing
//    changed, when the file cannot be replaced, is there but not a regular
//    file, or belongs to another user. With DiskWait::Unsynced the new text
//    is not synced before the rename: a power cut soon after may leave the
//    file empty or with its old text. Only for a file that holds nothing
//    anyone but the caller needs.
//  - ReplacePrivateFile(path, text) does the same for a file of the
//    program's own beside a database, but whatever holds the name (a link
//    of anyone's, a file of another user) is replaced, never followed nor
//    kept: the new file is the effective user's, 0600. False, with nothing
//    changed, when the name cannot be replaced (a folder holds it).
//  - AppendSettingsFile(path, text) adds `text` at the end of a regular file,
//    creating it (0666 less the umask) when missing; false otherwise.
//  - HasControlCharacter(text) tells whether text holds a byte below 0x20
//    or 0x7F: the bytes that no name or value written into a settings file
//    may hold, since a line end would start lines of its own.
//  - RemoveStaleReplacements(path) deletes the "<file>.updater-XXXXXX" copies
//    (regular files of the current user only) that a replacement killed in
//    the instant between naming its copy and the rename left beside the file
//    ReplaceSettingsFile would write; it gives the number removed. A
//    replacement in progress has such a copy too: the caller makes sure that
//    none runs.
// Differences on file systems without unnamed files (O_TMPFILE), or where
// /proc is not mounted: the copy is named from the start, so a kill while
// writing leaves it behind until RemoveStaleReplacements.
#pragma once

#include <string>
#include <string_view>

struct SettingsText {
  enum class State { Missing, Unusable, Read };
  State state = State::Missing;
  std::string text;  // the whole file when Read
};

SettingsText ReadSettingsFile(const std::string& path);
// Whether a replacement waits for the disk before it is named (see above).
enum class DiskWait { Synced, Unsynced };
bool ReplaceSettingsFile(const std::string& path, std::string_view text, DiskWait wait = DiskWait::Synced);
bool ReplacePrivateFile(const std::string& path, std::string_view text);
bool AppendSettingsFile(const std::string& path, std::string_view text);
int RemoveStaleReplacements(const std::string& path);
bool HasControlCharacter(std::string_view text);
