#include "engine/access_source.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <vector>

#include "access/header.h"

CString AccessSourceReason(const CString& strSource) {
  // Only a regular file is read: opening a FIFO or a device must not wait
  // for a writer that never comes.
  const int fd = ::open(strSource.GetString(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return CString();
  struct stat info {};
  std::vector<std::uint8_t> page(4096);
  ssize_t got = -1;
  if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) got = ::read(fd, page.data(), page.size());
  ::close(fd);
  if (got < 0) return CString();
  page.resize(static_cast<std::size_t>(got));
  if (!mdbfile::looksLikeAccessFile(page)) return CString();
  const mdbfile::HeaderCheck check = mdbfile::checkHeader(page, static_cast<std::uint64_t>(info.st_size));
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
