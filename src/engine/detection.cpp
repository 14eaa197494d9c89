#include "engine/detection.h"

#include <cerrno>

#include "framework/data_source.h"
#include "framework/step_phases.h"
#include "jetdb/faults.h"
#include "jetdb/jetdb.h"
#include "platform/connect_string.h"
#include "platform/database.h"
#include "platform/file_copy.h"
#include "recordsets/data_sources.h"
#include "recordsets/sys_language_set.h"
#include "recordsets/variables_set.h"
#include "shell/failure.h"
#include "shell/journal.h"
#include "steps/chain.h"
#include "steps/versions.h"

namespace {

// Every version after the first has a [Variables] table whose "TYPE_DB"
// names the application; a database without one is not one of ours.
bool PassesTypeCheck(CDatabase* pDb) {
  CVariablesSet variables(pDb, kConvertedDatabase);
  variables.m_strFilter = "[NAME]='TYPE_DB'";
  try {
    variables.Open();
    const bool ok = !variables.IsEOF() && variables.m_VALSTR == "Toquelin";
    variables.Close();
    return ok;
  } catch (CDBException& e) {
    NoteDbFailure(e);
    return false;
  }
}

// The source is only read here, and read-only: a connection for writing
// marks the file (see the driver's journal switches), and a source copied
// to DEST= is left byte for byte as it was. Without a database the version
// set opens its own connection, through TQ2TMP.
DbVersion ReadVersion(CDatabase* pDb) {
  CSysLanguageSet version(pDb, kConvertedDatabase);
  version.m_strFilter = "[LIBELLE]='IDS_VERSION_DB'";
  DbVersion result = 0;
  try {
    version.Open(AFX_DB_USE_DEFAULT_TYPE, nullptr, CRecordset::readOnly);
    if (!version.IsEOF()) {
      const DbVersion matched = VersionFromStoredText(version.m_Langue_1);
      // The first version has no [Variables] yet: its first step makes it.
      const DbVersion first = ChainSteps().front()->from.code;
      if (matched == first || (matched != 0 && PassesTypeCheck(version.m_pDatabase))) result = matched;
    }
  } catch (CDBException& e) {
    // A full disk or a path too long says more than "not recognised".
    NoteDbFailure(e);
    result = 0;
  }
  if (version.IsOpen()) version.Close();
  return result;
}

CString UnrecognisedReason(const CString& strSource) {
  CString reason;
  // The driver refuses a database with another user's log beside it, which
  // says nothing about its version.
  if (const std::string log = jetdb::foreignLog(strSource.str()); !log.empty()) {
    reason.Format("la base source %s n'est pas ouverte : le journal %s posé à côté n'est pas le sien "
                  "(un lien, un fichier spécial ou un fichier d'un autre utilisateur) ; rien n'a été changé",
                  strSource.GetString(), log.c_str());
    return reason;
  }
  reason.Format(PathExists(strSource) ? "version de la base source non reconnue : %s" : "base source introuvable : %s",
                strSource.GetString());
  return reason;
}

}  // namespace

DbVersion DetectDbVersion(const CString& strSource) {
  RemoveDataSource(kConvertedDataSource, strSource);
  if (!AddDataSource(kConvertedDataSource, strSource)) return 0;
  const DbVersion result = ReadVersion(nullptr);
  RemoveDataSource(kConvertedDataSource, strSource);
  if (result != 0) {
    JournalFormat("Toquelin database version : %d\n", static_cast<int>(result));
  } else {
    JournalWrite("ERREUR : Version de la database source non valide.\n");
    NoteFailure("%s", UnrecognisedReason(strSource).GetString());
  }
  return result;
}

DbVersion PeekDbVersion(const CString& strSource, CString& strReason) {
  CDatabase db;
  DbVersion result = 0;
  try {
    db.OpenEx(FileConnectString(strSource.GetString()).c_str(), CDatabase::openReadOnly);
    result = ReadVersion(&db);
  } catch (CDBException& e) {
    // The driver's words say more than "not recognised" about a file that
    // does not even open.
    if (PathExists(strSource)) {
      strReason.Format("la base source %s ne s'ouvre pas : %s", strSource.GetString(), e.m_strError.GetString());
      return 0;
    }
  }
  if (result == 0) strReason = UnrecognisedReason(strSource);
  return result;
}

CString FindDamage(const CString& strPath) {
  CString problem;
  try {
    CDatabase db;
    db.OpenEx(FileConnectString(strPath.GetString()).c_str(), CDatabase::openReadOnly);
    const std::vector<std::string> problems = db.Driver().checkPages();
    if (problems.empty()) return CString();
    problem = problems.front().c_str();
    // A check that memory or the disk stopped found no damage: the run's
    // reason is what stopped it.
    if (jetdb::isMachineFault(db.Driver().lastError().native)) NoteFailure("%s", WithoutFullStop(problem).GetString());
  } catch (CDBException& e) {
    NoteDbFailure(e);
    problem = e.m_strError;
  }
  // The driver's lines end their sentence.
  return WithoutFullStop(problem);
}

