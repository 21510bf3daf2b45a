// Comparing, searching and editing operations of XString.
#include <cstring>

#include "foundation/object/LogBase.h"
#include "foundation/text/EncodingConvert.h"
#include "foundation/text/LowerCase.h"
#include "foundation/text/Utf8Codec.h"
#include "foundation/text/XString.h"

namespace rozazar {

namespace {

const char* skipUtf8Bom(const char* text) noexcept {
  if (text != nullptr && static_cast<unsigned char>(text[0]) == 0xEF &&
      static_cast<unsigned char>(text[1]) == 0xBB && static_cast<unsigned char>(text[2]) == 0xBF)
    return text + 3;
  return text;
}

unsigned char asciiLower(unsigned char c) noexcept {
  return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + 0x20) : c;
}

bool isSevenBit(const char* text) noexcept {
  for (; *text != '\0'; ++text) {
    if (static_cast<unsigned char>(*text) >= 0x80) return false;
  }
  return true;
}

// Case-insensitive comparison of two zero-terminated UTF-8 texts. A zero
// result of the decoder (a sequence cut off by the terminator) ends a text.
bool utf8EqualNoCase(const unsigned char* a, const unsigned char* b) noexcept {
  std::size_t i = 0;
  std::size_t j = 0;
  for (;;) {
    const unsigned char ca = a[i];
    const unsigned char cb = b[j];
    if (ca == 0 || cb == 0) return ca == cb;
    if (ca < 0x80 || cb < 0x80) {
      if (ca >= 0x80 || cb >= 0x80) return false;
      if (asciiLower(ca) != asciiLower(cb)) return false;
      ++i;
      ++j;
      continue;
    }
    const std::uint32_t pa = utf8DecodeCodePoint(a, i);
    const std::uint32_t pb = utf8DecodeCodePoint(b, j);
    if (pa == 0 || pb == 0) return pa == pb;
    if (pa != pb && lowerCaseCodePoint(pa) != lowerCaseCodePoint(pb)) return false;
  }
}

bool asciiEqualNoCase(const char* a, const char* b, std::size_t n) noexcept {
  for (std::size_t i = 0; i < n; ++i) {
    if (asciiLower(static_cast<unsigned char>(a[i])) !=
        asciiLower(static_cast<unsigned char>(b[i])))
      return false;
  }
  return true;
}

// Compares n bytes of own at start with text (n bytes), ignoring case.
bool partEqualsNoCase(const char* own, const char* text, std::size_t n) noexcept {
  if (isSevenBit(text)) return asciiEqualNoCase(own, text, n);
  StringBuffer part;
  if (!part.appendBytes(own, n)) return false;
  return utf8EqualNoCase(reinterpret_cast<const unsigned char*>(part.text()),
                         reinterpret_cast<const unsigned char*>(text));
}

}  // namespace

bool XString::equalsUtf8(const char* text) noexcept {
  text = skipUtf8Bom(text);
  if (text == nullptr || *text == '\0') return isEmpty();
  if (!ensureUtf8()) return false;
  return m_utf8.equalsText(text);
}

bool XString::equalsUtf8NoCase(const char* text) noexcept {
  text = skipUtf8Bom(text);
  if (text == nullptr || *text == '\0') return isEmpty();
  if (!ensureUtf8()) return false;
  return utf8EqualNoCase(reinterpret_cast<const unsigned char*>(m_utf8.text()),
                         reinterpret_cast<const unsigned char*>(text));
}

bool XString::startsWithUtf8(const char* text, bool ignoreCase) noexcept {
  text = skipUtf8Bom(text);
  if (text == nullptr || !ensureUtf8()) return false;
  if (!ignoreCase) return m_utf8.startsWith(text);
  const std::size_t n = std::strlen(text);
  if (n > m_utf8.length()) return false;
  return partEqualsNoCase(m_utf8.text(), text, n);
}

