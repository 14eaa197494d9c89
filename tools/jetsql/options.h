// jetsql's command line.
#pragma once

#include <string>
#include <vector>

namespace jetsql {

struct Options {
  bool create = false;
  bool readOnly = false;
  bool csv = false;
  bool check = false;
  bool help = false;
  bool version = false;
  std::string file;
  std::vector<std::string> statements;
  std::string error;  // French, for "jetsql : ERROR ; voir jetsql --help."
};

Options parseOptions(int argc, char** argv);

// What --help prints.
extern const char* const kUsage;

// Exit codes.
inline constexpr int kExitRefused = 1;
inline constexpr int kExitCannotOpen = 2;
inline constexpr int kExitUsage = 64;
inline constexpr int kExitInterrupted = 130;

}  // namespace jetsql
