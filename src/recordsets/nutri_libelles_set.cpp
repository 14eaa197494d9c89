#include "recordsets/nutri_libelles_set.h"

CNutriLibellesSet::CNutriLibellesSet(CDatabase* pDatabase, DbVersion nDbVersion, NutriLabelColumns columns)
    : CRecordset(pDatabase),
      m_ID(0),
      m_TYPEMSK(0),
      m_NBDIGIT(0),
      m_NUMORDRE(0),
      m_ARJ(0.0),
      m_BKCOL(0),
      m_OWNER(0),
      m_DATE_MAJ(CTime::GetCurrentTime()),
      m_nDbVersion(nDbVersion),
      m_columns(columns) {
  m_nFields = BindsV253Columns() ? 15 : 13;
  m_nDefaultType = snapshot;
}

CString CNutriLibellesSet::GetDefaultConnect() { return ConnectFor(m_nDbVersion); }

CString CNutriLibellesSet::GetDefaultSQL() { return "[NutriLibelles]"; }

void CNutriLibellesSet::DoFieldExchange(CFieldExchange* pFX) {
  pFX->SetFieldType(CFieldExchange::outputColumn);
  RFX_Long(pFX, "[ID]", m_ID);
  RFX_Text(pFX, "[LIBELLE_1]", m_LIBELLE_1);
  RFX_Text(pFX, "[LIBELLE_2]", m_LIBELLE_2);
  RFX_Text(pFX, "[LIBELLE_3]", m_LIBELLE_3);
  RFX_Text(pFX, "[LIBELLE_4]", m_LIBELLE_4);
  RFX_Text(pFX, "[LIBELLE_5]", m_LIBELLE_5);
  RFX_Text(pFX, "[LIB_CIQUAL]", m_LIB_CIQUAL);
  RFX_Text(pFX, "[UNITE]", m_UNITE);
  RFX_Long(pFX, "[TYPEMSK]", m_TYPEMSK);
  RFX_Int(pFX, "[NBDIGIT]", m_NBDIGIT);
  RFX_Int(pFX, "[NUMORDRE]", m_NUMORDRE);
  RFX_Double(pFX, "[ARJ]", m_ARJ);
  RFX_Long(pFX, "[BKCOL]", m_BKCOL);
  if (BindsV253Columns()) {
    RFX_Long(pFX, "[OWNER]", m_OWNER);
    RFX_Date(pFX, "[DATE_MAJ]", m_DATE_MAJ);
  }
}
