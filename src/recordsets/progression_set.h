// CProgressionSet: the record set over [Progression], the progression steps of recipes.
#pragma once

#include "platform/recordset.h"
#include "recordsets/db_version.h"

class CProgressionSet : public CRecordset {
 public:
  CProgressionSet(CDatabase* pDatabase, DbVersion nDbVersion);

  LONG m_IDPROGRESSION;
  CString m_PROGRESSION_1;
  CString m_PROGRESSION_2;
  CString m_PROGRESSION_3;
  CString m_PROGRESSION_4;
  CString m_PROGRESSION_5;
  LONG m_OWNER;
  DbVersion m_nDbVersion;

  CString GetDefaultConnect() override;
  CString GetDefaultSQL() override;
  void DoFieldExchange(CFieldExchange* pFX) override;
};
