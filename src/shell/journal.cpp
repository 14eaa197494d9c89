#include "shell/journal.h"

#include "shell/failure.h"

#include <cstdarg>
#include <memory>

CStdioFile* g_pJournal = nullptr;
int g_bDebug = 0;

namespace {
std::unique_ptr<CStdioFile> g_journalFile;
}

void OpenJournal(const CString& path) {
  g_journalFile = std::make_unique<CStdioFile>();
  if (!g_journalFile->Open(path, CFile::modeCreate | CFile::modeWrite | CFile::typeText, nullptr)) {
    g_journalFile.reset();
    g_pJournal = nullptr;
    return;
  }
  g_pJournal = g_journalFile.get();
  g_pJournal->WriteString("Mise à jour database Toquelin V2.5.3 Beta\n\n");
}

void CloseJournal() {
  if (g_pJournal == nullptr) return;
  g_pJournal->WriteString("\nFin du journal.\n");
  g_pJournal->Close();
  g_journalFile.reset();
  g_pJournal = nullptr;
}

void JournalWrite(const char* text) {
  if (g_pJournal == nullptr) return;
  g_pJournal->WriteString(text);
}

void JournalFormat(const char* format, ...) {
  if (g_pJournal == nullptr) return;
  CString line;
  va_list args;
  va_start(args, format);
  line.FormatV(format, args);
  va_end(args);
  g_pJournal->WriteString(line);
}

void JournalDbError(const CDBException& e) {
  NoteDbFailure(e);
  JournalFormat("ERREUR : %s\n%s\n", e.m_strError.GetString(), e.m_strStateNativeOrigin.GetString());
}
