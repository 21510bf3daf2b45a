// The flat lookup tables of a table-driven code page, unpacked from its
// compact data on first use and kept for the life of the process.
#pragma once

#include <cstddef>
#include <cstdint>

#include "foundation/encoding/CodePageData.h"

namespace rozazar::encoding {

struct CodePageTables {
  static constexpr std::uint16_t kLead = 0xFFFE;
  static constexpr std::uint16_t kUndefined = 0xFFFD;

  const CodePageData* data = nullptr;
  // Code point of every single byte, kLead or kUndefined.
  std::uint16_t singles[256] = {};
  // Upper-half bytes folded onto ASCII before decoding (0: not folded).
  std::uint8_t fold[128] = {};
  // 65536 entries each, or null for a page without that plane.
  std::uint16_t* pairs = nullptr;
  std::uint16_t* triples = nullptr;
  // Code point -> code: a byte (< 0x100), a pair (lead << 8 | trail, with
  // lead >= 0x80), or a three-byte sequence 0x8F x y as (x & 0x7F) << 8 |
  // (y & 0x7F). 0 means unmapped (U+0000 is always the byte 0).
  std::uint16_t* reverse = nullptr;
  // Whether any byte is a lead byte (false for the single-byte pages).
  bool hasLeads = false;
  // The page's own question mark, written for unmappable characters.
  std::uint16_t replacement = '?';
};

// The tables of a table-driven code page, or null when the page has no data
// or the tables cannot be allocated. Safe to call from several threads.
const CodePageTables* codePageTables(int codePage) noexcept;

// Whether the code page has table data (without unpacking it).
bool hasCodePageData(int codePage) noexcept;

}  // namespace rozazar::encoding
