#include "recordsets/variables_set.h"

CVariablesSet::CVariablesSet(CDatabase* pDatabase, DbVersion nDbVersion)
    : CRecordset(pDatabase),
      m_VALNUM(0.0),
      m_nDbVersion(nDbVersion) {
  m_nFields = 3;
  m_nDefaultType = snapshot;
}

CString CVariablesSet::GetDefaultConnect() { return ConnectFor(m_nDbVersion); }

CString CVariablesSet::GetDefaultSQL() { return "[Variables]"; }

void CVariablesSet::DoFieldExchange(CFieldExchange* pFX) {
  pFX->SetFieldType(CFieldExchange::outputColumn);
  RFX_Text(pFX, "[NAME]", m_NAME);
  RFX_Text(pFX, "[VALSTR]", m_VALSTR);
  RFX_Double(pFX, "[VALNUM]", m_VALNUM);
}
