// The SMS pages 55000-55004: GSM 7-bit text, one septet a byte. The escape
// 0x1B reaches the page's single shift table for the next septet.
#pragma once

#include <cstddef>
#include <cstdint>

#include "foundation/encoding/ByteSink.h"

namespace rozazar::encoding {

struct GsmTables;

// The tables of an SMS page, built on first use and kept for the life of
// the process; null for another page.
const GsmTables* gsmTables(int codePage) noexcept;

// Decoding needs no state across calls: an escape looks ahead in the data.
class GsmDecoder {
 public:
  explicit GsmDecoder(const GsmTables& tables) noexcept : m_tables(tables) {}

  // Decodes from data[pos] on, up to capacity code points, advancing pos.
  // Bytes above 0x7F become U+FFFD. An escape before a septet its table
  // leaves undefined gives that septet's own character; an escape before
  // another escape, or at the end, gives a space. All of these set lossy.
  std::size_t decode(const unsigned char* data, std::size_t n, std::size_t& pos, std::uint32_t* out,
                     std::size_t capacity, bool& lossy) const noexcept;

 private:
  const GsmTables& m_tables;
};

class GsmEncoder {
 public:
  explicit GsmEncoder(const GsmTables& tables) noexcept : m_tables(tables) {}

  // Characters of the locking table take one byte, those of the single
  // shift table the escape and one; a page's look-alike letters stand for
  // characters it lacks; anything else becomes "?". Both of the last set
  // lossy.
  bool encode(const std::uint32_t* cps, std::size_t count, ByteSink& sink,
              bool& lossy) const noexcept;

 private:
  const GsmTables& m_tables;
};

}  // namespace rozazar::encoding
