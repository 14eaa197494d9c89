#include "recordsets/langue_printer_set.h"

CLanguePrinterSet::CLanguePrinterSet(CDatabase* pDatabase, DbVersion nDbVersion)
    : CRecordset(pDatabase),
      m_Item_Id(0),
      m_Owner(0),
      m_nDbVersion(nDbVersion) {
  m_nFields = 9;
  m_nDefaultType = snapshot;
}

CString CLanguePrinterSet::GetDefaultConnect() { return ConnectFor(m_nDbVersion); }

CString CLanguePrinterSet::GetDefaultSQL() { return "[Langue_Printer]"; }

void CLanguePrinterSet::DoFieldExchange(CFieldExchange* pFX) {
  pFX->SetFieldType(CFieldExchange::outputColumn);
  RFX_Int(pFX, "[Item_Id]", m_Item_Id);
  RFX_Text(pFX, "[Libelle]", m_Libelle);
  RFX_Text(pFX, "[Classement]", m_Classement);
  RFX_Text(pFX, "[Langue_1]", m_Langue_1);
  RFX_Text(pFX, "[Langue_2]", m_Langue_2);
  RFX_Text(pFX, "[Langue_3]", m_Langue_3);
  RFX_Text(pFX, "[Langue_4]", m_Langue_4);
  RFX_Text(pFX, "[Langue_5]", m_Langue_5);
  RFX_Long(pFX, "[Owner]", m_Owner);
}
