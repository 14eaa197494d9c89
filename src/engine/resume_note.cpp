#include "engine/resume_note.h"

#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "engine/plan.h"
#include "platform/file_copy.h"
#include "platform/folder_file.h"
#include "platform/settings_file.h"

namespace {

// Whose files a run may trust: the database's owner's (who could write the
// database anyway) and its own.
bool TrustedOwner(uid_t owner, const CString& strSource) {
  struct stat st {};
  return owner == ::geteuid() || (::stat(strSource, &st) == 0 && owner == st.st_uid);
}

std::string Value(const std::string& text, const std::string& key) {
  const std::string start = key + "=";
  for (size_t at = 0; at < text.size();) {
    const size_t end = text.find('\n', at);
    const std::string line = text.substr(at, end == std::string::npos ? std::string::npos : end - at);
    if (line.rfind(start, 0) == 0) return line.substr(start.size());
    if (end == std::string::npos) break;
    at = end + 1;
  }
  return {};
}

// SOURCE.<letters, digits, points>: the names the backups take.
bool IsBackupName(const std::string& name, const std::string& source) {
  if (name.size() <= source.size() + 1 || name.rfind(source + ".V", 0) != 0) return false;
  return name.find_first_not_of("0123456789.VERR", source.size()) == std::string::npos;
}

}  // namespace

FoundNote ReadResumeNote(const CString& strSource) {
  FoundNote found;
  const CString path = ResumeNotePath(strSource);
  struct stat st {};
  if (::lstat(path, &st) != 0) return found;
  found.present = true;
  const FileStamp stamp = StampOf(path.str());
  const char* why = nullptr;
  if (!stamp.valid) why = "ce n'est pas un fichier ordinaire (un lien, un dossier ou un fichier spécial)";
  else if (stamp.links != 1) why = "le fichier a plusieurs noms";
  else if ((stamp.mode & 022) != 0) why = "d'autres utilisateurs peuvent l'écrire";
  else if (!TrustedOwner(stamp.owner, strSource)) why = "elle appartient à un autre utilisateur que la base";
  const SettingsText text = why == nullptr ? ReadSettingsFile(path.str()) : SettingsText{};
  ResumeNote note;
  if (why == nullptr) {
    const std::string backup = Value(text.text, "sauvegarde");
    const std::optional<FileStamp> backupStamp = ParseStamp(Value(text.text, "empreinte-sauvegarde"));
    if (text.state != SettingsText::State::Read || !IsBackupName(backup, NameOf(strSource.str())) || !backupStamp) {
      why = "elle n'est pas une note de ce programme";
    } else {
      note.backup.Format("%s/%s", FolderOf(strSource.str()).c_str(), backup.c_str());
      note.backupStamp = *backupStamp;
      note.left = ParseStamp(Value(text.text, "empreinte-laissee"));
    }
  }
  if (why != nullptr) {
    found.passedOver.Format("la note de reprise %s est ignorée : %s", path.GetString(), why);
    return found;
  }
  found.note = note;
  return found;
}

CString BackupProblem(const CString& strSource, const ResumeNote& note) {
  struct stat st {};
  if (::lstat(note.backup, &st) != 0) return CString();
  const FileStamp stamp = StampOf(note.backup.str());
  const char* why = nullptr;
  if (!stamp.valid) why = "ce n'est pas un fichier ordinaire (un lien, un dossier ou un fichier spécial)";
  else if (stamp.links != 1) why = "le fichier a plusieurs noms";
  else if (!TrustedOwner(stamp.owner, strSource)) why = "elle appartient à un autre utilisateur que la base";
  else if (!stamp.SameFile(note.backupStamp)) why = "elle a changé depuis que la conversion inachevée l'a écrite";
  if (why == nullptr) return CString();
  CString problem;
  problem.Format("la sauvegarde %s n'est pas rétablie : %s", note.backup.GetString(), why);
  return problem;
}

bool WriteResumeNote(const CString& strSource, const ResumeNote& note) {
  std::string text = "sauvegarde=" + NameOf(note.backup.str()) + "\n";
  text += "empreinte-sauvegarde=" + StampText(note.backupStamp) + "\n";
  if (note.left) text += "empreinte-laissee=" + StampText(*note.left) + "\n";
  return ReplacePrivateFile(ResumeNotePath(strSource).str(), text);
}
