#include "platform/recordset.h"

#include <algorithm>
#include <optional>

#include "platform/field_value.h"
#include "platform/recordset_rows.h"

namespace {

bool StartsWithSelect(const CString& source) {
  CString head = CString(source).TrimLeft().Left(7);
  return head.CompareNoCase("SELECT ") == 0;
}

// The table that edits go to: the bracketed name that a set's
// GetDefaultSQL returns. A full SELECT of its own is not updatable.
std::string TableOf(const CString& source) {
  if (StartsWithSelect(source)) return {};
  std::string name = CString(source).TrimLeft().TrimRight().str();
  if (name.size() >= 2 && name.front() == '[' && name.back() == ']') name = name.substr(1, name.size() - 2);
  return name;
}

}  // namespace

void ThrowFrameworkError(RETCODE code, const char* message) {
  throw CDBException::FromFramework(code, message);
}

CRecordset::CRecordset(CDatabase* pDatabase)
    : m_pDatabase(pDatabase), m_pGivenDatabase(pDatabase), m_rows(std::make_unique<RowStore>()) {}

CRecordset::~CRecordset() { CRecordset::Close(); }

CString CRecordset::GetDefaultConnect() { return "ODBC;"; }
CString CRecordset::GetDefaultSQL() { return ""; }
void CRecordset::DoFieldExchange(CFieldExchange* /*pFX*/) {}
void CRecordset::DoBulkFieldExchange(CFieldExchange* /*pFX*/) {}

BOOL CRecordset::Open(UINT nOpenType, LPCTSTR lpszSQL, DWORD dwOptions) {
  if (m_bOpen) ThrowFrameworkError(AFX_SQL_ERROR_ILLEGAL_MODE, "Le jeu d'enregistrements est déjà ouvert.");
  m_nOpenType = nOpenType == AFX_DB_USE_DEFAULT_TYPE ? m_nDefaultType : nOpenType;
  m_dwOptions = dwOptions;
  m_strSource = (lpszSQL && *lpszSQL) ? CString(lpszSQL) : GetDefaultSQL();
  m_table = TableOf(m_strSource);
  m_pGivenDatabase = m_pDatabase;
  try {
    EnsureDatabase();
    Bind();
    m_strSelect = SelectOfBinding();
    RunQuery();
  } catch (CDBException&) {
    Close();
    throw;
  }
  m_bOpen = true;
  return TRUE;
}

void CRecordset::EnsureDatabase() {
  if (m_pDatabase && m_pDatabase->IsOpen()) return;
  auto own = std::make_unique<CDatabase>();
  own->OpenEx(GetDefaultConnect(), (m_dwOptions & readOnly) != 0 ? CDatabase::openReadOnly : 0);
  m_pOwnDatabase = std::move(own);
  m_pDatabase = m_pOwnDatabase.get();
}

void CRecordset::Bind() {
  CFieldExchange fx;
  const bool bulk = (m_dwOptions & useMultiRowFetch) != 0;
  if (bulk) DoBulkFieldExchange(&fx);
  else DoFieldExchange(&fx);
  m_fields = std::move(fx.m_fields);
  m_bulkFields = std::move(fx.m_bulkFields);
  const std::size_t bound = bulk ? m_bulkFields.size() : m_fields.size();
  if (bound != m_nFields)
    ThrowFrameworkError(AFX_SQL_ERROR_FIELD_SCHEMA_MISMATCH,
                        "Le nombre de colonnes liées ne correspond pas à m_nFields.");
  m_state.assign(m_fields.size(), FieldState{});
  m_names.clear();
  for (const auto& field : m_fields) m_names.push_back(ColumnName(field.column));
  m_bulkBuffers.clear();
  for (const auto& field : m_bulkFields) {
    auto& values = m_bulkBuffers.emplace_back(m_dwRowsetSize, 0);
    *field.values = values.data();
    auto& lengths = m_bulkBuffers.emplace_back(m_dwRowsetSize, 0);
    *field.lengths = lengths.data();
  }
}

