// The progress window: shown, without buttons, for the length of one
// conversion step, with one line naming the step.
#pragma once

#include <memory>

#include "platform/dialog.h"
#include "platform/text.h"

class CWaitCursor {};

class CProgressDlg : public CDialog {
 public:
  CProgressDlg();
  CString m_strText;

 protected:
  BOOL OnInitDialog() override;
  void OnDestroy() override;

 private:
  std::unique_ptr<CWaitCursor> m_pWaitCursor;
};
