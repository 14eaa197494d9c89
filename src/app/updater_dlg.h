// The summary dialog shown at the end of a run with Debug set: the paths
// used and a button that opens the journal.
#pragma once

#include "platform/dialog.h"
#include "platform/text.h"

class CUpdaterDlg : public CDialog {
 public:
  explicit CUpdaterDlg(CString journalPath);

  CString m_strDest;
  CString m_strTemplateDir;
  CString m_strSource;

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
  void OnCommand(int id) override;
  void OnJournal();

 private:
  CString m_strJournalPath;
};
