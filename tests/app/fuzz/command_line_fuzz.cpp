// libFuzzer target: an input is a command line, its arguments split on NUL
// bytes. Whatever the user types, parsing neither crashes nor invents a
// path: a source or destination kept is exactly what follows its option's
// name at the start of an argument (or the whole argument after --src,
// --dest), and a refused command line says why.
// Build with -DUPDATER_FUZZ=ON and clang; run e.g.
//   build-fuzz/tests/app/command_line_fuzz -runs=100000 NEW_DIR tests/app/fuzz/corpus
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/command_line.h"
#include "platform/text.h"
#include "platform/win_app.h"

namespace {

bool StartsNoCase(const std::string& text, const char* prefix) {
  return EqualNoCase(std::string_view(text).substr(0, std::string_view(prefix).size()), prefix);
}

// Whether some argument gives `value` under one of the option's spellings.
bool IsGivenAs(const CString& value, const std::vector<std::string>& args, const char* windows, const char* gnu) {
  const std::string text = value.GetString();
  const std::string gnuEquals = std::string(gnu) + "=";
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (!a.empty() && (a[0] == '/' || a[0] == '-') && StartsNoCase(a.substr(1), windows) &&
        a.substr(1 + std::string_view(windows).size()) == text)
      return true;
    if (a == gnuEquals + text) return true;
    if (i + 1 < args.size() && a == gnu && args[i + 1] == text) return true;
  }
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
  if (!info.m_strSource.IsEmpty() && !IsGivenAs(info.m_strSource, app.m_args, "SRC=", "--src")) __builtin_trap();
  if (!info.m_strDest.IsEmpty() && !IsGivenAs(info.m_strDest, app.m_args, "DEST=", "--dest")) __builtin_trap();
  // A refusal is one line.
  if (info.m_strError.Find('\n') >= 0) __builtin_trap();
  return 0;
}
