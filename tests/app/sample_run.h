// The fixture of the tests that run the program on a copy of the sample
// database, in a work folder and with template databases of their own (a
// test may remove or break one).
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "test_support/updater_run.h"

class SampleRunTest : public ::testing::Test {
 protected:
  SampleRunTest() {
    CopyTemplates(TEMPLATE_DIR, m_templates.path());
    std::filesystem::copy_file(SAMPLE_DB, m_source);
  }

  // Whether standard output holds the text.
  bool Says(const std::string& text) const { return m_run.stdoutText().find(text) != std::string::npos; }

  TempDir m_templates;
  UpdaterRun m_run{m_templates.path()};
  std::string m_source = m_run.work() + "/Base.mdb";
};
