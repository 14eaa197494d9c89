// CUnitesSet: the record set over [Unites], units of measure.
#pragma once

#include "platform/recordset.h"
#include "recordsets/db_version.h"

class CUnitesSet : public CRecordset {
 public:
  CUnitesSet(CDatabase* pDatabase, DbVersion nDbVersion);

  LONG m_UNITDEF_ID;
  BOOL m_IMPERIAL;
  double m_CFACT;
  BYTE m_TYPE;
  LONG m_OWNER;
  int m_NBDIGIT;
  CString m_NAME_1;
  CString m_NAME_2;
  CString m_NAME_3;
  CString m_NAME_4;
  CString m_NAME_5;
  CString m_SYMBOL_1;
  CString m_SYMBOL_2;
  CString m_SYMBOL_3;
  CString m_SYMBOL_4;
  CString m_SYMBOL_5;
  CTime m_DATE_MAJ;
  DbVersion m_nDbVersion;

  CString GetDefaultConnect() override;
  CString GetDefaultSQL() override;
  void DoFieldExchange(CFieldExchange* pFX) override;
};
