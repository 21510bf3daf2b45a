// The mapping data of the table-driven code pages, as the generator
// (scripts/generate-codepage-tables.py) writes it: per plane a stream of
// 16-bit words cut into segments (see CodePageTables.cpp for the format),
// either on its own or as the differences from another page.
#pragma once

#include <cstddef>
#include <cstdint>

namespace rozazar::encoding {

struct CodePageData {
  int codePage;
  // Nonzero: the streams below are laid over this page's, and 0xFFFD in
  // them marks a key this page leaves undefined.
  int basePage;
  // Single bytes 0x00-0xFF; the value 0xFFFE marks a lead byte.
  const std::uint16_t* singles;
  std::size_t singlesLength;
  // Byte pairs, keyed lead << 8 | trail.
  const std::uint16_t* pairs;
  std::size_t pairsLength;
  // The three-byte plane behind 0x8F (EUC-JP), keyed second << 8 | third.
  const std::uint16_t* triples;
  std::size_t triplesLength;
  // (code point << 16) | code for characters with several byte sequences
  // whose preferred sequence is not the first in key order.
  const std::uint32_t* preferred;
  std::size_t preferredCount;
  // (byte << 8) | ASCII byte: upper-half bytes folded onto ASCII before
  // decoding (right-to-left duplicates of ASCII punctuation).
  const std::uint16_t* fold;
  std::size_t foldCount;
  // GB18030's four-byte BMP ranges: first code point, count, first linear
  // index, three words per range.
  const std::uint16_t* fourByte;
  std::size_t fourByteCount;
};

const CodePageData* findSingleBytePage(int codePage) noexcept;
const CodePageData* findMultiBytePage(int codePage) noexcept;

}  // namespace rozazar::encoding
