#include "name_index.h"

#include <algorithm>

#include "jetdb/text.h"

namespace jetdb {
namespace {

// The lower-case form of an ASCII name; false for any other.
bool asciiKey(std::string_view name, std::string& key) {
  key.assign(name);
  for (char& c : key) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  }
  return true;
}

}  // namespace

void NameIndex::clear() {
  ascii_.clear();
  others_.clear();
  all_.clear();
}

void NameIndex::add(std::string_view name, std::size_t position) {
  std::string key;
  if (asciiKey(name, key)) ascii_[key].push_back(position);
  else others_.emplace_back(name, position);
  all_.emplace_back(name, position);
}

std::vector<std::size_t> NameIndex::find(std::string_view name) const {
  std::vector<std::size_t> out;
  std::string key;
  if (!asciiKey(name, key)) {
    for (const auto& [n, p] : all_)
      if (sameName(n, name)) out.push_back(p);
    return out;
  }
  if (auto it = ascii_.find(key); it != ascii_.end()) out = it->second;
  const std::size_t hashed = out.size();
  for (const auto& [n, p] : others_)
    if (sameName(n, name)) out.push_back(p);
  if (out.size() > hashed) std::inplace_merge(out.begin(), out.begin() + static_cast<std::ptrdiff_t>(hashed), out.end());
  return out;
}

std::size_t NameIndex::first(std::string_view name, std::size_t none) const {
  std::string key;
  if (!asciiKey(name, key)) {
    for (const auto& [n, p] : all_)
      if (sameName(n, name)) return p;
    return none;
  }
  std::size_t best = none;
  if (auto it = ascii_.find(key); it != ascii_.end()) best = it->second.front();
  for (const auto& [n, p] : others_) {
    if (best != none && p > best) break;
    if (sameName(n, name)) return p;
  }
  return best;
}

}  // namespace jetdb
