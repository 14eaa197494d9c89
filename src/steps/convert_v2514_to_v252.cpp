// The step V2.5.1.4 -> V2.5.2: nutrition (the nutrient labels, the nutrient
// quantities of ingredients, a nutrition quantity and unit on ingredients
// and recipes), ingredient aliases per recipe, the specific mentions of
// ingredients and recipes, and the manufacturer's display on pre-packed
// recipes.
#include "framework/conversion_step.h"
#include "merges/append_rows.h"
#include "merges/keyed_row.h"
#include "merges/merge_journal.h"
#include "merges/reference_rows.h"
#include "merges/user_rows.h"
#include "merges/system_rows.h"
#include "platform/db_time.h"
#include "recordsets/unites_set.h"

namespace {

// The version this step converts, which its template's record sets carry.
constexpr DbVersion kFrom = 2005001004;

// The structure phase, in order.
std::vector<DdlOperation> UpdateStructureV252() {
  return {
      {"CreateTableIngRecAlias",
       {{"CREATE TABLE [IngRecAlias] ( [INGRED_ID] INTEGER, [RECET_ID] INTEGER, [ALIAS_1] TEXT(128), [ALIAS_2] "
         "TEXT(128), [ALIAS_3] TEXT(128), [ALIAS_4] TEXT(128), [ALIAS_5] TEXT(128))",
         "Table [IngRecAlias] créee\n"},
        {"CREATE INDEX [INGRED_ID] ON [IngRecAlias] ( [INGRED_ID] )", "Index [IngRecAlias].[INGRED_ID] crée\n"},
        {"CREATE INDEX [INGRED_ID1] ON [IngRecAlias] ( [RECET_ID] )", "Index [IngRecAlias].[INGRED_ID1] crée\n"},
        {"ALTER TABLE [IngRecAlias] ADD CONSTRAINT [PrimaryKey] PRIMARY KEY ([INGRED_ID], [RECET_ID] )",
         "PrimaryKey [IngRecAlias] créee\n"}}},
      {"AddIngredientsNutri",
       {{"ALTER TABLE [Ingredients] ADD [NUTRI_QTE] DOUBLE", "Champs [Ingredients].[NUTRI_QTE] ajouté\n"},
        {"ALTER TABLE [Ingredients] ADD [NUTRI_UNIT] INTEGER", "Champs [Ingredients].[NUTRI_UNIT] ajouté\n"}}},
      {"CreateTableMSpecifIng",
       {{"CREATE TABLE [MSpecifIng] ( [ID] INTEGER, [IDMSPECIF] INTEGER)", "Table [MSpecifIng] créee\n"},
        {"CREATE INDEX [ID] ON [MSpecifIng] ( [ID] )", "Index [MSpecifIng].[ID] crée\n"},
        {"ALTER TABLE [MSpecifIng] ADD CONSTRAINT [PrimaryKey] PRIMARY KEY ([ID], [IDMSPECIF] )",
         "PrimaryKey [MSpecifIng] créee\n"}}},
      {"CreateTableMSpecifRec",
       {{"CREATE TABLE [MSpecifRec] ( [ID] INTEGER, [IDMSPECIF] INTEGER, [BLOQUEE] BIT)", "Table [MSpecifRec] créee\n"},
        {"CREATE INDEX [BLOQUEE] ON [MSpecifRec] ( [BLOQUEE] )", "Index [MSpecifRec].[BLOQUEE] crée\n"},
        {"CREATE INDEX [ID] ON [MSpecifRec] ( [ID] )", "Index [MSpecifRec].[ID] crée\n"},
        {"ALTER TABLE [MSpecifRec] ADD CONSTRAINT [PrimaryKey] PRIMARY KEY ([ID], [IDMSPECIF], [BLOQUEE] )",
         "PrimaryKey [MSpecifRec] créee\n"}}},
      {"CreateTableNutriIngred",
       {{"CREATE TABLE [NutriIngred] ( [ING_ID] INTEGER, [NUTRI_ID] INTEGER, [QTE] DOUBLE, [OPTION_MSK] INTEGER)",
         "Table [NutriIngred] créee\n"},
        {"CREATE INDEX [NUTRI_ID] ON [NutriIngred] ( [NUTRI_ID] )", "Index [NutriIngred].[NUTRI_ID] crée\n"},
        {"ALTER TABLE [NutriIngred] ADD CONSTRAINT [PrimaryKey] PRIMARY KEY ([ING_ID], [NUTRI_ID] )",
         "PrimaryKey [NutriIngred] créee\n"}}},
      {"CreateTableNutriLibelles",
       {{"CREATE TABLE [NutriLibelles] ( [ID] INTEGER, [LIBELLE_1] TEXT(255), [LIBELLE_2] TEXT(255), [LIBELLE_3] "
         "TEXT(255), [LIBELLE_4] TEXT(255), [LIBELLE_5] TEXT(255), [LIB_CIQUAL] TEXT(255), [UNITE] TEXT(32), "
         "[TYPEMSK] INTEGER, [NBDIGIT] SHORT, [NUMORDRE] SHORT, [ARJ] DOUBLE, [BKCOL] INTEGER)",
         "Table [NutriLibelles] créee\n"},
        {"CREATE INDEX [NUMORDRE] ON [NutriLibelles] ( [NUMORDRE] )", "Index [NutriLibelles].[NUMORDRE] crée\n"},
        {"ALTER TABLE [NutriLibelles] ADD CONSTRAINT [PrimaryKey] PRIMARY KEY ([ID] )",
         "PrimaryKey [NutriLibelles] créee\n"}}},
      // The date and the manufacturer give way
      // to the manufacturer's display, in two parts.
      {"ModifyTableRecetPreEmbalV252",
       {{"ALTER TABLE [RecetPreEmbal] DROP COLUMN [JJMMAAAA],[FABRICANT]",
         "Champs [RecetPreEmbal].[JJMMAAAA] et [RecetPreEmbal].[FABRICANT] supprimés\n"},
        {"ALTER TABLE [RecetPreEmbal] ADD [FABDISPAR1] MEMO", "Champs [RecetPreEmbal].[FABDISPAR1] ajouté\n"},
        {"ALTER TABLE [RecetPreEmbal] ADD [FABDISPAR2] MEMO", "Champs [RecetPreEmbal].[FABDISPAR2] ajouté\n"},
        {"ALTER TABLE [RecetPreEmbal] ADD [FABDISTYPE1] SHORT", "Champs [RecetPreEmbal].[FABDISTYPE1] ajouté\n"},
        {"ALTER TABLE [RecetPreEmbal] ADD [FABDISTYPE2] SHORT", "Champs [RecetPreEmbal].[FABDISTYPE2] ajouté\n"},
        {"ALTER TABLE [RecetPreEmbal] ADD [NBREJOURS] SHORT", "Champs [RecetPreEmbal].[NBREJOURS] ajouté\n"}}},
      {"AddRecettesNutri",
       {{"ALTER TABLE [Recettes] ADD [NUTRI_QTE] DOUBLE", "Champs [Recettes].[NUTRI_QTE] ajouté\n"},
        {"ALTER TABLE [Recettes] ADD [NUTRI_UNIT] INTEGER", "Champs [Recettes].[NUTRI_UNIT] ajouté\n"}}},
      // Last, once every table and column they join exists.
      {"AddRelationsV252",
       {{"ALTER TABLE [IngRecAlias] ADD CONSTRAINT [IngredientsIngRecAlias] FOREIGN KEY ([INGRED_ID]) REFERENCES "
         "[Ingredients]([INGRED_ID])",
         "Relation [IngRecAlias].[IngredientsIngRecAlias] Créee\n"},
        {"ALTER TABLE [IngRecAlias] ADD CONSTRAINT [RecettesIngRecAlias] FOREIGN KEY ([RECET_ID]) REFERENCES "
         "[Recettes]([RECET_ID])",
         "Relation [IngRecAlias].[RecettesIngRecAlias] Créee\n"},
        {"ALTER TABLE [MSpecifIng] ADD CONSTRAINT [IngredientsMSpecifIng] FOREIGN KEY ([ID]) REFERENCES "
         "[Ingredients]([INGRED_ID])",
         "Relation [MSpecifIng].[IngredientsMSpecifIng] Créee\n"},
        {"ALTER TABLE [NutriIngred] ADD CONSTRAINT [IngredientsNutriIngred] FOREIGN KEY ([ING_ID]) REFERENCES "
         "[Ingredients]([INGRED_ID])",
         "Relation [NutriIngred].[IngredientsNutriIngred] Créee\n"},
        {"ALTER TABLE [Ingredients] ADD CONSTRAINT [UnitesIngredients2] FOREIGN KEY ([NUTRI_UNIT]) REFERENCES "
         "[Unites]([UNITDEF_ID])",
         "Relation [Ingredients].[UnitesIngredients2] Créee\n"},
        {"ALTER TABLE [MSpecifIng] ADD CONSTRAINT [LibellesPreEmballeMSpecifIng] FOREIGN KEY ([IDMSPECIF]) "
         "REFERENCES [LibellesPreEmballe]([ID])",
         "Relation [MSpecifIng].[LibellesPreEmballeMSpecifIng] Créee\n"},
        {"ALTER TABLE [MSpecifRec] ADD CONSTRAINT [LibellesPreEmballeMSpecifRec] FOREIGN KEY ([IDMSPECIF]) "
         "REFERENCES [LibellesPreEmballe]([ID])",
         "Relation [MSpecifRec].[LibellesPreEmballeMSpecifRec] Créee\n"},
        {"ALTER TABLE [MSpecifRec] ADD CONSTRAINT [RecettesMSpecifRec] FOREIGN KEY ([ID]) REFERENCES "
         "[Recettes]([RECET_ID])",
         "Relation [MSpecifRec].[RecettesMSpecifRec] Créee\n"},
        {"ALTER TABLE [NutriIngred] ADD CONSTRAINT [NutriLibellesNutriIngred] FOREIGN KEY ([NUTRI_ID]) REFERENCES "
         "[NutriLibelles]([ID])",
         "Relation [NutriIngred].[NutriLibellesNutriIngred] Créee\n"},
        {"ALTER TABLE [Recettes] ADD CONSTRAINT [UnitesRecettes] FOREIGN KEY ([NUTRI_UNIT]) REFERENCES "
         "[Unites]([UNITDEF_ID])",
         "Relation [Recettes].[UnitesRecettes] Créee\n"}}},
  };
}

// The template's new categories come parent first; a database that already
// has one of them has been given the branch by other means, and what
// follows in the template is left to it.
// Rows of the user at the numbers of the template's categories, labels and
// the system unit -1 move out of their way, with everything that names
// them, before the merges add the template's rows there.
BOOL MoveUserCategoriesV252(CDatabase* pDb, CDatabase* pTemplateDb) {
  return MoveUserRowsAside(pDb, CategoryKeys(), TemplateKeys(pTemplateDb, CategoryKeys()));
}

BOOL MoveUserLabelsV252(CDatabase* pDb, CDatabase* pTemplateDb) {
  return MoveUserRowsAside(pDb, PreEmballeLabelKeys(), TemplateKeys(pTemplateDb, PreEmballeLabelKeys()));
}

BOOL MoveUserUnitV252(CDatabase* pDb) { return MoveUserRowsAside(pDb, UnitKeys(), {-1}); }

BOOL UpdateCategoriesV252(CDatabase* pDb, CDatabase* pTemplateDb) {
  CCategoriesSet tmpl(pTemplateDb, kFrom);
  tmpl.Open();
  CCategoriesSet db(pDb, kConvertedDatabase);
  OpenForKeyedRows(db);
  BOOL allNew = TRUE;
  for (; !tmpl.IsEOF(); tmpl.MoveNext()) {
    if (FindKeyedRow(db, "[CLASS_ID]=%d", static_cast<int>(tmpl.m_CLASS_ID))) {
      allNew = FALSE;
      break;
    }
    db.AddNew();
    CopyCategory(tmpl, db);
    db.Update();
  }
  db.Close();
  tmpl.Close();
  JournalTableResult(allNew, "Categories");
  // A category already there is journaled, but does not stop the step.
  return TRUE;
}

BOOL UpdateNutriLibellesV252(CDatabase* pDb, CDatabase* pTemplateDb) {
  // Both sets in the V2.5.2 shape: the table has no owner nor date yet, in
  // the database as in the template. The table is the one the structure
  // phase has just created, empty.
  return AppendTemplateRows<CNutriLibellesSet>(
      pDb, pTemplateDb, kFrom, "NutriLibelles",
      [](const CNutriLibellesSet& from, CNutriLibellesSet& to) {
        CopyField(from, from.m_ID, to, to.m_ID);
        CopyNutriLabel(from, to);
      },
      NutriLabelColumns::V252);
}

BOOL UpdateLibellesPreEmballeV252(CDatabase* pDb, CDatabase* pTemplateDb) {
  return AppendTemplateRows<CLibellesPreEmballeSet>(pDb, pTemplateDb, kFrom, "LibellesPreEmballe",
                                                    CopyLibellePreEmballe);
}

// The unit that the nutrition quantities of the system refer to.
BOOL UpdateUnitesV252(CDatabase* pDb) {
  CUnitesSet set(pDb, kConvertedDatabase);
  set.Open();
  set.AddNew();
  set.m_UNITDEF_ID = -1;
  set.m_IMPERIAL = FALSE;
  set.m_CFACT = 0.0;
  set.m_TYPE = 0;
  set.m_OWNER = -1;
  set.m_NBDIGIT = -1;
  AssignNames(set, {"System", "System", "System", "System", "System"});
  set.m_SYMBOL_1 = "System";
  set.m_SYMBOL_2 = "System";
  set.m_SYMBOL_3 = "System";
  set.m_SYMBOL_4 = "System";
  set.m_SYMBOL_5 = "System";
  set.m_DATE_MAJ = CTime::GetCurrentTime();
  set.Update();
  set.Close();
  JournalTableResult(TRUE, "Unites");
  return TRUE;
}

// The data phase, in order.
std::vector<Merge> UpdateDataV252() {
  return {
      LanguePrinterMerge(),
      LangueSystemMerge(),
      FromTemplate("MoveUserCategoriesV252", MoveUserCategoriesV252),
      FromTemplate("UpdateCategoriesV252", UpdateCategoriesV252),
      FromTemplate("UpdateNutriLibellesV252", UpdateNutriLibellesV252),
      FromTemplate("MoveUserLabelsV252", MoveUserLabelsV252),
      FromTemplate("UpdateLibellesPreEmballeV252", UpdateLibellesPreEmballeV252),
      OnDatabase("MoveUserUnitV252", MoveUserUnitV252),
      OnDatabase("UpdateUnitesV252", UpdateUnitesV252),
  };
}

}  // namespace

const ConversionStep& ConvertV2514ToV252() {
  static const ConversionStep step{
      .name = "V2.5.1.4 -> V2.5.2",
      .from = {kFrom, "2.5.1.343", "V2.5.1.4"},
      .to = {2005002, "2.5.2.399"},
      .templateFile = "tq2V2_5_2.mdb",
      .lines = {.opening = "Mise à jour Toquelin V2.5.1.4 -> V2.5.2\n",
                .progress = "Conversion de la base de données V2.5.1.4 -> V2.5.2",
                .structureOpening = "\nModification structure database V2.5.1.4\n",
                .structureSuccess = "Structure database V2.5.2 mise à jour\n\n",
                .structureFailure = "ERREUR : Structure database V2.5.1.4 non mise à jour\n\n",
                .dataOpening = "\nMise à jour des données database V2.5.1.4\n",
                .dataSuccess = "Données database V2.5.2 mise à jour\n\n",
                .dataFailure = "ERREUR : Données database V2.5.2 non mise à jour\n\n"},
      .structure = UpdateStructureV252(),
      .merges = UpdateDataV252(),
  };
  return step;
}
