// jetsql --import [--codepage CP] SOURCE.mdb NEW.mdb: a real Access file
// (Jet 3 or Jet 4) imported into a new database of ours.
#pragma once

#include <string_view>

namespace jetsql {

// Whether the command line asks for an import (its first option).
inline bool asksImport(int argc, char** argv) { return argc > 1 && std::string_view(argv[1]) == "--import"; }

// Runs it: what it could not carry on standard error, one French line
// each, and a summary on standard output. Exit code 0 when complete, 1 when
// something was left out or changed (NEW.mdb is written and sound), 2 when
// nothing was written (the source cannot be read, NEW.mdb exists, a write
// failed), 64 for a bad command line. Only jetsql-import runs it: the
// Access reader and the libraries under it (mdbtools, GLib) would load at
// every start of jetsql, a third of the time of a one-row query.
int importMain(int argc, char** argv);

// jetsql's side: runs jetsql-import with the same command line, found
// beside jetsql or where the package installs it. Returns only when it
// cannot be run (exit code 2, with the reason on standard error).
int runImportHelper(char** argv);

}  // namespace jetsql
