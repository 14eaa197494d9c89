// Text as Jet stores it, to UTF-8.
//
// Jet 4 stores UTF-16LE, or, when the bytes begin with FF FE, its
// "compressed" form: runs of one-byte characters (U+0000 to U+00FF) and runs
// of two-byte units, a zero byte switching from one to the other. Surrogate
// pairs become the characters beyond the BMP they stand for; a lone
// surrogate, which no character is, becomes U+FFFD.
//
// Jet 3 stores bytes of a code page. 1252 is decoded as Windows does,
// including the five bytes it leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D
// become U+0081 ...), so that every byte comes back; any other code page
// goes through iconv, a byte sequence it cannot decode becoming U+FFFD.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace mdbfile {

std::string jet4Text(const std::uint8_t* data, std::size_t size);
std::string codePageText(const std::uint8_t* data, std::size_t size, int codePage);
// Whether iconv knows the code page (the reader refuses one it does not).
bool codePageKnown(int codePage);

}  // namespace mdbfile
