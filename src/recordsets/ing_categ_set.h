// CIngCategSet: the record set over [CategIngre], the links between ingredients and their categories.
#pragma once

#include "platform/recordset.h"
#include "recordsets/db_version.h"

class CIngCategSet : public CRecordset {
 public:
  CIngCategSet(CDatabase* pDatabase, DbVersion nDbVersion);

  LONG m_INGR_ID;
  LONG m_CLASS_ID;
  LONG m_CLASSPARENT;
  LONG m_MASQUE;
  DbVersion m_nDbVersion;

  CString GetDefaultConnect() override;
  CString GetDefaultSQL() override;
  void DoFieldExchange(CFieldExchange* pFX) override;
};
