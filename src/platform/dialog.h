// Contract: dialog windows on a terminal.
//
// A dialog is described by a template like a Windows dialog resource: a
// caption, a size and controls placed in dialog units. On a terminal four
// horizontal dialog units make one column and eight vertical units one
// line, as they make one average character on Windows, so a 320 x 200
// dialog is drawn in 80 columns and 25 lines and a static control's text
// wraps inside its own width and height.
//
// What the system may rely on:
//  - Create() shows a modeless window at once and returns; DestroyWindow()
//    takes it away. On a terminal (standard error is a tty) the window is
//    one status line redrawn in place and cleared at the end; otherwise it
//    is written once as a plain line. Nothing waits for the user.
//  - DoModal() draws the whole dialog on standard error when standard
//    error is a terminal; otherwise it writes the dialog's plain form
//    (WritePlain(), nothing by default) for a log to keep. When standard
//    input and standard error are terminals it waits for a key: Enter,
//    Escape or 'o' press the default button (IDOK); the first letter of
//    another push button presses that button, whose command reaches
//    OnCommand(). Otherwise it returns IDOK at once, so that no script
//    ever waits on it.
//  - OnInitDialog() runs before the first drawing; DoDataExchange() copies
//    the members bound to controls into them (DDX_Text).
// Differences: no mouse, no icon, no painting messages; a minimised window
// does not exist on a terminal.
#pragma once

#include <string>
#include <vector>

#include "platform/text.h"
#include "platform/types.h"

inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;

struct DialogControl {
  enum class Kind { Text, CenteredText, PushButton, DefaultPushButton };
  int id;
  Kind kind;
  const char* text;
  int x, y, cx, cy;  // dialog units
};

struct DialogTemplate {
  int id;
  const char* caption;
  int cx, cy;  // dialog units
  std::vector<DialogControl> controls;
};

class CDialog;

class CDataExchange {
 public:
  explicit CDataExchange(CDialog* dialog) : m_pDlgWnd(dialog) {}
  CDialog* m_pDlgWnd;
};

class CDialog {
 public:
  explicit CDialog(const DialogTemplate& dialogTemplate);
  virtual ~CDialog();
  CDialog(const CDialog&) = delete;
  CDialog& operator=(const CDialog&) = delete;

  BOOL Create();
  BOOL DestroyWindow();
  int DoModal();
  void EndDialog(int result);

  void SetDlgItemText(int id, const char* text);

  // The lines DoModal draws, without the terminal's control sequences
  // (also what tests look at).
  std::vector<std::string> Render() const;
  // What DoModal writes in the dialog's place where there is no terminal.
  virtual void WritePlain() const {}

 protected:
  virtual BOOL OnInitDialog();
  virtual void DoDataExchange(CDataExchange* pDX);
  virtual void OnCommand(int id);
  virtual void OnDestroy() {}
  virtual void OnOK() { EndDialog(IDOK); }
  virtual void OnCancel() { EndDialog(IDCANCEL); }
  BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

 private:
  struct ControlState {
    DialogControl control;
    std::string text;
  };
  ControlState* Find(int id);
  void DrawStatusLine(bool clear) const;

  const DialogTemplate& m_template;
  std::vector<ControlState> m_controls;
  bool m_bModeless = false;
  int m_nResult = 0;
  bool m_bEnded = false;
};

void DDX_Text(CDataExchange* pDX, int id, CString& value);

// A message box on standard error; waits for a key on a terminal.
int AfxMessageBox(const char* text);

// Whether the dialogs can wait for a key.
bool IsInteractiveTerminal();
