#include "recordsets/sparse_index.h"

namespace {

// Fibonacci hashing: identifiers that follow each other (a user's numbering
// from some large start) spread over the whole table.
std::size_t Home(LONG nId, std::size_t mask) {
  return static_cast<std::size_t>((static_cast<std::uint64_t>(static_cast<std::uint32_t>(nId)) *
                                   0x9E3779B97F4A7C15ull) >>
                                  32) &
         mask;
}

}  // namespace

std::size_t CSparseIndex::Find(LONG nId) const {
  const std::size_t mask = m_slots.size() - 1;
  std::size_t i = Home(nId, mask);
  while (m_slots[i].id != -1 && m_slots[i].id != nId) i = (i + 1) & mask;
  return i;
}

void CSparseIndex::Grow() {
  std::vector<Slot> old;
  old.swap(m_slots);
  m_slots.resize(old.empty() ? 64 : 2 * old.size());
  for (const Slot& slot : old)
    if (slot.id != -1) m_slots[Find(slot.id)] = slot;
}

void CSparseIndex::Set(LONG nId, std::uint32_t nValue) {
  if (nId < 0) return;
  if (2 * (m_nCount + 1) > m_slots.size()) Grow();
  Slot& slot = m_slots[Find(nId)];
  if (slot.id == -1) ++m_nCount;
  slot = {nId, nValue};
}

std::uint32_t CSparseIndex::Get(LONG nId) const {
  if (nId < 0 || m_slots.empty()) return 0;
  return m_slots[Find(nId)].value;
}
