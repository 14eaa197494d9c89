// The catalog entry points and the wide (UTF-16) twins of every entry point
// that takes or gives text; both forward to the same implementations.
#include "driver.h"

using namespace tqodbc;

namespace {

Name nameOf(SQLCHAR* p, SQLSMALLINT n) { return p ? Name(fromNarrow(p, n)) : std::nullopt; }
Name nameOf(SQLWCHAR* p, SQLSMALLINT n) { return p ? Name(fromWide(p, n)) : std::nullopt; }

}  // namespace

extern "C" {

// ---- catalog ----------------------------------------------------------------

#define CATALOG_FUNCTIONS(CH)                                                                                         \
  SQLRETURN SQL_API SQLTABLES(SQLHSTMT stmt, CH* cat, SQLSMALLINT catN, CH* sch, SQLSMALLINT schN, CH* tab,           \
                              SQLSMALLINT tabN, CH* typ, SQLSMALLINT typN) {                                          \
    STATEMENT(stmt);                                                                                                  \
    return s->lastReturn = tables(*s, nameOf(tab, tabN), nameOf(cat, catN), nameOf(sch, schN), nameOf(typ, typN));    \
  }                                                                                                                   \
  SQLRETURN SQL_API SQLCOLUMNS(SQLHSTMT stmt, CH*, SQLSMALLINT, CH*, SQLSMALLINT, CH* tab, SQLSMALLINT tabN, CH* col, \
                               SQLSMALLINT colN) {                                                                    \
    STATEMENT(stmt);                                                                                                  \
    return s->lastReturn = columns(*s, nameOf(tab, tabN), nameOf(col, colN));                                         \
  }                                                                                                                   \
  SQLRETURN SQL_API SQLPRIMARYKEYS(SQLHSTMT stmt, CH*, SQLSMALLINT, CH*, SQLSMALLINT, CH* tab, SQLSMALLINT tabN) {    \
    STATEMENT(stmt);                                                                                                  \
    if (!tab) return s->lastReturn = s->fail("HY009", "Nom de table nul.");                                           \
    return s->lastReturn = primaryKeys(*s, nameOf(tab, tabN));                                                        \
  }                                                                                                                   \
  SQLRETURN SQL_API SQLFOREIGNKEYS(SQLHSTMT stmt, CH*, SQLSMALLINT, CH*, SQLSMALLINT, CH* pk, SQLSMALLINT pkN, CH*,   \
                                   SQLSMALLINT, CH*, SQLSMALLINT, CH* fk, SQLSMALLINT fkN) {                          \
    STATEMENT(stmt);                                                                                                  \
    Name p = nameOf(pk, pkN), f = nameOf(fk, fkN);                                                                    \
    if (p && p->empty()) p.reset();                                                                                   \
    if (f && f->empty()) f.reset();                                                                                   \
    return s->lastReturn = foreignKeys(*s, p, f);                                                                     \
  }                                                                                                                   \
  SQLRETURN SQL_API SQLSTATISTICS(SQLHSTMT stmt, CH*, SQLSMALLINT, CH*, SQLSMALLINT, CH* tab, SQLSMALLINT tabN,       \
                                  SQLUSMALLINT unique, SQLUSMALLINT) {                                                \
    STATEMENT(stmt);                                                                                                  \
    if (!tab) return s->lastReturn = s->fail("HY009", "Nom de table nul.");                                           \
    return s->lastReturn = statistics(*s, nameOf(tab, tabN), unique);                                                 \
  }

#define SQLTABLES SQLTables
#define SQLCOLUMNS SQLColumns
#define SQLPRIMARYKEYS SQLPrimaryKeys
#define SQLFOREIGNKEYS SQLForeignKeys
#define SQLSTATISTICS SQLStatistics
CATALOG_FUNCTIONS(SQLCHAR)
#undef SQLTABLES
#undef SQLCOLUMNS
#undef SQLPRIMARYKEYS
#undef SQLFOREIGNKEYS
#undef SQLSTATISTICS
#define SQLTABLES SQLTablesW
#define SQLCOLUMNS SQLColumnsW
#define SQLPRIMARYKEYS SQLPrimaryKeysW
#define SQLFOREIGNKEYS SQLForeignKeysW
#define SQLSTATISTICS SQLStatisticsW
CATALOG_FUNCTIONS(SQLWCHAR)

SQLRETURN SQL_API SQLGetTypeInfo(SQLHSTMT stmt, SQLSMALLINT type) {
  STATEMENT(stmt);
  return s->lastReturn = typeInfo(*s, type);
}

SQLRETURN SQL_API SQLGetTypeInfoW(SQLHSTMT stmt, SQLSMALLINT type) { return SQLGetTypeInfo(stmt, type); }

// ---- wide twins ---------------------------------------------------------------

SQLRETURN SQL_API SQLConnectW(SQLHDBC dbc, SQLWCHAR* dsn, SQLSMALLINT dsnLength, SQLWCHAR*, SQLSMALLINT, SQLWCHAR*,
                              SQLSMALLINT) {
  CONNECTION(dbc);
  if (!dsn) return c->fail("HY009", "Nom de source de données nul.");
  return c->lastReturn = connectTo(*c, fromWide(dsn, dsnLength), "", nullptr);
}

SQLRETURN SQL_API SQLDriverConnectW(SQLHDBC dbc, SQLHWND, SQLWCHAR* in, SQLSMALLINT inLength, SQLWCHAR* out,
                                    SQLSMALLINT capacity, SQLSMALLINT* outLength, SQLUSMALLINT) {
  CONNECTION(dbc);
  if (!in) return c->fail("HY009", "Chaîne de connexion nulle.");
  std::string completed;
  SQLRETURN rc = connectTo(*c, "", fromWide(in, inLength), &completed);
  if (!SQL_SUCCEEDED(rc)) return c->lastReturn = rc;
  return c->lastReturn = putText16(*c, completed, true, out, capacity, false, outLength);
}

SQLRETURN SQL_API SQLGetInfoW(SQLHDBC dbc, SQLUSMALLINT info, SQLPOINTER value, SQLSMALLINT capacity,
                              SQLSMALLINT* length) {
  CONNECTION(dbc);
  return c->lastReturn = getInfo(*c, info, true, value, capacity, length);
}

SQLRETURN SQL_API SQLGetConnectAttrW(SQLHDBC dbc, SQLINTEGER attr, SQLPOINTER value, SQLINTEGER capacity,
                                     SQLINTEGER* length) {
  CONNECTION(dbc);
  return c->lastReturn = getConnectAttr(*c, attr, true, value, capacity, length);
}

SQLRETURN SQL_API SQLSetConnectAttrW(SQLHDBC dbc, SQLINTEGER attr, SQLPOINTER value, SQLINTEGER) {
  CONNECTION(dbc);
  return c->lastReturn = setConnectAttr(*c, attr, value);
}

SQLRETURN SQL_API SQLGetStmtAttrW(SQLHSTMT stmt, SQLINTEGER attr, SQLPOINTER value, SQLINTEGER, SQLINTEGER*) {
  STATEMENT(stmt);
  return s->lastReturn = getStmtAttr(*s, attr, value);
}

SQLRETURN SQL_API SQLSetStmtAttrW(SQLHSTMT stmt, SQLINTEGER attr, SQLPOINTER value, SQLINTEGER) {
  STATEMENT(stmt);
  return s->lastReturn = setStmtAttr(*s, attr, value);
}

SQLRETURN SQL_API SQLPrepareW(SQLHSTMT stmt, SQLWCHAR* text, SQLINTEGER length) {
  STATEMENT(stmt);
  if (!text) return s->lastReturn = s->fail("HY009", "Texte d'instruction nul.");
  return s->lastReturn = prepare(*s, fromWide(text, length));
}

SQLRETURN SQL_API SQLExecDirectW(SQLHSTMT stmt, SQLWCHAR* text, SQLINTEGER length) {
  STATEMENT(stmt);
  if (!text) return s->lastReturn = s->fail("HY009", "Texte d'instruction nul.");
  if (SQLRETURN rc = prepare(*s, fromWide(text, length)); rc != SQL_SUCCESS) return s->lastReturn = rc;
  return s->lastReturn = execute(*s);
}

SQLRETURN SQL_API SQLNativeSqlW(SQLHDBC dbc, SQLWCHAR* in, SQLINTEGER inLength, SQLWCHAR* out, SQLINTEGER capacity,
                                SQLINTEGER* outLength) {
  CONNECTION(dbc);
  if (!in) return c->fail("HY009", "Texte d'instruction nul.");
  SQLLEN n = 0;
  SQLRETURN rc = putText(*c, fromWide(in, inLength), true, out, capacity, false, &n);
  if (outLength) *outLength = static_cast<SQLINTEGER>(n);
  return rc;
}

SQLRETURN SQL_API SQLDescribeColW(SQLHSTMT stmt, SQLUSMALLINT column, SQLWCHAR* name, SQLSMALLINT capacity,
                                  SQLSMALLINT* nameLength, SQLSMALLINT* type, SQLULEN* size, SQLSMALLINT* digits,
                                  SQLSMALLINT* nullable) {
  STATEMENT(stmt);
  return s->lastReturn = describeColumn(*s, column, true, name, capacity, nameLength, type, size, digits, nullable);
}

SQLRETURN SQL_API SQLColAttributeW(SQLHSTMT stmt, SQLUSMALLINT column, SQLUSMALLINT field, SQLPOINTER text,
                                   SQLSMALLINT capacity, SQLSMALLINT* length, SQLLEN* number) {
  STATEMENT(stmt);
  return s->lastReturn = columnAttribute(*s, column, field, true, text, capacity, length, number);
}

SQLRETURN SQL_API SQLGetDiagRecW(SQLSMALLINT type, SQLHANDLE handle, SQLSMALLINT record, SQLWCHAR* state,
                                 SQLINTEGER* native, SQLWCHAR* message, SQLSMALLINT capacity, SQLSMALLINT* length) {
  return diagRecord(type, handle, record, true, state, native, message, capacity, length);
}

SQLRETURN SQL_API SQLGetDiagFieldW(SQLSMALLINT type, SQLHANDLE handle, SQLSMALLINT record, SQLSMALLINT field,
                                   SQLPOINTER value, SQLSMALLINT capacity, SQLSMALLINT* length) {
  return diagField(type, handle, record, field, true, value, capacity, length);
}

}  // extern "C"
