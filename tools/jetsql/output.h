// How jetsql prints the rows of a statement: the modes of the sqlite3
// shell, a header line or none, and the text that stands for Null.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "jetdb/jetdb.h"

namespace jetsql {

enum class Mode {
  Column,  // aligned columns under a rule of dashes (the default)
  Csv,     // RFC 4180; Null an empty field, the empty text ""
  List,    // fields joined by '|'
  Box,     // aligned columns in a frame of box-drawing lines
};

// The mode named "column", "csv", "list" or "box"; none for another name.
std::optional<Mode> modeNamed(const std::string& name);
const char* modeName(Mode mode);

using Cell = std::optional<std::string>;
using Row = std::vector<Cell>;

// The value's text; none for Null.
Cell cellOf(const jetdb::Value& value);

struct Output {
  Mode mode = Mode::Column;
  bool headers = true;
  // Set by .nullvalue; unset, Null is an empty field in CSV (where the
  // empty text is "") and "Null" elsewhere, where an empty cell would read
  // as an empty text.
  std::optional<std::string> nullText;

  // Rows whose cells are texts, Null being no text.
  void print(const std::vector<std::string>& header, const std::vector<Row>& rows, std::ostream& out) const;
  // The CSV and list modes print each row alone, so that a query's rows
  // can be written as they come instead of kept: appendLine adds one line.
  bool streams() const { return mode == Mode::Csv || mode == Mode::List; }
  void appendLine(std::string& line, const std::vector<Cell>& cells) const;

 private:
  std::string nullShown() const;
};

}  // namespace jetsql
