// The first page of an Access file: which Jet it is, and whether it can be
// read at all. Checked before anything else reads the file, so that a file
// that is not one, or that only its owner may open, is refused at once.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace mdbfile {

struct FileHeader {
  int jetVersion = 4;  // 3 or 4
  int pageSize = 4096;
  int codePage = 1252;  // as the header says; Jet 4 text does not use it
};

// `page` holds the file's first bytes (at least a page where the file has
// one), `fileSize` the whole size. A refusal is one French line.
struct HeaderCheck {
  std::optional<FileHeader> header;
  std::string refusal;
};
HeaderCheck checkHeader(const std::vector<std::uint8_t>& page, std::uint64_t fileSize);

// The bytes at the start of every Jet 3 and Jet 4 file.
bool looksLikeAccessFile(const std::vector<std::uint8_t>& firstBytes);

}  // namespace mdbfile