// What every query of the open set starts with: its columns and source
// do not change until it closes.
CString CRecordset::SelectOfBinding() const {
  if (StartsWithSelect(m_strSource)) return m_strSource;
  CString columns;
  auto add = [&columns](const std::string& column) {
    if (!columns.IsEmpty()) columns += ",";
    columns += column.c_str();
  };
  for (const auto& field : m_fields) add(field.column);
  for (const auto& field : m_bulkFields) add(field.column);
  return "SELECT " + (columns.IsEmpty() ? CString("*") : columns) + " FROM " + m_strSource;
}

void CRecordset::RunQuery() {
  // Built in place: a merge sends one query for each key it looks up, and
  // the text keeps its room from one query to the next.
  m_strSQL = m_strSelect;
  if (!m_strFilter.IsEmpty()) (m_strSQL += " WHERE ") += m_strFilter;
  if (!m_strSort.IsEmpty()) (m_strSQL += " ORDER BY ") += m_strSort;
  const CString& sql = m_strSQL;

  m_rows->clear();
  m_stream.reset();
  m_nEditMode = noMode;
  m_bBOF = m_bEOF = true;
  m_dwRowsFetched = 0;

  jetdb::Database& db = m_pDatabase->Driver();
  std::unique_ptr<jetdb::Query> query = db.query(sql.str());
  if (!query) throw CDBException::FromDriver(db.lastError());
  const std::size_t columns = query->columns().size();
  if (columns < m_fields.size() + m_bulkFields.size())
    ThrowFrameworkError(AFX_SQL_ERROR_FIELD_SCHEMA_MISMATCH, "La requête rend moins de colonnes que le jeu n'en lie.");
  // Only the bound columns are kept: a full SELECT may give more.
  const std::size_t kept = m_fields.size() + m_bulkFields.size();
  m_bStreaming = !m_bulkFields.empty() && m_nOpenType == forwardOnly && (m_dwOptions & readOnly) != 0;
  if (m_bStreaming) {
    m_stream = std::move(query);
    m_bEOF = false;
    FetchRowset(0);
    m_bBOF = m_bEOF;
    return;
  }
  while (query->next()) m_rows->Append(*query, kept);
  if (query->error()) throw CDBException::FromDriver(*query->error());

  m_bBOF = m_bEOF = m_rows->empty();
  if (!m_bulkFields.empty()) FetchRowset(0);
  else GoTo(0);
}

void CRecordset::FetchRowset(std::size_t first) {
  if (m_bStreaming) {
    std::size_t count = 0;
    while (m_stream && count < m_dwRowsetSize) {
      if (!m_stream->next()) {
        // The query is done: its statement goes back to the driver now.
        std::optional<jetdb::Error> error = m_stream->error();
        m_stream.reset();
        if (error) throw CDBException::FromDriver(*error);
        break;
      }
      for (std::size_t c = 0; c < m_bulkFields.size(); ++c) rfx::LoadBulk(m_bulkFields[c], count, m_stream->value(c));
      ++count;
    }
    m_nRowsetFirst = first;
    m_dwRowsFetched = static_cast<DWORD>(count);
    m_nCurrent = first;
    if (count == 0) m_bEOF = true;
    return;
  }
  m_nRowsetFirst = std::min(first, m_rows->size());
  const std::size_t count = std::min<std::size_t>(m_dwRowsetSize, m_rows->size() - m_nRowsetFirst);
  for (std::size_t r = 0; r < count; ++r) {
    m_rows->Read(m_nRowsetFirst + r, m_current);
    for (std::size_t c = 0; c < m_bulkFields.size(); ++c) rfx::LoadBulk(m_bulkFields[c], r, m_current[c]);
  }
  m_dwRowsFetched = static_cast<DWORD>(count);
  m_nCurrent = m_nRowsetFirst;
  if (count == 0) m_bEOF = true;
}

