#include "shell/progress_dlg.h"

#include "res/dialogs.h"
#include "res/resource.h"

CProgressDlg::CProgressDlg() : CDialog(ProgressDialogResource()) {}

BOOL CProgressDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  m_pWaitCursor = std::make_unique<CWaitCursor>();
  // An empty text keeps the resource's own, the first step's name.
  if (!m_strText.IsEmpty()) SetDlgItemText(IDC_PROGRESS_TEXT, m_strText);
  return TRUE;
}

void CProgressDlg::OnDestroy() { m_pWaitCursor.reset(); }
