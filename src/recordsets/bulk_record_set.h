// CBulkRecordSet: a record set that fetches its rows a rowset at a time
// (multi-row fetching) and still lets its users walk them one by one with
// MoveNext. A subclass binds its arrays in DoBulkFieldExchange and copies
// the current row out of them in LoadCurrentRow.
#pragma once

#include "platform/recordset.h"

class CBulkRecordSet : public CRecordset {
 public:
  explicit CBulkRecordSet(CDatabase* pDatabase);

  // Both copy the bulk filter and sort into m_strFilter and m_strSort
  // first, then position on the first row of the first rowset.
  BOOL Open(UINT nOpenType = AFX_DB_USE_DEFAULT_TYPE, LPCTSTR lpszSQL = nullptr, DWORD dwOptions = none) override;
  BOOL Requery() override;

  // The next row, fetching the next rowset when this one is used up.
  void MoveNext();

  void DoBulkFieldExchange(CFieldExchange* pFX) override;
  virtual void LoadCurrentRow();

  CString m_strBulkSort;
  CString m_strBulkFilter;
  LONG m_nRowsInRowset = 0;
  LONG m_nRowInRowset = -1;  // -1 when there is no current row

 private:
  void StartRowset();
};
