// CFmtEtiquetteSet: the record set over [FmtEtiquette], label sheet formats.
#pragma once

#include "platform/recordset.h"
#include "recordsets/db_version.h"

class CFmtEtiquetteSet : public CRecordset {
 public:
  CFmtEtiquetteSet(CDatabase* pDatabase, DbVersion nDbVersion);

  LONG m_ID;
  CString m_REF;
  LONG m_MRGHAUT;
  LONG m_MRGCOTE;
  LONG m_HAUTEUR;
  LONG m_LARGEUR;
  LONG m_PASVERT;
  LONG m_PASHORIZ;
  LONG m_NBRVERT;
  LONG m_NBRHORIZ;
  DbVersion m_nDbVersion;

  CString GetDefaultConnect() override;
  CString GetDefaultSQL() override;
  void DoFieldExchange(CFieldExchange* pFX) override;
};
