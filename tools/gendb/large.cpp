// Rows of a large V2.0 database. The shape follows the sample database:
// one import category with a subtree, suppliers under 52 with nested
// sub-categories, additives under 27, families of ingredients under 1 and
// kinds of recipes under 2, so that an upgrade of a generated database does
// the same work as on a real one, only more of it. Only categories that the
// upgrade clears carry the links it expects to clear: supplier
// sub-categories carry ingredient links only, children of 26 none but 242.
#include <algorithm>
#include <array>
#include <cstdint>
#include <ostream>
#include <string>
#include <unordered_set>
#include <vector>

#include "gendb.h"

namespace gendb {
namespace {

// Small deterministic generator (xorshift32): the same sizes and seed give
// the same database on every platform.
class Random {
 public:
  explicit Random(std::uint32_t seed) : state_(seed == 0 ? 0x9E3779B9u : seed) {}
  std::uint32_t Next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return state_;
  }
  int Below(int n) { return n <= 0 ? 0 : static_cast<int>(Next() % static_cast<std::uint32_t>(n)); }

 private:
  std::uint32_t state_;
};

enum class Kind { Import, Supplier, Additive, Family, RecipeType };

struct Category {
  int id;
  int parent;
  Kind kind;
  int depth;
  bool hasChild = false;
};

constexpr std::array<const char*, 24> kProducts{"Tomate",
                                                "Carotte",
                                                "Poireau",
                                                "Courgette",
                                                "Aubergine",
                                                "Poivron",
                                                "Oignon",
                                                "Échalote",
                                                "Pomme",
                                                "Poire",
                                                "Abricot",
                                                "Fraise",
                                                "Framboise",
                                                "Citron",
                                                "Orange",
                                                "Beurre",
                                                "Crème",
                                                "Fromage",
                                                "Filet de bœuf",
                                                "Côte de porc",
                                                "Cuisse de poulet",
                                                "Filet de cabillaud",
                                                "Crevette",
                                                "Farine"};
constexpr std::array<const char*, 12> kVarieties{"bio",           "de saison", "extra",         "catégorie I",
                                                 "surgelé",       "frais",     "local",         "Label rouge",
                                                 "d'importation", "en vrac",   "calibre moyen", "premier prix"};
constexpr std::array<const char*, 16> kDishes{"Velouté", "Tarte",   "Gratin",  "Terrine", "Blanquette", "Fricassée",
                                              "Tartare", "Mousse",  "Salade",  "Risotto", "Clafoutis",  "Papillote",
                                              "Quiche",  "Crumble", "Soufflé", "Navarin"};
constexpr std::array<const char*, 12> kGarnishes{
    "aux légumes",     "aux herbes", "à l'ancienne", "du marché",  "aux agrumes", "au beurre blanc",
    "à la provençale", "aux épices", "du chef",      "forestière", "printanière", "aux fruits rouges"};
constexpr std::array<const char*, 10> kCategoryWords{"Sélection", "Gamme", "Rayon",      "Famille", "Groupe",
                                                     "Lot",       "Série", "Collection", "Ligne",   "Classe"};

void Names(std::ostream& out, const std::string& fr) {
  // User categories are named in the kitchen's language only.
  for (int l = 0; l < 5; ++l) out << ", " << Quote(fr);
}

}  // namespace

LargeSizes Scaled(const LargeSizes& sizes, int factor) {
  LargeSizes scaled = sizes;
  for (int* count : {&scaled.ingredients, &scaled.recipes, &scaled.categories, &scaled.links, &scaled.suppliers,
                     &scaled.supplierSubCategories, &scaled.supplierLinks, &scaled.planning})
    *count *= factor;
  return scaled;
}

