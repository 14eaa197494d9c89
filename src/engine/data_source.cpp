#include "engine/data_source.h"

#include <cstring>
#include <string_view>

#include "app/journal.h"
#include "platform/odbc_installer.h"
#include "recordsets/data_sources.h"

namespace {

const char* AttributesFormat(const char* name) {
  if (std::strcmp(name, kConvertedDataSource) == 0) return kConvertedAttributesFormat;
  if (std::strcmp(name, kTemplateDataSource) == 0) return kTemplateAttributesFormat;
  return nullptr;
}

std::string Separated(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c == '/') c = '\0';
  }
  return out;
}

}  // namespace

std::string DataSourceAttributes(const char* name, const CString& path) {
  const char* format = AttributesFormat(name);
  if (!format) return {};
  std::string_view f(format);
  std::size_t at = f.find("%s");
  std::string list = Separated(f.substr(0, at)) + path.str() + Separated(f.substr(at + 2));
  list.push_back('\0');
  return list;
}

BOOL AddDataSource(const char* name, const CString& path) {
  std::string attributes = DataSourceAttributes(name, path);
  if (!attributes.empty() && SQLConfigDataSource(nullptr, ODBC_ADD_DSN, kAccessDriver, attributes.c_str()))
    return TRUE;
  if (g_pJournal) {
    CString line;
    // c_str() stops at the first NUL: the line names the first pair only.
    line.Format("ERREUR : ODBC_ADD_DSN {%s}\n", attributes.empty() ? "" : attributes.c_str());
    JournalWrite(line);
  }
  return FALSE;
}

void RemoveDataSource(const char* name, const CString& path) {
  std::string attributes = DataSourceAttributes(name, path);
  if (!attributes.empty()) SQLConfigDataSource(nullptr, ODBC_REMOVE_DSN, kAccessDriver, attributes.c_str());
}

std::string DataSourceLockPath() { return UserDataSourceFile() + ".lock"; }
