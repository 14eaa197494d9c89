#include "output.h"

#include <algorithm>
#include <array>

namespace jetsql {
namespace {

constexpr std::array<std::pair<Mode, const char*>, 4> kModes = {
    {{Mode::Column, "column"}, {Mode::Csv, "csv"}, {Mode::List, "list"}, {Mode::Box, "box"}}};

// Quoted when it holds a separator, a quote or a line break, and when it
// is empty, so that the empty text reads apart from Null, an empty field.
std::string csvField(const std::string& s) {
  if (!s.empty() && s.find_first_of(",\"\n\r") == std::string::npos) return s;
  std::string out = "\"";
  for (char c : s) out += c == '"' ? std::string("\"\"") : std::string(1, c);
  return out + "\"";
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

void printJoined(const Lines& lines, const std::string& separator, std::ostream& out) {
  for (const auto& cells : lines) {
    for (std::size_t i = 0; i < cells.size(); ++i) out << (i ? separator : "") << cells[i];
    out << "\n";
  }
}

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

void Output::print(const std::vector<std::string>& header, const std::vector<Row>& rows, std::ostream& out) const {
  const bool csv = mode == Mode::Csv;
  const std::string null = nullText ? *nullText : csv ? "" : "Null";
  Lines body;
  for (const auto& r : rows) {
    body.emplace_back();
    for (const auto& c : r) body.back().push_back(!c ? null : csv ? csvField(*c) : *c);
  }
  switch (mode) {
    case Mode::Column:
      return printColumns(header, body, headers, out);
    case Mode::Box:
      return printBox(header, body, headers, out);
    case Mode::Csv:
    case Mode::List: {
      Lines lines;
      if (headers) {
        lines.emplace_back();
        for (const auto& h : header) lines.back().push_back(csv ? csvField(h) : h);
      }
      lines.insert(lines.end(), body.begin(), body.end());
      return printJoined(lines, csv ? "," : "|", out);
    }
  }
}

}  // namespace jetsql
