// Helpers for the signature words that mark live foundation objects.
#pragma once

#include <cstdint>

// Signature checks deliberately read objects that may already be destroyed
// or foreign; the dynamic-type check of UBSan would report every such read.
#if defined(__clang__) || defined(__GNUC__)
#define ROZAZAR_SIGNATURE_CHECK __attribute__((no_sanitize("vptr")))
#else
#define ROZAZAR_SIGNATURE_CHECK
#endif

namespace rozazar {

// Clears a signature in a destructor. The store is volatile so that the
// optimiser cannot drop it as a store to an object whose lifetime is ending.
inline void clearSignature(std::uint32_t& signature) noexcept {
  *static_cast<volatile std::uint32_t*>(&signature) = 0;
}

}  // namespace rozazar
