// The driver's entry points called directly, as the driver manager calls
// them: bad calls get ODBC errors, long text reads in pieces, parameters
// reach the file as they were bound, refusals carry jetdb's diagnostics.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "driver.h"
#include "jetdb/tricky_sql.h"
#include "test_support/temp_dir.h"

namespace {

std::string stateOf(SQLSMALLINT type, SQLHANDLE h) {
  SQLCHAR state[6] = {0};
  SQLINTEGER native = 0;
  SQLSMALLINT length = 0;
  if (!SQL_SUCCEEDED(SQLGetDiagRec(type, h, 1, state, &native, nullptr, 0, &length))) return "";
  return reinterpret_cast<char*>(state);
}

SQLCHAR* text(const char* s) { return reinterpret_cast<SQLCHAR*>(const_cast<char*>(s)); }

class OdbcDriver : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = dir_.path() + "/Base.mdb";
    jetdb::Error error;
    auto db = jetdb::Database::open(path_, jetdb::OpenMode::Create, error);
    ASSERT_TRUE(db && db->execute("CREATE TABLE T (ID LONG CONSTRAINT PK_T PRIMARY KEY, NOM TEXT(80), QTE DOUBLE, "
                                  "ACTIF BIT, JOUR DATETIME, NOTE MEMO)"));
    ASSERT_EQ(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env_), SQL_SUCCESS);
    ASSERT_EQ(SQLAllocHandle(SQL_HANDLE_DBC, env_, &dbc_), SQL_SUCCESS);
    std::string in = "DRIVER={Microsoft Access Driver (*.mdb)};DBQ=" + path_;
    ASSERT_EQ(SQLDriverConnect(dbc_, nullptr, text(in.c_str()), SQL_NTS, nullptr, 0, nullptr, SQL_DRIVER_NOPROMPT),
              SQL_SUCCESS);
    ASSERT_EQ(SQLAllocHandle(SQL_HANDLE_STMT, dbc_, &stmt_), SQL_SUCCESS);
  }
  void TearDown() override {
    SQLFreeHandle(SQL_HANDLE_STMT, stmt_);
    SQLDisconnect(dbc_);
    SQLFreeHandle(SQL_HANDLE_DBC, dbc_);
    SQLFreeHandle(SQL_HANDLE_ENV, env_);
  }
  SQLRETURN exec(const std::string& sql) {
    SQLFreeStmt(stmt_, SQL_CLOSE);
    return SQLExecDirect(stmt_, text(sql.c_str()), SQL_NTS);
  }

  TempDir dir_;
  std::string path_;
  SQLHANDLE env_ = nullptr, dbc_ = nullptr, stmt_ = nullptr;
};

TEST_F(OdbcDriver, BadCallsGetOdbcErrorsAndNeverTouchAStaleHandle) {
  SQLHANDLE freed = nullptr;
  ASSERT_EQ(SQLAllocHandle(SQL_HANDLE_STMT, dbc_, &freed), SQL_SUCCESS);
  ASSERT_EQ(SQLFreeHandle(SQL_HANDLE_STMT, freed), SQL_SUCCESS);
  SQLSMALLINT count = 0;
  const std::vector<std::pair<const char*, std::function<SQLRETURN()>>> invalid = {
      {"null statement", [&] { return SQLFetch(nullptr); }},
      {"freed statement", [&] { return SQLNumResultCols(freed, &count); }},
      {"freed statement, twice", [&] { return SQLFreeHandle(SQL_HANDLE_STMT, freed); }},
      {"a connection as a statement", [&] { return SQLExecDirect(dbc_, text("SELECT ID FROM T"), SQL_NTS); }},
      {"an environment as a connection", [&] { return SQLGetInfo(env_, SQL_DBMS_NAME, nullptr, 0, nullptr); }},
      {"diagnostics of a freed handle",
       [&] { return SQLGetDiagRec(SQL_HANDLE_STMT, freed, 1, nullptr, nullptr, nullptr, 0, nullptr); }},
  };
  for (const auto& [what, call] : invalid) EXPECT_EQ(call(), SQL_INVALID_HANDLE) << what;

  ASSERT_EQ(exec("INSERT INTO T (ID, NOM) VALUES (1, 'un')"), SQL_SUCCESS);
  ASSERT_EQ(exec("SELECT ID, NOM, QTE FROM T"), SQL_SUCCESS);
  ASSERT_EQ(SQLFetch(stmt_), SQL_SUCCESS);
  SQLCHAR buf[16];
  SQLLEN ind = 0;
  const std::vector<std::tuple<const char*, std::function<SQLRETURN()>, const char*>> refused = {
      {"column 0 described",
       [&] { return SQLDescribeCol(stmt_, 0, buf, 16, nullptr, nullptr, nullptr, nullptr, nullptr); }, "07009"},
      {"column 4 of 3 described",
       [&] { return SQLDescribeCol(stmt_, 4, buf, 16, nullptr, nullptr, nullptr, nullptr, nullptr); }, "07009"},
      {"column 4 of 3 read", [&] { return SQLGetData(stmt_, 4, SQL_C_CHAR, buf, 16, &ind); }, "07009"},
      {"column 4 of 3 asked", [&] { return SQLColAttribute(stmt_, 4, SQL_DESC_NAME, buf, 16, nullptr, nullptr); },
       "07009"},
      {"Null without indicator", [&] { return SQLGetData(stmt_, 3, SQL_C_DOUBLE, buf, 16, nullptr); }, "22002"},
      {"no count pointer", [&] { return SQLNumResultCols(stmt_, nullptr); }, "HY009"},
      {"no row count pointer", [&] { return SQLRowCount(stmt_, nullptr); }, "HY009"},
      {"no statement text", [&] { return SQLExecDirect(stmt_, nullptr, SQL_NTS); }, "HY009"},
      {"unbound parameter", [&] { return SQLExecDirect(stmt_, text("SELECT ID FROM T WHERE ID = ?"), SQL_NTS); },
       "07002"},
      {"fetch without a cursor", [&] { return SQLFetch(stmt_); }, "24000"},
  };
  for (const auto& [what, call, state] : refused) {
    EXPECT_EQ(call(), SQL_ERROR) << what;
    EXPECT_EQ(stateOf(SQL_HANDLE_STMT, stmt_), state) << what;
  }
}

