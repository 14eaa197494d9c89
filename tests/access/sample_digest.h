// The independent reader's digest of the public Access samples
// (tools/access_reference.sh wrote it), and the comparison of a model with
// it: the tables, the columns and their types, every value of every
// column (a hash of their canonical texts per column), and the relations.
// Shared by the reader's test and the import's, which compares the file it
// wrote read back into a model.
#pragma once

#include <cstddef>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "access/model.h"

namespace mdbdigest {

struct Digest {
  std::map<std::string, std::vector<std::vector<std::string>>> byFile;  // the lines of each file, split
};
Digest readDigest(const std::string& path);

// Encrypted or protected samples, which the reader refuses by design.
bool refusedByDesign(const std::string& file);

struct Counts {
  std::size_t files = 0, tables = 0, rows = 0, values = 0;
  std::size_t differing = 0;   // values told apart only by code page 1252's undefined bytes
  std::size_t earlyTimes = 0;  // dates before 1899-12-30 with a time (see the .cpp)
  std::size_t tolerated = 0;   // columns whose hash differed where `tolerate` allowed it
};

// Checks `db` against the digest lines of its file (gtest expectations).
// A column for which tolerate(table, column) is true may differ from the
// digest (it is counted); relations are compared when `relations`.
void expectDigest(const mdbfile::Database& db, const std::vector<std::vector<std::string>>& lines, Counts& counts,
                  bool relations = true,
                  const std::function<bool(const std::string&, const std::string&)>& tolerate = {});

// The canonical text of one value, as the independent reader's digest
// writes it; `changed` is set when code page 1252's undefined bytes were
// mapped as that reader maps them.
std::string canonical(const mdbfile::Value& v, bool jet3, bool& changed);

}  // namespace mdbdigest
