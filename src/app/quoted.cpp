#include "app/quoted.h"

#include <string>

namespace {

// Longer texts are cut: a message stays one line.
constexpr std::size_t kQuotedLength = 80;

}  // namespace

CString Quoted(std::string_view text) {
  bool cut = false;
  if (text.size() > kQuotedLength) {
    std::size_t end = kQuotedLength;
    // Not inside a UTF-8 character.
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
    text = text.substr(0, end);
    cut = true;
  }
  std::string quoted = "« ";
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) {
      static const char kHex[] = "0123456789ABCDEF";
      quoted += "\\x";
      quoted += kHex[byte >> 4];
      quoted += kHex[byte & 0xF];
    } else {
      quoted += c;
    }
  }
  quoted += cut ? "… »" : " »";
  return CString(quoted);
}