TEST_F(OdbcDriver, StatementsAreCutAndRunAsTheDriverReadsThem) {
  ASSERT_EQ(exec("DROP TABLE T"), SQL_SUCCESS);
  ASSERT_EQ(exec(jetdb::test::kTrickySchema), SQL_SUCCESS);
  SQLINTEGER three = 3;
  for (const auto& t : jetdb::test::trickySql()) {
    SQLFreeStmt(stmt_, SQL_CLOSE);
    SQLFreeStmt(stmt_, SQL_RESET_PARAMS);
    ASSERT_EQ(SQLPrepare(stmt_, text(t.text), SQL_NTS), SQL_SUCCESS) << t.text;
    SQLSMALLINT markers = -1;
    ASSERT_EQ(SQLNumParams(stmt_, &markers), SQL_SUCCESS);
    EXPECT_EQ(markers, t.markers) << t.text;
    for (SQLUSMALLINT k = 1; k <= markers; ++k)
      SQLBindParameter(stmt_, k, SQL_PARAM_INPUT, SQL_C_SLONG, SQL_INTEGER, 0, 0, &three, 0, nullptr);
    ASSERT_EQ(SQLExecute(stmt_), SQL_SUCCESS) << t.text << ": " << stateOf(SQL_HANDLE_STMT, stmt_);
    SQLSMALLINT columns = -1;
    SQLLEN rows = 0;
    SQLNumResultCols(stmt_, &columns);
    SQLRowCount(stmt_, &rows);
    EXPECT_EQ(columns > 0, t.rows) << t.text;
    EXPECT_EQ(rows >= 0, t.changesRows) << t.text;
  }
  // The row the INSERT made, as the UPDATE left it.
  ASSERT_EQ(exec("SELECT NOM FROM T WHERE ID = 3"), SQL_SUCCESS);
  ASSERT_EQ(SQLFetch(stmt_), SQL_SUCCESS);
  SQLCHAR nom[8];
  SQLLEN ind = 0;
  ASSERT_EQ(SQLGetData(stmt_, 1, SQL_C_CHAR, nom, sizeof nom, &ind), SQL_SUCCESS);
  EXPECT_STREQ(reinterpret_cast<char*>(nom), "#");

  // A statement the driver cannot read is refused as it is prepared, and
  // nothing is left prepared.
  SQLFreeStmt(stmt_, SQL_CLOSE);
  EXPECT_EQ(SQLPrepare(stmt_, text("SELECT FROM WHERE ?"), SQL_NTS), SQL_ERROR);
  EXPECT_EQ(stateOf(SQL_HANDLE_STMT, stmt_), "42000");
  EXPECT_EQ(SQLExecute(stmt_), SQL_ERROR);
  EXPECT_EQ(stateOf(SQL_HANDLE_STMT, stmt_), "HY010");
}

TEST_F(OdbcDriver, EscapesAndBackquotesBecomeJetText) {
  ASSERT_EQ(exec("INSERT INTO `T` (`ID`, NOM, JOUR) VALUES (1, 'crème {d}', {ts '2024-02-29 23:59:58'})"),
            SQL_SUCCESS);
  ASSERT_EQ(exec("INSERT INTO T (ID, NOM, JOUR) VALUES (2, '{fn x}', { t '10:30:00' })"), SQL_SUCCESS);
  ASSERT_EQ(exec("SELECT `T`.ID, {fn UCASE(T.NOM)}, {fn Year(U.JOUR)} "
                 "FROM {oj T LEFT OUTER JOIN T AS U ON U.ID = T.ID} "
                 "WHERE T.JOUR >= {d '2024-02-29'} OR T.JOUR = {t '10:30:00'} ORDER BY T.ID"),
            SQL_SUCCESS)
      << stateOf(SQL_HANDLE_STMT, stmt_);
  SQLINTEGER id = 0, year = 0;
  SQLCHAR nom[32];
  SQLLEN ind = 0;
  for (auto [expectedId, expectedNom, expectedYear] :
       {std::tuple{1, "CRÈME {D}", 2024}, std::tuple{2, "{FN X}", 1899}}) {
    ASSERT_EQ(SQLFetch(stmt_), SQL_SUCCESS);
    SQLGetData(stmt_, 1, SQL_C_SLONG, &id, 0, &ind);
    SQLGetData(stmt_, 2, SQL_C_CHAR, nom, sizeof nom, &ind);
    SQLGetData(stmt_, 3, SQL_C_SLONG, &year, 0, &ind);
    EXPECT_EQ(id, expectedId);
    EXPECT_STREQ(reinterpret_cast<char*>(nom), expectedNom);
    EXPECT_EQ(year, expectedYear);
  }
  EXPECT_EQ(SQLFetch(stmt_), SQL_NO_DATA);
}

TEST_F(OdbcDriver, CatalogCallsFindNamesAsJetComparesThem) {
  ASSERT_EQ(exec("CREATE TABLE [Catégories] ([Libellé] TEXT(20) CONSTRAINT PK_Cat PRIMARY KEY, [Pére] LONG DEFAULT 0)"),
            SQL_SUCCESS);
  auto rows = [&](const std::function<SQLRETURN()>& call, SQLUSMALLINT column) {
    std::vector<std::string> out;
    SQLFreeStmt(stmt_, SQL_CLOSE);
    EXPECT_EQ(call(), SQL_SUCCESS);
    SQLCHAR buf[64];
    SQLLEN ind = 0;
    while (SQLFetch(stmt_) == SQL_SUCCESS) {
      SQLGetData(stmt_, column, SQL_C_CHAR, buf, sizeof buf, &ind);
      out.emplace_back(ind == SQL_NULL_DATA ? "Null" : reinterpret_cast<char*>(buf));
    }
    return out;
  };
  using Names = std::vector<std::string>;
  // '_' is one character, é two bytes; case does not count, accents do.
  EXPECT_EQ(rows([&] { return SQLTables(stmt_, nullptr, 0, nullptr, 0, text("cat_gories"), SQL_NTS, nullptr, 0); }, 3),
            Names{"Catégories"});
  EXPECT_EQ(rows([&] { return SQLColumns(stmt_, nullptr, 0, nullptr, 0, text("CATÉGORIES"), SQL_NTS, text("libell_"),
                                         SQL_NTS); }, 4),
            Names{"Libellé"});
  EXPECT_EQ(rows([&] { return SQLColumns(stmt_, nullptr, 0, nullptr, 0, text("catégories"), SQL_NTS, text("%e%"),
                                         SQL_NTS); }, 4),
            (Names{"Libellé", "Pére"}));
  EXPECT_EQ(rows([&] { return SQLColumns(stmt_, nullptr, 0, nullptr, 0, text("categories"), SQL_NTS, nullptr, 0); },
                 4),
            Names{});
  // COLUMN_DEF: the default as the definition wrote it.
  EXPECT_EQ(rows([&] { return SQLColumns(stmt_, nullptr, 0, nullptr, 0, text("catégories"), SQL_NTS, text("p_re"),
                                         SQL_NTS); }, 13),
            Names{"0"});
  EXPECT_EQ(rows([&] { return SQLPrimaryKeys(stmt_, nullptr, 0, nullptr, 0, text("catégories"), SQL_NTS); }, 4),
            Names{"Libellé"});
}

