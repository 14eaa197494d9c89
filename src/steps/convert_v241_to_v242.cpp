#include "steps/convert_v241_to_v242.h"

#include "merges/keyed_row.h"
#include "merges/merge_journal.h"
#include "merges/system_rows.h"
#include "platform/db_time.h"

namespace {

const StepConstants& Step() { return StepConstantsFrom(kDbVersion241); }

const std::vector<DdlOperation>& StructureV242() {
  static const std::vector<DdlOperation> ops{
      // AddIngredientsTvaCode
      {{{"ALTER TABLE [Ingredients] ADD [TVACODE] INTEGER", "Champs [Ingredients].[TVACODE] ajouté\n"}}},
      // AlterTablePlanning
      {{{"ALTER TABLE [Planning] ADD [TVACODE] INTEGER", "Champs [Planning].[TVACODE] ajouté\n", OnFailure::GoOn},
        {"ALTER TABLE [Planning] ALTER COLUMN [CLIENT] TEXT(128)", "Champs [Planning].[CLIENT] modifié\n",
         OnFailure::GoOn},
        {"ALTER TABLE [Planning] ADD [TYPE] BYTE", "Champs [Planning].[TYPE] ajouté\n", OnFailure::GoOn},
        {"CREATE INDEX [TYPE] ON [Planning] ( [TYPE] )", "Index [Planning].[TYPE] crée\n"}}},
      // AddRecettesColumns
      {{{"ALTER TABLE [Recettes] ADD [TVACODE] INTEGER", "Champs [Recettes].[TVACODE] ajouté\n", OnFailure::GoOn},
        {"ALTER TABLE [Recettes] ADD [CATPRINCIPAL] INTEGER", "Champs [Recettes].[CATPRINCIPAL] ajouté\n",
         OnFailure::GoOn},
        {"ALTER TABLE [Recettes] ADD [ENTPRINCIPAL] INTEGER", "Champs [Recettes].[ENTPRINCIPAL] ajouté\n"}}},
      // AlterFicheProductionRemise
      {{{"ALTER TABLE [FicheProduction] ALTER COLUMN [REMISE] DOUBLE", "Champs [FicheProduction].[REMISE] modifié\n"}}},
      // AddRelationsRecettes: last, once the columns they constrain exist.
      {{{"ALTER TABLE [Recettes] ADD CONSTRAINT [CategoriesRecettes] FOREIGN KEY ([CATPRINCIPAL]) REFERENCES "
         "[Categories]([CLASS_ID])",
         "Relation [Recettes].[CATPRINCIPAL] Créee\n"},
        {"ALTER TABLE [Recettes] ADD CONSTRAINT [CategoriesRecettes1] FOREIGN KEY ([ENTPRINCIPAL]) REFERENCES "
         "[Categories]([CLASS_ID])",
         "Relation [Recettes].[ENTPRINCIPAL] Créee\n"}}},
  };
  return ops;
}

constexpr LONG kInventoryCategory = 28;
constexpr BYTE kInventoryType = 3;
constexpr FiveNames kInventoryNames{"Inventaire", "Inventory", "Inventur", "Inventario", "Inventario"};
// Category 20 (the storage places) leaves the management categories for
// the top of the tree.
constexpr int kMovedCategory = 20;

BOOL UpdateCategoriesV242(CDatabase* pDb) {
  CCategoriesSet set(pDb, kDbVersion253);
  set.Open();
  AddRootCategory(set, kInventoryCategory, kInventoryType, kInventoryNames);
  // A database without category 20 fails here, in the merge's own words,
  // rather than on an edit with no row.
  BOOL result = FALSE;
  if (FindKeyedRow(set, "[CLASS_ID]=%d", kMovedCategory)) {
    set.Edit();
    set.m_PERE_ID = -1;
    set.m_DATE_MAJ = CTime::GetCurrentTime();
    result = set.Update();
  }
  set.Close();
  JournalTableResult(result, "Categories");
  return result;
}

}  // namespace

BOOL CConvertV241ToV242::ConvertV241ToV242(CString& strDest) {
  return RunPhases(strDest, Step(), &CConvertV241ToV242::UpdateStructureV242, &CConvertV241ToV242::UpdateDataV242);
}

const std::vector<DdlOperation>& CConvertV241ToV242::StructureOperations() { return StructureV242(); }

BOOL CConvertV241ToV242::UpdateStructureV242(CDatabase* pDb) { return RunStructurePhase(pDb, Step(), StructureV242()); }

BOOL CConvertV241ToV242::UpdateDataV242(CDatabase* pDb) {
  return RunDataPhase(pDb, Step(), m_strTemplateDir, {LanguageMerges(Step()), OnDatabase(UpdateCategoriesV242)});
}
