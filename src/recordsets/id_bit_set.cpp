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
  if (bFillOnes) m_nUsedWords = m_nCapacity / kWordBits;
}

void CIdBitSet::Clear() {
  // Only the words that may hold ones: a set cleared once per supplier
  // costs what that supplier added, not the whole capacity each time.
  if (m_byFill != 0x00) {
    m_byFill = 0x00;
    m_nUsedWords = m_nCapacity / kWordBits;
  }
  std::fill(m_pWords.get(), m_pWords.get() + m_nUsedWords, 0u);
  m_nUsedWords = 0;
  m_nCursor = -1;
}

BOOL CIdBitSet::Grow(LONG nBit) {
  // Counted in 64 bits: a bit near the top of the range fails instead of
  // wrapping to a smaller capacity.
  // At least double, so that identifiers added in ascending order copy the
  // words only now and then; a doubling past the 32-bit range falls back to
  // the whole steps that the identifier needs.
  const std::int64_t needed =
      m_nCapacity + ((static_cast<std::int64_t>(nBit) - m_nCapacity) / kGrowBits + 1) * kGrowBits;
  std::int64_t bits = std::max<std::int64_t>(needed, 2 * static_cast<std::int64_t>(m_nCapacity));
  if (bits > std::numeric_limits<LONG>::max()) bits = needed;
  if (bits > std::numeric_limits<LONG>::max()) return FALSE;
  FilledBuffer<std::uint32_t> words = AllocateFilled<std::uint32_t>(bits / kWordBits, FillWord(m_byFill));
  if (!words) return FALSE;
  std::copy(m_pWords.get(), m_pWords.get() + m_nCapacity / kWordBits, words.get());
  m_pWords = std::move(words);
  m_nCapacity = static_cast<LONG>(bits);
  if (m_byFill != 0x00) m_nUsedWords = m_nCapacity / kWordBits;
  return TRUE;
}

BOOL CIdBitSet::Add(LONG nId) {
  const LONG bit = nId - m_nBase;
  if (bit < 0) return FALSE;
  if (bit >= m_nCapacity && !Grow(bit)) return FALSE;
  m_pWords[bit / kWordBits] |= 1u << (bit % kWordBits);
  m_nUsedWords = std::max(m_nUsedWords, bit / kWordBits + 1);
  return TRUE;
}

LONG CIdBitSet::First() {
  m_nCursor = -1;
  return Next();
}

LONG CIdBitSet::Next() {
  // No word past the last one that may hold a one is read.
  const LONG end = m_nUsedWords * kWordBits;
  LONG bit = m_nCursor + 1;
  while (bit < end) {
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
