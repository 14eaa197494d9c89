// The step V2.4.3 -> V2.5.1: the allergens of ingredients (a link table and
// the allergen branch of the category tree), whole-number label formats,
// the pre-packed recipe data taken from the pre-packed labels instead of
// categories, the composition shown as a percentage, and the pre-packed
// labels of the template in place of the database's.
#pragma once

#include "framework/conversion_step.h"

class CConvertV243ToV251 : public CConversionStep {
 public:
  using CConversionStep::CConversionStep;

  BOOL ConvertV243ToV251(CString& strDest);
  BOOL UpdateStructureV251(CDatabase* pDb);
  BOOL UpdateDataV251(CDatabase* pDb);

  // The DDL operations of UpdateStructureV251, in order.
  static const std::vector<DdlOperation>& StructureOperations();
};
