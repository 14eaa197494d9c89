#include "platform/database.h"

#include "jetdb/jetdb.h"
#include "platform/connect_string.h"
#include "platform/interrupt.h"
#include "platform/odbc_installer.h"

namespace {

// The driver manager's own errors, before any driver is involved.
CDBException DriverManagerError(const char* state, const CString& message) {
  CString origin;
  origin.Format("State:%s,Native:0,Origin:[Gestionnaire de pilotes ODBC]", state);
  return CDBException(SQL_ERROR, message, origin);
}

}  // namespace

CDatabase::CDatabase() = default;

CDatabase::~CDatabase() { Close(); }

BOOL CDatabase::Open(LPCTSTR lpszDSN, BOOL /*bExclusive*/, BOOL bReadOnly, LPCTSTR lpszConnect,
                     BOOL /*bUseCursorLib*/) {
  CString connect = lpszConnect ? lpszConnect : "ODBC;";
  if (lpszDSN && *lpszDSN) {
    CString dsn;
    dsn.Format("DSN=%s;", lpszDSN);
    connect = connect.Left(5).CompareNoCase("ODBC;") == 0 ? CString("ODBC;") + dsn + connect.Mid(5)
                                                          : CString("ODBC;") + dsn + connect;
  }
  return OpenEx(connect, bReadOnly ? openReadOnly : 0);
}

BOOL CDatabase::OpenEx(LPCTSTR lpszConnectString, DWORD dwOptions) {
  Close();
  std::string connect = lpszConnectString ? lpszConnectString : "";
  const bool readOnly = (dwOptions & openReadOnly) != 0;
  const std::string dsn = ConnectStringValue(connect, "DSN").value_or("");
  const auto driver = ConnectStringValue(connect, "DRIVER");
  if (dsn.empty() && driver) {
    OpenFile(*driver, ConnectStringValue(connect, "DBQ").value_or(""), readOnly);
  } else {
    Connect(dsn, readOnly);
  }
  return TRUE;
}

void CDatabase::Connect(const std::string& dsn, bool readOnly) {
  auto entry = LookUpDataSource(dsn);
  if (!entry) {
    CString message;
    message.Format("Source de données « %s » introuvable et nom de pilote non spécifié", dsn.c_str());
    throw DriverManagerError("IM002", message);
  }
  if (CString(entry->driver).CompareNoCase(kAccessDriverName) != 0) {
    CString message;
    message.Format("Impossible de charger le pilote « %s » de la source de données « %s »",
                   entry->driver.c_str(), dsn.c_str());
    throw DriverManagerError("IM003", message);
  }
  OpenFile(entry->driver, entry->databaseFile, readOnly);
}

void CDatabase::OpenFile(const std::string& driver, const std::string& file, bool readOnly) {
  if (CString(driver).CompareNoCase(kAccessDriverName) != 0) {
    CString message;
    message.Format("Impossible de charger le pilote « %s »", driver.c_str());
    throw DriverManagerError("IM003", message);
  }
  jetdb::Error error;
  m_db = jetdb::Database::open(file, readOnly ? jetdb::OpenMode::ReadOnly : jetdb::OpenMode::Existing, error);
  if (!m_db) throw CDBException::FromDriver(error);
}

void CDatabase::BatchWrites(BOOL bBatch) {
  if (m_db && !m_db->setWriteBatching(bBatch != FALSE, jetdb::Database::BatchLimit::None)) throw CDBException::FromDriver(m_db->lastError());
}

void CDatabase::Close() {
  m_db.reset();
}

BOOL CDatabase::IsOpen() const { return m_db ? TRUE : FALSE; }

void CDatabase::ExecuteSQL(LPCTSTR lpszSQL) {
  if (!m_db) throw CDBException::FromFramework(AFX_SQL_ERROR_ILLEGAL_MODE, "La base de données n'est pas ouverte.");
  ThrowIfInterrupted();
  if (!m_db->execute(lpszSQL ? lpszSQL : "")) throw CDBException::FromDriver(m_db->lastError());
}

jetdb::Database& CDatabase::Driver() {
  if (!m_db) throw CDBException::FromFramework(AFX_SQL_ERROR_ILLEGAL_MODE, "La base de données n'est pas ouverte.");
  ThrowIfInterrupted();
  return *m_db;
}
