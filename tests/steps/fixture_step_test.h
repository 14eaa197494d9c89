// What the tests of the steps after V2.1 share: copies of the fixtures
// that the build makes by running the chain (tests/fixtures), the steps run
// in process on them; db_shell.h changes them beforehand and reads them
// back.
#pragma once

#include <gtest/gtest.h>

#include <ctime>
#include <string>

#include "test_support/db_shell.h"
#include "test_support/step_harness.h"

class FixtureStepTest : public ::testing::Test {
 protected:
  // A fresh copy of the fixture at that entry version ("V22", "V241", ...).
  std::string Fixture(const std::string& version) {
    return m_harness.Fixture(std::string(FIXTURE_DIR) + "/Fixture_" + version + ".mdb");
  }

  // Changes a copy of the fixture first, then runs the step from `from` on
  // it, which must fail; returns the journal. m_db names the copy.
  std::string RunBroken(const std::string& version, DbVersion from, const std::string& change) {
    m_db = Fixture(version);
    Shell(m_db, change);
    EXPECT_FALSE(m_harness.RunStep(from, m_db));
    return m_harness.Journal();
  }

  // "YYYY-MM-DD HH:MM:SS" of a time, as the shell shows dates.
  static std::string ShellTime(std::time_t t) {
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", std::localtime(&t));
    return text;
  }

  // How many times `part` occurs in `text`.
  static int Count(const std::string& text, const std::string& part) {
    int n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size())) ++n;
    return n;
  }

  StepHarness m_harness{TEMPLATE_DIR};
  std::string m_db;
};
