// Mapping tables of the single-byte Windows code pages 1250-1258. Bytes
// below 0x80 are ASCII in all of them; the tables cover 0x80-0xFF.
#pragma once

#include <cstddef>
#include <cstdint>

namespace rozazar::encoding {

struct SingleByteTable {
  int codePage;
  // Code point of each byte 0x80-0xFF; U+FFFD for a byte the code page
  // leaves undefined.
  const std::uint16_t* high;
  // (code point << 8) | byte for every defined byte 0x80-0xFF, sorted, so
  // that encoding is a binary search.
  const std::uint32_t* reverse;
  std::size_t reverseCount;
};

// The table of a code page, or null when it is not a single-byte Windows
// code page of this set.
const SingleByteTable* findSingleByteTable(int codePage) noexcept;

}  // namespace rozazar::encoding
