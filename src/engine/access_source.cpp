#include "engine/access_source.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <system_error>
#include <vector>

#include "access/header.h"

CString AccessSourceReason(const CString& strSource) {
  const std::string path = strSource.str();
  std::ifstream in(path, std::ios::binary);
  std::vector<std::uint8_t> page(4096);
  in.read(reinterpret_cast<char*>(page.data()), static_cast<std::streamsize>(page.size()));
  page.resize(static_cast<std::size_t>(in.gcount()));
  if (!mdbfile::looksLikeAccessFile(page)) return CString();
  std::error_code error;
  const auto size = std::filesystem::file_size(path, error);
  const mdbfile::HeaderCheck check = mdbfile::checkHeader(page, error ? page.size() : size);
  CString what;
  if (check.header)
    what = check.header->jetVersion == 3 ? "Jet 3, Access 97" : "Jet 4, Access 2000 à 2003";
  else
    what = check.refusal.c_str();
  CString reason;
  reason.Format("la base source %s est un fichier Access (%s), que ce programme ne convertit pas tel quel : "
                "importez-la d'abord avec « jetsql --import %s NOUVELLE.mdb », puis convertissez NOUVELLE.mdb",
                strSource.GetString(), what.GetString(), strSource.GetString());
  return reason;
}
