// Contract: the text of one registry hive file, read as regedit exports it
// and as a Windows user pastes it, with every line it cannot read named.
//
// What the system may rely on:
//  - Encodings, decided in this order: UTF-16LE or UTF-16BE by their
//    byte-order mark; UTF-8 after its mark; UTF-8 when the bytes are valid
//    UTF-8; Windows-1252 otherwise (a 1252 file without accented letters
//    is valid UTF-8 and reads the same either way). The text is UTF-8 once
//    read. A file with NUL bytes and no mark is refused as a whole (UTF-16
//    without its mark cannot be told from binary).
//  - The header, the first line that is neither blank nor a ';' comment:
//    "REGEDIT4" or "Windows Registry Editor Version 5.00". A file without
//    one is refused as a whole: nothing in it is read.
//  - Then key lines "[ROOT\path]" (a deletion "[-...]" holds nothing) and
//    value lines "name"=DATA or @=DATA, DATA being "text" (a backslash
//    escapes the character after it), dword: and exactly 8 hex digits,
//    hex:bytes or hex(N):bytes (two hex digits each, separated by commas; a
//    line may go on after a trailing backslash), or - (a deletion: no
//    value).
//  - Every other line is refused with its number (from 1, as an editor
//    counts the file's lines) and a French reason; so is a key of another
//    root, and the values under a refused key go with it, unsaid. Every
//    line that is not refused is read. A later value of the same name, in
//    the same key, replaces an earlier one.
//  - Keys compare by their upper-cased full path, values by their
//    upper-cased name ("" for @), as on Windows.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "platform/types.h"

struct HiveValue {
  std::string name;  // as written; "" for @
  DWORD type = 0;    // REG_SZ for a "text", REG_DWORD, REG_BINARY or hex(N)'s N
  std::string data;  // REG_SZ: the text without NUL; others: the bytes
  int line = 0;
  std::string text;  // the line as written, cut when long
};

struct HiveKey {
  std::string path;  // the first spelling met
  int line = 0;      // where it first appears
  std::map<std::string, HiveValue> values;  // by upper-cased name
};

struct HiveProblem {
  int line = 0;          // 0 for the file as a whole
  std::string text;      // the line as written, cut when long
  std::string reason;    // French
};

struct HiveText {
  std::string header;    // empty when the file has none
  std::string encoding;  // "UTF-8", "UTF-8 avec BOM", "UTF-16LE", "UTF-16BE", "Windows-1252"
  std::map<std::string, HiveKey> keys;  // by upper-cased full path
  std::vector<HiveProblem> problems;
  // A key may be appended: plain UTF-8, with a header and no refused line.
  bool appendable = false;
};

HiveText ParseHiveText(std::string_view bytes, std::string_view rootName);
