// Reads a whole Access file through libmdb into a Sink, in this process.
//
// Only the child process of access_file.h calls this: libmdb trusts the file
// it reads, and a damaged one can make it loop, write without end or crash.
// Its row walk and row layout are used; the values are decoded here from
// the raw bytes (libmdb's own conversions lose dates, Memo lengths and
// characters beyond the BMP), and the index part of each definition is read
// by table_def.h.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "access/header.h"
#include "access/sink.h"

namespace mdbfile {

// `file` is the whole file, `codePage` the one Jet 3 text is decoded with.
// Returns "" when the whole file went to the sink, else one French line
// saying why the reading stopped.
std::string readWithLibmdb(const std::vector<std::uint8_t>& file, const FileHeader& header,
                           int codePage, Sink& sink);

}  // namespace mdbfile
