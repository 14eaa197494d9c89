#include "jetdb/jetdb.h"
#include "platform/database.h"

CDBException::CDBException(RETCODE nRetCode, CString strError, CString strStateNativeOrigin)
    : m_nRetCode(nRetCode), m_strError(std::move(strError)), m_strStateNativeOrigin(std::move(strStateNativeOrigin)) {}

CDBException CDBException::FromDriver(const jetdb::Error& error) {
  return CDBException(SQL_ERROR, CString(error.message), CString(error.stateNativeOrigin()));
}

CDBException CDBException::FromFramework(RETCODE nRetCode, const char* message) {
  return CDBException(nRetCode, CString(message), CString("State:HY000,Native:0,Origin:[MFC]"));
}
