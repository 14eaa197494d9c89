// CCategoriesSet: the record set over [Categories], the category tree of recipes and ingredients.
#pragma once

#include "platform/recordset.h"
#include "recordsets/db_version.h"

class CCategoriesSet : public CRecordset {
 public:
  CCategoriesSet(CDatabase* pDatabase, DbVersion nDbVersion);

  LONG m_CLASS_ID;
  BYTE m_TYPE;
  LONG m_MASQUE;
  LONG m_PERE_ID;
  CString m_NAME_1;
  CString m_NAME_2;
  CString m_NAME_3;
  CString m_NAME_4;
  CString m_NAME_5;
  LONG m_OWNER;
  CTime m_DATE_MAJ;
  BOOL m_ASCHILD;
  BOOL m_EXPORTABLE;
  DbVersion m_nDbVersion;

  CString GetDefaultConnect() override;
  CString GetDefaultSQL() override;
  void DoFieldExchange(CFieldExchange* pFX) override;
};
