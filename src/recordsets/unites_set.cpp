#include "recordsets/unites_set.h"

CUnitesSet::CUnitesSet(CDatabase* pDatabase, DbVersion nDbVersion)
    : CRecordset(pDatabase),
      m_UNITDEF_ID(0),
      m_IMPERIAL(FALSE),
      m_CFACT(0.0),
      m_TYPE(0),
      m_OWNER(0),
      m_NBDIGIT(0),
      m_DATE_MAJ(CTime::GetCurrentTime()),
      m_nDbVersion(nDbVersion) {
  m_nFields = 17;
  m_nDefaultType = snapshot;
}

CString CUnitesSet::GetDefaultConnect() { return ConnectFor(m_nDbVersion); }

CString CUnitesSet::GetDefaultSQL() { return "[Unites]"; }

void CUnitesSet::DoFieldExchange(CFieldExchange* pFX) {
  pFX->SetFieldType(CFieldExchange::outputColumn);
  RFX_Long(pFX, "[UNITDEF_ID]", m_UNITDEF_ID);
  RFX_Bool(pFX, "[IMPERIAL]", m_IMPERIAL);
  RFX_Double(pFX, "[CFACT]", m_CFACT);
  RFX_Byte(pFX, "[TYPE]", m_TYPE);
  RFX_Long(pFX, "[OWNER]", m_OWNER);
  RFX_Int(pFX, "[NBDIGIT]", m_NBDIGIT);
  RFX_Text(pFX, "[NAME_1]", m_NAME_1);
  RFX_Text(pFX, "[NAME_2]", m_NAME_2);
  RFX_Text(pFX, "[NAME_3]", m_NAME_3);
  RFX_Text(pFX, "[NAME_4]", m_NAME_4);
  RFX_Text(pFX, "[NAME_5]", m_NAME_5);
  RFX_Text(pFX, "[SYMBOL_1]", m_SYMBOL_1);
  RFX_Text(pFX, "[SYMBOL_2]", m_SYMBOL_2);
  RFX_Text(pFX, "[SYMBOL_3]", m_SYMBOL_3);
  RFX_Text(pFX, "[SYMBOL_4]", m_SYMBOL_4);
  RFX_Text(pFX, "[SYMBOL_5]", m_SYMBOL_5);
  RFX_Date(pFX, "[DATE_MAJ]", m_DATE_MAJ);
}
