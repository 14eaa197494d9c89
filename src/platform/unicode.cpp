#include "platform/unicode.h"

std::size_t Utf8SequenceLength(std::string_view text, std::size_t at) {
  if (at >= text.size()) return 0;
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[at + i]); };
  const unsigned char c = byte(0);
  if (c < 0x80) return 1;
  std::size_t length = 0;
  // The second byte's range rules out overlong forms, surrogates and code
  // points above U+10FFFF.
  unsigned char low = 0x80, high = 0xBF;
  if (c >= 0xC2 && c <= 0xDF) {
    length = 2;
  } else if (c >= 0xE0 && c <= 0xEF) {
    length = 3;
    if (c == 0xE0) low = 0xA0;
    if (c == 0xED) high = 0x9F;
  } else if (c >= 0xF0 && c <= 0xF4) {
    length = 4;
    if (c == 0xF0) low = 0x90;
    if (c == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (text.size() - at < length) return 0;
  if (byte(1) < low || byte(1) > high) return 0;
  for (std::size_t i = 2; i < length; ++i)
    if ((byte(i) & 0xC0) != 0x80) return 0;
  return length;
}

bool IsValidUtf8(std::string_view text) {
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t length = Utf8SequenceLength(text, at);
    if (length == 0) return false;
    at += length;
  }
  return true;
}

void AppendUtf8(std::string& out, char32_t codePoint) {
  const auto put = [&](unsigned value) { out += static_cast<char>(value); };
  if (codePoint < 0x80) {
    put(codePoint);
  } else if (codePoint < 0x800) {
    put(0xC0 | (codePoint >> 6));
    put(0x80 | (codePoint & 0x3F));
  } else if (codePoint < 0x10000) {
    put(0xE0 | (codePoint >> 12));
    put(0x80 | ((codePoint >> 6) & 0x3F));
    put(0x80 | (codePoint & 0x3F));
  } else {
    put(0xF0 | (codePoint >> 18));
    put(0x80 | ((codePoint >> 12) & 0x3F));
    put(0x80 | ((codePoint >> 6) & 0x3F));
    put(0x80 | (codePoint & 0x3F));
  }
}

std::string FromUtf16(std::string_view bytes, bool bigEndian) {
  constexpr char32_t kReplacement = 0xFFFD;
  const auto unit = [&](std::size_t i) -> char32_t {
    const auto a = static_cast<unsigned char>(bytes[i]), b = static_cast<unsigned char>(bytes[i + 1]);
    return bigEndian ? (a << 8 | b) : (b << 8 | a);
  };
  std::string out;
  out.reserve(bytes.size() / 2);
  std::size_t i = 0;
  for (; i + 1 < bytes.size(); i += 2) {
    const char32_t u = unit(i);
    if (u >= 0xD800 && u <= 0xDBFF && i + 3 < bytes.size()) {
      const char32_t next = unit(i + 2);
      if (next >= 0xDC00 && next <= 0xDFFF) {
        AppendUtf8(out, 0x10000 + ((u - 0xD800) << 10) + (next - 0xDC00));
        i += 2;
        continue;
      }
    }
    AppendUtf8(out, u >= 0xD800 && u <= 0xDFFF ? kReplacement : u);
  }
  if (i < bytes.size()) AppendUtf8(out, kReplacement);
  return out;
}
