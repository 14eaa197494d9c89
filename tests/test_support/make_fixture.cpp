// Builds a test fixture at a later version: runs the chain's steps in
// process on a copy of a database, from its version up to the one asked
// for, and writes the result. Used at build time, so that no converted
// database is ever kept in the repository.
//   make_fixture TEMPLATE_DIR SOURCE FROM TO OUT
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "steps/versions.h"
#include "test_support/step_harness.h"

int main(int argc, char** argv) {
  if (argc != 6) {
    std::fprintf(stderr, "usage: make_fixture TEMPLATE_DIR SOURCE FROM TO OUT\n");
    return 2;
  }
  StepHarness harness(argv[1]);
  const std::string db = harness.Fixture(argv[2]);
  DbVersion version = std::atoi(argv[3]);
  const DbVersion target = std::atoi(argv[4]);
  while (version != target) {
    if (!harness.RunStep(version, db)) {
      std::fprintf(stderr, "make_fixture: the step from %d failed\n%s", version, harness.Journal().c_str());
      return 1;
    }
    version = StepFrom(version)->to.code;
  }
  std::filesystem::copy_file(db, argv[5], std::filesystem::copy_options::overwrite_existing);
  return 0;
}
