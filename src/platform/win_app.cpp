#include "platform/win_app.h"

#include <unistd.h>

#include <climits>
#include <cstring>

#include "platform/registry.h"

namespace {
CWinApp* g_pApp = nullptr;
}

void CCommandLineInfo::ParseParam(const char* pszParam, BOOL bFlag, BOOL /*bLast*/) {
  if (!bFlag && m_strFileName.IsEmpty()) {
    m_strFileName = pszParam;
    m_nShellCommand = FileOpen;
  }
}

CWinApp::CWinApp(const char* appName) : m_pszAppName(appName) { g_pApp = this; }

CWinApp::~CWinApp() {
  if (g_pApp == this) g_pApp = nullptr;
}

void CWinApp::SetRegistryKey(const char* key) { m_pszRegistryKey = key; }

UINT CWinApp::GetProfileInt(const char* section, const char* entry, int defaultValue) const {
  if (m_pszRegistryKey.IsEmpty()) return static_cast<UINT>(defaultValue);
  CString path;
  path.Format("Software\\%s\\%s\\%s", m_pszRegistryKey.GetString(), m_pszAppName.GetString(), section);
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS) {
    return static_cast<UINT>(defaultValue);
  }
  DWORD type = REG_NONE, value = 0, size = sizeof value;
  const LONG rc = RegQueryValueExA(key, entry, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
  RegCloseKey(key);
  if (rc != ERROR_SUCCESS || type != REG_DWORD || size != sizeof value) return static_cast<UINT>(defaultValue);
  return value;
}

void CWinApp::ParseCommandLine(CCommandLineInfo& info) const {
  for (size_t i = 1; i < m_args.size(); ++i) {
    const char* param = m_args[i].c_str();
    BOOL flag = FALSE;
    if (param[0] == '-' || param[0] == '/') {
      flag = TRUE;
      ++param;
    }
    info.ParseParam(param, flag, i + 1 == m_args.size() ? TRUE : FALSE);
  }
}

CWinApp* AfxGetApp() { return g_pApp; }

int AfxWinMain(int argc, char** argv) {
  CWinApp* app = AfxGetApp();
  if (app == nullptr) return 1;
  app->m_args.assign(argv, argv + argc);
  std::string exe = argc > 0 ? argv[0] : "updater";
  if (const size_t slash = exe.rfind('/'); slash != std::string::npos) exe.erase(0, slash + 1);
  app->m_pszExeName = exe;
  if (app->m_pszAppName.IsEmpty()) app->m_pszAppName = exe;
  if (app->InitInstance()) {
    // A framework application would run its message loop here; this system
    // always returns FALSE from InitInstance.
  }
  return app->ExitInstance();
}

CString GetCurrentDirectoryText() {
  char buffer[PATH_MAX];
  if (getcwd(buffer, sizeof buffer) == nullptr) return CString();
  return CString(buffer);
}
