// Contract: copying a database file (the original's CopyFileA) and telling
// whether two paths name one file.
//
// What the system may rely on:
//  - CopyFileA copies a database as its last commit left it, even while
//    another program has it open with commits still in its write-ahead
//    log, and without writing anything to the source or beside it (the
//    driver's snapshotCopy). A database whose last commit is all in its
//    file (one that no writer holds, as the driver leaves every file it
//    closes) is copied byte for byte; any other file too.
//  - The destination gets the source's permission bits with the owner's
//    write added (a copy of a read-only file can be converted), never more:
//    a 0600 database gives a 0600 copy, which no other user can read. It
//    keeps the source's group where the user belongs to that group.
//  - Every name is reached through the destination folder's descriptor
//    (folder_file.h); a temporary name is created exclusively and a link
//    at the destination's name is replaced, never followed.
//  - The copy is written to an unnamed file in the destination's folder
//    (O_TMPFILE), flushed to disk and only then given its name, so that a
//    failed or interrupted copy, even a process killed by SIGKILL, leaves
//    the destination as it was (or absent) and nothing else. Replacing a
//    destination links the file under a temporary name and renames it over
//    the destination at once. Where the file system has no unnamed files
//    the copy is written under that temporary name from the start; a
//    killed copy may then leave one behind, ".NAME.tmpcopy-XXXXXX" beside
//    NAME, which RemoveCopyLeftovers clears.
//  - The logs of a writer killed on the file that had the destination's
//    name ("-wal", "-shm", "-journal" beside it) are removed before the copy
//    takes the name: SQLite would otherwise play them into the copy.
//  - With bFailIfExists set, an existing destination makes the copy fail
//    (EEXIST) and is left untouched; a link at the name, even a dangling
//    one, is an existing destination.
//  - Copying a file onto itself fails and changes nothing (on Windows it
//    would fail too; a naive copy would empty the file).
//  - CopyFileForWriting makes the same copy of a database that is to be
//    converted, the one difference being that the copy is already in
//    write-ahead-log mode, as the first writing connection would set it
//    (jetdb::setLogModeInCopy). The first open thus skips a journaled
//    switch with its four syncs; the last close leaves the copy at rest, in
//    a rollback journal, as every last close does. A backup, which must
//    stay the original byte for byte, is made with CopyFileA. (On Windows
//    there is no such call: the driver there keeps no log.)
//  - IsSameFile compares device and inode: "./a.mdb", "a.mdb" and a link to
//    it are one file.
//  - RemoveCopyLeftovers removes the user's own temporary files of
//    interrupted copies in `folder` and returns how many it removed. Run it while no copy into
//    that folder is under way (under the run lock).
#pragma once

#include <string>

#include "platform/types.h"

BOOL CopyFileA(const char* source, const char* dest, BOOL bFailIfExists);
BOOL CopyFileForWriting(const char* source, const char* dest, BOOL bFailIfExists);
bool IsSameFile(const char* a, const char* b);
bool PathExists(const char* path);
// Whether anything has that name, a dangling link included.
bool NameTaken(const char* path);
int RemoveCopyLeftovers(const char* folder);
// The same in the folder that holds `path`.
int RemoveCopyLeftoversBeside(const char* path);
// The folder that holds `path`: "." for a bare name, "/" for a file at the root.
std::string FolderOf(const std::string& path);
