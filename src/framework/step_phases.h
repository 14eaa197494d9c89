// The phases of a conversion step: the driver that frames them, the
// structure phase with its DDL operations, the data phase with the template
// database and the order of its merges, and the version stamp.
#pragma once

#include <functional>
#include <initializer_list>
#include <vector>

#include "framework/ddl_operation.h"
#include "framework/step_table.h"
#include "platform/database.h"
#include "platform/text.h"
#include "recordsets/sys_language_set.h"

// Runs the operations in order while they succeed, between the phase's
// opening and closing lines.
BOOL RunStructurePhase(CDatabase* pDb, const StepConstants& k, const std::vector<DdlOperation>& ops);

using DataMerges = std::function<BOOL(CDatabase* pDb, CSysLanguageSet& templateSet)>;

// Registers and opens the template database, runs the merges, and removes
// the template data source again, between the phase's lines. A database
// error that no merge handles ends the phase as a failure.
BOOL RunDataPhase(CDatabase* pDb, const StepConstants& k, const CString& templateDir, const DataMerges& merges);

// The data phase with its merges in their order, each run only while every
// one before it returned TRUE.
BOOL RunDataPhase(CDatabase* pDb, const StepConstants& k, const CString& templateDir,
                  std::initializer_list<DataMerges> merges);

// The two label merges that every step runs, [Langue_Printer] first, in
// the form and with the limits of the step's row.
DataMerges LanguageMerges(const StepConstants& k);

// A merge that reads the template database, and one that reads nothing from
// it: it works on the converted database alone.
DataMerges FromTemplate(BOOL (*merge)(CDatabase* pDb, CDatabase* pTemplateDb));
DataMerges OnDatabase(BOOL (*merge)(CDatabase* pDb));

using Phase = std::function<BOOL(CDatabase* pDb)>;

// The step driver: the data source of the converted database, the progress
// window, the converted database, the phases, the stamp and the clean-up.
// An empty structure phase means the step has none.
BOOL RunStep(const CString& strDest, const StepConstants& k, const Phase& structure, const Phase& data);
