// libFuzzer target: an input is a command line, its arguments split on NUL
// bytes. Whatever the user types, parsing neither crashes nor invents a
// path: a source or destination kept is the tail of an argument as typed.
// Build with -DUPDATER_FUZZ=ON and clang; run e.g.
//   build-fuzz/tests/app/command_line_fuzz -runs=100000 NEW_DIR tests/app/fuzz/corpus
#include <cstdint>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "platform/win_app.h"

namespace {

bool IsTailOfAnArgument(const CString& value, const std::vector<std::string>& args) {
  const std::string text = value.GetString();
  for (std::size_t i = 1; i < args.size(); ++i)
    if (args[i].size() >= text.size() && args[i].compare(args[i].size() - text.size(), text.size(), text) == 0)
      return true;
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  CWinApp app("updater");
  app.m_args.assign(1, "updater");
  const std::string input(reinterpret_cast<const char*>(data), size);
  for (std::size_t at = 0; at <= input.size();) {
    const std::size_t end = std::min(input.find('\0', at), input.size());
    app.m_args.push_back(input.substr(at, end - at));
    at = end + 1;
  }
  CUpdaterCommandLineInfo info;
  app.ParseCommandLine(info);
  if (!info.m_strSource.IsEmpty() && !IsTailOfAnArgument(info.m_strSource, app.m_args)) __builtin_trap();
  if (!info.m_strDest.IsEmpty() && !IsTailOfAnArgument(info.m_strDest, app.m_args)) __builtin_trap();
  return 0;
}
