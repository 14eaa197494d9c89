#include "import_command.h"

#include <charconv>
#include <iostream>
#include <string>

#include "import/import_file.h"

namespace jetsql {

namespace {

constexpr const char* kUsage = "usage: jetsql --import [--codepage CP] SOURCE.mdb NEW.mdb\n";

}  // namespace

int importMain(int argc, char** argv) {
  mdbimport::ImportOptions options;
  int i = 2;
  if (i < argc && std::string(argv[i]) == "--codepage") {
    if (i + 1 >= argc) {
      std::cerr << kUsage;
      return 64;
    }
    const std::string cp = argv[i + 1];
    int value = 0;
    const auto [end, ec] = std::from_chars(cp.data(), cp.data() + cp.size(), value);
    if (ec != std::errc() || end != cp.data() + cp.size() || value <= 0) {
      std::cerr << "Page de code non valide : " << cp << "\n" << kUsage;
      return 64;
    }
    options.codePage = value;
    i += 2;
  }
  if (argc - i != 2) {
    std::cerr << kUsage;
    return 64;
  }
  const std::string source = argv[i], destination = argv[i + 1];
  const auto r = mdbimport::importAccessFile(source, destination, options);
  if (r.outcome == mdbimport::Outcome::Failed) {
    std::cerr << r.error << "\n";
    return 2;
  }
  for (const auto& line : r.notCarried) std::cerr << line << "\n";
  std::cout << source << " importé dans " << destination << " : " << r.tables << " tables, " << r.rows
            << " lignes" << (r.notCarried.empty() ? ", complet" : ", " + std::to_string(r.notCarried.size()) + " éléments non repris tels quels (voir ci-dessus)")
            << "\n";
  return r.outcome == mdbimport::Outcome::Complete ? 0 : 1;
}

}  // namespace jetsql
