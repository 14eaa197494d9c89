#include "merges/system_rows.h"

#include "platform/db_time.h"

void AssignSystemCategory(CCategoriesSet& set, BYTE type, LONG parentId, const FiveNames& names, BOOL asChild) {
  set.m_TYPE = type;
  set.m_MASQUE = 0;
  set.m_PERE_ID = parentId;
  AssignNames(set, names);
  set.m_OWNER = -1;
  set.m_DATE_MAJ = CTime::GetCurrentTime();
  set.m_ASCHILD = asChild;
  set.m_EXPORTABLE = FALSE;
}

void AddRootCategory(CCategoriesSet& set, LONG classId, BYTE type, const FiveNames& names) {
  set.AddNew();
  set.m_CLASS_ID = classId;
  AssignSystemCategory(set, type, -1, names, FALSE);
  set.Update();
}
