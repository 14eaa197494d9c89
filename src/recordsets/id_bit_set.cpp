#include "recordsets/id_bit_set.h"

#include <algorithm>
#include <bit>
#include <limits>

namespace {

constexpr LONG kWordBits = 32;

std::uint32_t FillWord(BYTE byFill) { return byFill != 0 ? 0xFFFFFFFFu : 0u; }

}  // namespace

CIdBitSet::CIdBitSet(LONG nCapacity, BOOL bFillOnes) : m_byFill(bFillOnes ? 0xFF : 0x00) {
  const std::int64_t bits = (static_cast<std::int64_t>(std::max<LONG>(nCapacity, 0)) / kWordBits + 1) * kWordBits;
  // A request past the 32-bit range leaves the set without storage.
  if (bits <= std::numeric_limits<LONG>::max())
    m_pWords = AllocateFilled<std::uint32_t>(bits / kWordBits, FillWord(m_byFill));
  if (m_pWords) m_nCapacity = static_cast<LONG>(bits);
}

void CIdBitSet::Clear() {
  m_byFill = 0x00;
  std::fill(m_pWords.get(), m_pWords.get() + m_nCapacity / kWordBits, 0u);
  m_nCursor = -1;
}

BOOL CIdBitSet::Grow(LONG nBit) {
  // Counted in 64 bits: a bit near the top of the range fails instead of
  // wrapping to a smaller capacity.
  const std::int64_t bits =
      m_nCapacity + ((static_cast<std::int64_t>(nBit) - m_nCapacity) / kGrowBits + 1) * kGrowBits;
  if (bits > std::numeric_limits<LONG>::max()) return FALSE;
  FilledBuffer<std::uint32_t> words = AllocateFilled<std::uint32_t>(bits / kWordBits, FillWord(m_byFill));
  if (!words) return FALSE;
  std::copy(m_pWords.get(), m_pWords.get() + m_nCapacity / kWordBits, words.get());
  m_pWords = std::move(words);
  m_nCapacity = static_cast<LONG>(bits);
  return TRUE;
}

BOOL CIdBitSet::Add(LONG nId) {
  const LONG bit = nId - m_nBase;
  if (bit < 0) return FALSE;
  if (bit >= m_nCapacity && !Grow(bit)) return FALSE;
  m_pWords[bit / kWordBits] |= 1u << (bit % kWordBits);
  return TRUE;
}

LONG CIdBitSet::First() {
  m_nCursor = -1;
  return Next();
}

LONG CIdBitSet::Next() {
  LONG bit = m_nCursor + 1;
  while (bit < m_nCapacity) {
    // The bits of this word from `bit` on, skipping empty words whole.
    const std::uint32_t rest = m_pWords[bit / kWordBits] >> (bit % kWordBits);
    if (rest != 0) {
      m_nCursor = bit + std::countr_zero(rest);
      return m_nBase + m_nCursor;
    }
    bit = (bit / kWordBits + 1) * kWordBits;
  }
  m_nCursor = m_nCapacity;
  return m_nBase - 1;
}
