// A small owner of one open registry key.
#pragma once

#include "platform/registry.h"
#include "platform/text.h"

class CRegistryKey {
 public:
  // KEY_READ opens an existing key; any other access opens or creates it.
  CRegistryKey(HKEY root, const char* subKey, DWORD access);
  ~CRegistryKey();
  CRegistryKey(const CRegistryKey&) = delete;
  CRegistryKey& operator=(const CRegistryKey&) = delete;

  // 0 after reading a non-empty REG_SZ value into out; otherwise out gets
  // the default text and the result is 1.
  int QueryString(const char* valueName, CString& out, const char* defaultText) const;
  void Close();
  bool IsOpen() const { return m_bOpen; }

 private:
  CString m_strPath;
  bool m_bOpen = false;
  HKEY m_hKey = nullptr;
};
