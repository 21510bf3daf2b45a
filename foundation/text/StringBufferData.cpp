// StringBuffer: the operations that involve a byte buffer.
#include <cstring>

#include "foundation/containers/DataBuffer.h"
#include "foundation/text/StringBuffer.h"

namespace rozazar {

namespace {

// Digit values as the decoder has always read them: 0-9, a-f, and every
// other character as its code minus 55 (which makes A-F 10 to 15).
unsigned hexDigit(unsigned char c) noexcept {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10u;
  return static_cast<unsigned>(c) - 55u;
}

}  // namespace

bool StringBuffer::adoptDataBuffer(DataBuffer& buffer) noexcept {
  if (!buffer.isValid()) return false;
  resetToInline();
  if (!buffer.ensureZeroTerminated()) return false;
  if (buffer.size() <= 1) return true;
  // Borrowed memory must never be freed by this buffer: own a copy first.
  if (buffer.isBorrowed() && !buffer.reallocateExact(buffer.size())) return false;
  m_heap = reinterpret_cast<char*>(buffer.mutableData());
  m_data = m_heap;
  m_capacity = buffer.capacity();
  m_length = buffer.size() - 1;
  buffer.detachBlock();
  return true;
}

bool StringBuffer::appendDataBuffer(const DataBuffer& buffer) noexcept {
  if (!buffer.isValid()) return false;
  return appendBytes(buffer.data(), buffer.size());
}

bool StringBuffer::hexDecodeInto(DataBuffer& buffer) const noexcept {
  return hexDecodeAppend(m_data, m_length, buffer);
}

bool StringBuffer::hexDecodeAppend(const char* text, std::size_t n, DataBuffer& buffer) noexcept {
  if (text == nullptr || n == 0) return true;
  // The text ends at its terminator even when n says more.
  const auto* in = reinterpret_cast<const unsigned char*>(text);
  std::size_t count = 0;
  while (count < n && in[count] != 0) ++count;
  if (buffer.overlapsBlock(text, count)) {
    // Decoding a buffer's own bytes into it: read from a copy.
    StringBuffer copy;
    return copy.appendBytes(text, count) && hexDecodeAppend(copy.text(), count, buffer);
  }
  std::size_t i = 0;
  if (count >= 2 && in[0] == '0' && in[1] == 'x') i = 2;

  constexpr std::size_t kStagingBytes = 500;
  unsigned char staging[kStagingBytes];
  std::size_t staged = 0;
  const auto put = [&](unsigned value) noexcept {
    staging[staged++] = static_cast<unsigned char>(value & 0xFFu);
    if (staged < kStagingBytes) return true;
    staged = 0;
    return buffer.appendBytes(staging, kStagingBytes);
  };
  // An odd count of digits: the first one alone makes a byte.
  if ((count - i) % 2 != 0 && !put(hexDigit(in[i++]))) return false;
  for (; i + 1 < count; i += 2)
    if (!put(hexDigit(in[i]) * 16u + hexDigit(in[i + 1]))) return false;
  return buffer.appendBytes(staging, staged);
}

}  // namespace rozazar
