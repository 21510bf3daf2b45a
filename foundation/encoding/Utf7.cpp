#include "foundation/encoding/Utf7.h"

namespace rozazar::encoding {

namespace {

const char kBase64[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

bool isDirect(std::uint16_t unit) noexcept {
  if ((unit >= 'A' && unit <= 'Z') || (unit >= 'a' && unit <= 'z') || (unit >= '0' && unit <= '9'))
    return true;
  switch (unit) {
    case '\'':
    case '(':
    case ')':
    case ',':
    case '-':
    case '.':
    case '/':
    case ':':
    case '?':
    case ' ':
    case '\t':
    case '\r':
    case '\n':
      return true;
    default:
      return false;
  }
}

int base64Value(unsigned char c) noexcept {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  return -1;
}

}  // namespace

bool Utf7Encoder::closeRun(ByteSink& sink) noexcept {
  if (!m_inBase64) return true;
  if (m_bitCount > 0) {
    const auto index = (m_bits << (6 - m_bitCount)) & 0x3Fu;
    if (!sink.putByte(static_cast<unsigned char>(kBase64[index]))) return false;
  }
  m_inBase64 = false;
  m_bits = 0;
  m_bitCount = 0;
  return sink.putByte('-');
}

bool Utf7Encoder::encodeUnit(std::uint16_t unit, ByteSink& sink) noexcept {
  if (isDirect(unit)) {
    if (!closeRun(sink)) return false;
    return sink.putByte(static_cast<unsigned char>(unit));
  }
  if (unit == '+' && !m_inBase64) return sink.put("+-", 2);
  if (!m_inBase64) {
    if (!sink.putByte('+')) return false;
    m_inBase64 = true;
  }
  m_bits = (m_bits << 16) | unit;
  m_bitCount += 16;
  while (m_bitCount >= 6) {
    m_bitCount -= 6;
    const auto index = (m_bits >> m_bitCount) & 0x3Fu;
    if (!sink.putByte(static_cast<unsigned char>(kBase64[index]))) return false;
  }
  m_bits &= (1u << m_bitCount) - 1u;
  return true;
}

bool Utf7Encoder::finish(ByteSink& sink) noexcept { return closeRun(sink); }

void Utf7Decoder::endRun() noexcept {
  // Whatever is left must be fewer than six zero bits.
  if (m_bitCount >= 6 || (m_bits & ((1u << m_bitCount) - 1u)) != 0) m_lossy = true;
  m_inBase64 = false;
  m_bits = 0;
  m_bitCount = 0;
}

bool Utf7Decoder::nextUnit(std::uint16_t& unit) noexcept {
  while (m_pos < m_size) {
    const unsigned char c = m_data[m_pos];
    if (m_inBase64) {
      const int value = base64Value(c);
      if (value >= 0) {
        ++m_pos;
        m_bits = ((m_bits << 6) | static_cast<std::uint32_t>(value)) & 0x3FFFFFu;
        m_bitCount += 6;
        if (m_bitCount >= 16) {
          m_bitCount -= 16;
          unit = static_cast<std::uint16_t>(m_bits >> m_bitCount);
          m_bits &= (1u << m_bitCount) - 1u;
          return true;
        }
        continue;
      }
      endRun();
      if (c == '-') {
        ++m_pos;
        continue;
      }
    }
    ++m_pos;
    if (c == '+') {
      if (m_pos < m_size && m_data[m_pos] == '-') {
        ++m_pos;
        unit = '+';
        return true;
      }
      if (m_pos == m_size) {
        m_lossy = true;
        return false;
      }
      m_inBase64 = true;
      continue;
    }
    if (c >= 0x80) {
      m_lossy = true;
      unit = 0xFFFD;
      return true;
    }
    unit = c;
    return true;
  }
  if (m_inBase64) endRun();
  return false;
}

}  // namespace rozazar::encoding
