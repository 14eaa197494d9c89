// Contract: CStdioFile, the text file the journal is written through.
//
// What the system may rely on:
//  - Open(path, modeCreate | modeWrite | typeText, nullptr) creates the file
//    (mode 0666 less the umask) or empties an existing one and returns FALSE
//    (never throws, never blocks) when that is impossible: missing folder,
//    no permission, a folder of that name.
//  - It refuses, with FALSE and leaving it untouched, what another user may
//    have planted in a shared folder: a symbolic link (even one to a file of
//    the user's own; a dangling one creates nothing), anything that is not a
//    regular file (a FIFO, a device), and a file that the effective user does
//    not own, so that a run as root never empties another user's file. The
//    file is reached through its folder's descriptor (folder_file.h).
//  - WriteString(text) writes the text at once: each "\n" becomes CR LF and
//    the UTF-8 text is converted to Windows-1252, the journal's code page; a
//    character that 1252 lacks, and a byte that is not UTF-8, becomes '?'.
//  - Close() flushes and closes; the destructor closes a file left open.
// Differences from the original: only the create/write/text mode exists;
// write errors are not reported (the journal's writers never look at them);
// the refusals above are our own (the journal is then not written).
#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

#include "platform/text.h"
#include "platform/types.h"

class CFileException;

class CFile {
 public:
  enum OpenFlags : UINT {
    modeRead = 0x0000,
    modeWrite = 0x0001,
    modeCreate = 0x1000,
    typeText = 0x4000,
  };
};

class CStdioFile : public CFile {
 public:
  CStdioFile() = default;
  ~CStdioFile();
  CStdioFile(const CStdioFile&) = delete;
  CStdioFile& operator=(const CStdioFile&) = delete;

  BOOL Open(const char* path, UINT flags, CFileException* error = nullptr);
  void WriteString(const char* text);
  void Close();
  bool IsOpen() const { return m_file != nullptr; }

 private:
  std::FILE* m_file = nullptr;
};

// The bytes that WriteString puts in the file for a text: Windows-1252, CR LF.
std::string ToJournalBytes(std::string_view utf8);

// Windows-1252 bytes back to UTF-8 (for reading journals in tests and tools).
std::string FromWindows1252(std::string_view bytes);
