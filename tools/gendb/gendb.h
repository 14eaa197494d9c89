// Generators of reference-data SQL (Jet dialect), one statement per line.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>

namespace gendb {

// Quotes a text as a Jet string literal ('' for each quote inside).
std::string Quote(std::string_view text);

// Label rows of [Langue_Printer] and [Langue_System]. Identifiers run from
// first to last inclusive (an empty range when last < first). A revision
// other than 0 changes the wording of a few labels, as a new version of the
// application does, so that a merge visibly overwrites them.
struct LabelRanges {
  int printerFirst = 1;
  int printerLast = 0;
  int systemFirst = 2;
  int systemLast = 0;
  int revision = 0;
};
void WriteLabels(std::ostream& out, const LabelRanges& ranges);

// The texts of one generated label, exposed for the tests.
struct LabelText {
  std::string key;
  std::string classement;
  std::string text[5];
};
LabelText SystemLabel(int itemId, int revision);
LabelText PrinterLabel(int itemId, int revision);

// Rows of a large V2.0 database, to load after the V2.0 schema and its
// reference rows. Links are the category links of ingredients and recipes
// and the lines of recipes, shared out 55/25/20.
struct LargeSizes {
  int ingredients = 20000;
  int recipes = 10000;
  int categories = 2000;
  int links = 100000;
  std::uint32_t seed = 20030616;
  // With suppliers, category 52 gets that many suppliers sharing the
  // sub-categories out evenly (one in five nested a level deeper) and the
  // supplier links spread over the sub-categories, each supplier's drawn
  // from a pool small enough that its sub-categories share ingredients;
  // these come on top of the categories and links above. Without, a share
  // of the categories above are suppliers.
  int suppliers = 0;
  int supplierSubCategories = 0;
  int supplierLinks = 0;
  // Services planned for recipes, each with its production sheet: the
  // steps widen and extend these tables too.
  int planning = 0;
};
// First identifier of the generated categories; lower identifiers belong to
// the reference rows and to the templates.
inline constexpr int kFirstGeneratedCategory = 1000;
void WriteLarge(std::ostream& out, const LargeSizes& sizes);
// The sizes with every count multiplied by `factor`, the seed kept.
LargeSizes Scaled(const LargeSizes& sizes, int factor);

// Rows of a messy V2.0 database, to load after the sample: a root whose
// parent is supplier 53 (a loop), chains `depth` levels deep under supplier
// 53 and `importDepth` under the import category 61, `flat` categories at the top, a
// category numbered 2,000,000,000, links under allergen sub-categories, a
// user's category under one of them, categories, a unit and a progression
// step of the user at numbers later templates claim, Nulls, a Spanish name
// that differs from the import category's by its accent, and two
// ingredients whose names differ by their accents.
struct MessySizes {
  int depth = 2000;
  int importDepth = 2000;
  int flat = 0;
};
void WriteMessy(std::ostream& out, const MessySizes& sizes);

// Where the messy rows are, for the tests that check them.
inline constexpr int kMessyIngredient = 9001;
inline constexpr int kMessyRecipe = 9001;
inline constexpr long long kMessySupplierChain = 100000;
inline constexpr long long kMessyImportChain = 3000000;
inline constexpr long long kMessyFlat = 6000000;
inline constexpr long long kMessyHuge = 2000000000;
inline constexpr long long kMessyUnderAllergen = 5100;
inline constexpr long long kMessyUnderClaimed = 5300;
inline constexpr long long kMessyNulls = 5200;
inline constexpr long long kMessySpanish = 5400;

}  // namespace gendb
