#include "foundation/encoding/Iso2022.h"

#include <cstring>

namespace rozazar::encoding {

namespace {

constexpr std::uint32_t kReplacement = 0xFFFDu;
constexpr unsigned char kEscape = 0x1B;
constexpr unsigned char kShiftOut = 0x0E;
constexpr unsigned char kShiftIn = 0x0F;

// Full-width katakana for the half-width ones U+FF61-U+FF9F, which
// ISO-2022-JP's plain form cannot carry.
const std::uint16_t kFullWidthKatakana[63] = {
    0x3002, 0x300C, 0x300D, 0x3001, 0x30FB, 0x30F2, 0x30A1, 0x30A3, 0x30A5, 0x30A7, 0x30A9,
    0x30E3, 0x30E5, 0x30E7, 0x30C3, 0x30FC, 0x30A2, 0x30A4, 0x30A6, 0x30A8, 0x30AA, 0x30AB,
    0x30AD, 0x30AF, 0x30B1, 0x30B3, 0x30B5, 0x30B7, 0x30B9, 0x30BB, 0x30BD, 0x30BF, 0x30C1,
    0x30C4, 0x30C6, 0x30C8, 0x30CA, 0x30CB, 0x30CC, 0x30CD, 0x30CE, 0x30CF, 0x30D2, 0x30D5,
    0x30D8, 0x30DB, 0x30DE, 0x30DF, 0x30E0, 0x30E1, 0x30E2, 0x30E4, 0x30E6, 0x30E8, 0x30E9,
    0x30EA, 0x30EB, 0x30EC, 0x30ED, 0x30EF, 0x30F3, 0x309B, 0x309C};

bool isSevenBitGraphic(unsigned char b) noexcept { return b >= 0x21 && b <= 0x7E; }

bool startsWith(const unsigned char* data, std::size_t n, std::size_t pos, const char* text) {
  const std::size_t length = std::strlen(text);
  return n - pos >= length && std::memcmp(data + pos, text, length) == 0;
}

// Shift_JIS pair <-> JIS X 0208 row and cell (0x21-0x7E each).
std::uint16_t shiftJisOfJis(unsigned char row, unsigned char cell) noexcept {
  const unsigned lead = (row + 1u) / 2u + (row < 0x5F ? 0x70u : 0xB0u);
  const unsigned trail = cell + ((row & 1u) ? (cell < 0x60 ? 0x1Fu : 0x20u) : 0x7Eu);
  return static_cast<std::uint16_t>((lead << 8) | trail);
}

std::uint16_t jisOfShiftJis(std::uint16_t code) noexcept {
  const unsigned lead = code >> 8;
  const unsigned trail = code & 0xFFu;
  if (lead < 0x81 || (lead > 0x9F && lead < 0xE0) || lead > 0xEF) return 0;
  if (trail < 0x40 || trail == 0x7F || trail > 0xFC) return 0;
  const unsigned pair = lead - (lead >= 0xE0 ? 0xB0u : 0x70u);
  const unsigned row = trail < 0x9F ? 2 * pair - 1 : 2 * pair;
  const unsigned cell = trail < 0x9F ? (trail < 0x80 ? trail - 0x1F : trail - 0x20) : trail - 0x7E;
  if (row < 0x21 || row > 0x7E) return 0;
  return static_cast<std::uint16_t>((row << 8) | cell);
}

}  // namespace

bool SevenBitDecoder::switchMode(const unsigned char* data, std::size_t n,
                                 std::size_t& pos) noexcept {
  const unsigned char b = data[pos];
  if (m_scheme == SevenBitScheme::Hz) {
    if (b != '~' || pos + 1 >= n) return false;
    const unsigned char next = data[pos + 1];
    if (next == '{') {
      m_mode = Mode::Double;
    } else if (next == '}') {
      m_mode = Mode::Ascii;
    } else if (next != '\n') {
      return false;  // "~~" and a lone "~" are text
    }
    pos += 2;
    return true;
  }
  if (b == kShiftOut || b == kShiftIn) {
    m_shiftedOut = b == kShiftOut;
    ++pos;
    return true;
  }
  if (b != kEscape) return false;
  struct Designation {
    const char* sequence;
    Mode mode;
  };
  const Designation kJapanese[] = {{"\x1B(B", Mode::Ascii},  {"\x1B(J", Mode::Ascii},
                                   {"\x1B(I", Mode::Kana},   {"\x1B$@", Mode::Double},
                                   {"\x1B$B", Mode::Double}, {"\x1B$(D", Mode::JisX0212},
                                   {"\x1B&@", Mode::Ascii}};
  if (m_scheme == SevenBitScheme::Iso2022Kr || m_scheme == SevenBitScheme::Iso2022Cn) {
    // The one designation these forms use; SO and SI do the switching.
    const char* designation = m_scheme == SevenBitScheme::Iso2022Kr ? "\x1B$)C" : "\x1B$)A";
    if (!startsWith(data, n, pos, designation)) return false;
    pos += 4;
    return true;
  }
  for (const Designation& designation : kJapanese) {
    if (startsWith(data, n, pos, designation.sequence)) {
      m_mode = designation.sequence[1] == '&' ? m_mode : designation.mode;
      pos += std::strlen(designation.sequence);
      return true;
    }
  }
  return false;
}

std::uint32_t SevenBitDecoder::doubleByte(unsigned char first,
                                          unsigned char second) const noexcept {
  std::uint16_t cp = CodePageTables::kUndefined;
  if (m_mode == Mode::JisX0212) {
    if (m_jisX0212 != nullptr && m_jisX0212->triples != nullptr)
      cp = m_jisX0212->triples[((first | 0x80u) << 8) | (second | 0x80u)];
  } else if (m_tables->pairs != nullptr) {
    const unsigned key = m_scheme == SevenBitScheme::Iso2022Jp
                             ? shiftJisOfJis(first, second)
                             : ((first | 0x80u) << 8) | (second | 0x80u);
    cp = m_tables->pairs[key];
  }
  return cp;
}

std::size_t SevenBitDecoder::decode(const unsigned char* data, std::size_t n, std::size_t& pos,
                                    std::uint32_t* out, std::size_t capacity,
                                    bool& lossy) noexcept {
  std::size_t count = 0;
  while (count < capacity && pos < n) {
    if (switchMode(data, n, pos)) continue;
    const unsigned char b = data[pos];
    std::uint32_t cp = b;
    const bool kana =
        m_scheme == SevenBitScheme::Iso2022Jp && (m_shiftedOut || m_mode == Mode::Kana);
    const bool shifting =
        m_scheme == SevenBitScheme::Iso2022Kr || m_scheme == SevenBitScheme::Iso2022Cn;
    // ISO-2022-CN returns to ASCII at every line end.
    if (b == '\n' && m_scheme == SevenBitScheme::Iso2022Cn) m_shiftedOut = false;
    const bool twoBytes =
        shifting ? m_shiftedOut : m_mode == Mode::Double || m_mode == Mode::JisX0212;
    if (m_scheme == SevenBitScheme::Hz && b == '~' && pos + 1 < n && data[pos + 1] == '~') {
      ++pos;  // "~~" is one tilde
    } else if (b >= 0x80) {
      // Eight-bit half-width katakana are accepted in Japanese text.
      cp = (m_scheme == SevenBitScheme::Iso2022Jp && b >= 0xA1 && b <= 0xDF) ? m_tables->singles[b]
                                                                             : kReplacement;
    } else if (!isSevenBitGraphic(b)) {
      // Controls and space pass in every mode.
    } else if (kana) {
      cp = b <= 0x5F ? m_tables->singles[b + 0x80] : kReplacement;
    } else if (twoBytes) {
      if (pos + 1 < n && isSevenBitGraphic(data[pos + 1])) {
        cp = doubleByte(b, data[pos + 1]);
        ++pos;
      } else {
        cp = kReplacement;
      }
    }
    ++pos;
    if (cp == kReplacement || cp == CodePageTables::kLead) {
      cp = kReplacement;
      lossy = true;
    }
    out[count++] = cp;
  }
  return count;
}

bool SevenBitEncoder::enterAscii(ByteSink& sink) noexcept {
  switch (m_scheme) {
    case SevenBitScheme::Iso2022Jp:
      if (m_shiftedOut) {
        if (!sink.putByte(kShiftIn)) return false;
        m_shiftedOut = false;
      }
      if (m_mode != Mode::Ascii && !sink.put("\x1B(B", 3)) return false;
      break;
    case SevenBitScheme::Iso2022Kr:
    case SevenBitScheme::Iso2022Cn:
      if (m_shiftedOut && !sink.putByte(kShiftIn)) return false;
      m_shiftedOut = false;
      break;
    case SevenBitScheme::Hz:
      if (m_mode != Mode::Ascii && !sink.put("~}", 2)) return false;
      break;
  }
  m_mode = Mode::Ascii;
  return true;
}

bool SevenBitEncoder::enterDouble(ByteSink& sink) noexcept {
  switch (m_scheme) {
    case SevenBitScheme::Iso2022Jp:
      if (m_shiftedOut) {
        if (!sink.putByte(kShiftIn)) return false;
        m_shiftedOut = false;
      }
      if (m_mode != Mode::Double && !sink.put("\x1B$B", 3)) return false;
      break;
    case SevenBitScheme::Iso2022Cn:
      // GB 2312 is designated again on every line that uses it.
      if (!m_headerWritten && !sink.put("\x1B$)A", 4)) return false;
      m_headerWritten = true;
      [[fallthrough]];
    case SevenBitScheme::Iso2022Kr:
      if (!m_shiftedOut && !sink.putByte(kShiftOut)) return false;
      m_shiftedOut = true;
      break;
    case SevenBitScheme::Hz:
      if (m_mode != Mode::Double && !sink.put("~{", 2)) return false;
      break;
  }
  m_mode = Mode::Double;
  return true;
}

bool SevenBitEncoder::putDouble(std::uint16_t code, ByteSink& sink) noexcept {
  if (!enterDouble(sink)) return false;
  const unsigned char bytes[2] = {static_cast<unsigned char>((code >> 8) & 0x7Fu),
                                  static_cast<unsigned char>(code & 0x7Fu)};
  return sink.put(bytes, 2);
}

std::uint16_t SevenBitEncoder::jisCode(std::uint32_t cp) const noexcept {
  if (cp >= 0x10000u) return 0;
  const std::uint16_t code = m_tables->reverse[cp];
  if (code < 0x8000u) return 0;
  if (const std::uint16_t jis = jisOfShiftJis(code)) return jis;
  // The IBM extension rows (0xFA-0xFC) lie beyond JIS X 0208; their
  // characters also sit in the NEC-selected rows 0xED-0xEE, which do not.
  if ((code >> 8) < 0xFA || m_tables->pairs == nullptr) return 0;
  for (unsigned key = 0xED40; key <= 0xEEFC; ++key) {
    if (m_tables->pairs[key] == cp) return jisOfShiftJis(static_cast<std::uint16_t>(key));
  }
  return 0;
}

bool SevenBitEncoder::encodeOne(std::uint32_t cp, ByteSink& sink, bool& lossy) noexcept {
  if (cp < 0x80u) {
    if (!enterAscii(sink)) return false;
    if (m_scheme == SevenBitScheme::Hz && cp == '~') return sink.put("~~", 2);
    if (m_scheme == SevenBitScheme::Iso2022Cn && cp == '\n') m_headerWritten = false;
    return sink.putByte(static_cast<unsigned char>(cp));
  }
  const std::uint16_t code = cp < 0x10000u ? m_tables->reverse[cp] : 0;
  if (m_scheme == SevenBitScheme::Iso2022Jp) {
    if (code >= 0xA1 && code <= 0xDF) {
      if (m_codePage == 50221) {
        if (m_shiftedOut || m_mode != Mode::Kana) {
          if (m_shiftedOut && !sink.putByte(kShiftIn)) return false;
          m_shiftedOut = false;
          if (!sink.put("\x1B(I", 3)) return false;
          m_mode = Mode::Kana;
        }
        return sink.putByte(static_cast<unsigned char>(code - 0x80));
      }
      if (m_codePage == 50222) {
        if (!m_shiftedOut && !sink.putByte(kShiftOut)) return false;
        m_shiftedOut = true;
        return sink.putByte(static_cast<unsigned char>(code - 0x80));
      }
      cp = kFullWidthKatakana[code - 0xA1];
    }
    if (const std::uint16_t jis = jisCode(cp)) return putDouble(jis, sink);
  } else if (code >= 0xA1A1u && (code & 0xFFu) >= 0xA1u && (code & 0xFFu) != 0xFFu &&
             (code >> 8) != 0xFFu) {
    return putDouble(code, sink);
  }
  lossy = true;
  return enterAscii(sink) && sink.putByte('?');
}

bool SevenBitEncoder::encode(const std::uint32_t* cps, std::size_t count, ByteSink& sink,
                             bool& lossy) noexcept {
  if (m_scheme == SevenBitScheme::Iso2022Kr && !m_headerWritten && count > 0) {
    // The designation of KS C 5601 opens the text, once.
    if (!sink.put("\x1B$)C", 4)) return false;
    m_headerWritten = true;
  }
  for (std::size_t i = 0; i < count; ++i) {
    if (!encodeOne(cps[i], sink, lossy)) return false;
  }
  return true;
}

bool SevenBitEncoder::finish(ByteSink& sink) noexcept { return enterAscii(sink); }

}  // namespace rozazar::encoding
