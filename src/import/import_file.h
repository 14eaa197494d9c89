// Contract: a real Access file imported into a new jetdb database.
//
// What a caller may rely on:
//  - The source is only read (access/access_file.h: in a child process,
//    without following a link).
//  - The destination is never overwritten and no link is followed to it:
//    the database is written in a folder of its own made beside it
//    (mode 0700, a fresh name), checked whole (Database::check), then
//    moved to its name only if nothing holds that name, in one rename that
//    refuses to replace. On any failure nothing is left: neither the
//    destination nor the folder.
//  - Complete: every part of the source is in the destination as it was.
//    Partial: the destination is written and sound, and notCarried says,
//    one French line each, what it lacks or holds changed. Failed: nothing
//    was written; `error` is one French line (the source cannot be read,
//    the destination exists, the disk refused a write ...), and
//    `sourceUnreadable` says whether the source was the cause.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace mdbimport {

struct ImportOptions {
  std::optional<int> codePage;  // of Jet 3 text, for a file whose header names the wrong one
};

enum class Outcome { Complete, Partial, Failed };

struct ImportResult {
  Outcome outcome = Outcome::Failed;
  bool sourceUnreadable = false;
  std::string error;
  std::vector<std::string> notCarried;
  std::size_t tables = 0;
  std::size_t rows = 0;
};

ImportResult importAccessFile(const std::string& source, const std::string& destination,
                              const ImportOptions& options = {});

}  // namespace mdbimport
