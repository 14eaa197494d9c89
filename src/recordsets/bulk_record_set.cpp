#include "recordsets/bulk_record_set.h"

CBulkRecordSet::CBulkRecordSet(CDatabase* pDatabase) : CRecordset(pDatabase) {
  m_nFields = 0;
  m_nParams = 0;
  m_nDefaultType = snapshot;
}

void CBulkRecordSet::StartRowset() {
  m_nRowsInRowset = static_cast<LONG>(GetRowsFetched());
  m_nRowInRowset = m_nRowsInRowset != 0 ? 0 : -1;
}

BOOL CBulkRecordSet::Open(UINT nOpenType, LPCTSTR lpszSQL, DWORD dwOptions) {
  m_strFilter = m_strBulkFilter;
  m_strSort = m_strBulkSort;
  BOOL result = CRecordset::Open(nOpenType, lpszSQL, dwOptions);
  StartRowset();
  if (!IsEOF() && !IsBOF()) LoadCurrentRow();
  return result;
}

BOOL CBulkRecordSet::Requery() {
  m_strFilter = m_strBulkFilter;
  m_strSort = m_strBulkSort;
  BOOL result = CRecordset::Requery();
  StartRowset();
  if (!IsEOF() && !IsBOF()) LoadCurrentRow();
  return result;
}

void CBulkRecordSet::MoveNext() {
  ++m_nRowInRowset;
  if (m_nRowInRowset >= m_nRowsInRowset) {
    CRecordset::Move(1, SQL_FETCH_NEXT);
    StartRowset();
  }
  if (!IsEOF()) LoadCurrentRow();
}

void CBulkRecordSet::DoBulkFieldExchange(CFieldExchange* /*pFX*/) {}

void CBulkRecordSet::LoadCurrentRow() {}
