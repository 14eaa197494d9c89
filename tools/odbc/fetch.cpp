// Fetching rows into bound columns (one row or a block, by column or by
// row), reading a column with SQLGetData, and describing the columns.
#include "driver.h"

namespace tqodbc {
namespace {

SQLRETURN fetch(Stmt& s) {
  if (!s.result) return s.fail("24000", "Aucun curseur ouvert.");
  SQLRETURN rc = SQL_SUCCESS;
  SQLULEN got = 0;
  s.dataColumn = 0;
  for (SQLULEN row = 0; row < s.rowArraySize; ++row) {
    if (s.maxRows && s.fetched >= s.maxRows) break;
    jetdb::Error error;
    int step = s.result->next(error);
    if (step < 0) {
      s.onRow = false;
      return s.failWith(error);
    }
    if (step == 0) break;
    ++got;
    ++s.fetched;
    bool rowWarned = false;
    const SQLLEN shift = s.rowBindOffsetPtr ? *s.rowBindOffsetPtr : 0;
    for (std::size_t col = 1; col < s.bindings.size(); ++col) {
      const Binding& b = s.bindings[col];
      if (!b.target && !b.indicator) continue;
      const SQLLEN stride = s.rowBindType == SQL_BIND_BY_COLUMN ? b.bufferLength : static_cast<SQLLEN>(s.rowBindType);
      const SQLLEN indStride = s.rowBindType == SQL_BIND_BY_COLUMN ? static_cast<SQLLEN>(sizeof(SQLLEN)) : stride;
      char* target = b.target ? static_cast<char*>(b.target) + shift + static_cast<SQLLEN>(row) * stride : nullptr;
      auto* ind = b.indicator ? reinterpret_cast<SQLLEN*>(reinterpret_cast<char*>(b.indicator) + shift +
                                                          static_cast<SQLLEN>(row) * indStride)
                              : nullptr;
      SQLRETURN one = convertValue(s, s.result->value(col - 1), s.result->columns()[col - 1], b.cType, target,
                                   b.bufferLength, ind, nullptr, nullptr);
      if (one == SQL_ERROR) {
        if (s.rowStatusPtr) s.rowStatusPtr[row] = SQL_ROW_ERROR;
        rc = s.rowArraySize > 1 ? SQL_SUCCESS_WITH_INFO : SQL_ERROR;
        rowWarned = true;
      } else if (one == SQL_SUCCESS_WITH_INFO) {
        if (rc == SQL_SUCCESS) rc = SQL_SUCCESS_WITH_INFO;
        rowWarned = true;
      }
    }
    if (s.rowStatusPtr && !(rowWarned && s.rowStatusPtr[row] == SQL_ROW_ERROR))
      s.rowStatusPtr[row] = rowWarned ? SQL_ROW_SUCCESS_WITH_INFO : SQL_ROW_SUCCESS;
  }
  if (s.rowsFetchedPtr) *s.rowsFetchedPtr = got;
  if (s.rowStatusPtr)
    for (SQLULEN row = got; row < s.rowArraySize; ++row) s.rowStatusPtr[row] = SQL_ROW_NOROW;
  s.onRow = got > 0;
  return got == 0 ? SQL_NO_DATA : rc;
}

SQLLEN displaySize(const ResultColumn& c) {
  switch (c.sqlType) {
    case SQL_BIT:
      return 1;
    case SQL_TINYINT:
      return 3;
    case SQL_SMALLINT:
      return 6;
    case SQL_INTEGER:
      return 11;
    case SQL_REAL:
      return 14;
    case SQL_DOUBLE:
      return 24;
    case SQL_DECIMAL:
      return static_cast<SQLLEN>(c.size) + 2;
    case SQL_TYPE_TIMESTAMP:
      return 19;
    default:
      return static_cast<SQLLEN>(c.size);
  }
}

SQLLEN octetLength(const ResultColumn& c) {
  switch (c.sqlType) {
    case SQL_BIT:
    case SQL_TINYINT:
      return 1;
    case SQL_SMALLINT:
      return 2;
    case SQL_INTEGER:
    case SQL_REAL:
      return 4;
    case SQL_DOUBLE:
      return 8;
    case SQL_DECIMAL:
      return static_cast<SQLLEN>(c.size) + 2;
    case SQL_TYPE_TIMESTAMP:
      return sizeof(SQL_TIMESTAMP_STRUCT);
    default:
      return static_cast<SQLLEN>(c.size) * 2;
  }
}

// An ODBC 2 application knows the timestamp by its old code.
SQLSMALLINT conciseType(const Stmt& s, const ResultColumn& c) {
  if (c.sqlType == SQL_TYPE_TIMESTAMP && s.conn->env->odbcVersion == SQL_OV_ODBC2) return SQL_TIMESTAMP;
  return c.sqlType;
}

}  // namespace

SQLRETURN describeColumn(Stmt& s, SQLUSMALLINT column, bool wide, SQLPOINTER name, SQLSMALLINT capacity,
                         SQLSMALLINT* nameLength, SQLSMALLINT* type, SQLULEN* size, SQLSMALLINT* digits,
                         SQLSMALLINT* nullable) {
  const std::vector<ResultColumn>* columns = resultColumns(s);
  if (!columns) return s.fail("07005", "L'instruction ne rend aucun résultat.");
  if (column < 1 || column > columns->size())
    return s.fail("07009", "Numéro de colonne " + std::to_string(column) + " hors limites.");
  const ResultColumn& c = (*columns)[column - 1u];
  if (type) *type = conciseType(s, c);
  if (size) *size = c.size;
  if (digits) *digits = c.digits;
  if (nullable) *nullable = c.nullable;
  return putText16(s, c.name, wide, name, capacity, false, nameLength);
}

SQLRETURN columnAttribute(Stmt& s, SQLUSMALLINT column, SQLUSMALLINT field, bool wide, SQLPOINTER text,
                          SQLSMALLINT capacity, SQLSMALLINT* length, SQLLEN* number) {
  const std::vector<ResultColumn>* columns = resultColumns(s);
  if (!columns) return s.fail("07005", "L'instruction ne rend aucun résultat.");
  if (field == SQL_DESC_COUNT || field == SQL_COLUMN_COUNT) {
    if (number) *number = static_cast<SQLLEN>(columns->size());
    return SQL_SUCCESS;
  }
  if (column < 1 || column > columns->size())
    return s.fail("07009", "Numéro de colonne " + std::to_string(column) + " hors limites.");
  const ResultColumn& c = (*columns)[column - 1u];
  auto num = [&](SQLLEN v) {
    if (number) *number = v;
    return SQL_SUCCESS;
  };
  auto str = [&](const std::string& v) { return putText16(s, v, wide, text, capacity, true, length); };
  switch (field) {
    case SQL_DESC_NAME:
    case SQL_DESC_LABEL:
    case SQL_DESC_BASE_COLUMN_NAME:
    case SQL_COLUMN_NAME:
      return str(c.name);
    case SQL_DESC_TABLE_NAME:
    case SQL_DESC_BASE_TABLE_NAME:
      return str(c.table);
    case SQL_DESC_CATALOG_NAME:
    case SQL_DESC_SCHEMA_NAME:
    case SQL_DESC_LITERAL_PREFIX:
    case SQL_DESC_LITERAL_SUFFIX:
      return str("");
    case SQL_DESC_TYPE_NAME:
    case SQL_DESC_LOCAL_TYPE_NAME:
      return str(c.typeName);
    case SQL_DESC_CONCISE_TYPE:
      return num(conciseType(s, c));
    case SQL_DESC_TYPE:
      return num(c.sqlType == SQL_TYPE_TIMESTAMP ? SQL_DATETIME : c.sqlType);
    case SQL_DESC_LENGTH:
    case SQL_COLUMN_LENGTH:
    case SQL_DESC_PRECISION:
    case SQL_COLUMN_PRECISION:
      return num(static_cast<SQLLEN>(c.size));
    case SQL_DESC_SCALE:
    case SQL_COLUMN_SCALE:
      return num(c.digits);
    case SQL_DESC_OCTET_LENGTH:
      return num(octetLength(c));
    case SQL_DESC_DISPLAY_SIZE:
      return num(displaySize(c));
    case SQL_DESC_NULLABLE:
    case SQL_COLUMN_NULLABLE:
      return num(c.nullable);
    case SQL_DESC_UNSIGNED:
      return num(c.unsignedType || c.sqlType == SQL_WVARCHAR || c.sqlType == SQL_WLONGVARCHAR ||
                         c.sqlType == SQL_TYPE_TIMESTAMP || c.sqlType == SQL_BIT
                     ? SQL_TRUE
                     : SQL_FALSE);
    case SQL_DESC_AUTO_UNIQUE_VALUE:
      return num(c.autoIncrement ? SQL_TRUE : SQL_FALSE);
    case SQL_DESC_CASE_SENSITIVE:
      return num(SQL_FALSE);
    case SQL_DESC_SEARCHABLE:
      return num(c.sqlType == SQL_WLONGVARCHAR ? SQL_PRED_CHAR : SQL_PRED_SEARCHABLE);
    case SQL_DESC_UPDATABLE:
      return num(SQL_ATTR_READWRITE_UNKNOWN);
    case SQL_DESC_FIXED_PREC_SCALE:
      return num(c.sqlType == SQL_DECIMAL ? SQL_TRUE : SQL_FALSE);
    case SQL_DESC_NUM_PREC_RADIX:
      return num(c.sqlType == SQL_REAL || c.sqlType == SQL_DOUBLE                                                ? 2
                 : c.sqlType == SQL_WVARCHAR || c.sqlType == SQL_WLONGVARCHAR || c.sqlType == SQL_TYPE_TIMESTAMP ? 0
                                                                                                                 : 10);
    case SQL_DESC_UNNAMED:
      return num(c.name.empty() ? SQL_UNNAMED : SQL_NAMED);
    default:
      return s.fail("HY091", "Champ de descripteur non reconnu (" + std::to_string(field) + ").");
  }
}

}  // namespace tqodbc

