// Preparing and executing statements, their parameters (bound, or given
// piece by piece at execution), and what an execution leaves: its result,
// its row count.
#include <cstring>

#include "driver.h"

namespace tqodbc {

void closeCursor(Stmt& s) {
  s.result.reset();
  s.onRow = false;
  s.fetched = 0;
  s.dataColumn = 0;
}

namespace {

// Drops the parameters of an execution waiting for them (SQLParamData).
void forgetGivenParameters(Stmt& s) {
  s.awaited.clear();
  s.giving = 0;
  s.given.clear();
}

}  // namespace

SQLRETURN prepare(Stmt& s, const std::string& sql) {
  closeCursor(s);
  forgetGivenParameters(s);
  s.statement.reset();
  s.rowCount = -1;
  s.pieces = cutAtMarkers(sql);
  std::string text = s.pieces[0];
  for (std::size_t k = 1; k < s.pieces.size(); ++k) text += "?" + s.pieces[k];
  jetdb::Database& db = *s.conn->db;
  s.statement = db.prepare(text);
  if (!s.statement) return s.failWith(db.lastError());
  return SQL_SUCCESS;
}

SQLRETURN execute(Stmt& s) {
  if (!s.statement) return s.fail("HY010", "Aucune instruction préparée.");
  closeCursor(s);
  s.rowCount = -1;
  if (s.given.empty()) {
    for (std::size_t k = 1; k < s.pieces.size() && k < s.params.size(); ++k) {
      const SQLLEN* ind = s.params[k].indicator;
      if (ind && (*ind == SQL_DATA_AT_EXEC || *ind <= SQL_LEN_DATA_AT_EXEC_OFFSET)) s.awaited.push_back(k);
    }
    if (!s.awaited.empty()) {
      s.given.assign(s.pieces.size(), std::nullopt);
      s.giving = 0;
      return SQL_NEED_DATA;
    }
  }
  std::string sql = s.pieces[0];
  for (std::size_t k = 1; k < s.pieces.size(); ++k) {
    if (k >= s.params.size() || (!s.params[k].value && !s.params[k].indicator))
      return s.fail("07002", "Le paramètre " + std::to_string(k) + " n'a pas de valeur liée.");
    std::string lit;
    if (SQLRETURN rc = parameterLiteral(s, k, s.params[k], lit); rc != SQL_SUCCESS) return rc;
    sql += lit;
    sql += s.pieces[k];
  }
  if (s.paramsProcessedPtr) *s.paramsProcessedPtr = 1;
  jetdb::Database& db = *s.conn->db;
  // Without parameters the prepared statement runs as it was read; with
  // them, their values are in the text.
  const bool pasted = s.pieces.size() > 1;
  if (s.statement->returnsRows()) {
    auto q = pasted ? db.query(sql) : db.query(*s.statement);
    if (!q) return s.failWith(db.lastError());
    s.result = queryResult(std::move(q));
    return SQL_SUCCESS;
  }
  std::int64_t before = db.totalChanges();
  if (!(pasted ? db.execute(sql) : db.execute(*s.statement))) return s.failWith(db.lastError());
  if (s.statement->changesRows()) s.rowCount = static_cast<SQLLEN>(db.totalChanges() - before);
  if (!s.conn->autocommit) s.conn->pendingWrites = true;
  return SQL_SUCCESS;
}

}  // namespace tqodbc

using namespace tqodbc;

