// Repairs that keep a step's own deletions of categories from blocking on,
// or breaking, what a kitchen made under them. Each journals what it did in
// one line, and writes nothing when there was nothing to repair.
#pragma once

#include "platform/database.h"
#include "platform/types.h"

// Deletes the recipe, ingredient and allergen links of every sub-category
// of `parentId`, which the step deletes next: the relations would refuse
// to delete a category that is still linked. Journals
// "Liens des sous-catégories de la catégorie %d supprimés : %d ingrédients, %d recettes\n".
// FALSE when the database refuses a deletion (its error journaled).
BOOL DeleteLinksOfSubCategories(CDatabase* pDb, LONG parentId);

// Re-attaches to the root every category whose parent is a sub-category of
// `parentId`, which the step deletes next, with the parent its links name,
// so that no category is left under a parent that no longer exists. Journals
// "Catégorie %d rattachée à la racine (catégorie %d supprimée)\n" for each.
// FALSE when the database refuses it (its error journaled).
BOOL AttachGrandchildrenToRoot(CDatabase* pDb, LONG parentId);
