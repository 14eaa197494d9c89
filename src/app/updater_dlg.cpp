#include "app/updater_dlg.h"

#include "platform/viewer.h"
#include "res/dialogs.h"
#include "res/resource.h"

CUpdaterDlg::CUpdaterDlg(CString journalPath)
    : CDialog(UpdaterDialogResource()), m_strJournalPath(std::move(journalPath)) {}

void CUpdaterDlg::DoDataExchange(CDataExchange* pDX) {
  CDialog::DoDataExchange(pDX);
  DDX_Text(pDX, IDC_DEST, m_strDest);
  DDX_Text(pDX, IDC_TEMPLATE, m_strTemplateDir);
  DDX_Text(pDX, IDC_SOURCE, m_strSource);
}

void CUpdaterDlg::OnCommand(int id) {
  if (id == IDC_JOURNAL) {
    OnJournal();
    return;
  }
  CDialog::OnCommand(id);
}

void CUpdaterDlg::OnJournal() {
  // The journal may not exist (no journal was written); the viewer is
  // given its path all the same and says so itself.
  CString parameters;
  parameters.Format("\"%s\"", m_strJournalPath.GetString());
  if (!OpenInViewer(parameters)) AfxMessageBox(kJournalOpenError);
  EndDialog(IDOK);
}
