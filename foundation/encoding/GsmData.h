// The mapping data of the SMS pages (GSM 7-bit, one septet a byte), as the
// generator (scripts/generate-codepage-tables.py) writes it: the default
// alphabet and its extension table, and per page the positions where its
// national tables differ from them.
#pragma once

#include <cstddef>
#include <cstdint>

namespace rozazar::encoding {

struct GsmPageData {
  int codePage;
  // (code << 16) | code point: a septet of the locking table (code < 0x80)
  // or of the single shift table (0x1B00 | septet) that differs from the
  // default; the code point 0xFFFD marks a position left undefined.
  const std::uint32_t* changes;
  std::size_t changeCount;
  // (code point << 16) | septet: characters outside the page written as
  // another of its characters, by code point.
  const std::uint32_t* fallbacks;
  std::size_t fallbackCount;
};

// 128 code points each: the default alphabet, with 0xFFFE at the escape
// 0x1B, and its extension table behind the escape, 0xFFFD where undefined.
const std::uint16_t* gsmDefaultAlphabet() noexcept;
const std::uint16_t* gsmDefaultExtension() noexcept;

const GsmPageData* findGsmPage(int codePage) noexcept;

}  // namespace rozazar::encoding
