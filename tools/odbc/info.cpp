// What the driver says of itself (SQLGetInfo) and which functions it has
// (SQLGetFunctions): tables, read by the entry points.
#include <algorithm>

#include "driver.h"

namespace tqodbc {
namespace {

// An answer of SQLGetInfo: a text, or a number of the width ODBC gives
// that information (SQLUSMALLINT or SQLUINTEGER).
struct Info {
  enum class Form { Text, Small, Word };
  SQLUSMALLINT id;
  Form form;
  const char* text;
  SQLUINTEGER number;
};
constexpr Info text(SQLUSMALLINT id, const char* t) { return {id, Info::Form::Text, t, 0}; }
constexpr Info small(SQLUSMALLINT id, SQLUINTEGER n) { return {id, Info::Form::Small, nullptr, n}; }
constexpr Info word(SQLUSMALLINT id, SQLUINTEGER n) { return {id, Info::Form::Word, nullptr, n}; }

// Every answer that does not depend on the connection.
constexpr Info kInfo[] = {
    text(SQL_DRIVER_NAME, "libtqodbc.so"),
    text(SQL_DRIVER_VER, "02.05.0003"),
    text(SQL_DRIVER_ODBC_VER, "03.51"),
    text(SQL_ODBC_VER, "03.52"),
    text(SQL_DBMS_NAME, "jetdb"),
    text(SQL_DBMS_VER, "02.05.0003"),
    text(SQL_SERVER_NAME, ""),
    text(SQL_USER_NAME, ""),
    text(SQL_IDENTIFIER_QUOTE_CHAR, "`"),
    text(SQL_SEARCH_PATTERN_ESCAPE, "\\"),
    text(SQL_CATALOG_NAME_SEPARATOR, "."),
    text(SQL_CATALOG_TERM, ""),
    text(SQL_SCHEMA_TERM, ""),
    text(SQL_TABLE_TERM, "table"),
    text(SQL_PROCEDURE_TERM, ""),
    text(SQL_CATALOG_NAME, "N"),
    text(SQL_ACCESSIBLE_TABLES, "Y"),
    text(SQL_ACCESSIBLE_PROCEDURES, "N"),
    text(SQL_PROCEDURES, "N"),
    text(SQL_DESCRIBE_PARAMETER, "Y"),
    text(SQL_MULT_RESULT_SETS, "N"),
    text(SQL_MULTIPLE_ACTIVE_TXN, "Y"),
    text(SQL_NEED_LONG_DATA_LEN, "N"),
    text(SQL_ROW_UPDATES, "N"),
    text(SQL_EXPRESSIONS_IN_ORDERBY, "Y"),
    text(SQL_COLUMN_ALIAS, "Y"),
    text(SQL_ORDER_BY_COLUMNS_IN_SELECT, "N"),
    text(SQL_OUTER_JOINS, "Y"),
    text(SQL_LIKE_ESCAPE_CLAUSE, "N"),
    text(SQL_MAX_ROW_SIZE_INCLUDES_LONG, "N"),
    text(SQL_INTEGRITY, "Y"),
    text(SQL_KEYWORDS, ""),
    text(SQL_SPECIAL_CHARACTERS, ""),
    text(SQL_COLLATION_SEQ, ""),
    text(SQL_DM_VER, ""),
    text(SQL_XOPEN_CLI_YEAR, "1995"),
    small(SQL_MAX_CATALOG_NAME_LEN, 0),
    small(SQL_MAX_SCHEMA_NAME_LEN, 0),
    small(SQL_MAX_PROCEDURE_NAME_LEN, 0),
    small(SQL_MAX_USER_NAME_LEN, 0),
    small(SQL_MAX_CURSOR_NAME_LEN, 0),
    small(SQL_MAX_TABLE_NAME_LEN, 64),
    small(SQL_MAX_COLUMN_NAME_LEN, 64),
    small(SQL_MAX_COLUMNS_IN_TABLE, 255),
    small(SQL_MAX_COLUMNS_IN_SELECT, 255),
    small(SQL_MAX_COLUMNS_IN_INDEX, 10),
    small(SQL_MAX_CONCURRENT_ACTIVITIES, 0),
    small(SQL_MAX_DRIVER_CONNECTIONS, 0),
    small(SQL_MAX_IDENTIFIER_LEN, 64),
    small(SQL_TXN_CAPABLE, SQL_TC_ALL),
    small(SQL_CURSOR_COMMIT_BEHAVIOR, SQL_CB_PRESERVE),
    small(SQL_CURSOR_ROLLBACK_BEHAVIOR, SQL_CB_CLOSE),
    small(SQL_CONCAT_NULL_BEHAVIOR, SQL_CB_NON_NULL),
    small(SQL_NULL_COLLATION, SQL_NC_LOW),
    small(SQL_IDENTIFIER_CASE, SQL_IC_MIXED),
    small(SQL_QUOTED_IDENTIFIER_CASE, SQL_IC_MIXED),
    small(SQL_CORRELATION_NAME, SQL_CN_ANY),
    small(SQL_NON_NULLABLE_COLUMNS, SQL_NNC_NON_NULL),
    small(SQL_GROUP_BY, SQL_GB_GROUP_BY_CONTAINS_SELECT),
    small(SQL_FILE_USAGE, SQL_FILE_NOT_SUPPORTED),
    small(SQL_ODBC_API_CONFORMANCE, SQL_OAC_LEVEL1),
    small(SQL_ODBC_SQL_CONFORMANCE, SQL_OSC_MINIMUM),
    small(SQL_ODBC_SAG_CLI_CONFORMANCE, SQL_OSCC_COMPLIANT),
    small(SQL_ACTIVE_ENVIRONMENTS, 0),
    word(SQL_TXN_ISOLATION_OPTION, SQL_TXN_READ_COMMITTED),
    word(SQL_DEFAULT_TXN_ISOLATION, SQL_TXN_READ_COMMITTED),
    word(SQL_GETDATA_EXTENSIONS, SQL_GD_ANY_COLUMN | SQL_GD_ANY_ORDER | SQL_GD_BOUND),
    word(SQL_SCROLL_OPTIONS, SQL_SO_FORWARD_ONLY),
    word(SQL_SCROLL_CONCURRENCY, SQL_SCCO_READ_ONLY),
    word(SQL_FORWARD_ONLY_CURSOR_ATTRIBUTES1, SQL_CA1_NEXT),
    word(SQL_FORWARD_ONLY_CURSOR_ATTRIBUTES2, SQL_CA2_READ_ONLY_CONCURRENCY | SQL_CA2_MAX_ROWS_SELECT),
    word(SQL_STATIC_CURSOR_ATTRIBUTES1, 0),
    word(SQL_STATIC_CURSOR_ATTRIBUTES2, 0),
    word(SQL_DYNAMIC_CURSOR_ATTRIBUTES1, 0),
    word(SQL_DYNAMIC_CURSOR_ATTRIBUTES2, 0),
    word(SQL_KEYSET_CURSOR_ATTRIBUTES1, 0),
    word(SQL_KEYSET_CURSOR_ATTRIBUTES2, 0),
    word(SQL_CURSOR_SENSITIVITY, SQL_UNSPECIFIED),
    word(SQL_ODBC_INTERFACE_CONFORMANCE, SQL_OIC_CORE),
    word(SQL_SQL_CONFORMANCE, SQL_SC_SQL92_ENTRY),
    word(SQL_CATALOG_USAGE, 0),
    word(SQL_SCHEMA_USAGE, 0),
    small(SQL_CATALOG_LOCATION, 0),
    word(SQL_BATCH_SUPPORT, 0),
    word(SQL_BATCH_ROW_COUNT, 0),
    word(SQL_PARAM_ARRAY_ROW_COUNTS, SQL_PARC_NO_BATCH),
    word(SQL_PARAM_ARRAY_SELECTS, SQL_PAS_NO_SELECT),
    word(SQL_BOOKMARK_PERSISTENCE, 0),
    word(SQL_LOCK_TYPES, 0),
    word(SQL_POS_OPERATIONS, 0),
    word(SQL_POSITIONED_STATEMENTS, 0),
    word(SQL_STATIC_SENSITIVITY, 0),
    word(SQL_ASYNC_MODE, 0),
    word(SQL_MAX_ASYNC_CONCURRENT_STATEMENTS, 0),
    word(SQL_TIMEDATE_ADD_INTERVALS, 0),
    word(SQL_TIMEDATE_DIFF_INTERVALS, 0),
    word(SQL_SYSTEM_FUNCTIONS, 0),
    word(SQL_NUMERIC_FUNCTIONS, 0),
    word(SQL_STRING_FUNCTIONS, 0),
    word(SQL_TIMEDATE_FUNCTIONS, 0),
    word(SQL_CONVERT_FUNCTIONS, 0),
    word(SQL_DATETIME_LITERALS, 0),
    word(SQL_SUBQUERIES, 0),
    word(SQL_UNION, 0),
    word(SQL_ALTER_TABLE, 0),
    word(SQL_DROP_TABLE, 0),
    word(SQL_INDEX_KEYWORDS, 0),
    word(SQL_INFO_SCHEMA_VIEWS, 0),
    word(SQL_AGGREGATE_FUNCTIONS, 0),
    word(SQL_SQL92_PREDICATES, 0),
    word(SQL_SQL92_RELATIONAL_JOIN_OPERATORS, 0),
    word(SQL_OJ_CAPABILITIES, SQL_OJ_LEFT | SQL_OJ_RIGHT | SQL_OJ_NOT_ORDERED),
    word(SQL_MAX_STATEMENT_LEN, 0),
    word(SQL_MAX_ROW_SIZE, 0),
    word(SQL_MAX_CHAR_LITERAL_LEN, 0),
    word(SQL_MAX_BINARY_LITERAL_LEN, 0),
    word(SQL_MAX_INDEX_SIZE, 0),
    small(SQL_MAX_TABLES_IN_SELECT, 0),
    small(SQL_MAX_COLUMNS_IN_GROUP_BY, 0),
    small(SQL_MAX_COLUMNS_IN_ORDER_BY, 0),
    word(SQL_CONVERT_BIGINT, 0),
    word(SQL_CONVERT_BINARY, 0),
    word(SQL_CONVERT_BIT, 0),
    word(SQL_CONVERT_CHAR, 0),
    word(SQL_CONVERT_DATE, 0),
    word(SQL_CONVERT_DECIMAL, 0),
    word(SQL_CONVERT_DOUBLE, 0),
    word(SQL_CONVERT_FLOAT, 0),
    word(SQL_CONVERT_INTEGER, 0),
    word(SQL_CONVERT_LONGVARCHAR, 0),
    word(SQL_CONVERT_NUMERIC, 0),
    word(SQL_CONVERT_REAL, 0),
    word(SQL_CONVERT_SMALLINT, 0),
    word(SQL_CONVERT_TIMESTAMP, 0),
    word(SQL_CONVERT_TINYINT, 0),
    word(SQL_CONVERT_VARCHAR, 0),
    word(SQL_CONVERT_WCHAR, 0),
    word(SQL_CONVERT_WVARCHAR, 0),
    word(SQL_CONVERT_WLONGVARCHAR, 0),
};

}  // namespace

SQLRETURN getInfo(Conn& c, SQLUSMALLINT info, bool wide, SQLPOINTER value, SQLSMALLINT capacity, SQLSMALLINT* length) {
  auto putText = [&](const std::string& t) { return putText16(c, t, wide, value, capacity, true, length); };
  // What the connection itself says.
  switch (info) {
    case SQL_DATA_SOURCE_NAME:
      return putText(c.dsn);
    case SQL_DATABASE_NAME:
      return putText(c.path);
    case SQL_DATA_SOURCE_READ_ONLY:
      return putText(c.readOnly ? "Y" : "N");
    default:
      break;
  }
  const Info* found = std::find_if(std::begin(kInfo), std::end(kInfo), [&](const Info& i) { return i.id == info; });
  if (found == std::end(kInfo))
    return c.fail("HY096", "Type d'information non reconnu (" + std::to_string(info) + ").");
  auto put = [&](auto v) {
    if (value) *static_cast<decltype(v)*>(value) = v;
    if (length) *length = sizeof v;
    return SQL_SUCCESS;
  };
  switch (found->form) {
    case Info::Form::Text:
      return putText(found->text);
    case Info::Form::Small:
      return put(static_cast<SQLUSMALLINT>(found->number));
    case Info::Form::Word:
      return put(static_cast<SQLUINTEGER>(found->number));
  }
  return SQL_ERROR;
}

}  // namespace tqodbc

