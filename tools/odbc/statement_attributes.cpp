// The attributes of a statement: block size and binding, parameter sets,
// limits, and the cursor, which goes forward only.
#include <cstdint>

#include "driver.h"

namespace tqodbc {

SQLRETURN getStmtAttr(Stmt& s, SQLINTEGER attr, SQLPOINTER value) {
  if (!value) return s.fail("HY009", "Pointeur nul pour la valeur de l'attribut.");
  auto put = [&](SQLULEN v) {
    *static_cast<SQLULEN*>(value) = v;
    return SQL_SUCCESS;
  };
  auto ptr = [&](void* p) {
    *static_cast<SQLPOINTER*>(value) = p;
    return SQL_SUCCESS;
  };
  switch (attr) {
    case SQL_ATTR_APP_ROW_DESC:
      return ptr(s.ard);
    case SQL_ATTR_APP_PARAM_DESC:
      return ptr(s.apd);
    case SQL_ATTR_IMP_ROW_DESC:
      return ptr(s.ird);
    case SQL_ATTR_IMP_PARAM_DESC:
      return ptr(s.ipd);
    case SQL_ATTR_ROW_ARRAY_SIZE:
    case SQL_ROWSET_SIZE:
      return put(s.rowArraySize);
    case SQL_ATTR_ROW_BIND_TYPE:
      return put(s.rowBindType);
    case SQL_ATTR_ROWS_FETCHED_PTR:
      return ptr(s.rowsFetchedPtr);
    case SQL_ATTR_ROW_STATUS_PTR:
      return ptr(s.rowStatusPtr);
    case SQL_ATTR_ROW_BIND_OFFSET_PTR:
      return ptr(s.rowBindOffsetPtr);
    case SQL_ATTR_PARAMSET_SIZE:
      return put(s.paramsetSize);
    case SQL_ATTR_PARAMS_PROCESSED_PTR:
      return ptr(s.paramsProcessedPtr);
    case SQL_ATTR_PARAM_STATUS_PTR:
      return ptr(s.paramStatusPtr);
    case SQL_ATTR_PARAM_BIND_TYPE:
      return put(s.paramBindType);
    case SQL_ATTR_PARAM_BIND_OFFSET_PTR:
      return ptr(s.paramBindOffsetPtr);
    case SQL_ATTR_MAX_ROWS:
      return put(s.maxRows);
    case SQL_ATTR_MAX_LENGTH:
      return put(s.maxLength);
    case SQL_ATTR_QUERY_TIMEOUT:
      return put(s.queryTimeout);
    case SQL_ATTR_NOSCAN:
      return put(s.noscan);
    case SQL_ATTR_CURSOR_TYPE:
      return put(SQL_CURSOR_FORWARD_ONLY);
    case SQL_ATTR_CONCURRENCY:
      return put(SQL_CONCUR_READ_ONLY);
    case SQL_ATTR_CURSOR_SCROLLABLE:
      return put(SQL_NONSCROLLABLE);
    case SQL_ATTR_CURSOR_SENSITIVITY:
      return put(SQL_UNSPECIFIED);
    case SQL_ATTR_ASYNC_ENABLE:
      return put(SQL_ASYNC_ENABLE_OFF);
    case SQL_ATTR_RETRIEVE_DATA:
      return put(SQL_RD_ON);
    case SQL_ATTR_USE_BOOKMARKS:
      return put(SQL_UB_OFF);
    case SQL_ATTR_ENABLE_AUTO_IPD:
      return put(SQL_FALSE);
    case SQL_ATTR_ROW_NUMBER:
      return put(s.onRow ? s.fetched : 0);
    default:
      return s.fail("HY092", "Attribut d'instruction non reconnu (" + std::to_string(attr) + ").");
  }
}

SQLRETURN setStmtAttr(Stmt& s, SQLINTEGER attr, SQLPOINTER value) {
  auto number = static_cast<SQLULEN>(reinterpret_cast<std::uintptr_t>(value));
  auto changed = [&](const char* what) {
    s.warn("01S02", std::string("Valeur d'option modifiée : ") + what + ".");
    return SQL_SUCCESS_WITH_INFO;
  };
  switch (attr) {
    case SQL_ATTR_ROW_ARRAY_SIZE:
    case SQL_ROWSET_SIZE:
      if (number == 0) return s.fail("HY024", "Taille de bloc nulle.");
      s.rowArraySize = number;
      return SQL_SUCCESS;
    case SQL_ATTR_ROW_BIND_TYPE:
      s.rowBindType = number;
      return SQL_SUCCESS;
    case SQL_ATTR_ROWS_FETCHED_PTR:
      s.rowsFetchedPtr = static_cast<SQLULEN*>(value);
      return SQL_SUCCESS;
    case SQL_ATTR_ROW_STATUS_PTR:
      s.rowStatusPtr = static_cast<SQLUSMALLINT*>(value);
      return SQL_SUCCESS;
    case SQL_ATTR_ROW_BIND_OFFSET_PTR:
      s.rowBindOffsetPtr = static_cast<SQLLEN*>(value);
      return SQL_SUCCESS;
    case SQL_ATTR_PARAMSET_SIZE:
      if (number == 0) return s.fail("HY024", "Nombre de jeux de paramètres nul.");
      s.paramsetSize = number;
      return SQL_SUCCESS;
    case SQL_ATTR_PARAM_BIND_OFFSET_PTR:
      s.paramBindOffsetPtr = static_cast<SQLLEN*>(value);
      return SQL_SUCCESS;
    case SQL_ATTR_PARAMS_PROCESSED_PTR:
      s.paramsProcessedPtr = static_cast<SQLULEN*>(value);
      return SQL_SUCCESS;
    case SQL_ATTR_PARAM_STATUS_PTR:
      s.paramStatusPtr = static_cast<SQLUSMALLINT*>(value);
      return SQL_SUCCESS;
    case SQL_ATTR_PARAM_BIND_TYPE:
      s.paramBindType = number;
      return SQL_SUCCESS;
    case SQL_ATTR_MAX_ROWS:
      s.maxRows = number;
      return SQL_SUCCESS;
    case SQL_ATTR_MAX_LENGTH:
      s.maxLength = number;
      return SQL_SUCCESS;
    case SQL_ATTR_QUERY_TIMEOUT:
      s.queryTimeout = number;
      return SQL_SUCCESS;
    case SQL_ATTR_NOSCAN:
      s.noscan = number;
      return SQL_SUCCESS;
    case SQL_ATTR_CURSOR_TYPE:
      if (number != SQL_CURSOR_FORWARD_ONLY) return changed("curseur en avant seulement");
      return SQL_SUCCESS;
    case SQL_ATTR_CONCURRENCY:
      if (number != SQL_CONCUR_READ_ONLY) return changed("curseur en lecture seule");
      return SQL_SUCCESS;
    case SQL_ATTR_CURSOR_SCROLLABLE:
      if (number != SQL_NONSCROLLABLE) return s.fail("HYC00", "Les curseurs vont en avant seulement.");
      return SQL_SUCCESS;
    case SQL_ATTR_CURSOR_SENSITIVITY:
    case SQL_ATTR_ASYNC_ENABLE:
    case SQL_ATTR_RETRIEVE_DATA:
    case SQL_ATTR_USE_BOOKMARKS:
    case SQL_ATTR_ENABLE_AUTO_IPD:
      return SQL_SUCCESS;
    default:
      return s.fail("HY092", "Attribut d'instruction non reconnu (" + std::to_string(attr) + ").");
  }
}

}  // namespace tqodbc

using namespace tqodbc;

extern "C" {

SQLRETURN SQL_API SQLGetStmtAttr(SQLHSTMT stmt, SQLINTEGER attr, SQLPOINTER value, SQLINTEGER, SQLINTEGER*) {
  STATEMENT(stmt);
  return s->lastReturn = getStmtAttr(*s, attr, value);
}

SQLRETURN SQL_API SQLSetStmtAttr(SQLHSTMT stmt, SQLINTEGER attr, SQLPOINTER value, SQLINTEGER) {
  STATEMENT(stmt);
  return s->lastReturn = setStmtAttr(*s, attr, value);
}

}  // extern "C"
