#include "platform/registry.h"

#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <optional>
#include <sstream>
#include <vector>

#include "platform/settings_file.h"
#include "platform/text.h"

namespace {

struct Value {
  DWORD type = REG_NONE;
  std::string data;  // REG_SZ: the text without NUL; others: raw bytes
};

// Keys by upper-cased full path ("HKEY_CURRENT_USER\SOFTWARE\..."),
// values by upper-cased name ("" for the default value "@").
using Hive = std::map<std::string, std::map<std::string, Value>>;

const char* RootName(HKEY root) {
  if (root == HKEY_CURRENT_USER) return "HKEY_CURRENT_USER";
  if (root == HKEY_LOCAL_MACHINE) return "HKEY_LOCAL_MACHINE";
  return nullptr;
}

std::string Trim(const std::string& s) {
  const size_t b = s.find_first_not_of(" \t\r\n");
  if (b == std::string::npos) return "";
  const size_t e = s.find_last_not_of(" \t\r\n");
  return s.substr(b, e - b + 1);
}

// Reads a quoted REGEDIT4 string starting at s[pos] == '"'; returns the
// position after the closing quote, or npos when it is not well formed.
size_t ReadQuoted(const std::string& s, size_t pos, std::string& out) {
  out.clear();
  for (size_t i = pos + 1; i < s.size(); ++i) {
    if (s[i] == '\\') {
      if (++i >= s.size()) return std::string::npos;
      out += s[i];
    } else if (s[i] == '"') {
      return i + 1;
    } else {
      out += s[i];
    }
  }
  return std::string::npos;
}

std::optional<Value> ParseData(const std::string& text) {
  Value v;
  if (!text.empty() && text[0] == '"') {
    std::string s;
    const size_t end = ReadQuoted(text, 0, s);
    if (end != text.size()) return std::nullopt;
    v.type = REG_SZ;
    v.data = s;
    return v;
  }
  if (text.rfind("dword:", 0) == 0) {
    const std::string hex = text.substr(6);
    if (hex.size() != 8 || hex.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) return std::nullopt;
    const DWORD n = static_cast<DWORD>(std::strtoul(hex.c_str(), nullptr, 16));
    v.type = REG_DWORD;
    v.data.assign(reinterpret_cast<const char*>(&n), sizeof n);
    return v;
  }
  if (text.rfind("hex", 0) == 0) {
    size_t colon = text.find(':');
    if (colon == std::string::npos) return std::nullopt;
    v.type = REG_BINARY;
    if (text[3] == '(') {
      const size_t close = text.find(')');
      if (close == std::string::npos || close + 1 != colon) return std::nullopt;
      char* end = nullptr;
      v.type = static_cast<DWORD>(std::strtoul(text.c_str() + 4, &end, 16));
      if (end != text.c_str() + close) return std::nullopt;
    } else if (colon != 3) {
      return std::nullopt;
    }
    std::stringstream bytes(text.substr(colon + 1));
    std::string byte;
    while (std::getline(bytes, byte, ',')) {
      byte = Trim(byte);
      if (byte.size() != 2 || byte.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) return std::nullopt;
      v.data += static_cast<char>(std::strtoul(byte.c_str(), nullptr, 16));
    }
    return v;
  }
  return std::nullopt;
}

// Parses a whole hive file; nullopt when it is not a well-formed export.
std::optional<Hive> ParseHive(const std::string& text, const std::string& rootName) {
  std::istringstream in(text);
  Hive hive;
  std::string line, pending, section;
  bool header = false;
  std::vector<std::string> lines;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    // Long hex values continue on the next line after a trailing backslash.
    if (!pending.empty()) line = pending + Trim(line);
    pending.clear();
    if (!line.empty() && line.back() == '\\' && line.find("=hex") != std::string::npos) {
      pending = line.substr(0, line.size() - 1);
      continue;
    }
    lines.push_back(line);
  }
  if (!pending.empty()) return std::nullopt;
  const std::string rootUpper = ToUpperLatin(rootName);
  for (const std::string& raw : lines) {
    const std::string l = Trim(raw);
    if (l.empty() || l[0] == ';') continue;
    if (!header) {
      if (l != "REGEDIT4") return std::nullopt;
      header = true;
      continue;
    }
    if (l[0] == '[') {
      if (l.back() != ']') return std::nullopt;
      std::string path = l.substr(1, l.size() - 2);
      if (!path.empty() && path[0] == '-') {  // a deletion section: nothing to read
        section.clear();
        continue;
      }
      path = ToUpperLatin(path);
      if (path != rootUpper && path.rfind(rootUpper + "\\", 0) != 0) return std::nullopt;
      section = path;
      hive[section];
      continue;
    }
    if (section.empty()) return std::nullopt;
    std::string name;
    size_t pos;
    if (l[0] == '@') {
      pos = 1;
    } else if (l[0] == '"') {
      pos = ReadQuoted(l, 0, name);
      if (pos == std::string::npos) return std::nullopt;
    } else {
      return std::nullopt;
    }
    if (pos >= l.size() || l[pos] != '=') return std::nullopt;
    const std::optional<Value> value = ParseData(Trim(l.substr(pos + 1)));
    if (!value) return std::nullopt;
    hive[section][ToUpperLatin(name)] = *value;
  }
  if (!header) return std::nullopt;
  return hive;
}

// Unusable: malformed, unreadable or not a regular file; it reads as a hive
// without keys and is never written.
enum class FileState { Missing, Unusable, Valid };

FileState LoadHive(HKEY root, Hive& hive) {
  hive.clear();
  const SettingsText file = ReadSettingsFile(RegistryHivePath(root));
  if (file.state == SettingsText::State::Missing) return FileState::Missing;
  std::optional<Hive> parsed;
  if (file.state == SettingsText::State::Read) parsed = ParseHive(file.text, RootName(root));
  if (!parsed) return FileState::Unusable;
  hive = std::move(*parsed);
  return FileState::Valid;
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
  if (state == FileState::Unusable) return ERROR_ACCESS_DENIED;
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
  auto value = section->second.find(ToUpperLatin(valueName ? valueName : ""));
  if (value == section->second.end()) return ERROR_FILE_NOT_FOUND;
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
