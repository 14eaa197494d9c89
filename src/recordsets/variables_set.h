// CVariablesSet: the record set over [Variables], named settings of the database, the TYPE_DB row among them.
#pragma once

#include "platform/recordset.h"
#include "recordsets/db_version.h"

class CVariablesSet : public CRecordset {
 public:
  CVariablesSet(CDatabase* pDatabase, DbVersion nDbVersion);

  CString m_NAME;
  CString m_VALSTR;
  double m_VALNUM;
  DbVersion m_nDbVersion;

  CString GetDefaultConnect() override;
  CString GetDefaultSQL() override;
  void DoFieldExchange(CFieldExchange* pFX) override;
};
