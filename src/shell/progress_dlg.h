// The progress window: shown, without buttons, for the length of one
// conversion step, with one line naming the step.
#pragma once

#include <memory>

#include "platform/dialog.h"
#include "platform/text.h"

// A terminal has no mouse cursor to change; the object only marks the span
// during which the original showed the wait cursor.
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
