// The summary dialog shown at the end of a run with Debug set: the paths
// used, the result, and a button that opens the journal.
#pragma once

#include "platform/dialog.h"
#include "platform/text.h"

class CUpdaterDlg : public CDialog {
 public:
  explicit CUpdaterDlg(CString journalPath);

  CString m_strDest;
  CString m_strTemplateDir;
  CString m_strSource;
  // The version reached, or what failed; and where the original is.
  CString m_strResult;
  // The line that stands for the dialog without a terminal, after a
  // conversion; empty after a failure, which has said why on its own line.
  CString m_strPlainResult;
  // Whether this run wrote the journal (else there is none to point at).
  bool m_bJournalWritten = false;

  void WritePlain() const override;

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
  void OnCommand(int id) override;
  void OnJournal();

 private:
  CString m_strJournalPath;
};
