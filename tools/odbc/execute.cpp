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

const std::vector<ResultColumn>* resultColumns(const Stmt& s) {
  if (s.result) return &s.result->columns();
  if (s.statement && s.statement->returnsRows()) return &s.prepared;
  return nullptr;
}

namespace {

// Drops the parameters of an execution waiting for them (SQLParamData).
void forgetGivenParameters(Stmt& s) {
  s.awaited.clear();
  s.giving.reset();
  s.given.clear();
}

bool atExecution(const Param& p, const SQLLEN* ind) {
  return ind && (*ind == SQL_DATA_AT_EXEC || *ind <= SQL_LEN_DATA_AT_EXEC_OFFSET) && p.indicator;
}

// The values of parameter set `row`, in the order jetdb takes them: each
// marker's, a name that is no column having none to take (07002).
SQLRETURN setValues(Stmt& s, std::size_t row, std::vector<jetdb::Value>& values) {
  values.clear();
  std::size_t marker = 0;
  for (const auto& p : s.statement->parameters()) {
    if (p.name != "?")
      return s.fail("07002", "Paramètres insuffisants : « " + p.name + " » n'est ni une colonne ni un paramètre lié.",
                    3061);
    ++marker;
    if (marker >= s.params.size() || (!s.params[marker].value && !s.params[marker].indicator))
      return s.fail("07002", "Le paramètre " + std::to_string(marker) + " n'a pas de valeur liée.");
    values.emplace_back();
    if (SQLRETURN rc = parameterValue(s, row, marker, s.params[marker], values.back()); rc != SQL_SUCCESS) return rc;
  }
  return SQL_SUCCESS;
}

// With autocommit off, the first statement that writes opens the
// connection's transaction; reads before it see what is committed.
SQLRETURN joinTransaction(Stmt& s) {
  jetdb::Database& db = *s.conn->db;
  if (s.conn->autocommit || db.inTransaction() || s.statement->returnsRows()) return SQL_SUCCESS;
  return db.beginTransaction() ? SQL_SUCCESS : s.failWith(db.lastError());
}

SQLRETURN runSet(Stmt& s, std::size_t row, std::int64_t& changed) {
  jetdb::Database& db = *s.conn->db;
  std::vector<jetdb::Value> values;
  if (s.markers > 0)
    if (SQLRETURN rc = setValues(s, row, values); rc != SQL_SUCCESS) return rc;
  if (s.statement->returnsRows()) {
    auto q = db.query(*s.statement, values);
    if (!q) return s.failWith(db.lastError());
    s.result = queryResult(std::move(q));
    return SQL_SUCCESS;
  }
  const std::int64_t before = db.totalChanges();
  if (!db.execute(*s.statement, values)) return s.failWith(db.lastError());
  changed += db.totalChanges() - before;
  return SQL_SUCCESS;
}

}  // namespace

SQLRETURN prepare(Stmt& s, const std::string& sql) {
  closeCursor(s);
  forgetGivenParameters(s);
  s.statement.reset();
  s.prepared.clear();
  s.rowCount = -1;
  const std::vector<std::string> pieces = cutAtMarkers(sql);
  std::string text = pieces[0];
  for (std::size_t k = 1; k < pieces.size(); ++k) text += "?" + pieces[k];
  jetdb::Database& db = *s.conn->db;
  s.statement = db.prepare(text);
  if (!s.statement) return s.failWith(db.lastError());
  s.markers = pieces.size() - 1;
  for (const auto& c : s.statement->columns()) s.prepared.push_back(describe(c));
  return SQL_SUCCESS;
}