TEST_F(OdbcDriver, InfoAnswersAreWrittenInTheWidthOdbcGivesThem) {
  // Each number in the width the ODBC reference gives it, and not a byte
  // more: a client's buffer is exactly that wide.
  for (auto [info, width] : {std::pair<SQLUSMALLINT, int>{SQL_TXN_CAPABLE, 2}, {SQL_MAX_COLUMN_NAME_LEN, 2},
                             {SQL_CURSOR_COMMIT_BEHAVIOR, 2}, {SQL_CONCAT_NULL_BEHAVIOR, 2},
                             {SQL_IDENTIFIER_CASE, 2}, {SQL_CATALOG_LOCATION, 2}, {SQL_GETDATA_EXTENSIONS, 4},
                             {SQL_TXN_ISOLATION_OPTION, 4}, {SQL_SCROLL_OPTIONS, 4}, {SQL_OJ_CAPABILITIES, 4},
                             {SQL_CONVERT_VARCHAR, 4}, {SQL_MAX_STATEMENT_LEN, 4}}) {
    unsigned char buf[8];
    std::memset(buf, 0xAB, sizeof buf);
    SQLSMALLINT length = 0;
    ASSERT_EQ(SQLGetInfo(dbc_, info, buf, sizeof buf, &length), SQL_SUCCESS) << info;
    EXPECT_EQ(length, width) << info;
    for (std::size_t k = static_cast<std::size_t>(width); k < sizeof buf; ++k) EXPECT_EQ(buf[k], 0xAB) << info;
  }
  SQLUINTEGER getdata = 0;
  SQLGetInfo(dbc_, SQL_GETDATA_EXTENSIONS, &getdata, sizeof getdata, nullptr);
  EXPECT_EQ(getdata & (SQL_GD_ANY_COLUMN | SQL_GD_ANY_ORDER), SQL_GD_ANY_COLUMN | SQL_GD_ANY_ORDER);

  // Texts: narrow in bytes, wide in bytes of UTF-16; the connection's own.
  SQLCHAR name[8];
  SQLSMALLINT length = 0;
  ASSERT_EQ(SQLGetInfo(dbc_, SQL_DATABASE_NAME, name, sizeof name, &length), SQL_SUCCESS_WITH_INFO);
  EXPECT_EQ(length, static_cast<SQLSMALLINT>(path_.size())) << "cut, with its whole length";
  EXPECT_EQ(std::string(reinterpret_cast<char*>(name)), path_.substr(0, 7));
  SQLWCHAR quote[4];
  ASSERT_EQ(SQLGetInfoW(dbc_, SQL_IDENTIFIER_QUOTE_CHAR, quote, sizeof quote, &length), SQL_SUCCESS);
  EXPECT_EQ(length, 2);
  EXPECT_EQ(quote[0], u'`');
  ASSERT_EQ(SQLGetInfo(dbc_, SQL_DATA_SOURCE_READ_ONLY, name, sizeof name, &length), SQL_SUCCESS);
  EXPECT_STREQ(reinterpret_cast<char*>(name), "N");

  EXPECT_EQ(SQLGetInfo(dbc_, 65000, name, sizeof name, &length), SQL_ERROR);
  EXPECT_EQ(stateOf(SQL_HANDLE_DBC, dbc_), "HY096");
}

TEST_F(OdbcDriver, ValuesReachEachCTypeOrAreRefusedWithTheirState) {
  ASSERT_EQ(exec("INSERT INTO T (ID, NOM, QTE, ACTIF, JOUR) VALUES (1, '12', 2.5, True, #1899-12-30 06:30:15#)"),
            SQL_SUCCESS);
  ASSERT_EQ(exec("INSERT INTO T (ID, NOM, QTE, ACTIF, JOUR) VALUES (2, 'x', -300, False, #1969-12-31 23:59:59#)"),
            SQL_SUCCESS);
  // Each column once a row (a second read of a column gives SQL_NO_DATA).
  ASSERT_EQ(exec("SELECT NOM, QTE, ACTIF, ACTIF, JOUR, JOUR, QTE, QTE, JOUR, JOUR, NOM FROM T ORDER BY ID"),
            SQL_SUCCESS);
  ASSERT_EQ(SQLFetch(stmt_), SQL_SUCCESS);
  SQLINTEGER i = 0;
  SQLSMALLINT small = 0;
  signed char tiny = 0;
  unsigned char bit = 0;
  SQLCHAR textBuf[32];
  SQLLEN ind = 0;
  SQL_TIME_STRUCT time{};
  SQL_DATE_STRUCT date{};
  SQL_TIMESTAMP_STRUCT stamp{};
  EXPECT_EQ(SQLGetData(stmt_, 1, SQL_C_SLONG, &i, 0, &ind), SQL_SUCCESS);  // a number written as text
  EXPECT_EQ(i, 12);
  EXPECT_EQ(SQLGetData(stmt_, 2, SQL_C_SLONG, &i, 0, &ind), SQL_SUCCESS_WITH_INFO);
  EXPECT_EQ(stateOf(SQL_HANDLE_STMT, stmt_), "01S07");
  EXPECT_EQ(i, 2);
  EXPECT_EQ(SQLGetData(stmt_, 3, SQL_C_BIT, &bit, 0, &ind), SQL_SUCCESS);
  EXPECT_EQ(bit, 1) << "True is -1 in the file, 1 in C";
  EXPECT_EQ(SQLGetData(stmt_, 4, SQL_C_CHAR, textBuf, sizeof textBuf, &ind), SQL_SUCCESS);
  EXPECT_STREQ(reinterpret_cast<char*>(textBuf), "1");
  EXPECT_EQ(SQLGetData(stmt_, 5, SQL_C_TYPE_TIME, &time, 0, &ind), SQL_SUCCESS);
  EXPECT_EQ(std::tie(time.hour, time.minute, time.second), std::make_tuple(6, 30, 15));
  EXPECT_EQ(SQLGetData(stmt_, 6, SQL_C_TYPE_DATE, &date, 0, &ind), SQL_SUCCESS);
  EXPECT_EQ(std::tie(date.year, date.month, date.day), std::make_tuple(1899, 12, 30));

  ASSERT_EQ(SQLFetch(stmt_), SQL_SUCCESS);
  EXPECT_EQ(SQLGetData(stmt_, 1, SQL_C_SLONG, &i, 0, &ind), SQL_ERROR);
  EXPECT_EQ(stateOf(SQL_HANDLE_STMT, stmt_), "22018");
  EXPECT_EQ(SQLGetData(stmt_, 2, SQL_C_STINYINT, &tiny, 0, &ind), SQL_ERROR);
  EXPECT_EQ(stateOf(SQL_HANDLE_STMT, stmt_), "22003");
  EXPECT_EQ(SQLGetData(stmt_, 7, SQL_C_SSHORT, &small, 0, &ind), SQL_SUCCESS);
  EXPECT_EQ(small, -300);
  EXPECT_EQ(SQLGetData(stmt_, 8, SQL_C_CHAR, textBuf, sizeof textBuf, &ind), SQL_SUCCESS);
  EXPECT_STREQ(reinterpret_cast<char*>(textBuf), "-300");
  EXPECT_EQ(SQLGetData(stmt_, 9, SQL_C_TYPE_TIMESTAMP, &stamp, 0, &ind), SQL_SUCCESS);
  EXPECT_EQ(std::tie(stamp.year, stamp.month, stamp.day, stamp.hour, stamp.minute, stamp.second),
            std::make_tuple(1969, 12, 31, 23, 59, 59))
      << "a second before 1970";
  EXPECT_EQ(SQLGetData(stmt_, 10, SQL_C_CHAR, textBuf, sizeof textBuf, &ind), SQL_SUCCESS);
  EXPECT_STREQ(reinterpret_cast<char*>(textBuf), "1969-12-31 23:59:59");
  EXPECT_EQ(SQLGetData(stmt_, 11, SQL_C_TYPE_DATE, &date, 0, &ind), SQL_ERROR);
  EXPECT_EQ(stateOf(SQL_HANDLE_STMT, stmt_), "07006");
}

