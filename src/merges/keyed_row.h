// The merges that work on one row found by its key: the set is re-queried
// on that key alone, so that Edit reaches that row and no other.
#pragma once

#include "platform/types.h"

// Puts the set on the row whose key is `key` (keyFilter formats it, as
// "[CLASS_ID]=%d"); false when the table has no such row.
template <class Set>
bool FindKeyedRow(Set& set, const char* keyFilter, int key) {
  set.m_strFilter.Format(keyFilter, key);
  set.Requery();
  return !set.IsEOF();
}
