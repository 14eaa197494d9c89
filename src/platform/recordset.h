// Contract: CRecordset, CFieldExchange and the RFX_ exchange functions, the
// framework's record sets over our jetdb driver, as the system uses them.
//
// What the system may rely on:
//  - A set constructed with a null database, or with one that is not open,
//    opens its own CDatabase from GetDefaultConnect() at Open, exposes it
//    through m_pDatabase while it is open and closes it at Close (m_pDatabase
//    then points again at what the constructor got). A set given an open
//    database works on it. Opened with the option readOnly, a set that
//    opens its own database opens it read-only (see database.h).
//  - Open(type, sql, options) sends "SELECT <bound columns in binding order>
//    FROM <sql or GetDefaultSQL()> [WHERE m_strFilter] [ORDER BY m_strSort]"
//    and keeps every row with its identity: a snapshot, whatever the type.
//    Requery sends it again with the filter and sort of the moment. The rows
//    are those of the last Open or Requery; rows that other sets add later
//    are not seen, rows that this set deletes are passed over.
//  - m_nFields must equal the number of columns that the exchange binds;
//    a bound column that the table lacks makes Open throw the driver's error.
//  - Edit, then Update writes to the current row, by its identity, only the
//    fields whose member changed since Edit. AddNew puts a pseudo-null into
//    every member; Update inserts a row with every member that was assigned
//    since, 0 and empty texts included; members still holding their
//    pseudo-null stay Null. Update returns FALSE, writing nothing, when no
//    field changed. After Update the set is on the same row of its snapshot,
//    which shows the edited values; after AddNew/Update its members hold the
//    current row again. SetFieldDirty and SetFieldNull force a field to be
//    written, or written as Null, by the next Update.
//  - Every bound field has a Null status, as the original's sets have: a
//    Null read gives 0, FALSE, 0.0, an empty text or CTime(0) with the
//    status set; AddNew sets it on every field; SetFieldNull(TRUE) sets it
//    and writes Null at the next Update (AddNew included); SetFieldNull(
//    FALSE) clears it, and after Edit writes the member even when it equals
//    what the Null was read as. IsFieldNull tells the status. A Null left
//    unchanged is not written back by Update. CopyField copies a field with
//    its status, so that a copied row keeps its Nulls and a value overwrites
//    a Null.
//  - Delete removes the current row at once; MoveNext goes on to the next.
//  - Errors arrive as CDBException: the driver's when it refuses a
//    statement or a write, the framework's for a move past the end, an edit
//    without a current row, a write on a read-only set, a value that does
//    not fit its member (see field_value.h).
//  - With the option useMultiRowFetch the set binds with
//    DoBulkFieldExchange, allocates the arrays of RFX_Long_Bulk and
//    RFX_Bool_Bulk itself (25 rows unless SetRowsetSize says
//    otherwise), fetches a rowset at Open, Requery and every
//    Move(1, SQL_FETCH_NEXT), and tells its size with GetRowsFetched().
//    Such a set opened forwardOnly and readOnly is the one exception to the
//    snapshot: it takes each rowset from the driver as it moves, so that a
//    read of a million rows holds one rowset, not a million. Rows written
//    on its database while it is open may or may not be seen; a driver
//    error met on the way is thrown by the Move that meets it.
// Differences from the original: every set is a snapshot (dynaset and
// dynamic behave like it) that only moves forward; there are no parameters
// or bookmarks; CTime is the only date member.
#pragma once

#include <memory>
#include <vector>

#include "platform/database.h"
#include "platform/db_time.h"
#include "platform/field_binding.h"
#include "platform/text.h"
#include "platform/types.h"

namespace jetdb {
struct Value;
class Query;
}

inline constexpr UINT AFX_DB_USE_DEFAULT_TYPE = 0xFFFFFFFF;
inline constexpr WORD SQL_FETCH_NEXT = 1;
inline constexpr WORD SQL_FETCH_RELATIVE = 6;
inline constexpr int SQL_VARCHAR = 12;
inline constexpr LONG SQL_NULL_DATA = -1;

class CRecordset;

class CFieldExchange {
 public:
  enum FieldType { noFieldType = -1, outputColumn = 0, param = 1 };

  void SetFieldType(UINT nFieldType) { m_nFieldType = nFieldType; }

  // Used by the exchange functions.
  void BindField(const char* column, rfx::FieldKind kind, void* member, int maxLength = 0);
  void BindBulkField(const char* column, rfx::BulkKind kind, LONG** values, LONG** lengths);

  UINT m_nFieldType = static_cast<UINT>(noFieldType);

 private:
  friend class CRecordset;
  std::vector<rfx::FieldBinding> m_fields;
  std::vector<rfx::BulkBinding> m_bulkFields;
};

void RFX_Long(CFieldExchange* pFX, LPCTSTR szName, LONG& value);
void RFX_Int(CFieldExchange* pFX, LPCTSTR szName, int& value);
void RFX_Byte(CFieldExchange* pFX, LPCTSTR szName, BYTE& value);
void RFX_Bool(CFieldExchange* pFX, LPCTSTR szName, BOOL& value);
void RFX_Double(CFieldExchange* pFX, LPCTSTR szName, double& value);
void RFX_Date(CFieldExchange* pFX, LPCTSTR szName, CTime& value);
void RFX_Text(CFieldExchange* pFX, LPCTSTR szName, CString& value, int nMaxLength = 255,
              int nColumnType = SQL_VARCHAR, short nScale = 0);
