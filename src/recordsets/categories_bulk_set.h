// CCategoriesBulkSet: [Categories] read in bulk, binding only the columns
// that the category tree needs, chosen by a mask.
#pragma once

#include "recordsets/bulk_record_set.h"
#include "recordsets/db_version.h"

class CCategoriesBulkSet : public CBulkRecordSet {
 public:
  // Bits of the column mask.
  static constexpr DWORD kClassId = 1;
  static constexpr DWORD kPereId = 2;
  static constexpr DWORD kAsChild = 4;

  CCategoriesBulkSet(CDatabase* pDatabase, DbVersion nDbVersion);

  // Opens forward-only and read-only with multi-row fetching, binding the
  // columns whose bits are set.
  BOOL OpenColumns(DWORD dwColumns);

  // The current row, filled by LoadCurrentRow.
  BOOL m_ASCHILD = FALSE;
  LONG m_PERE_ID = 0;
  LONG m_CLASS_ID = 0;
  DWORD m_dwColumns = 0;
  // The rowset's arrays, allocated by the record set while it is open.
  LONG* m_pCLASS_IDLengths;
  LONG* m_pCLASS_IDValues;
  LONG* m_pPERE_IDLengths;
  LONG* m_pPERE_IDValues;
  LONG* m_pASCHILDLengths;
  BOOL* m_pASCHILDValues;
  DbVersion m_nDbVersion;

  CString GetDefaultConnect() override;
  CString GetDefaultSQL() override;
  void DoBulkFieldExchange(CFieldExchange* pFX) override;
  void LoadCurrentRow() override;
};
