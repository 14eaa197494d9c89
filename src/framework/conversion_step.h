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
  const CString& m_strTemplateDir;
};
