// The step V2.1 -> V2.2: suppliers. The supplier table and the supplier
// columns of ingredients, wider language columns, the relations of
// suppliers; then the new import category, the supplier categories
// flattened under category 52, and the texts of the system units.
#include <array>
#include <unordered_set>

#include "framework/conversion_step.h"
#include "merges/keyed_row.h"
#include "merges/merge_journal.h"
#include "merges/merge_statement.h"
#include "merges/system_rows.h"
#include "recordsets/categories_set.h"
#include "recordsets/categories_tree.h"
#include "recordsets/category_walk.h"
#include "recordsets/id_bit_set.h"
#include "recordsets/ing_categ_set.h"
#include "recordsets/unites_set.h"
#include "shell/journal.h"

namespace {

// The version this step converts, which its template's record sets carry.
constexpr DbVersion kFrom = 2001;

DdlStatement AddIngredientsColumn(const char* column, const char* type, OnFailure onFailure = OnFailure::Stop) {
  CString sql, line;
  sql.Format("ALTER TABLE [Ingredients] ADD [%s] %s", column, type);
  line.Format("Champs [Ingredients].[%s] ajouté\n", column);
  return {sql.str(), line.str(), onFailure};
}

// The structure phase, in order.
std::vector<DdlOperation> UpdateStructureV22() {
  constexpr OnFailure kGoOn = OnFailure::GoOn;
  return {
      {"CreateTableFournisseurs",
       {{"CREATE TABLE [Fournisseurs] ( [ID] INTEGER CONSTRAINT PK_NAME PRIMARY KEY NOT NULL, [NUMCLIENT] "
         "TEXT(32), [CONTACT] TEXT(64), [TEL] TEXT(32), [FAX] TEXT(32), [EMAIL] TEXT(128), [ADRESSE1] TEXT(128), "
         "[ADRESSE2] TEXT(128), [ADRESSE3] TEXT(128), [CODEPOST] TEXT(16), [VILLE] TEXT(64), [PAYS] TEXT(64))",
         "Table [Fournisseurs] créee\n"}}},
      {"AlterDevisesNameSymbol", Statements({ForEachLanguage("ALTER TABLE [Devises] ALTER COLUMN [NAME_%d] TEXT(54)",
                                                             "Champs [Devises].[NAME_%d] modifié\n"),
                                             ForEachLanguage("ALTER TABLE [Devises] ALTER COLUMN [SYMBOL_%d] TEXT(54)",
                                                             "Champs [Devises].[SYMBOL_%d] modifié\n")})},
      {"AlterUnitesNameSymbol", Statements({ForEachLanguage("ALTER TABLE [Unites] ALTER COLUMN [NAME_%d] TEXT(54)",
                                                            "Champs [Unites].[NAME_%d] modifié\n"),
                                            ForEachLanguage("ALTER TABLE [Unites] ALTER COLUMN [SYMBOL_%d] TEXT(54)",
                                                            "Champs [Unites].[SYMBOL_%d] modifié\n")})},
      {"AlterCategoriesName", ForEachLanguage("ALTER TABLE [Categories] ALTER COLUMN [NAME_%d] TEXT(54)",
                                              "Champs [Categories].[NAME_%d] modifié\n")},
      // A few of its columns may fail and
      // let the others still be added.
      {"AddIngredientsVenteFournisseurs",
       {AddIngredientsColumn("COEF1_VENTE", "DOUBLE"),
        AddIngredientsColumn("COEF2_VENTE", "DOUBLE"),
        AddIngredientsColumn("COEF3_VENTE", "DOUBLE"),
        AddIngredientsColumn("METHODE_VENTE", "BYTE", kGoOn),
        AddIngredientsColumn("PEQTE", "DOUBLE"),
        AddIngredientsColumn("PEUNIT", "INTEGER"),
        AddIngredientsColumn("PEQTENET", "DOUBLE"),
        AddIngredientsColumn("PEUNITNET", "INTEGER"),
        AddIngredientsColumn("PERTE", "DOUBLE"),
        AddIngredientsColumn("FOU1_QTE", "DOUBLE"),
        AddIngredientsColumn("FOU1_UNIT", "INTEGER"),
        AddIngredientsColumn("FOU1_PX", "DOUBLE"),
        AddIngredientsColumn("FOURN1", "INTEGER"),
        AddIngredientsColumn("FOU2_QTE", "DOUBLE"),
        AddIngredientsColumn("FOU2_UNIT", "INTEGER"),
        AddIngredientsColumn("FOU2_PX", "DOUBLE"),
        AddIngredientsColumn("FOURN2", "INTEGER"),
        AddIngredientsColumn("FOU_PXQTEUNIT", "INTEGER"),
        AddIngredientsColumn("FOU_PXUNITAIRE", "DOUBLE", kGoOn),
        AddIngredientsColumn("FOU1_CODECMD", "TEXT(16)", kGoOn),
        AddIngredientsColumn("FOU2_CODECMD", "TEXT(16)", kGoOn),
        AddIngredientsColumn("FOU_CODECMDDEF", "TEXT(16)", kGoOn),
        AddIngredientsColumn("FOU1_QTE2", "DOUBLE", kGoOn),
        AddIngredientsColumn("FOU1_UNIT2", "INTEGER", kGoOn),
        AddIngredientsColumn("FOU2_QTE2", "DOUBLE", kGoOn),
        AddIngredientsColumn("FOU2_UNIT2", "INTEGER", kGoOn),
        AddIngredientsColumn("FOURN_DEF", "BYTE")}},
      {"AddPlanningPxVente",
       {{"ALTER TABLE [Planning] ADD [FIXED_PX_VENTE] DOUBLE", "Champs [Planning].[FIXED_PX_VENTE] ajouté\n"},
        {"ALTER TABLE [Planning] ADD [REMISE_PX_VENTE] DOUBLE", "Champs [Planning].[REMISE_PX_VENTE] ajouté\n"}}},
      {"AddRecettesCummulable",
       {{"ALTER TABLE [Recettes] ADD [CUMMULABLE] BIT", "Champs [Recettes].[CUMMULABLE] ajouté\n"}}},
      {"AddUtilisateursAffipxEnaimpr",
       {{"ALTER TABLE [Utilisateurs] ADD [AFFIPX] BIT", "Champs [Utilisateurs].[AFFIPX] ajouté\n"},
        {"ALTER TABLE [Utilisateurs] ADD [ENAIMPR] BIT", "Champs [Utilisateurs].[ENAIMPR] ajouté\n"}}},
      {"AlterVariablesValstr",
       {{"ALTER TABLE [Variables] ALTER COLUMN [VALSTR] TEXT(128)", "Champs [Variables].[VALSTR] modifié\n"}}},
      {"AddRelationsFournisseurs",
       {{"ALTER TABLE [Fournisseurs] ADD CONSTRAINT [CategoriesFournisseurs] FOREIGN KEY ([ID]) REFERENCES "
         "[Categories]([CLASS_ID])",
         "Relation [Fournisseurs].[CategoriesFournisseurs] Créee\n"},
        {"ALTER TABLE [Ingredients] ADD CONSTRAINT [CategoriesIngredients3] FOREIGN KEY ([FOURN1]) REFERENCES "
         "[Categories]([CLASS_ID])",
         "Relation [Ingredients].[CategoriesIngredients3] Créee\n"},
        {"ALTER TABLE [Ingredients] ADD CONSTRAINT [CategoriesIngredients4] FOREIGN KEY ([FOURN2]) REFERENCES "
         "[Categories]([CLASS_ID])",
         "Relation [Ingredients].[CategoriesIngredients4] Créee\n"},
        {"ALTER TABLE [Ingredients] ADD CONSTRAINT [UnitesIngredients] FOREIGN KEY ([FOU1_UNIT]) REFERENCES "
         "[Unites]([UNITDEF_ID])",
         "Relation [Ingredients].[UnitesIngredients] Créee\n"},
        {"ALTER TABLE [Ingredients] ADD CONSTRAINT [UnitesIngredients1] FOREIGN KEY ([FOU2_UNIT]) REFERENCES "
         "[Unites]([UNITDEF_ID])",
         "Relation [Ingredients].[UnitesIngredients1] Créee\n"}}},
  };
}

// Categories with a fixed role in this step.
constexpr LONG kRootCategory = -1;
constexpr LONG kSupplierCategory = 52;
constexpr LONG kImportCategory = 25;
constexpr BYTE kSupplierParentType = 4;
constexpr BYTE kImportType = 3;

// The import category's name in each language column; the old import
// categories are found under them and the new one takes them.
constexpr FiveNames kImportNames{"Importation", "Import", "Import", "Importación", "Importazione"};

// Deletes a category and everything below it, deepest first, with their
// recipe and ingredient links. Its own refused statements leave only the
// merge's error line. The walk is iterative: a tree may be deeper than the
// stack.
BOOL DeleteCategoryTree(CDatabase* pDb, CCategoriesTree& /*tree*/, const CategoryNode* pTop) {
  return VisitChildrenFirst(pTop, [pDb](const CategoryNode* pNode, BOOL childrenDeleted) -> BOOL {
    if (!childrenDeleted) return FALSE;
    const int id = static_cast<int>(pNode->m_nClassId);
    for (const char* format : {"DELETE * FROM [CategRecet]WHERE [CategRecet].[CLASS_ID]=%d",
                               "DELETE * FROM [CategIngre]WHERE [CategIngre].[CLASS_ID]=%d",
                               "DELETE * FROM [Categories]WHERE [Categories].[CLASS_ID]=%d"}) {
      CString sql;
      sql.Format(format, id);
      if (!ExecuteMergeStatement(pDb, sql, false)) return FALSE;
    }
    JournalFormat("Catégorie %d supprimée\n", id);
    return TRUE;
  });
}

// The old import categories make way for category 25; category 52 gets its
// Spanish name.
BOOL UpdateCategoriesV22(CDatabase* pDb) {
  CCategoriesSet set(pDb, kConvertedDatabase);
  OpenForKeyedRows(set);
  CCategoriesTree tree(pDb);
  BOOL result = tree.Load();
  for (int language = 1; language <= 5 && result; ++language) {
    set.m_strFilter.Format("[PERE_ID]=%d AND [NAME_%d]='%s'", kRootCategory, language, kImportNames[language - 1]);
    set.Requery();
    if (set.IsEOF()) continue;
    // The root may carry an import name; it has no node and is passed over.
    if (const CategoryNode* pNode = tree.Find(set.m_CLASS_ID)) result = DeleteCategoryTree(pDb, tree, pNode);
  }
  if (result) {
    if (!FindKeyedRow(set, "[CLASS_ID]=%d", kSupplierCategory)) {
      result = FALSE;
    } else {
      set.Edit();
      set.m_NAME_4 = "Proveedor";
      set.Update();
      AddRootCategory(set, kImportCategory, kImportType, kImportNames);
    }
  }
  set.Close();
  JournalTableResult(result, "Categories");
  return result;
}

// Removes every category below the top one, deepest first, and collects
// the ingredients linked to them. A category whose children could not all
// be removed stays, but its own links are collected all the same. A failed
// category writes no error line of its own unless its deletion is refused.
// The walk is iterative: a supplier's tree may be deeper than the stack.
BOOL CollapseCategoryTree(const CategoryNode* pTop, LONG nTopId, CIngCategSet& links, CDatabase* pDb,
                          CIdBitSet& ingredients) {
  return VisitChildrenFirst(pTop, [&](const CategoryNode* pNode, BOOL childrenRemoved) -> BOOL {
    if (pNode->m_nClassId == nTopId) return childrenRemoved;
    BOOL result = childrenRemoved;
    const int id = static_cast<int>(pNode->m_nClassId);
    links.m_strFilter.Format("[CLASS_ID]=%d", id);
    links.Requery();
    for (; !links.IsEOF(); links.MoveNext()) {
      // A link whose ingredient the set cannot hold (a negative identifier,
      // or one past what it can grow to) would not be moved to the
      // supplier: it stays, and so does its category.
      if (!ingredients.Add(links.m_INGR_ID)) {
        result = FALSE;
        continue;
      }
      links.Delete();
    }
    if (!result) return FALSE;

    CString sql;
    sql.Format("DELETE FROM [Categories] WHERE [Categories].[CLASS_ID]=%d", id);
    if (!ExecuteMergeStatement(pDb, sql, true)) return FALSE;
    JournalFormat("Catégorie %d supprimée\n", id);
    return TRUE;
  });
}

// Links the collected ingredients to the supplier, once each, in ascending
// order; a link the supplier already has is kept as it is.
void LinkToSupplier(LONG nSupplierId, CIngCategSet& links, CIdBitSet& ingredients) {
  // The supplier's links read once: asking the table for each ingredient
  // would cost a query per link. Only this loop adds to them, once per
  // ingredient, so the ones read stay the ones to keep.
  std::unordered_set<LONG> linked;
  links.m_strFilter.Format("[CLASS_ID]=%d", static_cast<int>(nSupplierId));
  links.Requery();
  for (; !links.IsEOF(); links.MoveNext()) linked.insert(links.m_INGR_ID);
  for (LONG ingredient = ingredients.First(); ingredient != -1; ingredient = ingredients.Next()) {
    if (linked.count(ingredient) != 0) continue;
    links.AddNew();
    links.m_INGR_ID = ingredient;
    links.m_CLASS_ID = nSupplierId;
    links.m_CLASSPARENT = kSupplierCategory;
    links.m_MASQUE = 0;
    links.Update();
  }
}

// Every supplier becomes a direct child of category 52 without
// sub-categories, owning the ingredients of its former sub-categories.
BOOL UpdateCategIngreV22(CDatabase* pDb) {
  CCategoriesTree tree(pDb);
  CIngCategSet links(pDb, kConvertedDatabase);
  // Every use of the set below filters it on one category first. Opened
  // without a filter it would read every link of the database, a tenth of
  // the whole step on a large kitchen's file, to throw them away.
  links.m_strFilter.Format("[CLASS_ID]=%d", static_cast<int>(kSupplierCategory));
  links.Open();
  BOOL result = tree.Load();
  const CategoryNode* pSuppliers = tree.Find(kSupplierCategory);
  if (result && pSuppliers != nullptr && pSuppliers->m_pFirstChild != nullptr) {
    CIdBitSet ingredients(512, FALSE);
    for (const CategoryNode* pSupplier = pSuppliers->m_pFirstChild; pSupplier != nullptr && result;
         pSupplier = pSupplier->m_pNextSibling) {
      ingredients.Clear();
      BOOL collapsed = CollapseCategoryTree(pSupplier, pSupplier->m_nClassId, links, pDb, ingredients);
      LinkToSupplier(pSupplier->m_nClassId, links, ingredients);
      CString sql;
      sql.Format(
          "UPDATE [Categories] SET [Categories].[TYPE]=0, [Categories].[ASCHILD]=0 WHERE [Categories].[CLASS_ID]=%d",
          static_cast<int>(pSupplier->m_nClassId));
      if (!ExecuteMergeStatement(pDb, sql, true)) collapsed = FALSE;
      result = collapsed;
    }
  }
  // Category 52 becomes the suppliers' parent whatever happened before.
  CString sql;
  sql.Format("UPDATE [Categories] SET [Categories].[TYPE]=%d WHERE [Categories].[CLASS_ID]=%d", kSupplierParentType,
             static_cast<int>(kSupplierCategory));
  if (!ExecuteMergeStatement(pDb, sql, true)) result = FALSE;
  links.Close();
  JournalTableResult(result, "CategIngre");
  JournalTableResult(result, "Categories");
  return result;
}

struct UnitTexts {
  LONG id;
  std::array<const char*, 5> names;
  std::array<const char*, 5> symbols;
};

// The system units' names and symbols in V2.2, in the order they are written.
constexpr std::array<UnitTexts, 19> kSystemUnits{{
    {0,
     {"Kilogramme & litre", "Kilogram & litre", "Kilogramm & Liter", "Kilogramo & litro", "Chilogrammo & litro"},
     {"kg & l", "kg & l", "kg & l", "kg & l", "kg & l"}},
    {1,
     {"Once & mesure de capacité", "Ounce & fluid ounce", "Unze(n) & Flüssig-Unze(n)", "Onza y medida de capacidad",
      "Oncia e oncia fluida"},
     {"oz & fl.oz", "oz & fl.oz", "oz & fl.oz", "oz & fl.oz", "oz & fl.oz"}},
    {2,
     {"Gramme & centilitre", "Gram & centilitre", "Gramm & Zentiliter", "Gramo & centilitro", "Grammo & centilitro"},
     {"g & cl", "g & cl", "g & cl", "g & cl", "g & cl"}},
    {3, {"gramme", "gram", "Gramm", "gramo", "grammo"}, {"g", "g", "g", "g", "g"}},
    {4, {"kilogramme", "kilogram", "Kilogramm", "kilogramo", "chilogrammo"}, {"kg", "kg", "kg", "kg", "kg"}},
    {5, {"milligramme", "milligram", "Milligramm", "miligramo", "milligrammo"}, {"mg", "mg", "mg", "mg", "mg"}},
    {6, {"centilitre", "centilitre", "Zentiliter", "centilitro", "centilitro"}, {"cl", "cl", "cl", "cl", "cl"}},
    {7, {"millilitre", "millilitre", "Milliliter", "mililitro", "millilitro"}, {"ml", "ml", "ml", "ml", "ml"}},
    {8, {"décilitre", "decilitre", "Deziliter", "decilitro", "decilitro"}, {"dl", "dl", "dl", "dl", "dl"}},
    {9, {"litre", "litre", "Liter", "litro", "litro"}, {"l", "l", "l", "l", "l"}},
    {10, {"Livre", "Pound", "Pfund", "Libra", "Libbra"}, {"lb", "lb", "lb", "lb", "lb"}},
    {11, {"Once", "Ounce", "Unze(n)", "Onza", "Oncia"}, {"oz", "oz", "oz", "oz", "oz"}},
    {12,
     {"Mesure de capacité", "Fluid ounce", "Flüssig-Unze(n)", "Medida de capacidad", "Oncia fluida"},
     {"fl.oz", "fl.oz", "fl.oz", "fl.oz", "fl.oz"}},
    {13, {"pièce/s", "piece/s", "Stück", "pieza/s", "pezzo(i)"}, {"pce/s", "pce/s", "Stück", "pza/s", "pzo(i)"}},
    {14,
     {"recette/s", "recipe/s", "Rezept/e", "receta/s", "ricetta(e)"},
     {"recette/s", "recipe/s", "Rezept/e", "receta/s", "ricetta(e)"}},
    {15, {"Pour mémoire", "Memory", "zur Erinnerung", "Para memoria", "Pro memoria"}, {"PM", "Memo", "zE", "PM", "PM"}},
    {16,
     {"Quantité suffisante", "As necessary", "nach Geschmack", "Cantidad suficiente", "Quantità sufficiente"},
     {"QS", "as nec.", "nG", "CS", "QS"}},
    {21,
     {"Livre & mesure de capacité", "Pound & fluid ounce", "Pfund & Flüssig-Unze(n)", "Libra y medida de capacidad",
      "Libbra e oncia fluida"},
     {"lb & fl.oz", "lb & fl.oz", "lb & fl.oz", "lb & fl.oz", "lb & fl.oz"}},
    {23,
     {"personne/s", "person/s", "Person/en", "persona/s", "persona(e)"},
     {"pers.", "pers.", "Pers.", "pers.", "pers."}},
}};

BOOL UpdateUnitesV22(CDatabase* pDb) {
  CUnitesSet set(pDb, kConvertedDatabase);
  set.Open();
  BOOL result = TRUE;
  for (const UnitTexts& unit : kSystemUnits) {
    set.m_strFilter.Format("[UNITDEF_ID]=%d", static_cast<int>(unit.id));
    set.Requery();
    if (set.IsEOF()) {
      result = FALSE;
      break;
    }
    set.Edit();
    CString* names[] = {&set.m_NAME_1, &set.m_NAME_2, &set.m_NAME_3, &set.m_NAME_4, &set.m_NAME_5};
    CString* symbols[] = {&set.m_SYMBOL_1, &set.m_SYMBOL_2, &set.m_SYMBOL_3, &set.m_SYMBOL_4, &set.m_SYMBOL_5};
    for (std::size_t i = 0; i < 5; ++i) {
      *names[i] = unit.names[i];
      *symbols[i] = unit.symbols[i];
    }
    set.Update();
  }
  set.Close();
  JournalTableResult(result, "Unites");
  return result;
}

// The data phase, in order.
std::vector<Merge> UpdateDataV22() {
  return {
      LanguePrinterMerge(),
      LangueSystemMerge(),
      OnDatabase("UpdateCategoriesV22", UpdateCategoriesV22),
      OnDatabase("UpdateCategIngreV22", UpdateCategIngreV22),
      OnDatabase("UpdateUnitesV22", UpdateUnitesV22),
  };
}

}  // namespace

const ConversionStep& ConvertV21ToV22() {
  static const ConversionStep step{
      .name = "V2.1 -> V2.2",
      .from = {kFrom, "2.1.1.91", "V2.1"},
      .to = {2002, "2.2.1.197"},
      .templateFile = "tq2V2_2.mdb",
      .lines = {.opening = "Mise à jour Toquelin V2.1 -> V2.2\n",
                .progress = "Conversion de la base de données V2.1 -> V2.2",
                .structureOpening = "\nModification structure database V2.1\n",
                .structureSuccess = "Structure database V2.2 mise à jour\n\n",
                .structureFailure = "ERREUR : Structure database V2.2 non mise à jour\n\n",
                .dataOpening = "\nMise à jour des données database V2.1\n",
                .dataSuccess = "Données database V2.2 mise à jour\n\n",
                .dataFailure = "ERREUR : Données database V2.2 non mise à jour\n\n"},
      .printerLimit = 145,
      .systemLimit = 675,
      .structure = UpdateStructureV22(),
      .merges = UpdateDataV22(),
  };
  return step;
}
