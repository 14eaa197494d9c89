#include "driver_entry.h"

#include <algorithm>
#include <cstdlib>
#include <optional>

#include "platform/odbc_ini.h"
#include "platform/odbc_installer.h"
#include "platform/text.h"

namespace driverentry {
namespace {

constexpr char kCreated[] = "created-file";
constexpr char kLineEnd[] = "line-end-added-at=";
constexpr char kSection[] = "section=";

odbcini::Entries Ours(const std::string& library) {
  return {{"Description", "Bases Toquelin (pilote jetdb)"}, {"Driver", library}};
}

std::optional<std::string> DriverOf(const odbcini::Entries& entries) {
  for (const auto& [key, value] : entries) {
    if (EqualNoCase(key, "Driver")) return value;
  }
  return std::nullopt;
}

std::string Quoted(const std::string& name) { return "« " + name + " »"; }

}  // namespace

Record Record::Parse(const std::string& text) {
  Record record;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    const std::string line = text.substr(start, end - start);
    start = end + 1;
    if (line == kCreated) record.createdFile = true;
    else if (line.rfind(kLineEnd, 0) == 0)
      record.lineEndAddedAt = std::strtol(line.c_str() + sizeof kLineEnd - 1, nullptr, 10);
    else if (line.rfind(kSection, 0) == 0) record.sections.push_back(line.substr(sizeof kSection - 1));
  }
  return record;
}

std::string Record::Text() const {
  std::string text;
  if (createdFile) text += std::string(kCreated) + "\n";
  if (lineEndAddedAt >= 0) text += kLineEnd + std::to_string(lineEndAddedAt) + "\n";
  for (const auto& section : sections) text += kSection + section + "\n";
  return text;
}

Edit Register(const std::string& text, bool exists, const std::string& library, const Record& record,
              const std::string& file) {
  Edit edit;
  edit.record = record;
  odbcini::IniText ini(text);
  for (const std::string name : {kJetdbDriverName, kAccessDriverName}) {
    const auto section = ini.Section(name);
    if (!section) {
      // The list is ours alone when this add made it (again, after
      // unixodbc-common's purge took it); once removed it goes too.
      edit.record.createdFile = !exists;
      if (!exists) edit.record.lineEndAddedAt = -1;
      const std::string before = ini.Text();
      if (!before.empty() && before.back() != '\n' && edit.record.lineEndAddedAt < 0)
        edit.record.lineEndAddedAt = static_cast<long>(before.size());
      ini.PutSection(name, Ours(library));
      auto& sections = edit.record.sections;
      if (std::find(sections.begin(), sections.end(), name) == sections.end()) sections.push_back(name);
      edit.messages.push_back("pilote ODBC enregistré dans " + file + " sous " + Quoted(name) + ".");
    } else if (DriverOf(*section) == library) {
      edit.messages.push_back("pilote ODBC déjà enregistré dans " + file + " sous " + Quoted(name) + ".");
    } else {
      edit.messages.push_back(Quoted(name) + " reste dans " + file + " le nom du pilote " +
                              DriverOf(*section).value_or("(sans Driver)") +
                              ", laissé tel quel ; les sources de données de Toquelin nomment " +
                              Quoted(kJetdbDriverName) + ".");
    }
  }
  edit.text = ini.Text();
  edit.changed = edit.text != text;
  return edit;
}

Edit Unregister(const std::string& text, const std::string& library, const Record& record, const std::string& file) {
  Edit edit;
  odbcini::IniText ini(text);
  // Last added first: each is then the list's last section and goes with
  // the blank line that its add put before it.
  for (auto it = record.sections.rbegin(); it != record.sections.rend(); ++it) {
    const auto section = ini.Section(*it);
    if (!section) continue;
    if (*section == Ours(library)) {
      ini.RemoveSection(*it);
      edit.messages.push_back(Quoted(*it) + " retiré de " + file + ".");
    } else {
      edit.messages.push_back(Quoted(*it) + " a changé dans " + file +
                              " depuis son enregistrement : laissé tel quel.");
    }
  }
  edit.text = ini.Text();
  // The line end given to a last line that had none, when what is left
  // ends just after it.
  const long size = static_cast<long>(edit.text.size());
  if (record.lineEndAddedAt >= 0) {
    for (const std::string eol : {"\r\n", "\n"}) {
      if (size == record.lineEndAddedAt + static_cast<long>(eol.size()) && edit.text.ends_with(eol)) {
        edit.text.resize(edit.text.size() - eol.size());
        break;
      }
    }
  }
  edit.remove = record.createdFile && edit.text.empty();
  edit.changed = edit.text != text;
  return edit;
}

}  // namespace driverentry
