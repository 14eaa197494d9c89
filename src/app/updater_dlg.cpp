#include "app/updater_dlg.h"

#include <cstdio>

#include "platform/viewer.h"
#include "res/dialogs.h"
#include "res/resource.h"
#include "shell/failure.h"

CUpdaterDlg::CUpdaterDlg(CString journalPath)
    : CDialog(UpdaterDialogResource()), m_strJournalPath(std::move(journalPath)) {}

void CUpdaterDlg::DoDataExchange(CDataExchange* pDX) {
  CDialog::DoDataExchange(pDX);
  DDX_Text(pDX, IDC_DEST, m_strDest);
  DDX_Text(pDX, IDC_TEMPLATE, m_strTemplateDir);
  DDX_Text(pDX, IDC_SOURCE, m_strSource);
  DDX_Text(pDX, IDC_RESULT, m_strResult);
}

void CUpdaterDlg::WritePlain() const {
  if (!m_strPlainResult.IsEmpty()) SayLine(stderr, "%s", m_strPlainResult.GetString());
  // A path alone on its line, to be copied as it is: no full stop.
  if (m_bJournalWritten) std::fprintf(stderr, "updater : journal : %s\n", m_strJournalPath.GetString());
}

void CUpdaterDlg::OnCommand(int id) {
  if (id == IDC_JOURNAL) {
    OnJournal();
    return;
  }
  CDialog::OnCommand(id);
}

void CUpdaterDlg::OnJournal() {
  // A journal that was not written cannot be shown: the message box says
  // so, as it says it for a pager that cannot start.
  CString parameters;
  parameters.Format("\"%s\"", m_strJournalPath.GetString());
  if (!OpenInViewer(parameters)) AfxMessageBox(kJournalOpenError);
  EndDialog(IDOK);
}
