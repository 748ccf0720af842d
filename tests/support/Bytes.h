// Whether a block of memory is all zero bytes.
#pragma once

#include <cstddef>

inline bool AllZero(const void* p, std::size_t size) {
  const unsigned char* b = static_cast<const unsigned char*>(p);
  for (std::size_t i = 0; i < size; ++i)
    if (b[i]) return false;
  return true;
}
