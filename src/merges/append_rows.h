// The merge that fills a table from its template: every template row is
// added to the database as a new row, none is looked up first.
#pragma once

#include "merges/keyed_row.h"
#include "merges/merge_journal.h"
#include "platform/database.h"
#include "recordsets/db_version.h"

// Opens both sets on `Set`'s table (the template's with its version, the
// database's as the converted one, both with the set's further arguments:
// the shape of a table that changes), adds one database row per template
// row with `copy(template, database)`, and journals the table's success line.
template <class Set, class Copy, class... Shape>
BOOL AppendTemplateRows(CDatabase* pDb, CDatabase* pTemplateDb, DbVersion nTemplateVersion, const char* table,
                        Copy copy, Shape... shape) {
  Set tmpl(pTemplateDb, nTemplateVersion, shape...);
  tmpl.Open();
  Set db(pDb, kConvertedDatabase, shape...);
  OpenForKeyedRows(db);
  for (; !tmpl.IsEOF(); tmpl.MoveNext()) {
    db.AddNew();
    copy(tmpl, db);
    db.Update();
  }
  db.Close();
  tmpl.Close();
  JournalTableResult(TRUE, table);
  return TRUE;
}

// Adds one row to the open database set per row of the open template set,
// in the template set's order, as long as the database takes them (Update
// TRUE): the result is the last write's, TRUE when the template is empty.
// A row whose key the database already holds is the driver's error, which
// the merge does not catch.
template <class Set, class Copy>
BOOL AddTemplateRowsWhileTaken(Set& tmpl, Set& db, Copy copy) {
  BOOL result = TRUE;
  for (; !tmpl.IsEOF() && result; tmpl.MoveNext()) {
    db.AddNew();
    copy(tmpl, db);
    result = db.Update();
  }
  return result;
}
