#include "recordsets/libelles_pre_emballe_set.h"

CLibellesPreEmballeSet::CLibellesPreEmballeSet(CDatabase* pDatabase, DbVersion nDbVersion)
    : CRecordset(pDatabase),
      m_ID(0),
      m_TYPE(0),
      m_OWNER(0),
      m_nDbVersion(nDbVersion) {
  m_nFields = 8;
  m_nDefaultType = snapshot;
}

CString CLibellesPreEmballeSet::GetDefaultConnect() { return ConnectFor(m_nDbVersion); }

CString CLibellesPreEmballeSet::GetDefaultSQL() { return "[LibellesPreEmballe]"; }

void CLibellesPreEmballeSet::DoFieldExchange(CFieldExchange* pFX) {
  pFX->SetFieldType(CFieldExchange::outputColumn);
  RFX_Long(pFX, "[ID]", m_ID);
  RFX_Text(pFX, "[NAME_1]", m_NAME_1);
  RFX_Text(pFX, "[NAME_2]", m_NAME_2);
  RFX_Text(pFX, "[NAME_3]", m_NAME_3);
  RFX_Text(pFX, "[NAME_4]", m_NAME_4);
  RFX_Text(pFX, "[NAME_5]", m_NAME_5);
  RFX_Byte(pFX, "[TYPE]", m_TYPE);
  RFX_Long(pFX, "[OWNER]", m_OWNER);
}
