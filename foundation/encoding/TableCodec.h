// Decoding and encoding through the tables of a table-driven code page:
// single-byte pages, double-byte pages, EUC-JP's three-byte plane and
// GB18030's four-byte sequences.
#pragma once

#include <cstddef>
#include <cstdint>

#include "foundation/encoding/ByteSink.h"
#include "foundation/encoding/CodePageTables.h"

namespace rozazar::encoding {

class TableDecoder {
 public:
  TableDecoder(const CodePageTables& tables, bool gb18030) noexcept
      : m_tables(tables), m_gb18030(gb18030) {}

  // Decodes from data[pos] on, up to capacity code points, advancing pos.
  // Undefined sequences become U+FFFD and set lossy.
  std::size_t decode(const unsigned char* data, std::size_t n, std::size_t& pos, std::uint32_t* out,
                     std::size_t capacity, bool& lossy) const noexcept;

 private:
  std::uint32_t decodeLead(const unsigned char* data, std::size_t n,
                           std::size_t& pos) const noexcept;
  std::uint32_t decodeFourByte(const unsigned char* p) const noexcept;

  const CodePageTables& m_tables;
  bool m_gb18030;
};

class TableEncoder {
 public:
  TableEncoder(const CodePageTables& tables, bool gb18030) noexcept
      : m_tables(tables), m_gb18030(gb18030) {}

  bool encode(const std::uint32_t* cps, std::size_t count, ByteSink& sink,
              bool& lossy) const noexcept;

  // The code of one code point as CodePageTables::reverse holds it; 0 when
  // the page cannot hold it (U+0000 is the byte 0).
  std::uint16_t codeOf(std::uint32_t cp) const noexcept {
    return cp < 0x10000u ? m_tables.reverse[cp] : 0;
  }

 private:
  // Writes the bytes of cp at out (room for 4); returns how many.
  std::size_t encodeOne(std::uint32_t cp, unsigned char* out, bool& lossy) const noexcept;
  bool encodeFourByte(std::uint32_t cp, unsigned char* out) const noexcept;

  const CodePageTables& m_tables;
  bool m_gb18030;
};

// Writes a table code (CodePageTables::reverse) as its 1 to 3 bytes.
std::size_t writeTableCode(std::uint16_t code, unsigned char* out) noexcept;

}  // namespace rozazar::encoding
