// The step V2.5.1 -> V2.5.1.4: a second HTML page for recipes, and the
// label tables brought up to date.
#pragma once

#include "framework/conversion_step.h"

class CConvertV251ToV2514 : public CConversionStep {
 public:
  using CConversionStep::CConversionStep;

  BOOL ConvertV251ToV2514(CString& strDest);
  BOOL UpdateStructureV2514(CDatabase* pDb);
  BOOL UpdateDataV2514(CDatabase* pDb);

  // The DDL operations of UpdateStructureV2514, in order.
  static const std::vector<DdlOperation>& StructureOperations();
};
