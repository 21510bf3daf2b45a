#include "json/internal/JsonPool.h"

#include <atomic>

#include "foundation/object/Allocation.h"
#include "foundation/platform/Platform.h"

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

// Set once the cache below is gone at the end of the process: slabs of
// pools that die later go back to the heap.
std::atomic<bool> g_slabCacheClosed{false};

// The slabs of the largest size that deleted pools left, for the next
// pools; every slab in it has that size. A cached slab begins with its link.
class SlabCache {
 public:
  static constexpr std::size_t kSlabBytes = JsonPool::kLargestSlabBytes;

  SlabCache() noexcept { platform::lockInit(m_lock); }
  SlabCache(const SlabCache&) = delete;
  SlabCache& operator=(const SlabCache&) = delete;
  ~SlabCache() {
    g_slabCacheClosed.store(true);
    clear();
    platform::lockDestroy(m_lock);
  }

  // False (slab not taken) when the cache is full.
  bool put(unsigned char* slab) noexcept {
    platform::lockEnter(m_lock);
    const bool taken = m_count < JsonPool::kCachedSlabBytes / kSlabBytes;
    if (taken) {
      auto* cached = reinterpret_cast<Cached*>(slab);
      cached->next = m_head;
      m_head = cached;
      ++m_count;
      TESSEL_POOL_POISON(slab, kSlabBytes);
    }
    platform::lockLeave(m_lock);
    return taken;
  }

  // A cached slab, or null when there is none.
  unsigned char* take() noexcept {
    platform::lockEnter(m_lock);
    Cached* cached = m_head;
    if (cached != nullptr) {
      TESSEL_POOL_UNPOISON(cached, kSlabBytes);
      m_head = cached->next;
      --m_count;
    }
    platform::lockLeave(m_lock);
    return reinterpret_cast<unsigned char*>(cached);
  }

  void clear() noexcept {
    while (unsigned char* slab = take()) delete[] slab;
  }

 private:
  struct Cached {
    Cached* next;
  };

  platform::LockStorage m_lock;
  Cached* m_head = nullptr;
  std::size_t m_count = 0;
};

SlabCache& slabCache() noexcept {
  static SlabCache cache;
  return cache;
}

bool slabCacheOpen() noexcept { return !g_slabCacheClosed.load(std::memory_order_relaxed); }

}  // namespace

void JsonPool::releaseCachedSlabs() noexcept {
  if (slabCacheOpen()) slabCache().clear();
}

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
    auto* raw = reinterpret_cast<unsigned char*>(slab);
    // Slabs of the largest size wait in the cache while it has room.
    if (slab->bytes != kLargestSlabBytes || !slabCacheOpen() || !slabCache().put(raw)) delete[] raw;
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
  unsigned char* raw = nullptr;
  if (slabBytes == kLargestSlabBytes) {
    // A cached slab stands for a new one, the gate included.
    if (!allocationAllowed(slabBytes)) return nullptr;
    if (slabCacheOpen()) raw = slabCache().take();
  }
  if (raw == nullptr) raw = newRawArray<unsigned char>(slabBytes);
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
