// Contract: a conversion step as its own source in src/steps declares it,
// whole: the versions it joins and the texts that stand for them, its
// template database, its journal lines and progress text, the limits of its
// label merges, its DDL operations and its merges, each under its own name.
// The framework runs any step so declared (step_phases.h) and knows nothing
// of the content of one; the chain (steps/chain.h) is the list of them.
//
// How a failure leaves a step, the same for every step:
//  - a statement the database refuses: the driver's error in the journal,
//    then the rule of its operation (ddl_operation.h); the phase returns
//    FALSE;
//  - a merge returns FALSE for a failure it reports itself (its journal
//    line), which ends the data phase. A database error it does not handle
//    leaves it as a CDBException: the data phase catches it, journals it
//    and fails. Merges never catch what they cannot answer;
//  - the step driver catches what is raised outside the phases (opening the
//    converted database, the stamp, the last commit) the same way. No
//    CDBException leaves RunStep: the step returns FALSE;
//  - the reason for the one line on standard error is noted where it is
//    known best (shell/failure.h); the journal says the rest.
#pragma once

#include <functional>
#include <optional>
#include <vector>

#include "framework/ddl_operation.h"
#include "platform/database.h"
#include "recordsets/db_version.h"
#include "recordsets/sys_language_set.h"

// A schema version as the version row of a database holds it.
struct StoredVersion {
  DbVersion code;
  const char* text;  // the version row's text: "2.0.1.49"
};

// A version a step converts: what identifies it, and the short text that
// names its backup (BASE.mdb.V2.0) and its messages.
struct EntryVersion {
  DbVersion code;
  const char* text;
  const char* shortText;
};

// The step's own journal lines and progress text, letter for letter. The
// structure lines are those of a step with a structure phase only.
struct StepLines {
  const char* opening;           // "Mise à jour Toquelin V2.0 -> V2.1\n"
  const char* progress;          // null: the progress window keeps its resource text
  const char* structureOpening;  // "\nModification structure database V2.0\n"
  const char* structureSuccess;
  const char* structureFailure;
  const char* dataOpening;  // "\nMise à jour des données database V2.0\n"
  const char* dataSuccess;
  const char* dataFailure;
};

struct ConversionStep;

// What a merge works on: the converted database, the data phase's template
// set (open on the template database), and the step it belongs to.
struct MergeContext {
  CDatabase* pDb;
  CSysLanguageSet& templateSet;
  const ConversionStep& step;
};

// One merge of a data phase, under its own name ("UpdateCategories").
struct Merge {
  const char* name;
  std::function<BOOL(const MergeContext&)> run;
};

struct ConversionStep {
  // "V2.0 -> V2.1": the timing records name the step so.
  const char* name;
  // The version it converts. Its code is also the DbVersion of the
  // template's record sets.
  EntryVersion from;
  // Earlier builds of that version, converted exactly like it.
  std::vector<EntryVersion> earlierBuilds = {};
  // The version it reaches, whose text it stamps into the version row.
  StoredVersion to;
  const char* templateFile;  // in the template folder
  StepLines lines;
  // The label merges' limits; none: the full form.
  std::optional<int> printerLimit = std::nullopt;
  std::optional<int> systemLimit = std::nullopt;
  // The structure phase, in order; none: the step has no structure phase.
  std::vector<DdlOperation> structure = {};
  // The data phase, in order.
  std::vector<Merge> merges;
};

// How messages name the step: its opening line without the line end
// ("Mise à jour Toquelin V2.0 -> V2.1").
CString StepTitle(const ConversionStep& step);

// The merges as steps declare them: one that reads the template database,
// and one that works on the converted database alone.
Merge FromTemplate(const char* name, BOOL (*merge)(CDatabase* pDb, CDatabase* pTemplateDb));
Merge OnDatabase(const char* name, BOOL (*merge)(CDatabase* pDb));

// The two label merges that every step runs (merges/language_merges.h), in
// the form and with the limits that the step declares.
Merge LanguePrinterMerge();
Merge LangueSystemMerge();
