#include "access/jet_text.h"

#include <iconv.h>

#include <cerrno>
#include <vector>

namespace mdbfile {

namespace {

void appendUtf8(std::string& out, std::uint32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

std::string utf16ToUtf8(const std::vector<std::uint16_t>& units) {
  std::string out;
  out.reserve(units.size());
  for (size_t i = 0; i < units.size(); ++i) {
    const std::uint32_t u = units[i];
    if (u >= 0xD800 && u <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
        units[i + 1] <= 0xDFFF) {
      appendUtf8(out, 0x10000 + ((u - 0xD800) << 10) + (units[i + 1] - 0xDC00u));
      ++i;
    } else if (u >= 0xD800 && u <= 0xDFFF) {
      appendUtf8(out, 0xFFFD);
    } else {
      appendUtf8(out, u);
    }
  }
  return out;
}

// Code page 1252's bytes 0x80 to 0x9F; the undefined ones stand for the
// control character of the same number, as Windows decodes them.
constexpr std::uint16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

std::string iconvName(int codePage) { return "CP" + std::to_string(codePage); }

}  // namespace

std::string jet4Text(const std::uint8_t* data, std::size_t size) {
  std::vector<std::uint16_t> units;
  if (size >= 2 && data[0] == 0xFF && data[1] == 0xFE) {
    units.reserve(size);
    bool compressed = true;
    size_t i = 2;
    while (i < size) {
      if (data[i] == 0) {
        compressed = !compressed;
        ++i;
      } else if (compressed) {
        units.push_back(data[i++]);
      } else if (i + 1 < size) {
        units.push_back(static_cast<std::uint16_t>(data[i] | (data[i + 1] << 8)));
        i += 2;
      } else {
        break;  // half a unit at the end: no character
      }
    }
  } else {
    units.reserve(size / 2);
    for (size_t i = 0; i + 1 < size; i += 2) {
      units.push_back(static_cast<std::uint16_t>(data[i] | (data[i + 1] << 8)));
    }
  }
  return utf16ToUtf8(units);
}

bool codePageKnown(int codePage) {
  if (codePage == 1252) return true;
  iconv_t cd = iconv_open("UTF-8", iconvName(codePage).c_str());
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  iconv_close(cd);
  return true;
}

std::string codePageText(const std::uint8_t* data, std::size_t size, int codePage) {
  std::string out;
  if (codePage == 1252) {
    out.reserve(size);
    for (size_t i = 0; i < size; ++i) {
      const std::uint8_t b = data[i];
      appendUtf8(out, b >= 0x80 && b < 0xA0 ? kCp1252High[b - 0x80] : b);
    }
    return out;
  }
  iconv_t cd = iconv_open("UTF-8", iconvName(codePage).c_str());
  if (cd == reinterpret_cast<iconv_t>(-1)) return codePageText(data, size, 1252);
  std::vector<char> buffer(size * 4 + 16);
  // iconv takes a non-const input pointer but does not write through it.
  char* in = const_cast<char*>(reinterpret_cast<const char*>(data));
  size_t inLeft = size;
  while (inLeft > 0) {
    char* outPtr = buffer.data();
    size_t outLeft = buffer.size();
    const size_t rc = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
    out.append(buffer.data(), static_cast<size_t>(outPtr - buffer.data()));
    if (rc != static_cast<size_t>(-1)) break;
    if (errno == E2BIG) continue;
    // A byte that starts no character of the code page, or a sequence cut
    // by the end of the value.
    appendUtf8(out, 0xFFFD);
    ++in;
    --inLeft;
  }
  iconv_close(cd);
  return out;
}

}  // namespace mdbfile
