// CLibellesPreEmballeSet: the record set over [LibellesPreEmballe], the labels of pre-packed products.
#pragma once

#include "platform/recordset.h"
#include "recordsets/db_version.h"

class CLibellesPreEmballeSet : public CRecordset {
 public:
  CLibellesPreEmballeSet(CDatabase* pDatabase, DbVersion nDbVersion);

  LONG m_ID;
  CString m_NAME_1;
  CString m_NAME_2;
  CString m_NAME_3;
  CString m_NAME_4;
  CString m_NAME_5;
  BYTE m_TYPE;
  LONG m_OWNER;
  DbVersion m_nDbVersion;

  CString GetDefaultConnect() override;
  CString GetDefaultSQL() override;
  void DoFieldExchange(CFieldExchange* pFX) override;
};
