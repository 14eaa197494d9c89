// The step V2.0 -> V2.1: export flags for categories, the label formats,
// the import flags and principal categories of ingredients, the named
// values, and the relations of three columns to the category tree.
#pragma once

#include "engine/step_framework.h"

class CConvertV20ToV21 : public CConversionStep {
 public:
  using CConversionStep::CConversionStep;

  BOOL ConvertV20ToV21(CString& strDest);
  BOOL UpdateStructureV21(CDatabase* pDb);
  BOOL UpdateDataV21(CDatabase* pDb);
};

// The merges of this step, on the converted and the template database.
BOOL UpdateCategories(CDatabase* pDb, CDatabase* pTemplateDb);
BOOL UpdateFmtEtiquette(CDatabase* pDb, CDatabase* pTemplateDb);
BOOL UpdateUnites(CDatabase* pDb, CDatabase* pTemplateDb);
BOOL UpdateVariables(CDatabase* pDb, CDatabase* pTemplateDb);
