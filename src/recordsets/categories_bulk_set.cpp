#include "recordsets/categories_bulk_set.h"

#include <bit>

CCategoriesBulkSet::CCategoriesBulkSet(CDatabase* pDatabase, DbVersion nDbVersion)
    : CBulkRecordSet(pDatabase),
      m_pCLASS_IDLengths(nullptr),
      m_pCLASS_IDValues(nullptr),
      m_pPERE_IDLengths(nullptr),
      m_pPERE_IDValues(nullptr),
      m_pASCHILDLengths(nullptr),
      m_pASCHILDValues(nullptr),
      m_nDbVersion(nDbVersion) {
  m_nParams = 0;
  m_nFields = 5;  // replaced by OpenColumns
  m_nDefaultType = snapshot;
}

BOOL CCategoriesBulkSet::OpenColumns(DWORD dwColumns) {
  m_dwColumns = dwColumns;
  m_nFields = static_cast<UINT>(std::popcount(dwColumns & (kClassId | kPereId | kAsChild)));
  return Open(forwardOnly, nullptr, readOnly | useMultiRowFetch);
}

CString CCategoriesBulkSet::GetDefaultConnect() { return ConnectFor(m_nDbVersion); }

CString CCategoriesBulkSet::GetDefaultSQL() { return "[Categories]"; }

void CCategoriesBulkSet::DoBulkFieldExchange(CFieldExchange* pFX) {
  pFX->SetFieldType(CFieldExchange::outputColumn);
  if (m_dwColumns & kClassId) RFX_Long_Bulk(pFX, "[CLASS_ID]", &m_pCLASS_IDValues, &m_pCLASS_IDLengths);
  if (m_dwColumns & kPereId) RFX_Long_Bulk(pFX, "[PERE_ID]", &m_pPERE_IDValues, &m_pPERE_IDLengths);
  if (m_dwColumns & kAsChild) RFX_Bool_Bulk(pFX, "ASCHILD", &m_pASCHILDValues, &m_pASCHILDLengths);
}

void CCategoriesBulkSet::LoadCurrentRow() {
  if (m_dwColumns & kClassId) m_CLASS_ID = m_pCLASS_IDValues[m_nRowInRowset];
  if (m_dwColumns & kPereId) m_PERE_ID = m_pPERE_IDValues[m_nRowInRowset];
  if (m_dwColumns & kAsChild) m_ASCHILD = m_pASCHILDValues[m_nRowInRowset];
}
