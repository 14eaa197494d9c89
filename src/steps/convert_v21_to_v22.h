// The step V2.1 -> V2.2: suppliers. The supplier table and the supplier
// columns of ingredients, wider language columns, the relations of
// suppliers; then the new import category, the supplier categories
// flattened under category 52, and the texts of the system units.
#pragma once

#include "framework/conversion_step.h"

class CConvertV21ToV22 : public CConversionStep {
 public:
  using CConversionStep::CConversionStep;

  BOOL ConvertV21ToV22(CString& strDest);
  BOOL UpdateStructureV22(CDatabase* pDb);
  BOOL UpdateDataV22(CDatabase* pDb);

  // The DDL operations of UpdateStructureV22, in order.
  static const std::vector<DdlOperation>& StructureOperations();
};
