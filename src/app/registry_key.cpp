#include "app/registry_key.h"

#include <vector>

// Like the original, a key that cannot be opened is not reported: a setting
// that cannot be read takes its default.
CRegistryKey::CRegistryKey(HKEY root, const char* subKey) {
  m_bOpen = RegOpenKeyExA(root, subKey, 0, KEY_READ, &m_hKey) == ERROR_SUCCESS;
}

CRegistryKey::~CRegistryKey() { Close(); }

void CRegistryKey::Close() {
  if (m_bOpen) {
    RegCloseKey(m_hKey);
    m_bOpen = false;
    m_hKey = nullptr;
  }
}

int CRegistryKey::QueryString(const char* valueName, CString& out, const char* defaultText) const {
  if (m_bOpen) {
    DWORD type = REG_NONE, size = 0;
    if (RegQueryValueExA(m_hKey, valueName, nullptr, &type, nullptr, &size) == ERROR_SUCCESS && type == REG_SZ &&
        size > 1) {
      std::vector<BYTE> buffer(size);
      if (RegQueryValueExA(m_hKey, valueName, nullptr, &type, buffer.data(), &size) == ERROR_SUCCESS) {
        out = CString(reinterpret_cast<const char*>(buffer.data()));
        return 0;
      }
    }
  }
  out = defaultText;
  return 1;
}
