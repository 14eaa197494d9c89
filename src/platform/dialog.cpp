#include "platform/dialog.h"

#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace {

// Columns are counted in characters: one column per UTF-8 code point.
size_t Columns(const std::string& s) {
  size_t n = 0;
  for (unsigned char c : s) n += (c & 0xC0) != 0x80;
  return n;
}

// The byte offset of column `col` in s.
size_t ByteAt(const std::string& s, size_t col) {
  size_t n = 0, i = 0;
  for (; i < s.size(); ++i) {
    if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) {
      if (n == col) return i;
      ++n;
    }
  }
  return i;
}

// Breaks a text into lines of at most `width` columns, at spaces where it
// can and anywhere in a long word (a path has no spaces to break at).
std::vector<std::string> Wrap(const std::string& text, size_t width) {
  std::vector<std::string> lines;
  if (width == 0) return lines;
  std::string rest = text;
  while (Columns(rest) > width) {
    size_t cut = ByteAt(rest, width);
    const size_t space = rest.rfind(' ', cut);
    if (space != std::string::npos && space > 0) cut = space;
    lines.push_back(rest.substr(0, cut));
    rest.erase(0, cut);
    if (!rest.empty() && rest[0] == ' ') rest.erase(0, 1);
  }
  lines.push_back(rest);
  return lines;
}

void Put(std::vector<std::string>& grid, size_t row, size_t col, const std::string& text) {
  if (row >= grid.size()) return;
  std::string& line = grid[row];
  const size_t have = Columns(line);
  if (have < col) line.append(col - have, ' ');
  const size_t from = ByteAt(line, col);
  const size_t to = ByteAt(line, col + Columns(text));
  line.replace(from, to - from, text);
}

int ReadKey() {
  termios saved{};
  if (tcgetattr(STDIN_FILENO, &saved) != 0) return '\n';
  termios raw = saved;
  raw.c_lflag &= static_cast<tcflag_t>(~(ICANON | ECHO));
  raw.c_cc[VMIN] = 1;
  raw.c_cc[VTIME] = 0;
  tcsetattr(STDIN_FILENO, TCSANOW, &raw);
  unsigned char c = '\n';
  const ssize_t n = read(STDIN_FILENO, &c, 1);
  tcsetattr(STDIN_FILENO, TCSANOW, &saved);
  return n == 1 ? c : '\n';
}

}  // namespace

bool IsInteractiveTerminal() { return isatty(STDIN_FILENO) && isatty(STDERR_FILENO); }

CDialog::CDialog(const DialogTemplate& dialogTemplate) : m_template(dialogTemplate) {
  for (const DialogControl& c : m_template.controls) m_controls.push_back({c, c.text ? c.text : ""});
}

CDialog::~CDialog() {
  if (m_bModeless) DestroyWindow();
}

CDialog::ControlState* CDialog::Find(int id) {
  for (ControlState& c : m_controls)
    if (c.control.id == id) return &c;
  return nullptr;
}

void CDialog::SetDlgItemText(int id, const char* text) {
  if (ControlState* c = Find(id)) c->text = text ? text : "";
}

void CDialog::DoDataExchange(CDataExchange* /*pDX*/) {}

BOOL CDialog::UpdateData(BOOL /*bSaveAndValidate*/) {
  CDataExchange dx(this);
  DoDataExchange(&dx);
  return TRUE;
}

void DDX_Text(CDataExchange* pDX, int id, CString& value) { pDX->m_pDlgWnd->SetDlgItemText(id, value); }

BOOL CDialog::OnInitDialog() {
  UpdateData(FALSE);
  return TRUE;
}

void CDialog::OnCommand(int id) {
  if (id == IDOK) OnOK();
  if (id == IDCANCEL) OnCancel();
}

void CDialog::EndDialog(int result) {
  m_nResult = result;
  m_bEnded = true;
}