TEST_F(OdbcDriver, BlocksOfRowsFillColumnWiseAndRowWiseBuffers) {
  for (int id = 1; id <= 5; ++id)
    ASSERT_EQ(exec("INSERT INTO T (ID, NOM) VALUES (" + std::to_string(id) + ", 'n" + std::to_string(id) + "')"),
              SQL_SUCCESS);
  // Row-wise: one struct a row, with a gap after it.
  struct Row {
    SQLINTEGER id;
    SQLLEN idInd;
    SQLCHAR nom[8];
    SQLLEN nomInd;
    char gap[5];
  };
  Row rows[3];
  std::memset(rows, 0x5A, sizeof rows);
  SQLULEN fetched = 0;
  SQLUSMALLINT status[3];
  SQLSetStmtAttr(stmt_, SQL_ATTR_ROW_BIND_TYPE, reinterpret_cast<SQLPOINTER>(sizeof(Row)), 0);
  SQLSetStmtAttr(stmt_, SQL_ATTR_ROW_ARRAY_SIZE, reinterpret_cast<SQLPOINTER>(3), 0);
  SQLSetStmtAttr(stmt_, SQL_ATTR_ROWS_FETCHED_PTR, &fetched, 0);
  SQLSetStmtAttr(stmt_, SQL_ATTR_ROW_STATUS_PTR, status, 0);
  ASSERT_EQ(exec("SELECT ID, NOM FROM T ORDER BY ID"), SQL_SUCCESS);
  SQLBindCol(stmt_, 1, SQL_C_SLONG, &rows[0].id, 0, &rows[0].idInd);
  SQLBindCol(stmt_, 2, SQL_C_CHAR, rows[0].nom, sizeof rows[0].nom, &rows[0].nomInd);
  ASSERT_EQ(SQLFetch(stmt_), SQL_SUCCESS);
  EXPECT_EQ(fetched, 3u);
  for (int k = 0; k < 3; ++k) {
    EXPECT_EQ(rows[k].id, k + 1);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(rows[k].nom)), "n" + std::to_string(k + 1));
    EXPECT_EQ(status[k], SQL_ROW_SUCCESS);
    EXPECT_EQ(rows[k].gap[0], 0x5A) << "written past its column";
  }
  ASSERT_EQ(SQLFetch(stmt_), SQL_SUCCESS);
  EXPECT_EQ(fetched, 2u);
  EXPECT_EQ(rows[1].id, 5);
  EXPECT_EQ(status[2], SQL_ROW_NOROW);
  EXPECT_EQ(SQLFetch(stmt_), SQL_NO_DATA);

  // Column-wise, with at most four rows in all.
  SQLFreeStmt(stmt_, SQL_UNBIND);
  SQLSetStmtAttr(stmt_, SQL_ATTR_ROW_BIND_TYPE, reinterpret_cast<SQLPOINTER>(SQL_BIND_BY_COLUMN), 0);
  SQLSetStmtAttr(stmt_, SQL_ATTR_MAX_ROWS, reinterpret_cast<SQLPOINTER>(4), 0);
  SQLINTEGER ids[3] = {0, 0, 0};
  SQLLEN inds[3];
  ASSERT_EQ(exec("SELECT ID FROM T ORDER BY ID DESC"), SQL_SUCCESS);
  SQLBindCol(stmt_, 1, SQL_C_SLONG, ids, sizeof ids[0], inds);
  ASSERT_EQ(SQLFetch(stmt_), SQL_SUCCESS);
  EXPECT_EQ(std::vector<SQLINTEGER>(ids, ids + 3), (std::vector<SQLINTEGER>{5, 4, 3}));
  ASSERT_EQ(SQLFetch(stmt_), SQL_SUCCESS);
  EXPECT_EQ(fetched, 1u);
  EXPECT_EQ(ids[0], 2);
  EXPECT_EQ(SQLFetch(stmt_), SQL_NO_DATA);
}

TEST_F(OdbcDriver, ParametersGivenPieceByPieceAtExecution) {
  ASSERT_EQ(SQLPrepare(stmt_, text("INSERT INTO T (ID, NOM, NOTE) VALUES (?, ?, ?)"), SQL_NTS), SQL_SUCCESS);
  SQLINTEGER id = 4;
  SQLLEN atExec = SQL_DATA_AT_EXEC, atExecLen = SQL_LEN_DATA_AT_EXEC(0);
  SQLBindParameter(stmt_, 1, SQL_PARAM_INPUT, SQL_C_SLONG, SQL_INTEGER, 0, 0, &id, 0, nullptr);
  SQLBindParameter(stmt_, 2, SQL_PARAM_INPUT, SQL_C_WCHAR, SQL_WVARCHAR, 80, 0, reinterpret_cast<SQLPOINTER>(2), 0,
                   &atExec);
  SQLBindParameter(stmt_, 3, SQL_PARAM_INPUT, SQL_C_CHAR, SQL_LONGVARCHAR, 0, 0, reinterpret_cast<SQLPOINTER>(3), 0,
                   &atExecLen);
  ASSERT_EQ(SQLExecute(stmt_), SQL_NEED_DATA);
  SQLPOINTER token = nullptr;
  ASSERT_EQ(SQLParamData(stmt_, &token), SQL_NEED_DATA);
  EXPECT_EQ(token, reinterpret_cast<SQLPOINTER>(2));
  const std::u16string part1 = u"L'été ", part2 = u"𝄞";
  SQLPutData(stmt_, const_cast<char16_t*>(part1.data()), static_cast<SQLLEN>(part1.size() * 2));
  SQLPutData(stmt_, const_cast<char16_t*>(part2.data()), static_cast<SQLLEN>(part2.size() * 2));
  ASSERT_EQ(SQLParamData(stmt_, &token), SQL_NEED_DATA);
  EXPECT_EQ(token, reinterpret_cast<SQLPOINTER>(3));
  SQLPutData(stmt_, const_cast<char*>("a?b"), SQL_NTS);
  SQLPutData(stmt_, const_cast<char*>("'c'"), 3);
  ASSERT_EQ(SQLParamData(stmt_, &token), SQL_SUCCESS) << stateOf(SQL_HANDLE_STMT, stmt_);
  EXPECT_EQ(SQLParamData(stmt_, &token), SQL_ERROR);
  EXPECT_EQ(stateOf(SQL_HANDLE_STMT, stmt_), "HY010");

  jetdb::Error error;
  auto db = jetdb::Database::open(path_, jetdb::OpenMode::ReadOnly, error);
  auto q = db->query("SELECT NOM, NOTE FROM T WHERE ID = 4");
  ASSERT_TRUE(q && q->next());
  EXPECT_EQ(q->value(0).text, "L'été 𝄞");
  EXPECT_EQ(q->value(1).text, "a?b'c'");
}

