// The three failure rules of a DDL operation and the structure phase, on a
// real database: which statements ran, and which lines were journaled.
#include <gtest/gtest.h>

#include "framework/ddl_operation.h"
#include "framework/step_phases.h"
#include "framework/step_table.h"
#include "test_support/db_files.h"
#include "test_support/journal_capture.h"

namespace {

class StepFrameworkTest : public ::testing::Test {
 protected:
  StepFrameworkTest() {
    m_files.Register("TQ2TMP", m_files.Create("base.mdb", {"CREATE TABLE [T] ([X] INTEGER)"}));
    m_db.OpenEx("ODBC;DSN=TQ2TMP;UID=admin;PWD=qlvm7;");
  }

  bool HasTable(const char* table) {
    try {
      m_db.ExecuteSQL((std::string("SELECT COUNT(*) FROM [") + table + "]").c_str());
      return true;
    } catch (CDBException&) {
      return false;
    }
  }

  DbFiles m_files;
  JournalCapture m_journal;
  CDatabase m_db;
};

const char kTableExists[] = "ERREUR : La table 'T' existe déjà.\nState:42S01,";

bool EndsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

}  // namespace

TEST_F(StepFrameworkTest, StopEndsTheOperationAtTheFailedStatement) {
  const DdlOperation op{{{"CREATE TABLE [A] ([X] INTEGER)", "A créée\n"},
                         {"CREATE TABLE [T] ([X] INTEGER)", "T créée\n"},
                         {"CREATE TABLE [B] ([X] INTEGER)", "B créée\n"}}};
  EXPECT_FALSE(ExecuteDdlOperation(&m_db, op));
  EXPECT_TRUE(HasTable("A"));
  EXPECT_FALSE(HasTable("B"));
  const std::string journal = m_journal.Text();
  EXPECT_EQ(journal.rfind(std::string("A créée\n") + kTableExists, 0), 0u) << journal;
  EXPECT_EQ(journal.find("B créée"), std::string::npos);
}

TEST_F(StepFrameworkTest, GoOnRunsTheRestWithoutTheirSuccessLines) {
  const DdlOperation op{{{"CREATE TABLE [A] ([X] INTEGER)", "A créée\n", OnFailure::GoOn},
                         {"CREATE TABLE [T] ([X] INTEGER)", "T créée\n", OnFailure::GoOn},
                         {"CREATE TABLE [B] ([X] INTEGER)", "B créée\n"},
                         {"CREATE INDEX [I] ON [B] ([X])", "I créé\n"}}};
  EXPECT_FALSE(ExecuteDdlOperation(&m_db, op));
  EXPECT_TRUE(HasTable("B"));
  EXPECT_THROW(m_db.ExecuteSQL("CREATE INDEX [I] ON [B] ([X])"), CDBException);  // it was made
  const std::string journal = m_journal.Text();
  EXPECT_EQ(journal.rfind(std::string("A créée\n") + kTableExists, 0), 0u) << journal;
  EXPECT_EQ(journal.find("B créée"), std::string::npos);
  EXPECT_EQ(journal.find("I créé"), std::string::npos);
}

TEST_F(StepFrameworkTest, AllRunWritesOneSummaryLineOnlyWhenNothingFailed) {
  const DdlOperation failing{{{"CREATE TABLE [T] ([X] INTEGER)", ""}, {"CREATE TABLE [A] ([X] INTEGER)", ""}},
                             "Tables ajustées\n"};
  EXPECT_FALSE(ExecuteDdlOperation(&m_db, failing));
  EXPECT_TRUE(HasTable("A"));  // ran after the failure
  const DdlOperation passing{{{"CREATE TABLE [B] ([X] INTEGER)", ""}, {"CREATE TABLE [C] ([X] INTEGER)", ""}},
                             "Tables ajustées\n"};
  EXPECT_TRUE(ExecuteDdlOperation(&m_db, passing));
  const std::string journal = m_journal.Text();
  EXPECT_EQ(journal.rfind(kTableExists, 0), 0u) << journal;
  EXPECT_TRUE(EndsWith(journal, "\nTables ajustées\n")) << journal;
  EXPECT_EQ(journal.find("Tables ajustées"), journal.rfind("Tables ajustées"));
}

TEST_F(StepFrameworkTest, TheStructurePhaseStopsAtTheFirstFailedOperation) {
  const StepConstants& k = StepConstantsFrom(2000);
  const std::vector<DdlOperation> ops{
      {{{"CREATE TABLE [A] ([X] INTEGER)", "A créée\n"}}},
      {{{"CREATE TABLE [T] ([X] INTEGER)", "T créée\n"}}},
      {{{"CREATE TABLE [B] ([X] INTEGER)", "B créée\n"}}},
  };
  EXPECT_FALSE(RunStructurePhase(&m_db, k, ops));
  EXPECT_FALSE(HasTable("B"));
  const std::string journal = m_journal.Text();
  EXPECT_EQ(journal.rfind(std::string("\nModification structure database V2.0\nA créée\n") + kTableExists, 0), 0u)
      << journal;
  EXPECT_TRUE(EndsWith(journal, "\nERREUR : Structure database V2.1 non mise à jour\n\n")) << journal;
}

TEST(StepTableTest, StatementsPerLanguageAndTheStepRows) {
  const std::vector<DdlStatement> five =
      ForEachLanguage("ALTER TABLE [Devises] ALTER COLUMN [NAME_%d] TEXT(54)", "Champs [Devises].[NAME_%d] modifié\n");
  ASSERT_EQ(five.size(), 5u);
  EXPECT_EQ(five[0].sql, "ALTER TABLE [Devises] ALTER COLUMN [NAME_1] TEXT(54)");
  EXPECT_EQ(five[4].successLine, "Champs [Devises].[NAME_5] modifié\n");
  // Each step leaves the version the next one starts from.
  DbVersion version = 2000;
  for (int i = 0; i < 10; ++i) version = StepConstantsFrom(version).to;
  EXPECT_EQ(version, 2005003);
  EXPECT_EQ(StepConstantsFrom(2004002).structureOpening, nullptr);  // the one step without structure
  EXPECT_STREQ(StepConstantsFrom(2003).structureFailure, "ERREUR : Structure database V2.41 non mise à jour\n\n");
}