std::vector<std::string> CDialog::Render() const {
  const size_t width = static_cast<size_t>(m_template.cx) / 4;
  const size_t height = static_cast<size_t>(m_template.cy) / 8;
  std::vector<std::string> grid(height);
  for (const ControlState& c : m_controls) {
    const size_t col = static_cast<size_t>(c.control.x) / 4, row = static_cast<size_t>(c.control.y) / 8;
    const size_t cw = std::max<size_t>(1, static_cast<size_t>(c.control.cx) / 4);
    const size_t ch = std::max<size_t>(1, static_cast<size_t>(c.control.cy) / 8);
    switch (c.control.kind) {
      case DialogControl::Kind::PushButton:
      case DialogControl::Kind::DefaultPushButton: {
        const bool isDefault = c.control.kind == DialogControl::Kind::DefaultPushButton;
        Put(grid, row, col, (isDefault ? "[< " : "[ ") + c.text + (isDefault ? " >]" : " ]"));
        break;
      }
      case DialogControl::Kind::Text:
      case DialogControl::Kind::CenteredText: {
        std::vector<std::string> lines = Wrap(c.text, cw);
        // A one-line label may take a second line: terminal columns are wider
        // than the proportional font the dialog was laid out for.
        const size_t maxLines = std::max<size_t>(ch, 2);
        for (size_t i = 0; i < lines.size() && i < maxLines; ++i) {
          size_t indent = 0;
          if (c.control.kind == DialogControl::Kind::CenteredText) indent = (cw - std::min(cw, Columns(lines[i]))) / 2;
          Put(grid, row + i, col + indent, lines[i]);
        }
        break;
      }
    }
  }
  // Rows below the last control are blank; one is kept as a margin.
  while (grid.size() > 1 && grid.back().find_first_not_of(' ') == std::string::npos &&
         grid[grid.size() - 2].find_first_not_of(' ') == std::string::npos) {
    grid.pop_back();
  }
  std::vector<std::string> out;
  std::string title = std::string("┌─ ") + m_template.caption + " ";
  while (Columns(title) < width + 1) title += "─";
  out.push_back(title + "┐");
  for (std::string& line : grid) {
    const size_t have = Columns(line);
    if (have < width) line.append(width - have, ' ');
    out.push_back("│" + line + "│");
  }
  std::string bottom = "└";
  for (size_t i = 0; i < width; ++i) bottom += "─";
  out.push_back(bottom + "┘");
  return out;
}

void CDialog::DrawStatusLine(bool clear) const {
  std::string text;
  for (const ControlState& c : m_controls) {
    if (c.control.kind == DialogControl::Kind::Text || c.control.kind == DialogControl::Kind::CenteredText) {
      text = c.text;
      break;
    }
  }
  const std::string line = std::string(m_template.caption) + " : " + text;
  if (isatty(STDERR_FILENO)) {
    // \r\033[K: back to the start of the line and erase it, so the window
    // is redrawn in place and leaves nothing behind.
    std::fprintf(stderr, "\r\033[K%s", clear ? "" : line.c_str());
  } else if (!clear) {
    std::fprintf(stderr, "%s\n", line.c_str());
  }
  std::fflush(stderr);
}

BOOL CDialog::Create() {
  m_bModeless = true;
  OnInitDialog();
  DrawStatusLine(false);
  return TRUE;
}

BOOL CDialog::DestroyWindow() {
  if (!m_bModeless) return FALSE;
  m_bModeless = false;
  OnDestroy();
  DrawStatusLine(true);
  return TRUE;
}

int CDialog::DoModal() {
  m_bEnded = false;
  OnInitDialog();
  if (!isatty(STDERR_FILENO)) {
    // A box of 23 lines in a log says less than a line.
    WritePlain();
    std::fflush(stderr);
    return IDOK;
  }
  for (const std::string& line : Render()) std::fprintf(stderr, "%s\n", line.c_str());
  std::fflush(stderr);
  if (!IsInteractiveTerminal()) return IDOK;
  while (!m_bEnded) {
    const int key = ReadKey();
    if (key == '\n' || key == '\r' || key == 27 || key == 'o' || key == 'O') {
      OnCommand(IDOK);
      continue;
    }
    for (const ControlState& c : m_controls) {
      const bool button = c.control.kind == DialogControl::Kind::PushButton;
      if (button && !c.text.empty() && std::tolower(static_cast<unsigned char>(c.text[0])) == std::tolower(key)) {
        OnCommand(c.control.id);
        break;
      }
    }
  }
  return m_nResult;
}

int AfxMessageBox(const char* text) {
  std::fprintf(stderr, "/!\\ %s [OK]\n", text);
  std::fflush(stderr);
  if (IsInteractiveTerminal()) ReadKey();
  return IDOK;
}
