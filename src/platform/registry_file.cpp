#include "platform/registry_file.h"

#include <cstdlib>
#include <optional>
#include <sstream>

#include "platform/registry.h"
#include "platform/text.h"
#include "platform/text_file.h"
#include "platform/unicode.h"

namespace {

// A refused line is shown this long at most: a pasted binary or a line of a
// megabyte stays readable in a message.
constexpr std::size_t kShownLength = 80;

constexpr std::string_view kHexDigits = "0123456789abcdefABCDEF";

std::string Trim(std::string_view s) {
  const size_t b = s.find_first_not_of(" \t\r\n");
  if (b == std::string_view::npos) return "";
  const size_t e = s.find_last_not_of(" \t\r\n");
  return std::string(s.substr(b, e - b + 1));
}

std::string Shown(std::string_view line) {
  if (line.size() <= kShownLength) return std::string(line);
  std::size_t end = kShownLength;
  while (end > 0 && (static_cast<unsigned char>(line[end]) & 0xC0) == 0x80) --end;
  return std::string(line.substr(0, end)) + "…";
}

// The file's text as UTF-8, and the name of its encoding; nullopt with the
// reason when it cannot be told.
std::optional<std::string> Decode(std::string_view bytes, std::string& encoding, std::string& reason) {
  if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF")) {
    const bool bigEndian = bytes[0] == '\xFE';
    encoding = bigEndian ? "UTF-16BE" : "UTF-16LE";
    return FromUtf16(bytes.substr(2), bigEndian);
  }
  if (bytes.starts_with("\xEF\xBB\xBF")) {
    encoding = "UTF-8 avec BOM";
    bytes.remove_prefix(3);
    if (!IsValidUtf8(bytes)) {
      reason = "le fichier commence comme un texte UTF-8 (BOM) mais n'en est pas un";
      return std::nullopt;
    }
    return std::string(bytes);
  }
  if (bytes.find('\0') != std::string_view::npos) {
    reason = "le fichier contient des octets nuls : un fichier UTF-16 doit commencer par son BOM";
    return std::nullopt;
  }
  if (IsValidUtf8(bytes)) {
    encoding = "UTF-8";
    return std::string(bytes);
  }
  encoding = "Windows-1252";
  return FromWindows1252(bytes);
}

// Reads a quoted string starting at s[pos] == '"'; returns the position
// after the closing quote, or npos when it is not closed.
size_t ReadQuoted(const std::string& s, size_t pos, std::string& out) {
  out.clear();
  for (size_t i = pos + 1; i < s.size(); ++i) {
    if (s[i] == '\\') {
      if (++i >= s.size()) return std::string::npos;
      out += s[i];
    } else if (s[i] == '"') {
      return i + 1;
    } else {
      out += s[i];
    }
  }
  return std::string::npos;
}

// The value of DATA (the text after '='), or nullopt with the reason.
// A deletion ("-") gives a value of type REG_NONE that the caller drops.
std::optional<HiveValue> ParseData(const std::string& text, std::string& reason) {
  HiveValue v;
  if (text == "-") return v;
  if (!text.empty() && text[0] == '"') {
    const size_t end = ReadQuoted(text, 0, v.data);
    if (end == std::string::npos) {
      reason = "la chaîne n'est pas fermée par un guillemet";
      return std::nullopt;
    }
    if (end != text.size()) {
      reason = "texte après la fin de la chaîne (un guillemet dans la valeur s'écrit \\\")";
      return std::nullopt;
    }
    v.type = REG_SZ;
    return v;
  }
  if (text.rfind("dword:", 0) == 0) {
    const std::string hex = text.substr(6);
    if (hex.size() != 8 || hex.find_first_not_of(kHexDigits) != std::string::npos) {
      reason = "une valeur dword s'écrit avec 8 chiffres hexadécimaux, ainsi dword:00000001";
      return std::nullopt;
    }
    const DWORD n = static_cast<DWORD>(std::strtoul(hex.c_str(), nullptr, 16));
    v.type = REG_DWORD;
    v.data.assign(reinterpret_cast<const char*>(&n), sizeof n);
    return v;
  }
  if (text.rfind("hex", 0) == 0) {
    const size_t colon = text.find(':');
    v.type = REG_BINARY;
    if (colon != std::string::npos && text[3] == '(') {
      const size_t close = text.find(')');
      char* end = nullptr;
      v.type = static_cast<DWORD>(std::strtoul(text.c_str() + 4, &end, 16));
      if (close == std::string::npos || close + 1 != colon || end != text.c_str() + close || close == 4) {
        reason = "type hex(N) mal écrit : ainsi hex(2):41,00";
        return std::nullopt;
      }
    } else if (colon != 3) {
      reason = "valeur hex mal écrite : ainsi hex:01,02";
      return std::nullopt;
    }
    std::stringstream bytes(text.substr(colon + 1));
    std::string byte;
    while (std::getline(bytes, byte, ',')) {
      byte = Trim(byte);
      if (byte.size() != 2 || byte.find_first_not_of(kHexDigits) != std::string::npos) {
        reason = "octet hexadécimal « " + Shown(byte) + " » : deux chiffres par octet, séparés par des virgules";
        return std::nullopt;
      }
      v.data += static_cast<char>(std::strtoul(byte.c_str(), nullptr, 16));
    }
    return v;
  }
  reason = "valeur d'un type inconnu : attendu \"texte\", dword:00000000 ou hex:00";
  return std::nullopt;
}

