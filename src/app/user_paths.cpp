#include "app/user_paths.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

#include "platform/win_app.h"

namespace {

CString HomeFolder() {
  if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') return home;
  // The shell's own fallback when HOME is not set.
  std::vector<char> buffer(16384);
  passwd entry{};
  passwd* found = nullptr;
  if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found != nullptr &&
      found->pw_dir != nullptr) {
    return found->pw_dir;
  }
  return CString();
}

}  // namespace

CString ExpandTilde(const CString& path) {
  if (path != "~" && path.Left(2) != "~/") return path;
  const CString home = HomeFolder();
  if (home.IsEmpty()) return path;
  return home + path.Mid(1);
}

CString InCurrentFolder(const CString& path) {
  if (path.Left(1) == "/") return path;
  const CString folder = GetCurrentDirectoryText();
  if (folder.IsEmpty()) return CString();
  return folder + (folder.Right(1) == "/" ? "" : "/") + path;
}
