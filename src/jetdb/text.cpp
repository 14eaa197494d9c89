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

// The base letter of each lower-case Latin-1 and Latin Extended-A letter,
// which is where it sorts; the letter itself then tells it from its base.
char32_t baseLetter(char32_t c) {
  if (c >= 0xE0 && c <= 0xFF && c != 0xF7) {
    static const char kLatin1[] =
        "aaaaaaaceeeeiiii"     // E0-EF
        "dnooooo\xf7ouuuuyty";  // F0-FF
    return static_cast<unsigned char>(kLatin1[c - 0xE0]);
  }
  if (c >= 0x100 && c <= 0x17F) {
    static const char kExtA[] =
        "aaaaaaccccccccdd"   // 100-10F
        "ddeeeeeeeeeegggg"   // 110-11F
        "gggghhhhiiiiiiii"   // 120-12F
        "iijjjjkkklllllll"   // 130-13F
        "lllnnnnnnnnnoooo"   // 140-14F
        "oooorrrrrrssssss"   // 150-15F
        "ssttttttuuuuuuuu"   // 160-16F
        "uuuuwwyyyzzzzzzs";  // 170-17F
    return static_cast<unsigned char>(kExtA[c - 0x100]);
  }
  if (c == 0x192) return 'f';
  return c;
}

// What one character weighs in the comparisons: its case folded, then one
// or two units of (letter, accent). A ligature counts as its two letters,
// so that 'œuf' = 'oeuf', 'Æther' = 'aether' and 'straße' = 'strasse'. An
// accented letter sorts with its base letter and after it ('e' < 'é' < 'f')
// but never equals it: the letters of two texts are compared first, their
// accents only when all the letters agree.
struct Unit {
  char32_t letter = 0;
  char32_t accent = 0;
  bool operator==(const Unit&) const = default;
};

int weigh(char32_t c, Unit out[2]) {
  c = lowerChar(c);
  switch (c) {
    case 0xDF: out[0] = out[1] = {'s', 0}; return 2;
    case 0xE6: out[0] = {'a', 0}; out[1] = {'e', 0}; return 2;
    case 0x133: out[0] = {'i', 0}; out[1] = {'j', 0}; return 2;
    case 0x153: out[0] = {'o', 0}; out[1] = {'e', 0}; return 2;
    default: break;
  }
  const char32_t base = baseLetter(c);
  out[0] = {base, base == c ? 0 : c};
  return 1;
}

struct Reader {
  const unsigned char* p;
  const unsigned char* end;
  explicit Reader(std::string_view s)
      : p(reinterpret_cast<const unsigned char*>(s.data())), end(p + s.size()) {}
  bool done() const { return p >= end; }
  char32_t next() { return decode(p, end); }
};

// The units of a text one after the other.
class UnitReader {
 public:
  explicit UnitReader(std::string_view s) : r_(s) {}
  bool next(Unit& u) {
    if (pending_ == count_) {
      if (r_.done()) return false;
      count_ = weigh(r_.next(), units_);
      pending_ = 0;
    }
    u = units_[pending_++];
    return true;
  }

 private:
  Reader r_;
  Unit units_[2];
  int count_ = 0, pending_ = 0;
};

// A text as its characters, each with the units it weighs, for the matches
// that count characters (LIKE's ? and #, InStr's positions).
struct Weighed {
  std::vector<Unit> units;
  std::vector<std::size_t> first;  // the first unit of each character, then units.size()
};

Weighed weighAll(std::u32string_view chars) {
  Weighed w;
  w.units.reserve(chars.size());
  w.first.reserve(chars.size() + 1);
  for (char32_t c : chars) {
    Unit u[2];
    w.first.push_back(w.units.size());
    w.units.insert(w.units.end(), u, u + weigh(c, u));
  }
  w.first.push_back(w.units.size());
  return w;
}

// One element of a LIKE pattern: a literal unit, or a wildcard or list that
// takes one whole character.
struct PatternItem {
  enum Kind { Literal, Any, Digit, Star, Set } kind = Literal;
  Unit unit;
  bool negate = false;
  std::u32string set;  // pairs of (low, high)
};

int compareChars(char32_t a, char32_t b) {
  const std::u32string x(1, a), y(1, b);
  return compareFolded(encodeText(x), encodeText(y));
}

bool inSet(const PatternItem& item, char32_t c) {
  bool in = false;
  for (std::size_t i = 0; i + 1 < item.set.size() && !in; i += 2)
    in = compareChars(item.set[i], c) <= 0 && compareChars(c, item.set[i + 1]) <= 0;
  return in != item.negate;
}

