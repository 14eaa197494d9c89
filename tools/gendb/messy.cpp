// The rows of a messy V2.0 kitchen database, on top of the sample's: what
// years of use leave that no template resembles. See gendb.h.
#include <ostream>
#include <string>

#include "gendb.h"

namespace gendb {
namespace {

constexpr int kUser = 1;
constexpr const char* kDate = "#2004-05-06 07:08:09#";

// A category of the user with its five names, every other column given.
void Category(std::ostream& out, long long id, int type, long long parent, const std::string& name, bool hasChildren,
              const std::string& spanish = "") {
  const std::string es = spanish.empty() ? name : spanish;
  out << "INSERT INTO [Categories] ([CLASS_ID], [TYPE], [MASQUE], [PERE_ID], [NAME_1], [NAME_2], [NAME_3], [NAME_4], "
         "[NAME_5], [OWNER], [DATE_MAJ], [ASCHILD]) VALUES ("
      << id << ", " << type << ", 0, " << parent << ", " << Quote(name) << ", " << Quote(name) << ", " << Quote(name)
      << ", " << Quote(es) << ", " << Quote(name) << ", " << kUser << ", " << kDate << ", "
      << (hasChildren ? "True" : "False") << ");\n";
}

void Ingredient(std::ostream& out, int id, const std::string& name, int unit) {
  out << "INSERT INTO [Ingredients] ([INGRED_ID], [NOM], [CODE_AN], [UNITE], [PXKG], [DEVISE], [DENSITE], "
         "[RENDEMENT], [OWNER], [DATE_MAJ]) VALUES ("
      << id << ", " << Quote(name) << ", NULL, " << unit << ", 3.5, 1, NULL, 1, " << kUser << ", " << kDate << ");\n";
}

void Recipe(std::ostream& out, int id, const std::string& name) {
  out << "INSERT INTO [Recettes] ([RECET_ID], [NOM], [CODE_AN], [NBPORTIONS], [PX_VENTE], [DEVISE], [OWNER], "
         "[DATE_MAJ], [PROCEDE]) VALUES ("
      << id << ", " << Quote(name) << ", NULL, 4, 12.5, 1, " << kUser << ", " << kDate << ", NULL);\n";
}

void IngredientLink(std::ostream& out, int ingredient, long long category, long long parent) {
  out << "INSERT INTO [CategIngre] ([INGR_ID], [CLASS_ID], [CLASSPARENT], [MASQUE]) VALUES (" << ingredient << ", "
      << category << ", " << parent << ", 0);\n";
}

void RecipeLink(std::ostream& out, int recipe, long long category, long long parent) {
  out << "INSERT INTO [CategRecet] ([RECET_ID], [CLASS_ID], [CLASSPARENT], [MASQUE]) VALUES (" << recipe << ", "
      << category << ", " << parent << ", 0);\n";
}

}  // namespace

void WriteMessy(std::ostream& out, const MessySizes& sizes) {
  // Ingredients and recipes of the user's own, to link; two whose names
  // differ by their accents only.
  for (int i = 0; i < 12; ++i) Ingredient(out, kMessyIngredient + i, "Produit maison " + std::to_string(i + 1), 4);
  Ingredient(out, kMessyIngredient + 12, "résumé", 4);
  Ingredient(out, kMessyIngredient + 13, "resume", 4);
  for (int i = 0; i < 8; ++i) Recipe(out, kMessyRecipe + i, "Recette maison " + std::to_string(i + 1));

  // The root names supplier 53 as its parent: a loop through a category
  // that claims children, and a root under a supplier.
  out << "UPDATE [Categories] SET [PERE_ID]=53 WHERE [CLASS_ID]=-1;\n";

  // A chain under supplier 53 and one under the import category 61, each
  // level linked now and then.
  auto chain = [&out](long long first, long long top, int depth, bool recipes) {
    for (int level = 0; level < depth; ++level) {
      const long long id = first + level;
      Category(out, id, 1, level == 0 ? top : id - 1, "Niveau " + std::to_string(level + 1), level + 1 < depth);
      if (level % 97 == 0 || level + 1 == depth) {
        if (recipes) RecipeLink(out, kMessyRecipe + level % 8, id, level == 0 ? top : id - 1);
        else IngredientLink(out, kMessyIngredient + level % 12, id, level == 0 ? top : id - 1);
      }
    }
  };
  chain(kMessySupplierChain, 53, sizes.depth, false);
  chain(kMessyImportChain, 61, sizes.importDepth, true);

  // Flat categories of the user at the top of the tree.
  for (int i = 0; i < sizes.flat; ++i) Category(out, kMessyFlat + i, 1, -1, "Rayon " + std::to_string(i + 1), false);

  // Large identifiers, parent and child.
  Category(out, kMessyHuge, 1, -1, "Grand numéro", true);
  Category(out, kMessyHuge + 1, 1, kMessyHuge, "Grand numéro bis", false);
  RecipeLink(out, kMessyRecipe + 1, kMessyHuge + 1, kMessyHuge);

  // Links under allergen sub-categories other than 242, and a category of
  // the user under one of them, with a link of its own.
  IngredientLink(out, kMessyIngredient, 29, 26);
  IngredientLink(out, kMessyIngredient + 1, 30, 26);
  RecipeLink(out, kMessyRecipe, 31, 26);
  Category(out, kMessyUnderAllergen, 1, 31, "Lactose maison", false);
  IngredientLink(out, kMessyIngredient + 2, kMessyUnderAllergen, 31);

  // Categories of the user at numbers later templates claim: 36 and 40
  // (V2.5.1), 91 (V2.5.2), 96 (V2.5.3); 40 with a child and links.
  Category(out, 36, 1, -1, "Mes épices", false);
  IngredientLink(out, kMessyIngredient + 3, 36, -1);
  Category(out, 40, 1, -1, "Mes fromages", true);
  Category(out, kMessyUnderClaimed, 1, 40, "Fromages de chèvre", false);
  IngredientLink(out, kMessyIngredient + 4, 40, -1);
  IngredientLink(out, kMessyIngredient + 5, kMessyUnderClaimed, 40);
  RecipeLink(out, kMessyRecipe + 2, 40, -1);
  Category(out, 91, 2, -1, "Mes menus", false);
  RecipeLink(out, kMessyRecipe + 3, 91, -1);
  Category(out, 96, 2, -1, "Mes buffets", false);
  RecipeLink(out, kMessyRecipe + 4, 96, -1);

  // A unit of the user at -1, which V2.5.2 claims, used by an ingredient,
  // and a progression step of the user at -2, which V2.5.3 claims.
  out << "INSERT INTO [Unites] ([UNITDEF_ID], [IMPERIAL], [CFACT], [TYPE], [OWNER], [NBDIGIT], [NAME_1], [NAME_2], "
         "[NAME_3], [NAME_4], [NAME_5], [SYMBOL_1], [SYMBOL_2], [SYMBOL_3], [SYMBOL_4], [SYMBOL_5], [DATE_MAJ], "
         "[CODE_ECH]) VALUES (-1, False, 0.25, 2, 1, 1, 'cagette', 'crate', 'Kiste', 'caja', 'cassetta', 'cag', "
         "'crt', 'Ki', 'cj', 'cs', " << kDate << ", 'CAG');\n";
  Ingredient(out, kMessyIngredient + 14, "Pommes à la cagette", -1);
  out << "INSERT INTO [Progression] ([IDPROGRESSION], [PROGRESSION_1], [PROGRESSION_2], [PROGRESSION_3], "
         "[PROGRESSION_4], [PROGRESSION_5], [OWNER]) VALUES (-2, 'Repos', 'Rest', 'Ruhe', 'Reposo', 'Riposo', 1);\n";

  // Nulls in columns the merges copy or overwrite, and in a category of the
  // user that nothing overwrites.
  out << "UPDATE [Categories] SET [NAME_5]=NULL WHERE [CLASS_ID]=26;\n";
  out << "INSERT INTO [Categories] ([CLASS_ID], [TYPE], [MASQUE], [PERE_ID], [NAME_1], [OWNER], [ASCHILD]) VALUES ("
      << kMessyNulls << ", 1, NULL, -1, 'Sans nom', 1, False);\n";

  // A Spanish name of the user that differs from the import category's by
  // its accent only.
  Category(out, kMessySpanish, 1, -1, "Import espagnol", false, "Importacion");
}

}  // namespace gendb