bool XString::endsWithUtf8(const char* text, bool ignoreCase) noexcept {
  text = skipUtf8Bom(text);
  if (text == nullptr || !ensureUtf8()) return false;
  if (!ignoreCase) return m_utf8.endsWith(text);
  const std::size_t n = std::strlen(text);
  if (n > m_utf8.length()) return false;
  return partEqualsNoCase(m_utf8.text() + (m_utf8.length() - n), text, n);
}

bool XString::containsUtf8(const char* text) noexcept {
  text = skipUtf8Bom(text);
  if (text == nullptr || !ensureUtf8()) return false;
  return m_utf8.hasText(text);
}

bool XString::containsNoCase(const char* text) noexcept {
  text = skipUtf8Bom(text);
  if (text == nullptr || !live()) return false;
  XString pattern;
  if (!pattern.setFromUtf8(text)) return false;
  const char* ansiPattern = pattern.getAnsi();
  if (ansiPattern == nullptr || !ensureAnsi()) return false;
  return m_ansi.hasTextNoCase(ansiPattern);
}

int XString::indexOfUtf8(const char* text) noexcept {
  text = skipUtf8Bom(text);
  if (text == nullptr || !ensureUtf8()) return -1;
  const char* found = std::strstr(m_utf8.text(), text);
  if (found == nullptr) return -1;
  // UTF-16 units before the match: one per character, two for a four-byte
  // sequence.
  int units = 0;
  for (const char* p = m_utf8.text(); p < found; ++p) {
    const auto b = static_cast<unsigned char>(*p);
    if ((b & 0xC0u) == 0x80u) continue;
    units += (b >= 0xF0 && b <= 0xF4) ? 2 : 1;
  }
  return units;
}

std::uint16_t XString::ansiCharToUnit(char c) noexcept {
  const auto byte = static_cast<unsigned char>(c);
  if (byte < 0x80) return byte;
  DataBuffer unit;
  EncodingConvert converter;
  LogNull log;
  if (!converter.convertText(processAnsiCodePage(), 1200, &byte, 1, unit, log) || unit.size() < 2)
    return 0xFFFD;
  return static_cast<std::uint16_t>(unit.data()[0] | (unit.data()[1] << 8));
}

bool XString::removeChar(char c) noexcept {
  if (!live()) return false;
  if (m_ansiCurrent != 0) {
    m_ansi.removeAllChar(c);
    onlyAnsi();
    return true;
  }
  const std::uint16_t unit = ansiCharToUnit(c);
  if (!ensureWide(true)) return false;
  m_wide.removeUInt16(unit);
  onlyWide(true);
  return true;
}

bool XString::replaceChar(char a, char b) noexcept {
  if (!live()) return false;
  if (m_ansiCurrent != 0) {
    m_ansi.replaceAllChar(a, b);
    onlyAnsi();
    return true;
  }
  const std::uint16_t from = ansiCharToUnit(a);
  const std::uint16_t to = ansiCharToUnit(b);
  if (!ensureWide(true)) return false;
  m_wide.replaceUInt16(from, to);
  onlyWide(true);
  return true;
}

bool XString::replaceFirstUtf8(const char* find, const char* replacement,
                               bool ignoreCase) noexcept {
  if (!ensureUtf8()) return false;
  if (!m_utf8.replaceFirstText(find, replacement, ignoreCase)) return false;
  onlyUtf8();
  return true;
}

bool XString::replaceLastUtf8(const char* find, const char* replacement) noexcept {
  if (!ensureUtf8()) return false;
  if (!m_utf8.replaceLastText(find, replacement)) return false;
  onlyUtf8();
  return true;
}

bool XString::toLowerCase() noexcept {
  if (!ensureWide(true)) return false;
  unsigned char* units = m_wide.mutableData();
  const std::size_t bytes = wideTextBytes();
  if (units == nullptr) return bytes == 0;
  for (std::size_t i = 0; i + 1 < bytes; i += 2) {
    std::uint16_t unit;
    std::memcpy(&unit, units + i, 2);
    unit = lowerCaseUnit(unit);
    std::memcpy(units + i, &unit, 2);
  }
  onlyWide(true);
  return true;
}

}  // namespace rozazar
