// The closing line of a merge, which names its table.
#pragma once

#include "platform/types.h"

// "Données table [T] mises à jour.\n", or its "ERREUR : … non mises à
// jour.\n" form when the merge failed.
void JournalTableResult(BOOL result, const char* table);
