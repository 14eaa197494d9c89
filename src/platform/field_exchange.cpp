#include "platform/recordset.h"

void CFieldExchange::BindField(const char* column, rfx::FieldKind kind, void* member, int maxLength) {
  if (m_nFieldType != outputColumn) return;  // no parameters are bound
  m_fields.push_back({column, kind, member, maxLength});
}

void CFieldExchange::BindBulkField(const char* column, rfx::BulkKind kind, LONG** values, LONG** lengths) {
  if (m_nFieldType != outputColumn) return;
  m_bulkFields.push_back({column, kind, values, lengths});
}

void RFX_Long(CFieldExchange* pFX, LPCTSTR szName, LONG& value) {
  pFX->BindField(szName, rfx::FieldKind::Long, &value);
}

void RFX_Int(CFieldExchange* pFX, LPCTSTR szName, int& value) {
  pFX->BindField(szName, rfx::FieldKind::Int, &value);
}

void RFX_Byte(CFieldExchange* pFX, LPCTSTR szName, BYTE& value) {
  pFX->BindField(szName, rfx::FieldKind::Byte, &value);
}

void RFX_Bool(CFieldExchange* pFX, LPCTSTR szName, BOOL& value) {
  pFX->BindField(szName, rfx::FieldKind::Bool, &value);
}

void RFX_Double(CFieldExchange* pFX, LPCTSTR szName, double& value) {
  pFX->BindField(szName, rfx::FieldKind::Double, &value);
}

void RFX_Date(CFieldExchange* pFX, LPCTSTR szName, CTime& value) {
  pFX->BindField(szName, rfx::FieldKind::Date, &value);
}

// The column type and scale only told the original's driver how to bind a
// parameter; every text column reads and writes as UTF-8 text here.
void RFX_Text(CFieldExchange* pFX, LPCTSTR szName, CString& value, int nMaxLength, int /*nColumnType*/,
              short /*nScale*/) {
  pFX->BindField(szName, rfx::FieldKind::Text, &value, nMaxLength);
}

void RFX_Long_Bulk(CFieldExchange* pFX, LPCTSTR szName, LONG** prgLongVals, LONG** prgLengths) {
  pFX->BindBulkField(szName, rfx::BulkKind::Long, prgLongVals, prgLengths);
}

void RFX_Bool_Bulk(CFieldExchange* pFX, LPCTSTR szName, BOOL** prgBoolVals, LONG** prgLengths) {
  pFX->BindBulkField(szName, rfx::BulkKind::Bool, prgBoolVals, prgLengths);
}
