// The step table: the constants of every conversion step, in chain order.
#pragma once

#include <optional>
#include <span>

#include "recordsets/db_version.h"

// The constants of one step. The version text it stamps is the one the
// version table gives for `to`: the text that detection recognises.
struct StepConstants {
  DbVersion from;
  DbVersion to;
  const char* journalLine;   // the step's opening line
  const char* progressText;  // null: the progress window keeps its resource text
  const char* templateFile;  // in the template folder
  // Null opening line: the step has no structure phase.
  const char* structureOpening;
  const char* structureSuccess;
  const char* structureFailure;
  const char* dataOpening;
  const char* dataSuccess;
  const char* dataFailure;
  // The language merges: no limit means the full form.
  std::optional<int> printerLimit;
  std::optional<int> systemLimit;
};

// Every row, from V2.0 on; each row's `to` is the next row's `from`.
std::span<const StepConstants> StepTable();

// The row of the step that starts from `from`.
const StepConstants& StepConstantsFrom(DbVersion from);
