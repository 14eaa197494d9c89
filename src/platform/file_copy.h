// Contract: copying a database file (the original's CopyFileA) and telling
// whether two paths name one file.
//
// What the system may rely on:
//  - CopyFileA copies the bytes and the permission bits. The destination is
//    written under a temporary name in its own folder, flushed to disk and
//    then renamed over the destination, so that a failed or interrupted copy
//    leaves the destination as it was (or absent), never half written.
//  - With bFailIfExists set, an existing destination makes the copy fail and
//    is left untouched.
//  - Copying a file onto itself fails and changes nothing (on Windows it
//    would fail too; a naive copy would empty the file).
//  - IsSameFile compares device and inode: "./a.mdb", "a.mdb" and a link to
//    it are one file.
#pragma once

#include "platform/types.h"

BOOL CopyFileA(const char* source, const char* dest, BOOL bFailIfExists);
bool IsSameFile(const char* a, const char* b);
bool PathExists(const char* path);
