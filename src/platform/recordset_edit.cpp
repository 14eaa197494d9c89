// AddNew, Edit, Update and Delete: the record set's writes through the
// driver's row operations, by row identity.
#include <string>
#include <utility>
#include <vector>

#include "platform/field_value.h"
#include "platform/recordset.h"
#include "platform/recordset_rows.h"

namespace {

using Values = std::vector<std::pair<std::string, jetdb::Value>>;

}  // namespace

// The driver's row operations take bare column names.
std::string CRecordset::ColumnName(const std::string& column) {
  if (column.size() >= 2 && column.front() == '[' && column.back() == ']') return column.substr(1, column.size() - 2);
  return column;
}

void CRecordset::RequireUpdatable() const {
  if (!m_bOpen) ThrowFrameworkError(AFX_SQL_ERROR_ILLEGAL_MODE, "Le jeu d'enregistrements n'est pas ouvert.");
  if ((m_dwOptions & (readOnly | useMultiRowFetch)) != 0 || m_table.empty())
    ThrowFrameworkError(AFX_SQL_ERROR_RECORDSET_READONLY, "Le jeu d'enregistrements est en lecture seule.");
}

std::size_t CRecordset::CurrentRowForChange(const char* operation) {
  if (m_bEOF || m_nCurrent >= m_rows->size() || m_rows->Deleted(m_nCurrent)) {
    CString message;
    message.Format("%s : aucun enregistrement en cours.", operation);
    ThrowFrameworkError(AFX_SQL_ERROR_NO_CURRENT_RECORD, message);
  }
  return m_nCurrent;
}

void CRecordset::AddNew() {
  RequireUpdatable();
  for (std::size_t i = 0; i < m_fields.size(); ++i) {
    rfx::SetPseudoNull(m_fields[i]);
    m_state[i].forceDirty = m_state[i].forceNull = false;
    m_state[i].null = true;  // a new row is Null until a field is assigned
  }
  m_nEditMode = addnew;
}

void CRecordset::Edit() {
  RequireUpdatable();
  CurrentRowForChange("Edit");
  for (std::size_t i = 0; i < m_fields.size(); ++i) {
    rfx::CurrentInto(m_fields[i], m_state[i].atEdit);
    m_state[i].forceDirty = m_state[i].forceNull = false;
  }
  m_nEditMode = edit;
}

BOOL CRecordset::Update() {
  if (m_nEditMode == noMode) ThrowFrameworkError(AFX_SQL_ERROR_ILLEGAL_MODE, "Update sans AddNew ni Edit.");
  return m_nEditMode == addnew ? InsertNew() : WriteChanges();
}

BOOL CRecordset::InsertNew() {
  Values values;
  values.reserve(m_fields.size());
  for (std::size_t i = 0; i < m_fields.size(); ++i) {
    const FieldState& state = m_state[i];
    // Null written as Null, not left to the column's default: a copy of a
    // row must give the row that was copied.
    if (state.forceNull) values.emplace_back(m_names[i], jetdb::Value::null());
    else if (state.forceDirty || !rfx::IsPseudoNull(m_fields[i])) values.emplace_back(m_names[i], rfx::ForWrite(m_fields[i]));
  }
  if (!values.empty()) {
    jetdb::Database& db = m_pDatabase->Driver();
    if (!db.insertRow(m_table, values)) throw CDBException::FromDriver(db.lastError());
  }
  CancelUpdate();
  return values.empty() ? FALSE : TRUE;
}

BOOL CRecordset::WriteChanges() {
  const std::size_t row = CurrentRowForChange("Update");
  Values values;
  std::vector<std::size_t> written;
  values.reserve(m_fields.size());
  written.reserve(m_fields.size());
  jetdb::Value now;  // a member's value, compared with the one Edit saw
  for (std::size_t i = 0; i < m_fields.size(); ++i) {
    const FieldState& state = m_state[i];
    if (state.forceNull) {
      values.emplace_back(m_names[i], jetdb::Value::null());
      written.push_back(i);
      continue;
    }
    if (!state.forceDirty) {
      rfx::CurrentInto(m_fields[i], now);
      if (rfx::SameValue(now, state.atEdit)) continue;
    }
    values.emplace_back(m_names[i], rfx::ForWrite(m_fields[i]));
    written.push_back(i);
  }
  if (values.empty()) {
    m_nEditMode = noMode;
    return FALSE;
  }
  jetdb::Database& db = m_pDatabase->Driver();
  if (!db.updateRow(m_table, m_rows->Id(row), values)) throw CDBException::FromDriver(db.lastError());
  m_rows->Read(row, m_current);
  for (std::size_t k = 0; k < written.size(); ++k) m_current[written[k]] = std::move(values[k].second);
  m_rows->Replace(row, m_current);
  m_nEditMode = noMode;
  LoadCurrent();
  return TRUE;
}

void CRecordset::Delete() {
  RequireUpdatable();
  m_nEditMode = noMode;
  const std::size_t row = CurrentRowForChange("Delete");
  jetdb::Database& db = m_pDatabase->Driver();
  if (!db.deleteRow(m_table, m_rows->Id(row))) throw CDBException::FromDriver(db.lastError());
  m_rows->MarkDeleted(row);
}

// The members get the current row back; with no current row they keep
// whatever the caller put in them.
void CRecordset::CancelUpdate() {
  m_nEditMode = noMode;
  if (!m_bEOF && m_nCurrent < m_rows->size() && !m_rows->Deleted(m_nCurrent)) LoadCurrent();
}

CRecordset::FieldState* CRecordset::StateOf(const void* pv) {
  for (std::size_t i = 0; i < m_fields.size(); ++i) {
    if (m_fields[i].member == pv) return &m_state[i];
  }
  return nullptr;
}

const CRecordset::FieldState* CRecordset::StateOf(const void* pv) const {
  return const_cast<CRecordset*>(this)->StateOf(pv);
}

BOOL CRecordset::IsFieldNull(const void* pv) const {
  const FieldState* state = StateOf(pv);
  return (state && state->null) ? TRUE : FALSE;
}

void CRecordset::SetFieldNull(void* pv, BOOL bNull) {
  for (std::size_t i = 0; i < m_fields.size(); ++i) {
    if (pv && m_fields[i].member != pv) continue;
    FieldState& state = m_state[i];
    state.forceNull = bNull != FALSE;
    if (bNull) {
      state.forceDirty = false;
    } else if (state.null && m_nEditMode == edit) {
      // The row holds Null here: the member's value is written even when it
      // equals what the Null was read as (0, an empty text).
      state.forceDirty = true;
    }
    state.null = bNull != FALSE;
  }
}

void CRecordset::SetFieldDirty(void* pv, BOOL bDirty) {
  for (std::size_t i = 0; i < m_fields.size(); ++i) {
    if (pv && m_fields[i].member != pv) continue;
    m_state[i].forceDirty = bDirty != FALSE;
  }
}
