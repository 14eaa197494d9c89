// A real Access file given as the source (Jet 3 or Jet 4, known by its
// first page). It is imported into the program's own format first
// (import/import_file.h), and the imported database is what the run then
// detects and converts, as any other:
//  - the import is written in a folder of its own (mode 0700, a fresh name
//    made exclusively) beside the file the run writes, or, for a plan that
//    writes nothing, in the temporary folder; the folder goes with the
//    object that holds it, and a killed run's folder is cleared by the next
//    run (RemoveImportLeftoversBeside);
//  - in place, the Access file itself becomes the backup: a second name
//    (a hard link, made exclusively) under the backup's documented name,
//    then the imported database takes the source's name in one rename
//    (through CopyFileA, which never writes into the file it replaces). The
//    Access file's bytes are never written. A kill between the two leaves
//    the source as it was with a second name, which the next run takes as
//    its backup again;
//  - with a destination, the destination receives the imported database,
//    as it would receive a copy of one of ours;
//  - either way the written database keeps the Access file's permission
//    bits (owner write added) and, where the user may, its group.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "import/import_file.h"
#include "platform/file_stamp.h"
#include "platform/text.h"

// What the first page of a file says. `access` when it starts as every
// Jet 3 and Jet 4 file does; then `kind` names it ("Jet 4, Access 2000 à
// 2003") and `refusal` says why it cannot be read at all (truncated,
// encrypted...), empty when it can. Reads the first page only, never waits
// on a FIFO; a missing or special file is no Access file.
struct AccessHeader {
  bool access = false;
  CString kind;
  CString refusal;
};
AccessHeader ReadAccessHeader(const CString& strPath);

// A real Access file brought into the program's format for one run.
class AccessSource {
 public:
  AccessSource() = default;
  ~AccessSource();
  AccessSource(const AccessSource&) = delete;
  AccessSource& operator=(const AccessSource&) = delete;

  CString source;    // the name the user gave
  CString read;      // the file imported: the source, or the backup a resume puts back
  CString kind;      // as ReadAccessHeader says
  FileStamp stamp;   // of `read` when it was imported
  CString imported;  // the database in our format; empty when the import failed
  std::vector<CString> notCarried;  // what the import could not carry, one French line each
  std::size_t tables = 0;
  std::size_t rows = 0;
  CString refusal;  // why the file could not be imported

  std::string folder;  // the private folder holding `imported`
};

// Imports `strRead` (an Access file; `strSource` is the name the reasons
// give) into a private folder made in `strBeside`, the temporary folder
// when empty. Never null; `refusal` says when the import failed.
std::shared_ptr<AccessSource> ImportAccessSource(const CString& strRead, const CString& strSource,
                                                 const CString& strBeside);

// Why an Access file that imported is refused: it holds no Toquelin
// version; says what it holds (its tables' count and first names).
CString NotToquelinReason(const AccessSource& access);

// In place: the Access file becomes `strBackup` (free, or a second name of
// the source itself left by a killed run) and the imported database takes
// the source's name. False, with the failure noted, when either move fails;
// the source is then still the Access file.
bool PutImportedInPlace(const AccessSource& access, const CString& strBackup);

// With a destination: the imported database is copied to it (a file there
// is replaced, a link never followed), in the log's mode when the steps are
// to convert it (`toConvert`, see CopyFileForWriting). False, with the
// failure noted.
bool PutImportedAt(const AccessSource& access, const CString& strDest, bool toConvert);

// The backup of an in-place run on an Access source: a second name of the
// source itself under the backup's documented name (SOURCE.V2.0,
// SOURCE.V2.0.1, ...), which only a killed run of ours leaves, or else the
// first free one.
CString AccessBackupPath(const CString& strSource, const CString& strPlain);

// Removes the private folders that killed imports of `strSource` by this
// user left beside `strWritten` (".NAME.access-XXXXXX", NAME the source's,
// owned by the user, never reached through a link). Run under the run
// lock. Returns how many it removed.
int RemoveImportLeftoversBeside(const CString& strWritten, const CString& strSource);

// The import a run uses: the real one unless a test put its own (which
// writes a database of its choice at `destination`). An empty function
// puts the real one back.
using AccessImporter =
    std::function<mdbimport::ImportResult(const std::string& source, const std::string& destination)>;
void SetAccessImporter(AccessImporter importer);
