#include "recordsets/ing_categ_set.h"

CIngCategSet::CIngCategSet(CDatabase* pDatabase, DbVersion nDbVersion)
    : CRecordset(pDatabase),
      m_INGR_ID(0),
      m_CLASS_ID(0),
      m_CLASSPARENT(0),
      m_MASQUE(0),
      m_nDbVersion(nDbVersion) {
  m_nFields = 4;
  m_nDefaultType = snapshot;
}

CString CIngCategSet::GetDefaultConnect() { return ConnectFor(m_nDbVersion); }

CString CIngCategSet::GetDefaultSQL() { return "[CategIngre]"; }

void CIngCategSet::DoFieldExchange(CFieldExchange* pFX) {
  pFX->SetFieldType(CFieldExchange::outputColumn);
  RFX_Long(pFX, "[INGR_ID]", m_INGR_ID);
  RFX_Long(pFX, "[CLASS_ID]", m_CLASS_ID);
  RFX_Long(pFX, "[CLASSPARENT]", m_CLASSPARENT);
  RFX_Long(pFX, "[MASQUE]", m_MASQUE);
}
