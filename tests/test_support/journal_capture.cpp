#include "test_support/journal_capture.h"

#include "shell/journal.h"
#include "platform/text_file.h"

JournalCapture::JournalCapture() { OpenJournal((m_dir.path() + "/Updater.log").c_str()); }

JournalCapture::~JournalCapture() { CloseJournal(); }

std::string JournalCapture::Text() {
  CloseJournal();
  std::string text = FromWindows1252(ReadFile(m_dir.path() + "/Updater.log"));
  std::string out;
  for (char c : text)
    if (c != '\r') out += c;
  const std::string banner = "Mise à jour database Toquelin V2.5.3 Beta\n\n";
  const std::string closing = "\nFin du journal.\n";
  if (out.rfind(banner, 0) == 0) out.erase(0, banner.size());
  if (out.size() >= closing.size() && out.compare(out.size() - closing.size(), closing.size(), closing) == 0) {
    out.erase(out.size() - closing.size());
  }
  return out;
}
