// The merges that work on one row found by its key: the set is re-queried
// on that key alone, so that Edit reaches that row and no other.
#pragma once

#include "merges/merge_journal.h"
#include "platform/database.h"
#include "platform/types.h"
#include "recordsets/db_version.h"

// Opens a database set that the merge reaches only by key (FindKeyedRow)
// or adds rows to: it reads no row until a key is looked up. Opened without
// a filter it would read the whole table, a million categories on some
// kitchens' files, only to throw them away at the first lookup.
template <class Set>
void OpenForKeyedRows(Set& set) {
  set.m_strFilter = "False";
  set.Open();
}

// Puts the set on the row whose key is `key` (keyFilter formats it, as
// "[CLASS_ID]=%d"); false when the table has no such row.
template <class Set>
bool FindKeyedRow(Set& set, const char* keyFilter, int key) {
  set.m_strFilter.Format(keyFilter, key);
  set.Requery();
  return !set.IsEOF();
}

// Brings the database set in line with the template set row by row: each
// template row overwrites the database row of the same key (`key(row)`), or
// is added when there is none. `copy(template, database, added)` writes the
// columns; the key itself is for it to write on an added row, and a column
// that only a new row takes from the template is told by `added`.
template <class Set, class Key, class Copy>
void AddOrOverwriteRows(Set& tmpl, Set& db, const char* keyFilter, Key key, Copy copy) {
  for (; !tmpl.IsEOF(); tmpl.MoveNext()) {
    const bool added = !FindKeyedRow(db, keyFilter, key(tmpl));
    if (added) {
      db.AddNew();
    } else {
      db.Edit();
    }
    copy(tmpl, db, added);
    db.Update();
  }
}

// The same over a whole table of the template, in the template's own row
// order: opens both sets (the template's with its version, the database's
// with the target's), and journals the table's success line.
template <class Set, class Key, class Copy>
BOOL AddOrOverwriteTemplateRows(CDatabase* pDb, CDatabase* pTemplateDb, DbVersion nTemplateVersion, const char* table,
                                const char* keyFilter, Key key, Copy copy) {
  Set tmpl(pTemplateDb, nTemplateVersion);
  tmpl.Open();
  Set db(pDb, kConvertedDatabase);
  OpenForKeyedRows(db);
  AddOrOverwriteRows(tmpl, db, keyFilter, key, copy);
  db.Close();
  tmpl.Close();
  JournalTableResult(TRUE, table);
  return TRUE;
}
