// What a run would do with its paths and settings, found without changing
// anything on disk and without registering a data source: for a user who
// wants to know before converting, and for a support person.
#pragma once

#include <vector>

#include "framework/step_table.h"
#include "platform/text.h"
#include "recordsets/db_version.h"

struct PlannedStep {
  const StepConstants* constants = nullptr;
  CString templatePath;
  bool templateExists = false;
  // Empty when the template opens read-only through the driver; else why not.
  CString templateError;
};

struct ConversionPlan {
  DbVersion detected = 0;
  CString refusal;  // why the run would not start; empty when it would
  bool inPlace = false;
  CString written;     // the file that the steps would convert
  CString backupPath;  // in place only
  bool writtenExists = false;
  std::vector<PlannedStep> steps;
  DbVersion reached = 0;  // when every step succeeds
};

// The run that RunConversion would make with these paths, up to the point
// where it would start writing, and the steps after it.
ConversionPlan PlanConversion(const CString& strSource, const CString& strDest, const CString& strTemplateDir);
