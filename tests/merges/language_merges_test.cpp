// The two forms of the label merges on small databases.
#include "merges/language_merges.h"

#include <gtest/gtest.h>

#include <map>

#include "recordsets/langue_printer_set.h"
#include "test_support/db_files.h"
#include "test_support/journal_capture.h"

namespace {

const char kPrinterTable[] =
    "CREATE TABLE [Langue_Printer] ([Item_Id] SHORT CONSTRAINT [PK] PRIMARY KEY, [Libelle] TEXT(50), "
    "[Classement] TEXT(50), [Langue_1] TEXT(255), [Langue_2] TEXT(255), [Langue_3] TEXT(255), "
    "[Langue_4] TEXT(255), [Langue_5] TEXT(255), [Owner] INTEGER)";
const char kSystemTable[] =
    "CREATE TABLE [Langue_System] ([Item_Id] SHORT CONSTRAINT [PK] PRIMARY KEY, [Libelle] TEXT(50), "
    "[Langue_1] TEXT(255), [Langue_2] TEXT(255), [Langue_3] TEXT(255), [Langue_4] TEXT(255), "
    "[Langue_5] TEXT(255), [Classement] TEXT(50), [Owner] INTEGER)";

std::string Row(const char* table, int id, const std::string& text) {
  return std::string("INSERT INTO [") + table + "] ([Item_Id], [Libelle], [Classement], [Langue_1], [Langue_5], " +
         "[Owner]) VALUES (" + std::to_string(id) + ", 'IDS_" + std::to_string(id) + "', 'C', '" + text + "', '" +
         text + " it', -1)";
}

// Both tables with the same rows: id -> French text.
std::vector<std::string> Tables(const std::map<int, std::string>& rows) {
  std::vector<std::string> sql{kPrinterTable, kSystemTable};
  for (const auto& [id, text] : rows) {
    sql.push_back(Row("Langue_Printer", id, text));
    sql.push_back(Row("Langue_System", id, text));
  }
  return sql;
}

class LanguageMergesTest : public ::testing::Test {
 protected:
  void Open(const std::map<int, std::string>& db, const std::map<int, std::string>& tmpl) {
    m_files.Register("TQ2TMP", m_files.Create("base.mdb", Tables(db)));
    m_files.Register("TQ2TMPSRC", m_files.Create("tq2.mdb", Tables(tmpl)));
    m_db.OpenEx("ODBC;DSN=TQ2TMP;");
    m_template.OpenEx("ODBC;DSN=TQ2TMPSRC;");
  }

  // The database's labels of one table: id -> French text.
  std::map<int, std::string> Labels(bool printer) {
    std::map<int, std::string> labels;
    auto read = [&labels](auto& set) {
      set.m_strSort = "[Item_Id]";
      set.Open();
      for (; !set.IsEOF(); set.MoveNext()) labels[set.m_Item_Id] = set.m_Langue_1.str();
      set.Close();
    };
    if (printer) {
      CLanguePrinterSet set(&m_db, kConvertedDatabase);
      read(set);
    } else {
      CSysLanguageSet set(&m_db, kConvertedDatabase);
      read(set);
    }
    return labels;
  }

  DbFiles m_files;
  JournalCapture m_journal;
  CDatabase m_db, m_template;
};

}  // namespace

TEST_F(LanguageMergesTest, LimitedFormOverwritesUpToTheLimitAndAppendsAboveIt) {
  Open({{1, "un"}, {2, "deux"}, {3, "trois"}, {9, "neuf"}}, {{1, "UN"}, {3, "TROIS"}, {4, "QUATRE"}, {5, "CINQ"}});
  EXPECT_TRUE(UpdateLanguePrinter(&m_db, &m_template, 2000, 3));
  const std::map<int, std::string> expected{{1, "UN"}, {2, "deux"}, {3, "TROIS"}, {4, "QUATRE"}, {5, "CINQ"}, {9, "neuf"}};
  EXPECT_EQ(Labels(true), expected);
  {
    CLanguePrinterSet appended(&m_db, kConvertedDatabase);
    appended.m_strFilter = "[Item_Id]=5";
    appended.Open();
    EXPECT_EQ(appended.m_Libelle, "IDS_5");
    EXPECT_EQ(appended.m_Langue_5, "CINQ it");
    EXPECT_EQ(appended.m_Owner, -1);
  }
  EXPECT_EQ(m_journal.Text(), "Données table [Langue_Printer] mises à jour.\n");
}

