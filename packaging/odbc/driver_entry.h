// The package's entries in unixODBC's driver list (odbcinst.ini), which
// the maintainer scripts add on installation and take back on removal.
//
// Our driver goes under its own name, and under the Access name that the
// Windows callers' data sources carry when no other driver holds it: an
// administrator who mapped that name to another driver (mdbtools) keeps it.
// The file is edited line by line (odbc_ini.h): odbcinst -i/-u would rewrite
// all of it, comments and spacing gone, and removing our entries must give
// back the administrator's file byte for byte. What was added is recorded,
// and only an entry still exactly as added is taken back.
#pragma once

#include <string>
#include <vector>

namespace driverentry {

// What an installation added, kept by the package between its scripts.
struct Record {
  bool createdFile = false;  // there was no driver list
  // The list's last line had no line end; the add gave it one at this
  // offset (the list's former size).
  long lineEndAddedAt = -1;
  std::vector<std::string> sections;  // in the order added

  static Record Parse(const std::string& text);
  std::string Text() const;
};

struct Edit {
  std::string text;      // the driver list after the edit
  bool changed = false;  // text differs from the list given
  bool remove = false;   // the list is ours alone and now empty: delete it
  Record record;
  std::vector<std::string> messages;  // what the user is told, one per line
};

// `text` is the list's content (empty with `exists` false for a missing
// list), `library` the driver's path as the list names it, `file` the
// list's path for the messages.
Edit Register(const std::string& text, bool exists, const std::string& library, const Record& record,
              const std::string& file);
Edit Unregister(const std::string& text, const std::string& library, const Record& record, const std::string& file);

}  // namespace driverentry
