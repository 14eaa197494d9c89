#include "recordsets/fmt_etiquette_set.h"

CFmtEtiquetteSet::CFmtEtiquetteSet(CDatabase* pDatabase, DbVersion nDbVersion)
    : CRecordset(pDatabase),
      m_ID(0),
      m_MRGHAUT(0),
      m_MRGCOTE(0),
      m_HAUTEUR(0),
      m_LARGEUR(0),
      m_PASVERT(0),
      m_PASHORIZ(0),
      m_NBRVERT(0),
      m_NBRHORIZ(0),
      m_nDbVersion(nDbVersion) {
  m_nFields = 10;
  m_nDefaultType = snapshot;
}

CString CFmtEtiquetteSet::GetDefaultConnect() { return ConnectFor(m_nDbVersion); }

CString CFmtEtiquetteSet::GetDefaultSQL() { return "[FmtEtiquette]"; }

void CFmtEtiquetteSet::DoFieldExchange(CFieldExchange* pFX) {
  pFX->SetFieldType(CFieldExchange::outputColumn);
  RFX_Long(pFX, "[ID]", m_ID);
  RFX_Text(pFX, "[REF]", m_REF);
  RFX_Long(pFX, "[MRGHAUT]", m_MRGHAUT);
  RFX_Long(pFX, "[MRGCOTE]", m_MRGCOTE);
  RFX_Long(pFX, "[HAUTEUR]", m_HAUTEUR);
  RFX_Long(pFX, "[LARGEUR]", m_LARGEUR);
  RFX_Long(pFX, "[PASVERT]", m_PASVERT);
  RFX_Long(pFX, "[PASHORIZ]", m_PASHORIZ);
  RFX_Long(pFX, "[NBRVERT]", m_NBRVERT);
  RFX_Long(pFX, "[NBRHORIZ]", m_NBRHORIZ);
}
