// The step V2.3 -> V2.4.1: the pre-packed data of ingredients and recipes
// (ten columns of [Ingredients], three tables, ten relations), wider code
// columns, the system row of the pre-packed labels, no more price per kilo
// kept with the ingredients, and one more digit for the gram.
#pragma once

#include "framework/conversion_step.h"

class CConvertV23ToV241 : public CConversionStep {
 public:
  using CConversionStep::CConversionStep;

  BOOL ConvertV23ToV241(CString& strDest);
  BOOL UpdateStructureV241(CDatabase* pDb);
  BOOL UpdateDataV241(CDatabase* pDb);

  // The DDL operations of UpdateStructureV241, in order.
  static const std::vector<DdlOperation>& StructureOperations();
};