extern "C" {

SQLRETURN SQL_API SQLPrepare(SQLHSTMT stmt, SQLCHAR* text, SQLINTEGER length) {
  STATEMENT(stmt);
  if (!text) return s->lastReturn = s->fail("HY009", "Texte d'instruction nul.");
  return s->lastReturn = prepare(*s, fromNarrow(text, length));
}

SQLRETURN SQL_API SQLExecute(SQLHSTMT stmt) {
  STATEMENT(stmt);
  return s->lastReturn = execute(*s);
}

SQLRETURN SQL_API SQLExecDirect(SQLHSTMT stmt, SQLCHAR* text, SQLINTEGER length) {
  STATEMENT(stmt);
  if (!text) return s->lastReturn = s->fail("HY009", "Texte d'instruction nul.");
  if (SQLRETURN rc = prepare(*s, fromNarrow(text, length)); rc != SQL_SUCCESS) return s->lastReturn = rc;
  return s->lastReturn = execute(*s);
}

SQLRETURN SQL_API SQLNativeSql(SQLHDBC dbc, SQLCHAR* in, SQLINTEGER inLength, SQLCHAR* out, SQLINTEGER capacity,
                               SQLINTEGER* outLength) {
  CONNECTION(dbc);
  if (!in) return c->fail("HY009", "Texte d'instruction nul.");
  SQLLEN n = 0;
  SQLRETURN rc = putText(*c, fromNarrow(in, inLength), false, out, capacity, false, &n);
  if (outLength) *outLength = static_cast<SQLINTEGER>(n);
  return rc;
}

SQLRETURN SQL_API SQLBindParameter(SQLHSTMT stmt, SQLUSMALLINT number, SQLSMALLINT ioType, SQLSMALLINT cType,
                                   SQLSMALLINT sqlType, SQLULEN, SQLSMALLINT, SQLPOINTER value, SQLLEN bufferLength,
                                   SQLLEN* indicator) {
  STATEMENT(stmt);
  if (number < 1) return s->fail("07009", "Numéro de paramètre hors limites.");
  if (ioType != SQL_PARAM_INPUT) return s->fail("HYC00", "Seuls les paramètres d'entrée sont pris en charge.");
  if (!value && !indicator) return s->fail("HY009", "Ni valeur ni indicateur pour le paramètre.");
  if (s->params.size() <= number) s->params.resize(number + 1u);
  s->params[number] = Param{ioType, cType, sqlType, value, bufferLength, indicator};
  return SQL_SUCCESS;
}

SQLRETURN SQL_API SQLParamData(SQLHSTMT stmt, SQLPOINTER* token) {
  STATEMENT(stmt);
  if (s->awaited.empty() && s->giving == 0) return s->fail("HY010", "Aucun paramètre n'est attendu.");
  if (!s->awaited.empty()) {
    s->giving = s->awaited.front();
    s->awaited.erase(s->awaited.begin());
    if (token) *token = s->params[s->giving].value;
    return SQL_NEED_DATA;
  }
  // Every piece is there: the statement runs now.
  s->giving = 0;
  SQLRETURN rc = execute(*s);
  s->given.clear();
  return s->lastReturn = rc;
}

SQLRETURN SQL_API SQLPutData(SQLHSTMT stmt, SQLPOINTER data, SQLLEN length) {
  STATEMENT(stmt);
  if (s->giving == 0) return s->fail("HY010", "Aucun paramètre n'est attendu.");
  std::optional<std::string>& piece = s->given[s->giving];
  if (length == SQL_NULL_DATA) {
    piece.reset();
    return SQL_SUCCESS;
  }
  if (!data && length != 0) return s->fail("HY009", "Pointeur nul pour la valeur.");
  const Param& p = s->params[s->giving];
  SQLSMALLINT type = p.cType == SQL_C_DEFAULT ? defaultCType(p.sqlType) : p.cType;
  std::size_t n;
  if (length == SQL_NTS) {
    if (type == SQL_C_WCHAR)
      n = std::char_traits<char16_t>::length(static_cast<const char16_t*>(data)) * 2;
    else
      n = std::strlen(static_cast<const char*>(data));
  } else if (length >= 0) {
    n = static_cast<std::size_t>(length);
  } else {
    return s->fail("HY090", "Longueur de valeur invalide.");
  }
  if (!piece) piece.emplace();
  piece->append(static_cast<const char*>(data), n);
  return SQL_SUCCESS;
}

SQLRETURN SQL_API SQLNumParams(SQLHSTMT stmt, SQLSMALLINT* count) {
  STATEMENT(stmt);
  if (!s->statement) return s->fail("HY010", "Aucune instruction préparée.");
  if (count) *count = static_cast<SQLSMALLINT>(s->pieces.size() - 1);
  return SQL_SUCCESS;
}

SQLRETURN SQL_API SQLRowCount(SQLHSTMT stmt, SQLLEN* count) {
  STATEMENT(stmt);
  if (!count) return s->fail("HY009", "Pointeur nul pour le nombre de lignes.");
  *count = s->rowCount;
  return SQL_SUCCESS;
}

SQLRETURN SQL_API SQLMoreResults(SQLHSTMT stmt) {
  STATEMENT(stmt);
  closeCursor(*s);
  return SQL_NO_DATA;
}

SQLRETURN SQL_API SQLCancel(SQLHSTMT stmt) {
  STATEMENT(stmt);
  // Every call runs to its end before it returns: only an execution waiting
  // for its parameters can be under way.
  forgetGivenParameters(*s);
  return SQL_SUCCESS;
}

SQLRETURN SQL_API SQLFreeStmt(SQLHSTMT stmt, SQLUSMALLINT option) {
  STATEMENT(stmt);
  switch (option) {
    case SQL_CLOSE:
      closeCursor(*s);
      forgetGivenParameters(*s);
      return SQL_SUCCESS;
    case SQL_UNBIND:
      s->bindings.clear();
      return SQL_SUCCESS;
    case SQL_RESET_PARAMS:
      s->params.clear();
      return SQL_SUCCESS;
    case SQL_DROP:
      freeStatement(s);
      return SQL_SUCCESS;
    default:
      return s->fail("HY092", "Option non reconnue.");
  }
}

}  // extern "C"
