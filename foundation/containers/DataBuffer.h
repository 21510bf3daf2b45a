// The growable byte array of the foundation: raw bytes, encoded text between
// encodings, file contents. It keeps no terminator and no inline storage, and
// either owns its block or borrows memory that belongs to someone else (a
// borrowed block is never written, freed or reallocated in place). Bulk
// appends grow in large fixed tiers, single bytes in small steps. No operation
// throws; failures return false and leave the content as it was. A buffer
// whose validity marker is wrong (destroyed, or overwritten) refuses every
// change and frees nothing, not even when it is destroyed.
#pragma once

#include <cstddef>
#include <cstdint>

#include "foundation/object/RozazarObject.h"

namespace rozazar {

class LogBase;
class StringBuffer;

class DataBuffer : public RozazarObject {
 public:
  static constexpr std::uint8_t kLiveMarker = 0xDB;

  DataBuffer() noexcept = default;
  DataBuffer(const DataBuffer&) = delete;
  DataBuffer& operator=(const DataBuffer&) = delete;
  // Frees an owned block (wiping it first when asked to), never a borrowed one.
  ~DataBuffer() override;

  // ---- Growth and storage ----

  // Capacity of at least n, by reallocating to exactly n; n == 0 is a no-op.
  bool reserve(std::size_t n) noexcept;
  // A new owned block of exactly n bytes (false for 0) holding the valid
  // bytes (cut to n).
  bool reallocateExact(std::size_t n) noexcept;
  // Room for n more bytes by the tiered rule of bulk appends.
  bool growForAppend(std::size_t n) noexcept;
  // Size 0; an owned block stays, a borrowed one is dropped.
  void clear() noexcept;
  void clearAndRelease() noexcept;
  // Zeroes the valid bytes and sets size 0 (the block stays).
  void wipeContent() noexcept;
  void wipeAndRelease() noexcept;
  // Forgets the block without freeing it (someone else has taken it over).
  void detachBlock() noexcept;
  // Points at caller memory, which the caller keeps alive and frees.
  void borrow(const void* data, std::size_t n) noexcept;
  // Takes ownership of a caller's new[] block of n bytes.
  void adoptBlock(unsigned char* data, std::size_t n) noexcept;
  // Takes other's block and content, leaving other empty; an empty other just
  // clears this buffer.
  void moveFrom(DataBuffer& other) noexcept;
  // Takes a StringBuffer's storage: its text becomes the content, with the
  // terminator just beyond the size.
  bool takeStringBuffer(StringBuffer& sb) noexcept;
  // Sets the size, but never above the capacity.
  void setSize(std::size_t n) noexcept;
  void dropLast(std::size_t n) noexcept;
  // Makes the content end in exactly one zero byte.
  bool ensureZeroTerminated() noexcept;
  // Overwrite the valid bytes with zeros before freeing the block.
  void setWipeOnDestroy(bool on) noexcept { m_wipe = on ? 1 : 0; }

  // Reads a whole file (a UTF-8 path) into the buffer; a null log means
  // nothing is reported.
  bool loadFile(const char* path, LogBase* log) noexcept;

  // ---- Appending (null data or a zero count succeeds doing nothing) ----

  bool appendBytes(const void* data, std::size_t n) noexcept;
  bool appendDataBuffer(const DataBuffer& other) noexcept;
  bool appendStringBuffer(const StringBuffer& sb) noexcept;
  bool appendText(const char* text) noexcept;
  // The n bytes without their zero bytes.
  bool appendNonZeroBytes(const void* data, std::size_t n) noexcept;
  bool appendChar(unsigned char c) noexcept;
  bool appendTwoBytes(unsigned char first, unsigned char second) noexcept;
  bool appendByteRun(unsigned char c, std::size_t n) noexcept;
  bool appendUInt16BigEndian(std::uint16_t value) noexcept;
  // A zero-terminated UTF-16 text with its two-byte terminator; null appends
  // just the terminator.
  bool appendWideText(const std::uint16_t* text) noexcept;
  // Decimal numbers separated by any mix of blanks, line breaks and commas,
  // each appended as a byte. A value above 255 or any other character stops
  // the parse with false (bytes appended so far stay).
  bool appendDecimalByteList(const char* text) noexcept;

  // ---- Reading ----

  const unsigned char* data() const noexcept { return m_data; }
  // Writable access to an owned block; null for a borrowed one.
  unsigned char* mutableData() noexcept { return m_borrowed != 0 ? nullptr : m_data; }
  std::uint32_t size() const noexcept { return m_size; }
  std::uint32_t capacity() const noexcept { return m_capacity; }
  bool isEmpty() const noexcept { return m_size == 0; }
  bool isBorrowed() const noexcept { return m_borrowed != 0; }
  bool isValid() const noexcept { return m_marker == kLiveMarker; }
  // Byte i, null past the end.
  const unsigned char* dataAt(std::size_t i) const noexcept {
    return (m_data != nullptr && i < m_size) ? m_data + i : nullptr;
  }
  // Two bytes at index in the given order; advances index by 2. False (and
  // out 0) when fewer than two bytes remain.
  bool readUInt16(std::uint32_t& index, bool littleEndian, std::uint16_t& out) const noexcept;

  // True when [p, p + n) overlaps this buffer's block: such a source dies
  // when the block is replaced.
  bool overlapsBlock(const void* p, std::size_t n) const noexcept;

  std::size_t ownedHeapBytes() const noexcept override { return m_borrowed != 0 ? 0 : m_capacity; }

  // ---- Editing in place (an owned copy is made of borrowed content) ----

  // Removes every zero byte and every byte with the top bit set.
  void keepSevenBitOnly() noexcept;
  // The content as 16-bit units in host order: removes every unit equal to v
  // (a trailing odd byte is dropped); no-op for v == 0 or under two bytes.
  void removeUInt16(std::uint16_t v) noexcept;
  // Replaces every unit equal to a by b; no-op when a or b is 0.
  void replaceUInt16(std::uint16_t a, std::uint16_t b) noexcept;
  // Swaps the bytes of every 16-bit unit (a trailing odd byte stays).
  void swapByteOrder16() noexcept;

 private:
  // Releases an owned block, forgets a borrowed one; size and capacity 0.
  void releaseBlock() noexcept;
  // Room for n more bytes; grows to the given capacity when they don't fit.
  bool growTo(std::uint64_t capacity) noexcept;
  // Room for one or two more bytes by the small-step rule.
  bool growSmallStep(std::size_t n) noexcept;
  // Makes borrowed content an owned copy before it is edited.
  bool ensureOwned() noexcept;
  // n more bytes fit in an owned block (borrowed memory is never written).
  bool fits(std::uint64_t n) const noexcept { return m_borrowed == 0 && m_size + n <= m_capacity; }

  std::uint32_t m_size = 0;
  std::uint32_t m_capacity = 0;
  std::uint8_t m_marker = kLiveMarker;
  std::uint8_t m_borrowed = 0;
  unsigned char* m_data = nullptr;
  std::uint8_t m_wipe = 0;
};

}  // namespace rozazar
