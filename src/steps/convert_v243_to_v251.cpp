// The step V2.4.3 -> V2.5.1: the allergens of ingredients (a link table and
// the allergen branch of the category tree), whole-number label formats,
// the pre-packed recipe data taken from the pre-packed labels instead of
// categories, the composition shown as a percentage, and the pre-packed
// labels of the template in place of the database's.
#include <initializer_list>

#include "framework/conversion_step.h"
#include "merges/append_rows.h"
#include "merges/category_repairs.h"
#include "merges/keyed_row.h"
#include "merges/merge_journal.h"
#include "merges/merge_statement.h"
#include "merges/reference_rows.h"
#include "merges/system_rows.h"
#include "merges/user_rows.h"
#include "recordsets/categories_set.h"
#include "recordsets/libelles_pre_emballe_set.h"

namespace {

// The version this step converts, which its template's record sets carry.
constexpr DbVersion kFrom = 2004003;

// The structure phase, in order.
std::vector<DdlOperation> UpdateStructureV251() {
  return {
      // An index that cannot be made leaves the
      // others and the key to be tried all the same.
      {"CreateTableCategIngAllerg",
       {{"CREATE TABLE [CategIngAllerg] ( [INGR_ID] INTEGER, [CLASS_ID] INTEGER, [CLASSPARENT] INTEGER, [MASQUE] "
         "INTEGER)",
         "Table [CategIngAllerg] créee\n"},
        {"CREATE INDEX [CLASS_ID] ON [CategIngAllerg] ( [CLASS_ID] )", "Index [CategIngAllerg].[CLASS_ID] crée\n",
         OnFailure::GoOn},
        {"CREATE INDEX [CLASSPARENT] ON [CategIngAllerg] ( [CLASSPARENT] )",
         "Index [CategIngAllerg].[CLASSPARENT] crée\n", OnFailure::GoOn},
        {"CREATE INDEX [INGR_ID] ON [CategIngAllerg] ( [INGR_ID] )", "Index [CategIngAllerg].[INGR_ID] crée\n",
         OnFailure::GoOn},
        {"CREATE INDEX [MASQUE] ON [CategIngAllerg] ( [MASQUE] )", "Index [CategIngAllerg].[MASQUE] crée\n",
         OnFailure::GoOn},
        {"ALTER TABLE [CategIngAllerg] ADD CONSTRAINT [PrimaryKey] PRIMARY KEY ([INGR_ID], [CLASS_ID] )",
         "PrimaryKey [CategIngAllerg] créee\n"}}},
      // Label sizes and margins in whole units.
      {"AlterColumnsFmtEtiquette",
       {{"ALTER TABLE [FmtEtiquette] ALTER COLUMN [MRGHAUT] INTEGER", ""},
        {"ALTER TABLE [FmtEtiquette] ALTER COLUMN [MRGCOTE] INTEGER", ""},
        {"ALTER TABLE [FmtEtiquette] ALTER COLUMN [HAUTEUR] INTEGER", ""},
        {"ALTER TABLE [FmtEtiquette] ALTER COLUMN [LARGEUR] INTEGER", ""},
        {"ALTER TABLE [FmtEtiquette] ALTER COLUMN [PASVERT] INTEGER", ""},
        {"ALTER TABLE [FmtEtiquette] ALTER COLUMN [PASHORIZ] INTEGER", ""}},
       "Table [FmtEtiquette] champs ajustés\n"},
      // The columns that named categories go
      // with their relations; [NLOT] and [FABRICANT] come back empty.
      {"ModifyTableRecetPreEmbalV251",
       {{"ALTER TABLE [RecetPreEmbal] DROP CONSTRAINT [CategoriesRecetPreEmbal1]", ""},
        {"ALTER TABLE [RecetPreEmbal] DROP CONSTRAINT [CategoriesRecetPreEmbal2]", ""},
        {"ALTER TABLE [RecetPreEmbal] DROP CONSTRAINT [CategoriesRecetPreEmbal3]", ""},
        {"ALTER TABLE [RecetPreEmbal] DROP COLUMN [ID_CONSERV],[VOLPDS],[DATE],[CONSERV],[NLOT],[FABRICANT]", ""},
        {"ALTER TABLE [RecetPreEmbal] ADD COLUMN [ID_LIEU] INTEGER,[ID_APOUVERT] INTEGER,[QTE] TEXT(50),[CONTENU] "
         "TEXT(50),[NLOT] TEXT(50),[JJMMAAAA] TEXT(32),[DUREEAPO] TEXT(50),[FABRICANT] MEMO,[SUCRE_MESURE] "
         "DOUBLE,[INGCUMDETENA] BIT",
         ""}},
       "Table [RecetPreEmbal] modifiée\n"},
      {"AddRecetteAffIngrComposCentComposition",
       {{"ALTER TABLE [RecetteAffIngrCompos] ADD COLUMN [CENT_COMPOSITION] BIT",
         "Table [RecetteAffIngrCompos] modifiée\n"}}},
      // Pre-packed recipes whose volume or date still names a category
      // would refuse the relations to the labels below; the data phase
      // empties the table in any case, so the two columns go first.
      {"ClearRecetPreEmbalCategoriesV251",
       {{"UPDATE [RecetPreEmbal] SET [ID_VOLPDS]=Null, [ID_DATE]=Null WHERE [ID_VOLPDS] IS NOT NULL OR [ID_DATE] IS "
         "NOT NULL",
         ""}}},
      // Last, once the columns they constrain exist. The
      // additive categories named categories before: they are emptied
      // before they may name only labels.
      {"AddRelationsV251",
       {{"ALTER TABLE [CategIngAllerg] ADD CONSTRAINT [CategoriesCategIngAllerg] FOREIGN KEY ([CLASS_ID]) REFERENCES "
         "[Categories]([CLASS_ID])",
         "Relation [CategIngAllerg].[CLASS_ID] Créee\n"},
        {"ALTER TABLE [CategIngAllerg] ADD CONSTRAINT [IngredientsCategIngAllerg] FOREIGN KEY ([INGR_ID]) REFERENCES "
         "[Ingredients]([INGRED_ID])",
         "Relation [CategIngAllerg].[INGR_ID] Créee\n"},
        {"ALTER TABLE [RecetPreEmbal] ADD CONSTRAINT [LibellesPreEmballeRecetPreEmbal1] FOREIGN KEY ([ID_VOLPDS]) "
         "REFERENCES [LibellesPreEmballe]([ID])",
         "Relation [LibellesPreEmballeRecetPreEmbal1].[ID_VOLPDS] Créee\n"},
        {"ALTER TABLE [RecetPreEmbal] ADD CONSTRAINT [LibellesPreEmballeRecetPreEmbal2] FOREIGN KEY ([ID_DATE]) "
         "REFERENCES [LibellesPreEmballe]([ID])",
         "Relation [LibellesPreEmballeRecetPreEmbal2].[ID_DATE] Créee\n"},
        {"ALTER TABLE [RecetPreEmbal] ADD CONSTRAINT [LibellesPreEmballeRecetPreEmbal3] FOREIGN KEY ([ID_LIEU]) "
         "REFERENCES [LibellesPreEmballe]([ID])",
         "Relation [LibellesPreEmballeRecetPreEmbal3].[ID_LIEU] Créee\n"},
        {"ALTER TABLE [RecetPreEmbal] ADD CONSTRAINT [LibellesPreEmballeRecetPreEmbal4] FOREIGN KEY ([ID_APOUVERT]) "
         "REFERENCES [LibellesPreEmballe]([ID])",
         "Relation [LibellesPreEmballeRecetPreEmbal4].[ID_APOUVERT] Créee\n"},
        {"UPDATE [Ingredients] SET [Ingredients].[PREEM_CATADDITIF] = Null",
         "Champs [Ingredients].[PREEM_CATADDITIF] Reinitialisé\n"},
        {"ALTER TABLE [Ingredients] ADD CONSTRAINT [LibellesPreEmballeIngredients2] FOREIGN KEY ([PREEM_CATADDITIF]) "
         "REFERENCES [LibellesPreEmballe]([ID])",
         "Relation [LibellesPreEmballeIngredients2].[PREEM_CATADDITIF] Créee\n"}}},
  };
}

// The allergen root and its first child; the template's allergens follow
// under the root.
constexpr LONG kAllergenRoot = 26;
constexpr LONG kNoAllergen = 36;
constexpr BYTE kAllergenRootType = 2;
constexpr BYTE kAllergenType = 0;
constexpr FiveNames kAllergenRootNames{"Allergène", "Allergen", "Allergen", "Alergeno", "Allergene"};
constexpr FiveNames kNoAllergenNames{"Sans allergène", "Without allergen", "Ohne Allergene", "Sin alergenos",
                                     "Senza allergeni"};
// Category 27's children and links, and the ingredients' links to 242, were
// an earlier attempt at allergens.
constexpr int kOldAllergens = 27;
constexpr int kOldAllergenCategory = 242;

struct Deletion {
  const char* format;  // takes the category's id
  int id;
};

// Runs the deletions in order until one is refused. A refusal is not
// journaled: the data phase's failure line is the only trace of it.
BOOL DeleteSilently(CDatabase* pDb, std::initializer_list<Deletion> deletions) {
  for (const Deletion& deletion : deletions) {
    CString sql;
    sql.Format(deletion.format, deletion.id);
    if (!ExecuteMergeStatement(pDb, sql, false)) return FALSE;
  }
  return TRUE;
}

// The links that UpdateCategoriesV251 deletes itself, in its order.
BOOL DeleteOldAllergenLinks(CDatabase* pDb) {
  return DeleteSilently(pDb, {{"DELETE * FROM [CategRecet]WHERE [CategRecet].[CLASSPARENT]=%d", kOldAllergens},
                              {"DELETE * FROM [CategIngre]WHERE [CategIngre].[CLASSPARENT]=%d", kOldAllergens},
                              {"DELETE * FROM [CategIngre]WHERE [CategIngre].[CLASS_ID]=%d", kOldAllergenCategory}});
}

// The sub-categories of 26 and 27 go in UpdateCategoriesV251: their links
// go first (those the merge deletes itself silently, as it does, the others
// journaled), so that the relations let them go, and the categories of the
// user below them move to the root instead of pointing at nothing.
BOOL RepairAllergenBranchV251(CDatabase* pDb) {
  return DeleteOldAllergenLinks(pDb) && DeleteLinksOfSubCategories(pDb, kOldAllergens) &&
         DeleteLinksOfSubCategories(pDb, kAllergenRoot) && AttachGrandchildrenToRoot(pDb, kOldAllergens) &&
         AttachGrandchildrenToRoot(pDb, kAllergenRoot);
}

// Categories of the user at 36 or at a number of the template's allergens
// move out of their way, with everything that names them.
BOOL MoveUserCategoriesV251(CDatabase* pDb, CDatabase* pTemplateDb) {
  std::vector<LONG> claimed = TemplateKeys(pTemplateDb, CategoryKeys());
  claimed.push_back(kNoAllergen);
  return MoveUserRowsAside(pDb, CategoryKeys(), claimed);
}

BOOL UpdateCategoriesV251(CDatabase* pDb, CDatabase* pTemplateDb) {
  if (!DeleteOldAllergenLinks(pDb) ||
      !DeleteSilently(pDb, {{"DELETE * FROM [Categories]WHERE [Categories].[PERE_ID]=%d", kOldAllergens},
                            {"DELETE * FROM [Categories]WHERE [Categories].[PERE_ID]=%d", kAllergenRoot}}))
    return FALSE;

  CCategoriesSet db(pDb, kConvertedDatabase);
  OpenForKeyedRows(db);
  // The root keeps its row, and so its id, when the database has one.
  if (FindKeyedRow(db, "[CLASS_ID]=%d", kAllergenRoot)) {
    db.Edit();
  } else {
    db.AddNew();
    db.m_CLASS_ID = kAllergenRoot;
  }
  AssignSystemCategory(db, kAllergenRootType, -1, kAllergenRootNames, TRUE);
  db.Update();

  db.AddNew();
  db.m_CLASS_ID = kNoAllergen;
  AssignSystemCategory(db, kAllergenType, kAllergenRoot, kNoAllergenNames, FALSE);
  if (!db.Update()) return FALSE;

  CCategoriesSet tmpl(pTemplateDb, kFrom);
  tmpl.m_strSort = "[CLASS_ID]";
  tmpl.Open();
  const BOOL result = AddTemplateRowsWhileTaken(tmpl, db, CopyCategory);
  tmpl.Close();
  db.Close();
  JournalTableResult(result, "Categories");
  return result;
}

// The pre-packed labels become the template's: the references to them are
// reset to the system row -1 first, and the pre-packed recipe data, which
// named the old ones, goes.
BOOL UpdateLibellesPreEmballeV251(CDatabase* pDb, CDatabase* pTemplateDb) {
  for (const char* statement :
       {"UPDATE [Ingredients]SET [Ingredients].[PREEM_DENVENT]=-1, [Ingredients].[PREEM_COMPOS]=-1, "
        "[Ingredients].[PREEM_CATADDITIF]=-1 WHERE [Ingredients].[PREEM_DENVENT] IS NOT NULL",
        "DELETE * FROM [RecetPreEmbal]", "DELETE FROM [LibellesPreEmballe] WHERE [LibellesPreEmballe].[ID]<>-1"}) {
    // Refused, it ends the merge without a line of its own.
    if (!ExecuteMergeStatement(pDb, statement, false)) return FALSE;
  }

  CLibellesPreEmballeSet db(pDb, kConvertedDatabase);
  db.Open();
  CLibellesPreEmballeSet tmpl(pTemplateDb, kFrom);
  tmpl.m_strSort = "[ID]";
  tmpl.m_strFilter = "[ID]<>-1";
  tmpl.Open();
  const BOOL result = AddTemplateRowsWhileTaken(tmpl, db, CopyLibellePreEmballe);
  tmpl.Close();
  db.Close();
  JournalTableResult(result, "LibellesPreEmballe");
  return result;
}

// The data phase, in order.
std::vector<Merge> UpdateDataV251() {
  return {
      LanguePrinterMerge(),
      LangueSystemMerge(),
      OnDatabase("RepairAllergenBranchV251", RepairAllergenBranchV251),
      FromTemplate("MoveUserCategoriesV251", MoveUserCategoriesV251),
      FromTemplate("UpdateCategoriesV251", UpdateCategoriesV251),
      FromTemplate("UpdateLibellesPreEmballeV251", UpdateLibellesPreEmballeV251),
  };
}

}  // namespace

const ConversionStep& ConvertV243ToV251() {
  static const ConversionStep step{
      .name = "V2.4.3 -> V2.5.1",
      .from = {kFrom, "2.4.3.307", "V2.4.3"},
      .to = {2005001, "2.5.1.341"},
      .templateFile = "tq2V2_5_1.mdb",
      .lines = {.opening = "Mise à jour Toquelin V2.4.3 -> V2.5.1\n",
                .progress = "Conversion de la base de données V2.4.3 -> V2.5.1",
                .structureOpening = "\nModification structure database V2.4.3\n",
                .structureSuccess = "Structure database V2.5.1 mise à jour\n\n",
                .structureFailure = "ERREUR : Structure database V2.4.3 non mise à jour\n\n",
                .dataOpening = "\nMise à jour des données database V2.4.3\n",
                .dataSuccess = "Données database V2.5.1 mise à jour\n\n",
                .dataFailure = "ERREUR : Données database V2.5.1 non mise à jour\n\n"},
      .structure = UpdateStructureV251(),
      .merges = UpdateDataV251(),
  };
  return step;
}
