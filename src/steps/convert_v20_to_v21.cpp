// The step V2.0 -> V2.1: export flags for categories, the label formats,
// the import flags and principal categories of ingredients, the named
// values, and the relations of three columns to the category tree.
#include "framework/conversion_step.h"
#include "merges/append_rows.h"
#include "merges/keyed_row.h"
#include "merges/merge_journal.h"
#include "recordsets/categories_set.h"
#include "recordsets/fmt_etiquette_set.h"
#include "recordsets/unites_set.h"
#include "recordsets/variables_set.h"
#include "shell/failure.h"
#include "shell/journal.h"

namespace {

// The version this step converts, which its template's record sets carry.
constexpr DbVersion kFrom = 2000;

// The structure phase, in order.
std::vector<DdlOperation> UpdateStructureV21() {
  return {
      {"AddCategoriesExportable",
       {{"ALTER TABLE [Categories] ADD [EXPORTABLE] BIT", "Champs [Categories].[EXPORTABLE] ajouté\n"}}},
      {"CreateTableFmtEtiquette",
       {{"CREATE TABLE [FmtEtiquette] ( [ID] INTEGER CONSTRAINT PK_ID PRIMARY KEY NOT NULL, [REF] TEXT(32), "
         "[MRGHAUT] FLOAT, [MRGCOTE] FLOAT, [HAUTEUR] FLOAT, [LARGEUR] FLOAT, [PASVERT] FLOAT, [PASHORIZ] FLOAT, "
         "[NBRVERT] INTEGER, [NBRHORIZ] INTEGER )",
         "Table [FmtEtiquette] créee\n"},
        {"CREATE UNIQUE INDEX [ID] ON [FmtEtiquette] ( [ID] )", "Index [FmtEtiquette].[ID] crée\n"},
        {"CREATE UNIQUE INDEX [REF] ON [FmtEtiquette] ( [REF] )", "Index [FmtEtiquette].[REF] crée\n"}}},
      {"AddIngredientsPrincipal",
       {{"ALTER TABLE [Ingredients] ADD [ENTPRINCIPAL] INTEGER", "Champs [Ingredients].[ENTPRINCIPAL] ajouté\n"},
        {"ALTER TABLE [Ingredients] ADD [FOUPRINCIPAL] INTEGER", "Champs [Ingredients].[FOUPRINCIPAL] ajouté\n"},
        {"ALTER TABLE [Ingredients] ADD [IMPORTED] BIT", "Champs [Ingredients].[IMPORTED] ajouté\n"},
        {"CREATE INDEX [IMPORTED] ON [Ingredients] ( [IMPORTED] )", "Index [Ingredients].[IMPORTED] crée\n"}}},
      {"AddRecettesImported",
       {{"ALTER TABLE [Recettes] ADD [IMPORTED] BIT", "Champs [Recettes].[IMPORTED] ajouté\n"},
        {"CREATE INDEX [IMPORTED] ON [Recettes] ( [IMPORTED] )", "Index [Recettes].[IMPORTED] crée\n"}}},
      {"AddUtilisateursValNullBe",
       {{"ALTER TABLE [Utilisateurs] ADD [VALNULLBE] INTEGER", "Champs [Utilisateurs].[VALNULLBE] ajouté\n"}}},
      {"CreateTableVariables",
       {{"CREATE TABLE [Variables] ( [NAME] TEXT(32) CONSTRAINT PK_NAME PRIMARY KEY NOT NULL, [VALSTR] TEXT(50), "
         "[VALNUM] FLOAT )",
         "Table [Variables] créee\n"},
        {"CREATE UNIQUE INDEX [NAME] ON [Variables] ( [NAME] )", "Index [Variables].[NAME] crée\n"}}},
      {"ChangeRelationsCategories",
       {{"ALTER TABLE [Unites] DROP CONSTRAINT [UtilisateursUnites1]",
         "Relation [Unites].[UtilisateursUnites1] supprimée\n"},
        {"ALTER TABLE [CategIngre] ADD CONSTRAINT [CategoriesCategIngre1] FOREIGN KEY ([CLASSPARENT]) REFERENCES "
         "[Categories]([CLASS_ID])",
         "Relation [CategIngre].[CategoriesCategIngre1] Créee\n"},
        {"ALTER TABLE [Ingredients] ADD CONSTRAINT [CategoriesIngredients1] FOREIGN KEY ([ENTPRINCIPAL]) "
         "REFERENCES [Categories]([CLASS_ID])",
         "Relation [Ingredients].[CategoriesIngredients1] Créee\n"},
        {"ALTER TABLE [Ingredients] ADD CONSTRAINT [CategoriesIngredients2] FOREIGN KEY ([FOUPRINCIPAL]) "
         "REFERENCES [Categories]([CLASS_ID])",
         "Relation [Ingredients].[CategoriesIngredients2] Créee\n"}}},
  };
}

void CopyUnit(const CUnitesSet& from, CUnitesSet& to) {
  using S = CUnitesSet;
  CopyFields(from, to, &S::m_IMPERIAL, &S::m_CFACT, &S::m_TYPE, &S::m_OWNER, &S::m_NBDIGIT, &S::m_NAME_1, &S::m_NAME_2,
             &S::m_NAME_3, &S::m_NAME_4, &S::m_NAME_5, &S::m_SYMBOL_1, &S::m_SYMBOL_2, &S::m_SYMBOL_3, &S::m_SYMBOL_4,
             &S::m_SYMBOL_5, &S::m_DATE_MAJ);
}

// A system unit whose full update the database refused was changed by the
// user: units 10, 15 and 16 take only the one value the template must set,
// any other unit stops the merge.
BOOL UpdateUserModifiedUnit(const CUnitesSet& tmpl, CUnitesSet& db) {
  JournalFormat("Données table [Unites] (%d) modifiée par l'utilisateur.\n", static_cast<int>(tmpl.m_UNITDEF_ID));
  db.Requery();
  db.Edit();
  switch (tmpl.m_UNITDEF_ID) {
    case 10:
      CopyField(tmpl, tmpl.m_CFACT, db, db.m_CFACT);
      db.Update();
      return TRUE;
    case 15:
    case 16:
      CopyField(tmpl, tmpl.m_OWNER, db, db.m_OWNER);
      db.Update();
      return TRUE;
    default:
      return FALSE;
  }
}

BOOL UpdateCategories(CDatabase* pDb, CDatabase* pTemplateDb) {
  CCategoriesSet tmpl(pTemplateDb, kFrom);
  tmpl.Open();
  CCategoriesSet db(pDb, kConvertedDatabase);
  OpenForKeyedRows(db);
  BOOL allFound = TRUE;
  for (; !tmpl.IsEOF(); tmpl.MoveNext()) {
    if (!FindKeyedRow(db, "[CLASS_ID]=%d", static_cast<int>(tmpl.m_CLASS_ID))) {
      allFound = FALSE;
      break;
    }
    db.Edit();
    CopyField(tmpl, tmpl.m_EXPORTABLE, db, db.m_EXPORTABLE);
    db.Update();
  }
  db.Close();
  tmpl.Close();
  JournalTableResult(allFound, "Categories");
  // A category that the database lacks does not stop the step.
  return TRUE;
}

BOOL UpdateFmtEtiquette(CDatabase* pDb, CDatabase* pTemplateDb) {
  // The table is the one the structure phase has just created, empty.
  return AppendTemplateRows<CFmtEtiquetteSet>(pDb, pTemplateDb, kFrom, "FmtEtiquette",
                                              [](const CFmtEtiquetteSet& from, CFmtEtiquetteSet& to) {
                                                using S = CFmtEtiquetteSet;
                                                CopyFields(from, to, &S::m_ID, &S::m_REF, &S::m_MRGHAUT, &S::m_MRGCOTE,
                                                           &S::m_HAUTEUR, &S::m_LARGEUR, &S::m_PASVERT, &S::m_PASHORIZ,
                                                           &S::m_NBRVERT, &S::m_NBRHORIZ);
                                              });
}

BOOL UpdateUnites(CDatabase* pDb, CDatabase* pTemplateDb) {
  CUnitesSet tmpl(pTemplateDb, kFrom);
  tmpl.m_strFilter = "[OWNER] = -1";
  tmpl.m_strSort = "[UNITDEF_ID]";
  tmpl.Open();
  CUnitesSet db(pDb, kConvertedDatabase);
  db.Open();
  BOOL result = TRUE;
  for (; !tmpl.IsEOF() && result; tmpl.MoveNext()) {
    if (!FindKeyedRow(db, "[UNITDEF_ID]=%d", static_cast<int>(tmpl.m_UNITDEF_ID))) {
      db.AddNew();
      CopyField(tmpl, tmpl.m_UNITDEF_ID, db, db.m_UNITDEF_ID);
      CopyUnit(tmpl, db);
      db.Update();
      continue;
    }
    db.Edit();
    CopyUnit(tmpl, db);
    try {
      db.Update();
    } catch (CDBException& e) {
      NoteDbFailure(e);
      result = UpdateUserModifiedUnit(tmpl, db);
    }
  }
  db.Close();
  tmpl.Close();
  JournalTableResult(result, "Unites");
  return result;
}

BOOL UpdateVariables(CDatabase* pDb, CDatabase* pTemplateDb) {
  // Among the template's rows is "TYPE_DB", which later runs check.
  return AppendTemplateRows<CVariablesSet>(pDb, pTemplateDb, kFrom, "Variables",
                                           [](const CVariablesSet& from, CVariablesSet& to) {
                                             using S = CVariablesSet;
                                             CopyFields(from, to, &S::m_NAME, &S::m_VALSTR, &S::m_VALNUM);
                                           });
}

// The data phase, in order.
std::vector<Merge> UpdateDataV21() {
  return {
      FromTemplate("UpdateCategories", UpdateCategories),
      FromTemplate("UpdateFmtEtiquette", UpdateFmtEtiquette),
      LanguePrinterMerge(),
      LangueSystemMerge(),
      FromTemplate("UpdateUnites", UpdateUnites),
      FromTemplate("UpdateVariables", UpdateVariables),
  };
}

}  // namespace

const ConversionStep& ConvertV20ToV21() {
  static const ConversionStep step{
      .name = "V2.0 -> V2.1",
      .from = {kFrom, "2.0.1.49", "V2.0"},
      .to = {2001, "2.1.1.91"},
      .templateFile = "tq2V2_1.mdb",
      .lines = {.opening = "Mise à jour Toquelin V2.0 -> V2.1\n",
                .progress = nullptr,
                .structureOpening = "\nModification structure database V2.0\n",
                .structureSuccess = "Structure database V2.1 mise à jour\n\n",
                .structureFailure = "ERREUR : Structure database V2.1 non mise à jour\n\n",
                .dataOpening = "\nMise à jour des données database V2.0\n",
                .dataSuccess = "Données database V2.1 mise à jour\n\n",
                .dataFailure = "ERREUR : Données database V2.1 non mise à jour\n\n"},
      .printerLimit = 107,
      .systemLimit = 510,
      .structure = UpdateStructureV21(),
      .merges = UpdateDataV21(),
  };
  return step;
}
