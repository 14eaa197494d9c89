// Handles, environment and connection: allocation, attributes, connecting,
// diagnostics, and what the driver says of itself.
#include <odbcinst.h>

#include <cstring>
#include <map>
#include <mutex>
#include <unordered_map>

#include "driver.h"
#include "jetdb/text.h"

namespace tqodbc {

namespace {

// Every live handle, owned here: a handle is valid exactly while it is a
// key of this map, so a freed one is refused without being read.
std::mutex registryMutex;
std::unordered_map<const void*, std::unique_ptr<Handle>>& registry() {
  static std::unordered_map<const void*, std::unique_ptr<Handle>> handles;
  return handles;
}

template <class T>
T* adopt(std::unique_ptr<T> h) {
  T* raw = h.get();
  std::lock_guard lock(registryMutex);
  registry().emplace(raw, std::move(h));
  return raw;
}

void release(const void* h) {
  std::unique_ptr<Handle> gone;
  {
    std::lock_guard lock(registryMutex);
    auto it = registry().find(h);
    if (it == registry().end()) return;
    gone = std::move(it->second);
    registry().erase(it);
  }
}

// Handles that belong to `owner` (a connection's statements, a statement's
// descriptors), to be freed with it.
template <class Pred>
std::vector<const void*> handlesWhere(Pred pred) {
  std::vector<const void*> out;
  std::lock_guard lock(registryMutex);
  for (const auto& [key, h] : registry())
    if (pred(*h)) out.push_back(key);
  return out;
}

constexpr const char* kOrigin = "[tqodbc][Pilote Access]";

}  // namespace

void freeStatement(Stmt* s) {
  release(s->ard);
  release(s->apd);
  release(s->ird);
  release(s->ipd);
  release(s);
}

Handle* lookupAny(SQLHANDLE handle) {
  if (!handle) return nullptr;
  std::lock_guard lock(registryMutex);
  auto it = registry().find(handle);
  return it == registry().end() ? nullptr : it->second.get();
}

template <class T>
T* lookup(SQLHANDLE handle, SQLSMALLINT type) {
  Handle* h = lookupAny(handle);
  if (!h || h->type != type) return nullptr;
  return static_cast<T*>(h);
}
template Env* lookup<Env>(SQLHANDLE, SQLSMALLINT);
template Conn* lookup<Conn>(SQLHANDLE, SQLSMALLINT);
template Stmt* lookup<Stmt>(SQLHANDLE, SQLSMALLINT);

SQLRETURN Handle::fail(std::string state, std::string message, SQLINTEGER native) {
  diags.push_back({std::move(state), native, kOrigin + std::move(message)});
  return SQL_ERROR;
}

void Handle::warn(std::string state, std::string message) {
  diags.push_back({std::move(state), 0, kOrigin + std::move(message)});
}

SQLRETURN Handle::failWith(const jetdb::Error& e) {
  diags.push_back({e.state.empty() ? "HY000" : e.state, e.native, e.origin + e.message});
  return SQL_ERROR;
}

Stmt::Stmt(Conn* c) : Handle(SQL_HANDLE_STMT), conn(c) {
  ard = adopt(std::make_unique<Desc>());
  apd = adopt(std::make_unique<Desc>());
  ird = adopt(std::make_unique<Desc>());
  ipd = adopt(std::make_unique<Desc>());
}

// ---- text -----------------------------------------------------------------

std::string fromNarrow(const SQLCHAR* text, SQLLEN length) {
  if (!text) return {};
  const char* p = reinterpret_cast<const char*>(text);
  return length == SQL_NTS ? std::string(p) : std::string(p, static_cast<std::size_t>(length < 0 ? 0 : length));
}

std::string fromWide(const SQLWCHAR* text, SQLLEN length) {
  if (!text) return {};
  std::size_t n = 0;
  if (length == SQL_NTS) {
    while (text[n]) ++n;
  } else if (length > 0) {
    n = static_cast<std::size_t>(length);
  }
  // UTF-16 to code points, a lone surrogate becoming U+FFFD; the driver's
  // own encoder then writes them as UTF-8.
  std::u32string chars;
  chars.reserve(n);
  for (std::size_t i = 0; i < n; ++i) {
    char32_t c = text[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < n && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000)
      c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
    else if (c >= 0xD800 && c < 0xE000)
      c = 0xFFFD;
    chars += c;
  }
  return jetdb::encodeText(chars);
}

std::u16string toUtf16(const std::string& s) {
  std::u16string out;
  out.reserve(s.size());
  for (std::size_t i = 0; i < s.size();) {
    unsigned char b = static_cast<unsigned char>(s[i]);
    char32_t c;
    std::size_t len = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 0;
    if (len == 0 || i + len > s.size()) {
      c = 0xFFFD;  // not UTF-8: jetdb never gives such text, but a wide client must not see garbage
      len = 1;
    } else {
      c = len == 1 ? b : b & (0x7F >> len);
      for (std::size_t k = 1; k < len; ++k) c = (c << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
    }
    i += len;
    if (c >= 0x10000) {
      c -= 0x10000;
      out += static_cast<char16_t>(0xD800 + (c >> 10));
      out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
    } else {
      out += static_cast<char16_t>(c);
    }
  }
  return out;
}

SQLRETURN putText(Handle& h, const std::string& text, bool wide, SQLPOINTER out, SQLLEN capacity, bool bytes,
                  SQLLEN* length) {
  if (wide) {
    std::u16string w = toUtf16(text);
    SQLLEN unit = bytes ? 2 : 1;
    if (length) *length = static_cast<SQLLEN>(w.size()) * unit;
    SQLLEN room = capacity / unit;  // characters, the terminator included
    if (out && room > 0) {
      std::size_t n = std::min(w.size(), static_cast<std::size_t>(room - 1));
      auto* p = static_cast<SQLWCHAR*>(out);
      for (std::size_t i = 0; i < n; ++i) p[i] = w[i];
      p[n] = 0;
    }
    if (out && static_cast<SQLLEN>(w.size()) >= room) {
      h.warn("01004", "Données de type chaîne tronquées à droite.");
      return SQL_SUCCESS_WITH_INFO;
    }
    return SQL_SUCCESS;
  }
  if (length) *length = static_cast<SQLLEN>(text.size());
  if (out && capacity > 0) {
    std::size_t n = std::min(text.size(), static_cast<std::size_t>(capacity - 1));
    std::memcpy(out, text.data(), n);
    static_cast<char*>(out)[n] = 0;
  }
  if (out && static_cast<SQLLEN>(text.size()) >= capacity) {
    h.warn("01004", "Données de type chaîne tronquées à droite.");
    return SQL_SUCCESS_WITH_INFO;
  }
  return SQL_SUCCESS;
}

SQLRETURN putText16(Handle& h, const std::string& text, bool wide, SQLPOINTER out, SQLSMALLINT capacity, bool bytes,
                    SQLSMALLINT* length) {
  SQLLEN n = 0;
  SQLRETURN rc = putText(h, text, wide, out, capacity, bytes, &n);
  if (length) *length = static_cast<SQLSMALLINT>(std::min<SQLLEN>(n, 32767));
  return rc;
}

// ---- connecting -------------------------------------------------------------

namespace {

// KEY=VALUE;KEY={VALUE;WITH;SEMICOLONS};... keys in upper case.
std::map<std::string, std::string> parseConnectionString(const std::string& s) {
  std::map<std::string, std::string> out;
  std::size_t i = 0;
  while (i < s.size()) {
    std::size_t eq = s.find('=', i);
    if (eq == std::string::npos) break;
    std::string key = s.substr(i, eq - i);
    key.erase(0, key.find_first_not_of(" \t"));
    key.erase(key.find_last_not_of(" \t") + 1);
    for (char& ch : key) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    std::string value;
    i = eq + 1;
    if (i < s.size() && s[i] == '{') {
      for (++i; i < s.size(); ++i) {
        if (s[i] == '}') {
          if (i + 1 < s.size() && s[i + 1] == '}') {
            value += '}';
            ++i;
            continue;
          }
          ++i;
          break;
        }
        value += s[i];
      }
      std::size_t semi = s.find(';', i);
      i = semi == std::string::npos ? s.size() : semi + 1;
    } else {
      std::size_t semi = s.find(';', i);
      value = s.substr(i, semi == std::string::npos ? std::string::npos : semi - i);
      i = semi == std::string::npos ? s.size() : semi + 1;
    }
    if (!key.empty() && !out.count(key)) out[key] = value;
  }
  return out;
}

std::string profileString(const std::string& dsn, const char* key) {
  char buf[4096] = {0};
  int n = SQLGetPrivateProfileString(dsn.c_str(), key, "", buf, sizeof buf, "ODBC.INI");
  return n > 0 ? std::string(buf) : std::string();
}

}  // namespace

SQLRETURN connectTo(Conn& c, const std::string& dsn, const std::string& connectionString, std::string* completed) {
  if (c.db) return c.fail("08002", "La connexion est déjà ouverte.");
  auto attrs = parseConnectionString(connectionString);
  std::string name = !dsn.empty() ? dsn : attrs.count("DSN") ? attrs["DSN"] : std::string();
  std::string path = attrs.count("DBQ") ? attrs["DBQ"] : std::string();
  if (path.empty() && !name.empty()) path = profileString(name, "DBQ");
  if (path.empty()) {
    if (!name.empty()) return c.fail("IM002", "La source de données '" + name + "' ne nomme aucune base (DBQ).");
    return c.fail("08001", "Aucune base de données à ouvrir : donnez DSN= ou DBQ=.");
  }
  jetdb::Error error;
  auto db = jetdb::Database::open(path, c.readOnly ? jetdb::OpenMode::ReadOnly : jetdb::OpenMode::Existing, error);
  if (!db) {
    // Whatever jetdb found, ODBC's clients expect a connection failure to
    // carry the state of one.
    c.diags.push_back({"08001", error.native, error.origin + error.message});
    return SQL_ERROR;
  }
  c.db = std::move(db);
  c.dsn = name;
  c.path = path;
  if (completed) {
    *completed = name.empty() ? "DRIVER={" + (attrs.count("DRIVER") ? attrs["DRIVER"] : std::string()) + "};"
                              : "DSN=" + name + ";";
    *completed += "DBQ=" + path + ";";
  }
  return SQL_SUCCESS;
}

// ---- attributes -------------------------------------------------------------

SQLRETURN getConnectAttr(Conn& c, SQLINTEGER attr, bool wide, SQLPOINTER value, SQLINTEGER capacity,
                         SQLINTEGER* length) {
  auto put = [&](SQLUINTEGER v) {
    if (value) *static_cast<SQLUINTEGER*>(value) = v;
    if (length) *length = sizeof(SQLUINTEGER);
    return SQL_SUCCESS;
  };
  switch (attr) {
    case SQL_ATTR_AUTOCOMMIT:
      return put(c.autocommit ? SQL_AUTOCOMMIT_ON : SQL_AUTOCOMMIT_OFF);
    case SQL_ATTR_ACCESS_MODE:
      return put(c.readOnly ? SQL_MODE_READ_ONLY : SQL_MODE_READ_WRITE);
    case SQL_ATTR_LOGIN_TIMEOUT:
      return put(c.loginTimeout);
    case SQL_ATTR_CONNECTION_TIMEOUT:
      return put(0);
    case SQL_ATTR_TXN_ISOLATION:
      return put(SQL_TXN_SERIALIZABLE);
    case SQL_ATTR_CONNECTION_DEAD:
      return put(c.db ? SQL_CD_FALSE : SQL_CD_TRUE);
    case SQL_ATTR_CURRENT_CATALOG: {
      SQLLEN n = 0;
      SQLRETURN rc = putText(c, c.path, wide, value, capacity, true, &n);
      if (length) *length = static_cast<SQLINTEGER>(n);
      return rc;
    }
    default:
      return c.fail("HY092", "Attribut de connexion non reconnu (" + std::to_string(attr) + ").");
  }
}

SQLRETURN setConnectAttr(Conn& c, SQLINTEGER attr, SQLPOINTER value) {
  auto number = static_cast<SQLUINTEGER>(reinterpret_cast<std::uintptr_t>(value));
  switch (attr) {
    case SQL_ATTR_AUTOCOMMIT:
      c.autocommit = number == SQL_AUTOCOMMIT_ON;
      c.pendingWrites = false;
      return SQL_SUCCESS;
    case SQL_ATTR_ACCESS_MODE:
      if (c.db && (number == SQL_MODE_READ_ONLY) != c.readOnly)
        return c.fail("HY011", "Le mode d'accès se choisit avant l'ouverture de la connexion.");
      c.readOnly = number == SQL_MODE_READ_ONLY;
      return SQL_SUCCESS;
    case SQL_ATTR_LOGIN_TIMEOUT:
      c.loginTimeout = number;
      return SQL_SUCCESS;
    case SQL_ATTR_CONNECTION_TIMEOUT:
    case SQL_ATTR_TXN_ISOLATION:
    case SQL_ATTR_QUIET_MODE:
    case SQL_ATTR_PACKET_SIZE:
    case SQL_ATTR_ODBC_CURSORS:
    case SQL_ATTR_TRACE:
    case SQL_ATTR_TRACEFILE:
    case SQL_ATTR_ANSI_APP:
      return SQL_SUCCESS;  // nothing of these applies to a file on this machine
    default:
      return c.fail("HY092", "Attribut de connexion non reconnu (" + std::to_string(attr) + ").");
  }
}

// ---- diagnostics ------------------------------------------------------------

SQLRETURN diagRecord(SQLSMALLINT type, SQLHANDLE handle, SQLSMALLINT record, bool wide, SQLPOINTER state,
                     SQLINTEGER* native, SQLPOINTER message, SQLSMALLINT capacity, SQLSMALLINT* length) {
  Handle* h = lookupAny(handle);
  if (!h || h->type != type) return SQL_INVALID_HANDLE;
  if (record < 1 || capacity < 0) return SQL_ERROR;
  if (static_cast<std::size_t>(record) > h->diags.size()) return SQL_NO_DATA;
  const DiagRecord& d = h->diags[static_cast<std::size_t>(record - 1)];
  if (state) {
    if (wide) {
      auto* p = static_cast<SQLWCHAR*>(state);
      for (std::size_t i = 0; i < 5; ++i) p[i] = static_cast<SQLWCHAR>(i < d.state.size() ? d.state[i] : ' ');
      p[5] = 0;
    } else {
      std::snprintf(static_cast<char*>(state), 6, "%-5.5s", d.state.c_str());
    }
  }
  if (native) *native = d.native;
  // A cut message is still a success of this call: nothing is recorded on
  // the handle, whose diagnostics are being read.
  Handle scratch(type);
  SQLRETURN rc = putText16(scratch, d.message, wide, message, capacity, false, length);
  return rc;
}

SQLRETURN diagField(SQLSMALLINT type, SQLHANDLE handle, SQLSMALLINT record, SQLSMALLINT field, bool wide,
                    SQLPOINTER value, SQLSMALLINT capacity, SQLSMALLINT* length) {
  Handle* h = lookupAny(handle);
  if (!h || h->type != type) return SQL_INVALID_HANDLE;
  Handle scratch(type);
  if (record == 0) {
    switch (field) {
      case SQL_DIAG_NUMBER:
        if (value) *static_cast<SQLINTEGER*>(value) = static_cast<SQLINTEGER>(h->diags.size());
        return SQL_SUCCESS;
      case SQL_DIAG_RETURNCODE:
        if (value) *static_cast<SQLRETURN*>(value) = h->lastReturn;
        return SQL_SUCCESS;
      case SQL_DIAG_ROW_COUNT:
        if (type != SQL_HANDLE_STMT) return SQL_ERROR;
        if (value) *static_cast<SQLLEN*>(value) = static_cast<Stmt*>(h)->rowCount;
        return SQL_SUCCESS;
      case SQL_DIAG_CURSOR_ROW_COUNT:
        if (value) *static_cast<SQLLEN*>(value) = -1;
        return SQL_SUCCESS;
      default:
        return SQL_ERROR;
    }
  }
  if (record < 0) return SQL_ERROR;
  if (static_cast<std::size_t>(record) > h->diags.size()) return SQL_NO_DATA;
  const DiagRecord& d = h->diags[static_cast<std::size_t>(record - 1)];
  switch (field) {
    case SQL_DIAG_SQLSTATE:
      return putText16(scratch, d.state, wide, value, capacity, true, length);
    case SQL_DIAG_NATIVE:
      if (value) *static_cast<SQLINTEGER*>(value) = d.native;
      return SQL_SUCCESS;
    case SQL_DIAG_MESSAGE_TEXT:
      return putText16(scratch, d.message, wide, value, capacity, true, length);
    case SQL_DIAG_CLASS_ORIGIN:
    case SQL_DIAG_SUBCLASS_ORIGIN:
      return putText16(scratch, d.state.rfind("IM", 0) == 0 ? "ODBC 3.0" : "ISO 9075", wide, value, capacity, true,
                       length);
    case SQL_DIAG_CONNECTION_NAME:
    case SQL_DIAG_SERVER_NAME:
      return putText16(scratch, "", wide, value, capacity, true, length);
    case SQL_DIAG_ROW_NUMBER:
      if (value) *static_cast<SQLLEN*>(value) = SQL_ROW_NUMBER_UNKNOWN;
      return SQL_SUCCESS;
    case SQL_DIAG_COLUMN_NUMBER:
      if (value) *static_cast<SQLINTEGER*>(value) = SQL_COLUMN_NUMBER_UNKNOWN;
      return SQL_SUCCESS;
    default:
      return SQL_ERROR;
  }
}

// ---- what the driver says of itself ---------------------------------------------

SQLRETURN getInfo(Conn& c, SQLUSMALLINT info, bool wide, SQLPOINTER value, SQLSMALLINT capacity, SQLSMALLINT* length) {
  auto text = [&](const std::string& t) { return putText16(c, t, wide, value, capacity, true, length); };
  auto u16 = [&](SQLUSMALLINT v) {
    if (value) *static_cast<SQLUSMALLINT*>(value) = v;
    if (length) *length = sizeof v;
    return SQL_SUCCESS;
  };
  auto u32 = [&](SQLUINTEGER v) {
    if (value) *static_cast<SQLUINTEGER*>(value) = v;
    if (length) *length = sizeof v;
    return SQL_SUCCESS;
  };
  switch (info) {
    case SQL_DRIVER_NAME:
      return text("libtqodbc.so");
    case SQL_DRIVER_VER:
      return text("02.05.0003");
    case SQL_DRIVER_ODBC_VER:
      return text("03.51");
    case SQL_ODBC_VER:
      return text("03.52");
    case SQL_DBMS_NAME:
      return text("jetdb");
    case SQL_DBMS_VER:
      return text("02.05.0003");
    case SQL_DATA_SOURCE_NAME:
      return text(c.dsn);
    case SQL_SERVER_NAME:
      return text("");
    case SQL_DATABASE_NAME:
      return text(c.path);
    case SQL_USER_NAME:
      return text("");
    case SQL_IDENTIFIER_QUOTE_CHAR:
      return text("`");
    case SQL_SEARCH_PATTERN_ESCAPE:
      return text("\\");
    case SQL_CATALOG_NAME_SEPARATOR:
      return text(".");
    case SQL_CATALOG_TERM:
      return text("");
    case SQL_SCHEMA_TERM:
      return text("");
    case SQL_TABLE_TERM:
      return text("table");
    case SQL_PROCEDURE_TERM:
      return text("");
    case SQL_CATALOG_NAME:
      return text("N");
    case SQL_DATA_SOURCE_READ_ONLY:
      return text(c.readOnly ? "Y" : "N");
    case SQL_ACCESSIBLE_TABLES:
      return text("Y");
    case SQL_ACCESSIBLE_PROCEDURES:
      return text("N");
    case SQL_PROCEDURES:
      return text("N");
    case SQL_DESCRIBE_PARAMETER:
      return text("N");
    case SQL_MULT_RESULT_SETS:
      return text("N");
    case SQL_MULTIPLE_ACTIVE_TXN:
      return text("Y");
    case SQL_NEED_LONG_DATA_LEN:
      return text("N");
    case SQL_ROW_UPDATES:
      return text("N");
    case SQL_EXPRESSIONS_IN_ORDERBY:
      return text("Y");
    case SQL_COLUMN_ALIAS:
      return text("Y");
    case SQL_ORDER_BY_COLUMNS_IN_SELECT:
      return text("N");
    case SQL_OUTER_JOINS:
      return text("Y");
    case SQL_LIKE_ESCAPE_CLAUSE:
      return text("N");
    case SQL_MAX_ROW_SIZE_INCLUDES_LONG:
      return text("N");
    case SQL_INTEGRITY:
      return text("Y");
    case SQL_KEYWORDS:
      return text("");
    case SQL_SPECIAL_CHARACTERS:
      return text("");
    case SQL_COLLATION_SEQ:
      return text("");
    case SQL_DM_VER:
      return text("");
    case SQL_XOPEN_CLI_YEAR:
      return text("1995");
    case SQL_MAX_CATALOG_NAME_LEN:
    case SQL_MAX_SCHEMA_NAME_LEN:
    case SQL_MAX_PROCEDURE_NAME_LEN:
    case SQL_MAX_USER_NAME_LEN:
    case SQL_MAX_CURSOR_NAME_LEN:
      return u16(0);
    case SQL_MAX_TABLE_NAME_LEN:
    case SQL_MAX_COLUMN_NAME_LEN:
      return u16(64);
    case SQL_MAX_COLUMNS_IN_TABLE:
    case SQL_MAX_COLUMNS_IN_SELECT:
      return u16(255);
    case SQL_MAX_COLUMNS_IN_INDEX:
      return u16(10);
    case SQL_MAX_CONCURRENT_ACTIVITIES:
    case SQL_MAX_DRIVER_CONNECTIONS:
      return u16(0);
    case SQL_MAX_IDENTIFIER_LEN:
      return u16(64);
    case SQL_TXN_CAPABLE:
      return u16(SQL_TC_NONE);
    case SQL_CURSOR_COMMIT_BEHAVIOR:
    case SQL_CURSOR_ROLLBACK_BEHAVIOR:
      return u16(SQL_CB_PRESERVE);
    case SQL_CONCAT_NULL_BEHAVIOR:
      return u16(SQL_CB_NON_NULL);
    case SQL_NULL_COLLATION:
      return u16(SQL_NC_LOW);
    case SQL_IDENTIFIER_CASE:
      return u16(SQL_IC_MIXED);
    case SQL_QUOTED_IDENTIFIER_CASE:
      return u16(SQL_IC_MIXED);
    case SQL_CORRELATION_NAME:
      return u16(SQL_CN_ANY);
    case SQL_NON_NULLABLE_COLUMNS:
      return u16(SQL_NNC_NON_NULL);
    case SQL_GROUP_BY:
      return u16(SQL_GB_GROUP_BY_CONTAINS_SELECT);
    case SQL_FILE_USAGE:
      return u16(SQL_FILE_NOT_SUPPORTED);
    case SQL_ODBC_API_CONFORMANCE:
      return u16(SQL_OAC_LEVEL1);
    case SQL_ODBC_SQL_CONFORMANCE:
      return u16(SQL_OSC_MINIMUM);
    case SQL_ODBC_SAG_CLI_CONFORMANCE:
      return u16(SQL_OSCC_COMPLIANT);
    case SQL_ACTIVE_ENVIRONMENTS:
      return u16(0);
    case SQL_TXN_ISOLATION_OPTION:
    case SQL_DEFAULT_TXN_ISOLATION:
      return u32(SQL_TXN_SERIALIZABLE);
    case SQL_GETDATA_EXTENSIONS:
      return u32(SQL_GD_ANY_COLUMN | SQL_GD_ANY_ORDER | SQL_GD_BOUND);
    case SQL_SCROLL_OPTIONS:
      return u32(SQL_SO_FORWARD_ONLY);
    case SQL_SCROLL_CONCURRENCY:
      return u32(SQL_SCCO_READ_ONLY);
    case SQL_FORWARD_ONLY_CURSOR_ATTRIBUTES1:
      return u32(SQL_CA1_NEXT);
    case SQL_FORWARD_ONLY_CURSOR_ATTRIBUTES2:
      return u32(SQL_CA2_READ_ONLY_CONCURRENCY | SQL_CA2_MAX_ROWS_SELECT);
    case SQL_STATIC_CURSOR_ATTRIBUTES1:
    case SQL_STATIC_CURSOR_ATTRIBUTES2:
    case SQL_DYNAMIC_CURSOR_ATTRIBUTES1:
    case SQL_DYNAMIC_CURSOR_ATTRIBUTES2:
    case SQL_KEYSET_CURSOR_ATTRIBUTES1:
    case SQL_KEYSET_CURSOR_ATTRIBUTES2:
      return u32(0);
    case SQL_CURSOR_SENSITIVITY:
      return u32(SQL_UNSPECIFIED);
    case SQL_ODBC_INTERFACE_CONFORMANCE:
      return u32(SQL_OIC_CORE);
    case SQL_SQL_CONFORMANCE:
      return u32(SQL_SC_SQL92_ENTRY);
    case SQL_CATALOG_USAGE:
    case SQL_SCHEMA_USAGE:
      return u32(0);
    case SQL_CATALOG_LOCATION:
      return u16(0);
    case SQL_BATCH_SUPPORT:
    case SQL_BATCH_ROW_COUNT:
    case SQL_PARAM_ARRAY_ROW_COUNTS:
    case SQL_PARAM_ARRAY_SELECTS:
      return u32(0);
    case SQL_BOOKMARK_PERSISTENCE:
    case SQL_LOCK_TYPES:
    case SQL_POS_OPERATIONS:
    case SQL_POSITIONED_STATEMENTS:
    case SQL_STATIC_SENSITIVITY:
    case SQL_ASYNC_MODE:
    case SQL_MAX_ASYNC_CONCURRENT_STATEMENTS:
    case SQL_TIMEDATE_ADD_INTERVALS:
    case SQL_TIMEDATE_DIFF_INTERVALS:
    case SQL_SYSTEM_FUNCTIONS:
    case SQL_NUMERIC_FUNCTIONS:
    case SQL_STRING_FUNCTIONS:
    case SQL_TIMEDATE_FUNCTIONS:
    case SQL_CONVERT_FUNCTIONS:
    case SQL_DATETIME_LITERALS:
    case SQL_SUBQUERIES:
    case SQL_UNION:
    case SQL_ALTER_TABLE:
    case SQL_DROP_TABLE:
    case SQL_INDEX_KEYWORDS:
    case SQL_INFO_SCHEMA_VIEWS:
    case SQL_AGGREGATE_FUNCTIONS:
    case SQL_SQL92_PREDICATES:
    case SQL_SQL92_RELATIONAL_JOIN_OPERATORS:
      return u32(0);
    case SQL_OJ_CAPABILITIES:
      return u32(SQL_OJ_LEFT | SQL_OJ_RIGHT | SQL_OJ_NOT_ORDERED);
    case SQL_MAX_STATEMENT_LEN:
    case SQL_MAX_ROW_SIZE:
    case SQL_MAX_CHAR_LITERAL_LEN:
    case SQL_MAX_BINARY_LITERAL_LEN:
    case SQL_MAX_INDEX_SIZE:
      return u32(0);
    case SQL_MAX_TABLES_IN_SELECT:
      return u16(0);
    case SQL_MAX_COLUMNS_IN_GROUP_BY:
    case SQL_MAX_COLUMNS_IN_ORDER_BY:
      return u16(0);
    case SQL_CONVERT_BIGINT:
    case SQL_CONVERT_BINARY:
    case SQL_CONVERT_BIT:
    case SQL_CONVERT_CHAR:
    case SQL_CONVERT_DATE:
    case SQL_CONVERT_DECIMAL:
    case SQL_CONVERT_DOUBLE:
    case SQL_CONVERT_FLOAT:
    case SQL_CONVERT_INTEGER:
    case SQL_CONVERT_LONGVARCHAR:
    case SQL_CONVERT_NUMERIC:
    case SQL_CONVERT_REAL:
    case SQL_CONVERT_SMALLINT:
    case SQL_CONVERT_TIMESTAMP:
    case SQL_CONVERT_TINYINT:
    case SQL_CONVERT_VARCHAR:
    case SQL_CONVERT_WCHAR:
    case SQL_CONVERT_WVARCHAR:
    case SQL_CONVERT_WLONGVARCHAR:
      return u32(0);
    default:
      return c.fail("HY096", "Type d'information non reconnu (" + std::to_string(info) + ").");
  }
}

}  // namespace tqodbc

using namespace tqodbc;

// ---- entry points -----------------------------------------------------------

extern "C" {

SQLRETURN SQL_API SQLAllocHandle(SQLSMALLINT type, SQLHANDLE input, SQLHANDLE* output) {
  if (type == SQL_HANDLE_ENV) {
    if (!output) return SQL_ERROR;
    *output = adopt(std::make_unique<Env>());
    return SQL_SUCCESS;
  }
  if (type == SQL_HANDLE_DBC) {
    Env* e = lookup<Env>(input, SQL_HANDLE_ENV);
    if (!e) return SQL_INVALID_HANDLE;
    e->clearDiags();
    if (!output) return e->fail("HY009", "Pointeur nul pour le handle de sortie.");
    *output = adopt(std::make_unique<Conn>(e));
    return SQL_SUCCESS;
  }
  if (type == SQL_HANDLE_STMT) {
    Conn* c = lookup<Conn>(input, SQL_HANDLE_DBC);
    if (!c) return SQL_INVALID_HANDLE;
    c->clearDiags();
    if (!output) return c->fail("HY009", "Pointeur nul pour le handle de sortie.");
    if (!c->db) return c->fail("08003", "La connexion n'est pas ouverte.");
    *output = adopt(std::make_unique<Stmt>(c));
    return SQL_SUCCESS;
  }
  if (type == SQL_HANDLE_DESC) {
    Conn* c = lookup<Conn>(input, SQL_HANDLE_DBC);
    if (!c) return SQL_INVALID_HANDLE;
    return c->fail("HYC00", "Les descripteurs explicites ne sont pas pris en charge.");
  }
  return SQL_ERROR;
}

SQLRETURN SQL_API SQLFreeHandle(SQLSMALLINT type, SQLHANDLE handle) {
  Handle* h = lookupAny(handle);
  if (!h || h->type != type) return SQL_INVALID_HANDLE;
  if (type == SQL_HANDLE_ENV) {
    if (!handlesWhere([&](const Handle& x) {
           return x.type == SQL_HANDLE_DBC && static_cast<const Conn&>(x).env == h;
         }).empty())
      return h->fail("HY010", "Des connexions de cet environnement sont encore allouées.");
    release(handle);
    return SQL_SUCCESS;
  }
  if (type == SQL_HANDLE_DBC) {
    if (static_cast<Conn*>(h)->db) return h->fail("HY010", "La connexion est encore ouverte.");
    release(handle);
    return SQL_SUCCESS;
  }
  if (type == SQL_HANDLE_STMT) {
    freeStatement(static_cast<Stmt*>(h));
    return SQL_SUCCESS;
  }
  return h->fail("HY017", "Un descripteur implicite se libère avec son instruction.");
}

SQLRETURN SQL_API SQLSetEnvAttr(SQLHENV env, SQLINTEGER attr, SQLPOINTER value, SQLINTEGER) {
  Env* e = lookup<Env>(env, SQL_HANDLE_ENV);
  if (!e) return SQL_INVALID_HANDLE;
  e->clearDiags();
  auto number = static_cast<SQLINTEGER>(reinterpret_cast<std::intptr_t>(value));
  switch (attr) {
    case SQL_ATTR_ODBC_VERSION:
      if (number != SQL_OV_ODBC2 && number != SQL_OV_ODBC3 && number != 380)
        return e->fail("HY024", "Version ODBC non reconnue.");
      e->odbcVersion = number;
      return SQL_SUCCESS;
    case SQL_ATTR_OUTPUT_NTS:
      if (number != SQL_TRUE) return e->fail("HYC00", "Les chaînes sont toujours terminées par un zéro.");
      return SQL_SUCCESS;
    case SQL_ATTR_CONNECTION_POOLING:
    case SQL_ATTR_CP_MATCH:
      return SQL_SUCCESS;
    default:
      return e->fail("HY092", "Attribut d'environnement non reconnu (" + std::to_string(attr) + ").");
  }
}

SQLRETURN SQL_API SQLGetEnvAttr(SQLHENV env, SQLINTEGER attr, SQLPOINTER value, SQLINTEGER, SQLINTEGER* length) {
  Env* e = lookup<Env>(env, SQL_HANDLE_ENV);
  if (!e) return SQL_INVALID_HANDLE;
  e->clearDiags();
  SQLINTEGER v;
  switch (attr) {
    case SQL_ATTR_ODBC_VERSION:
      v = e->odbcVersion;
      break;
    case SQL_ATTR_OUTPUT_NTS:
      v = SQL_TRUE;
      break;
    case SQL_ATTR_CONNECTION_POOLING:
      v = SQL_CP_OFF;
      break;
    case SQL_ATTR_CP_MATCH:
      v = SQL_CP_STRICT_MATCH;
      break;
    default:
      return e->fail("HY092", "Attribut d'environnement non reconnu (" + std::to_string(attr) + ").");
  }
  if (value) *static_cast<SQLINTEGER*>(value) = v;
  if (length) *length = sizeof v;
  return SQL_SUCCESS;
}

SQLRETURN SQL_API SQLConnect(SQLHDBC dbc, SQLCHAR* dsn, SQLSMALLINT dsnLength, SQLCHAR*, SQLSMALLINT, SQLCHAR*,
                             SQLSMALLINT) {
  Conn* c = lookup<Conn>(dbc, SQL_HANDLE_DBC);
  if (!c) return SQL_INVALID_HANDLE;
  c->clearDiags();
  if (!dsn) return c->fail("HY009", "Nom de source de données nul.");
  return c->lastReturn = connectTo(*c, fromNarrow(dsn, dsnLength), "", nullptr);
}

SQLRETURN SQL_API SQLDriverConnect(SQLHDBC dbc, SQLHWND, SQLCHAR* in, SQLSMALLINT inLength, SQLCHAR* out,
                                   SQLSMALLINT capacity, SQLSMALLINT* outLength, SQLUSMALLINT) {
  Conn* c = lookup<Conn>(dbc, SQL_HANDLE_DBC);
  if (!c) return SQL_INVALID_HANDLE;
  c->clearDiags();
  if (!in) return c->fail("HY009", "Chaîne de connexion nulle.");
  std::string completed;
  SQLRETURN rc = connectTo(*c, "", fromNarrow(in, inLength), &completed);
  if (!SQL_SUCCEEDED(rc)) return c->lastReturn = rc;
  return c->lastReturn = putText16(*c, completed, false, out, capacity, false, outLength);
}

SQLRETURN SQL_API SQLDisconnect(SQLHDBC dbc) {
  Conn* c = lookup<Conn>(dbc, SQL_HANDLE_DBC);
  if (!c) return SQL_INVALID_HANDLE;
  c->clearDiags();
  if (!c->db) return c->fail("08003", "La connexion n'est pas ouverte.");
  for (const void* s : handlesWhere(
           [&](const Handle& x) { return x.type == SQL_HANDLE_STMT && static_cast<const Stmt&>(x).conn == c; }))
    freeStatement(static_cast<Stmt*>(const_cast<void*>(s)));
  c->db.reset();
  c->pendingWrites = false;
  return SQL_SUCCESS;
}

SQLRETURN SQL_API SQLGetInfo(SQLHDBC dbc, SQLUSMALLINT info, SQLPOINTER value, SQLSMALLINT capacity,
                             SQLSMALLINT* length) {
  Conn* c = lookup<Conn>(dbc, SQL_HANDLE_DBC);
  if (!c) return SQL_INVALID_HANDLE;
  c->clearDiags();
  return c->lastReturn = getInfo(*c, info, false, value, capacity, length);
}

SQLRETURN SQL_API SQLGetConnectAttr(SQLHDBC dbc, SQLINTEGER attr, SQLPOINTER value, SQLINTEGER capacity,
                                    SQLINTEGER* length) {
  Conn* c = lookup<Conn>(dbc, SQL_HANDLE_DBC);
  if (!c) return SQL_INVALID_HANDLE;
  c->clearDiags();
  return c->lastReturn = getConnectAttr(*c, attr, false, value, capacity, length);
}

SQLRETURN SQL_API SQLSetConnectAttr(SQLHDBC dbc, SQLINTEGER attr, SQLPOINTER value, SQLINTEGER) {
  Conn* c = lookup<Conn>(dbc, SQL_HANDLE_DBC);
  if (!c) return SQL_INVALID_HANDLE;
  c->clearDiags();
  return c->lastReturn = setConnectAttr(*c, attr, value);
}

SQLRETURN SQL_API SQLEndTran(SQLSMALLINT type, SQLHANDLE handle, SQLSMALLINT completion) {
  std::vector<Conn*> conns;
  if (type == SQL_HANDLE_DBC) {
    Conn* c = lookup<Conn>(handle, SQL_HANDLE_DBC);
    if (!c) return SQL_INVALID_HANDLE;
    conns.push_back(c);
  } else if (type == SQL_HANDLE_ENV) {
    Env* e = lookup<Env>(handle, SQL_HANDLE_ENV);
    if (!e) return SQL_INVALID_HANDLE;
    for (const void* p : handlesWhere(
             [&](const Handle& x) { return x.type == SQL_HANDLE_DBC && static_cast<const Conn&>(x).env == e; }))
      conns.push_back(static_cast<Conn*>(const_cast<void*>(p)));
  } else {
    return SQL_INVALID_HANDLE;
  }
  SQLRETURN rc = SQL_SUCCESS;
  for (Conn* c : conns) {
    c->clearDiags();
    if (completion != SQL_COMMIT && completion != SQL_ROLLBACK) {
      rc = c->fail("HY012", "Fin de transaction non reconnue.");
      continue;
    }
    // Every statement has already committed: a rollback cannot take back
    // what was written, and must not pretend to.
    if (completion == SQL_ROLLBACK && c->pendingWrites)
      rc = c->fail("HYC00",
                   "Annulation impossible : chaque instruction est validée dès qu'elle s'achève, "
                   "les écritures faites sont conservées.");
    c->pendingWrites = false;
  }
  return rc;
}

SQLRETURN SQL_API SQLGetDiagRec(SQLSMALLINT type, SQLHANDLE handle, SQLSMALLINT record, SQLCHAR* state,
                                SQLINTEGER* native, SQLCHAR* message, SQLSMALLINT capacity, SQLSMALLINT* length) {
  return diagRecord(type, handle, record, false, state, native, message, capacity, length);
}

SQLRETURN SQL_API SQLGetDiagField(SQLSMALLINT type, SQLHANDLE handle, SQLSMALLINT record, SQLSMALLINT field,
                                  SQLPOINTER value, SQLSMALLINT capacity, SQLSMALLINT* length) {
  return diagField(type, handle, record, field, false, value, capacity, length);
}

SQLRETURN SQL_API SQLGetFunctions(SQLHDBC dbc, SQLUSMALLINT function, SQLUSMALLINT* supported) {
  Conn* c = lookup<Conn>(dbc, SQL_HANDLE_DBC);
  if (!c) return SQL_INVALID_HANDLE;
  c->clearDiags();
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
      SQL_API_SQLPARAMDATA,     SQL_API_SQLPUTDATA,
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
