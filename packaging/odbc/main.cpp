// odbc-driver-entry: adds the package's ODBC driver to unixODBC's driver
// list, or takes back what it added (driver_entry.h). Run by the package's
// maintainer scripts as root:
//   odbc-driver-entry register|unregister DRIVER_LIST LIBRARY RECORD
// DRIVER_LIST is odbcinst.ini, LIBRARY the driver's path as the list is to
// name it, RECORD the package's file of what it added. Exit code 0, or 1
// when a file could not be read or written (nothing is then changed).
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "driver_entry.h"
#include "platform/settings_file.h"

namespace {

int Fail(const std::string& what) {
  std::printf("updater : %s : pilote ODBC laissé tel quel.\n", what.c_str());
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  const bool registering = argc == 5 && std::strcmp(argv[1], "register") == 0;
  if (argc != 5 || (!registering && std::strcmp(argv[1], "unregister") != 0)) {
    std::fputs("usage : odbc-driver-entry register|unregister LISTE_DES_PILOTES BIBLIOTHEQUE ENREGISTREMENT\n", stderr);
    return 2;
  }
  const std::string file = argv[2], library = argv[3], recordFile = argv[4];
  const SettingsText list = ReadSettingsFile(file);
  const SettingsText kept = ReadSettingsFile(recordFile);
  if (list.state == SettingsText::State::Unusable) return Fail(file + " ne se lit pas");
  if (kept.state == SettingsText::State::Unusable) return Fail(recordFile + " ne se lit pas");
  const driverentry::Record record = driverentry::Record::Parse(kept.text);
  const driverentry::Edit edit =
      registering ? driverentry::Register(list.text, list.state == SettingsText::State::Read, library, record, file)
                  : driverentry::Unregister(list.text, library, record, file);

  // The record first: a removal must know what an add may have written.
  if (registering && edit.record.Text() != kept.text && !ReplaceSettingsFile(recordFile, edit.record.Text()))
    return Fail(recordFile + " ne s'écrit pas");
  if (edit.remove && list.state == SettingsText::State::Read) {
    if (unlink(file.c_str()) != 0) return Fail(file + " ne se supprime pas");
  } else if (edit.changed) {
    if (!ReplaceSettingsFile(file, edit.text)) return Fail(file + " ne s'écrit pas");
    // Every user's ODBC client reads the list.
    if (list.state == SettingsText::State::Missing) chmod(file.c_str(), 0644);
  }
  for (const auto& message : edit.messages) std::printf("updater : %s\n", message.c_str());
  if (!registering) unlink(recordFile.c_str());
  return 0;
}
