// What the tests of the steps after V2.1 share: copies of the fixtures
// that the build makes by running the chain (tests/fixtures), the steps run
// in process on them, and the driver's shell to change them beforehand and
// read them back.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "test_support/step_harness.h"

class FixtureStepTest : public ::testing::Test {
 protected:
  // A fresh copy of the fixture at that entry version ("V22", "V241", ...).
  std::string Fixture(const std::string& version) {
    return m_harness.Fixture(std::string(FIXTURE_DIR) + "/Fixture_" + version + ".mdb");
  }

  // Changes a database as a support person would; the shell must take it.
  static void Shell(const std::string& db, const std::string& sql) {
    EXPECT_EQ(StepHarness::Query(db, sql), "") << sql;
  }

  static std::string Value(const std::string& db, const std::string& sql) { return StepHarness::Value(db, sql); }

  static std::string Version(const std::string& db) {
    return Value(db, "SELECT [Langue_1] FROM [Langue_System] WHERE [Libelle]='IDS_VERSION_DB'");
  }

  // The columns of a table as the shell's ".schema" shows them.
  static std::string Schema(const std::string& db, const std::string& table) {
    return StepHarness::Query(db, ".schema " + table);
  }

  // How many times `part` occurs in `text`.
  static int Count(const std::string& text, const std::string& part) {
    int n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size())) ++n;
    return n;
  }

  StepHarness m_harness{TEMPLATE_DIR};
};
