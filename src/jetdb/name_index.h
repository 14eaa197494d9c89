// NameIndex: the positions of the names of a list that equal a given name
// as Access compares names (jetdb::sameName: case aside, accents counted,
// a ligature equal to its two letters). The catalog finds its tables and
// relations through it for every row a statement writes: a linear scan
// with that comparison cost more than the write at forty tables.
//
// Two ASCII names are equal exactly when their lower-case forms are, so an
// ASCII name is found by hashing; a name with other characters (which may
// equal an ASCII one: 'Œuf' and 'oeuf') is compared one by one, as is any
// name asked for that is not ASCII.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace jetdb {

class NameIndex {
 public:
  void clear();
  // Positions must be added in ascending order.
  void add(std::string_view name, std::size_t position);
  // The positions of the names equal to `name`, ascending.
  std::vector<std::size_t> find(std::string_view name) const;
  // The first of them, or `none`.
  std::size_t first(std::string_view name, std::size_t none) const;

 private:
  std::unordered_map<std::string, std::vector<std::size_t>> ascii_;
  std::vector<std::pair<std::string, std::size_t>> others_;  // names that are not ASCII
  std::vector<std::pair<std::string, std::size_t>> all_;     // for a name asked that is not ASCII
};

}  // namespace jetdb