struct Line {
  int number;
  std::string text;  // trimmed; continued hex lines joined
};

// The file's logical lines; a hex value that goes on after its last line
// ends the list with `cut` set.
std::vector<Line> SplitLines(const std::string& text, std::optional<Line>& cut) {
  std::vector<Line> lines;
  std::istringstream in(text);
  std::string raw;
  std::optional<Line> pending;
  for (int number = 1; std::getline(in, raw); ++number) {
    std::string line = Trim(raw);
    if (pending) {
      pending->text += line;
      line = pending->text;
    }
    const int first = pending ? pending->number : number;
    pending.reset();
    if (!line.empty() && line.back() == '\\' && line.find("=hex") != std::string::npos) {
      pending = Line{first, line.substr(0, line.size() - 1)};
      continue;
    }
    lines.push_back({first, line});
  }
  cut = pending;
  return lines;
}

class HiveParser {
 public:
  HiveParser(HiveText& hive, std::string_view rootName) : m_hive(hive), m_root(rootName) {}

  // False when the line is the header's place and holds none.
  bool Take(const Line& line) {
    const std::string& l = line.text;
    if (l.empty() || l[0] == ';') return true;
    if (m_hive.header.empty()) {
      if (l != "REGEDIT4" && l != "Windows Registry Editor Version 5.00") {
        Refuse(line,
               "la première ligne doit être « REGEDIT4 » ou « Windows Registry Editor Version 5.00 » : "
               "rien dans ce fichier n'est lu");
        return false;
      }
      m_hive.header = l;
      return true;
    }
    if (l[0] == '[') {
      TakeKey(line);
    } else if (l[0] == '"' || l[0] == '@') {
      TakeValue(line);
    } else {
      Refuse(line, "ni une clé [HKEY_...], ni une valeur \"nom\"=..., ni un commentaire ;...");
    }
    return true;
  }

  void Refuse(const Line& line, std::string reason) {
    m_hive.problems.push_back({line.number, Shown(line.text), std::move(reason)});
  }

 private:
  void TakeKey(const Line& line) {
    const std::string& l = line.text;
    m_key = nullptr;
    m_keyRefused = true;
    if (l.back() != ']') {
      Refuse(line, "la clé n'est pas fermée par « ] » ; ses valeurs sont ignorées");
      return;
    }
    const std::string path = l.substr(1, l.size() - 2);
    if (!path.empty() && path[0] == '-') {  // a deletion: nothing to read
      m_keyRefused = false;
      m_inDeletion = true;
      return;
    }
    m_inDeletion = false;
    const std::string upper = ToUpperLatin(path), root = ToUpperLatin(m_root);
    if (upper != root && upper.rfind(root + "\\", 0) != 0) {
      Refuse(line, "clé hors de " + m_root + ", la seule que ce fichier peut tenir ; ses valeurs sont ignorées");
      return;
    }
    m_keyRefused = false;
    HiveKey& key = m_hive.keys[upper];
    if (key.line == 0) {
      key.path = path;
      key.line = line.number;
    }
    m_key = &key;
  }

  void TakeValue(const Line& line) {
    const std::string& l = line.text;
    if (m_key == nullptr) {
      if (!m_keyRefused && !m_inDeletion)
        Refuse(line, "valeur hors de toute clé : une ligne [HKEY_...] doit la précéder");
      return;
    }
    HiveValue value;
    size_t pos = 1;
    if (l[0] == '"') {
      pos = ReadQuoted(l, 0, value.name);
      if (pos == std::string::npos) {
        Refuse(line, "le nom de la valeur n'est pas fermé par un guillemet");
        return;
      }
    }
    if (pos >= l.size() || l[pos] != '=') {
      Refuse(line, "il manque « = » après le nom de la valeur");
      return;
    }
    std::string reason;
    const std::optional<HiveValue> data = ParseData(Trim(std::string_view(l).substr(pos + 1)), reason);
    if (!data) {
      Refuse(line, reason);
      return;
    }
    const std::string upper = ToUpperLatin(value.name);
    if (data->type == REG_NONE) {
      m_key->values.erase(upper);
      return;
    }
    value.type = data->type;
    value.data = data->data;
    value.line = line.number;
    value.text = Shown(l);
    m_key->values[upper] = std::move(value);
  }

  HiveText& m_hive;
  std::string m_root;
  HiveKey* m_key = nullptr;
  bool m_keyRefused = false;  // the values under a refused key go unsaid
  bool m_inDeletion = false;
};

}  // namespace

HiveText ParseHiveText(std::string_view bytes, std::string_view rootName) {
  HiveText hive;
  std::string reason;
  const std::optional<std::string> text = Decode(bytes, hive.encoding, reason);
  if (!text) {
    hive.problems.push_back({0, "", reason});
    return hive;
  }
  std::optional<Line> cut;
  const std::vector<Line> lines = SplitLines(*text, cut);
  HiveParser parser(hive, rootName);
  for (const Line& line : lines) {
    if (!parser.Take(line)) {
      hive.keys.clear();
      return hive;
    }
  }
  if (cut) parser.Refuse(*cut, "valeur hex coupée : sa dernière ligne finit par « \\ » en fin de fichier");
  if (hive.header.empty()) {
    hive.problems.push_back({0, "", "le fichier est vide : il lui faut au moins la ligne « REGEDIT4 »"});
    return hive;
  }
  hive.appendable = hive.problems.empty() && hive.encoding.rfind("UTF-8", 0) == 0;
  return hive;
}
