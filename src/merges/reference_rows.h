// The columns of a reference row that the merges of more than one step copy
// from the template's row to the database's.
#pragma once

#include "recordsets/categories_set.h"
#include "recordsets/libelles_pre_emballe_set.h"
#include "recordsets/nutri_libelles_set.h"

// Every column of a category but [ASCHILD]: whether a category has
// sub-categories is the database's own tree, which a merge that overwrites
// a category must not change.
inline void CopyCategoryButAsChild(const CCategoriesSet& from, CCategoriesSet& to) {
  to.m_CLASS_ID = from.m_CLASS_ID;
  to.m_TYPE = from.m_TYPE;
  to.m_MASQUE = from.m_MASQUE;
  to.m_PERE_ID = from.m_PERE_ID;
  to.m_NAME_1 = from.m_NAME_1;
  to.m_NAME_2 = from.m_NAME_2;
  to.m_NAME_3 = from.m_NAME_3;
  to.m_NAME_4 = from.m_NAME_4;
  to.m_NAME_5 = from.m_NAME_5;
  to.m_OWNER = from.m_OWNER;
  to.m_DATE_MAJ = from.m_DATE_MAJ;
  to.m_EXPORTABLE = from.m_EXPORTABLE;
}

// All thirteen columns, for a category that the database did not have.
inline void CopyCategory(const CCategoriesSet& from, CCategoriesSet& to) {
  CopyCategoryButAsChild(from, to);
  to.m_ASCHILD = from.m_ASCHILD;
}

inline void CopyLibellePreEmballe(const CLibellesPreEmballeSet& from, CLibellesPreEmballeSet& to) {
  to.m_ID = from.m_ID;
  to.m_NAME_1 = from.m_NAME_1;
  to.m_NAME_2 = from.m_NAME_2;
  to.m_NAME_3 = from.m_NAME_3;
  to.m_NAME_4 = from.m_NAME_4;
  to.m_NAME_5 = from.m_NAME_5;
  to.m_TYPE = from.m_TYPE;
  to.m_OWNER = from.m_OWNER;
}

// The columns of a nutrient label that [NutriLibelles] has had from the
// start, but its key [ID].
inline void CopyNutriLabel(const CNutriLibellesSet& from, CNutriLibellesSet& to) {
  to.m_LIBELLE_1 = from.m_LIBELLE_1;
  to.m_LIBELLE_2 = from.m_LIBELLE_2;
  to.m_LIBELLE_3 = from.m_LIBELLE_3;
  to.m_LIBELLE_4 = from.m_LIBELLE_4;
  to.m_LIBELLE_5 = from.m_LIBELLE_5;
  to.m_LIB_CIQUAL = from.m_LIB_CIQUAL;
  to.m_UNITE = from.m_UNITE;
  to.m_TYPEMSK = from.m_TYPEMSK;
  to.m_NBDIGIT = from.m_NBDIGIT;
  to.m_NUMORDRE = from.m_NUMORDRE;
  to.m_ARJ = from.m_ARJ;
  to.m_BKCOL = from.m_BKCOL;
}
