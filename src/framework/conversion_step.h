// The common shape of a conversion step. Each step's source gives only what
// is its own: its statements, its merges and its row in the step table;
// the phases, the data sources and the stamp come from here.
#pragma once

#include "framework/ddl_operation.h"
#include "framework/step_phases.h"
#include "framework/step_table.h"
#include "platform/text.h"

// A conversion step: what every step object knows, the template folder.
class CConversionStep {
 public:
  explicit CConversionStep(const CString& templateDir) : m_strTemplateDir(templateDir) {}

 protected:
  // The step driver over the step object's own phases; without a structure
  // phase (null) the driver runs the data phase and the stamp only.
  template <class Step>
  BOOL RunPhases(CString& strDest, const StepConstants& k, BOOL (Step::*structure)(CDatabase*),
                 BOOL (Step::*data)(CDatabase*)) {
    Step* self = static_cast<Step*>(this);
    Phase structurePhase;
    if (structure != nullptr) structurePhase = [self, structure](CDatabase* pDb) { return (self->*structure)(pDb); };
    return RunStep(strDest, k, structurePhase, [self, data](CDatabase* pDb) { return (self->*data)(pDb); });
  }

  const CString& m_strTemplateDir;
};
