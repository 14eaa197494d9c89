// The part of a table definition page that the model needs read as Jet
// writes it: the columns as stored, the indexes and the next AutoNumber.
//
// Why not take the indexes from libmdb: version 1.0 matches a Jet 4 logical
// index to its physical index through the wrong field of the logical-index
// entry (the index's own number, at offset 4, instead of the number of the
// physical index behind it, at offset 8), so that an index whose two numbers
// differ comes out without columns, or with another index's, and loses its
// unique flag.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace mdbfile {

struct DefColumn {
  std::uint8_t type = 0;
  int number = 0;  // the number rows and indexes use; counts deleted columns
  std::string name;
  std::uint8_t flags = 0;
  int length = 0;  // bytes as stored (Jet 4 Text: two a character)
  int precision = 0;
  int scale = 0;
};

struct DefIndexColumn {
  int number = 0;  // a DefColumn::number
  bool descending = false;
};

struct DefIndex {
  std::string name;
  std::vector<DefIndexColumn> columns;
  std::uint8_t flags = 0;  // 0x01 unique, 0x02 ignore nulls, 0x08 required
  bool primary = false;
  bool foreignKey = false;  // made by Jet for a relation
};

struct TableDef {
  std::uint32_t rowCount = 0;        // the rows Jet counts in the table
  std::uint32_t lastAutoNumber = 0;  // the last AutoNumber given (0: none yet)
  std::vector<DefColumn> columns;  // in definition order
  std::vector<DefIndex> indexes;   // logical indexes, in definition order
};

// Reads the definition that starts at page `firstPage` of `file` (the whole
// file's bytes). nullopt when the pages do not hold a consistent one.
std::optional<TableDef> readTableDef(const std::vector<std::uint8_t>& file, int jetVersion,
                                     std::uint32_t firstPage, int codePage);

}  // namespace mdbfile
