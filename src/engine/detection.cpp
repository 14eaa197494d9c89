#include "engine/detection.h"

#include "app/journal.h"
#include "engine/data_source.h"
#include "recordsets/data_sources.h"
#include "engine/version_table.h"
#include "platform/database.h"
#include "platform/file_copy.h"
#include "recordsets/sys_language_set.h"
#include "recordsets/variables_set.h"

namespace {

// Every version after V2.0 has a [Variables] table whose "TYPE_DB" names
// the application; a database without one is not one of ours.
bool PassesTypeCheck(CDatabase* pDb) {
  CVariablesSet variables(pDb, kDbVersion253);
  variables.m_strFilter = "[NAME]='TYPE_DB'";
  try {
    variables.Open();
    const bool ok = !variables.IsEOF() && variables.m_VALSTR == "Toquelin";
    variables.Close();
    return ok;
  } catch (CDBException&) {
    return false;
  }
}

// The source is only read here, and read-only: a connection for writing
// marks the file (see the driver's journal switches), and a source copied
// to DEST= is left byte for byte as it was.
DbVersion ReadVersion() {
  CSysLanguageSet version(nullptr, kDbVersion253);
  version.m_strFilter = "[LIBELLE]='IDS_VERSION_DB'";
  DbVersion result = 0;
  try {
    version.Open(AFX_DB_USE_DEFAULT_TYPE, nullptr, CRecordset::readOnly);
    if (!version.IsEOF()) {
      const DbVersion matched = VersionFromStoredText(version.m_Langue_1);
      if (matched == 2000 || (matched != 0 && PassesTypeCheck(version.m_pDatabase))) result = matched;
    }
  } catch (CDBException&) {
    result = 0;
  }
  if (version.IsOpen()) version.Close();
  return result;
}

}  // namespace

DbVersion DetectDbVersion(const CString& strSource) {
  RemoveDataSource(kConvertedDataSource, strSource);
  if (!AddDataSource(kConvertedDataSource, strSource)) return 0;
  const DbVersion result = ReadVersion();
  RemoveDataSource(kConvertedDataSource, strSource);
  if (g_pJournal != nullptr) {
    CString line;
    if (result != 0) {
      line.Format("Toquelin database version : %d\n", static_cast<int>(result));
    } else {
      line = "ERREUR : Version de la database source non valide.\n";
    }
    g_pJournal->WriteString(line);
  }
  return result;
}

CString FreeBackupPath(const CString& strSource, DbVersion nVersion) {
  CString path;
  path.Format("%s.%s", strSource.GetString(), GetVersionText(nVersion));
  const CString first = path;
  for (int n = 1; PathExists(path); ++n) path.Format("%s.%d", first.GetString(), n);
  return path;
}

BOOL PrepareDestinationFile(DbVersion nVersion, const CString& strSource, CString& strDest) {
  // Two spellings of one file ("./base.mdb" and "base.mdb", a link) are an
  // in-place conversion: copying a file onto itself would empty it.
  const bool inPlace = strDest.IsEmpty() || strDest == strSource || IsSameFile(strDest, strSource);
  if (!inPlace) {
    if (!CopyFileA(strSource, strDest, FALSE)) {
      if (g_pJournal != nullptr) {
        CString line;
        line.Format("ATTENTION : impossible de creer le fichier de destination : %s\n", strDest.GetString());
        g_pJournal->WriteString(line);
      }
      return FALSE;
    }
  } else {
    // An existing backup is never replaced: after a run that failed half
    // way it may be the only copy of the database as it was.
    const CString backup = FreeBackupPath(strSource, nVersion);
    if (!CopyFileA(strSource, backup, TRUE)) {
      if (g_pJournal != nullptr) {
        CString line;
        line.Format("ATTENTION : impossible de copier le fichier de sauvegarde : %s\n", backup.GetString());
        g_pJournal->WriteString(line);
      }
      return FALSE;
    }
    if (g_pJournal != nullptr) {
      CString line;
      line.Format("Fichier de sauvegarde : %s\n", backup.GetString());
      g_pJournal->WriteString(line);
    }
    strDest = strSource;
  }
  if (g_pJournal != nullptr) {
    CString line;
    line.Format("Fichier à mettre à jour : %s\n", strDest.GetString());
    g_pJournal->WriteString(line);
  }
  return TRUE;
}
