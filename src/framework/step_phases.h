// The phases of a conversion step, the same for every step: the driver that
// frames them, the structure phase with its DDL operations, the data phase
// with the template database and its merges in order, and the version
// stamp. Each runs what the step declares (conversion_step.h) and says
// nothing of its own but the common lines and rules. Failures: BOOL, never
// an exception (see conversion_step.h).
#pragma once

#include "framework/conversion_step.h"
#include "platform/database.h"
#include "platform/text.h"

// Where the step's template lies in the template folder.
CString TemplatePath(const CString& templateDir, const ConversionStep& step);

// Runs the step's operations in order while they succeed, between the
// phase's opening and closing lines; the statements go through `send`, or
// to the converted database.
BOOL RunStructurePhase(const ConversionStep& step, const StatementSender& send);
BOOL RunStructurePhase(CDatabase* pDb, const ConversionStep& step);

// Registers and opens the template database, runs the step's merges in
// order, each only while every one before it returned TRUE, and removes the
// template data source again, between the phase's lines. A database error
// that no merge handles ends the phase as a failure.
BOOL RunDataPhase(CDatabase* pDb, const ConversionStep& step, const CString& templatePath);

// The step driver: the data source of the converted database, the progress
// window, the converted database, the phases, the stamp and the clean-up.
// FALSE when a phase, the stamp or the last commit failed; the database
// keeps what was done before.
BOOL RunStep(const CString& strDest, const ConversionStep& step, const CString& templatePath);
