#include "app/template_dir.h"

#include <filesystem>
#include <system_error>

std::optional<CString> InstalledTemplateDir() {
  // The kernel's name of the running program, whatever link started it
  // (/usr/bin/updater): nothing in the environment or the command line can
  // point it elsewhere.
  std::error_code ec;
  const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec || !program.is_absolute()) return std::nullopt;
  const std::filesystem::path folder = (program.parent_path() / UPDATER_TEMPLATES_FROM_PROGRAM).lexically_normal();
  if (!std::filesystem::is_directory(folder, ec)) return std::nullopt;
  std::string text = folder.string();
  if (text.size() > 1 && text.back() == '/') text.pop_back();
  return CString(std::move(text));
}
