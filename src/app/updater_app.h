// The application object: the start-up sequence, the two settings, the
// paths of the run and the exit code.
//
// A failure leaves the program by its exit code (1000) and one line on
// standard error, the reason that the layers below noted
// (shell/failure.h); the journal, with Debug, says the rest. No exception
// reaches this layer.
#pragma once

#include "platform/text.h"
#include "platform/win_app.h"
#include "recordsets/db_version.h"

class CUpdaterApp : public CWinApp {
 public:
  CUpdaterApp();

  BOOL InitInstance() override;
  int ExitInstance() override;

  void ReadSettings();
  BOOL ResolvePaths(const CString& source, const CString& dest);

  const CString& GetTemplateDir() const { return m_szTemplateDir; }
  CString GetJournalPath() const { return m_strJournalPath; }

  CString m_strSource;
  CString m_strDest;
  CString m_strJournalPath;
  // The template folder, and the base of relative paths. Kept whole: a
  // Linux path may be far longer than 255 characters, and a cut one would
  // silently name another folder.
  CString m_szTemplateDir;
  DbVersion m_nCurrentVersion = 0;
  // Whether "ExePath" gave the template folder (else the current folder).
  bool m_bTemplateDirFromRegistry = false;

 private:
  CString ResolveOne(const CString& path) const;
  void ReportFailure();

  // Set by --info: the exit code of the dry run, which converts nothing.
  int m_nDryRunExit = -1;
};

// The exit code of a run that reached no version.
inline constexpr int kExitNothingConverted = 1000;
