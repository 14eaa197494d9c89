// The step V2.5.2 -> V2.5.3: nutrient labels get an owner and a date of
// change, pre-packed recipes a switch for the masses of their ingredients;
// the nutrient labels and the categories follow the template row by row,
// and the recipe progressions get their line feed.
#include "framework/conversion_step.h"
#include "merges/keyed_row.h"
#include "merges/merge_journal.h"
#include "merges/reference_rows.h"
#include "recordsets/progression_set.h"

namespace {

// The version this step converts, which its template's record sets carry.
constexpr DbVersion kFrom = 2005002;

// The structure phase, in order.
std::vector<DdlOperation> UpdateStructureV253() {
  return {
      {"ModifyTableNutriLibelles",
       {{"ALTER TABLE [NutriLibelles] ADD COLUMN [OWNER] INTEGER, [DATE_MAJ] DATETIME",
         "Table [NutriLibelles] modifiée\n"}}},
      {"ModifyTableRecetPreEmbalV253",
       {{"ALTER TABLE [RecetPreEmbal] ADD COLUMN [INGCUMDETMASENA] BIT", "Table [RecetPreEmbal] modifiée\n"}}},
      {"AddRelationsV253",
       {{"ALTER TABLE [NutriLibelles] ADD CONSTRAINT [UtilisateursNutriLibelles] FOREIGN KEY ([OWNER]) REFERENCES "
         "[Utilisateurs]([USER_ID])",
         "Relation [NutriLibelles].[UtilisateursNutriLibelles] Créee\n"}}},
  };
}

BOOL UpdateNutriLibellesV253(CDatabase* pDb, CDatabase* pTemplateDb) {
  // The V2.5.3 template already has the owner and the date: its set binds
  // them as the database's does.
  return AddOrOverwriteTemplateRows<CNutriLibellesSet>(
      pDb, pTemplateDb, kFrom, "NutriLibelles", "[ID]=%d",
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
      pDb, pTemplateDb, kFrom, "Categories", "[CLASS_ID]=%d",
      [](const CCategoriesSet& row) { return static_cast<int>(row.m_CLASS_ID); },
      [](const CCategoriesSet& from, CCategoriesSet& to, bool added) {
        if (added) to.m_ASCHILD = from.m_ASCHILD;
        CopyCategoryButAsChild(from, to);
      });
}

// The line feed that recipes may put between their progression steps, an
// entry of the system user's.
BOOL UpdateProgression(CDatabase* pDb) {
  CProgressionSet set(pDb, kConvertedDatabase);
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

// The data phase, in order.
std::vector<Merge> UpdateDataV253() {
  return {
      LanguePrinterMerge(),
      LangueSystemMerge(),
      FromTemplate("UpdateNutriLibellesV253", UpdateNutriLibellesV253),
      FromTemplate("UpdateCategoriesV253", UpdateCategoriesV253),
      OnDatabase("UpdateProgression", UpdateProgression),
  };
}

}  // namespace

const ConversionStep& ConvertV252ToV253() {
  static const ConversionStep step{
      .name = "V2.5.2 -> V2.5.3",
      .from = {kFrom, "2.5.2.399", "V2.5.2"},
      .to = {2005003, "2.5.3.459"},
      .templateFile = "tq2V2_5_3.mdb",
      .lines = {.opening = "Mise à jour Toquelin V2.5.2 -> V2.5.3\n",
                .progress = "Conversion de la base de données V2.5.2 -> V2.5.3",
                .structureOpening = "\nModification structure database V2.5.2\n",
                .structureSuccess = "Structure database V2.5.3 mise à jour\n\n",
                .structureFailure = "ERREUR : Structure database V2.5.2 non mise à jour\n\n",
                .dataOpening = "\nMise à jour des données database V2.5.2\n",
                .dataSuccess = "Données database V2.5.3 mise à jour\n\n",
                .dataFailure = "ERREUR : Données database V2.5.3 non mise à jour\n\n"},
      .structure = UpdateStructureV253(),
      .merges = UpdateDataV253(),
  };
  return step;
}
