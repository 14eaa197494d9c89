#include "platform/odbc_installer.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/odbc_ini.h"

namespace {

constexpr char kListSection[] = "ODBC Data Sources";

using Pairs = std::vector<std::pair<std::string, std::string>>;

bool SameText(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

// The installer's attribute list: NUL-ended "key=value" texts, then a NUL.
Pairs ParseAttributes(const char* attributes) {
  Pairs pairs;
  for (const char* p = attributes; p && *p; p += std::char_traits<char>::length(p) + 1) {
    std::string_view item(p);
    std::size_t eq = item.find('=');
    if (eq == std::string_view::npos) continue;
    pairs.emplace_back(std::string(item.substr(0, eq)), std::string(item.substr(eq + 1)));
  }
  return pairs;
}

// A name that would break the file's structure cannot be registered.
bool ValidName(const std::string& name) {
  return !name.empty() && name.find_first_of("[]=\r\n") == std::string::npos;
}

std::optional<std::string> ReadWhole(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    if (std::filesystem::exists(path)) return std::nullopt;  // there but unreadable
    return std::string();
  }
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// Written to a neighbour and renamed over the file, so that a failure never
// leaves the user's data sources half written.
bool WriteWhole(const std::string& path, const std::string& text) {
  std::filesystem::path target(path);
  std::error_code ec;
  if (std::filesystem::is_symlink(std::filesystem::symlink_status(target, ec))) {
    target = std::filesystem::canonical(target, ec);
    if (ec) return false;
  }
  std::string temp = target.string() + ".updater-XXXXXX";
  int fd = mkstemp(temp.data());
  if (fd < 0) return false;
  struct stat st {};
  fchmod(fd, ::stat(target.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0600);
  bool ok = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
  ok = ::fsync(fd) == 0 && ok;
  ok = ::close(fd) == 0 && ok;
  if (ok) ok = std::rename(temp.c_str(), target.c_str()) == 0;
  if (!ok) ::unlink(temp.c_str());
  return ok;
}

BOOL AddDataSource(const std::string& driver, const Pairs& pairs) {
  std::string name;
  Pairs entries{{"Driver", driver}};
  for (const auto& [key, value] : pairs) {
    if (SameText(key, "DSN")) name = value;
    else entries.emplace_back(key, value);
  }
  if (!ValidName(name)) return FALSE;
  const std::string file = UserDataSourceFile();
  auto text = ReadWhole(file);
  if (!text) return FALSE;
  odbcini::IniText ini(*text);
  ini.PutEntry(kListSection, name, driver);
  ini.PutSection(name, entries);
  return WriteWhole(file, ini.Text()) ? TRUE : FALSE;
}

BOOL RemoveDataSource(const Pairs& pairs) {
  std::string name;
  for (const auto& [key, value] : pairs) {
    if (SameText(key, "DSN")) name = value;
  }
  if (!ValidName(name)) return FALSE;
  const std::string file = UserDataSourceFile();
  auto text = ReadWhole(file);
  if (!text) return FALSE;
  odbcini::IniText ini(*text);
  bool listed = ini.RemoveEntry(kListSection, name);
  bool removed = ini.RemoveSection(name);
  if (!listed && !removed) return FALSE;
  return WriteWhole(file, ini.Text()) ? TRUE : FALSE;
}

}  // namespace

std::string UserDataSourceFile() {
  if (const char* ini = std::getenv("ODBCINI"); ini && *ini) return ini;
  const char* home = std::getenv("HOME");
  if (!home || !*home) {
    const passwd* pw = getpwuid(getuid());
    home = pw ? pw->pw_dir : "/";
  }
  return std::string(home) + "/.odbc.ini";
}

BOOL SQLConfigDataSource(HWND /*hwndParent*/, WORD fRequest, LPCTSTR lpszDriver, LPCTSTR lpszAttributes) {
  if (!lpszDriver || !SameText(lpszDriver, kAccessDriverName)) return FALSE;
  Pairs pairs = ParseAttributes(lpszAttributes);
  switch (fRequest) {
    case ODBC_ADD_DSN:
      return AddDataSource(lpszDriver, pairs);
    case ODBC_REMOVE_DSN:
      return RemoveDataSource(pairs);
    default:
      return FALSE;
  }
}

std::optional<DataSourceEntry> LookUpDataSource(const std::string& name) {
  auto text = ReadWhole(UserDataSourceFile());
  if (!text) return std::nullopt;
  auto section = odbcini::IniText(*text).Section(name);
  if (!section) return std::nullopt;
  DataSourceEntry entry;
  for (const auto& [key, value] : *section) {
    if (SameText(key, "Driver")) entry.driver = value;
    else if (SameText(key, "DBQ")) entry.databaseFile = value;
  }
  return entry;
}