// Rows that this set deleted are passed over.
void CRecordset::GoTo(std::size_t row) {
  while (row < m_rows->size() && m_rows->Deleted(row)) ++row;
  m_nCurrent = row;
  if (row >= m_rows->size()) {
    m_bEOF = true;
    return;
  }
  LoadCurrent();
}

void CRecordset::LoadCurrent() {
  m_rows->Read(m_nCurrent, m_current);
  for (std::size_t i = 0; i < m_fields.size(); ++i) {
    // What Edit saw stays until the next Edit sets it: only its buffer is
    // kept.
    FieldState& state = m_state[i];
    state.forceDirty = state.forceNull = false;
    state.null = rfx::Load(m_fields[i], m_current[i]);
  }
}

void CRecordset::Close() {
  for (const auto& field : m_bulkFields) {
    *field.values = nullptr;
    *field.lengths = nullptr;
  }
  m_bulkFields.clear();
  m_bulkBuffers.clear();
  m_fields.clear();
  m_names.clear();
  m_state.clear();
  m_stream.reset();
  m_bStreaming = false;
  m_rows->clear();
  m_current.clear();
  m_dwRowsFetched = 0;
  m_nEditMode = noMode;
  m_bOpen = false;
  m_bBOF = m_bEOF = true;
  m_strSQL.Empty();
  m_strSelect.Empty();
  if (m_pOwnDatabase) {
    m_pOwnDatabase->Close();
    m_pOwnDatabase.reset();
  }
  m_pDatabase = m_pGivenDatabase;
}

BOOL CRecordset::Requery() {
  if (!m_bOpen) ThrowFrameworkError(AFX_SQL_ERROR_ILLEGAL_MODE, "Le jeu d'enregistrements n'est pas ouvert.");
  RunQuery();
  return TRUE;
}

BOOL CRecordset::IsOpen() const { return m_bOpen ? TRUE : FALSE; }
BOOL CRecordset::IsEOF() const { return m_bEOF ? TRUE : FALSE; }
BOOL CRecordset::IsBOF() const { return m_bBOF ? TRUE : FALSE; }

void CRecordset::SetRowsetSize(DWORD dwNewRowsetSize) {
  if (m_bOpen) ThrowFrameworkError(AFX_SQL_ERROR_ILLEGAL_MODE, "La taille du bloc se choisit avant l'ouverture.");
  m_dwRowsetSize = std::max<DWORD>(dwNewRowsetSize, 1);
}

void CRecordset::Move(long nRows, WORD wFetchType) {
  if (!m_bOpen) ThrowFrameworkError(AFX_SQL_ERROR_ILLEGAL_MODE, "Le jeu d'enregistrements n'est pas ouvert.");
  const long steps = wFetchType == SQL_FETCH_NEXT ? 1 : nRows;
  if (steps < 0)
    ThrowFrameworkError(AFX_SQL_ERROR_RECORDSET_FORWARD_ONLY, "Ce jeu d'enregistrements ne recule pas.");
  m_nEditMode = noMode;
  if (steps == 0) {
    if (!m_bEOF && m_bulkFields.empty()) GoTo(m_nCurrent);
    return;
  }
  if (m_bEOF) ThrowFrameworkError(AFX_SQL_ERROR_NO_DATA_FOUND, "Déplacement au-delà de la fin du jeu d'enregistrements.");
  m_bBOF = false;
  if (!m_bulkFields.empty()) {
    for (long i = 0; i < steps && !m_bEOF; ++i) FetchRowset(m_nRowsetFirst + m_dwRowsFetched);
    return;
  }
  for (long i = 0; i < steps && !m_bEOF; ++i) {
    std::size_t next = m_nCurrent + 1;
    while (next < m_rows->size() && m_rows->Deleted(next)) ++next;
    m_nCurrent = next;
    if (next >= m_rows->size()) m_bEOF = true;
  }
  if (!m_bEOF) LoadCurrent();
}
