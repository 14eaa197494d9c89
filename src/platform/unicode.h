// Contract: the Unicode helpers that text from elsewhere needs (files a
// user pasted from Windows, paths that may hold any byte).
//
// What the system may rely on:
//  - Utf8SequenceLength(text, at) is the length of the well-formed UTF-8
//    character that starts at `at`: 1 to 4, or 0 when none does (a byte
//    that cannot start one, a cut sequence, an overlong form, a surrogate,
//    a code point above U+10FFFF).
//  - IsValidUtf8(text): every byte belongs to such a character.
//  - FromUtf16(bytes, bigEndian) gives the UTF-8 text of UTF-16 bytes
//    (without their byte-order mark); an unpaired surrogate, and a last odd
//    byte, become U+FFFD.
//  - AppendUtf8(out, codePoint) appends one code point in UTF-8.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

std::size_t Utf8SequenceLength(std::string_view text, std::size_t at);
bool IsValidUtf8(std::string_view text);
std::string FromUtf16(std::string_view bytes, bool bigEndian);
void AppendUtf8(std::string& out, char32_t codePoint);
