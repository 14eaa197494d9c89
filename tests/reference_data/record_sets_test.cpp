// Every template read through the record sets its step opens on it, with
// the DbVersion the step gives them: each row must exchange into the bound
// members (a column type a member cannot take fails here, not mid-merge).
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "recordsets/categories_set.h"
#include "recordsets/fmt_etiquette_set.h"
#include "recordsets/ing_categ_set.h"
#include "recordsets/langue_printer_set.h"
#include "recordsets/libelles_pre_emballe_set.h"
#include "recordsets/nutri_libelles_set.h"
#include "recordsets/progression_set.h"
#include "recordsets/sys_language_set.h"
#include "recordsets/unites_set.h"
#include "recordsets/variables_set.h"
#include "test_support/db_files.h"

namespace {

// Opens the set on the template and walks it; returns the rows read.
template <class Set>
int ReadAll(CDatabase* db, DbVersion version) {
  Set set(db, version);
  set.Open();
  int rows = 0;
  for (; !set.IsEOF(); set.MoveNext()) ++rows;
  set.Close();
  return rows;
}

struct TemplateUse {
  const char* file;
  DbVersion version;  // the DbVersion its step gives the template's sets
  std::vector<std::function<int(CDatabase*, DbVersion)>> sets;
};

}  // namespace

TEST(ReferenceTemplates, EveryRowReadsThroughTheRecordSetsOfItsStep) {
  const auto labels =
      std::vector<std::function<int(CDatabase*, DbVersion)>>{ReadAll<CLanguePrinterSet>, ReadAll<CSysLanguageSet>};
  auto with = [&labels](std::vector<std::function<int(CDatabase*, DbVersion)>> more) {
    more.insert(more.end(), labels.begin(), labels.end());
    return more;
  };
  const std::vector<TemplateUse> uses{
      {"tq2V2_1.mdb", 2000,
       with({ReadAll<CCategoriesSet>, ReadAll<CFmtEtiquetteSet>, ReadAll<CUnitesSet>, ReadAll<CVariablesSet>})},
      {"tq2V2_2.mdb", 2001, labels},
      {"tq2V2_3.mdb", 2002, labels},
      {"tq2V2_4.mdb", 2003, labels},
      {"tq2V2_4_2.mdb", 2004, labels},
      {"tq2V2_4_3.mdb", 2004002, labels},
      {"tq2V2_5_1.mdb", 2004003, with({ReadAll<CCategoriesSet>, ReadAll<CLibellesPreEmballeSet>})},
      {"tq2V2_5_1_4.mdb", 2005001, labels},
      {"tq2V2_5_2.mdb", 2005001004, with({ReadAll<CCategoriesSet>, ReadAll<CLibellesPreEmballeSet>})},
      {"tq2V2_5_3.mdb", 2005002, with({ReadAll<CCategoriesSet>})},
  };
  DbFiles files;
  for (const TemplateUse& use : uses) {
    SCOPED_TRACE(use.file);
    files.Register("TQ2TMPSRC", std::string(TOQUELIN_TEMPLATE_DIR) + "/" + use.file);
    CDatabase db;
    try {
      db.OpenEx("ODBC;DSN=TQ2TMPSRC;UID=admin;PWD=qlvm7;", CDatabase::openReadOnly);
      for (const auto& read : use.sets) EXPECT_GT(read(&db, use.version), 0);
      // The nutrient labels: 13 columns for the V2.5.2 copy, 15 for V2.5.3.
      if (use.version == 2005001004) {
        EXPECT_GT(ReadAll<CNutriLibellesSet>(&db, 2005002), 0);
      }
      if (use.version == 2005002) {
        EXPECT_GT(ReadAll<CNutriLibellesSet>(&db, 2005003), 0);
      }
    } catch (CDBException& e) {
      ADD_FAILURE() << e.m_strError.GetString() << " " << e.m_strStateNativeOrigin.GetString();
    }
  }
}

// The sample as the first step's sets on the converted database see it
// ([Categories] gains the bound [EXPORTABLE] only in that step).
TEST(SampleDatabase, ReadsThroughTheRecordSetsOfTheConvertedDatabase) {
  DbFiles files;
  files.Register("TQ2TMP", TOQUELIN_SAMPLE_DB);
  CDatabase db;
  try {
    db.OpenEx("ODBC;DSN=TQ2TMP;UID=admin;PWD=qlvm7;", CDatabase::openReadOnly);
    EXPECT_EQ(ReadAll<CLanguePrinterSet>(&db, kDbVersion253), 107);
    EXPECT_EQ(ReadAll<CSysLanguageSet>(&db, kDbVersion253), 510);
    EXPECT_GT(ReadAll<CUnitesSet>(&db, kDbVersion253), 23);
    EXPECT_GT(ReadAll<CIngCategSet>(&db, kDbVersion253), 0);
    EXPECT_GT(ReadAll<CProgressionSet>(&db, kDbVersion253), 0);
  } catch (CDBException& e) {
    ADD_FAILURE() << e.m_strError.GetString() << " " << e.m_strStateNativeOrigin.GetString();
  }
}
