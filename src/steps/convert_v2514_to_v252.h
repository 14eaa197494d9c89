// The step V2.5.1.4 -> V2.5.2: nutrition (the nutrient labels, the nutrient
// quantities of ingredients, a nutrition quantity and unit on ingredients
// and recipes), ingredient aliases per recipe, the specific mentions of
// ingredients and recipes, and the manufacturer's display on pre-packed
// recipes.
#pragma once

#include "framework/conversion_step.h"

class CConvertV2514ToV252 : public CConversionStep {
 public:
  using CConversionStep::CConversionStep;

  BOOL ConvertV2514ToV252(CString& strDest);
  BOOL UpdateStructureV252(CDatabase* pDb);
  BOOL UpdateDataV252(CDatabase* pDb);

  // The DDL operations of UpdateStructureV252, in order.
  static const std::vector<DdlOperation>& StructureOperations();
};
