// StringBuffer: storage, growth and appending.
#include "foundation/text/StringBuffer.h"

#include <cstdint>
#include <cstring>
#include <limits>

#include "foundation/object/Allocation.h"
#include "foundation/object/SecureZero.h"
#include "foundation/platform/Platform.h"

namespace rozazar {

namespace {

constexpr std::uint64_t kMaxStorage = std::numeric_limits<std::uint32_t>::max();

// Writes the decimal digits of value backwards, ending just before end;
// returns where they start.
char* decimalDigits(std::uint64_t value, char* end) noexcept {
  char* p = end;
  do {
    *--p = static_cast<char>('0' + value % 10u);
    value /= 10u;
  } while (value != 0);
  return p;
}

}  // namespace

StringBuffer::StringBuffer() noexcept : m_data(m_inline) { m_inline[0] = '\0'; }

StringBuffer::StringBuffer(const char* text) noexcept : StringBuffer() { appendText(text); }

StringBuffer::~StringBuffer() {
  // A buffer whose marker is gone (destroyed before, or overwritten) holds no
  // pointer that can be trusted: its block is left alone rather than freed.
  if (isValid()) delete[] m_heap;
  m_heap = nullptr;
  m_data = nullptr;
  m_capacity = 0;
  m_length = 0;
  m_increment = 0;
  *static_cast<volatile std::uint8_t*>(&m_marker) = 0;
}

StringBuffer* StringBuffer::createNew(const char* text) noexcept {
  StringBuffer* buffer = newObject<StringBuffer>();
  if (buffer == nullptr) return nullptr;
  if (!buffer->appendText(text)) {
    delete buffer;
    return nullptr;
  }
  return buffer;
}

bool StringBuffer::ensureSpaceFor(std::size_t n) noexcept {
  if (m_marker != kLiveMarker || n >= kMaxStorage - m_length) return false;
  const std::uint64_t need = std::uint64_t{m_length} + n;
  if (m_heap == nullptr) {
    if (need < kInlineBytes) return true;
  } else if (need < m_capacity) {
    return true;
  }
  const std::uint64_t newCapacity = need + 1 + m_increment;
  if (newCapacity > kMaxStorage) return false;

  char* block = newRawArray<char>(static_cast<std::size_t>(newCapacity));
  if (block == nullptr) return false;
  std::memcpy(block, m_data, std::size_t{m_length} + 1);
  const bool wasInline = m_heap == nullptr;
  delete[] m_heap;
  m_heap = block;
  m_data = block;
  m_capacity = static_cast<std::uint32_t>(newCapacity);
  // The first move to the heap keeps the increment; later growth sets it to
  // half the new capacity, so capacities grow geometrically up to the cap.
  if (!wasInline && m_increment < m_capacity && m_increment < kIncrementCap) {
    const std::uint32_t half = m_capacity / 2;
    m_increment = half < kIncrementCap ? half : kIncrementCap;
  }
  return true;
}

void StringBuffer::compactStorage() noexcept {
  if (!isValid() || m_heap == nullptr) return;
  if (m_length < kInlineBytes) {
    std::memcpy(m_inline, m_heap, std::size_t{m_length} + 1);
    delete[] m_heap;
    m_heap = nullptr;
    m_data = m_inline;
    m_capacity = 0;
    return;
  }
  if (std::uint64_t{m_capacity} > std::uint64_t{m_length} + 256) {
    char* block = newRawArray<char>(std::size_t{m_length} + 1);
    if (block == nullptr) return;
    std::memcpy(block, m_heap, std::size_t{m_length} + 1);
    delete[] m_heap;
    m_heap = block;
    m_data = block;
    m_capacity = m_length + 1;
  }
}

void StringBuffer::clear() noexcept {
  if (!isValid()) return;
  m_length = 0;
  m_inline[0] = '\0';
  if (m_heap != nullptr) m_heap[0] = '\0';
  m_increment = kFirstIncrement;
}

void StringBuffer::resetToInline() noexcept {
  delete[] m_heap;
  m_heap = nullptr;
  m_data = m_inline;
  m_capacity = 0;
  m_length = 0;
  m_inline[0] = '\0';
  m_increment = kFirstIncrement;
}

void StringBuffer::clearAndRelease() noexcept {
  if (isValid()) resetToInline();
}

void StringBuffer::wipeAndRelease() noexcept {
  if (!isValid()) return;
  if (m_heap != nullptr) secureZero(m_heap, m_capacity);
  secureZero(m_inline, sizeof m_inline);
  resetToInline();
}

char* StringBuffer::releaseStorage(std::uint32_t& outLength, std::uint32_t& outCapacity) noexcept {
  outLength = 0;
  outCapacity = 0;
  if (!isValid()) return nullptr;
  char* block = m_heap;
  std::uint32_t capacity = m_capacity;
  if (block == nullptr) {
    block = newRawArray<char>(std::size_t{m_length} + 1);
    if (block == nullptr) return nullptr;
    std::memcpy(block, m_inline, std::size_t{m_length} + 1);
    capacity = m_length + 1;
  }
  outLength = m_length;
  outCapacity = capacity;
  m_heap = nullptr;
  resetToInline();
  return block;
}

void StringBuffer::moveFrom(StringBuffer& other) noexcept {
  if (&other == this || !isValid() || !other.isValid()) return;
  resetToInline();
  if (other.m_heap != nullptr) {
    m_heap = other.m_heap;
    m_data = m_heap;
    m_capacity = other.m_capacity;
    other.m_heap = nullptr;
  } else {
    std::memcpy(m_inline, other.m_inline, std::size_t{other.m_length} + 1);
  }
  m_length = other.m_length;
  m_increment = other.m_increment;
  other.resetToInline();
}

char* StringBuffer::duplicateText() const noexcept {
  char* copy = newRawArray<char>(std::size_t{m_length} + 1);
  if (copy != nullptr) std::memcpy(copy, m_data, std::size_t{m_length} + 1);
  return copy;
}

bool StringBuffer::overlapsStorage(const void* p, std::size_t n) const noexcept {
  if (p == nullptr) return false;
  const auto begin = reinterpret_cast<std::uintptr_t>(p);
  const auto end = begin + (n > 0 ? n : 1);
  const auto own = reinterpret_cast<std::uintptr_t>(m_data);
  return begin < own + capacity() && end > own;
}

bool StringBuffer::appendRaw(const char* data, std::size_t n) noexcept {
  if (data == nullptr || n == 0) return true;
  if (std::uint64_t{m_length} + n >= capacity() && overlapsStorage(data, n)) {
    // The source lies in the storage that growth is about to release.
    StringBuffer copy;
    return copy.appendRaw(data, n) && appendRaw(copy.m_data, n);
  }
  if (!ensureSpaceFor(n)) return false;
  std::memmove(m_data + m_length, data, n);
  setLength(m_length + static_cast<std::uint32_t>(n));
  return true;
}

bool StringBuffer::appendText(const char* text) noexcept {
  if (text == nullptr) return true;
  return appendRaw(text, std::strlen(text));
}

bool StringBuffer::appendTwo(const char* first, const char* second) noexcept {
  const std::size_t firstLength = first != nullptr ? std::strlen(first) : 0;
  const std::size_t secondLength = second != nullptr ? std::strlen(second) : 0;
  // Room for both first, so that a failure leaves the text unchanged.
  if (firstLength + secondLength == 0) return true;
  if (overlapsStorage(first, firstLength) || overlapsStorage(second, secondLength)) {
    StringBuffer both;
    return both.appendTwo(first, second) && appendRaw(both.m_data, both.m_length);
  }
  if (firstLength + secondLength < firstLength || !ensureSpaceFor(firstLength + secondLength))
    return false;
  return appendRaw(first, firstLength) && appendRaw(second, secondLength);
}

bool StringBuffer::appendBytes(const void* data, std::size_t n) noexcept {
  if (!appendRaw(static_cast<const char*>(data), n)) return false;
  std::uint32_t length = m_length;
  while (length > 0 && m_data[length - 1] == '\0') --length;
  m_length = length;
  return true;
}

bool StringBuffer::appendCharGrowing(char c) noexcept {
  if (!ensureSpaceFor(1)) return false;
  m_data[m_length] = c;
  setLength(m_length + 1);
  return true;
}

bool StringBuffer::appendCharRun(char c, std::size_t n) noexcept {
  if (n == 0 || n > kMaxCharRun) return true;
  if (!ensureSpaceFor(n)) return false;
  std::memset(m_data + m_length, c, n);
  setLength(m_length + static_cast<std::uint32_t>(n));
  return true;
}

bool StringBuffer::appendUInt32(std::uint32_t value) noexcept {
  char digits[24];
  char* end = digits + sizeof digits;
  const char* start = decimalDigits(value, end);
  return appendRaw(start, static_cast<std::size_t>(end - start));
}

bool StringBuffer::appendInt32(std::int32_t value) noexcept { return appendInt64(value); }

bool StringBuffer::appendInt64(std::int64_t value) noexcept {
  char digits[24];
  char* end = digits + sizeof digits;
  // The magnitude is taken in unsigned arithmetic, so the most negative value
  // needs no special case.
  const std::uint64_t magnitude =
      value < 0 ? 0u - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
  char* start = decimalDigits(magnitude, end);
  if (value < 0) *--start = '-';
  return appendRaw(start, static_cast<std::size_t>(end - start));
}

bool StringBuffer::appendBuffer(const StringBuffer& other) noexcept {
  if (!RozazarObject::isValid(&other) || &other == this) return false;
  if (m_length == 0 && !ensureSpaceFor(other.m_length)) return false;
  return appendBytes(other.m_data, other.m_length);
}

bool StringBuffer::appendSystemErrorText(std::uint32_t code) noexcept {
  constexpr std::size_t kScratchBytes = 1024;
  char* scratch = newArray<char>(kScratchBytes);
  if (scratch == nullptr) return false;
  // A code the system has no text for appends the marker "x".
  if (platform::systemErrorText(code, scratch, kScratchBytes) == 0) {
    scratch[0] = 'x';
    scratch[1] = '\0';
  }
  const bool appended = appendText(scratch);
  delete[] scratch;
  if (appended) trimSpace();
  return appended;
}

bool StringBuffer::appendLastSystemErrorText() noexcept {
  return appendSystemErrorText(platform::lastSystemError());
}

std::size_t StringBuffer::appendLeadingWord(const char* source) noexcept {
  if (source == nullptr) return 0;
  const std::size_t n = std::strcspn(source, "\t\n\r ");
  return appendRaw(source, n) ? n : 0;
}

}  // namespace rozazar
