// jetsql-import: the import of jetsql --import, in a program of its own so
// that only an import loads the Access reader (import_command.h).
#include <iostream>

#include "import_command.h"

int main(int argc, char** argv) {
  if (!jetsql::asksImport(argc, argv)) {
    std::cerr << "usage: jetsql --import [--codepage CP] SOURCE.mdb NEW.mdb\n";
    return 64;
  }
  return jetsql::importMain(argc, argv);
}