TEST_F(OdbcDriver, LongTextReadsInPiecesThatMakeTheWholeValue) {
  std::string note;
  for (int i = 0; i < 300; ++i) note += "crème brûlée 𝄞 n°" + std::to_string(i) + " € ";
  jetdb::Error error;
  {
    auto db = jetdb::Database::open(path_, jetdb::OpenMode::Existing, error);
    ASSERT_TRUE(db && db->insertRow("T", {{"ID", jetdb::Value::of(1)}, {"NOTE", jetdb::Value::of(note)}}));
  }
  const std::u16string wide = tqodbc::toUtf16(note);
  // Down to a buffer of one wide character; a cut piece fills the buffer
  // whole (clients count on it), surrogate pairs or not.
  for (auto [type, size] : {std::pair{SQL_C_CHAR, 11}, {SQL_C_CHAR, 2}, {SQL_C_WCHAR, 11}, {SQL_C_WCHAR, 4}}) {
    const bool w = type == SQL_C_WCHAR;
    ASSERT_EQ(exec("SELECT NOTE FROM T"), SQL_SUCCESS);
    ASSERT_EQ(SQLFetch(stmt_), SQL_SUCCESS);
    std::string bytes;
    SQLLEN ind = 0;
    char buf[11];
    SQLRETURN rc = SQLGetData(stmt_, 1, type, buf, size, &ind);
    EXPECT_EQ(rc, SQL_SUCCESS_WITH_INFO);
    EXPECT_EQ(stateOf(SQL_HANDLE_STMT, stmt_), "01004");
    EXPECT_EQ(ind, static_cast<SQLLEN>(w ? wide.size() * 2 : note.size())) << "the whole length, first";
    const std::size_t unit = w ? 2 : 1;
    for (std::size_t calls = 0; SQL_SUCCEEDED(rc) && calls <= note.size(); ++calls) {
      const std::size_t got = rc == SQL_SUCCESS_WITH_INFO ? size / unit * unit - unit : static_cast<std::size_t>(ind);
      bytes.append(buf, got);
      rc = SQLGetData(stmt_, 1, type, buf, size, &ind);
    }
    EXPECT_EQ(rc, SQL_NO_DATA);
    if (w)
      EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(bytes.data()), bytes.size() / 2), wide);
    else
      EXPECT_EQ(bytes, note);
  }
}

TEST_F(OdbcDriver, BoundParametersReachTheFileAsTheyWereBound) {
  ASSERT_EQ(
      SQLPrepare(stmt_, text("INSERT INTO T (ID, NOM, QTE, ACTIF, JOUR, NOTE) VALUES (?, ?, ?, ?, ?, ?)"), SQL_NTS),
      SQL_SUCCESS);
  SQLSMALLINT markers = 0;
  ASSERT_EQ(SQLNumParams(stmt_, &markers), SQL_SUCCESS);
  EXPECT_EQ(markers, 6);
  SQLINTEGER id = 7;
  const std::string name = "L'été \"au\" four ? [sic]";
  double qte = 0.1;
  unsigned char actif = 1;
  SQL_TIMESTAMP_STRUCT jour{2024, 2, 29, 23, 59, 58, 0};
  SQLLEN nts = SQL_NTS, null = SQL_NULL_DATA;
  SQLBindParameter(stmt_, 1, SQL_PARAM_INPUT, SQL_C_SLONG, SQL_INTEGER, 0, 0, &id, 0, nullptr);
  SQLBindParameter(stmt_, 2, SQL_PARAM_INPUT, SQL_C_CHAR, SQL_VARCHAR, 80, 0, const_cast<char*>(name.c_str()), 0, &nts);
  SQLBindParameter(stmt_, 3, SQL_PARAM_INPUT, SQL_C_DOUBLE, SQL_DOUBLE, 0, 0, &qte, 0, nullptr);
  SQLBindParameter(stmt_, 4, SQL_PARAM_INPUT, SQL_C_BIT, SQL_BIT, 0, 0, &actif, 0, nullptr);
  SQLBindParameter(stmt_, 5, SQL_PARAM_INPUT, SQL_C_TYPE_TIMESTAMP, SQL_TYPE_TIMESTAMP, 19, 0, &jour, 0, nullptr);
  SQLBindParameter(stmt_, 6, SQL_PARAM_INPUT, SQL_C_CHAR, SQL_LONGVARCHAR, 0, 0, nullptr, 0, &null);
  ASSERT_EQ(SQLExecute(stmt_), SQL_SUCCESS) << stateOf(SQL_HANDLE_STMT, stmt_);
  SQLLEN rows = 0;
  SQLRowCount(stmt_, &rows);
  EXPECT_EQ(rows, 1);
  // A second execution with other values: the text is prepared once.
  id = 8;
  ASSERT_EQ(SQLExecute(stmt_), SQL_SUCCESS);

  jetdb::Error error;
  auto db = jetdb::Database::open(path_, jetdb::OpenMode::ReadOnly, error);
  auto q = db->query("SELECT ID, NOM, QTE, ACTIF, NOTE FROM T WHERE JOUR = #2024-02-29 23:59:58# ORDER BY ID");
  ASSERT_TRUE(q);
  for (int expectedId : {7, 8}) {
    ASSERT_TRUE(q->next());
    EXPECT_EQ(q->value(0), jetdb::Value::of(expectedId));
    EXPECT_EQ(q->value(1), jetdb::Value::of(name));
    EXPECT_EQ(q->value(2), jetdb::Value::of(qte));
    EXPECT_EQ(q->value(3), jetdb::Value::of(-1));
    EXPECT_TRUE(q->value(4).isNull());
  }
  EXPECT_FALSE(q->next());

  // And they read back through the driver as they were bound.
  ASSERT_EQ(exec("SELECT JOUR, ACTIF, QTE FROM T WHERE ID = 7"), SQL_SUCCESS);
  ASSERT_EQ(SQLFetch(stmt_), SQL_SUCCESS);
  SQL_TIMESTAMP_STRUCT back{};
  unsigned char bit = 0;
  double d = 0;
  SQLLEN ind = 0;
  ASSERT_EQ(SQLGetData(stmt_, 1, SQL_C_TYPE_TIMESTAMP, &back, sizeof back, &ind), SQL_SUCCESS);
  EXPECT_EQ(std::tie(back.year, back.month, back.day, back.hour, back.minute, back.second),
            std::tie(jour.year, jour.month, jour.day, jour.hour, jour.minute, jour.second));
  ASSERT_EQ(SQLGetData(stmt_, 2, SQL_C_BIT, &bit, 1, &ind), SQL_SUCCESS);
  EXPECT_EQ(bit, 1);
  ASSERT_EQ(SQLGetData(stmt_, 3, SQL_C_DOUBLE, &d, sizeof d, &ind), SQL_SUCCESS);
  EXPECT_EQ(d, qte);
}