CString DamageReason(const CString& strPath, const CString& strProblem) {
  CString reason;
  reason.Format("la base %s est endommagée (%s)", strPath.GetString(), strProblem.GetString());
  return reason;
}

void ReportDamage(const CString& strPath, const CString& strProblem) {
  JournalFormat("ERREUR : La base %s est endommagée : %s.\n", strPath.GetString(), strProblem.GetString());
  NoteFailure("%s ; rien n'a été converti", DamageReason(strPath, strProblem).GetString());
}

CString WrittenTemplate(const CString& strSource, const CString& strDest, const CString& strTemplateDir) {
  const CString& written = IsInPlace(strSource, strDest) ? strSource : strDest;
  for (const ConversionStep* step : ChainSteps()) {
    const CString templatePath = TemplatePath(strTemplateDir, *step);
    if (IsSameFile(written, templatePath)) return templatePath;
  }
  return CString();
}

CString PlainBackupPath(const CString& strSource, DbVersion nVersion) {
  CString path;
  path.Format("%s.%s", strSource.GetString(), GetVersionText(nVersion));
  return path;
}

CString FreeBackupPath(const CString& strSource, DbVersion nVersion) {
  const CString first = PlainBackupPath(strSource, nVersion);
  CString path = first;
  // A dangling link holds its name as well as a file: passed over too.
  for (int n = 1; NameTaken(path); ++n) path.Format("%s.%d", first.GetString(), n);
  return path;
}

bool IsInPlace(const CString& strSource, const CString& strDest) {
  // Copying a file onto itself would empty it.
  return strDest.IsEmpty() || strDest == strSource || IsSameFile(strDest, strSource);
}

namespace {

// CopyFileA leaves errno as the failed call set it.
void NoteCopyFailure(const char* what, const CString& path) {
  const int error = errno;
  NoteFailure("impossible d'écrire %s %s%s%s", what, path.GetString(), error != 0 ? " : " : "",
              error != 0 ? CopyErrorText(error).GetString() : "");
}

}  // namespace

// The user reads the reason in French: strerror speaks the C locale's
// English, and the program sets no other.
CString CopyErrorText(int error) {
  static const struct {
    int code;
    const char* text;
  } kTexts[] = {
      {ENOSPC, "plus de place sur le disque"},
      {EDQUOT, "quota disque dépassé"},
      {EACCES, "accès refusé"},
      {EPERM, "opération non permise"},
      {EROFS, "système de fichiers en lecture seule"},
      {ENOENT, "fichier ou dossier introuvable"},
      {ENOTDIR, "un élément du chemin n'est pas un dossier"},
      {EISDIR, "le chemin désigne un dossier"},
      {ELOOP, "trop de liens symboliques (boucle de liens)"},
      {ENAMETOOLONG, "nom de fichier trop long"},
      {EIO, "erreur d'entrée-sortie du disque"},
      {EEXIST, "le fichier existe déjà"},
      {EXDEV, "copie entre deux systèmes de fichiers impossible"},
      {EFBIG, "fichier trop gros"},
      {EMFILE, "trop de fichiers ouverts"},
      {ENFILE, "trop de fichiers ouverts sur le système"},
      {ENOMEM, "mémoire insuffisante"},
      {EBUSY, "fichier occupé"},
      {ETXTBSY, "fichier en cours d'exécution"},
      {EINVAL, "opération non prise en charge par ce fichier"},
      {EOPNOTSUPP, "opération non prise en charge par ce système de fichiers"},
      {ENXIO, "fichier spécial sans périphérique"},
  };
  for (const auto& entry : kTexts)
    if (entry.code == error) return entry.text;
  CString text;
  text.Format("erreur système %d", error);
  return text;
}

BOOL PrepareDestinationFile(DbVersion nVersion, const CString& strSource, CString& strDest, const CString& strBackup) {
  if (!IsInPlace(strSource, strDest)) {
    errno = 0;
    // A copy the steps will write is made in the log mode their first open
    // would set; one that is already converted is left at rest.
    const auto copy = nVersion == ChainTarget() ? &CopyFileA : &CopyFileForWriting;
    if (!copy(strSource, strDest, FALSE)) {
      NoteCopyFailure("le fichier de destination", strDest);
      JournalFormat("ATTENTION : impossible de creer le fichier de destination : %s\n", strDest.GetString());
      return FALSE;
    }
  } else {
    // An existing backup is never replaced: after a run that failed half
    // way it may be the only copy of the database as it was.
    errno = 0;
    if (!CopyFileA(strSource, strBackup, TRUE)) {
      NoteCopyFailure("la copie de sauvegarde", strBackup);
      JournalFormat("ATTENTION : impossible de copier le fichier de sauvegarde : %s\n", strBackup.GetString());
      return FALSE;
    }
    // The journal's readers expect the backup under its plain name; only a
    // numbered one, taken because that name was held, needs saying.
    if (strBackup != PlainBackupPath(strSource, nVersion))
      JournalFormat("Fichier de sauvegarde : %s\n", strBackup.GetString());
    strDest = strSource;
  }
  JournalFormat("Fichier à mettre à jour : %s\n", strDest.GetString());
  return TRUE;
}