// With `ansi` (ANSI-92 mode) the wildcards are % and _, and *, ? and #
// stand for themselves.
std::vector<PatternItem> parsePattern(const std::u32string& pat, bool ansi) {
  std::vector<PatternItem> items;
  for (std::size_t k = 0; k < pat.size(); ++k) {
    const char32_t c = pat[k];
    PatternItem item;
    if (c == (ansi ? '%' : '*')) {
      item.kind = PatternItem::Star;
    } else if (c == (ansi ? '_' : '?')) {
      item.kind = PatternItem::Any;
    } else if (c == '#' && !ansi) {
      item.kind = PatternItem::Digit;
    } else if (c == '[' && pat.find(U']', k + 1) != std::u32string::npos) {
      // "[*]" and friends are how Access escapes its wildcard characters.
      const std::size_t close = pat.find(U']', k + 1);
      item.kind = PatternItem::Set;
      std::size_t j = k + 1;
      if (j < close && pat[j] == '!') {
        item.negate = true;
        ++j;
      }
      for (; j < close; ++j) {
        char32_t low = pat[j], high = pat[j];
        if (j + 2 < close && pat[j + 1] == '-') {
          high = pat[j + 2];
          j += 2;
        }
        item.set.push_back(low);
        item.set.push_back(high);
      }
      k = close;
    } else {
      Unit u[2];
      const int n = weigh(c, u);
      for (int i = 0; i < n; ++i) items.push_back({PatternItem::Literal, u[i], false, {}});
      continue;
    }
    items.push_back(std::move(item));
  }
  return items;
}

}  // namespace

int compareFolded(std::string_view a, std::string_view b) {
  // Names, keys and most texts are ASCII: compare their common ASCII prefix
  // a byte at a time, and weigh only from the first byte that is not. A
  // difference there is one of letters, which decides before any accent.
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
  UnitReader ra(a), rb(b);
  int accents = 0;
  for (;;) {
    Unit x, y;
    const bool hx = ra.next(x), hy = rb.next(y);
    if (!hx || !hy) return hx == hy ? accents : hx ? 1 : -1;
    if (x.letter != y.letter) return x.letter < y.letter ? -1 : 1;
    if (accents == 0 && x.accent != y.accent) accents = x.accent < y.accent ? -1 : 1;
  }
}

int compareOlder(std::string_view a, std::string_view b) {
  // One letter for one character, without its accent; ƒ and ß were their
  // own before.
  auto fold = [](char32_t c) -> char32_t {
    if (c == 0xDF) return 's';
    if (c == 0x191 || c == 0x192 || c == 0xD7) return c;
    return baseLetter(lowerChar(c));
  };
  Reader ra(a), rb(b);
  while (!ra.done() && !rb.done()) {
    const char32_t x = fold(ra.next()), y = fold(rb.next());
    if (x != y) return x < y ? -1 : 1;
  }
  return ra.done() == rb.done() ? 0 : ra.done() ? -1 : 1;
}

bool likeMatch(std::string_view text, std::string_view pattern, bool ansi) {
  const std::vector<PatternItem> items = parsePattern(decodeText(pattern), ansi);
  const std::u32string chars = decodeText(text);
  const Weighed w = weighAll(chars);
  // The character whose first unit is at `u`, or npos when `u` is inside one.
  auto charAt = [&](std::size_t u) {
    auto it = std::lower_bound(w.first.begin(), w.first.end(), u);
    return *it == u ? static_cast<std::size_t>(it - w.first.begin()) : std::string::npos;
  };
  // One step of item `i` at unit `u`: the unit after what it took, or npos.
  auto step = [&](const PatternItem& item, std::size_t u) -> std::size_t {
    if (item.kind == PatternItem::Literal) return w.units[u] == item.unit ? u + 1 : std::string::npos;
    const std::size_t c = charAt(u);
    if (c == std::string::npos) return c;
    const bool ok = item.kind == PatternItem::Any || (item.kind == PatternItem::Digit && chars[c] >= '0' &&
                                                      chars[c] <= '9') ||
                    (item.kind == PatternItem::Set && inSet(item, chars[c]));
    return ok ? w.first[c + 1] : std::string::npos;
  };

  // Greedy matching with one remembered star: linear in practice and never
  // exponential, whatever the pattern.
  const std::size_t end = w.units.size();
  std::size_t t = 0, i = 0, starItem = std::string::npos, starText = 0;
  while (t < end) {
    std::size_t next = std::string::npos;
    if (i < items.size() && items[i].kind == PatternItem::Star) {
      starItem = i++;
      starText = t;
    } else if (i < items.size() && (next = step(items[i], t)) != std::string::npos) {
      ++i;
      t = next;
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

std::size_t matchAt(std::u32string_view text, std::size_t at, std::u32string_view sought) {
  const Weighed s = weighAll(sought);
  std::size_t u = 0;
  for (std::size_t c = at; c < text.size(); ++c) {
    if (u == s.units.size()) return c - at;
    Unit units[2];
    const int n = weigh(text[c], units);
    for (int k = 0; k < n; ++k, ++u)
      if (u == s.units.size() || !(units[k] == s.units[u])) return std::string::npos;
  }
  return u == s.units.size() ? text.size() - at : std::string::npos;
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

char32_t lowerChar(char32_t c) {
  if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) return c + 32;
  if (c == 0x178) return 0xFF;
  if (c == 0x191) return 0x192;
  if (c >= 0x100 && c <= 0x17F && c != 0x138 && c != 0x149 && c != 0x17F) {
    // Latin Extended-A pairs its letters upper then lower, with the runs
    // 139-148 and 179-17E shifted by one.
    const bool shifted = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
    if (shifted ? (c % 2 == 1) : (c % 2 == 0)) return c + 1;
  }
  return c;
}

char32_t foldChar(char32_t c) { return lowerChar(c); }

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
