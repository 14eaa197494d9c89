// Contract: reading a real Access file (Jet 3 or Jet 4) into a Database,
// safely.
//
// What a caller may rely on:
//  - The file is opened once, without following a symbolic link, and must
//    be a regular file; it is only read.
//  - libmdb never runs in the caller's process: a child process reads the
//    file, under limits of time, memory and output, and streams the model
//    back over a pipe (stream.h); whatever the child does, the caller gets
//    either a complete, checked Database or one French line saying why not,
//    within the time limit and the caller's own memory never holding more
//    than the stream's budget.
//  - What the child writes on its standard error (libmdb's warnings) never
//    reaches the caller's: its first bytes come back in `diagnostics`, the
//    rest is drained and dropped, and a child that writes without end is
//    stopped.
//  - A file that is empty, not an Access file, truncated, encrypted or
//    protected by a password is refused from its header, before any child
//    runs.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

#include "access/model.h"
#include "access/sink.h"

namespace mdbfile {

struct ReadOptions {
  // The code page of Jet 3 text, for a file whose header names the wrong
  // one; the header's by default.
  std::optional<int> codePage;
  // 0: from the file's size (a minute, and more for a large file).
  std::chrono::milliseconds timeout{0};
  // Resident memory the child may use; 0: from the file's size.
  std::uint64_t memoryLimit = 0;
};

struct ReadResult {
  std::optional<Database> database;  // set when the whole file was read
  std::string error;                 // otherwise one French line
  std::string diagnostics;           // the first bytes the child wrote on its error output
};

ReadResult readAccessFile(const std::string& path, const ReadOptions& options = {});

// The same, handing each part to `sink` as it arrives (a table's
// definition, then its rows one by one ...) instead of keeping the whole
// model: for a writer that writes as it reads. Nothing is complete before
// it returns with an empty `error`; `database` stays unset.
ReadResult readAccessFile(const std::string& path, const ReadOptions& options, Sink& sink);

}  // namespace mdbfile
