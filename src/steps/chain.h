// The chain of conversion steps: one link per step, in ascending order.
// A link names the version its step starts from and how to run it; the
// version it reaches is the step table's.
#pragma once

#include <span>
#include <vector>

#include "framework/ddl_operation.h"
#include "platform/text.h"
#include "platform/types.h"
#include "recordsets/db_version.h"

struct ChainLink {
  DbVersion from;
  // Runs the step on strDest with the templates of strTemplateDir.
  BOOL (*run)(CString& strDest, const CString& strTemplateDir);
  // The step's structure phase: the statements it sends, in order.
  const std::vector<DdlOperation>& (*structure)();
};

std::span<const ChainLink> ChainLinks();
