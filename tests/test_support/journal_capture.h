// Opens the journal on a temporary file for the length of a test and reads
// it back as UTF-8 with "\n" line ends, without its banner.
#pragma once

#include <string>

#include "test_support/temp_dir.h"

class JournalCapture {
 public:
  JournalCapture();
  ~JournalCapture();
  JournalCapture(const JournalCapture&) = delete;
  JournalCapture& operator=(const JournalCapture&) = delete;

  // What was written since the banner; closes the journal.
  std::string Text();

 private:
  TempDir m_dir;
};
