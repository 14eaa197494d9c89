// Contract: CDatabase and CDBException, the framework's database connection
// and its error, over our jetdb driver.
//
// What the system may rely on:
//  - CDatabase::OpenEx("ODBC;DSN=TQ2TMP;UID=admin;PWD=qlvm7;") and
//    Open("TQ2TMP", ...) look the data source up among the registered user
//    data sources (odbc_installer.h) and open its "DBQ" file through the
//    driver. They return TRUE or throw CDBException: an unknown data source
//    gives state IM002, a data source of another driver IM003, a file the
//    driver cannot open the driver's own error. UID and PWD are accepted and
//    not checked (the driver has no users).
//  - A connect string without DSN that names the driver opens the file of
//    its "DBQ" pair directly, as ODBC's DSN-less connections do:
//    "ODBC;DRIVER={Microsoft Access Driver (*.mdb)};DBQ=/data/base.mdb;"
//    (braces keep a ';' of the path). Nothing is registered, so a caller
//    that must leave the user's data-source file alone reads this way.
//    Another driver name gives state IM003.
//  - Open(dsn, bExclusive, TRUE) and OpenEx(connect, openReadOnly) open
//    the file read-only through the driver: nothing is written to it or
//    beside it, and every write through the connection (ExecuteSQL of
//    anything but a SELECT, a record set's Update or Delete) throws
//    the driver's read-only error, state HY000, native 3027.
//  - ExecuteSQL(sql) runs one statement and throws CDBException with the
//    driver's error when the driver refuses it.
//  - Close() closes the connection; IsOpen() tells whether it is open;
//    the destructor closes a connection left open.
//  - CDBException is thrown by value and caught by reference
//    (`catch (CDBException& e)`); there is nothing to Delete.
//    m_strError is the driver's message, m_strStateNativeOrigin is
//    "State:42S21,Native:-1508,Origin:[jetdb][Pilote Access]"; neither ends
//    with a line feed, so the journal's "ERREUR : %s\n%s\n" gives two lines.
//    m_nRetCode is SQL_ERROR for errors of the driver, of the driver
//    manager and for values that do not fit their member (states 07006,
//    22001, 22003, origin "[MFC]"); misuse of a record set (no current
//    record, read-only, already open ...) gives one of the AFX_SQL_ERROR_
//    codes below with state "HY000", native 0, origin "[MFC]".
//  - Messages of the driver manager and the framework are in French, like
//    the driver's and the rest of the journal.
// Differences: one connection per CDatabase with no transactions, no
// timeouts, no exclusive mode (bExclusive is ignored: the driver has none).
// Record sets must be closed before the database they use.
#pragma once

#include <memory>
#include <string>

#include "platform/text.h"
#include "platform/types.h"

namespace jetdb {
class Database;
struct Error;
}  // namespace jetdb

using RETCODE = short;
inline constexpr RETCODE SQL_ERROR = -1;

// Errors that the framework finds itself (m_nRetCode); the names are the
// original's, the values ours.
inline constexpr RETCODE AFX_SQL_ERROR = 1000;
inline constexpr RETCODE AFX_SQL_ERROR_NO_CURRENT_RECORD = AFX_SQL_ERROR + 11;
inline constexpr RETCODE AFX_SQL_ERROR_RECORDSET_FORWARD_ONLY = AFX_SQL_ERROR + 14;
inline constexpr RETCODE AFX_SQL_ERROR_RECORDSET_READONLY = AFX_SQL_ERROR + 17;
inline constexpr RETCODE AFX_SQL_ERROR_NO_DATA_FOUND = AFX_SQL_ERROR + 20;
inline constexpr RETCODE AFX_SQL_ERROR_ILLEGAL_MODE = AFX_SQL_ERROR + 26;
inline constexpr RETCODE AFX_SQL_ERROR_FIELD_SCHEMA_MISMATCH = AFX_SQL_ERROR + 8;

class CDBException {
 public:
  CDBException(RETCODE nRetCode, CString strError, CString strStateNativeOrigin);
  // An error of the driver.
  static CDBException FromDriver(const jetdb::Error& error);
  // An error found by the framework itself.
  static CDBException FromFramework(RETCODE nRetCode, const char* message);

  RETCODE m_nRetCode;
  CString m_strError;
  CString m_strStateNativeOrigin;
};

class CDatabase {
 public:
  CDatabase();
  virtual ~CDatabase();
  CDatabase(const CDatabase&) = delete;
  CDatabase& operator=(const CDatabase&) = delete;

  enum { openReadOnly = 0x0001, useCursorLib = 0x0002, noOdbcDialog = 0x0004, forceOdbcDialog = 0x0008 };

  // lpszDSN, when given, names the data source in place of a DSN of
  // lpszConnect.
  virtual BOOL Open(LPCTSTR lpszDSN, BOOL bExclusive = FALSE, BOOL bReadOnly = FALSE,
                    LPCTSTR lpszConnect = "ODBC;", BOOL bUseCursorLib = TRUE);
  virtual BOOL OpenEx(LPCTSTR lpszConnectString, DWORD dwOptions = 0);
  virtual void Close();
  BOOL IsOpen() const;

  void ExecuteSQL(LPCTSTR lpszSQL);

  // Not in the original. While on, the connection's writes are committed
  // as one batch (see jetdb::Database::setWriteBatching, BatchLimit::None),
  // at a definition statement and when batching is turned off: other
  // connections see them only then, at the latest when this one closes. For
  // a connection that is the only one on its file while it writes. Turning
  // it off commits the batch, and throws the driver's error when the
  // commit fails: the batch's writes are then undone.
  void BatchWrites(BOOL bBatch);

  // The driver's connection, for the record sets; only while open.
  jetdb::Database& Driver();

 private:
  void Connect(const std::string& dsn, bool readOnly);
  void OpenFile(const std::string& driver, const std::string& file, bool readOnly);

  std::unique_ptr<jetdb::Database> m_db;
};
