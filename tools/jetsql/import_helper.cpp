#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <iostream>

#include "import_command.h"

namespace jetsql {

// Only the folder of the running program itself is looked in (never the
// current folder nor the PATH): beside it, as in a build tree, then where
// the package puts it relative to /usr/bin.
int runImportHelper(char** argv) {
  std::error_code ec;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) {
    std::cerr << "jetsql : l'import est impossible : le dossier de jetsql est inconnu\n";
    return 2;
  }
  const std::filesystem::path candidates[] = {self.parent_path() / "jetsql-import",
                                              (self.parent_path() / JETSQL_IMPORT_FROM_BIN).lexically_normal()};
  for (const auto& helper : candidates) {
    if (::access(helper.c_str(), X_OK) != 0) continue;
    ::execv(helper.c_str(), argv);
    std::cerr << "jetsql : l'import est impossible : " << helper.string() << " ne se lance pas (" << std::strerror(errno)
              << ")\n";
    return 2;
  }
  std::cerr << "jetsql : l'import est impossible : jetsql-import manque (ni " << candidates[0].string() << " ni "
            << candidates[1].string() << ")\n";
  return 2;
}

}  // namespace jetsql
