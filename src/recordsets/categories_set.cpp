#include "recordsets/categories_set.h"

CCategoriesSet::CCategoriesSet(CDatabase* pDatabase, DbVersion nDbVersion)
    : CRecordset(pDatabase),
      m_CLASS_ID(0),
      m_TYPE(0),
      m_MASQUE(0),
      m_PERE_ID(0),
      m_OWNER(0),
      m_DATE_MAJ(CTime::GetCurrentTime()),
      m_ASCHILD(FALSE),
      m_EXPORTABLE(FALSE),
      m_nDbVersion(nDbVersion) {
  m_nFields = 13;
  m_nDefaultType = snapshot;
}

CString CCategoriesSet::GetDefaultConnect() { return ConnectFor(m_nDbVersion); }

CString CCategoriesSet::GetDefaultSQL() { return "[Categories]"; }

void CCategoriesSet::DoFieldExchange(CFieldExchange* pFX) {
  pFX->SetFieldType(CFieldExchange::outputColumn);
  RFX_Long(pFX, "[CLASS_ID]", m_CLASS_ID);
  RFX_Byte(pFX, "[TYPE]", m_TYPE);
  RFX_Long(pFX, "[MASQUE]", m_MASQUE);
  RFX_Long(pFX, "[PERE_ID]", m_PERE_ID);
  RFX_Text(pFX, "[NAME_1]", m_NAME_1);
  RFX_Text(pFX, "[NAME_2]", m_NAME_2);
  RFX_Text(pFX, "[NAME_3]", m_NAME_3);
  RFX_Text(pFX, "[NAME_4]", m_NAME_4);
  RFX_Text(pFX, "[NAME_5]", m_NAME_5);
  RFX_Long(pFX, "[OWNER]", m_OWNER);
  RFX_Date(pFX, "[DATE_MAJ]", m_DATE_MAJ);
  RFX_Bool(pFX, "[ASCHILD]", m_ASCHILD);
  RFX_Bool(pFX, "[EXPORTABLE]", m_EXPORTABLE);
}
