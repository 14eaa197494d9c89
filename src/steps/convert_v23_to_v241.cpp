// The step V2.3 -> V2.4.1: the pre-packed data of ingredients and recipes
// (ten columns of [Ingredients], three tables, ten relations), wider code
// columns, the system row of the pre-packed labels, no more price per kilo
// kept with the ingredients, and one more digit for the gram.
#include "framework/conversion_step.h"
#include "merges/merge_journal.h"
#include "merges/system_rows.h"
#include "recordsets/libelles_pre_emballe_set.h"

namespace {

// The version this step converts, which its template's record sets carry.
constexpr DbVersion kFrom = 2003;

// The structure phase, in order.
std::vector<DdlOperation> UpdateStructureV241() {
  return {
      {"AddIngredientsPreEmballe",
       Statements({
           {{"ALTER TABLE [Ingredients] ADD [PREEM_DENVENT] INTEGER", "Champs [Ingredients].[PREEM_DENVENT] ajouté\n"},
            {"ALTER TABLE [Ingredients] ADD [PREEM_COMPOS] INTEGER", "Champs [Ingredients].[PREEM_COMPOS] ajouté\n"},
            {"ALTER TABLE [Ingredients] ADD [PREEM_COMPCT] REAL", "Champs [Ingredients].[PREEM_COMPCT] ajouté\n"}},
           ForEachLanguage("ALTER TABLE [Ingredients] ADD [PREEM_FICHTECH_%d] MEMO",
                           "Champs [Ingredients].[PREEM_FICHTECH_%d] ajouté\n"),
           {{"ALTER TABLE [Ingredients] ADD [PREEM_CATADDITIF] INTEGER",
             "Champs [Ingredients].[PREEM_CATADDITIF] ajouté\n"},
            {"ALTER TABLE [Ingredients] ADD [PREEM_CODEADDITIF] TEXT(32)",
             "Champs [Ingredients].[PREEM_CODEADDITIF] ajouté\n"},
            {"ALTER TABLE [Ingredients] ALTER COLUMN [CODE_AN] TEXT(32)", "Champs [Ingredients].[CODE_AN] modifié\n"},
            {"ALTER TABLE [Ingredients] ALTER COLUMN [FOU1_CODECMD] TEXT(32)",
             "Champs [Ingredients].[FOU1_CODECMD] modifié\n"},
            {"ALTER TABLE [Ingredients] ALTER COLUMN [FOU2_CODECMD] TEXT(32)",
             "Champs [Ingredients].[FOU2_CODECMD] modifié\n"},
            {"ALTER TABLE [Ingredients] ALTER COLUMN [FOU_CODECMDDEF] TEXT(32)",
             "Champs [Ingredients].[FOU_CODECMDDEF] modifié\n"}},
       })},
      {"AlterRecettesCodeAn",
       {{"ALTER TABLE [Recettes] ALTER COLUMN [CODE_AN] TEXT(32)", "Champs [Recettes].[CODE_AN] modifié\n"}}},
      // The index is still sent when the table
      // was refused.
      {"CreateTableLibellesPreEmballe",
       {{"CREATE TABLE [LibellesPreEmballe] ( [ID] INTEGER CONSTRAINT PrimaryKey PRIMARY KEY NOT NULL, [NAME_1] "
         "TEXT(128), [NAME_2] TEXT(128), [NAME_3] TEXT(128), [NAME_4] TEXT(128), [NAME_5] TEXT(128), [TYPE] BYTE, "
         "[OWNER] INTEGER)",
         "Table [LibellesPreEmballe] créee\n", OnFailure::GoOn},
        {"CREATE INDEX [TYPE] ON [LibellesPreEmballe] ( [TYPE] )", "Index [LibellesPreEmballe].[TYPE] crée\n"}}},
      {"CreateTableRecetPreEmbal",
       {{"CREATE TABLE [RecetPreEmbal] ( [ID_RECET] INTEGER CONSTRAINT PrimaryKey PRIMARY KEY, [INGCOMPOSCUMULABLE] "
         "BIT, [ID_DENOMLEG] INTEGER, [NAME_1] TEXT(128), [NAME_2] TEXT(128), [NAME_3] TEXT(128), [NAME_4] TEXT(128), "
         "[NAME_5] TEXT(128), [CRC_1] INTEGER, [CRC_2] INTEGER, [CRC_3] INTEGER, [CRC_4] INTEGER, [CRC_5] INTEGER, "
         "[TEXTE_1] MEMO, [TEXTE_2] MEMO, [TEXTE_3] MEMO, [TEXTE_4] MEMO, [TEXTE_5] MEMO, [ID_VOLPDS] INTEGER, "
         "[ID_DATE] INTEGER, [ID_CONSERV] INTEGER, [VOLPDS] TEXT(50), [DATE] TEXT(50), [CONSERV] TEXT(50), [NLOT] "
         "TEXT(50), [FABRICANT] MEMO)",
         "Table [RecetPreEmbal] créee\n"}}},
      // No key without its table.
      {"CreateTableRecetteAffIngrCompos",
       {{"CREATE TABLE [RecetteAffIngrCompos] ( [ID_RECET] INTEGER, [ID_INGRD] INTEGER, [PCT_INGREDIENT] BIT, "
         "[PCT_COMPOSITION] BIT)",
         "Table [RecetteAffIngrCompos] créee\n"},
        {"ALTER TABLE [RecetteAffIngrCompos] ADD CONSTRAINT [PrimaryKey] PRIMARY KEY ([ID_RECET], [ID_INGRD] )",
         "PrimaryKey [RecetteAffIngrCompos] créee\n"}}},
      // Last, once the tables they join exist.
      {"AddRelationsPreEmballe",
       {{"ALTER TABLE [RecetPreEmbal] ADD CONSTRAINT [CategoriesRecetPreEmbal2] FOREIGN KEY ([ID_DATE]) REFERENCES "
         "[Categories]([CLASS_ID])",
         "Relation [RecetPreEmbal].[ID_DATE] Créee\n"},
        {"ALTER TABLE [RecetPreEmbal] ADD CONSTRAINT [CategoriesRecetPreEmbal1] FOREIGN KEY ([ID_VOLPDS]) REFERENCES "
         "[Categories]([CLASS_ID])",
         "Relation [RecetPreEmbal].[ID_VOLPDS] Créee\n"},
        {"ALTER TABLE [RecetPreEmbal] ADD CONSTRAINT [CategoriesRecetPreEmbal3] FOREIGN KEY ([ID_CONSERV]) REFERENCES "
         "[Categories]([CLASS_ID])",
         "Relation [RecetPreEmbal].[ID_CONSERV] Créee\n"},
        {"ALTER TABLE [Ingredients] ADD CONSTRAINT [LibellesPreEmballeIngredients1] FOREIGN KEY ([PREEM_COMPOS]) "
         "REFERENCES [LibellesPreEmballe]([ID])",
         "Relation [Ingredients].[PREEM_COMPOS] Créee\n"},
        {"ALTER TABLE [Ingredients] ADD CONSTRAINT [LibellesPreEmballeIngredients] FOREIGN KEY ([PREEM_DENVENT]) "
         "REFERENCES [LibellesPreEmballe]([ID])",
         "Relation [Ingredients].[PREEM_DENVENT] Créee\n"},
        {"ALTER TABLE [RecetteAffIngrCompos] ADD CONSTRAINT [IngredientsRecetteAffIngrCompos] FOREIGN KEY "
         "([ID_INGRD]) REFERENCES [Ingredients]([INGRED_ID])",
         "Relation [RecetteAffIngrCompos].[ID_INGRD] Créee\n"},
        {"ALTER TABLE [RecetPreEmbal] ADD CONSTRAINT [LibellesPreEmballeRecetPreEmbal] FOREIGN KEY ([ID_DENOMLEG]) "
         "REFERENCES [LibellesPreEmballe]([ID])",
         "Relation [RecetPreEmbal].[ID_DENOMLEG] Créee\n"},
        {"ALTER TABLE [LibellesPreEmballe] ADD CONSTRAINT [UtilisateursLibellesPreEmballe] FOREIGN KEY ([OWNER]) "
         "REFERENCES [Utilisateurs]([USER_ID])",
         "Relation [LibellesPreEmballe].[OWNER] Créee\n"},
        {"ALTER TABLE [RecetPreEmbal] ADD CONSTRAINT [RecettesRecetPreEmbal] FOREIGN KEY ([ID_RECET]) REFERENCES "
         "[Recettes]([RECET_ID])",
         "Relation [RecetPreEmbal].[ID_RECET] Créee\n"},
        {"ALTER TABLE [RecetteAffIngrCompos] ADD CONSTRAINT [RecettesRecetteAffIngrCompos] FOREIGN KEY ([ID_RECET]) "
         "REFERENCES [Recettes]([RECET_ID])",
         "Relation [RecetteAffIngrCompos].[ID_RECET] Créee\n"}}},
  };
}

// The one row of the system user, which every ingredient without a label
// of its own refers to.
BOOL UpdateLibellesPreEmballe(CDatabase* pDb) {
  CLibellesPreEmballeSet set(pDb, kConvertedDatabase);
  set.Open();
  set.AddNew();
  set.m_ID = -1;
  AssignNames(set, {"SYSTEM", "SYSTEM", "SYSTEM", "SYSTEM", "SYSTEM"});
  set.m_TYPE = 255;  // a label of every type
  set.m_OWNER = -1;
  set.Update();
  set.Close();
  JournalTableResult(TRUE, "LibellesPreEmballe");
  return TRUE;
}

// From V2.4.1 on the price per kilo comes from the suppliers' prices.
BOOL ClearIngredientsPxkg(CDatabase* pDb) {
  return ExecuteDataStatement(
      pDb, {"UPDATE [Ingredients] SET [Ingredients].[PXKG] = Null", "Données table [Ingredients].[PXKG] supprimées.\n"},
      "ERREUR : Données table [Ingredients].[PXKG] non mises à jour.\n");
}

BOOL UpdateUnitesNbDigit(CDatabase* pDb) {
  return ExecuteDataStatement(pDb,
                              {"UPDATE [Unites] SET [Unites].[NBDIGIT] = 1 WHERE ((([Unites].[UNITDEF_ID])=3));",
                               "Données table [Unites] gramme mises à jour.\n"},
                              "ERREUR : Données table [Unites] gramme non mises à jour.\n");
}

// The data phase, in order.
std::vector<Merge> UpdateDataV241() {
  return {
      LanguePrinterMerge(),
      LangueSystemMerge(),
      OnDatabase("UpdateLibellesPreEmballe", UpdateLibellesPreEmballe),
      OnDatabase("ClearIngredientsPxkg", ClearIngredientsPxkg),
      OnDatabase("UpdateUnitesNbDigit", UpdateUnitesNbDigit),
  };
}

}  // namespace

const ConversionStep& ConvertV23ToV241() {
  static const ConversionStep step{
      .name = "V2.3 -> V2.4.1",
      .from = {kFrom, "2.3.1.217", "V2.3"},
      .to = {2004, "2.4.1.263"},
      .templateFile = "tq2V2_4.mdb",
      .lines = {.opening = "Mise à jour Toquelin V2.3 -> V2.4.1\n",
                .progress = "Conversion de la base de données V2.3 -> V2.4.1",
                .structureOpening = "\nModification structure database V2.3\n",
                .structureSuccess = "Structure database V2.4.1 mise à jour\n\n",
                .structureFailure = "ERREUR : Structure database V2.41 non mise à jour\n\n",
                .dataOpening = "\nMise à jour des données database V2.3\n",
                .dataSuccess = "Données database V2.4.1 mise à jour\n\n",
                .dataFailure = "ERREUR : Données database V2.4.1 non mise à jour\n\n"},
      .printerLimit = 158,
      .systemLimit = 933,
      .structure = UpdateStructureV241(),
      .merges = UpdateDataV241(),
  };
  return step;
}
