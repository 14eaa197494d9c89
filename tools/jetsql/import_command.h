// jetsql --import [--codepage CP] SOURCE.mdb NEW.mdb: a real Access file
// (Jet 3 or Jet 4) imported into a new database of ours.
#pragma once

namespace jetsql {

// Whether the command line asks for an import (its first option).
bool asksImport(int argc, char** argv);

// Runs it: what it could not carry on standard error, one French line
// each, and a summary on standard output. Exit code 0 when complete, 1 when
// something was left out or changed (NEW.mdb is written and sound), 2 when
// nothing was written (the source cannot be read, NEW.mdb exists, a write
// failed), 64 for a bad command line.
int importMain(int argc, char** argv);

}  // namespace jetsql
