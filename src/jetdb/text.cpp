#include "jetdb/text.h"

#include <algorithm>
#include <vector>

namespace jetdb {
namespace {

// Decodes one code point; a byte that does not start a valid sequence stands
// for itself so that any input still has a total order.
char32_t decode(const unsigned char*& p, const unsigned char* end) {
  unsigned char c = *p++;
  if (c < 0x80) return c;
  int extra = (c >= 0xF0 && c < 0xF8) ? 3 : (c >= 0xE0) ? 2 : (c >= 0xC0) ? 1 : -1;
  if (extra < 0 || end - p < extra) return c;
  char32_t cp = c & (0x3F >> extra);
  for (int i = 0; i < extra; ++i) {
    if ((p[i] & 0xC0) != 0x80) return c;
    cp = (cp << 6) | (p[i] & 0x3F);
  }
  p += extra;
  return cp;
}

// Lower case without accent for the Latin-1 and Latin Extended-A letters
// that French and the other languages of the application use.
char32_t fold(char32_t c) {
  if (c >= 'A' && c <= 'Z') return c + 32;
  if (c < 0xC0) return c;
  if (c <= 0xFF) {
    static const char kLatin1[] =
        "aaaaaaaceeeeiiii"   // C0-CF
        "dnooooo\xd7ouuuuyts"  // D0-DF (x = multiplication sign kept)
        "aaaaaaaceeeeiiii"   // E0-EF
        "dnooooo\xf7ouuuuyty";  // F0-FF
    unsigned char m = static_cast<unsigned char>(kLatin1[c - 0xC0]);
    if (m == 0xD7 || m == 0xF7) return c;
    return m;
  }
  if (c >= 0x100 && c <= 0x17F) {
    static const char kExtA[] =
        "aaaaaaccccccccdd"  // 100-10F
        "ddeeeeeeeeeegggg"  // 110-11F
        "gggghhhhiiiiiiii"  // 120-12F
        "iijjjjkkklllllll"  // 130-13F
        "lllnnnnnnnnnoooo"  // 140-14F
        "oooorrrrrrssssss"  // 150-15F
        "ssttttttuuuuuuuu"  // 160-16F
        "uuuuwwyyyzzzzzzs";  // 170-17F
    return static_cast<unsigned char>(kExtA[c - 0x100]);
  }
  return c;
}

struct Reader {
  const unsigned char* p;
  const unsigned char* end;
  explicit Reader(std::string_view s)
      : p(reinterpret_cast<const unsigned char*>(s.data())), end(p + s.size()) {}
  bool done() const { return p >= end; }
  char32_t next() { return fold(decode(p, end)); }
};

// One element of a LIKE pattern.
struct PatternItem {
  enum Kind { Literal, Any, Digit, Star, Set } kind = Literal;
  char32_t c = 0;
  bool negate = false;
  std::u32string set;  // pairs of (low, high)
};

bool matchesItem(const PatternItem& item, char32_t c) {
  switch (item.kind) {
    case PatternItem::Literal: return item.c == c;
    case PatternItem::Any: return true;
    case PatternItem::Digit: return c >= '0' && c <= '9';
    case PatternItem::Set: {
      bool in = false;
      for (std::size_t i = 0; i + 1 < item.set.size(); i += 2)
        if (c >= item.set[i] && c <= item.set[i + 1]) in = true;
      return in != item.negate;
    }
    case PatternItem::Star: return false;
  }
  return false;
}

}  // namespace

int compareFolded(std::string_view a, std::string_view b) {
  // Names, keys and most texts are ASCII: compare their common ASCII prefix
  // a byte at a time, and decode only from the first byte that is not.
  const std::size_t common = std::min(a.size(), b.size());
  std::size_t i = 0;
  for (; i < common; ++i) {
    unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
    if ((x | y) & 0x80) break;
    if (x >= 'A' && x <= 'Z') x = static_cast<unsigned char>(x + 32);
    if (y >= 'A' && y <= 'Z') y = static_cast<unsigned char>(y + 32);
    if (x != y) return x < y ? -1 : 1;
  }
  a.remove_prefix(i);
  b.remove_prefix(i);
  Reader ra(a), rb(b);
  while (!ra.done() && !rb.done()) {
    char32_t x = ra.next(), y = rb.next();
    if (x != y) return x < y ? -1 : 1;
  }
  if (ra.done() && rb.done()) return 0;
  return ra.done() ? -1 : 1;
}

bool likeMatch(std::string_view text, std::string_view pattern, bool ansi) {
  std::u32string pat;
  Reader rp(pattern);
  while (!rp.done()) pat.push_back(rp.next());
  std::vector<PatternItem> items;
  for (std::size_t k = 0; k < pat.size(); ++k) {
    char32_t c = pat[k];
    PatternItem item;
    item.kind = PatternItem::Literal;
    item.c = c;
    if (c == (ansi ? '%' : '*')) {
      item.kind = PatternItem::Star;
    } else if (c == (ansi ? '_' : '?')) {
      item.kind = PatternItem::Any;
    } else if (c == '#' && !ansi) {
      item.kind = PatternItem::Digit;
    } else if (c == '[') {
      // "[*]" and friends are how Access escapes its wildcard characters.
      std::size_t close = pat.find(U']', k + 1);
      if (close != std::u32string::npos) {
        item.kind = PatternItem::Set;
        std::size_t j = k + 1;
        if (j < close && pat[j] == '!') { item.negate = true; ++j; }
        for (; j < close; ++j) {
          char32_t low = pat[j], high = pat[j];
          if (j + 2 < close && pat[j + 1] == '-') { high = pat[j + 2]; j += 2; }
          item.set.push_back(low);
          item.set.push_back(high);
        }
        k = close;
      }
    }
    items.push_back(std::move(item));
  }
  std::u32string chars;
  Reader rt(text);
  while (!rt.done()) chars.push_back(rt.next());

  // Greedy matching with one remembered star: linear in practice and never
  // exponential, whatever the pattern.
  std::size_t t = 0, i = 0, starItem = std::string::npos, starText = 0;
  while (t < chars.size()) {
    if (i < items.size() && items[i].kind == PatternItem::Star) {
      starItem = i++;
      starText = t;
    } else if (i < items.size() && matchesItem(items[i], chars[t])) {
      ++i;
      ++t;
    } else if (starItem != std::string::npos) {
      i = starItem + 1;
      t = ++starText;
    } else {
      return false;
    }
  }
  while (i < items.size() && items[i].kind == PatternItem::Star) ++i;
  return i == items.size();
}

std::u32string decodeText(std::string_view text) {
  std::u32string out;
  out.reserve(text.size());
  const unsigned char* p = reinterpret_cast<const unsigned char*>(text.data());
  const unsigned char* end = p + text.size();
  while (p < end) out.push_back(decode(p, end));
  return out;
}

std::string encodeText(std::u32string_view chars) {
  std::string out;
  out.reserve(chars.size());
  for (char32_t c : chars) {
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
  return out;
}

char32_t foldChar(char32_t c) { return fold(c); }

std::size_t characterCount(std::string_view text) {
  std::size_t n = 0;
  const unsigned char* p = reinterpret_cast<const unsigned char*>(text.data());
  const unsigned char* end = p + text.size();
  while (p < end) {
    decode(p, end);
    ++n;
  }
  return n;
}

}  // namespace jetdb
