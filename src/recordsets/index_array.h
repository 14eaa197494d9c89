// CIndexArray: a growable array of 32-bit values indexed from 0, the map
// from a category identifier to its node. Entries never set hold the fill
// value; setting an entry past the end grows the array by whole steps,
// to at least twice its size.
#pragma once

#include "platform/types.h"
#include "recordsets/filled_buffer.h"

class CIndexArray {
 public:
  CIndexArray() = default;
  CIndexArray(const CIndexArray&) = delete;
  CIndexArray& operator=(const CIndexArray&) = delete;

  // Fails when already initialised or when the buffer cannot be allocated.
  BOOL Init(LONG nFill, LONG nSize, LONG nGrowStep);
  // Fails when uninitialised, when the index is negative, or when the
  // array must grow and cannot; then it keeps its old entries.
  BOOL SetAt(LONG nIndex, LONG nValue);
  // The fill value of a never-set entry; 0 when uninitialised or out of range.
  LONG GetAt(LONG nIndex) const;
  // Releases the buffer; the size becomes 0.
  void Free();

  LONG GetSize() const { return m_nSize; }

 private:
  BOOL Grow(LONG nIndex);

  LONG m_nGrowStep = 0;
  LONG m_nFill = 0;
  LONG m_nSize = 0;
  FilledBuffer<LONG> m_pBuffer;
};
