#include "platform/dialog.h"

#include <gtest/gtest.h>

namespace {

const DialogTemplate kTemplate{
    7,
    "Titre",
    80,
    40,
    {
        {-1, DialogControl::Kind::Text, "Fichier source :", 0, 0, 40, 8},
        {11, DialogControl::Kind::Text, "", 40, 0, 40, 16},
        {1, DialogControl::Kind::DefaultPushButton, "OK", 0, 24, 20, 8},
        {12, DialogControl::Kind::CenteredText, "abc", 0, 32, 40, 8},
    }};

class Dialog : public CDialog {
 public:
  Dialog() : CDialog(kTemplate) {}
  CString m_strValue;
  using CDialog::OnInitDialog;

 protected:
  void DoDataExchange(CDataExchange* pDX) override { DDX_Text(pDX, 11, m_strValue); }
};

}  // namespace

TEST(DialogTest, ControlsAreDrawnAtTheirDialogUnitPositions) {
  Dialog d;
  d.m_strValue = "/a/long/path/that/wraps";
  d.OnInitDialog();
  const std::vector<std::string> lines = d.Render();
  ASSERT_EQ(lines.size(), 7u);  // caption, five rows, bottom edge
  EXPECT_EQ(lines[0], "┌─ Titre ────────────┐");
  // 40 units make ten columns: the label wraps, the path fills its field
  // over its two lines (16 units) and is cut below them.
  EXPECT_EQ(lines[1], "│Fichier   /a/long/pa│");
  EXPECT_EQ(lines[2], "│source :  th/that/wr│");
  EXPECT_EQ(lines[4], "│[< OK >]            │");
  EXPECT_EQ(lines[5], "│   abc              │");
  EXPECT_EQ(lines[6], "└────────────────────┘");
}

TEST(DialogTest, ModalDialogReturnsOkAtOnceWithoutATerminal) {
  if (IsInteractiveTerminal()) GTEST_SKIP() << "runs only without a terminal";
  Dialog d;
  EXPECT_EQ(d.DoModal(), IDOK);
}
