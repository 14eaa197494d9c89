// Contract: the application framework's start-up, as a command-line program.
//
// What the system may rely on:
//  - AfxWinMain(argc, argv) runs the one CWinApp object the program defines:
//    it records the command line, calls InitInstance and, when that returns
//    FALSE (the system's case), ExitInstance; ExitInstance's value is the
//    process exit code (a POSIX status keeps its low 8 bits: 1000 reads 232).
//  - ParseCommandLine hands each argument after the program name to
//    CCommandLineInfo::ParseParam: an argument that starts with '/' or '-'
//    is a flag and arrives without that first character; bLast is TRUE for
//    the last one. pszParam points into the argument as typed, so a flag's
//    '/' or '-' is pszParam[-1] (as the original framework hands it over).
//  - SetRegistryKey + GetProfileInt read the DWORD value
//    HKEY_CURRENT_USER\Software\<key>\<application name>\<section>\<entry>;
//    a missing key or a value of another type gives the default. Unlike the
//    original, reading a profile value never creates keys.
//  - The application name is the executable's file name (argv[0] without
//    its folder).
// Differences: no message loop, no windows of its own; the control
// container and 3D controls have nothing to enable on a terminal.
#pragma once

#include <string>
#include <vector>

#include "platform/text.h"
#include "platform/types.h"

class CCommandLineInfo {
 public:
  enum { FileNew, FileOpen, FileNothing };
  virtual ~CCommandLineInfo() = default;
  virtual void ParseParam(const char* pszParam, BOOL bFlag, BOOL bLast);

  CString m_strFileName;
  int m_nShellCommand = FileNew;
};

class CWinApp {
 public:
  explicit CWinApp(const char* appName = nullptr);
  virtual ~CWinApp();
  CWinApp(const CWinApp&) = delete;
  CWinApp& operator=(const CWinApp&) = delete;

  virtual BOOL InitInstance() { return TRUE; }
  virtual int ExitInstance() { return 0; }

  void SetRegistryKey(const char* key);
  UINT GetProfileInt(const char* section, const char* entry, int defaultValue) const;
  void ParseCommandLine(CCommandLineInfo& info) const;
  void AfxEnableControlContainer() {}
  void Enable3dControls() {}

  // Set by AfxWinMain before InitInstance.
  std::vector<std::string> m_args;
  CString m_pszAppName;
  CString m_pszExeName;
  CString m_pszRegistryKey;
};

// The application object of the process, or null before it is built.
CWinApp* AfxGetApp();

// Runs the application object as a program; returns the exit code.
int AfxWinMain(int argc, char** argv);

// The current directory (the original's GetCurrentDirectoryA), empty on error.
CString GetCurrentDirectoryText();
