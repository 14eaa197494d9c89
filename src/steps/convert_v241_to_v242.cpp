// The step V2.4.1 -> V2.4.2: VAT codes for ingredients, planning entries and
// recipes, the principal categories of recipes, the type of planning
// entries, a double discount on production sheets, and the inventory
// category at the top of the tree.
#include "framework/conversion_step.h"
#include "merges/keyed_row.h"
#include "merges/merge_journal.h"
#include "merges/system_rows.h"
#include "platform/db_time.h"

namespace {

// The version this step converts, which its template's record sets carry.
constexpr DbVersion kFrom = 2004;

// The structure phase, in order.
std::vector<DdlOperation> UpdateStructureV242() {
  return {
      {"AddIngredientsTvaCode",
       {{"ALTER TABLE [Ingredients] ADD [TVACODE] INTEGER", "Champs [Ingredients].[TVACODE] ajouté\n"}}},
      {"AlterTablePlanning",
       {{"ALTER TABLE [Planning] ADD [TVACODE] INTEGER", "Champs [Planning].[TVACODE] ajouté\n", OnFailure::GoOn},
        {"ALTER TABLE [Planning] ALTER COLUMN [CLIENT] TEXT(128)", "Champs [Planning].[CLIENT] modifié\n",
         OnFailure::GoOn},
        {"ALTER TABLE [Planning] ADD [TYPE] BYTE", "Champs [Planning].[TYPE] ajouté\n", OnFailure::GoOn},
        {"CREATE INDEX [TYPE] ON [Planning] ( [TYPE] )", "Index [Planning].[TYPE] crée\n"}}},
      {"AddRecettesColumns",
       {{"ALTER TABLE [Recettes] ADD [TVACODE] INTEGER", "Champs [Recettes].[TVACODE] ajouté\n", OnFailure::GoOn},
        {"ALTER TABLE [Recettes] ADD [CATPRINCIPAL] INTEGER", "Champs [Recettes].[CATPRINCIPAL] ajouté\n",
         OnFailure::GoOn},
        {"ALTER TABLE [Recettes] ADD [ENTPRINCIPAL] INTEGER", "Champs [Recettes].[ENTPRINCIPAL] ajouté\n"}}},
      {"AlterFicheProductionRemise",
       {{"ALTER TABLE [FicheProduction] ALTER COLUMN [REMISE] DOUBLE", "Champs [FicheProduction].[REMISE] modifié\n"}}},
      // Last, once the columns they constrain exist.
      {"AddRelationsRecettes",
       {{"ALTER TABLE [Recettes] ADD CONSTRAINT [CategoriesRecettes] FOREIGN KEY ([CATPRINCIPAL]) REFERENCES "
         "[Categories]([CLASS_ID])",
         "Relation [Recettes].[CATPRINCIPAL] Créee\n"},
        {"ALTER TABLE [Recettes] ADD CONSTRAINT [CategoriesRecettes1] FOREIGN KEY ([ENTPRINCIPAL]) REFERENCES "
         "[Categories]([CLASS_ID])",
         "Relation [Recettes].[ENTPRINCIPAL] Créee\n"}}},
  };
}

constexpr LONG kInventoryCategory = 28;
constexpr BYTE kInventoryType = 3;
constexpr FiveNames kInventoryNames{"Inventaire", "Inventory", "Inventur", "Inventario", "Inventario"};
// Category 20 (the storage places) leaves the management categories for
// the top of the tree.
constexpr int kMovedCategory = 20;

BOOL UpdateCategoriesV242(CDatabase* pDb) {
  CCategoriesSet set(pDb, kConvertedDatabase);
  OpenForKeyedRows(set);
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

// The data phase, in order.
std::vector<Merge> UpdateDataV242() {
  return {
      LanguePrinterMerge(),
      LangueSystemMerge(),
      OnDatabase("UpdateCategoriesV242", UpdateCategoriesV242),
  };
}

}  // namespace

const ConversionStep& ConvertV241ToV242() {
  static const ConversionStep step{
      .name = "V2.4.1 -> V2.4.2",
      .from = {kFrom, "2.4.1.263", "V2.4"},
      .to = {2004002, "2.4.2.305"},
      .templateFile = "tq2V2_4_2.mdb",
      .lines = {.opening = "Mise à jour Toquelin V2.4.1 -> V2.4.2\n",
                .progress = "Conversion de la base de données V2.4.1 -> V2.4.2",
                .structureOpening = "\nModification structure database V2.4.1\n",
                .structureSuccess = "Structure database V2.4.2 mise à jour\n\n",
                .structureFailure = "ERREUR : Structure database V2.4.2 non mise à jour\n\n",
                .dataOpening = "\nMise à jour des données database V2.4.1\n",
                .dataSuccess = "Données database V2.4.2 mise à jour\n\n",
                .dataFailure = "ERREUR : Données database V2.4.2 non mise à jour\n\n"},
      .printerLimit = 158,
      .systemLimit = 1030,
      .structure = UpdateStructureV242(),
      .merges = UpdateDataV242(),
  };
  return step;
}
