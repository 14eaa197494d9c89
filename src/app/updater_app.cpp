#include "app/updater_app.h"

#include <cstdio>

#include "app/command_line.h"
#include "app/dry_run.h"
#include "app/registry_key.h"
#include "app/template_dir.h"
#include "app/updater_dlg.h"
#include "engine/conversion.h"
#include "shell/failure.h"
#include "shell/journal.h"

CUpdaterApp::CUpdaterApp() : CWinApp(nullptr) {
  g_pJournal = nullptr;
  g_bDebug = 0;
}

BOOL CUpdaterApp::InitInstance() {
  AfxEnableControlContainer();
  Enable3dControls();
  SetRegistryKey("Norvane\\Toquelin");
  ReadSettings();

  CUpdaterCommandLineInfo cmdInfo;
  ParseCommandLine(cmdInfo);
  const BOOL bPaths = ResolvePaths(cmdInfo.m_strSource, cmdInfo.m_strDest);
  if (cmdInfo.m_bInfo) {
    m_nDryRunExit = PrintDryRun(*this, bPaths);
    return FALSE;
  }

  if (g_bDebug) OpenJournal(m_strJournalPath);
  if (bPaths) {
    m_nCurrentVersion = RunConversion(m_strSource, m_strDest, m_szTemplateDir);
  } else {
    NoteFailure("aucune base à convertir : le paramètre /SRC= manque ou est vide");
  }
  CloseJournal();
  if (m_nCurrentVersion == 0) ReportFailure();

  if (g_bDebug) {
    CUpdaterDlg dlg(GetJournalPath());
    dlg.m_strSource = m_strSource;
    dlg.m_strDest = m_strDest;
    dlg.m_strTemplateDir = m_szTemplateDir;
    dlg.DoModal();
  }
  return FALSE;
}

// Whatever Debug says, a failed run says why in one line: without Debug
// there is no journal to read.
void CUpdaterApp::ReportFailure() {
  const CString& reason = FailureReason();
  std::fprintf(stderr, "updater : %s.\n", reason.IsEmpty() ? "aucune version atteinte" : reason.GetString());
}

int CUpdaterApp::ExitInstance() {
  const int code = CWinApp::ExitInstance();
  if (m_nDryRunExit >= 0) return m_nDryRunExit;
  return m_nCurrentVersion != 0 ? code : kExitNothingConverted;
}

void CUpdaterApp::ReadSettings() {
  g_bDebug = static_cast<int>(GetProfileInt("Générale", "Debug", 0));
  CRegistryKey key(HKEY_LOCAL_MACHINE, "SOFTWARE\\Norvane\\Toquelin\\tq2\\Path");
  CString path;
  m_bTemplateDirFromRegistry = key.QueryString("ExePath", path, "") == 0;
  m_szTemplateDir = !path.IsEmpty() ? path : InstalledTemplateDir().value_or(GetCurrentDirectoryText());
  key.Close();
}

// An absolute path plays the role of a path with a drive letter and is kept;
// any other path is taken inside the template folder.
CString CUpdaterApp::ResolveOne(const CString& path) const {
  if (path.GetLength() > 0 && path.GetAt(0) == '/') return path;
  CString resolved;
  resolved.Format("%s/%s", m_szTemplateDir.GetString(), path.GetString());
  return resolved;
}

BOOL CUpdaterApp::ResolvePaths(const CString& source, const CString& dest) {
  if (source.IsEmpty()) return FALSE;
  m_strSource = ResolveOne(source);
  m_strDest = dest.IsEmpty() ? m_strSource : ResolveOne(dest);
  // The journal lies in the destination's folder.
  m_strJournalPath.Format("%sUpdater.log", m_strDest.Left(m_strDest.ReverseFind('/') + 1).GetString());
  return TRUE;
}
