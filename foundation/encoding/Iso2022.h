// The 7-bit stateful encodings built on double-byte tables: ISO-2022-JP
// (50220, 50221, 50222) over the 932 table, ISO-2022-KR (50225) over the
// 949 table, and ISO-2022-CN in its simplified form (50227) and HZ (52936)
// over the GB2312 table.
#pragma once

#include <cstddef>
#include <cstdint>

#include "foundation/encoding/ByteSink.h"
#include "foundation/encoding/CodePageTables.h"

namespace rozazar::encoding {

enum class SevenBitScheme { Iso2022Jp, Iso2022Kr, Iso2022Cn, Hz };

// Decodes a whole input; keeps the shift state between calls of decode.
class SevenBitDecoder {
 public:
  // tables: the 932, 949 or GB2312 tables (used only while decoding); jisX0212: the EUC-JP tables
  // for ESC $ ( D text (may be null).
  SevenBitDecoder(SevenBitScheme scheme, const CodePageTables* tables,
                  const CodePageTables* jisX0212) noexcept
      : m_scheme(scheme), m_tables(tables), m_jisX0212(jisX0212) {}

  std::size_t decode(const unsigned char* data, std::size_t n, std::size_t& pos, std::uint32_t* out,
                     std::size_t capacity, bool& lossy) noexcept;

 private:
  enum class Mode { Ascii, Kana, Double, JisX0212 };
  // Consumes an escape or shift at data[pos]; false when it is none.
  bool switchMode(const unsigned char* data, std::size_t n, std::size_t& pos) noexcept;
  std::uint32_t doubleByte(unsigned char first, unsigned char second) const noexcept;

  SevenBitScheme m_scheme;
  const CodePageTables* m_tables;
  const CodePageTables* m_jisX0212;
  Mode m_mode = Mode::Ascii;
  bool m_shiftedOut = false;
};

class SevenBitEncoder {
 public:
  // codePage picks the ISO-2022-JP flavour for half-width katakana: 50220
  // writes them as full-width katakana, 50221 in ESC ( I, 50222 between SO
  // and SI.
  SevenBitEncoder(SevenBitScheme scheme, int codePage, const CodePageTables* tables) noexcept
      : m_scheme(scheme), m_codePage(codePage), m_tables(tables) {}

  bool encode(const std::uint32_t* cps, std::size_t count, ByteSink& sink, bool& lossy) noexcept;
  // Returns to ASCII at the end of the text.
  bool finish(ByteSink& sink) noexcept;

 private:
  enum class Mode { Ascii, Kana, Double };
  bool encodeOne(std::uint32_t cp, ByteSink& sink, bool& lossy) noexcept;
  bool enterAscii(ByteSink& sink) noexcept;
  bool enterDouble(ByteSink& sink) noexcept;
  bool putDouble(std::uint16_t code, ByteSink& sink) noexcept;
  // A JIS X 0208 code (row << 8 | cell, 0x21-0x7E each) for cp; 0 if none.
  std::uint16_t jisCode(std::uint32_t cp) const noexcept;

  SevenBitScheme m_scheme;
  int m_codePage;
  const CodePageTables* m_tables;
  Mode m_mode = Mode::Ascii;
  bool m_shiftedOut = false;
  bool m_headerWritten = false;
};

}  // namespace rozazar::encoding
