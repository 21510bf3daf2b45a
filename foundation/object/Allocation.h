// The foundation's one allocation routine. It never throws: a refused or
// failed allocation, a size of 0 and a size that overflows all give null.
#pragma once

#include <cstddef>
#include <limits>
#include <new>
#include <utility>

namespace rozazar {

// Decides whether an allocation of the given number of bytes may go ahead.
// Tests install one to make chosen allocations fail; null lets all through.
using AllocationGate = bool (*)(std::size_t bytes);

void setAllocationGate(AllocationGate gate) noexcept;
bool allocationAllowed(std::size_t bytes) noexcept;

// A value-initialised (zeroed, for scalars and pointers) array of count
// elements, to be released with delete[].
template <typename T>
T* newArray(std::size_t count) noexcept {
  if (count == 0 || count > std::numeric_limits<std::size_t>::max() / sizeof(T)) return nullptr;
  if (!allocationAllowed(count * sizeof(T))) return nullptr;
  try {
    return new T[count]();
  } catch (...) {
    return nullptr;
  }
}

// Like newArray, but the elements are left uninitialised: for byte blocks
// that are about to be overwritten, where zeroing would only cost time.
template <typename T>
T* newRawArray(std::size_t count) noexcept {
  if (count == 0 || count > std::numeric_limits<std::size_t>::max() / sizeof(T)) return nullptr;
  if (!allocationAllowed(count * sizeof(T))) return nullptr;
  try {
    return new T[count];
  } catch (...) {
    return nullptr;
  }
}

// One object, to be released with delete (or deleteObject for foundation
// objects); null when the allocation fails or the constructor throws.
template <typename T, typename... Args>
T* newObject(Args&&... args) noexcept {
  if (!allocationAllowed(sizeof(T))) return nullptr;
  try {
    return new T(std::forward<Args>(args)...);
  } catch (...) {
    return nullptr;
  }
}

}  // namespace rozazar
