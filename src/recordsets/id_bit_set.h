// CIdBitSet: a set of non-negative identifiers held as a bit array, 32 bits
// a word, for collecting ingredient identifiers and reading them back in
// ascending order. It grows by whole 512-bit steps, to at least twice its
// capacity, when an identifier is past its end; clearing and reading it
// cost the words in use, not its whole capacity.
#pragma once

#include <cstdint>

#include "platform/types.h"
#include "recordsets/filled_buffer.h"

class CIdBitSet {
 public:
  // Room for nCapacity identifiers, rounded up to whole words with at least
  // one spare (512 gives 544 bits); fresh storage holds ones when asked.
  CIdBitSet(LONG nCapacity, BOOL bFillOnes);
  CIdBitSet(const CIdBitSet&) = delete;
  CIdBitSet& operator=(const CIdBitSet&) = delete;

  // Every bit 0, and fresh storage 0 from now on.
  void Clear();
  // FALSE when the identifier is negative, or when the set had to grow and
  // could not: then it keeps its old bits.
  BOOL Add(LONG nId);
  // The lowest identifier in the set, or -1 when it is empty.
  LONG First();
  // The lowest identifier above the last one returned, or -1.
  LONG Next();

  LONG GetCapacity() const { return m_nCapacity; }

 private:
  static constexpr LONG kGrowBits = 512;
  BOOL Grow(LONG nBit);

  LONG m_nBase = 0;  // the identifier of bit 0
  BYTE m_byFill;
  LONG m_nCursor = -1;
  LONG m_nCapacity = 0;
  // Words past these hold only zeros: what Clear and Next need to read.
  LONG m_nUsedWords = 0;
  FilledBuffer<std::uint32_t> m_pWords;
};
