#include "platform/viewer.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

extern char** environ;

namespace {

bool OnPath(const char* program) {
  const char* path = std::getenv("PATH");
  if (path == nullptr) return false;
  std::string dirs(path);
  size_t start = 0;
  while (start <= dirs.size()) {
    const size_t end = dirs.find(':', start);
    const std::string dir = dirs.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (!dir.empty() && access((dir + "/" + program).c_str(), X_OK) == 0) return true;
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return false;
}

std::string ChooseViewer() {
  for (const char* var : {"VISUAL", "EDITOR"}) {
    const char* value = std::getenv(var);
    if (value != nullptr && *value != '\0') return value;
  }
  for (const char* program : {"xdg-open", "less"}) {
    if (OnPath(program)) return program;
  }
  return "";
}

}  // namespace

BOOL OpenInViewer(const CString& quotedPath) {
  CString path(quotedPath);
  if (path.GetLength() >= 2 && path.GetAt(0) == '"' && path.GetAt(path.GetLength() - 1) == '"') {
    path = path.Mid(1, path.GetLength() - 2);
  }
  const std::string viewer = ChooseViewer();
  if (viewer.empty()) return FALSE;
  // The viewer command is the user's own setting and may carry arguments,
  // so the shell splits it; the path comes in as "$1", untouched.
  const std::string script = "exec " + viewer + " \"$1\"";
  const char* argv[] = {"sh", "-c", script.c_str(), "sh", path.GetString(), nullptr};
  pid_t pid = 0;
  if (posix_spawn(&pid, "/bin/sh", nullptr, nullptr, const_cast<char* const*>(argv), environ) != 0) return FALSE;
  int status = 0;
  if (waitpid(pid, &status, 0) != pid) return FALSE;
  // 126 and 127: the shell could not find or run the viewer.
  return WIFEXITED(status) && WEXITSTATUS(status) != 126 && WEXITSTATUS(status) != 127 ? TRUE : FALSE;
}