TEST_F(OdbcDriver, RefusalsCarryJetdbsDiagnostics) {
  ASSERT_EQ(exec("INSERT INTO T (ID) VALUES (1)"), SQL_SUCCESS);
  const std::string duplicate = "INSERT INTO T (ID) VALUES (1)";
  ASSERT_EQ(exec(duplicate), SQL_ERROR);
  SQLCHAR state[6];
  SQLINTEGER native = 0;
  SQLCHAR message[1024];
  SQLSMALLINT length = 0;
  ASSERT_EQ(SQLGetDiagRec(SQL_HANDLE_STMT, stmt_, 1, state, &native, message, sizeof message, &length), SQL_SUCCESS);
  jetdb::Error error;
  auto db = jetdb::Database::open(path_, jetdb::OpenMode::Existing, error);
  ASSERT_FALSE(db->execute(duplicate));
  const jetdb::Error& jet = db->lastError();
  EXPECT_EQ(reinterpret_cast<char*>(state), jet.state);
  EXPECT_EQ(native, jet.native);
  EXPECT_EQ(reinterpret_cast<char*>(message), jet.origin + jet.message);
  EXPECT_EQ(SQLGetDiagRec(SQL_HANDLE_STMT, stmt_, 2, state, &native, message, sizeof message, &length), SQL_NO_DATA);
}

TEST_F(OdbcDriver, WithAutocommitOffEndTranCommitsOrRollsBackWhole) {
  ASSERT_EQ(exec("INSERT INTO T (ID, NOM) VALUES (1, 'gardé')"), SQL_SUCCESS);
  ASSERT_EQ(SQLSetConnectAttr(dbc_, SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_OFF), 0),
            SQL_SUCCESS);
  SQLUSMALLINT capable = 0, onRollback = 0;
  SQLGetInfo(dbc_, SQL_TXN_CAPABLE, &capable, sizeof capable, nullptr);
  SQLGetInfo(dbc_, SQL_CURSOR_ROLLBACK_BEHAVIOR, &onRollback, sizeof onRollback, nullptr);
  EXPECT_EQ(capable, SQL_TC_ALL);
  EXPECT_EQ(onRollback, SQL_CB_CLOSE);
  auto rows = [&] {
    jetdb::Error error;
    auto db = jetdb::Database::open(path_, jetdb::OpenMode::ReadOnly, error);
    auto q = db ? db->query("SELECT COUNT(*) FROM T") : nullptr;
    return q && q->next() ? q->value(0).integer : -1;
  };
  ASSERT_EQ(exec("INSERT INTO T (ID, NOM) VALUES (2, 'deux')"), SQL_SUCCESS);
  ASSERT_EQ(exec("CREATE TABLE U (X LONG)"), SQL_SUCCESS);
  EXPECT_EQ(rows(), 1) << "another connection sees nothing before the commit";
  // A cursor open at the rollback is closed; the statement stays prepared.
  ASSERT_EQ(exec("SELECT ID FROM T ORDER BY ID"), SQL_SUCCESS);
  EXPECT_EQ(SQLEndTran(SQL_HANDLE_DBC, dbc_, SQL_ROLLBACK), SQL_SUCCESS);
  EXPECT_EQ(SQLFetch(stmt_), SQL_ERROR);
  EXPECT_EQ(stateOf(SQL_HANDLE_STMT, stmt_), "24000");
  EXPECT_EQ(SQLExecute(stmt_), SQL_SUCCESS);
  ASSERT_EQ(SQLFetch(stmt_), SQL_SUCCESS);
  EXPECT_EQ(SQLFetch(stmt_), SQL_NO_DATA) << "the row inserted is gone";
  EXPECT_EQ(exec("SELECT X FROM U"), SQL_ERROR) << "and the table made";

  ASSERT_EQ(exec("UPDATE T SET NOM = 'validé'"), SQL_SUCCESS);
  EXPECT_EQ(SQLEndTran(SQL_HANDLE_ENV, env_, SQL_COMMIT), SQL_SUCCESS);
  ASSERT_EQ(exec("INSERT INTO T (ID) VALUES (3)"), SQL_SUCCESS);
  // Turning autocommit on commits what is under way.
  ASSERT_EQ(SQLSetConnectAttr(dbc_, SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_ON), 0),
            SQL_SUCCESS);
  EXPECT_EQ(rows(), 2);
  // And a disconnection rolls back what was never committed.
  SQLSetConnectAttr(dbc_, SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_OFF), 0);
  ASSERT_EQ(exec("DELETE FROM T"), SQL_SUCCESS);
  SQLFreeHandle(SQL_HANDLE_STMT, stmt_);
  stmt_ = nullptr;
  ASSERT_EQ(SQLDisconnect(dbc_), SQL_SUCCESS);
  EXPECT_EQ(rows(), 2);
}

}  // namespace