void RFX_Long_Bulk(CFieldExchange* pFX, LPCTSTR szName, LONG** prgLongVals, LONG** prgLengths);
void RFX_Bool_Bulk(CFieldExchange* pFX, LPCTSTR szName, BOOL** prgBoolVals, LONG** prgLengths);

class CRecordset {
 public:
  enum OpenType { dynaset, snapshot, forwardOnly, dynamic };
  enum OpenOptions : DWORD {
    none = 0x0,
    readOnly = 0x0004,
    appendOnly = 0x0008,
    skipDeletedRecords = 0x0010,
    noDirtyFieldCheck = 0x0020,
    useBookmarks = 0x0100,
    useMultiRowFetch = 0x0200,
  };
  enum EditMode { noMode, edit, addnew };
  static constexpr DWORD kDefaultRowsetSize = 25;

  explicit CRecordset(CDatabase* pDatabase = nullptr);
  virtual ~CRecordset();
  CRecordset(const CRecordset&) = delete;
  CRecordset& operator=(const CRecordset&) = delete;

  virtual BOOL Open(UINT nOpenType = AFX_DB_USE_DEFAULT_TYPE, LPCTSTR lpszSQL = nullptr, DWORD dwOptions = none);
  virtual void Close();
  virtual BOOL Requery();
  BOOL IsOpen() const;
  BOOL IsEOF() const;
  BOOL IsBOF() const;

  void MoveNext() { Move(1, SQL_FETCH_NEXT); }
  virtual void Move(long nRows, WORD wFetchType = SQL_FETCH_RELATIVE);

  virtual void AddNew();
  virtual void Edit();
  virtual BOOL Update();
  virtual void Delete();
  void CancelUpdate();

  BOOL IsFieldNull(const void* pv) const;
  // pv null means every field.
  void SetFieldNull(void* pv, BOOL bNull = TRUE);
  void SetFieldDirty(void* pv, BOOL bDirty = TRUE);

  void SetRowsetSize(DWORD dwNewRowsetSize);
  DWORD GetRowsFetched() const { return m_dwRowsFetched; }

  // The SELECT statement of the last Open or Requery.
  const CString& GetSQL() const { return m_strSQL; }

  virtual CString GetDefaultConnect();
  virtual CString GetDefaultSQL();
  virtual void DoFieldExchange(CFieldExchange* pFX);
  virtual void DoBulkFieldExchange(CFieldExchange* pFX);

  CString m_strFilter;
  CString m_strSort;
  CDatabase* m_pDatabase;
  UINT m_nFields = 0;
  UINT m_nParams = 0;
  UINT m_nDefaultType = snapshot;

 private:
  class RowStore;
  struct FieldState;

  void EnsureDatabase();
  void Bind();
  CString SelectOfBinding() const;
  void RunQuery();
  void FetchRowset(std::size_t first);
  void GoTo(std::size_t row);
  void LoadCurrent();
  std::size_t CurrentRowForChange(const char* operation);
  void RequireUpdatable() const;
  static std::string ColumnName(const std::string& column);
  BOOL InsertNew();
  BOOL WriteChanges();
  FieldState* StateOf(const void* pv);
  const FieldState* StateOf(const void* pv) const;

  CDatabase* m_pGivenDatabase;
  std::unique_ptr<CDatabase> m_pOwnDatabase;
  bool m_bOpen = false;
  UINT m_nOpenType = snapshot;
  DWORD m_dwOptions = none;
  CString m_strSource;  // what follows FROM
  std::string m_table;  // the table written to; empty when not updatable
  CString m_strSelect;  // the query without its filter and sort
  CString m_strSQL;
  EditMode m_nEditMode = noMode;

  std::vector<rfx::FieldBinding> m_fields;
  std::vector<std::string> m_names;  // each field's bare column name, as the driver's writes take it
  std::vector<FieldState> m_state;
  std::vector<rfx::BulkBinding> m_bulkFields;
  std::vector<std::vector<LONG>> m_bulkBuffers;  // values then lengths, per column
  DWORD m_dwRowsetSize = kDefaultRowsetSize;
  DWORD m_dwRowsFetched = 0;

  std::unique_ptr<RowStore> m_rows;
  // A streaming set's query, until it has given its last row.
  bool m_bStreaming = false;
  std::unique_ptr<jetdb::Query> m_stream;
  std::vector<jetdb::Value> m_current;  // the values of the row last unpacked
  std::size_t m_nCurrent = 0;  // index in m_rows; m_rows->size() at the end
  std::size_t m_nRowsetFirst = 0;
  bool m_bBOF = true;
  bool m_bEOF = true;
};

// Copies one bound field of the current row of `from` to the same field of
// the row being written in `to`, with its Null status: a Null arrives as
// Null, a value overwrites a Null.
template <class T>
void CopyField(const CRecordset& from, const T& source, CRecordset& to, T& target) {
  if (from.IsFieldNull(&source)) {
    to.SetFieldNull(&target);
    return;
  }
  target = source;
  to.SetFieldNull(&target, FALSE);
}

// The same for several fields of two sets of one class, named by member.
template <class Set, class... T>
void CopyFields(const Set& from, Set& to, T Set::*... members) {
  (CopyField(from, from.*members, to, to.*members), ...);
}
