#include "app/registry_key.h"

#include <vector>

namespace {
// Errors other than a missing key would be reported here; like the original,
// nothing is shown: a setting that cannot be read takes its default.
void ReportRegistryError(LONG /*error*/, const CString& /*path*/) {}
}  // namespace

CRegistryKey::CRegistryKey(HKEY root, const char* subKey, DWORD access) : m_strPath(subKey) {
  LONG rc;
  if (access == KEY_READ) {
    rc = RegOpenKeyExA(root, subKey, 0, access, &m_hKey);
  } else {
    DWORD disposition = 0;
    rc = RegCreateKeyExA(root, subKey, 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr, &m_hKey,
                         &disposition);
  }
  if (rc == ERROR_SUCCESS) {
    m_bOpen = true;
  } else if (rc != ERROR_FILE_NOT_FOUND) {
    ReportRegistryError(rc, m_strPath);
  }
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
