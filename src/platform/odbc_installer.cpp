#include "platform/odbc_installer.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/odbc_ini.h"
#include "platform/settings_file.h"
#include "platform/text.h"

namespace {

constexpr char kListSection[] = "ODBC Data Sources";

using Pairs = std::vector<std::pair<std::string, std::string>>;

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

// The data-source file as this process last wrote it, while every line of
// it is this process's own: the file did not exist when it first wrote
// there, and has not changed since. What it holds then is only the data
// sources a run registers for its own length, which nobody needs after a
// power cut, so it is replaced without waiting for the disk (three waits a
// step otherwise). A file found with anything else in it (the user's data
// sources, another program's change) waits, so that a power cut right after
// cannot leave it empty.
struct OwnFile {
  std::string path;
  std::string text;
};
std::optional<OwnFile> g_ownFile;

struct DataSources {
  std::string text;  // a missing file holds none
  DiskWait wait = DiskWait::Synced;
};

// The user data sources; nothing when the file is there but cannot be read
// or is not a regular file.
std::optional<DataSources> ReadDataSources(const std::string& path) {
  SettingsText file = ReadSettingsFile(path);
  if (file.state == SettingsText::State::Unusable) return std::nullopt;
  const bool own = file.state == SettingsText::State::Missing ||
                   (g_ownFile && g_ownFile->path == path && g_ownFile->text == file.text);
  return DataSources{std::move(file.text), own ? DiskWait::Unsynced : DiskWait::Synced};
}

// Writes the new text, and remembers it when the file stays the process's own.
BOOL WriteDataSources(const std::string& path, const DataSources& before, const std::string& text) {
  g_ownFile.reset();
  if (!ReplaceSettingsFile(path, text, before.wait)) return FALSE;
  if (before.wait == DiskWait::Unsynced) g_ownFile = OwnFile{path, text};
  return TRUE;
}

bool IsJetdbDriver(std::string_view driver) {
  return EqualNoCase(driver, kAccessDriverName) || EqualNoCase(driver, kJetdbDriverName);
}

BOOL AddDataSource(const Pairs& pairs) {
  const std::string driver = kJetdbDriverName;
  std::string name;
  Pairs entries{{"Driver", driver}};
  for (const auto& [key, value] : pairs) {
    if (EqualNoCase(key, "DSN")) name = value;
    else entries.emplace_back(key, value);
  }
  if (!odbcini::IsWritableName(name)) return FALSE;
  for (const auto& [key, value] : entries) {
    if (!odbcini::IsWritableName(key) || !odbcini::IsWritableValue(value)) return FALSE;
  }
  const std::string file = UserDataSourceFile();
  auto sources = ReadDataSources(file);
  if (!sources) return FALSE;
  odbcini::IniText ini(sources->text);
  ini.PutEntry(kListSection, name, driver);
  ini.PutSection(name, entries);
  return WriteDataSources(file, *sources, ini.Text());
}

// What an add leaves in a file that did not exist, once its data sources
// are removed again: the list's header, or nothing. unixODBC reads such a
// file as a missing one.
bool HoldsNoDataSource(std::string_view text) {
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t')) line.remove_suffix(1);
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
    if (!line.empty() && !EqualNoCase(line, std::string("[") + kListSection + "]")) return false;
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return true;
}

// Only a regular file itself, not a link the user made to it, is removed.
bool RemoveEmptiedFile(const std::string& file) {
  struct stat st;
  return lstat(file.c_str(), &st) == 0 && S_ISREG(st.st_mode) && unlink(file.c_str()) == 0;
}

BOOL RemoveDataSource(const Pairs& pairs) {
  std::string name;
  for (const auto& [key, value] : pairs) {
    if (EqualNoCase(key, "DSN")) name = value;
  }
  if (!odbcini::IsWritableName(name)) return FALSE;
  const std::string file = UserDataSourceFile();
  auto sources = ReadDataSources(file);
  if (!sources) return FALSE;
  odbcini::IniText ini(sources->text);
  bool listed = ini.RemoveEntry(kListSection, name);
  bool removed = ini.RemoveSection(name);
  // A list that the add had to put at the top of the user's file goes with
  // its last name, or the run would leave lines of its own behind.
  if (listed) ini.RemoveEmptyLeadingSection(kListSection);
  if (!listed && !removed) return FALSE;
  const std::string left = ini.Text();
  if (HoldsNoDataSource(left) && RemoveEmptiedFile(file)) {
    g_ownFile.reset();
    return TRUE;
  }
  return WriteDataSources(file, *sources, left);
}

}  // namespace

// Where unixODBC reads them: a HOME set for a test or a sudo session does
// not move unixODBC's file, so it must not move ours.
std::string UserDataSourceFile() {
  if (const char* ini = std::getenv("ODBCINI"); ini && *ini) return ini;
  const passwd* pw = getpwuid(getuid());
  const char* home = pw && pw->pw_dir ? pw->pw_dir : "/home";
  return std::string(home) + "/.odbc.ini";
}

BOOL SQLConfigDataSource(HWND /*hwndParent*/, WORD fRequest, LPCTSTR lpszDriver, LPCTSTR lpszAttributes) {
  if (!lpszDriver || !IsJetdbDriver(lpszDriver)) return FALSE;
  Pairs pairs = ParseAttributes(lpszAttributes);
  switch (fRequest) {
    case ODBC_ADD_DSN:
      return AddDataSource(pairs);
    case ODBC_REMOVE_DSN:
      return RemoveDataSource(pairs);
    default:
      return FALSE;
  }
}

int RemoveStaleDataSourceCopies() { return RemoveStaleReplacements(UserDataSourceFile()); }

std::string SystemDataSourceFile() {
  if (const char* folder = std::getenv("ODBCSYSINI"); folder && *folder) return std::string(folder) + "/odbc.ini";
  return "/etc/odbc.ini";
}

std::optional<DataSourceEntry> LookUpDataSource(const std::string& name) {
  // A user data source hides a system one of the same name, as in unixODBC.
  std::optional<odbcini::Entries> section;
  for (const std::string& file : {UserDataSourceFile(), SystemDataSourceFile()}) {
    if (auto sources = ReadDataSources(file)) section = odbcini::IniText(sources->text).Section(name);
    if (section) break;
  }
  if (!section) return std::nullopt;
  DataSourceEntry entry;
  for (const auto& [key, value] : *section) {
    if (EqualNoCase(key, "Driver")) entry.driver = IsJetdbDriver(value) ? kAccessDriverName : value;
    else if (EqualNoCase(key, "DBQ")) entry.databaseFile = value;
  }
  return entry;
}