using namespace tqodbc;

extern "C" {

SQLRETURN SQL_API SQLGetInfo(SQLHDBC dbc, SQLUSMALLINT info, SQLPOINTER value, SQLSMALLINT capacity,
                             SQLSMALLINT* length) {
  CONNECTION(dbc);
  return c->lastReturn = getInfo(*c, info, false, value, capacity, length);
}

SQLRETURN SQL_API SQLGetFunctions(SQLHDBC dbc, SQLUSMALLINT function, SQLUSMALLINT* supported) {
  CONNECTION(dbc);
  if (!supported) return c->fail("HY009", "Pointeur nul pour la réponse.");
  static const SQLUSMALLINT kFunctions[] = {
      SQL_API_SQLALLOCHANDLE,   SQL_API_SQLFREEHANDLE,   SQL_API_SQLFREESTMT,       SQL_API_SQLSETENVATTR,
      SQL_API_SQLGETENVATTR,    SQL_API_SQLCONNECT,      SQL_API_SQLDRIVERCONNECT,  SQL_API_SQLDISCONNECT,
      SQL_API_SQLGETINFO,       SQL_API_SQLGETFUNCTIONS, SQL_API_SQLSETCONNECTATTR, SQL_API_SQLGETCONNECTATTR,
      SQL_API_SQLSETSTMTATTR,   SQL_API_SQLGETSTMTATTR,  SQL_API_SQLENDTRAN,        SQL_API_SQLPREPARE,
      SQL_API_SQLEXECUTE,       SQL_API_SQLEXECDIRECT,   SQL_API_SQLBINDPARAMETER,  SQL_API_SQLNUMPARAMS,
      SQL_API_SQLNUMRESULTCOLS, SQL_API_SQLDESCRIBECOL,  SQL_API_SQLCOLATTRIBUTE,   SQL_API_SQLBINDCOL,
      SQL_API_SQLFETCH,         SQL_API_SQLFETCHSCROLL,  SQL_API_SQLGETDATA,        SQL_API_SQLROWCOUNT,
      SQL_API_SQLMORERESULTS,   SQL_API_SQLCLOSECURSOR,  SQL_API_SQLCANCEL,         SQL_API_SQLTABLES,
      SQL_API_SQLCOLUMNS,       SQL_API_SQLPRIMARYKEYS,  SQL_API_SQLFOREIGNKEYS,    SQL_API_SQLSTATISTICS,
      SQL_API_SQLGETTYPEINFO,   SQL_API_SQLGETDIAGREC,   SQL_API_SQLGETDIAGFIELD,   SQL_API_SQLNATIVESQL,
      SQL_API_SQLPARAMDATA,     SQL_API_SQLPUTDATA,      SQL_API_SQLDESCRIBEPARAM,
  };
  if (function == SQL_API_ODBC3_ALL_FUNCTIONS) {
    std::fill(supported, supported + SQL_API_ODBC3_ALL_FUNCTIONS_SIZE, 0);
    for (SQLUSMALLINT f : kFunctions) supported[f >> 4] |= static_cast<SQLUSMALLINT>(1 << (f & 0xF));
  } else if (function == SQL_API_ALL_FUNCTIONS) {
    std::fill(supported, supported + 100, 0);
    for (SQLUSMALLINT f : kFunctions)
      if (f < 100) supported[f] = SQL_TRUE;
  } else {
    *supported = SQL_FALSE;
    for (SQLUSMALLINT f : kFunctions)
      if (f == function) *supported = SQL_TRUE;
  }
  return SQL_SUCCESS;
}

}  // extern "C"
