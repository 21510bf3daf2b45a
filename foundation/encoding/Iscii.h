// ISCII (IS 13194:1991), the pages 57002-57011: ASCII below 0x80 and the
// letters of nine Indian scripts in one shared layout above it. Each page
// opens in its own script; ATR followed by a script code switches to
// another one until the next ATR or the end of the line.
#pragma once

#include <cstddef>
#include <cstdint>

#include "foundation/encoding/ByteSink.h"

namespace rozazar::encoding {

constexpr int kFirstIsciiPage = 57002;
constexpr int kLastIsciiPage = 57011;

inline bool isIsciiPage(int codePage) noexcept {
  return codePage >= kFirstIsciiPage && codePage <= kLastIsciiPage;
}

// Decodes a whole input; keeps the script between calls of decode.
class IsciiDecoder {
 public:
  explicit IsciiDecoder(int codePage) noexcept;

  std::size_t decode(const unsigned char* data, std::size_t n, std::size_t& pos, std::uint32_t* out,
                     std::size_t capacity, bool& lossy) noexcept;

 private:
  int m_home;
  int m_script;
  // The second code point of a pair that did not fit into the last block.
  std::uint32_t m_pending = 0;
};

class IsciiEncoder {
 public:
  explicit IsciiEncoder(int codePage) noexcept;

  bool encode(const std::uint32_t* cps, std::size_t count, ByteSink& sink, bool& lossy) noexcept;
  // Nothing is held back between blocks; reports the state of the sink.
  bool finish(const ByteSink& sink) const noexcept { return !sink.failed(); }

 private:
  bool encodeOne(std::uint32_t cp, ByteSink& sink, bool& lossy) noexcept;

  int m_home;
  int m_script;
  // The last byte written when a byte that follows could join it into
  // another character (a halant, a danda, a letter that takes the nukta);
  // 0 otherwise.
  unsigned char m_last = 0;
};

}  // namespace rozazar::encoding
