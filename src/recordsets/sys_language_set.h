// CSysLanguageSet: the record set over [Langue_System], the labels of the user interface, the version row among them.
#pragma once

#include "platform/recordset.h"
#include "recordsets/db_version.h"

class CSysLanguageSet : public CRecordset {
 public:
  CSysLanguageSet(CDatabase* pDatabase, DbVersion nDbVersion);

  int m_Item_Id;
  CString m_Libelle;
  CString m_Langue_1;
  CString m_Langue_2;
  CString m_Langue_3;
  CString m_Langue_4;
  CString m_Langue_5;
  CString m_Classement;
  LONG m_Owner;
  DbVersion m_nDbVersion;

  CString GetDefaultConnect() override;
  CString GetDefaultSQL() override;
  void DoFieldExchange(CFieldExchange* pFX) override;
};
