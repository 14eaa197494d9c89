#include "app/updater_app.h"

#include <cstdio>

#include "app/command_line.h"
#include "app/dry_run.h"
#include "app/registry_key.h"
#include "app/settings_report.h"
#include "app/template_dir.h"
#include "app/updater_dlg.h"
#include "app/usage.h"
#include "app/user_paths.h"
#include "engine/conversion.h"
#include "engine/detection.h"
#include "platform/interrupt.h"
#include "shell/failure.h"
#include "shell/journal.h"
#include "steps/versions.h"

CUpdaterApp::CUpdaterApp() : CWinApp(nullptr) {
  g_pJournal = nullptr;
  g_bDebug = 0;
}

BOOL CUpdaterApp::InitInstance() {
  AfxEnableControlContainer();
  Enable3dControls();
  SetRegistryKey(kRegistryKey);
  ReadSettings();

  CUpdaterCommandLineInfo cmdInfo;
  ParseCommandLine(cmdInfo);
  CString source, dest;
  if (AnsweredWithoutRunning(cmdInfo, source, dest)) return FALSE;
  const BOOL bPaths = ResolvePaths(source, dest);
  if (cmdInfo.m_bInfo) {
    m_nEarlyExit = PrintDryRun(*this, bPaths, cmdInfo.m_bJson);
    return FALSE;
  }
  // Said once, before anything is written: a setting lost to a typing
  // mistake changes what the run does (no journal, another template folder).
  ReportSettingsIssues(stderr, SummarizeSettings(m_pszAppName));

  // The journal is opened once the run holds its locks: a run that waits
  // in vain must not empty the journal of the run it waited for.
  bool journalWritten = false;
  CString backup;
  if (bPaths) {
    m_nCurrentVersion = RunConversion(m_strSource, m_strDest, m_szTemplateDir, &backup, [&] {
      if (g_bDebug) OpenJournal(m_strJournalPath);
      journalWritten = g_pJournal != nullptr;
    });
  } else {
    NoteFailure("%s", kNoSourceReason);
  }
  CloseJournal();
  if (m_nCurrentVersion == 0) ReportFailure();
  if (g_bDebug) ShowSummary(backup, journalWritten);
  return FALSE;
}

void CUpdaterApp::ShowSummary(const CString& backup, bool journalWritten) {
  CUpdaterDlg dlg(GetJournalPath());
  dlg.m_strSource = m_strSource;
  dlg.m_strDest = m_strDest;
  dlg.m_strTemplateDir = m_szTemplateDir;
  dlg.m_bJournalWritten = journalWritten;
  // With a destination the source was only read; in place, the failure's
  // reason names the backup once there is one.
  const bool sourceKept = !m_strSource.IsEmpty() && !IsInPlace(m_strSource, m_strDest);
  if (m_nCurrentVersion != 0) {
    CString reached;
    reached.Format("convertie en version %s", StoredVersionText(m_nCurrentVersion));
    CString original;
    if (!backup.IsEmpty()) original.Format(" ; la base d'origine est conservée dans %s", backup.GetString());
    dlg.m_strResult = reached + (sourceKept ? " ; le fichier source est inchangé" : original.GetString());
    CString kept;
    kept.Format(" ; la base d'origine %s est inchangée", m_strSource.GetString());
    dlg.m_strPlainResult.Format("base %s %s%s", m_strDest.GetString(), reached.GetString(),
                                (sourceKept ? kept : original).GetString());
  } else {
    const CString reason = FailureReason().IsEmpty() ? CString("aucune version atteinte") : FailureReason();
    dlg.m_strResult = reason + (sourceKept ? " ; le fichier source est inchangé" : "");
  }
  // After Ctrl-C the user wants the prompt back, not a screen to dismiss.
  if (InterruptSignal() != 0) {
    dlg.WritePlain();
  } else {
    dlg.DoModal();
  }
}

// A refused command line, --help and --version end the run before anything
// is read or written; otherwise the command line's paths come out as the
// texts that ResolvePaths takes.
bool CUpdaterApp::AnsweredWithoutRunning(const CUpdaterCommandLineInfo& info, CString& source, CString& dest) {
  CString error = info.m_strError;
  if (error.IsEmpty()) {
    source = CommandLinePath(info.m_strSource, info.m_sourceForm);
    dest = CommandLinePath(info.m_strDest, info.m_destForm);
    if ((source.IsEmpty() && !info.m_strSource.IsEmpty()) || (dest.IsEmpty() && !info.m_strDest.IsEmpty())) {
      error = "le dossier courant n'existe plus : un chemin relatif n'y mène nulle part";
    }
  }
  if (!error.IsEmpty()) {
    SayLine(stderr, "%s ; voir --help", WithoutFullStop(error).GetString());
    m_nEarlyExit = kExitUsage;
  } else if (info.m_bHelp) {
    PrintUsage(stdout);
    m_nEarlyExit = 0;
  } else if (info.m_bVersion) {
    std::puts(kVersionText);
    m_nEarlyExit = 0;
  }
  return m_nEarlyExit >= 0;
}

CString CUpdaterApp::CommandLinePath(const CString& text, const CUpdaterCommandLineInfo::PathForm& form) {
  if (text.IsEmpty()) return text;
  const CString path = form.expandTilde ? ExpandTilde(text) : text;
  return form.currentFolder ? InCurrentFolder(path) : path;
}

// Whatever Debug says, a failed run says why in one line: without Debug
// there is no journal to read.
void CUpdaterApp::ReportFailure() {
  const CString& reason = FailureReason();
  SayLine(stderr, "%s", reason.IsEmpty() ? "aucune version atteinte" : reason.GetString());
}

int CUpdaterApp::ExitInstance() {
  const int code = CWinApp::ExitInstance();
  if (m_nEarlyExit >= 0) return m_nEarlyExit;
  return m_nCurrentVersion != 0 ? code : kExitNothingConverted;
}

void CUpdaterApp::ReadSettings() {
  g_bDebug = static_cast<int>(GetProfileInt(kProfileSection, kDebugEntry, 0));
  CRegistryKey key(HKEY_LOCAL_MACHINE, kTemplateKey);
  CString path;
  m_bTemplateDirFromRegistry = key.QueryString(kTemplateValue, path, "") == 0;
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
