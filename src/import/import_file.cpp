#include "import/import_file.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "access/access_file.h"
#include "import/writer.h"
#include "jetdb/jetdb.h"

namespace mdbimport {

namespace {

std::string quoted(const std::string& s) { return "« " + s + " »"; }

// The folder the new database is written in before it takes its name, and
// everything the driver may have left in it; removed unless kept.
class WorkFolder {
 public:
  explicit WorkFolder(const std::string& destination) {
    const auto slash = destination.rfind('/');
    m_parent = slash == std::string::npos ? "." : slash == 0 ? "/" : destination.substr(0, slash);
    m_name = slash == std::string::npos ? destination : destination.substr(slash + 1);
    std::string templ = m_parent + "/." + m_name + ".import-XXXXXX";
    if (::mkdtemp(templ.data())) m_folder = templ;
  }
  ~WorkFolder() {
    if (m_folder.empty()) return;
    for (const char* suffix : {"", "-wal", "-shm", "-journal"}) ::unlink((file() + suffix).c_str());
    ::rmdir(m_folder.c_str());
  }
  WorkFolder(const WorkFolder&) = delete;
  WorkFolder& operator=(const WorkFolder&) = delete;

  bool made() const { return !m_folder.empty(); }
  std::string file() const { return m_folder + "/" + m_name; }
  const std::string& parent() const { return m_parent; }

 private:
  std::string m_parent, m_name, m_folder;
};

// Gives the written file its name, never replacing what holds that name
// (a link included). 0, or the errno.
int moveNoReplace(const std::string& from, const std::string& to) {
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
  if (errno != EINVAL && errno != ENOSYS) return errno;
  // A file system without that rename: a hard link fails as well on a name
  // that exists, and the work folder's name then goes with the folder.
  if (::link(from.c_str(), to.c_str()) != 0) return errno;
  return 0;
}

void syncFolder(const std::string& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

ImportResult failed(std::string error, bool sourceUnreadable = false) {
  ImportResult r;
  r.error = std::move(error);
  r.sourceUnreadable = sourceUnreadable;
  return r;
}

}  // namespace

ImportResult importAccessFile(const std::string& source, const std::string& destination,
                              const ImportOptions& options) {
  struct stat info {};
  if (::lstat(destination.c_str(), &info) == 0) return failed("Le fichier " + quoted(destination) + " existe déjà.");
  WorkFolder work(destination);
  if (!work.made())
    return failed("Impossible de créer un dossier de travail dans " + quoted(work.parent()) + " : " +
                  std::strerror(errno));
  jetdb::Error error;
  auto db = jetdb::Database::open(work.file(), jetdb::OpenMode::Create, error);
  if (!db) return failed(error.message);

  mdbfile::ReadOptions read;
  read.codePage = options.codePage;
  Writer writer(*db);
  const mdbfile::ReadResult r = mdbfile::readAccessFile(source, read, writer);
  if (!r.error.empty()) return failed(r.error, true);
  if (!writer.finish()) return failed("Écriture de " + quoted(destination) + " impossible : " + writer.error());
  const auto problems = db->check();
  if (!problems.empty()) return failed("La base écrite n'est pas saine : " + problems.front());
  db.reset();

  if (const int e = moveNoReplace(work.file(), destination); e != 0)
    return failed(e == EEXIST ? "Le fichier " + quoted(destination) + " existe déjà."
                              : "Impossible de nommer " + quoted(destination) + " : " + std::strerror(e));
  syncFolder(work.parent());

  ImportResult result;
  result.notCarried = writer.notCarried();
  result.outcome = result.notCarried.empty() ? Outcome::Complete : Outcome::Partial;
  result.rows = writer.rowsWritten();
  result.tables = writer.tablesWritten();
  return result;
}

}  // namespace mdbimport
