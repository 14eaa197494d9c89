// chain_fixture TEMPLATE_DIR SOURCE DEST UNTIL
//
// Builds a test database at build time: copies SOURCE to DEST and runs the
// conversion chain on the copy, as a run does, until the version UNTIL (a
// DbVersion code) is reached. The data sources live in a file of its own,
// never in the user's. Exit code 0 when DEST holds a database of that
// version; otherwise DEST is removed, so that no half-built fixture stays.
#include <cstdlib>
#include <filesystem>
#include <iostream>

#include "engine/conversion.h"
#include "engine/detection.h"
#include "test_support/temp_dir.h"

int main(int argc, char** argv) {
  if (argc != 5) {
    std::cerr << "usage: chain_fixture TEMPLATE_DIR SOURCE DEST UNTIL\n";
    return 64;
  }
  const CString templateDir(argv[1]);
  CString dest(argv[3]);
  const DbVersion until = static_cast<DbVersion>(std::strtol(argv[4], nullptr, 10));

  TempDir work;
  ScopedEnv odbcIni("ODBCINI", work.path() + "/odbc.ini");
  std::error_code ec;
  std::filesystem::copy_file(argv[2], argv[3], std::filesystem::copy_options::overwrite_existing, ec);
  const DbVersion detected = ec ? 0 : DetectDbVersion(dest);
  const DbVersion reached = detected == 0 ? 0 : RunChain(detected, dest, templateDir, until);
  if (reached != until) {
    std::cerr << "chain_fixture: " << argv[2] << " (version " << detected << ") reached " << reached << ", not "
              << until << "\n";
    std::filesystem::remove(argv[3], ec);
    return 1;
  }
  return 0;
}
