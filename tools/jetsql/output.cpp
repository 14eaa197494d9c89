#include "output.h"

#include <algorithm>
#include <array>

namespace jetsql {
namespace {

constexpr std::array<std::pair<Mode, const char*>, 4> kModes = {
    {{Mode::Column, "column"}, {Mode::Csv, "csv"}, {Mode::List, "list"}, {Mode::Box, "box"}}};

// Quoted when it holds a separator, a quote or a line break, and when it
// is empty, so that the empty text reads apart from Null, an empty field.
void appendCsvField(std::string& line, const std::string& s) {
  if (!s.empty() && s.find_first_of(",\"\n\r") == std::string::npos) {
    line += s;
    return;
  }
  line += '"';
  for (char c : s) {
    if (c == '"') line += '"';
    line += c;
  }
  line += '"';
}

// Characters, not bytes: the texts are UTF-8.
std::size_t width(const std::string& s) {
  std::size_t n = 0;
  for (unsigned char c : s) n += (c & 0xC0) != 0x80;
  return n;
}

std::string repeated(const std::string& piece, std::size_t n) {
  std::string out;
  for (std::size_t i = 0; i < n; ++i) out += piece;
  return out;
}

using Lines = std::vector<std::vector<std::string>>;

std::vector<std::size_t> widths(const std::vector<std::string>& header, const Lines& body) {
  std::vector<std::size_t> w(header.size());
  for (std::size_t i = 0; i < header.size(); ++i) w[i] = width(header[i]);
  for (const auto& r : body)
    for (std::size_t i = 0; i < r.size(); ++i) w[i] = std::max(w[i], width(r[i]));
  return w;
}

std::string padded(const std::string& s, std::size_t w) { return s + std::string(w - width(s), ' '); }

void printColumns(const std::vector<std::string>& header, const Lines& body, bool headers, std::ostream& out) {
  const auto w = widths(header, body);
  auto line = [&](const std::vector<std::string>& cells) {
    std::string text;
    for (std::size_t i = 0; i < cells.size(); ++i) {
      if (i) text += "  ";
      // The last column is not padded: no trailing blanks.
      text += i + 1 < cells.size() ? padded(cells[i], w[i]) : cells[i];
    }
    out << text << "\n";
  };
  if (headers) {
    line(header);
    std::vector<std::string> rule;
    for (std::size_t x : w) rule.push_back(std::string(x, '-'));
    line(rule);
  }
  for (const auto& r : body) line(r);
}

void printBox(const std::vector<std::string>& header, const Lines& body, bool headers, std::ostream& out) {
  const auto w = widths(header, body);
  auto rule = [&](const char* left, const char* middle, const char* right) {
    out << left;
    for (std::size_t i = 0; i < w.size(); ++i) out << (i ? middle : "") << repeated("─", w[i] + 2);
    out << right << "\n";
  };
  auto line = [&](const std::vector<std::string>& cells) {
    out << "│";
    for (std::size_t i = 0; i < cells.size(); ++i) out << " " << padded(cells[i], w[i]) << " │";
    out << "\n";
  };
  rule("┌", "┬", "┐");
  if (headers) {
    line(header);
    rule("├", "┼", "┤");
  }
  for (const auto& r : body) line(r);
  rule("└", "┴", "┘");
}

}  // namespace

std::optional<Mode> modeNamed(const std::string& name) {
  for (const auto& [mode, text] : kModes)
    if (name == text) return mode;
  return std::nullopt;
}

const char* modeName(Mode mode) {
  for (const auto& [m, text] : kModes)
    if (m == mode) return text;
  return "column";
}

Cell cellOf(const jetdb::Value& value) {
  if (value.isNull()) return std::nullopt;
  return value.asText();
}

std::string Output::nullShown() const { return nullText ? *nullText : mode == Mode::Csv ? "" : "Null"; }

void Output::appendLine(std::string& line, const std::vector<Cell>& cells) const {
  const bool csv = mode == Mode::Csv;
  for (std::size_t i = 0; i < cells.size(); ++i) {
    if (i) line += csv ? ',' : '|';
    // Null is written as it is shown, never quoted: in CSV an empty field.
    if (!cells[i]) line += nullShown();
    else if (csv) appendCsvField(line, *cells[i]);
    else line += *cells[i];
  }
  line += '\n';
}

void Output::print(const std::vector<std::string>& header, const std::vector<Row>& rows, std::ostream& out) const {
  if (streams()) {
    std::string text;
    if (headers) appendLine(text, std::vector<Cell>(header.begin(), header.end()));
    for (const auto& r : rows) appendLine(text, r);
    out << text;
    return;
  }
  const std::string null = nullShown();
  Lines body;
  for (const auto& r : rows) {
    body.emplace_back();
    for (const auto& c : r) body.back().push_back(c ? *c : null);
  }
  if (mode == Mode::Box) return printBox(header, body, headers, out);
  printColumns(header, body, headers, out);
}

}  // namespace jetsql
