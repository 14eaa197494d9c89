// A small writer of JSON text, for --info --json: objects, arrays, strings,
// numbers, booleans and null, indented two spaces a level.
//
// Strings may hold any byte (paths do): valid UTF-8 is written as it is, a
// quote, a backslash and the control characters are escaped, and each byte
// that is not part of valid UTF-8 is written as \udc80 ... \udcff (the
// byte plus U+DC00: the escape that Python's os.fsdecode uses, so that
// os.fsencode gives the very bytes back). The text is then valid JSON, and
// valid UTF-8, whatever the strings held.
#pragma once

#include <string>
#include <string_view>
#include <vector>

class JsonWriter {
 public:
  JsonWriter& BeginObject();
  JsonWriter& EndObject();
  JsonWriter& BeginArray();
  JsonWriter& EndArray();
  // The name of the next member of the object being written.
  JsonWriter& Key(std::string_view name);
  JsonWriter& String(std::string_view text);
  JsonWriter& Number(long long value);
  JsonWriter& Bool(bool value);
  JsonWriter& Null();
  // A string, or null when it is empty.
  JsonWriter& StringOrNull(std::string_view text);

  // The text written so far, with a line end once everything is closed.
  std::string Text() const;

 private:
  void BeforeValue();
  void Open(char bracket);
  void Close(char bracket);
  void NewLine();

  std::string m_text;
  // For each open object or array: whether it holds a member yet.
  std::vector<bool> m_open;
  bool m_afterKey = false;
};

// The JSON string literal of a text, quotes included.
std::string JsonString(std::string_view text);
