// Storage for the growable arrays of this layer: a buffer of fixed-size
// values, every one set to a fill value, whose allocation may fail without
// throwing, so that an array that cannot grow keeps what it has.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <limits>
#include <memory>

struct FreeBuffer {
  void operator()(void* p) const { std::free(p); }
};

template <class T>
using FilledBuffer = std::unique_ptr<T[], FreeBuffer>;

// `count` values set to `fill`, or null when they cannot be allocated or
// `count` does not fit the arrays' 32-bit signed sizes.
template <class T>
FilledBuffer<T> AllocateFilled(std::int64_t count, T fill) {
  if (count <= 0 || count > std::numeric_limits<std::int32_t>::max()) return nullptr;
  FilledBuffer<T> buffer(static_cast<T*>(std::malloc(static_cast<std::size_t>(count) * sizeof(T))));
  if (buffer)
    for (std::int64_t i = 0; i < count; ++i) buffer[i] = fill;
  return buffer;
}
