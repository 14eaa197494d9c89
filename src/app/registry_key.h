// A small owner of one registry key opened for reading: the program reads
// its settings and never writes them.
#pragma once

#include "platform/registry.h"
#include "platform/text.h"

class CRegistryKey {
 public:
  // Opens an existing key; a missing one leaves the object closed.
  CRegistryKey(HKEY root, const char* subKey);
  ~CRegistryKey();
  CRegistryKey(const CRegistryKey&) = delete;
  CRegistryKey& operator=(const CRegistryKey&) = delete;

  // 0 after reading a non-empty REG_SZ value into out; otherwise out gets
  // the default text and the result is 1.
  int QueryString(const char* valueName, CString& out, const char* defaultText) const;
  void Close();
  bool IsOpen() const { return m_bOpen; }

 private:
  bool m_bOpen = false;
  HKEY m_hKey = nullptr;
};
