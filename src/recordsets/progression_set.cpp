#include "recordsets/progression_set.h"

CProgressionSet::CProgressionSet(CDatabase* pDatabase, DbVersion nDbVersion)
    : CRecordset(pDatabase),
      m_IDPROGRESSION(0),
      m_OWNER(0),
      m_nDbVersion(nDbVersion) {
  m_nFields = 7;
  m_nDefaultType = snapshot;
}

CString CProgressionSet::GetDefaultConnect() { return ConnectFor(m_nDbVersion); }

CString CProgressionSet::GetDefaultSQL() { return "[Progression]"; }

void CProgressionSet::DoFieldExchange(CFieldExchange* pFX) {
  pFX->SetFieldType(CFieldExchange::outputColumn);
  RFX_Long(pFX, "[IDPROGRESSION]", m_IDPROGRESSION);
  RFX_Text(pFX, "[PROGRESSION_1]", m_PROGRESSION_1);
  RFX_Text(pFX, "[PROGRESSION_2]", m_PROGRESSION_2);
  RFX_Text(pFX, "[PROGRESSION_3]", m_PROGRESSION_3);
  RFX_Text(pFX, "[PROGRESSION_4]", m_PROGRESSION_4);
  RFX_Text(pFX, "[PROGRESSION_5]", m_PROGRESSION_5);
  RFX_Long(pFX, "[OWNER]", m_OWNER);
}
