// The step V2.4.1 -> V2.4.2: VAT codes for ingredients, planning entries and
// recipes, the principal categories of recipes, the type of planning
// entries, a double discount on production sheets, and the inventory
// category at the top of the tree.
#pragma once

#include "framework/conversion_step.h"

class CConvertV241ToV242 : public CConversionStep {
 public:
  using CConversionStep::CConversionStep;

  BOOL ConvertV241ToV242(CString& strDest);
  BOOL UpdateStructureV242(CDatabase* pDb);
  BOOL UpdateDataV242(CDatabase* pDb);

  // The DDL operations of UpdateStructureV242, in order.
  static const std::vector<DdlOperation>& StructureOperations();
};
