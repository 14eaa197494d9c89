// Handles, environment and connection: allocation, attributes, connecting,
// diagnostics.
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
  // Access's ANSI-92 mode, from the connection string or else the data source.
  const std::string ansi = attrs.count("EXTENDEDANSISQL") ? attrs["EXTENDEDANSISQL"]
                           : name.empty()                 ? std::string()
                                                          : profileString(name, "ExtendedAnsiSQL");
  c.db->setAnsiWildcards(ansi == "1");
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
      return put(SQL_TXN_READ_COMMITTED);
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
      // Turning autocommit on commits the transaction under way.
      if (number == SQL_AUTOCOMMIT_ON && c.db && c.db->inTransaction())
        if (SQLRETURN rc = endTransaction(c, SQL_COMMIT); rc != SQL_SUCCESS) return rc;
      c.autocommit = number == SQL_AUTOCOMMIT_ON;
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

SQLRETURN endTransaction(Conn& c, SQLSMALLINT completion) {
  if (completion != SQL_COMMIT && completion != SQL_ROLLBACK) return c.fail("HY012", "Fin de transaction non reconnue.");
  if (!c.db) return c.fail("08003", "La connexion n'est pas ouverte.");
  if (completion == SQL_COMMIT) return c.db->commitTransaction() ? SQL_SUCCESS : c.failWith(c.db->lastError());
  // A rollback undoes what the connection's cursors were reading: they
  // are closed (SQL_CURSOR_ROLLBACK_BEHAVIOR), their statements stay
  // prepared.
  if (c.db->inTransaction())
    for (const void* h : handlesWhere(
             [&](const Handle& x) { return x.type == SQL_HANDLE_STMT && static_cast<const Stmt&>(x).conn == &c; }))
      closeCursor(*static_cast<Stmt*>(const_cast<void*>(h)));
  return c.db->rollbackTransaction() ? SQL_SUCCESS : c.failWith(c.db->lastError());
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
    CONNECTION(input);
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
  CONNECTION(dbc);
  if (!dsn) return c->fail("HY009", "Nom de source de données nul.");
  return c->lastReturn = connectTo(*c, fromNarrow(dsn, dsnLength), "", nullptr);
}

SQLRETURN SQL_API SQLDriverConnect(SQLHDBC dbc, SQLHWND, SQLCHAR* in, SQLSMALLINT inLength, SQLCHAR* out,
                                   SQLSMALLINT capacity, SQLSMALLINT* outLength, SQLUSMALLINT) {
  CONNECTION(dbc);
  if (!in) return c->fail("HY009", "Chaîne de connexion nulle.");
  std::string completed;
  SQLRETURN rc = connectTo(*c, "", fromNarrow(in, inLength), &completed);
  if (!SQL_SUCCEEDED(rc)) return c->lastReturn = rc;
  return c->lastReturn = putText16(*c, completed, false, out, capacity, false, outLength);
}

SQLRETURN SQL_API SQLDisconnect(SQLHDBC dbc) {
  CONNECTION(dbc);
  if (!c->db) return c->fail("08003", "La connexion n'est pas ouverte.");
  for (const void* s : handlesWhere(
           [&](const Handle& x) { return x.type == SQL_HANDLE_STMT && static_cast<const Stmt&>(x).conn == c; }))
    freeStatement(static_cast<Stmt*>(const_cast<void*>(s)));
  // A transaction left open is rolled back as the database closes: what
  // the application did not commit is not kept.
  c->db.reset();
  return SQL_SUCCESS;
}

SQLRETURN SQL_API SQLGetConnectAttr(SQLHDBC dbc, SQLINTEGER attr, SQLPOINTER value, SQLINTEGER capacity,
                                    SQLINTEGER* length) {
  CONNECTION(dbc);
  return c->lastReturn = getConnectAttr(*c, attr, false, value, capacity, length);
}

SQLRETURN SQL_API SQLSetConnectAttr(SQLHDBC dbc, SQLINTEGER attr, SQLPOINTER value, SQLINTEGER) {
  CONNECTION(dbc);
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
    if (type == SQL_HANDLE_ENV && !c->db) continue;
    if (SQLRETURN one = endTransaction(*c, completion); one != SQL_SUCCESS) rc = one;
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

}  // extern "C"
