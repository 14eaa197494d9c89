// jetsql: a shell over a jetdb database, as the sqlite3 shell is over an
// SQLite one.
//
//   jetsql [--create | --read-only] [--csv] FILE [STATEMENT...]
//   jetsql --check FILE
//   jetsql --import [--codepage CP] SOURCE.mdb NEW.mdb   (import_command.h)
//
// Runs the statements given as arguments, or the script read from standard
// input when there are none, and stops at the first error with exit code 1
// (2 when the file cannot be opened, 64 for a bad command line, 130 when
// Ctrl-C stopped it). With no statement and a terminal on standard input,
// it prompts for statements with line editing and history instead.
//
// The file is opened read-only until a statement writes: looking into a
// file changes nothing in it nor beside it, and a file the user may only
// read answers every query. --read-only keeps it so, refusing every write;
// --create makes a new file.
//
// --check opens the file read-only and checks it (Database::check): "OK"
// and exit code 0 when it is sound, otherwise one French line per problem
// and exit code 1, a file that does not open being one such problem.
#include <unistd.h>

#include <iostream>
#include <iterator>
#include <string>

#include "commands.h"
#include "import_command.h"
#include "interactive.h"
#include "options.h"
#include "session.h"

namespace {

using namespace jetsql;

int checkFile(const std::string& path) {
  jetdb::Error error;
  auto db = jetdb::Database::open(path, jetdb::OpenMode::ReadOnly, error);
  if (!db) {
    std::cout << error.message << "\n";
    return kExitRefused;
  }
  return printCheck(*db) ? 0 : kExitRefused;
}

// A statement cut short by Ctrl-C changed nothing; the script stops there.
int exitCode(Outcome outcome) {
  if (Session::interrupted()) return kExitInterrupted;
  return outcome == Outcome::Failed ? kExitRefused : 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (jetsql::asksImport(argc, argv)) return jetsql::runImportHelper(argv);
  const Options opt = parseOptions(argc, argv);
  if (!opt.error.empty()) {
    std::cerr << "jetsql : " << opt.error << " ; voir jetsql --help.\n";
    return kExitUsage;
  }
  if (opt.help) {
    std::cout << kUsage;
    return 0;
  }
  if (opt.version) {
    std::cout << "jetsql " << JETSQL_VERSION << "\n";
    return 0;
  }
  if (opt.check) return checkFile(opt.file);

  Output output;
  if (opt.csv) output.mode = Mode::Csv;
  const Access access = opt.create ? Access::Create : opt.readOnly ? Access::ReadOnly : Access::WhenWritten;
  auto session = Session::open(opt.file, access, output);
  if (!session) return kExitCannotOpen;
  const bool atTerminal = opt.statements.empty() && isatty(STDIN_FILENO);
  // Read whole before Ctrl-C is caught: an interrupted read would run the
  // part of the script read so far.
  std::string script;
  if (opt.statements.empty() && !atTerminal)
    script.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
  // Ctrl-C cancels the running statement; the program then ends as it
  // always does, closing the file, which takes its log files away.
  catchInterrupt();
  if (atTerminal) return interactive(*session);
  if (opt.statements.empty()) return exitCode(session->runScript(script, "", true));
  for (const auto& s : opt.statements) {
    const Outcome o = session->run(s);
    if (o == Outcome::Quit) return 0;
    if (o == Outcome::Failed || Session::interrupted()) return exitCode(o);
  }
  return 0;
}
