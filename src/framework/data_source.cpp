#include "framework/data_source.h"

#include <cstring>
#include <string_view>

#include "platform/odbc_installer.h"
#include "recordsets/data_sources.h"
#include "shell/failure.h"
#include "shell/journal.h"

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
  if (!attributes.empty() && SQLConfigDataSource(nullptr, ODBC_ADD_DSN, kAccessDriverName, attributes.c_str()))
    return TRUE;
  NoteFailure("la source de données %s n'a pas pu être enregistrée dans %s", name, UserDataSourceFile().c_str());
  // c_str() stops at the first NUL: the line names the first pair only.
  JournalFormat("ERREUR : ODBC_ADD_DSN {%s}\n", attributes.c_str());
  return FALSE;
}

void RemoveDataSource(const char* name, const CString& path) {
  std::string attributes = DataSourceAttributes(name, path);
  if (!attributes.empty()) SQLConfigDataSource(nullptr, ODBC_REMOVE_DSN, kAccessDriverName, attributes.c_str());
}

std::string DataSourceLockPath() { return UserDataSourceFile() + ".lock"; }