using namespace tqodbc;

extern "C" {

SQLRETURN SQL_API SQLNumResultCols(SQLHSTMT stmt, SQLSMALLINT* count) {
  STATEMENT(stmt);
  if (!count) return s->fail("HY009", "Pointeur nul pour le nombre de colonnes.");
  const std::vector<ResultColumn>* columns = resultColumns(*s);
  *count = columns ? static_cast<SQLSMALLINT>(columns->size()) : 0;
  return SQL_SUCCESS;
}

SQLRETURN SQL_API SQLDescribeCol(SQLHSTMT stmt, SQLUSMALLINT column, SQLCHAR* name, SQLSMALLINT capacity,
                                 SQLSMALLINT* nameLength, SQLSMALLINT* type, SQLULEN* size, SQLSMALLINT* digits,
                                 SQLSMALLINT* nullable) {
  STATEMENT(stmt);
  return s->lastReturn = describeColumn(*s, column, false, name, capacity, nameLength, type, size, digits, nullable);
}

SQLRETURN SQL_API SQLColAttribute(SQLHSTMT stmt, SQLUSMALLINT column, SQLUSMALLINT field, SQLPOINTER text,
                                  SQLSMALLINT capacity, SQLSMALLINT* length, SQLLEN* number) {
  STATEMENT(stmt);
  return s->lastReturn = columnAttribute(*s, column, field, false, text, capacity, length, number);
}

SQLRETURN SQL_API SQLBindCol(SQLHSTMT stmt, SQLUSMALLINT column, SQLSMALLINT cType, SQLPOINTER target,
                             SQLLEN bufferLength, SQLLEN* indicator) {
  STATEMENT(stmt);
  if (column < 1) return s->fail("07009", "Les signets ne sont pas pris en charge (colonne 0).");
  if (bufferLength < 0) return s->fail("HY090", "Longueur de tampon négative.");
  if (s->bindings.size() <= column) s->bindings.resize(column + 1u);
  s->bindings[column] = Binding{cType, target, bufferLength, indicator};
  return SQL_SUCCESS;
}

SQLRETURN SQL_API SQLFetch(SQLHSTMT stmt) {
  STATEMENT(stmt);
  return s->lastReturn = fetch(*s);
}

SQLRETURN SQL_API SQLFetchScroll(SQLHSTMT stmt, SQLSMALLINT orientation, SQLLEN) {
  STATEMENT(stmt);
  if (orientation != SQL_FETCH_NEXT) return s->fail("HY106", "Les curseurs vont en avant seulement.");
  return s->lastReturn = fetch(*s);
}

SQLRETURN SQL_API SQLGetData(SQLHSTMT stmt, SQLUSMALLINT column, SQLSMALLINT cType, SQLPOINTER target, SQLLEN capacity,
                             SQLLEN* indicator) {
  STATEMENT(stmt);
  if (!s->result || !s->onRow) return s->lastReturn = s->fail("24000", "Le curseur n'est sur aucune ligne.");
  if (column < 1 || column > s->result->columns().size())
    return s->lastReturn = s->fail("07009", "Numéro de colonne " + std::to_string(column) + " hors limites.");
  if (capacity < 0) return s->lastReturn = s->fail("HY090", "Longueur de tampon négative.");
  if (!target && cType != SQL_C_CHAR && cType != SQL_C_WCHAR && cType != SQL_C_BINARY)
    return s->lastReturn = s->fail("HY009", "Pointeur nul pour la valeur.");
  if (s->dataColumn != column) {
    s->dataColumn = column;
    s->dataOffset = 0;
    s->dataDone = false;
  } else if (s->dataDone) {
    return s->lastReturn = SQL_NO_DATA;
  }
  return s->lastReturn = convertValue(*s, s->result->value(column - 1u), s->result->columns()[column - 1u], cType,
                                      target, capacity, indicator, &s->dataOffset, &s->dataDone);
}

SQLRETURN SQL_API SQLCloseCursor(SQLHSTMT stmt) {
  STATEMENT(stmt);
  if (!s->result) return s->fail("24000", "Aucun curseur ouvert.");
  closeCursor(*s);
  return SQL_SUCCESS;
}

}  // extern "C"
