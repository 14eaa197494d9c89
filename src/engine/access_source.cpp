#include "engine/access_source.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "access/header.h"
#include "engine/detection.h"
#include "jetdb/jetdb.h"
#include "platform/file_copy.h"
#include "platform/folder_file.h"
#include "shell/failure.h"

namespace {

AccessImporter& Importer() {
  static AccessImporter importer;
  return importer;
}

constexpr char kFolderMark[] = ".access-";

// The private folder's name for a source NAME: ".NAME.access-XXXXXX".
bool IsImportFolderName(const std::string& name) {
  const std::size_t mark = name.rfind(kFolderMark);
  return name.size() > 1 && name[0] == '.' && mark != std::string::npos && mark > 1 &&
         name.size() == mark + sizeof kFolderMark - 1 + 6;
}

// Empties and removes a folder of ours, reached through its parent's
// descriptor and never through a link; it holds files and the import's own
// work folder, one level down.
bool RemoveTree(int parent, const std::string& name, int depth) {
  const int fd = ::openat(parent, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return false;
  DIR* dir = ::fdopendir(fd);
  if (dir == nullptr) {
    ::close(fd);
    return false;
  }
  std::vector<std::string> folders;
  while (const dirent* entry = ::readdir(dir)) {
    const std::string child = entry->d_name;
    if (child == "." || child == "..") continue;
    struct stat info {};
    if (::fstatat(fd, child.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) continue;
    if (S_ISDIR(info.st_mode)) {
      folders.push_back(child);
    } else {
      ::unlinkat(fd, child.c_str(), 0);
    }
  }
  if (depth > 0)
    for (const std::string& folder : folders) RemoveTree(fd, folder, depth - 1);
  ::closedir(dir);
  return ::unlinkat(parent, name.c_str(), AT_REMOVEDIR) == 0;
}

mdbimport::ImportResult Import(const std::string& source, const std::string& destination) {
  if (Importer()) return Importer()(source, destination);
  return mdbimport::importAccessFile(source, destination);
}

std::string TemporaryFolder() {
  const char* dir = std::getenv("TMPDIR");
  return dir != nullptr && *dir == '/' ? dir : "/tmp";
}

void NoteErrno(const char* what, const CString& path, int error) {
  NoteFailure("impossible d'écrire %s %s : %s", what, path.GetString(), CopyErrorText(error).GetString());
}

// The written database takes the Access file's permission bits (owner
// write added) and, where the user may, its group: the copy then carries
// them to its name (file_copy.h). The file lies in our private folder.
void TakeAccessRights(const AccessSource& access) {
  struct stat info {};
  if (::stat(access.read.GetString(), &info) != 0) return;
  ::chmod(access.imported.GetString(), (info.st_mode & 07777) | S_IWUSR);
  if (::chown(access.imported.GetString(), static_cast<uid_t>(-1), info.st_gid) != 0) {
    // Not a member of that group: the file keeps the user's.
  }
}

}  // namespace

void SetAccessImporter(AccessImporter importer) { Importer() = std::move(importer); }

AccessHeader ReadAccessHeader(const CString& strPath) {
  AccessHeader header;
  // Only a regular file is read: opening a FIFO or a device must not wait
  // for a writer that never comes.
  const int fd = ::open(strPath.GetString(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return header;
  struct stat info {};
  std::vector<std::uint8_t> page(4096);
  ssize_t got = -1;
  if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) got = ::read(fd, page.data(), page.size());
  ::close(fd);
  if (got < 0) return header;
  page.resize(static_cast<std::size_t>(got));
  header.access = mdbfile::looksLikeAccessFile(page);
  if (!header.access) return header;
  const mdbfile::HeaderCheck check = mdbfile::checkHeader(page, static_cast<std::uint64_t>(info.st_size));
  if (!check.header) {
    header.kind = "Jet 3 ou Jet 4";
    header.refusal = WithoutFullStop(check.refusal.c_str());
  } else {
    header.kind = check.header->jetVersion == 3 ? "Jet 3, Access 97" : "Jet 4, Access 2000 à 2003";
  }
  return header;
}

AccessSource::~AccessSource() {
  if (folder.empty()) return;
  const std::string parent = FolderOf(folder);
  const int fd = ::open(parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  RemoveTree(fd, NameOf(folder), 1);
  ::close(fd);
}

std::shared_ptr<AccessSource> ImportAccessSource(const CString& strRead, const CString& strSource,
                                                 const CString& strBeside) {
  auto access = std::make_shared<AccessSource>();
  access->source = strSource;
  access->read = strRead;
  const AccessHeader header = ReadAccessHeader(strRead);
  access->kind = header.kind;
  access->stamp = StampOf(strRead.str());
  if (!header.refusal.IsEmpty()) {
    access->refusal.Format("la base source %s est un fichier Access (%s) qui ne se lit pas : %s ; rien n'a été écrit",
                           strSource.GetString(), access->kind.GetString(), header.refusal.GetString());
    return access;
  }
  const std::string name = NameOf(strSource.str());
  std::string folder = (strBeside.IsEmpty() ? TemporaryFolder() : strBeside.str()) + "/." + name + kFolderMark;
  folder += "XXXXXX";
  // mkdtemp makes the folder exclusively, mode 0700: nobody else can put
  // anything in it, nor swap what the import writes there.
  if (::mkdtemp(folder.data()) == nullptr) {
    access->refusal.Format("la base source %s est un fichier Access (%s) et n'a pas pu être importée : "
                           "impossible de créer un dossier de travail dans %s : %s",
                           strSource.GetString(), access->kind.GetString(),
                           FolderOf(folder).c_str(), CopyErrorText(errno).GetString());
    return access;
  }
  access->folder = folder;
  const std::string destination = folder + "/" + name;
  const mdbimport::ImportResult result = Import(strRead.str(), destination);
  if (result.outcome == mdbimport::Outcome::Failed) {
    access->refusal.Format("la base source %s est un fichier Access (%s) %s : %s ; rien n'a été écrit",
                           strSource.GetString(), access->kind.GetString(),
                           result.sourceUnreadable ? "qui ne se lit pas" : "qui n'a pas pu être importée",
                           WithoutFullStop(result.error.c_str()).GetString());
    return access;
  }
  access->imported = destination.c_str();
  for (const std::string& line : result.notCarried) access->notCarried.push_back(WithoutFullStop(line.c_str()));
  access->tables = result.tables;
  access->rows = result.rows;
  return access;
}

CString NotToquelinReason(const AccessSource& access) {
  std::vector<std::string> tables;
  jetdb::Error error;
  if (auto db = jetdb::Database::open(access.imported.str(), jetdb::OpenMode::ReadOnly, error)) tables = db->tables();
  CString found;
  if (tables.empty()) {
    found = "ne contient aucune table";
  } else {
    found.Format("contient %zu table%s (", tables.size(), tables.size() > 1 ? "s" : "");
    constexpr std::size_t kNamed = 5;
    for (std::size_t i = 0; i < tables.size() && i < kNamed; ++i) {
      if (i > 0) found += ", ";
      found += tables[i].c_str();
    }
    if (tables.size() > kNamed) found += ", …";
    found += ")";
  }
  CString reason;
  reason.Format("la base source %s est un fichier Access (%s) mais pas une base Toquelin : elle %s et "
                "aucune version de base Toquelin ; rien n'a été écrit",
                access.source.GetString(), access.kind.GetString(), found.GetString());
  return reason;
}

CString AccessBackupPath(const CString& strSource, const CString& strPlain) {
  CString path = strPlain;
  for (int n = 1; NameTaken(path); ++n) {
    struct stat info {};
    if (::lstat(path.GetString(), &info) == 0 && S_ISREG(info.st_mode) && IsSameFile(path, strSource)) return path;
    path.Format("%s.%d", strPlain.GetString(), n);
  }
  return path;
}

bool PutImportedInPlace(const AccessSource& access, const CString& strBackup) {
  const CString& source = access.source;
  if (!IsSameFile(strBackup, source)) {
    // linkat makes the name exclusively and does not follow a link at the
    // source: the backup is the Access file itself, not a copy of it.
    const CFolder folder = CFolder::Of(source.str());
    const bool linked = folder.IsOpen() && ::linkat(folder.fd(), NameOf(source.str()).c_str(), folder.fd(),
                                                    NameOf(strBackup.str()).c_str(), 0) == 0;
    // A file system without hard links, or a source the kernel will not
    // link: a copy, byte for byte, made exclusively.
    if (!linked && (errno == EEXIST || !CopyFileA(source, strBackup, TRUE))) {
      NoteErrno("la copie de sauvegarde", strBackup, errno);
      return false;
    }
  }
  TakeAccessRights(access);
  errno = 0;
  if (!CopyFileA(access.imported, source, FALSE)) {
    NoteErrno("le fichier à mettre à jour", source, errno);
    return false;
  }
  return true;
}

bool PutImportedAt(const AccessSource& access, const CString& strDest, bool toConvert) {
  TakeAccessRights(access);
  errno = 0;
  if (!(toConvert ? CopyFileForWriting : CopyFileA)(access.imported, strDest, FALSE)) {
    NoteErrno("le fichier de destination", strDest, errno);
    return false;
  }
  return true;
}

int RemoveImportLeftoversBeside(const CString& strWritten, const CString& strSource) {
  const CFolder folder = CFolder::Of(strWritten.str());
  if (!folder.IsOpen()) return 0;
  // The folder's own descriptor only looks names up (O_PATH): its entries
  // are read through a second one, opened from it.
  const int fd = ::openat(folder.fd(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  DIR* dir = fd >= 0 ? ::fdopendir(fd) : nullptr;
  if (dir == nullptr) {
    if (fd >= 0) ::close(fd);
    return 0;
  }
  const std::string prefix = "." + NameOf(strSource.str()) + kFolderMark;
  std::vector<std::string> names;
  while (const dirent* entry = ::readdir(dir)) {
    const std::string name = entry->d_name;
    struct stat info {};
    // Only the user's own: another user's run may be importing beside the
    // same file, and the run lock is per user.
    if (name.rfind(prefix, 0) == 0 && IsImportFolderName(name) &&
        ::fstatat(folder.fd(), name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(info.st_mode) &&
        info.st_uid == ::geteuid())
      names.push_back(name);
  }
  ::closedir(dir);
  int removed = 0;
  for (const std::string& name : names) removed += RemoveTree(folder.fd(), name, 1) ? 1 : 0;
  return removed;
}
