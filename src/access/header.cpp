#include "access/header.h"

#include <array>
#include <cmath>
#include <cstring>

namespace mdbfile {

namespace {

constexpr char kMagic[] = "\x00\x01\x00\x00Standard Jet DB";
constexpr size_t kMagicSize = sizeof kMagic - 1;

// The header from byte 0x18 on is RC4-encoded with a fixed key.
void rc4(const std::array<std::uint8_t, 4>& key, std::uint8_t* data, size_t size) {
  std::array<std::uint8_t, 256> s;
  for (int i = 0; i < 256; ++i) s[static_cast<size_t>(i)] = static_cast<std::uint8_t>(i);
  size_t j = 0;
  for (size_t i = 0; i < 256; ++i) {
    j = (j + s[i] + key[i % key.size()]) & 0xFF;
    std::swap(s[i], s[j]);
  }
  size_t a = 0;
  size_t b = 0;
  for (size_t n = 0; n < size; ++n) {
    a = (a + 1) & 0xFF;
    b = (b + s[a]) & 0xFF;
    std::swap(s[a], s[b]);
    data[n] ^= s[(s[a] + s[b]) & 0xFF];
  }
}

std::uint32_t le32(const std::uint8_t* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

}  // namespace

bool looksLikeAccessFile(const std::vector<std::uint8_t>& firstBytes) {
  return firstBytes.size() >= kMagicSize && std::memcmp(firstBytes.data(), kMagic, kMagicSize) == 0;
}

HeaderCheck checkHeader(const std::vector<std::uint8_t>& page, std::uint64_t fileSize) {
  HeaderCheck check;
  if (fileSize == 0) {
    check.refusal = "le fichier est vide";
    return check;
  }
  if (page.size() < 0x80 || !looksLikeAccessFile(page)) {
    check.refusal = "ce n'est pas une base Access (Jet 3 ou Jet 4)";
    return check;
  }
  FileHeader header;
  const std::uint32_t version = le32(&page[0x14]);
  if (version == 0) {
    header.jetVersion = 3;
    header.pageSize = 2048;
  } else if (version == 1) {
    header.jetVersion = 4;
    header.pageSize = 4096;
  } else {
    check.refusal = "base Access d'une version postérieure à Access 2003 (format non pris en charge)";
    return check;
  }
  if (fileSize % static_cast<std::uint64_t>(header.pageSize) != 0 ||
      page.size() < static_cast<size_t>(header.pageSize)) {
    check.refusal = "le fichier est tronqué (sa taille n'est pas un nombre entier de pages)";
    return check;
  }
  std::vector<std::uint8_t> plain(page.begin(), page.begin() + header.pageSize);
  rc4({0xC7, 0xDA, 0x39, 0x6B}, plain.data() + 0x18, 126);
  if (le32(&plain[0x3E]) != 0) {
    check.refusal = "la base est chiffrée : ouvrez-la dans Access et retirez le chiffrement";
    return check;
  }
  // The password, XOR-masked: with a fixed mask for Jet 3 (the decoding
  // above), with the creation date's day number too for Jet 4.
  bool password = false;
  if (header.jetVersion == 3) {
    for (size_t i = 0; i < 20; ++i) password = password || plain[0x42 + i] != 0;
  } else {
    double created = 0;
    std::memcpy(&created, &plain[0x72], sizeof created);
    // A date outside any a file could hold masks nothing: a password then shows.
    const bool plausible = std::isfinite(created) && std::fabs(created) < 1e7;
    const auto day = plausible ? static_cast<std::uint32_t>(static_cast<std::int64_t>(created)) : 0u;
    for (size_t i = 0; i < 40; ++i) {
      const std::uint8_t mask = static_cast<std::uint8_t>(day >> (8 * (i % 4)));
      password = password || (plain[0x42 + i] ^ mask) != 0;
    }
  }
  if (password) {
    check.refusal = "la base est protégée par un mot de passe : ouvrez-la dans Access et retirez-le";
    return check;
  }
  header.codePage = plain[0x3C] | (plain[0x3D] << 8);
  check.header = header;
  return check;
}

}  // namespace mdbfile
