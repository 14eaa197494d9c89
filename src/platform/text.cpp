#include "platform/text.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

void CString::Format(const char* format, ...) {
  va_list args;
  va_start(args, format);
  FormatV(format, args);
  va_end(args);
}

void CString::FormatV(const char* format, va_list args) {
  // Most texts made here are a filter or a journal line: one pass into a
  // buffer of the stack, and a second, sized, only for a longer text. The
  // arguments may be this string's own text, so it is replaced only after.
  char small[256];
  va_list copy;
  va_copy(copy, args);
  const int needed = std::vsnprintf(small, sizeof small, format, copy);
  va_end(copy);
  if (needed < 0) {
    m_str.clear();
    return;
  }
  if (static_cast<size_t>(needed) < sizeof small) {
    m_str.assign(small, static_cast<size_t>(needed));
    return;
  }
  std::string buffer(static_cast<size_t>(needed), '\0');
  std::vsnprintf(buffer.data(), buffer.size() + 1, format, args);
  m_str = std::move(buffer);
}

int CString::Find(const char* sub, int start) const {
  if (start < 0 || start > GetLength() || sub == nullptr) return -1;
  const size_t pos = m_str.find(sub, static_cast<size_t>(start));
  return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

int CString::Find(char ch, int start) const {
  if (start < 0 || start > GetLength()) return -1;
  const size_t pos = m_str.find(ch, static_cast<size_t>(start));
  return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

int CString::ReverseFind(char ch) const {
  const size_t pos = m_str.rfind(ch);
  return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

CString CString::Left(int count) const {
  count = std::clamp(count, 0, GetLength());
  return CString(m_str.substr(0, static_cast<size_t>(count)));
}

CString CString::Mid(int first) const { return Mid(first, GetLength()); }

CString CString::Mid(int first, int count) const {
  first = std::clamp(first, 0, GetLength());
  count = std::clamp(count, 0, GetLength() - first);
  return CString(m_str.substr(static_cast<size_t>(first), static_cast<size_t>(count)));
}

CString CString::Right(int count) const {
  count = std::clamp(count, 0, GetLength());
  return CString(m_str.substr(m_str.size() - static_cast<size_t>(count)));
}

namespace {

// Latin-1 letters in UTF-8 are C3 80..C3 BF: the upper-case forms are
// C3 80..C3 9E, the lower-case ones C3 A0..C3 BE; C3 97 and C3 B7 (the
// multiplication and division signs) and C3 9F (sharp s) have no pair.
void ChangeCase(std::string& s, bool upper) {
  for (size_t i = 0; i < s.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    if (c < 0x80) {
      if (upper && c >= 'a' && c <= 'z') s[i] = static_cast<char>(c - 32);
      if (!upper && c >= 'A' && c <= 'Z') s[i] = static_cast<char>(c + 32);
    } else if (c == 0xC3 && i + 1 < s.size()) {
      unsigned char d = static_cast<unsigned char>(s[i + 1]);
      if (upper && d >= 0xA0 && d <= 0xBE && d != 0xB7) s[i + 1] = static_cast<char>(d - 0x20);
      if (!upper && d >= 0x80 && d <= 0x9E && d != 0x97) s[i + 1] = static_cast<char>(d + 0x20);
      ++i;
    }
  }
}

}  // namespace

std::string ToUpperLatin(std::string_view text) {
  std::string s(text);
  ChangeCase(s, true);
  return s;
}

CString& CString::MakeUpper() {
  ChangeCase(m_str, true);
  return *this;
}

CString& CString::MakeLower() {
  ChangeCase(m_str, false);
  return *this;
}

CString& CString::TrimRight() {
  while (!m_str.empty() && std::strchr(" \t\r\n", m_str.back()) != nullptr) m_str.pop_back();
  return *this;
}

CString& CString::TrimLeft() {
  size_t n = 0;
  while (n < m_str.size() && std::strchr(" \t\r\n", m_str[n]) != nullptr) ++n;
  m_str.erase(0, n);
  return *this;
}

int CString::Replace(const char* oldText, const char* newText) {
  if (oldText == nullptr || *oldText == '\0') return 0;
  const std::string from(oldText), to(newText ? newText : "");
  int count = 0;
  for (size_t pos = m_str.find(from); pos != std::string::npos; pos = m_str.find(from, pos + to.size())) {
    m_str.replace(pos, from.size(), to);
    ++count;
  }
  return count;
}

int CString::Compare(const char* other) const {
  const int r = std::strcmp(m_str.c_str(), other ? other : "");
  return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

int CString::CompareNoCase(const char* other) const {
  const int r = ToUpperLatin(m_str).compare(ToUpperLatin(other ? other : ""));
  return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

bool EqualNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && ToUpperLatin(a) == ToUpperLatin(b);
}
