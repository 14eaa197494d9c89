#include "steps/convert_v252_to_v253.h"

#include "merges/keyed_row.h"
#include "merges/merge_journal.h"
#include "merges/reference_rows.h"
#include "recordsets/progression_set.h"

namespace {

const StepConstants& Step() { return StepConstantsFrom(kDbVersion252); }

const std::vector<DdlOperation>& StructureV253() {
  static const std::vector<DdlOperation> ops{
      // ModifyTableNutriLibelles
      {{{"ALTER TABLE [NutriLibelles] ADD COLUMN [OWNER] INTEGER, [DATE_MAJ] DATETIME",
         "Table [NutriLibelles] modifiée\n"}}},
      // ModifyTableRecetPreEmbalV253
      {{{"ALTER TABLE [RecetPreEmbal] ADD COLUMN [INGCUMDETMASENA] BIT", "Table [RecetPreEmbal] modifiée\n"}}},
      // AddRelationsV253
      {{{"ALTER TABLE [NutriLibelles] ADD CONSTRAINT [UtilisateursNutriLibelles] FOREIGN KEY ([OWNER]) REFERENCES "
         "[Utilisateurs]([USER_ID])",
         "Relation [NutriLibelles].[UtilisateursNutriLibelles] Créee\n"}}},
  };
  return ops;
}

BOOL UpdateNutriLibellesV253(CDatabase* pDb, CDatabase* pTemplateDb) {
  // The V2.5.3 template already has the owner and the date: its set binds
  // them as the database's does.
  return AddOrOverwriteTemplateRows<CNutriLibellesSet>(
      pDb, pTemplateDb, kDbVersion253, "NutriLibelles", "[ID]=%d",
      [](const CNutriLibellesSet& row) { return static_cast<int>(row.m_ID); },
      [](const CNutriLibellesSet& from, CNutriLibellesSet& to, bool added) {
        if (added) to.m_ID = from.m_ID;
        CopyNutriLabel(from, to);
        to.m_OWNER = from.m_OWNER;
        to.m_DATE_MAJ = from.m_DATE_MAJ;
      });
}

BOOL UpdateCategoriesV253(CDatabase* pDb, CDatabase* pTemplateDb) {
  return AddOrOverwriteTemplateRows<CCategoriesSet>(
      pDb, pTemplateDb, Step().from, "Categories", "[CLASS_ID]=%d",
      [](const CCategoriesSet& row) { return static_cast<int>(row.m_CLASS_ID); },
      [](const CCategoriesSet& from, CCategoriesSet& to, bool added) {
        if (added) to.m_ASCHILD = from.m_ASCHILD;
        CopyCategoryButAsChild(from, to);
      });
}

// The line feed that recipes may put between their progression steps, an
// entry of the system user's.
BOOL UpdateProgression(CDatabase* pDb) {
  CProgressionSet set(pDb, kDbVersion253);
  set.Open();
  set.AddNew();
  set.m_IDPROGRESSION = -2;
  set.m_PROGRESSION_1 = "*[Saut de ligne]";
  set.m_PROGRESSION_2 = "*[Line feed]";
  set.m_PROGRESSION_3 = "*[Zeilenumbruch]";
  set.m_PROGRESSION_4 = "*[Salto de línea]";
  set.m_PROGRESSION_5 = "*[Nuova riga]";
  set.m_OWNER = -1;
  set.Update();
  set.Close();
  JournalTableResult(TRUE, "Progression");
  return TRUE;
}

}  // namespace

BOOL CConvertV252ToV253::ConvertV252ToV253(CString& strDest) {
  return RunPhases(strDest, Step(), &CConvertV252ToV253::UpdateStructureV253, &CConvertV252ToV253::UpdateDataV253);
}

const std::vector<DdlOperation>& CConvertV252ToV253::StructureOperations() { return StructureV253(); }

BOOL CConvertV252ToV253::UpdateStructureV253(CDatabase* pDb) { return RunStructurePhase(pDb, Step(), StructureV253()); }

BOOL CConvertV252ToV253::UpdateDataV253(CDatabase* pDb) {
  return RunDataPhase(pDb, Step(), m_strTemplateDir,
                      {LanguageMerges(Step()), FromTemplate(UpdateNutriLibellesV253),
                       FromTemplate(UpdateCategoriesV253), OnDatabase(UpdateProgression)});
}