SQLRETURN execute(Stmt& s) {
  if (!s.statement) return s.fail("HY010", "Aucune instruction préparée.");
  closeCursor(s);
  s.rowCount = -1;
  const std::size_t sets = s.paramsetSize;
  if (sets > 1 && s.statement->returnsRows())
    return s.fail("HYC00", "Une requête Sélection prend un seul jeu de paramètres.");
  if (s.given.empty()) {
    for (std::size_t row = 0; row < sets; ++row)
      for (std::size_t k = 1; k <= s.markers && k < s.params.size(); ++k) {
        const Param& p = s.params[k];
        const auto* ind = static_cast<const SQLLEN*>(parameterAddress(s, p.indicator, row, p.bufferLength, true));
        if (atExecution(p, ind)) s.awaited.emplace_back(row, k);
      }
    if (!s.awaited.empty()) {
      s.given.assign(sets, std::vector<std::optional<std::string>>(s.markers + 1));
      s.giving.reset();
      return SQL_NEED_DATA;
    }
  }
  if (SQLRETURN rc = joinTransaction(s); rc != SQL_SUCCESS) return rc;
  std::int64_t changed = 0;
  SQLRETURN rc = SQL_SUCCESS;
  std::size_t done = 0;
  for (; done < sets && rc == SQL_SUCCESS; ++done) {
    rc = runSet(s, done, changed);
    if (s.paramStatusPtr) s.paramStatusPtr[done] = rc == SQL_SUCCESS ? SQL_PARAM_SUCCESS : SQL_PARAM_ERROR;
  }
  if (s.paramsProcessedPtr) *s.paramsProcessedPtr = done;
  if (s.paramStatusPtr)
    for (std::size_t row = done; row < sets; ++row) s.paramStatusPtr[row] = SQL_PARAM_UNUSED;
  if (rc != SQL_SUCCESS) return rc;
  if (s.statement->changesRows()) s.rowCount = static_cast<SQLLEN>(changed);
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
  if (s->awaited.empty() && !s->giving) return s->fail("HY010", "Aucun paramètre n'est attendu.");
  if (!s->awaited.empty()) {
    s->giving = s->awaited.front();
    s->awaited.erase(s->awaited.begin());
    const Param& p = s->params[s->giving->second];
    // The token of a set beyond the first is its own buffer, as the
    // application bound it for that set.
    if (token)
      *token = const_cast<void*>(parameterAddress(*s, p.value, s->giving->first, p.bufferLength, false));
    return SQL_NEED_DATA;
  }
  // Every piece is there: the statement runs now.
  s->giving.reset();
  SQLRETURN rc = execute(*s);
  s->given.clear();
  return s->lastReturn = rc;
}

SQLRETURN SQL_API SQLPutData(SQLHSTMT stmt, SQLPOINTER data, SQLLEN length) {
  STATEMENT(stmt);
  if (!s->giving) return s->fail("HY010", "Aucun paramètre n'est attendu.");
  std::optional<std::string>& piece = s->given[s->giving->first][s->giving->second];
  if (length == SQL_NULL_DATA) {
    piece.reset();
    return SQL_SUCCESS;
  }
  if (!data && length != 0) return s->fail("HY009", "Pointeur nul pour la valeur.");
  const Param& p = s->params[s->giving->second];
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

SQLRETURN SQL_API SQLDescribeParam(SQLHSTMT stmt, SQLUSMALLINT number, SQLSMALLINT* type, SQLULEN* size,
                                   SQLSMALLINT* digits, SQLSMALLINT* nullable) {
  STATEMENT(stmt);
  if (!s->statement) return s->fail("HY010", "Aucune instruction préparée.");
  if (number < 1 || number > s->markers)
    return s->fail("07009", "Numéro de paramètre " + std::to_string(number) + " hors limites.");
  // The number-th marker among the statement's parameters.
  std::optional<jetdb::JetType> jet;
  std::size_t marker = 0;
  for (const auto& p : s->statement->parameters())
    if (p.name == "?" && ++marker == number) jet = p.type;
  // Without a column to go by, a text: any value reads as one.
  jetdb::ColumnInfo info;
  info.type = jet.value_or(jetdb::JetType::Text);
  info.size = 255;
  const ResultColumn r = describe(info);
  if (type) *type = r.sqlType;
  if (size) *size = r.size;
  if (digits) *digits = r.digits;
  if (nullable) *nullable = SQL_NULLABLE_UNKNOWN;
  return SQL_SUCCESS;
}

SQLRETURN SQL_API SQLNumParams(SQLHSTMT stmt, SQLSMALLINT* count) {
  STATEMENT(stmt);
  if (!s->statement) return s->fail("HY010", "Aucune instruction préparée.");
  if (count) *count = static_cast<SQLSMALLINT>(s->markers);
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
