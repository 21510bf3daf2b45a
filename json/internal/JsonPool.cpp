#include "json/internal/JsonPool.h"

#include "foundation/object/Allocation.h"

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TESSEL_POOL_ASAN 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define TESSEL_POOL_ASAN 1
#endif

#ifdef TESSEL_POOL_ASAN
#include <sanitizer/asan_interface.h>
// Blocks on a free list and the uncut rest of a slab are poisoned, so that
// the address sanitizer reports a node used after its deletion as it would
// for a block of the heap.
#define TESSEL_POOL_POISON(p, n) ASAN_POISON_MEMORY_REGION(p, n)
#define TESSEL_POOL_UNPOISON(p, n) ASAN_UNPOISON_MEMORY_REGION(p, n)
#else
#define TESSEL_POOL_POISON(p, n) static_cast<void>(0)
#define TESSEL_POOL_UNPOISON(p, n) static_cast<void>(0)
#endif

namespace rozazar {

namespace {

constexpr std::size_t roundUp(std::size_t n, std::size_t grain) noexcept {
  return (n + grain - 1) / grain * grain;
}

}  // namespace

JsonPool::~JsonPool() {
  while (m_large != nullptr) {
    LargeBlock* large = m_large;
    m_large = large->next;
    delete[] reinterpret_cast<unsigned char*>(large);
  }
  TESSEL_POOL_UNPOISON(m_inlineSlab, kInlineSlabBytes);
  while (m_slabs != nullptr) {
    Slab* slab = m_slabs;
    m_slabs = slab->next;
    TESSEL_POOL_UNPOISON(slab, slab->bytes);
    delete[] reinterpret_cast<unsigned char*>(slab);
  }
}

void* JsonPool::allocate(std::size_t bytes) noexcept {
  if (bytes == 0) bytes = 1;
  if (!allocationAllowed(bytes)) return nullptr;
  if (bytes > kLargestPooled) return allocateLarge(bytes);
  const std::size_t sizeClass = classOf(bytes);
  FreeBlock* block = m_free[sizeClass];
  if (block != nullptr) {
    TESSEL_POOL_UNPOISON(block, sizeof(FreeBlock));
    m_free[sizeClass] = block->next;
    TESSEL_POOL_UNPOISON(block, (sizeClass + 1) * kGrain);
    return block;
  }
  const std::size_t size = (sizeClass + 1) * kGrain;
  if (static_cast<std::size_t>(m_end - m_next) >= size) {
    unsigned char* cut = m_next;
    m_next += size;
    TESSEL_POOL_UNPOISON(cut, size);
    return cut;
  }
  return allocateFromNewSlab(size);
}

void* JsonPool::allocateFromNewSlab(std::size_t size) noexcept {
  const std::size_t header = roundUp(sizeof(Slab), kGrain * 2);
  const std::size_t slabBytes = m_nextSlabBytes;
  auto* raw = newRawArray<unsigned char>(slabBytes);
  if (raw == nullptr) return nullptr;
  if (m_nextSlabBytes < kLargestSlabBytes) m_nextSlabBytes *= 2;
  auto* slab = reinterpret_cast<Slab*>(raw);
  slab->next = m_slabs;
  slab->bytes = slabBytes;
  m_slabs = slab;
  // What is left of the previous slab stays unused: at most one block's
  // worth, less than the size class that did not fit.
  m_next = raw + header + size;
  m_end = raw + slabBytes;
  TESSEL_POOL_POISON(m_next, static_cast<std::size_t>(m_end - m_next));
  return raw + header;
}

void* JsonPool::allocateLarge(std::size_t bytes) noexcept {
  if (bytes > static_cast<std::size_t>(-1) - kLargeHeader) return nullptr;
  auto* raw = newRawArray<unsigned char>(bytes + kLargeHeader);
  if (raw == nullptr) return nullptr;
  auto* large = reinterpret_cast<LargeBlock*>(raw);
  large->previous = nullptr;
  large->next = m_large;
  if (m_large != nullptr) m_large->previous = large;
  m_large = large;
  return raw + kLargeHeader;
}

void JsonPool::releaseLarge(void* block) noexcept {
  auto* raw = static_cast<unsigned char*>(block) - kLargeHeader;
  auto* large = reinterpret_cast<LargeBlock*>(raw);
  if (large->previous != nullptr) {
    large->previous->next = large->next;
  } else {
    m_large = large->next;
  }
  if (large->next != nullptr) large->next->previous = large->previous;
  delete[] raw;
}

void JsonPool::release(void* block, std::size_t bytes) noexcept {
  if (block == nullptr) return;
  if (bytes == 0) bytes = 1;
  if (bytes > kLargestPooled) {
    releaseLarge(block);
    return;
  }
  const std::size_t sizeClass = classOf(bytes);
  auto* freed = static_cast<FreeBlock*>(block);
  freed->next = m_free[sizeClass];
  m_free[sizeClass] = freed;
  TESSEL_POOL_POISON(static_cast<unsigned char*>(block), (sizeClass + 1) * kGrain);
}

}  // namespace rozazar
