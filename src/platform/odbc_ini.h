// The user data-source file of the ODBC installer, in unixODBC's format:
// sections "[name]" of "key=value" lines, the list of data sources in the
// section "[ODBC Data Sources]". Section and key names compare without
// regard to ASCII case, as unixODBC compares them.
//
// The file belongs to the user and to the other programs that use ODBC, so
// it is edited line by line: every line that the edit does not own stays
// byte for byte as it was (comments, spacing, CR LF line ends, order).
// unixODBC's own installer library rewrites the whole file from its parsed
// form, dropping comments and spacing, which is why it is not used here.
//
// Nothing written may change the file's structure: the editing calls take
// only names (section names, keys) that pass IsWritableName and values that
// pass IsWritableValue. Their callers check first, so that a refused edit
// changes nothing at all.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace odbcini {

using Entries = std::vector<std::pair<std::string, std::string>>;

// A name reads back as itself, as a key and as a section name: not empty, no
// control character (below 0x20, and 0x7F), none of '[', ']', '=', no blank
// at either end and no comment mark (';', '#') at the start.
bool IsWritableName(std::string_view name);
// A value has no control character: a line end in it would start lines of
// its own (sections, entries); and no blank at either end, which the readers
// (this one and unixODBC's) drop: "B.mdb " would read back as "B.mdb".
// Everything else after the '=' is the value's.
bool IsWritableValue(std::string_view value);

class IniText {
 public:
  explicit IniText(std::string_view text);
  std::string Text() const;

  // The entries of the first section of that name; empty optional when the
  // file has no such section.
  std::optional<Entries> Section(std::string_view name) const;

  // Gives the section exactly these entries: in place when it exists,
  // otherwise appended at the end of the file after one blank line.
  void PutSection(std::string_view name, const Entries& entries);
  // Removes the section's header and lines, with the blank line that
  // PutSection put before it when nothing follows. False when absent.
  bool RemoveSection(std::string_view name);

  // Sets one entry: its line is replaced in place, or added after the last
  // entry of the section; a missing section is put at the top of the file.
  void PutEntry(std::string_view section, std::string_view key, std::string_view value);
  bool RemoveEntry(std::string_view section, std::string_view key);
  // Removes the section's header when it is the first line of the file and
  // a blank line follows it (that too): what PutEntry puts at the top once
  // its entry is removed again, even where lines without a section follow
  // (the header made them the section's). False when the file starts
  // otherwise.
  bool RemoveEmptyLeadingSection(std::string_view name);

 private:
  struct Span {
    std::size_t header;
    std::size_t end;  // one past the section's last entry or comment
  };
  std::optional<Span> Find(std::string_view name) const;
  std::optional<std::size_t> FindEntry(const Span& span, std::string_view key) const;
  std::string LineEnd() const;

  std::vector<std::string> m_lines;  // each with its own line end
};

}  // namespace odbcini
