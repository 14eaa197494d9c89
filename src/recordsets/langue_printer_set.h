// CLanguePrinterSet: the record set over [Langue_Printer], the labels of printed documents; [Classement] comes third here, eighth in [Langue_System].
#pragma once

#include "platform/recordset.h"
#include "recordsets/db_version.h"

class CLanguePrinterSet : public CRecordset {
 public:
  CLanguePrinterSet(CDatabase* pDatabase, DbVersion nDbVersion);

  int m_Item_Id;
  CString m_Libelle;
  CString m_Classement;
  CString m_Langue_1;
  CString m_Langue_2;
  CString m_Langue_3;
  CString m_Langue_4;
  CString m_Langue_5;
  LONG m_Owner;
  DbVersion m_nDbVersion;

  CString GetDefaultConnect() override;
  CString GetDefaultSQL() override;
  void DoFieldExchange(CFieldExchange* pFX) override;
};