void WriteLarge(std::ostream& out, const LargeSizes& sizes) {
  Random rnd(sizes.seed);
  const int total = std::max(0, sizes.categories);

  // Categories: shares of the budget by role.
  const int importCount = std::min(total, std::max(2, total * 3 / 100));
  const bool explicitSuppliers = sizes.suppliers > 0;
  const int supplierCount = explicitSuppliers ? 0 : std::min(total - importCount, total * 15 / 100);
  const int additiveCount = std::min(total - importCount - supplierCount, total * 3 / 100);
  std::vector<Category> cats;
  cats.reserve(static_cast<std::size_t>(total));
  std::vector<std::size_t> byKind[5];
  int nextId = kFirstGeneratedCategory;
  auto add = [&](int parent, Kind kind, int depth) {
    cats.push_back({nextId++, parent, kind, depth});
    byKind[static_cast<int>(kind)].push_back(cats.size() - 1);
  };
  auto pickParent = [&](Kind kind, int rootId, int maxDepth, int& depth) {
    const auto& pool = byKind[static_cast<int>(kind)];
    if (!pool.empty() && rnd.Below(3) != 0) {
      const std::size_t at = pool[static_cast<std::size_t>(rnd.Below(static_cast<int>(pool.size())))];
      if (cats[at].depth < maxDepth) {
        depth = cats[at].depth + 1;
        cats[at].hasChild = true;
        return cats[at].id;
      }
    }
    depth = 1;
    return rootId;
  };
  for (int n = 0; n < importCount; ++n) {
    if (n == 0) {
      add(-1, Kind::Import, 0);  // the import category itself, at the top level
      continue;
    }
    int depth = 0;
    const auto& pool = byKind[static_cast<int>(Kind::Import)];
    const std::size_t at = pool[static_cast<std::size_t>(rnd.Below(static_cast<int>(pool.size())))];
    depth = cats[at].depth < 3 ? cats[at].depth + 1 : 1;
    const std::size_t parentAt = cats[at].depth < 3 ? at : pool[0];
    cats[parentAt].hasChild = true;
    add(cats[parentAt].id, Kind::Import, depth);
  }
  for (int n = 0; n < supplierCount; ++n) {
    int depth = 1;
    // The first third are suppliers directly under 52, the rest nest below.
    const int parent = n < supplierCount / 3 + 1 ? 52 : pickParent(Kind::Supplier, 52, 3, depth);
    if (parent == 52) depth = 1;
    add(parent, Kind::Supplier, depth);
  }
  // The explicit suppliers: each one's sub-categories follow it, the last
  // of every five nested under the first one.
  struct SupplierSub {
    std::size_t at;  // in cats
    int supplier;    // index of its supplier
  };
  std::vector<SupplierSub> supplierSubs;
  if (explicitSuppliers) {
    const int subs = std::max(0, sizes.supplierSubCategories);
    for (int s = 0; s < sizes.suppliers; ++s) {
      add(52, Kind::Supplier, 1);
      const std::size_t supplierAt = cats.size() - 1;
      const int own = subs / sizes.suppliers + (s < subs % sizes.suppliers ? 1 : 0);
      std::size_t firstAt = 0;
      for (int k = 0; k < own; ++k) {
        const bool nested = k % 5 == 4;
        cats[nested ? firstAt : supplierAt].hasChild = true;
        add(cats[nested ? firstAt : supplierAt].id, Kind::Supplier, nested ? 3 : 2);
        if (k == 0) firstAt = cats.size() - 1;
        supplierSubs.push_back({cats.size() - 1, s});
      }
    }
  }
  for (int n = 0; n < additiveCount; ++n) add(27, Kind::Additive, 1);
  const int rest = total - importCount - supplierCount - additiveCount;
  for (int n = 0; n < rest; ++n) {
    int depth = 1;
    const bool ingredientSide = n % 2 == 0;
    const Kind kind = ingredientSide ? Kind::Family : Kind::RecipeType;
    const int parent = pickParent(kind, ingredientSide ? 1 : 2, 3, depth);
    add(parent, kind, depth);
  }

  for (std::size_t n = 0; n < cats.size(); ++n) {
    const Category& c = cats[n];
    std::string name;
    if (c.id == kFirstGeneratedCategory) {
      out << "INSERT INTO [Categories] ([CLASS_ID], [TYPE], [MASQUE], [PERE_ID], [NAME_1], [NAME_2], [NAME_3], "
             "[NAME_4], [NAME_5], [OWNER], [DATE_MAJ], [ASCHILD]) VALUES ("
          << c.id << ", 1, 0, -1, 'Importation', 'Import', 'Import', 'Importación', 'Importazione', -1, "
          << "#2004-01-05 09:00:00#, " << (c.hasChild ? "True" : "False") << ");\n";
      continue;
    }
    switch (c.kind) {
      case Kind::Supplier:
        name = c.parent == 52 ? "Fournisseur " + std::to_string(c.id) : "Gamme " + std::to_string(c.id);
        break;
      case Kind::Additive:
        name = "Additif E" + std::to_string(100 + static_cast<int>(n));
        break;
      case Kind::Import:
        name = "Import " + std::to_string(c.id);
        break;
      default:
        name = std::string(kCategoryWords[n % kCategoryWords.size()]) + " " + std::to_string(c.id);
        break;
    }
    out << "INSERT INTO [Categories] ([CLASS_ID], [TYPE], [MASQUE], [PERE_ID], [NAME_1], [NAME_2], [NAME_3], "
           "[NAME_4], [NAME_5], [OWNER], [DATE_MAJ], [ASCHILD]) VALUES ("
        << c.id << ", " << (c.kind == Kind::RecipeType ? 2 : 1) << ", 0, " << c.parent;
    Names(out, name);
    out << ", 1, #2004-01-05 09:00:00#, " << (c.hasChild ? "True" : "False") << ");\n";
  }

  for (int id = 1; id <= sizes.ingredients; ++id) {
    const std::string name = std::string(kProducts[static_cast<std::size_t>(id) % kProducts.size()]) + " " +
                             kVarieties[(static_cast<std::size_t>(id) / kProducts.size()) % kVarieties.size()] + " " +
                             std::to_string(id);
    const int cents = 50 + rnd.Below(6000);
    out << "INSERT INTO [Ingredients] ([INGRED_ID], [NOM], [CODE_AN], [UNITE], [PXKG], [DEVISE], [DENSITE], "
           "[RENDEMENT], [OWNER], [DATE_MAJ]) VALUES ("
        << id << ", " << Quote(name) << ", '" << 3000000000000LL + id << "', " << (id % 7 == 0 ? 9 : 4) << ", "
        << cents / 100 << "." << (cents % 100 < 10 ? "0" : "") << cents % 100 << ", 1, 1, 0." << 50 + rnd.Below(50)
        << ", 1, #2004-02-0" << 1 + id % 9 << " 10:00:00#);\n";
  }
  for (int id = 1; id <= sizes.recipes; ++id) {
    const std::string name = std::string(kDishes[static_cast<std::size_t>(id) % kDishes.size()]) + " " +
                             kGarnishes[(static_cast<std::size_t>(id) / kDishes.size()) % kGarnishes.size()] + " " +
                             std::to_string(id);
    out << "INSERT INTO [Recettes] ([RECET_ID], [NOM], [CODE_AN], [NBPORTIONS], [PX_VENTE], [DEVISE], [OWNER], "
           "[DATE_MAJ]) VALUES ("
        << id << ", " << Quote(name) << ", 'R" << id << "', " << 4 + rnd.Below(17) << ", " << 5 + rnd.Below(30)
        << ", 1, 1, #2004-03-0" << 1 + id % 9 << " 15:00:00#);\n";
  }

  // Categories that may hold ingredients, and those that may hold recipes,
  // each with the parent that the link records.
  struct Target {
    int id;
    int parent;
  };
  std::vector<Target> ingredientTargets{{4, 1}, {5, 1}, {6, 1}, {7, 1}, {8, 1}, {9, 1}, {242, 26}};
  std::vector<Target> recipeTargets{{10, 2}, {11, 2}, {12, 2}, {13, 2}, {14, 2}};
  for (const Category& c : cats) {
    // The explicit suppliers get their own links below.
    if (c.kind != Kind::RecipeType && !(explicitSuppliers && c.kind == Kind::Supplier))
      ingredientTargets.push_back({c.id, c.parent});
    if (c.kind == Kind::RecipeType || c.kind == Kind::Import || c.kind == Kind::Additive)
      recipeTargets.push_back({c.id, c.parent});
  }
  const long long links = std::max(0, sizes.links);
  const long long ingredientLinks = std::min<long long>(
      links * 55 / 100, static_cast<long long>(sizes.ingredients) * static_cast<long long>(ingredientTargets.size()));
  const long long recipeLinks = std::min<long long>(
      links * 25 / 100, static_cast<long long>(sizes.recipes) * static_cast<long long>(recipeTargets.size()));
  const long long lines = sizes.recipes > 0 && sizes.ingredients > 0 ? links - ingredientLinks - recipeLinks : 0;

  auto writeLinks = [&](const char* table, const char* idColumn, int owners, const std::vector<Target>& targets,
                        long long count) {
    std::unordered_set<std::uint64_t> seen;
    seen.reserve(static_cast<std::size_t>(count) * 2);
    long long written = 0;
    // Walks owners in turn so that every ingredient or recipe gets links.
    for (long long n = 0; written < count; ++n) {
      const int owner = static_cast<int>(n % owners) + 1;
      const Target& t = targets[static_cast<std::size_t>(rnd.Below(static_cast<int>(targets.size())))];
      const std::uint64_t key = (static_cast<std::uint64_t>(owner) << 32) | static_cast<std::uint32_t>(t.id);
      if (!seen.insert(key).second) continue;
      out << "INSERT INTO [" << table << "] ([" << idColumn << "], [CLASS_ID], [CLASSPARENT], [MASQUE]) VALUES ("
          << owner << ", " << t.id << ", " << t.parent << ", 0);\n";
      ++written;
    }
  };
  if (sizes.ingredients > 0) writeLinks("CategIngre", "INGR_ID", sizes.ingredients, ingredientTargets, ingredientLinks);
  if (sizes.recipes > 0) writeLinks("CategRecet", "RECET_ID", sizes.recipes, recipeTargets, recipeLinks);

  if (explicitSuppliers && sizes.ingredients > 0 && !supplierSubs.empty()) {
    // Each supplier draws from a pool of ingredients smaller than its links,
    // so that its sub-categories share some; a few of the pool are linked
    // to the supplier itself already.
    const long long perSupplier = std::max<long long>(1, static_cast<long long>(sizes.supplierLinks) / sizes.suppliers);
    const int pool =
        static_cast<int>(std::min<long long>(sizes.ingredients, std::max<long long>(1, perSupplier * 4 / 5)));
    std::unordered_set<std::uint64_t> seen;
    auto link = [&](int ingredient, int id, int parent) {
      const std::uint64_t key = (static_cast<std::uint64_t>(ingredient) << 32) | static_cast<std::uint32_t>(id);
      if (!seen.insert(key).second) return false;
      out << "INSERT INTO [CategIngre] ([INGR_ID], [CLASS_ID], [CLASSPARENT], [MASQUE]) VALUES (" << ingredient << ", "
          << id << ", " << parent << ", 0);\n";
      return true;
    };
    auto poolIngredient = [&](int supplier) {
      const long long start = static_cast<long long>(supplier) * pool % sizes.ingredients;
      return static_cast<int>((start + rnd.Below(pool)) % sizes.ingredients) + 1;
    };
    const long long total = std::max(0, sizes.supplierLinks);
    const long long capacity = static_cast<long long>(supplierSubs.size()) * pool;
    for (long long n = 0, written = 0; written < std::min(total, capacity); ++n) {
      const SupplierSub& sub = supplierSubs[static_cast<std::size_t>(n % static_cast<long long>(supplierSubs.size()))];
      if (link(poolIngredient(sub.supplier), cats[sub.at].id, cats[sub.at].parent)) ++written;
    }
    for (const SupplierSub& sub : supplierSubs)
      if (cats[sub.at].parent != 52 && cats[sub.at].depth == 2)
        link(poolIngredient(sub.supplier), cats[sub.at].parent, 52);
  }

  constexpr std::array<int, 5> kLineUnits{3, 4, 6, 9, 13};
  for (long long n = 0; n < lines; ++n) {
    const int recipe = static_cast<int>(n % sizes.recipes) + 1;
    const int line = static_cast<int>(n / sizes.recipes) + 1;
    out << "INSERT INTO [Compositions] ([RECET_ID], [LIGNE], [INGRED_ID], [SOUSRECET_ID], [QTE], [UNITE]) VALUES ("
        << recipe << ", " << line << ", " << 1 + rnd.Below(sizes.ingredients) << ", Null, 0." << 1 + rnd.Below(99)
        << ", " << kLineUnits[static_cast<std::size_t>(rnd.Below(static_cast<int>(kLineUnits.size())))] << ");\n";
  }

  if (sizes.recipes > 0) {
    for (int id = 1; id <= sizes.planning; ++id) {
      const int recipe = 1 + rnd.Below(sizes.recipes);
      const int day = 1 + id % 28;
      out << "INSERT INTO [Planning] ([PLAN_ID], [DATEPLAN], [SERVICE], [RECET_ID], [NBCOUVERTS], [CLIENT], "
             "[PX_VENTE], [OWNER]) VALUES ("
          << id << ", #2004-04-" << (day < 10 ? "0" : "") << day
          << (id % 2 == 0 ? " 12:00:00#, 1, " : " 19:30:00#, 2, ") << recipe << ", " << 10 + rnd.Below(90)
          << ", 'Restaurant', " << 5 + rnd.Below(30) << ", 1);\n";
      out << "INSERT INTO [FicheProduction] ([FICHE_ID], [PLAN_ID], [DATEPROD], [RECET_ID], [QTE], [UNITE], "
             "[RESPONSABLE]) VALUES ("
          << id << ", " << id << ", #2004-04-" << (day < 10 ? "0" : "") << day << " 08:00:00#, " << recipe << ", "
          << 1 + rnd.Below(20) << ", 9, 'Chef');\n";
    }
  }
}

}  // namespace gendb
