// The application object: the start-up sequence, the two settings, the
// paths of the run and the exit code.
//
// A failure leaves the program by its exit code (1000) and one line on
// standard error, the reason that the layers below noted
// (shell/failure.h); the journal, with Debug, says the rest. No exception
// reaches this layer.
#pragma once

#include "app/command_line.h"
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
  bool AnsweredWithoutRunning(const CUpdaterCommandLineInfo& info, CString& source, CString& dest);
  static CString CommandLinePath(const CString& text, const CUpdaterCommandLineInfo::PathForm& form);
  void ReportFailure();
  void ShowSummary(const CString& backup, bool journalWritten);

  // The exit code when the run ended before any conversion could start:
  // --info, --help, --version, a refused command line; -1 otherwise.
  int m_nEarlyExit = -1;
};

// Where the two settings are read.
inline constexpr char kRegistryKey[] = "Norvane\\Toquelin";
inline constexpr char kProfileSection[] = "Générale";
inline constexpr char kDebugEntry[] = "Debug";
inline constexpr char kTemplateKey[] = "SOFTWARE\\Norvane\\Toquelin\\tq2\\Path";
inline constexpr char kTemplateValue[] = "ExePath";

// The exit code of a run that reached no version.
inline constexpr int kExitNothingConverted = 1000;
// The exit code of a refused command line: nothing was read or written.
inline constexpr int kExitUsage = 2;

// Why nothing was converted when no source was given.
inline constexpr char kNoSourceReason[] = "aucune base source n'est donnée (--src CHEMIN ou /SRC=CHEMIN)";
