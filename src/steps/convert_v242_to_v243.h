// The step V2.4.2 -> V2.4.3: no change of structure; the label tables take
// every label of the template (the full form of the label merges).
#pragma once

#include "framework/conversion_step.h"

class CConvertV242ToV243 : public CConversionStep {
 public:
  using CConversionStep::CConversionStep;

  BOOL ConvertV242ToV243(CString& strDest);
  BOOL UpdateDataV243(CDatabase* pDb);

  // None: the step has no structure phase.
  static const std::vector<DdlOperation>& StructureOperations();
};