namespace {

TEST_F(OdbcDriver, ParameterArraysRunSetBySetAndStopAtTheFirstRefused) {
  ASSERT_EQ(SQLPrepare(stmt_, text("INSERT INTO T (ID, NOM) VALUES (?, ?)"), SQL_NTS), SQL_SUCCESS);
  SQLSMALLINT type = 0, digits = -1, nullable = -1;
  SQLULEN size = 0;
  ASSERT_EQ(SQLDescribeParam(stmt_, 2, &type, &size, &digits, &nullable), SQL_SUCCESS);
  EXPECT_EQ(type, SQL_WVARCHAR) << "the type of the column NOM";
  ASSERT_EQ(SQLDescribeParam(stmt_, 1, &type, &size, &digits, &nullable), SQL_SUCCESS);
  EXPECT_EQ(type, SQL_INTEGER);
  EXPECT_EQ(SQLDescribeParam(stmt_, 3, &type, &size, &digits, &nullable), SQL_ERROR);
  EXPECT_EQ(stateOf(SQL_HANDLE_STMT, stmt_), "07009");

  // Four sets bound by row; the third repeats the first's key.
  struct Row {
    SQLINTEGER id;
    SQLLEN idInd;
    char nom[8];
    SQLLEN nomInd;
  } rows[4] = {{1, 0, "un", SQL_NTS}, {2, 0, "", SQL_NULL_DATA}, {1, 0, "bis", SQL_NTS}, {4, 0, "quatre", SQL_NTS}};
  SQLUSMALLINT status[4] = {9, 9, 9, 9};
  SQLULEN processed = 0;
  SQLSetStmtAttr(stmt_, SQL_ATTR_PARAM_BIND_TYPE, reinterpret_cast<SQLPOINTER>(sizeof(Row)), 0);
  SQLSetStmtAttr(stmt_, SQL_ATTR_PARAMSET_SIZE, reinterpret_cast<SQLPOINTER>(4), 0);
  SQLSetStmtAttr(stmt_, SQL_ATTR_PARAM_STATUS_PTR, status, 0);
  SQLSetStmtAttr(stmt_, SQL_ATTR_PARAMS_PROCESSED_PTR, &processed, 0);
  SQLBindParameter(stmt_, 1, SQL_PARAM_INPUT, SQL_C_SLONG, SQL_INTEGER, 0, 0, &rows[0].id, 0, &rows[0].idInd);
  SQLBindParameter(stmt_, 2, SQL_PARAM_INPUT, SQL_C_CHAR, SQL_WVARCHAR, 80, 0, rows[0].nom, sizeof rows[0].nom,
                   &rows[0].nomInd);
  EXPECT_EQ(SQLExecute(stmt_), SQL_ERROR);
  EXPECT_EQ(stateOf(SQL_HANDLE_STMT, stmt_), "23000");
  EXPECT_EQ(processed, 3u);
  EXPECT_EQ(std::vector<int>(status, status + 4),
            (std::vector<int>{SQL_PARAM_SUCCESS, SQL_PARAM_SUCCESS, SQL_PARAM_ERROR, SQL_PARAM_UNUSED}));

  // The rows the first two sets wrote, the second's Null a Null.
  SQLSetStmtAttr(stmt_, SQL_ATTR_PARAMSET_SIZE, reinterpret_cast<SQLPOINTER>(1), 0);
  SQLFreeStmt(stmt_, SQL_RESET_PARAMS);
  ASSERT_EQ(SQLPrepare(stmt_, text("SELECT ID, NOM, 'x' AS L, Len(NOM) FROM T ORDER BY ID"), SQL_NTS), SQL_SUCCESS);
  SQLSMALLINT columns = 0;
  ASSERT_EQ(SQLNumResultCols(stmt_, &columns), SQL_SUCCESS);
  EXPECT_EQ(columns, 4) << "described once prepared, before it runs";
  ASSERT_EQ(SQLDescribeCol(stmt_, 3, nullptr, 0, nullptr, &type, nullptr, nullptr, nullptr), SQL_SUCCESS);
  EXPECT_EQ(type, SQL_WVARCHAR) << "a text literal";
  ASSERT_EQ(SQLDescribeCol(stmt_, 4, nullptr, 0, nullptr, &type, nullptr, nullptr, nullptr), SQL_SUCCESS);
  EXPECT_EQ(type, SQL_INTEGER) << "Len()";
  ASSERT_EQ(SQLExecute(stmt_), SQL_SUCCESS);
  SQLINTEGER id = 0;
  SQLLEN ind = 0;
  std::vector<std::pair<int, SQLLEN>> read;
  while (SQLFetch(stmt_) == SQL_SUCCESS) {
    char nom[8];
    SQLGetData(stmt_, 1, SQL_C_SLONG, &id, 0, nullptr);
    SQLGetData(stmt_, 2, SQL_C_CHAR, nom, sizeof nom, &ind);
    read.emplace_back(id, ind);
  }
  EXPECT_EQ(read, (std::vector<std::pair<int, SQLLEN>>{{1, 2}, {2, SQL_NULL_DATA}}));
}

TEST_F(OdbcDriver, CatalogAnswersAsTheAccessDriverAndAnsiModeFromTheConnectionString) {
  ASSERT_EQ(exec("INSERT INTO T (ID, NOM) VALUES (1, 'é_1')"), SQL_SUCCESS);
  ASSERT_EQ(exec("INSERT INTO T (ID, NOM) VALUES (2, 'e*2')"), SQL_SUCCESS);
  ASSERT_EQ(exec("INSERT INTO T (ID, NOM) VALUES (3, 'E_3')"), SQL_SUCCESS);  // case folds, é does not
  ASSERT_EQ(exec("CREATE VIEW V AS SELECT NOM FROM T"), SQL_SUCCESS);
  ASSERT_EQ(SQLTables(stmt_, nullptr, 0, nullptr, 0, nullptr, 0, nullptr, 0), SQL_SUCCESS);
  std::vector<std::string> listed;
  while (SQLFetch(stmt_) == SQL_SUCCESS) {
    char cat[512], name[64], kind[16];
    SQLGetData(stmt_, 1, SQL_C_CHAR, cat, sizeof cat, nullptr);
    SQLGetData(stmt_, 3, SQL_C_CHAR, name, sizeof name, nullptr);
    SQLGetData(stmt_, 4, SQL_C_CHAR, kind, sizeof kind, nullptr);
    EXPECT_EQ(cat, path_.substr(0, path_.size() - 4)) << "the file, without its extension";
    listed.push_back(std::string(name) + " " + kind);
  }
  EXPECT_EQ(listed, (std::vector<std::string>{"T TABLE", "V VIEW"}));

  SQLFreeStmt(stmt_, SQL_CLOSE);
  ASSERT_EQ(SQLColumns(stmt_, nullptr, 0, nullptr, 0, text("T"), SQL_NTS, nullptr, 0), SQL_SUCCESS);
  std::vector<std::string> names;
  while (SQLFetch(stmt_) == SQL_SUCCESS) {
    char name[32];
    SQLGetData(stmt_, 6, SQL_C_CHAR, name, sizeof name, nullptr);
    names.emplace_back(name);
  }
  EXPECT_EQ(names, (std::vector<std::string>{"INTEGER", "VARCHAR", "DOUBLE", "BIT", "DATETIME", "LONGCHAR"}));

  // A text read as bytes is its UTF-16LE.
  ASSERT_EQ(exec("SELECT NOM FROM T WHERE ID = 1"), SQL_SUCCESS);
  ASSERT_EQ(SQLFetch(stmt_), SQL_SUCCESS);
  unsigned char bytes[16];
  SQLLEN length = 0;
  ASSERT_EQ(SQLGetData(stmt_, 1, SQL_C_BINARY, bytes, sizeof bytes, &length), SQL_SUCCESS);
  EXPECT_EQ(std::vector<unsigned char>(bytes, bytes + length),
            (std::vector<unsigned char>{0xE9, 0, '_', 0, '1', 0}));

  // ANSI-92 mode, asked in the connection string: % and _ are the wildcards.
  auto matches = [&](SQLHANDLE stmt, const char* pattern) {
    SQLFreeStmt(stmt, SQL_CLOSE);
    std::string sql = std::string("SELECT COUNT(*) FROM T WHERE NOM LIKE '") + pattern + "'";
    SQLINTEGER n = -1;
    if (SQLExecDirect(stmt, text(sql.c_str()), SQL_NTS) != SQL_SUCCESS || SQLFetch(stmt) != SQL_SUCCESS) return -1;
    SQLGetData(stmt, 1, SQL_C_SLONG, &n, 0, nullptr);
    return static_cast<int>(n);
  };
  EXPECT_EQ(matches(stmt_, "e%"), 0);
  EXPECT_EQ(matches(stmt_, "e*"), 2);
  SQLHANDLE dbc = nullptr, stmt = nullptr;
  ASSERT_EQ(SQLAllocHandle(SQL_HANDLE_DBC, env_, &dbc), SQL_SUCCESS);
  std::string in = "DRIVER={Microsoft Access Driver (*.mdb)};DBQ=" + path_ + ";ExtendedAnsiSQL=1";
  ASSERT_EQ(SQLDriverConnect(dbc, nullptr, text(in.c_str()), SQL_NTS, nullptr, 0, nullptr, SQL_DRIVER_NOPROMPT),
            SQL_SUCCESS);
  ASSERT_EQ(SQLAllocHandle(SQL_HANDLE_STMT, dbc, &stmt), SQL_SUCCESS);
  EXPECT_EQ(matches(stmt, "e%"), 2);
  EXPECT_EQ(matches(stmt, "_\\_1"), 0) << "no escape character in Jet";
  EXPECT_EQ(matches(stmt, "e[*]2"), 1);
  EXPECT_EQ(matches(stmt, "e*"), 0) << "* stands for itself";
  EXPECT_EQ(matches(stmt_, "e%"), 0) << "the first connection keeps its mode";
  SQLFreeHandle(SQL_HANDLE_STMT, stmt);
  SQLDisconnect(dbc);
  SQLFreeHandle(SQL_HANDLE_DBC, dbc);
}

TEST_F(OdbcDriver, BytesGuidsAndDecimalsAreDescribedAndExchangedAsTheAccessDriverDoes) {
  ASSERT_EQ(exec("CREATE TABLE N (ID LONG, B VARBINARY(4), O LONGBINARY, G GUID, D DECIMAL(10,3))"), SQL_SUCCESS);
  SQLFreeStmt(stmt_, SQL_CLOSE);
  ASSERT_EQ(SQLColumns(stmt_, nullptr, 0, nullptr, 0, text("N"), SQL_NTS, nullptr, 0), SQL_SUCCESS);
  std::vector<std::string> described;
  while (SQLFetch(stmt_) == SQL_SUCCESS) {
    char name[32];
    SQLSMALLINT type = 0, digits = 0;
    SQLINTEGER size = 0;
    SQLLEN digitsInd = 0;
    SQLGetData(stmt_, 6, SQL_C_CHAR, name, sizeof name, nullptr);
    SQLGetData(stmt_, 5, SQL_C_SSHORT, &type, 0, nullptr);
    SQLGetData(stmt_, 7, SQL_C_SLONG, &size, 0, nullptr);
    SQLGetData(stmt_, 9, SQL_C_SSHORT, &digits, 0, &digitsInd);
    described.push_back(std::string(name) + " " + std::to_string(type) + " " + std::to_string(size) + " " +
                        (digitsInd == SQL_NULL_DATA ? "-" : std::to_string(digits)));
  }
  EXPECT_EQ(described, (std::vector<std::string>{"INTEGER 4 10 0", "VARBINARY -3 4 -", "LONGBINARY -4 1073741823 -",
                                                 "GUID -11 36 -", "DECIMAL 2 10 3"}));
  // Each ODBC type finds the Jet type that holds it.
  auto offered = [&](SQLSMALLINT type) {
    SQLFreeStmt(stmt_, SQL_CLOSE);
    std::vector<std::string> names;
    if (SQLGetTypeInfo(stmt_, type) != SQL_SUCCESS) return names;
    char name[32];
    while (SQLFetch(stmt_) == SQL_SUCCESS && SQLGetData(stmt_, 1, SQL_C_CHAR, name, sizeof name, nullptr) == SQL_SUCCESS)
      names.emplace_back(name);
    return names;
  };
  EXPECT_EQ(offered(SQL_BINARY), std::vector<std::string>{"BINARY"});
  EXPECT_EQ(offered(SQL_VARBINARY), std::vector<std::string>{"VARBINARY"});
  EXPECT_EQ(offered(SQL_LONGVARBINARY), std::vector<std::string>{"LONGBINARY"});
  EXPECT_EQ(offered(SQL_GUID), std::vector<std::string>{"GUID"});
  EXPECT_EQ(offered(SQL_NUMERIC), std::vector<std::string>{"DECIMAL"});

  // Bound as an application binds them, they arrive unchanged.
  SQLFreeStmt(stmt_, SQL_CLOSE);
  ASSERT_EQ(SQLPrepare(stmt_, text("INSERT INTO N (ID, B, G, D) VALUES (?, ?, ?, ?)"), SQL_NTS), SQL_SUCCESS);
  SQLINTEGER id = 1;
  unsigned char bytes[5] = {0x00, 0xFF, 0x00, 0x7F, 0x01};
  SQLLEN byteCount = 4, nts = SQL_NTS;
  const SQLGUID guid{0xDE2AC9C6, 0x8676, 0x4B0B, {0xB8, 0xA6, 0x21, 0x7A, 0x85, 0x80, 0xCB, 0xEE}};
  char decimal[32] = "-1234567.5";
  SQLBindParameter(stmt_, 1, SQL_PARAM_INPUT, SQL_C_SLONG, SQL_INTEGER, 0, 0, &id, 0, nullptr);
  SQLBindParameter(stmt_, 2, SQL_PARAM_INPUT, SQL_C_BINARY, SQL_VARBINARY, 4, 0, bytes, sizeof bytes, &byteCount);
  SQLBindParameter(stmt_, 3, SQL_PARAM_INPUT, SQL_C_GUID, SQL_GUID, 16, 0, const_cast<SQLGUID*>(&guid), 0, nullptr);
  SQLBindParameter(stmt_, 4, SQL_PARAM_INPUT, SQL_C_CHAR, SQL_DECIMAL, 10, 3, decimal, sizeof decimal, &nts);
  ASSERT_EQ(SQLExecute(stmt_), SQL_SUCCESS) << stateOf(SQL_HANDLE_STMT, stmt_);
  // One byte more than the column holds, a decimal beyond its precision.
  id = 2;
  byteCount = 5;
  EXPECT_EQ(SQLExecute(stmt_), SQL_ERROR);
  EXPECT_EQ(stateOf(SQL_HANDLE_STMT, stmt_), "22001");
  byteCount = 4;
  std::strcpy(decimal, "10000000");
  EXPECT_EQ(SQLExecute(stmt_), SQL_ERROR);
  EXPECT_EQ(stateOf(SQL_HANDLE_STMT, stmt_), "22003");

  ASSERT_EQ(exec("SELECT B, G, G, D FROM N"), SQL_SUCCESS);
  ASSERT_EQ(SQLFetch(stmt_), SQL_SUCCESS);
  unsigned char back[8] = {0};
  SQLLEN length = 0;
  ASSERT_EQ(SQLGetData(stmt_, 1, SQL_C_BINARY, back, sizeof back, &length), SQL_SUCCESS);
  EXPECT_EQ(std::vector<unsigned char>(back, back + length), std::vector<unsigned char>(bytes, bytes + 4));
  char guidText[64] = {0};
  ASSERT_EQ(SQLGetData(stmt_, 2, SQL_C_CHAR, guidText, sizeof guidText, nullptr), SQL_SUCCESS);
  EXPECT_STREQ(guidText, "DE2AC9C6-8676-4B0B-B8A6-217A8580CBEE");
  SQLGUID guidBack{};
  ASSERT_EQ(SQLGetData(stmt_, 3, SQL_C_GUID, &guidBack, sizeof guidBack, nullptr), SQL_SUCCESS);
  EXPECT_EQ(std::memcmp(&guidBack, &guid, sizeof guid), 0);
  char decimalText[32] = {0};
  ASSERT_EQ(SQLGetData(stmt_, 4, SQL_C_CHAR, decimalText, sizeof decimalText, nullptr), SQL_SUCCESS);
  EXPECT_STREQ(decimalText, "-1234567.500") << "as many decimals as the column's scale";
  EXPECT_EQ(SQLFetch(stmt_), SQL_NO_DATA) << "the refused rows were not written";
}

}  // namespace
