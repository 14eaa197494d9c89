#include "recordsets/index_array.h"

#include <algorithm>
#include <cstdint>

BOOL CIndexArray::Init(LONG nFill, LONG nSize, LONG nGrowStep) {
  if (m_pBuffer || nGrowStep <= 0) return FALSE;
  FilledBuffer<LONG> buffer = AllocateFilled<LONG>(nSize, nFill);
  if (!buffer) return FALSE;
  m_pBuffer = std::move(buffer);
  m_nFill = nFill;
  m_nSize = nSize;
  m_nGrowStep = nGrowStep;
  return TRUE;
}

BOOL CIndexArray::Grow(LONG nIndex) {
  // Whole steps past the index, and at least double the old size, so that
  // entries set in ascending order cost a copy of the array only now and
  // then, not every fifty entries. Counted in 64 bits, so that an index
  // near the top of the range fails instead of wrapping to a smaller buffer.
  const std::int64_t step = m_nGrowStep;
  const std::int64_t newSize =
      std::max<std::int64_t>(m_nSize + ((static_cast<std::int64_t>(nIndex) - m_nSize + 1) / step + 1) * step,
                             2 * static_cast<std::int64_t>(m_nSize));
  FilledBuffer<LONG> buffer = AllocateFilled<LONG>(newSize, m_nFill);
  if (!buffer) return FALSE;
  std::copy(m_pBuffer.get(), m_pBuffer.get() + m_nSize, buffer.get());
  m_pBuffer = std::move(buffer);
  m_nSize = static_cast<LONG>(newSize);
  return TRUE;
}

BOOL CIndexArray::SetAt(LONG nIndex, LONG nValue) {
  if (!m_pBuffer || nIndex < 0) return FALSE;
  if (nIndex >= m_nSize && !Grow(nIndex)) return FALSE;
  m_pBuffer[nIndex] = nValue;
  return TRUE;
}

LONG CIndexArray::GetAt(LONG nIndex) const {
  if (!m_pBuffer || nIndex < 0 || nIndex >= m_nSize) return 0;
  return m_pBuffer[nIndex];
}

void CIndexArray::Free() {
  m_pBuffer.reset();
  m_nSize = 0;
}