TEST_F(LanguageMergesTest, LimitedFormStopsAtALabelTheDatabaseLacks) {
  Open({{1, "un"}, {3, "trois"}}, {{1, "UN"}, {2, "DEUX"}, {3, "TROIS"}, {4, "QUATRE"}});
  EXPECT_FALSE(UpdateLanguePrinter(&m_db, &m_template, 2000, 3));
  // Label 1 came before the missing one; nothing after it, nothing appended.
  EXPECT_EQ(Labels(true), (std::map<int, std::string>{{1, "UN"}, {3, "trois"}}));
  EXPECT_EQ(m_journal.Text(), "ERREUR : Données table [Langue_Printer] non mises à jour.\n");
}

TEST_F(LanguageMergesTest, SystemMergeUsesTheDataPhasesSetAndLeavesItOpenAtItsEnd) {
  Open({{1, "un"}, {2, "deux"}}, {{2, "DEUX"}, {3, "TROIS"}});
  CSysLanguageSet tmpl(&m_template, 2000);
  tmpl.Open();
  EXPECT_TRUE(UpdateLangueSystem(&m_db, tmpl, 2));
  EXPECT_EQ(Labels(false), (std::map<int, std::string>{{1, "un"}, {2, "DEUX"}, {3, "TROIS"}}));
  EXPECT_TRUE(tmpl.IsOpen());
  EXPECT_TRUE(tmpl.IsEOF());
  EXPECT_EQ(tmpl.m_strFilter, "[Item_Id] > 2");
  EXPECT_EQ(tmpl.m_strSort, "[Item_Id]");
  EXPECT_EQ(m_journal.Text(), "Données table [Langue_System] mises à jour.\n");
}

// The data phase opens the template's set on no label; the merge reads the
// ones it needs, all of them in the full form.
TEST_F(LanguageMergesTest, SystemMergeReadsItsLabelsWhateverTheSetWasOpenedOn) {
  Open({{1, "un"}, {2, "deux"}}, {{2, "DEUX"}, {3, "TROIS"}});
  CSysLanguageSet tmpl(&m_template, 2000);
  tmpl.m_strFilter = "False";
  tmpl.Open();
  ASSERT_TRUE(tmpl.IsEOF());
  EXPECT_TRUE(UpdateLangueSystem(&m_db, tmpl, std::nullopt));
  EXPECT_EQ(Labels(false), (std::map<int, std::string>{{1, "un"}, {2, "DEUX"}, {3, "TROIS"}}));
  EXPECT_EQ(m_journal.Text(), "Données table [Langue_System] mises à jour.\n");
}

// A copied label keeps its Nulls, and a template value overwrites a Null
// even when it is an empty text or 0, in the full and the limited form.
TEST_F(LanguageMergesTest, NullsAreCopiedAsNullsAndOverwrittenByValues) {
  std::vector<std::string> db = Tables({{1, "un"}, {2, "deux"}});
  db.push_back("UPDATE [Langue_Printer] SET [Owner]=NULL, [Langue_3]='trois' WHERE [Item_Id]=1");
  std::vector<std::string> tmpl = Tables({{1, "UN"}, {2, "DEUX"}, {7, "SEPT"}});
  tmpl.push_back("UPDATE [Langue_Printer] SET [Owner]=0, [Langue_2]='' WHERE [Item_Id]=1");
  tmpl.push_back("UPDATE [Langue_Printer] SET [Owner]=NULL, [Classement]=NULL WHERE [Item_Id]>1");
  m_files.Register("TQ2TMP", m_files.Create("base.mdb", db));
  m_files.Register("TQ2TMPSRC", m_files.Create("tq2.mdb", tmpl));
  m_db.OpenEx("ODBC;DSN=TQ2TMP;");
  m_template.OpenEx("ODBC;DSN=TQ2TMPSRC;");
  for (std::optional<int> limit : {std::optional<int>(2), std::optional<int>()}) {
    EXPECT_TRUE(UpdateLanguePrinter(&m_db, &m_template, 2004002, limit));
    CLanguePrinterSet set(&m_db, kConvertedDatabase);
    set.m_strSort = "[Item_Id]";
    set.Open();
    ASSERT_EQ(set.m_Item_Id, 1);
    EXPECT_FALSE(set.IsFieldNull(&set.m_Owner));  // Null overwritten by 0
    EXPECT_EQ(set.m_Owner, 0);
    EXPECT_FALSE(set.IsFieldNull(&set.m_Langue_2));  // and by ''
    EXPECT_TRUE(set.IsFieldNull(&set.m_Langue_3));   // the template's Null
    for (int id : {2, 7}) {
      set.MoveNext();
      ASSERT_EQ(set.m_Item_Id, id);
      EXPECT_TRUE(set.IsFieldNull(&set.m_Owner)) << id;
      EXPECT_TRUE(set.IsFieldNull(&set.m_Classement)) << id;
      EXPECT_TRUE(set.IsFieldNull(&set.m_Langue_2)) << id;
    }
    if (limit) m_db.ExecuteSQL("DELETE FROM [Langue_Printer] WHERE [Item_Id]=7");
  }
}
