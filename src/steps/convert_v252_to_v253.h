// The step V2.5.2 -> V2.5.3: nutrient labels get an owner and a date of
// change, pre-packed recipes a switch for the masses of their ingredients;
// the nutrient labels and the categories follow the template row by row,
// and the recipe progressions get their line feed.
#pragma once

#include "framework/conversion_step.h"

class CConvertV252ToV253 : public CConversionStep {
 public:
  using CConversionStep::CConversionStep;

  BOOL ConvertV252ToV253(CString& strDest);
  BOOL UpdateStructureV253(CDatabase* pDb);
  BOOL UpdateDataV253(CDatabase* pDb);

  // The DDL operations of UpdateStructureV253, in order.
  static const std::vector<DdlOperation>& StructureOperations();
};
