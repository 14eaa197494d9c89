#include "steps/convert_v23_to_v241.h"

#include "merges/merge_journal.h"
#include "merges/system_rows.h"
#include "recordsets/libelles_pre_emballe_set.h"

namespace {

const StepConstants& Step() { return StepConstantsFrom(kDbVersion23); }

const std::vector<DdlOperation>& StructureV241() {
  static const std::vector<DdlOperation> ops{
      // AddIngredientsPreEmballe
      {Statements({
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
      // AlterRecettesCodeAn
      {{{"ALTER TABLE [Recettes] ALTER COLUMN [CODE_AN] TEXT(32)", "Champs [Recettes].[CODE_AN] modifié\n"}}},
      // CreateTableLibellesPreEmballe: the index is still sent when the table
      // was refused.
      {{{"CREATE TABLE [LibellesPreEmballe] ( [ID] INTEGER CONSTRAINT PrimaryKey PRIMARY KEY NOT NULL, [NAME_1] "
         "TEXT(128), [NAME_2] TEXT(128), [NAME_3] TEXT(128), [NAME_4] TEXT(128), [NAME_5] TEXT(128), [TYPE] BYTE, "
         "[OWNER] INTEGER)",
         "Table [LibellesPreEmballe] créee\n", OnFailure::GoOn},
        {"CREATE INDEX [TYPE] ON [LibellesPreEmballe] ( [TYPE] )", "Index [LibellesPreEmballe].[TYPE] crée\n"}}},
      // CreateTableRecetPreEmbal
      {{{"CREATE TABLE [RecetPreEmbal] ( [ID_RECET] INTEGER CONSTRAINT PrimaryKey PRIMARY KEY, [INGCOMPOSCUMULABLE] "
         "BIT, [ID_DENOMLEG] INTEGER, [NAME_1] TEXT(128), [NAME_2] TEXT(128), [NAME_3] TEXT(128), [NAME_4] TEXT(128), "
         "[NAME_5] TEXT(128), [CRC_1] INTEGER, [CRC_2] INTEGER, [CRC_3] INTEGER, [CRC_4] INTEGER, [CRC_5] INTEGER, "
         "[TEXTE_1] MEMO, [TEXTE_2] MEMO, [TEXTE_3] MEMO, [TEXTE_4] MEMO, [TEXTE_5] MEMO, [ID_VOLPDS] INTEGER, "
         "[ID_DATE] INTEGER, [ID_CONSERV] INTEGER, [VOLPDS] TEXT(50), [DATE] TEXT(50), [CONSERV] TEXT(50), [NLOT] "
         "TEXT(50), [FABRICANT] MEMO)",
         "Table [RecetPreEmbal] créee\n"}}},
      // CreateTableRecetteAffIngrCompos: no key without its table.
      {{{"CREATE TABLE [RecetteAffIngrCompos] ( [ID_RECET] INTEGER, [ID_INGRD] INTEGER, [PCT_INGREDIENT] BIT, "
         "[PCT_COMPOSITION] BIT)",
         "Table [RecetteAffIngrCompos] créee\n"},
        {"ALTER TABLE [RecetteAffIngrCompos] ADD CONSTRAINT [PrimaryKey] PRIMARY KEY ([ID_RECET], [ID_INGRD] )",
         "PrimaryKey [RecetteAffIngrCompos] créee\n"}}},
      // AddRelationsPreEmballe: last, once the tables they join exist.
      {{{"ALTER TABLE [RecetPreEmbal] ADD CONSTRAINT [CategoriesRecetPreEmbal2] FOREIGN KEY ([ID_DATE]) REFERENCES "
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
  return ops;
}

// The one row of the system user, which every ingredient without a label
// of its own refers to.
BOOL UpdateLibellesPreEmballe(CDatabase* pDb) {
  CLibellesPreEmballeSet set(pDb, kDbVersion253);
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

}  // namespace

BOOL CConvertV23ToV241::ConvertV23ToV241(CString& strDest) {
  return RunPhases(strDest, Step(), &CConvertV23ToV241::UpdateStructureV241, &CConvertV23ToV241::UpdateDataV241);
}

const std::vector<DdlOperation>& CConvertV23ToV241::StructureOperations() { return StructureV241(); }

BOOL CConvertV23ToV241::UpdateStructureV241(CDatabase* pDb) { return RunStructurePhase(pDb, Step(), StructureV241()); }

BOOL CConvertV23ToV241::UpdateDataV241(CDatabase* pDb) {
  return RunDataPhase(pDb, Step(), m_strTemplateDir,
                      {LanguageMerges(Step()), OnDatabase(UpdateLibellesPreEmballe), OnDatabase(ClearIngredientsPxkg),
                       OnDatabase(UpdateUnitesNbDigit)});
}
