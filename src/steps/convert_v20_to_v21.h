// The step V2.0 -> V2.1: export flags for categories, the label formats,
// the import flags and principal categories of ingredients, the named
// values, and the relations of three columns to the category tree.
#pragma once

#include "framework/conversion_step.h"

class CConvertV20ToV21 : public CConversionStep {
 public:
  using CConversionStep::CConversionStep;

  BOOL ConvertV20ToV21(CString& strDest);
  BOOL UpdateStructureV21(CDatabase* pDb);
  BOOL UpdateDataV21(CDatabase* pDb);

  // The DDL operations of UpdateStructureV21, in order.
  static const std::vector<DdlOperation>& StructureOperations();
};
