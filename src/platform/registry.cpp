#include "platform/registry.h"

#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>

#include "platform/settings_file.h"
#include "platform/text.h"

namespace {

// Keys by upper-cased full path ("HKEY_CURRENT_USER\SOFTWARE\..."),
// values by upper-cased name ("" for the default value "@").
using Hive = std::map<std::string, HiveKey>;

const char* RootName(HKEY root) {
  if (root == HKEY_CURRENT_USER) return "HKEY_CURRENT_USER";
  if (root == HKEY_LOCAL_MACHINE) return "HKEY_LOCAL_MACHINE";
  return nullptr;
}

// Missing: no file. Unreadable: not a regular file, or no header, or it
// cannot be read: it reads as a hive without keys. Appendable: a key may be
// appended to it (see HiveText).
enum class FileState { Missing, Unreadable, Read, Appendable };

FileState LoadHive(HKEY root, Hive& hive) {
  hive.clear();
  const SettingsText file = ReadSettingsFile(RegistryHivePath(root));
  if (file.state == SettingsText::State::Missing) return FileState::Missing;
  if (file.state != SettingsText::State::Read) return FileState::Unreadable;
  HiveText text = ParseHiveText(file.text, RootName(root));
  if (text.header.empty()) return FileState::Unreadable;
  hive = std::move(text.keys);
  return text.appendable ? FileState::Appendable : FileState::Read;
}

struct OpenKey {
  HKEY root;
  std::string path;  // upper-cased full path
};

std::mutex g_mutex;
std::map<std::uintptr_t, OpenKey> g_handles;
std::uintptr_t g_nextHandle = 0x1000;

std::string FullPath(HKEY root, const char* subKey) {
  std::string path = RootName(root);
  std::string sub = subKey ? subKey : "";
  while (!sub.empty() && sub.back() == '\\') sub.pop_back();
  if (!sub.empty()) path += "\\" + sub;
  return ToUpperLatin(path);
}

bool KeyExists(const Hive& hive, const std::string& path) {
  auto it = hive.lower_bound(path);
  return it != hive.end() && (it->first == path || it->first.rfind(path + "\\", 0) == 0);
}

HKEY NewHandle(HKEY root, const std::string& path) {
  std::lock_guard<std::mutex> lock(g_mutex);
  const std::uintptr_t id = g_nextHandle++;
  g_handles[id] = OpenKey{root, path};
  return reinterpret_cast<HKEY>(id);
}

}  // namespace

std::string RegistryHivePath(HKEY root) {
  const char* name = RootName(root);
  if (name == nullptr) return "";
  const std::string file = std::string(name) + ".reg";
  if (const char* dir = std::getenv("UPDATER_REGISTRY"); dir != nullptr && *dir != '\0') {
    return std::string(dir) + "/" + file;
  }
  if (root == HKEY_LOCAL_MACHINE) return "/etc/norvane/" + file;
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg != nullptr && *xdg != '\0') {
    return std::string(xdg) + "/norvane/" + file;
  }
  const char* home = std::getenv("HOME");
  return std::string(home ? home : "") + "/.config/norvane/" + file;
}

LONG RegOpenKeyExA(HKEY root, const char* subKey, DWORD /*options*/, DWORD /*access*/, HKEY* result) {
  if (result == nullptr || RootName(root) == nullptr) return ERROR_INVALID_HANDLE;
  *result = nullptr;
  Hive hive;
  LoadHive(root, hive);
  const std::string path = FullPath(root, subKey);
  if (!KeyExists(hive, path)) return ERROR_FILE_NOT_FOUND;
  *result = NewHandle(root, path);
  return ERROR_SUCCESS;
}

LONG RegCreateKeyExA(HKEY root, const char* subKey, DWORD /*reserved*/, char* /*keyClass*/, DWORD /*options*/,
                     DWORD /*access*/, void* /*security*/, HKEY* result, DWORD* disposition) {
  if (result == nullptr || RootName(root) == nullptr) return ERROR_INVALID_HANDLE;
  *result = nullptr;
  Hive hive;
  const FileState state = LoadHive(root, hive);
  const std::string path = FullPath(root, subKey);
  if (KeyExists(hive, path)) {
    if (disposition) *disposition = 2;  // REG_OPENED_EXISTING_KEY
    *result = NewHandle(root, path);
    return ERROR_SUCCESS;
  }
  // The key's name goes into a section header: a line end in it would add
  // lines of its own to the hive.
  const std::string_view sub = subKey ? subKey : "";
  if (HasControlCharacter(sub)) return ERROR_INVALID_PARAMETER;
  if (state != FileState::Missing && state != FileState::Appendable) return ERROR_ACCESS_DENIED;
  std::string text = state == FileState::Missing ? "REGEDIT4\n" : "";
  text += "\n[" + std::string(RootName(root));
  if (!sub.empty()) text += "\\" + std::string(sub);
  text += "]\n";
  if (!AppendSettingsFile(RegistryHivePath(root), text)) return ERROR_ACCESS_DENIED;
  if (disposition) *disposition = 1;  // REG_CREATED_NEW_KEY
  *result = NewHandle(root, path);
  return ERROR_SUCCESS;
}

LONG RegQueryValueExA(HKEY key, const char* valueName, DWORD* /*reserved*/, DWORD* type, BYTE* data,
                      DWORD* dataSize) {
  OpenKey open;
  {
    std::lock_guard<std::mutex> lock(g_mutex);
    auto it = g_handles.find(reinterpret_cast<std::uintptr_t>(key));
    if (it == g_handles.end()) return ERROR_INVALID_HANDLE;
    open = it->second;
  }
  Hive hive;
  LoadHive(open.root, hive);
  auto section = hive.find(open.path);
  if (section == hive.end()) return ERROR_FILE_NOT_FOUND;
  auto value = section->second.values.find(ToUpperLatin(valueName ? valueName : ""));
  if (value == section->second.values.end()) return ERROR_FILE_NOT_FOUND;
  std::string bytes = value->second.data;
  if (value->second.type == REG_SZ || value->second.type == REG_EXPAND_SZ) bytes += '\0';
  if (type) *type = value->second.type;
  if (dataSize == nullptr) return data == nullptr ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
  const DWORD available = *dataSize;
  *dataSize = static_cast<DWORD>(bytes.size());
  if (data == nullptr) return ERROR_SUCCESS;
  if (available < bytes.size()) return ERROR_MORE_DATA;
  std::memcpy(data, bytes.data(), bytes.size());
  return ERROR_SUCCESS;
}

LONG RegCloseKey(HKEY key) {
  std::lock_guard<std::mutex> lock(g_mutex);
  return g_handles.erase(reinterpret_cast<std::uintptr_t>(key)) == 1 ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

RegistryHiveReport InspectRegistryHive(HKEY root) {
  RegistryHiveReport report;
  report.file = RegistryHivePath(root);
  if (RootName(root) == nullptr) return report;
  const SettingsText file = ReadSettingsFile(report.file);
  if (file.state == SettingsText::State::Missing) return report;
  if (file.state != SettingsText::State::Read) {
    report.state = RegistryHiveReport::State::Unreadable;
    report.text.problems.push_back(
        {0, "", "le fichier ne se lit pas (droits, ou ce n'est pas un fichier ordinaire) : il est ignoré"});
    return report;
  }
  report.state = RegistryHiveReport::State::Read;
  report.text = ParseHiveText(file.text, RootName(root));
  return report;
}
