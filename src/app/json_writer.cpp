#include "app/json_writer.h"

#include <cstdio>

#include "platform/unicode.h"

namespace {

void AppendEscape(std::string& out, unsigned code) {
  char buffer[8];
  std::snprintf(buffer, sizeof buffer, "\\u%04x", code);
  out += buffer;
}

}  // namespace

std::string JsonString(std::string_view text) {
  std::string out = "\"";
  for (std::size_t at = 0; at < text.size();) {
    const auto c = static_cast<unsigned char>(text[at]);
    const std::size_t length = Utf8SequenceLength(text, at);
    if (length == 0) {
      // Not UTF-8: the byte itself, as a lone low surrogate.
      AppendEscape(out, 0xDC00 + c);
      ++at;
      continue;
    }
    if (length > 1) {
      out.append(text.substr(at, length));
    } else if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\t') {
      out += "\\t";
    } else if (c == '\r') {
      out += "\\r";
    } else if (c < 0x20) {
      AppendEscape(out, c);
    } else {
      out += static_cast<char>(c);
    }
    at += length;
  }
  out += '"';
  return out;
}

void JsonWriter::NewLine() {
  m_text += '\n';
  m_text.append(2 * m_open.size(), ' ');
}

void JsonWriter::BeforeValue() {
  if (m_afterKey) {
    m_afterKey = false;
    return;
  }
  if (!m_open.empty()) {
    if (m_open.back()) m_text += ',';
    m_open.back() = true;
    NewLine();
  }
}

void JsonWriter::Open(char bracket) {
  BeforeValue();
  m_text += bracket;
  m_open.push_back(false);
}

void JsonWriter::Close(char bracket) {
  const bool filled = m_open.back();
  m_open.pop_back();
  if (filled) NewLine();
  m_text += bracket;
}

JsonWriter& JsonWriter::BeginObject() {
  Open('{');
  return *this;
}

JsonWriter& JsonWriter::EndObject() {
  Close('}');
  return *this;
}

JsonWriter& JsonWriter::BeginArray() {
  Open('[');
  return *this;
}

JsonWriter& JsonWriter::EndArray() {
  Close(']');
  return *this;
}

JsonWriter& JsonWriter::Key(std::string_view name) {
  BeforeValue();
  m_text += JsonString(name) + ": ";
  m_afterKey = true;
  return *this;
}

JsonWriter& JsonWriter::String(std::string_view text) {
  BeforeValue();
  m_text += JsonString(text);
  return *this;
}

JsonWriter& JsonWriter::Number(long long value) {
  BeforeValue();
  m_text += std::to_string(value);
  return *this;
}

JsonWriter& JsonWriter::Bool(bool value) {
  BeforeValue();
  m_text += value ? "true" : "false";
  return *this;
}

JsonWriter& JsonWriter::Null() {
  BeforeValue();
  m_text += "null";
  return *this;
}

JsonWriter& JsonWriter::StringOrNull(std::string_view text) { return text.empty() ? Null() : String(text); }

std::string JsonWriter::Text() const { return m_open.empty() ? m_text + "\n" : m_text; }
