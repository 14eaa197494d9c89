// CSparseIndex: the map from a large category identifier to its node, for
// the identifiers too far apart for an array. One open-addressed table of
// eight-byte slots, at most half full: a million identifiers cost 16 MB in
// one allocation, where a node-based map costs twice that in a million
// allocations.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/types.h"

class CSparseIndex {
 public:
  // Sets the value of a non-negative identifier (0 is no value: it is what
  // Get gives for an identifier never set). Negative identifiers are not
  // held; a value set twice is replaced.
  void Set(LONG nId, std::uint32_t nValue);
  std::uint32_t Get(LONG nId) const;
  std::size_t size() const { return m_nCount; }

 private:
  struct Slot {
    LONG id = -1;  // -1: empty
    std::uint32_t value = 0;
  };
  std::size_t Find(LONG nId) const;  // its slot, or the empty one it would take
  void Grow();

  std::vector<Slot> m_slots;  // a power of two long, or empty
  std::size_t m_nCount = 0;
};
