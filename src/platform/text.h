// Contract: CString, the text type of the whole system.
//
// What the system may rely on:
//  - A CString holds UTF-8 text (on Windows it held code page 1252; the
//    conversion to 1252 happens only where bytes leave the program, in the
//    journal file). It may hold any byte but NUL.
//  - Format() has printf semantics (checked at compile time); pass
//    GetString() or a cast to LPCTSTR for a CString argument.
//  - Find() returns a byte index or -1; Mid/Left/Right take byte counts and
//    clamp out-of-range arguments instead of failing, as the original does.
//  - MakeUpper/MakeLower change ASCII letters and the accented letters of
//    Latin-1 (é <-> É ...); other characters are kept.
//  - Comparison is byte-wise (the original's _mbscmp on single-byte text);
//    CompareNoCase folds the same letters as MakeUpper.
#pragma once

#include <cstdarg>
#include <string>
#include <string_view>

class CString {
 public:
  CString() = default;
  CString(const char* text) : m_str(text ? text : "") {}  // NOLINT: implicit as in the original
  CString(std::string text) : m_str(std::move(text)) {}   // NOLINT
  CString(std::string_view text) : m_str(text) {}         // NOLINT

  void Format(const char* format, ...) __attribute__((format(printf, 2, 3)));
  void FormatV(const char* format, va_list args);

  int GetLength() const { return static_cast<int>(m_str.size()); }
  bool IsEmpty() const { return m_str.empty(); }
  void Empty() { m_str.clear(); }
  // Keeps the buffer it has when the text fits in it.
  void SetString(const char* text, int length) { m_str.assign(text, static_cast<std::size_t>(length)); }
  const char* GetString() const { return m_str.c_str(); }
  operator const char*() const { return m_str.c_str(); }  // NOLINT: LPCTSTR conversion
  const std::string& str() const { return m_str; }
  char GetAt(int index) const { return m_str.at(static_cast<size_t>(index)); }

  int Find(const char* sub, int start = 0) const;
  int Find(char ch, int start = 0) const;
  int ReverseFind(char ch) const;
  CString Left(int count) const;
  CString Mid(int first) const;
  CString Mid(int first, int count) const;
  CString Right(int count) const;

  CString& MakeUpper();
  CString& MakeLower();
  CString& TrimRight();
  CString& TrimLeft();
  int Replace(const char* oldText, const char* newText);

  int Compare(const char* other) const;
  int CompareNoCase(const char* other) const;

  CString& operator+=(const CString& other) { m_str += other.m_str; return *this; }
  CString& operator+=(const char* other) { m_str += other ? other : ""; return *this; }
  CString& operator+=(char ch) { m_str += ch; return *this; }

  friend CString operator+(const CString& a, const CString& b) { return CString(a.m_str + b.m_str); }
  friend CString operator+(const CString& a, const char* b) { return CString(a.m_str + (b ? b : "")); }
  friend CString operator+(const char* a, const CString& b) { return CString((a ? a : "") + b.m_str); }
  friend bool operator==(const CString& a, const CString& b) { return a.m_str == b.m_str; }
  friend bool operator==(const CString& a, const char* b) { return a.m_str == (b ? b : ""); }
  friend bool operator<(const CString& a, const CString& b) { return a.m_str < b.m_str; }

 private:
  std::string m_str;
};

// Upper-cases one text the way CString::MakeUpper does, for code below the
// platform layer's users that works on std::string.
std::string ToUpperLatin(std::string_view text);

// True when the texts differ at most in the case CompareNoCase ignores.
bool EqualNoCase(std::string_view a, std::string_view b);
