// The storage of one document's nodes and heap texts. Blocks are cut from
// slabs that the pool owns; a returned block goes onto the free list of its
// size class and serves the next request of that class. Blocks too large
// for a size class come from the heap and are kept on a list of their own.
// Freeing the pool frees every slab and large block at once, so the blocks
// of a document cost no heap call of their own and need no freeing one by
// one.
//
// Slabs of the largest size go to a cache shared by all pools instead of
// back to the heap, up to kCachedSlabBytes, and the next pool takes them
// from there (asking the allocation gate as for a new slab). The C library
// returns a large free region to the system at once (glibc beyond its trim
// threshold, the Win32 heap by decommitting), and a document loaded after a
// large one would otherwise fault in every page of its nodes again.
#pragma once

#include <cstddef>
#include <cstdint>

namespace rozazar {

class JsonPool {
 public:
  // Blocks up to this many bytes come from slabs, larger ones from the heap.
  static constexpr std::size_t kLargestPooled = 256;

  JsonPool() noexcept = default;
  JsonPool(const JsonPool&) = delete;
  JsonPool& operator=(const JsonPool&) = delete;
  ~JsonPool();

  // A block of at least bytes bytes, aligned for pointers and 64-bit words,
  // or null. Every request asks the allocation gate for its own size first,
  // so a test can refuse a single node; a new slab asks again for the slab.
  void* allocate(std::size_t bytes) noexcept;
  // Takes back a block that allocate gave for the same number of bytes.
  void release(void* block, std::size_t bytes) noexcept;

  // Frees the slabs the cache holds, so that heap figures taken next count
  // the slabs of a new document as its own.
  static void releaseCachedSlabs() noexcept;
  // At most this many bytes of slabs wait in the cache.
  static constexpr std::size_t kCachedSlabBytes = std::size_t{16} << 20;
  // Kept below the size at which the C library maps blocks of their own.
  // Only slabs of this size are cached.
  static constexpr std::size_t kLargestSlabBytes = 65536;

 private:
  static constexpr std::size_t kGrain = 8;
  static constexpr std::size_t kClasses = kLargestPooled / kGrain;
  // The first nodes come from a slab inside the pool itself, so that a new
  // document holds its first nodes without another allocation.
  static constexpr std::size_t kInlineSlabBytes = 1024;
  static constexpr std::size_t kFirstSlabBytes = 4096;

  struct FreeBlock {
    FreeBlock* next;
  };
  struct Slab {
    Slab* next;
    std::size_t bytes;
  };
  // The header in front of a large block, linking it to the others.
  struct LargeBlock {
    LargeBlock* previous;
    LargeBlock* next;
  };
  static constexpr std::size_t kLargeHeader = 16;
  static_assert(sizeof(LargeBlock) <= kLargeHeader, "large block header must fit");

  static std::size_t classOf(std::size_t bytes) noexcept { return (bytes - 1) / kGrain; }
  // Cuts a block from a new slab; null when the slab can't be made.
  void* allocateFromNewSlab(std::size_t bytes) noexcept;
  void* allocateLarge(std::size_t bytes) noexcept;
  void releaseLarge(void* block) noexcept;

  FreeBlock* m_free[kClasses] = {};
  alignas(16) unsigned char m_inlineSlab[kInlineSlabBytes];
  unsigned char* m_next = m_inlineSlab;
  unsigned char* m_end = m_inlineSlab + kInlineSlabBytes;
  Slab* m_slabs = nullptr;
  LargeBlock* m_large = nullptr;
  std::size_t m_nextSlabBytes = kFirstSlabBytes;
};

}  // namespace rozazar
