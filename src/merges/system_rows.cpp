#include "merges/system_rows.h"

#include "platform/db_time.h"

void AddRootCategory(CCategoriesSet& set, LONG classId, BYTE type, const FiveNames& names) {
  set.AddNew();
  set.m_CLASS_ID = classId;
  set.m_TYPE = type;
  set.m_MASQUE = 0;
  set.m_PERE_ID = -1;
  AssignNames(set, names);
  set.m_OWNER = -1;
  set.m_DATE_MAJ = CTime::GetCurrentTime();
  set.m_ASCHILD = FALSE;
  set.m_EXPORTABLE = FALSE;
  set.Update();
}
