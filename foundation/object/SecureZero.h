// Overwrites memory with zeros in a way the optimiser cannot drop, even when
// the memory is released right afterwards (for wiping secrets).
#pragma once

#include <cstddef>

namespace rozazar {

inline void secureZero(void* memory, std::size_t n) noexcept {
  volatile unsigned char* p = static_cast<volatile unsigned char*>(memory);
  while (n-- > 0) *p++ = 0;
}

}  // namespace rozazar
