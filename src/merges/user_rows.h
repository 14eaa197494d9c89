// Rows of the user at numbers that a template claims. A template adds its
// reference rows at fixed numbers; a kitchen may have made a row of its own
// at one of them years before. Such a row is moved to a free number, with
// every reference to it, before the template's row is added: the user
// keeps the row, and every recipe, ingredient and sub-category keeps
// pointing at it.
#pragma once

#include <optional>
#include <vector>

#include "platform/database.h"
#include "platform/types.h"

// A column of another table (or of the same one) that holds the key.
struct KeyReference {
  const char* table;
  const char* column;
};

// A reference table by its key and the columns that refer to it. A table
// or column that the database does not have (yet) is passed over.
struct KeyedTable {
  const char* table;  // "Categories"
  const char* key;    // "CLASS_ID"
  std::vector<KeyReference> references;
};

// The tables whose rows templates add at fixed numbers, and what refers to
// them at one version or another.
const KeyedTable& CategoryKeys();
const KeyedTable& UnitKeys();
const KeyedTable& PreEmballeLabelKeys();
const KeyedTable& ProgressionKeys();

// Every key of the table in the template, in no particular order.
std::vector<LONG> TemplateKeys(CDatabase* pTemplateDb, const KeyedTable& keys);

// Whether the table holds a row at `id`, and whether it is a user's (its
// [OWNER] is not the system user -1).
enum class RowAt { None, System, User };
RowAt RowAtNumber(CDatabase* pDb, const KeyedTable& keys, LONG id);

// Moves the row `id` to a number above every number of the table and
// above `floor`, with every reference to it: the row is copied to its new
// number, the references follow, the old row goes. Journals
// "Données table [T] : enregistrement %d de l'utilisateur déplacé en %d\n".
// Null when the database refuses a statement (its error journaled); what
// already moved stays moved.
std::optional<LONG> MoveRow(CDatabase* pDb, const KeyedTable& keys, LONG id, LONG floor);

// Moves every user row at one of `claimed` out of the way, to free numbers
// above every claimed number and above 999: the numbers below 1000 are the
// templates' to claim. FALSE when a move was refused.
BOOL MoveUserRowsAside(CDatabase* pDb, const KeyedTable& keys, const std::vector<LONG>& claimed);
