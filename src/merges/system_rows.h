// Rows that the system user owns and a step writes with fixed values: the
// five names of a row, one per interface language, and the categories
// that a step adds at the top of the tree.
#pragma once

#include <array>

#include "platform/types.h"
#include "recordsets/categories_set.h"

// French, English, German, Spanish, Italian.
using FiveNames = std::array<const char*, 5>;

// Assigns [NAME_1] to [NAME_5] of the set's current row.
template <class Set>
void AssignNames(Set& set, const FiveNames& names) {
  set.m_NAME_1 = names[0];
  set.m_NAME_2 = names[1];
  set.m_NAME_3 = names[2];
  set.m_NAME_4 = names[3];
  set.m_NAME_5 = names[4];
}

// Assigns every column but [CLASS_ID] of the set's current row (added or
// edited) as a category of the system user: unmasked, not exported, dated
// now.
void AssignSystemCategory(CCategoriesSet& set, BYTE type, LONG parentId, const FiveNames& names, BOOL asChild);

// Adds a category of the system user at the top of the tree, without
// sub-categories, not exported, dated now. The result of the write is not
// looked at: the row that follows it in every step tells whether the table
// took it.
void AddRootCategory(CCategoriesSet& set, LONG classId, BYTE type, const FiveNames& names);
