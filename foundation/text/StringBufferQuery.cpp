// StringBuffer: reading, comparing and searching.
#include <cstring>

#include "foundation/text/DecimalText.h"
#include "foundation/text/StringBuffer.h"

namespace rozazar {

namespace {

unsigned char asciiLower(unsigned char c) noexcept {
  return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + ('a' - 'A')) : c;
}

// Three-way comparison of at most n bytes of two C strings with ASCII case
// folding, as the C library's case-insensitive comparison does in the C locale.
int compareNoCase(const char* a, const char* b, std::size_t n) noexcept {
  for (std::size_t i = 0; i < n; ++i) {
    const unsigned char ca = asciiLower(static_cast<unsigned char>(a[i]));
    const unsigned char cb = asciiLower(static_cast<unsigned char>(b[i]));
    if (ca != cb) return ca < cb ? -1 : 1;
    if (ca == 0) return 0;
  }
  return 0;
}

constexpr std::size_t kUnbounded = static_cast<std::size_t>(-1);

}  // namespace

unsigned char StringBuffer::foldLatin1(unsigned char c) noexcept {
  if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 0x20);
  if (c >= 0xE0 && c <= 0xFE) return static_cast<unsigned char>(c - 0x20);
  return c;
}

std::uint32_t StringBuffer::cLength() const noexcept {
  const void* zero = std::memchr(m_data, 0, m_length);
  return zero == nullptr ? m_length
                         : static_cast<std::uint32_t>(static_cast<const char*>(zero) - m_data);
}

std::int32_t StringBuffer::toInt() const noexcept {
  if (m_length == 0) return 0;
  return decimalToInt32(m_data);
}

bool StringBuffer::isSevenBit(std::size_t n) const noexcept {
  const std::size_t count = (n == 0 || n > m_length) ? m_length : n;
  for (std::size_t i = 0; i < count; ++i)
    if ((static_cast<unsigned char>(m_data[i]) & 0x80u) != 0) return false;
  return true;
}

bool StringBuffer::equalsText(const char* text) const noexcept {
  return std::strcmp(m_data, text != nullptr ? text : "") == 0;
}

bool StringBuffer::equalsBuffer(const StringBuffer& other) const noexcept {
  return m_length == other.m_length && std::memcmp(m_data, other.m_data, m_length) == 0;
}

bool StringBuffer::equalsTextNoCase(const char* text) const noexcept {
  return compareNoCase(m_data, text != nullptr ? text : "", kUnbounded) == 0;
}

int StringBuffer::compareText(const char* text) const noexcept {
  const int result = std::strcmp(m_data, text != nullptr ? text : "");
  return result < 0 ? -1 : (result > 0 ? 1 : 0);
}

int StringBuffer::compareTextNoCase(const char* text) const noexcept {
  return compareNoCase(m_data, text != nullptr ? text : "", kUnbounded);
}

bool StringBuffer::startsWith(const char* text) const noexcept {
  if (text == nullptr) return false;
  return std::strncmp(m_data, text, std::strlen(text)) == 0;
}

bool StringBuffer::startsWithNoCase(const char* text) const noexcept {
  if (text == nullptr) return false;
  return compareNoCase(m_data, text, std::strlen(text)) == 0;
}

bool StringBuffer::startsWithN(const char* text, std::size_t n) const noexcept {
  if (text == nullptr) return false;
  return std::strncmp(m_data, text, n) == 0;
}

bool StringBuffer::endsWith(const char* text) const noexcept {
  if (text == nullptr) return false;
  const std::size_t n = std::strlen(text);
  const std::uint32_t own = cLength();
  return n <= own && std::memcmp(m_data + own - n, text, n) == 0;
}

bool StringBuffer::endsWithNoCase(const char* text) const noexcept {
  if (text == nullptr) return false;
  const std::size_t n = std::strlen(text);
  const std::uint32_t own = cLength();
  return n <= own && compareNoCase(m_data + own - n, text, n) == 0;
}

bool StringBuffer::hasChar(char c) const noexcept {
  if (m_length == 0 || c == '\0') return false;
  return std::memchr(m_data, c, cLength()) != nullptr;
}

std::int64_t StringBuffer::findFirst(const char* pattern, std::size_t patternLength,
                                     bool noCase) const noexcept {
  const std::uint32_t own = cLength();
  if (patternLength > own) return -1;
  if (!noCase) {
    const char* hit = std::strstr(m_data, pattern);
    return hit == nullptr ? -1 : hit - m_data;
  }
  const auto* text = reinterpret_cast<const unsigned char*>(m_data);
  const auto* folded = reinterpret_cast<const unsigned char*>(pattern);
  const unsigned char first = foldLatin1(folded[0]);
  for (std::size_t start = 0; start + patternLength <= own; ++start) {
    if (foldLatin1(text[start]) != first) continue;
    std::size_t i = 1;
    while (i < patternLength && foldLatin1(text[start + i]) == foldLatin1(folded[i])) ++i;
    if (i == patternLength) return static_cast<std::int64_t>(start);
  }
  return -1;
}

std::int64_t StringBuffer::findLast(const char* pattern, std::size_t patternLength) const noexcept {
  const std::uint32_t own = cLength();
  if (patternLength > own) return -1;
  for (std::size_t start = own - patternLength + 1; start-- > 0;)
    if (std::memcmp(m_data + start, pattern, patternLength) == 0)
      return static_cast<std::int64_t>(start);
  return -1;
}

bool StringBuffer::hasText(const char* text) const noexcept {
  if (text == nullptr) return false;
  return findFirst(text, std::strlen(text), false) >= 0;
}

bool StringBuffer::hasTextNoCase(const char* text) const noexcept {
  if (text == nullptr) return false;
  const std::size_t n = std::strlen(text);
  if (n == 0) return true;
  return findFirst(text, n, true) >= 0;
}

std::size_t StringBuffer::countChar(char c) const noexcept {
  std::size_t count = 0;
  for (std::uint32_t i = 0; i < m_length; ++i)
    if (m_data[i] == c) ++count;
  return count;
}

}  // namespace rozazar
