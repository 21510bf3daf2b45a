// DataBuffer: storage, growth and appending.
#include "foundation/containers/DataBuffer.h"

#include <cstdint>
#include <cstring>
#include <limits>

#include "foundation/object/Allocation.h"
#include "foundation/object/SecureZero.h"
#include "foundation/text/StringBuffer.h"

namespace rozazar {

namespace {

constexpr std::uint64_t kMaxSize = std::numeric_limits<std::uint32_t>::max();

// The increment of a bulk append of n bytes to a buffer of size s: n itself
// once n reaches a tier, else the tier that s has reached.
std::uint64_t tieredIncrement(std::uint64_t s, std::uint64_t n) noexcept {
  static constexpr std::uint64_t kTiers[] = {12000000, 8000000, 4000000, 3000000,
                                             2000000,  1000000, 100000,  50000};
  for (std::uint64_t tier : kTiers) {
    if (n >= tier) return n;
    if (s >= tier) return tier;
  }
  return n >= 20000 ? n : 20000;
}

}  // namespace

DataBuffer::~DataBuffer() {
  // A buffer whose marker is gone (destroyed before, or overwritten) holds no
  // pointer that can be trusted: its block is left alone rather than freed.
  if (isValid() && m_borrowed == 0 && m_data != nullptr) {
    if (m_wipe != 0) secureZero(m_data, m_size);
    delete[] m_data;
  }
  m_data = nullptr;
  m_size = 0;
  m_capacity = 0;
  *static_cast<volatile std::uint8_t*>(&m_marker) = 0;
}

void DataBuffer::releaseBlock() noexcept {
  if (m_borrowed == 0) delete[] m_data;
  m_data = nullptr;
  m_borrowed = 0;
  m_size = 0;
  m_capacity = 0;
}

bool DataBuffer::reallocateExact(std::size_t n) noexcept {
  if (!isValid() || n == 0 || n > kMaxSize) return false;
  unsigned char* block = newRawArray<unsigned char>(n);
  if (block == nullptr) return false;
  const std::uint32_t kept = m_size < n ? m_size : static_cast<std::uint32_t>(n);
  if (kept > 0) std::memcpy(block, m_data, kept);
  if (m_borrowed == 0) delete[] m_data;
  m_data = block;
  m_borrowed = 0;
  m_size = kept;
  m_capacity = static_cast<std::uint32_t>(n);
  return true;
}

bool DataBuffer::reserve(std::size_t n) noexcept {
  if (!isValid()) return false;
  if (n == 0 || n <= m_capacity) return true;
  return reallocateExact(n);
}

bool DataBuffer::growForAppend(std::size_t n) noexcept {
  if (!isValid()) return false;
  if (n > kMaxSize - m_size) return false;
  const std::uint64_t s = m_size;
  if (fits(n)) return true;
  const std::uint64_t increment = tieredIncrement(s, n);
  if (s + increment > kMaxSize) return false;
  if (reallocateExact(static_cast<std::size_t>(s + increment))) return true;
  // Short of memory: try just the bytes needed and a little more.
  if (std::uint64_t{n} + 400 < increment)
    return reallocateExact(static_cast<std::size_t>(s + n + 400));
  return false;
}

bool DataBuffer::growTo(std::uint64_t capacity) noexcept {
  if (capacity > kMaxSize) return false;
  return reallocateExact(static_cast<std::size_t>(capacity));
}

bool DataBuffer::growSmallStep(std::size_t n) noexcept {
  if (!isValid()) return false;
  const std::uint64_t s = m_size;
  if (fits(n)) return true;
  std::uint64_t step = 10000;
  if (s < 64)
    step = 64;
  else if (s < 256)
    step = 256;
  else if (s < 1024)
    step = 1024;
  return growTo(s + step);
}

bool DataBuffer::ensureOwned() noexcept {
  if (m_borrowed == 0) return true;
  if (m_size == 0) {
    releaseBlock();
    return true;
  }
  return reallocateExact(m_size);
}

void DataBuffer::clear() noexcept {
  if (!isValid()) return;
  if (m_borrowed != 0) releaseBlock();
  m_size = 0;
}

void DataBuffer::clearAndRelease() noexcept {
  if (isValid()) releaseBlock();
}

void DataBuffer::wipeContent() noexcept {
  if (!isValid()) return;
  // Borrowed memory belongs to someone else and is never written.
  if (m_borrowed == 0 && m_data != nullptr) secureZero(m_data, m_size);
  m_size = 0;
}

void DataBuffer::wipeAndRelease() noexcept {
  if (!isValid()) return;
  wipeContent();
  releaseBlock();
}

void DataBuffer::detachBlock() noexcept {
  if (!isValid()) return;
  m_data = nullptr;
  m_borrowed = 0;
  m_size = 0;
  m_capacity = 0;
}

void DataBuffer::borrow(const void* data, std::size_t n) noexcept {
  if (!isValid()) return;
  releaseBlock();
  if (data == nullptr || n == 0 || n > kMaxSize) return;
  // Never written through: every edit first makes an owned copy.
  m_data = static_cast<unsigned char*>(const_cast<void*>(data));
  m_borrowed = 1;
  m_size = static_cast<std::uint32_t>(n);
  m_capacity = m_size;
}

void DataBuffer::adoptBlock(unsigned char* data, std::size_t n) noexcept {
  if (!isValid()) return;
  releaseBlock();
  if (data == nullptr) return;
  if (n == 0 || n > kMaxSize) {
    delete[] data;
    return;
  }
  m_data = data;
  m_size = static_cast<std::uint32_t>(n);
  m_capacity = m_size;
}

void DataBuffer::moveFrom(DataBuffer& other) noexcept {
  if (&other == this || !isValid() || !other.isValid()) return;
  if (other.m_size == 0) {
    clear();
    return;
  }
  releaseBlock();
  m_data = other.m_data;
  m_size = other.m_size;
  m_capacity = other.m_capacity;
  m_borrowed = other.m_borrowed;
  other.detachBlock();
}

bool DataBuffer::takeStringBuffer(StringBuffer& sb) noexcept {
  if (!isValid() || !sb.isValid()) return false;
  std::uint32_t length = 0;
  std::uint32_t capacity = 0;
  char* block = sb.releaseStorage(length, capacity);
  if (block == nullptr) return false;
  releaseBlock();
  m_data = reinterpret_cast<unsigned char*>(block);
  m_size = length;
  m_capacity = capacity;
  return true;
}

void DataBuffer::setSize(std::size_t n) noexcept {
  if (!isValid()) return;
  m_size = n > m_capacity ? m_capacity : static_cast<std::uint32_t>(n);
}

void DataBuffer::dropLast(std::size_t n) noexcept {
  if (!isValid()) return;
  m_size = n >= m_size ? 0 : m_size - static_cast<std::uint32_t>(n);
}

bool DataBuffer::ensureZeroTerminated() noexcept {
  if (!isValid()) return false;
  if (m_size > 0 && m_data[m_size - 1] == 0) {
    while (m_size > 1 && m_data[m_size - 2] == 0) --m_size;
    return true;
  }
  return appendChar(0);
}

bool DataBuffer::overlapsBlock(const void* p, std::size_t n) const noexcept {
  if (p == nullptr || m_data == nullptr) return false;
  const auto begin = reinterpret_cast<std::uintptr_t>(p);
  const auto end = begin + (n > 0 ? n : 1);
  const auto own = reinterpret_cast<std::uintptr_t>(m_data);
  return begin < own + m_capacity && end > own;
}

bool DataBuffer::appendBytes(const void* data, std::size_t n) noexcept {
  if (!isValid()) return false;
  if (data == nullptr || n == 0) return true;
  if (n > kMaxSize - m_size) return false;
  if (!fits(n) && overlapsBlock(data, n)) {
    // The source lies in the block that growth is about to release.
    DataBuffer copy;
    return copy.appendBytes(data, n) && appendBytes(copy.m_data, n);
  }
  if (!growForAppend(n) || m_data == nullptr) return false;
  std::memmove(m_data + m_size, data, n);
  m_size += static_cast<std::uint32_t>(n);
  return true;
}

bool DataBuffer::appendDataBuffer(const DataBuffer& other) noexcept {
  if (!other.isValid()) return false;
  return appendBytes(other.m_data, other.m_size);
}

bool DataBuffer::appendStringBuffer(const StringBuffer& sb) noexcept {
  if (!sb.isValid()) return false;
  return appendBytes(sb.text(), sb.length());
}

bool DataBuffer::appendText(const char* text) noexcept {
  if (text == nullptr) return isValid();
  return appendBytes(text, std::strlen(text));
}

bool DataBuffer::appendNonZeroBytes(const void* data, std::size_t n) noexcept {
  if (!isValid()) return false;
  if (data == nullptr || n == 0) return true;
  if (n > kMaxSize - m_size) return false;
  if (!fits(n) && overlapsBlock(data, n)) {
    DataBuffer copy;
    return copy.appendBytes(data, n) && appendNonZeroBytes(copy.m_data, n);
  }
  if (!growForAppend(n)) return false;
  const auto* bytes = static_cast<const unsigned char*>(data);
  for (std::size_t i = 0; i < n; ++i)
    if (bytes[i] != 0) m_data[m_size++] = bytes[i];
  return true;
}

bool DataBuffer::appendChar(unsigned char c) noexcept {
  if (!growSmallStep(1)) return false;
  m_data[m_size++] = c;
  return true;
}

bool DataBuffer::appendTwoBytes(unsigned char first, unsigned char second) noexcept {
  if (!growSmallStep(2)) return false;
  m_data[m_size++] = first;
  m_data[m_size++] = second;
  return true;
}

bool DataBuffer::appendByteRun(unsigned char c, std::size_t n) noexcept {
  if (!isValid()) return false;
  if (n == 0) return true;
  if (n > kMaxSize - m_size) return false;
  const std::uint64_t need = std::uint64_t{m_size} + n;
  if (!fits(n) && !growTo(need + 10000)) return false;
  std::memset(m_data + m_size, c, n);
  m_size += static_cast<std::uint32_t>(n);
  return true;
}

bool DataBuffer::appendUInt16BigEndian(std::uint16_t value) noexcept {
  if (!isValid()) return false;
  const std::uint64_t s = m_size;
  if (!fits(2)) {
    static constexpr std::uint64_t kTiers[] = {12000000, 8000000, 4000000, 3000000,
                                               2000000,  1000000, 100000,  50000};
    std::uint64_t increment = 20000;
    for (std::uint64_t tier : kTiers) {
      if (s >= tier) {
        increment = tier;
        break;
      }
    }
    if (!growTo(s + increment) && !growTo(s + 402)) return false;
  }
  m_data[m_size++] = static_cast<unsigned char>(value >> 8);
  m_data[m_size++] = static_cast<unsigned char>(value & 0xFF);
  return true;
}

bool DataBuffer::appendWideText(const std::uint16_t* text) noexcept {
  if (!isValid()) return false;
  if (text == nullptr) {
    if (!fits(2) && !growTo(std::uint64_t{m_size} + 10002)) return false;
    m_data[m_size++] = 0;
    m_data[m_size++] = 0;
    return true;
  }
  std::size_t units = 0;
  while (text[units] != 0) ++units;
  return appendBytes(text, (units + 1) * 2);
}

bool DataBuffer::appendDecimalByteList(const char* text) noexcept {
  if (!isValid()) return false;
  if (text == nullptr) return true;
  const char* p = text;
  while (true) {
    while (*p == ' ' || *p == '\t' || *p == '\n' || *p == '\r' || *p == ',') ++p;
    if (*p == '\0') return true;
    if (*p < '0' || *p > '9') return false;
    unsigned value = 0;
    while (*p >= '0' && *p <= '9') {
      value = value * 10u + static_cast<unsigned>(*p++ - '0');
      if (value > 255) return false;
    }
    if (!appendChar(static_cast<unsigned char>(value))) return false;
  }
}

bool DataBuffer::readUInt16(std::uint32_t& index, bool littleEndian,
                            std::uint16_t& out) const noexcept {
  out = 0;
  if (index >= m_size || m_size - index < 2) return false;
  const unsigned first = m_data[index];
  const unsigned second = m_data[index + 1];
  out = static_cast<std::uint16_t>(littleEndian ? (second << 8) | first : (first << 8) | second);
  index += 2;
  return true;
}

void DataBuffer::keepSevenBitOnly() noexcept {
  if (!isValid() || !ensureOwned()) return;
  std::uint32_t kept = 0;
  for (std::uint32_t i = 0; i < m_size; ++i)
    if (m_data[i] != 0 && m_data[i] < 0x80) m_data[kept++] = m_data[i];
  m_size = kept;
}

void DataBuffer::removeUInt16(std::uint16_t v) noexcept {
  if (!isValid() || v == 0 || m_size < 2 || !ensureOwned()) return;
  const std::uint32_t units = m_size / 2;
  std::uint32_t kept = 0;
  for (std::uint32_t i = 0; i < units; ++i) {
    std::uint16_t unit;
    std::memcpy(&unit, m_data + std::size_t{2} * i, 2);
    if (unit != v) std::memcpy(m_data + std::size_t{2} * kept++, &unit, 2);
  }
  m_size = kept * 2;
}

void DataBuffer::replaceUInt16(std::uint16_t a, std::uint16_t b) noexcept {
  if (!isValid() || a == 0 || b == 0 || m_size < 2 || !ensureOwned()) return;
  for (std::uint32_t i = 0; i + 1 < m_size; i += 2) {
    std::uint16_t unit;
    std::memcpy(&unit, m_data + i, 2);
    if (unit == a) std::memcpy(m_data + i, &b, 2);
  }
}

void DataBuffer::swapByteOrder16() noexcept {
  if (!isValid() || m_size < 2 || !ensureOwned()) return;
  for (std::uint32_t i = 0; i + 1 < m_size; i += 2) {
    const unsigned char first = m_data[i];
    m_data[i] = m_data[i + 1];
    m_data[i + 1] = first;
  }
}

}  // namespace rozazar
