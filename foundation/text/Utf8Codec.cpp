#include "foundation/text/Utf8Codec.h"

#include "foundation/containers/DataBuffer.h"
#include "foundation/encoding/Utf32Conversion.h"

namespace rozazar {

int utf8ContinuationCount(unsigned char lead) noexcept {
  if (lead < 0xC0) return 0;
  if (lead < 0xE0) return 1;
  if (lead < 0xF0) return 2;
  if (lead < 0xF8) return 3;
  if (lead < 0xFC) return 4;
  return 5;
}

bool utf8EncodeCodePoint(std::uint32_t cp, unsigned char* out, int& outLength) noexcept {
  if (out == nullptr) return false;
  if (cp >= 0x200000u) cp = 0xFFFDu;
  if (cp < 0x80u) {
    out[0] = static_cast<unsigned char>(cp);
    outLength = 1;
  } else if (cp < 0x800u) {
    out[0] = static_cast<unsigned char>(0xC0u | (cp >> 6));
    out[1] = static_cast<unsigned char>(0x80u | (cp & 0x3Fu));
    outLength = 2;
  } else if (cp < 0x10000u) {
    out[0] = static_cast<unsigned char>(0xE0u | (cp >> 12));
    out[1] = static_cast<unsigned char>(0x80u | ((cp >> 6) & 0x3Fu));
    out[2] = static_cast<unsigned char>(0x80u | (cp & 0x3Fu));
    outLength = 3;
  } else {
    out[0] = static_cast<unsigned char>(0xF0u | (cp >> 18));
    out[1] = static_cast<unsigned char>(0x80u | ((cp >> 12) & 0x3Fu));
    out[2] = static_cast<unsigned char>(0x80u | ((cp >> 6) & 0x3Fu));
    out[3] = static_cast<unsigned char>(0x80u | (cp & 0x3Fu));
    outLength = 4;
  }
  return true;
}

std::uint32_t utf8DecodeCodePoint(const unsigned char* text, std::size_t& index) noexcept {
  if (text == nullptr) return 0;
  const unsigned char lead = text[index++];
  if (lead < 0x80) return lead;
  int continuations;
  std::uint32_t cp;
  if ((lead & 0x20u) == 0) {
    continuations = 1;
    cp = lead & 0x1Fu;
  } else if ((lead & 0x10u) == 0) {
    continuations = 2;
    cp = lead & 0x0Fu;
  } else {
    continuations = 3;
    cp = lead & 0x07u;
  }
  for (int i = 0; i < continuations; ++i) {
    const unsigned char next = text[index++];
    if (next == 0) return 0;
    cp = (cp << 6) | (next & 0x3Fu);
  }
  if (cp > 0x10FFFFu) return 0xFFFDu;
  if (continuations == 3 && cp >= 0x10000u) {
    const std::uint32_t offset = cp - 0x10000u;
    const std::uint32_t high = 0xD800u + (offset >> 10);
    const std::uint32_t low = 0xDC00u + (offset & 0x3FFu);
    return high | (low << 16);
  }
  return cp;
}

int utf8SequenceLength(const unsigned char* data, int n) noexcept {
  if (data == nullptr || n <= 0) return 0;
  const unsigned char lead = data[0];
  if (lead < 0x80) return 1;
  if (lead < 0xC2 || lead > 0xF4) return 1;
  const int length = 1 + utf8ContinuationCount(lead);
  if (n < length) return n;
  const unsigned char second = data[1];
  if (second < 0x80 || second > 0xBF) return 1;
  if (lead == 0xE0 && second < 0xA0) return 1;
  if (lead == 0xED && second > 0x9F) return 1;  // UTF-16 surrogates
  if (lead == 0xF0 && second < 0x90) return 1;
  if (lead == 0xF4 && second > 0x8F) return 1;
  for (int i = 2; i < length; ++i) {
    if (data[i] < 0x80 || data[i] > 0xBF) return 1;
  }
  return length;
}

namespace {

bool appendToDataBuffer(void* context, const unsigned char* data, std::size_t n) {
  return static_cast<DataBuffer*>(context)->appendBytes(data, n);
}

}  // namespace

bool utf8ToUtf32(const unsigned char* data, std::size_t n, bool bigEndian,
                 DataBuffer& out) noexcept {
  encoding::ByteSink sink(&appendToDataBuffer, &out);
  return encoding::utf8ToUtf32Into(data, n, bigEndian, sink);
}

bool utf32ToUtf8(const std::uint32_t* data, std::size_t count, DataBuffer& out) noexcept {
  encoding::ByteSink sink(&appendToDataBuffer, &out);
  return encoding::utf32ToUtf8Into(data, count, sink);
}

namespace encoding {

namespace {

// Decodes a sequence that utf8SequenceLength has found valid.
std::uint32_t decodeValid(const unsigned char* p, int length) noexcept {
  switch (length) {
    case 2:
      return ((p[0] & 0x1Fu) << 6) | (p[1] & 0x3Fu);
    case 3:
      return ((p[0] & 0x0Fu) << 12) | ((p[1] & 0x3Fu) << 6) | (p[2] & 0x3Fu);
    default:
      return ((p[0] & 0x07u) << 18) | ((p[1] & 0x3Fu) << 12) | ((p[2] & 0x3Fu) << 6) |
             (p[3] & 0x3Fu);
  }
}

bool onlyContinuationBytes(const unsigned char* p, std::size_t n) noexcept {
  for (std::size_t i = 0; i < n; ++i) {
    if ((p[i] & 0xC0u) != 0x80u) return false;
  }
  return true;
}

void storeUnit(unsigned char* at, std::uint32_t unit, bool bigEndian) noexcept {
  if (bigEndian) {
    at[0] = static_cast<unsigned char>(unit >> 24);
    at[1] = static_cast<unsigned char>(unit >> 16);
    at[2] = static_cast<unsigned char>(unit >> 8);
    at[3] = static_cast<unsigned char>(unit);
  } else {
    at[0] = static_cast<unsigned char>(unit);
    at[1] = static_cast<unsigned char>(unit >> 8);
    at[2] = static_cast<unsigned char>(unit >> 16);
    at[3] = static_cast<unsigned char>(unit >> 24);
  }
}

}  // namespace

bool utf8ToUtf32Into(const unsigned char* data, std::size_t n, bool bigEndian,
                     ByteSink& sink) noexcept {
  if (data == nullptr) return true;
  bool valid = true;
  std::size_t i = 0;
  while (i < n) {
    const unsigned char lead = data[i];
    std::uint32_t cp;
    if (lead < 0x80) {
      cp = lead;
      ++i;
    } else {
      const std::size_t remaining = n - i;
      const int available = remaining > 8 ? 8 : static_cast<int>(remaining);
      const int length = utf8SequenceLength(data + i, available);
      const int needed = 1 + utf8ContinuationCount(lead);
      if (lead >= 0xC2 && lead <= 0xF4 && static_cast<std::size_t>(needed) > remaining &&
          onlyContinuationBytes(data + i + 1, remaining - 1)) {
        // The sequence is cut off by the end of the data.
        sink.flush();
        return false;
      }
      if (length < 2 || length != needed) {
        valid = false;
        ++i;
        continue;
      }
      cp = decodeValid(data + i, length);
      i += static_cast<std::size_t>(length);
    }
    unsigned char* at = sink.reserve(4);
    if (at == nullptr) return false;
    storeUnit(at, cp, bigEndian);
    sink.commit(4);
  }
  return sink.flush() && valid;
}

bool utf32ToUtf8Into(const std::uint32_t* data, std::size_t count, ByteSink& sink) noexcept {
  if (data == nullptr) return true;
  for (std::size_t i = 0; i < count; ++i) {
    unsigned char* at = sink.reserve(4);
    if (at == nullptr) return false;
    int length = 0;
    utf8EncodeCodePoint(data[i], at, length);
    sink.commit(static_cast<std::size_t>(length));
  }
  return sink.flush();
}

}  // namespace encoding

}  // namespace rozazar
