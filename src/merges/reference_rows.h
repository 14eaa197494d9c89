// The columns of a reference row that the merges of more than one step copy
// from the template's row to the database's.
#pragma once

#include "recordsets/categories_set.h"
#include "recordsets/libelles_pre_emballe_set.h"
#include "recordsets/nutri_libelles_set.h"

// Every column of a category but [ASCHILD]: whether a category has
// sub-categories is the database's own tree, which a merge that overwrites
// a category must not change. Every copy here carries Nulls as Nulls.
inline void CopyCategoryButAsChild(const CCategoriesSet& from, CCategoriesSet& to) {
  using S = CCategoriesSet;
  CopyFields(from, to, &S::m_CLASS_ID, &S::m_TYPE, &S::m_MASQUE, &S::m_PERE_ID, &S::m_NAME_1, &S::m_NAME_2,
             &S::m_NAME_3, &S::m_NAME_4, &S::m_NAME_5, &S::m_OWNER, &S::m_DATE_MAJ, &S::m_EXPORTABLE);
}

// All thirteen columns, for a category that the database did not have.
inline void CopyCategory(const CCategoriesSet& from, CCategoriesSet& to) {
  CopyCategoryButAsChild(from, to);
  CopyField(from, from.m_ASCHILD, to, to.m_ASCHILD);
}

inline void CopyLibellePreEmballe(const CLibellesPreEmballeSet& from, CLibellesPreEmballeSet& to) {
  using S = CLibellesPreEmballeSet;
  CopyFields(from, to, &S::m_ID, &S::m_NAME_1, &S::m_NAME_2, &S::m_NAME_3, &S::m_NAME_4, &S::m_NAME_5, &S::m_TYPE,
             &S::m_OWNER);
}

// The columns of a nutrient label that [NutriLibelles] has had from the
// start, but its key [ID].
inline void CopyNutriLabel(const CNutriLibellesSet& from, CNutriLibellesSet& to) {
  using S = CNutriLibellesSet;
  CopyFields(from, to, &S::m_LIBELLE_1, &S::m_LIBELLE_2, &S::m_LIBELLE_3, &S::m_LIBELLE_4, &S::m_LIBELLE_5,
             &S::m_LIB_CIQUAL, &S::m_UNITE, &S::m_TYPEMSK, &S::m_NBDIGIT, &S::m_NUMORDRE, &S::m_ARJ, &S::m_BKCOL);
}
