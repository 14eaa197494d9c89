// The step V2.2 -> V2.3: a discount on production sheets, the table of the
// network clients, and users who may only consult.
#pragma once

#include "framework/conversion_step.h"

class CConvertV22ToV23 : public CConversionStep {
 public:
  using CConversionStep::CConversionStep;

  BOOL ConvertV22ToV23(CString& strDest);
  BOOL UpdateStructureV23(CDatabase* pDb);
  BOOL UpdateDataV23(CDatabase* pDb);

  // The DDL operations of UpdateStructureV23, in order.
  static const std::vector<DdlOperation>& StructureOperations();
};
