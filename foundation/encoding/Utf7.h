// UTF-7 (RFC 2152) between bytes and UTF-16 units. Letters, digits, the
// characters '(),-./:? and space, tab, carriage return and line feed are
// written directly; everything else goes into base64 runs of UTF-16BE that
// open with "+" and always close with "-"; "+" itself is written "+-".
#pragma once

#include <cstddef>
#include <cstdint>

#include "foundation/encoding/ByteSink.h"

namespace rozazar::encoding {

class Utf7Encoder {
 public:
  bool encodeUnit(std::uint16_t unit, ByteSink& sink) noexcept;
  // Closes an open base64 run.
  bool finish(ByteSink& sink) noexcept;

 private:
  bool closeRun(ByteSink& sink) noexcept;

  bool m_inBase64 = false;
  std::uint32_t m_bits = 0;
  int m_bitCount = 0;
};

// Reads UTF-7 bytes and hands out UTF-16 units one at a time. Ill-formed
// input (a byte above 0x7F, a base64 run that ends with leftover bits, a
// "+" at the very end) never stops the walk: bytes above 0x7F become U+FFFD,
// and every irregularity sets the lossy flag.
class Utf7Decoder {
 public:
  Utf7Decoder(const unsigned char* data, std::size_t n) noexcept : m_data(data), m_size(n) {}

  // The next unit, or false at the end of the input.
  bool nextUnit(std::uint16_t& unit) noexcept;
  bool lossy() const noexcept { return m_lossy; }

 private:
  void endRun() noexcept;

  const unsigned char* m_data;
  std::size_t m_size;
  std::size_t m_pos = 0;
  bool m_inBase64 = false;
  std::uint32_t m_bits = 0;
  int m_bitCount = 0;
  bool m_lossy = false;
};

}  // namespace rozazar::encoding
