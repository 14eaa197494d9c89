// The merges of the two label tables, [Langue_Printer] and [Langue_System],
// that every step runs. With a limit (the limited form) the labels up to
// the limit must exist in the database and are overwritten, the labels
// above it are appended; without one (the full form) every template label
// overwrites the label of the same [Item_Id] or is appended.
//
// Failures, as for every merge of this folder: FALSE (with the merge's error
// line) for what the merge reports itself, a label up to the limit that the
// database lacks; a database error leaves as the CDBException it is, for
// the data phase to journal (framework/conversion_step.h).
#pragma once

#include <optional>

#include "platform/database.h"
#include "recordsets/db_version.h"
#include "recordsets/sys_language_set.h"

BOOL UpdateLanguePrinter(CDatabase* pDb, CDatabase* pTemplateDb, DbVersion nTemplateVersion,
                         std::optional<int> limit);

// The template set is the data phase's own: it is re-queried and walked,
// and left open at its end for the data phase to close.
BOOL UpdateLangueSystem(CDatabase* pDb, CSysLanguageSet& templateSet, std::optional<int> limit);
