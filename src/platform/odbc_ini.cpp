#include "platform/odbc_ini.h"

#include <algorithm>

#include "platform/settings_file.h"
#include "platform/text.h"

namespace odbcini {
namespace {

std::string_view Trim(std::string_view s) {
  const char* blanks = " \t\r\n";
  std::size_t first = s.find_first_not_of(blanks);
  if (first == std::string_view::npos) return {};
  return s.substr(first, s.find_last_not_of(blanks) - first + 1);
}

bool IsBlank(std::string_view line) { return Trim(line).empty(); }

bool IsComment(std::string_view line) {
  std::string_view t = Trim(line);
  return !t.empty() && (t.front() == ';' || t.front() == '#');
}

std::optional<std::string_view> HeaderName(std::string_view line) {
  std::string_view t = Trim(line);
  if (t.empty() || t.front() != '[') return std::nullopt;
  std::size_t close = t.find(']');
  if (close == std::string_view::npos) return std::nullopt;
  return Trim(t.substr(1, close - 1));
}

std::optional<std::pair<std::string_view, std::string_view>> SplitEntry(std::string_view line) {
  if (IsBlank(line) || IsComment(line) || HeaderName(line)) return std::nullopt;
  std::size_t eq = line.find('=');
  if (eq == std::string_view::npos) return std::nullopt;
  return std::pair{Trim(line.substr(0, eq)), Trim(line.substr(eq + 1))};
}

}  // namespace

bool IsWritableValue(std::string_view value) {
  return !HasControlCharacter(value) && Trim(value).size() == value.size();
}

bool IsWritableName(std::string_view name) {
  return !name.empty() && IsWritableValue(name) && name.find_first_of("[]=") == std::string_view::npos &&
         Trim(name).size() == name.size() && !IsComment(name);
}

IniText::IniText(std::string_view text) {
  while (!text.empty()) {
    std::size_t nl = text.find('\n');
    std::size_t len = nl == std::string_view::npos ? text.size() : nl + 1;
    m_lines.emplace_back(text.substr(0, len));
    text.remove_prefix(len);
  }
}

std::string IniText::Text() const {
  std::string out;
  for (const auto& line : m_lines) out += line;
  return out;
}

// New lines follow the file's own convention, so that a file kept with
// CR LF does not end up with mixed line ends.
std::string IniText::LineEnd() const {
  for (const auto& line : m_lines) {
    if (line.size() >= 2 && line.ends_with("\r\n")) return "\r\n";
    if (line.ends_with("\n")) return "\n";
  }
  return "\n";
}

std::optional<IniText::Span> IniText::Find(std::string_view name) const {
  for (std::size_t i = 0; i < m_lines.size(); ++i) {
    auto header = HeaderName(m_lines[i]);
    if (!header || !EqualNoCase(*header, name)) continue;
    // Blank lines and comments after the last entry introduce whatever
    // follows, so they are not the section's own.
    Span span{i, i + 1};
    for (std::size_t j = i + 1; j < m_lines.size() && !HeaderName(m_lines[j]); ++j) {
      if (SplitEntry(m_lines[j])) span.end = j + 1;
    }
    return span;
  }
  return std::nullopt;
}

std::optional<std::size_t> IniText::FindEntry(const Span& span, std::string_view key) const {
  for (std::size_t j = span.header + 1; j < span.end; ++j) {
    auto entry = SplitEntry(m_lines[j]);
    if (entry && EqualNoCase(entry->first, key)) return j;
  }
  return std::nullopt;
}

std::optional<Entries> IniText::Section(std::string_view name) const {
  auto span = Find(name);
  if (!span) return std::nullopt;
  Entries entries;
  for (std::size_t j = span->header + 1; j < span->end; ++j) {
    if (auto entry = SplitEntry(m_lines[j])) entries.emplace_back(entry->first, entry->second);
  }
  return entries;
}

void IniText::PutSection(std::string_view name, const Entries& entries) {
  const std::string eol = LineEnd();
  std::vector<std::string> block;
  block.push_back("[" + std::string(name) + "]" + eol);
  for (const auto& [key, value] : entries) block.push_back(key + "=" + value + eol);

  if (auto span = Find(name)) {
    m_lines.erase(m_lines.begin() + static_cast<std::ptrdiff_t>(span->header),
                  m_lines.begin() + static_cast<std::ptrdiff_t>(span->end));
    m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(span->header), block.begin(), block.end());
    return;
  }
  if (!m_lines.empty()) {
    if (!m_lines.back().ends_with("\n")) m_lines.back() += eol;
    // Even after a blank line of the user's: RemoveSection takes one blank
    // line away with the section, and it must be this one.
    m_lines.push_back(eol);
  }
  m_lines.insert(m_lines.end(), block.begin(), block.end());
}

bool IniText::RemoveSection(std::string_view name) {
  auto span = Find(name);
  if (!span) return false;
  auto first = m_lines.begin() + static_cast<std::ptrdiff_t>(span->header);
  m_lines.erase(first, m_lines.begin() + static_cast<std::ptrdiff_t>(span->end));
  // Drop the separator that PutSection added, but only where it would now
  // double another blank line or end the file.
  std::size_t at = span->header;
  bool blankBefore = at > 0 && IsBlank(m_lines[at - 1]);
  bool blankOrEndAfter = at == m_lines.size() || IsBlank(m_lines[at]);
  if (blankBefore && blankOrEndAfter) m_lines.erase(m_lines.begin() + static_cast<std::ptrdiff_t>(at - 1));
  return true;
}

void IniText::PutEntry(std::string_view section, std::string_view key, std::string_view value) {
  const std::string eol = LineEnd();
  std::string line = std::string(key) + "=" + std::string(value) + eol;
  auto span = Find(section);
  if (!span) {
    std::vector<std::string> block{"[" + std::string(section) + "]" + eol, line};
    // A blank line parts it from what follows; PutSection adds its own.
    if (!m_lines.empty()) block.push_back(eol);
    m_lines.insert(m_lines.begin(), block.begin(), block.end());
    return;
  }
  if (auto at = FindEntry(*span, key)) {
    m_lines[*at] = line;
    return;
  }
  if (span->end == m_lines.size() && !m_lines.back().ends_with("\n")) m_lines.back() += eol;
  m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(span->end), line);
}

bool IniText::RemoveEntry(std::string_view section, std::string_view key) {
  auto span = Find(section);
  if (!span) return false;
  auto at = FindEntry(*span, key);
  if (!at) return false;
  m_lines.erase(m_lines.begin() + static_cast<std::ptrdiff_t>(*at));
  return true;
}

bool IniText::RemoveEmptyLeadingSection(std::string_view name) {
  const auto span = Find(name);
  if (!span || span->header != 0 || m_lines.size() < 2 || !IsBlank(m_lines[1])) return false;
  m_lines.erase(m_lines.begin(), m_lines.begin() + 2);
  return true;
}

}  // namespace odbcini
