// StringBuffer: escaping for and unescaping from JSON strings.
#include <cstring>

#include "foundation/object/Allocation.h"
#include "foundation/text/StringBuffer.h"

namespace rozazar {

namespace {

// Continuation bytes announced by a UTF-8 lead byte (0 for every other byte).
unsigned continuationCount(unsigned char c) noexcept {
  if (c >= 0xFC) return 5;
  if (c >= 0xF8) return 4;
  if (c >= 0xF0) return 3;
  if (c >= 0xE0) return 2;
  if (c >= 0xC0) return 1;
  return 0;
}

bool isContinuation(unsigned char c) noexcept { return (c & 0xC0u) == 0x80u; }

// The letter of a two-character escape for a control byte, or 0.
char shortEscape(unsigned char c) noexcept {
  switch (c) {
    case '\b':
      return 'b';
    case '\t':
      return 't';
    case '\n':
      return 'n';
    case '\f':
      return 'f';
    case '\r':
      return 'r';
    case '"':
      return '"';
    case '\\':
      return '\\';
    default:
      return 0;
  }
}

// Walks the text as the escaper sees it and reports every byte with how it is
// written: copied (escapeLetter 0, not unicode) or escaped. A lead byte lets
// through only the continuation bytes that really follow it, so that a quote
// or backslash after an invalid lead byte is still escaped.
template <typename Visit>
void walkForJson(const unsigned char* text, std::uint32_t length, Visit visit) noexcept {
  std::uint32_t i = 0;
  while (i < length) {
    const unsigned char c = text[i];
    const unsigned follow = continuationCount(c);
    if (follow != 0) {
      std::uint32_t end = i + 1;
      while (end < length && end - i <= follow && isContinuation(text[end])) ++end;
      visit(i, end - i, '\0', false);
      i = end;
      continue;
    }
    const char letter = shortEscape(c);
    if (letter != 0)
      visit(i, 1, letter, false);
    else if (c < 0x20)
      visit(i, 1, '\0', true);
    else
      visit(i, 1, '\0', false);
    ++i;
  }
}

constexpr char kHexUpper[] = "0123456789ABCDEF";

int hexValue(unsigned char c) noexcept {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

bool StringBuffer::escapeJsonInPlace() noexcept {
  const auto* text = reinterpret_cast<const unsigned char*>(m_data);
  std::uint64_t extra = 0;
  walkForJson(text, m_length, [&extra](std::uint32_t, std::uint32_t, char letter, bool unicode) {
    if (letter != 0) extra += 1;
    if (unicode) extra += 5;
  });
  if (extra == 0) return true;

  const std::uint64_t size = std::uint64_t{m_length} + extra + 4;
  if (size > 0xFFFFFFFFu) return false;
  char* block = newRawArray<char>(static_cast<std::size_t>(size));
  if (block == nullptr) return false;
  char* out = block;
  walkForJson(text, m_length,
              [&out, text](std::uint32_t at, std::uint32_t n, char letter, bool unicode) {
                if (letter != 0) {
                  *out++ = '\\';
                  *out++ = letter;
                } else if (unicode) {
                  const unsigned char c = text[at];
                  std::memcpy(out, "\\u00", 4);
                  out[4] = kHexUpper[c >> 4];
                  out[5] = kHexUpper[c & 0x0F];
                  out += 6;
                } else {
                  std::memcpy(out, text + at, n);
                  out += n;
                }
              });
  *out = '\0';
  delete[] m_heap;
  m_heap = block;
  m_data = block;
  m_capacity = static_cast<std::uint32_t>(size);
  m_length = static_cast<std::uint32_t>(out - block);
  return true;
}

bool StringBuffer::jsonUnescapeAppend(const char* data, std::size_t n, StringBuffer& out) noexcept {
  if (data == nullptr || n == 0) return true;
  if (out.overlapsStorage(data, n)) {
    // Decoding a buffer into itself: read from a copy of the input.
    StringBuffer copy;
    return copy.appendRaw(data, n) && jsonUnescapeAppend(copy.m_data, n, out);
  }
  const auto* in = reinterpret_cast<const unsigned char*>(data);
  const std::uint32_t lengthBefore = out.length();
  // Output is staged in a fixed block and appended in pieces as raw bytes, so
  // a decoded zero byte in the middle is kept wherever a piece happens to end.
  constexpr std::size_t kStagingBytes = 200;
  char staging[kStagingBytes];
  std::size_t staged = 0;
  const auto flush = [&]() noexcept {
    const bool appended = out.appendRaw(staging, staged);
    staged = 0;
    return appended;
  };
  const auto put = [&](unsigned char c) noexcept {
    staging[staged++] = static_cast<char>(c);
    return staged < kStagingBytes || flush();
  };
  bool ok = true;
  std::size_t i = 0;
  while (ok && i < n) {
    const unsigned char c = in[i++];
    if (c != '\\') {
      ok = put(c);
      continue;
    }
    if (i >= n) break;  // a final backslash ends the input
    const unsigned char e = in[i++];
    switch (e) {
      case '"':
      case '\\':
      case '/':
        ok = put(e);
        break;
      case 'b':
        ok = put('\b');
        break;
      case 'f':
        ok = put('\f');
        break;
      case 'n':
        ok = put('\n');
        break;
      case 'r':
        ok = put('\r');
        break;
      case 't':
        ok = put('\t');
        break;
      case 'u': {
        // Fewer than four bytes left: the "\u" is dropped and they are text.
        if (n - i < 4) break;
        std::size_t k = i;
        while (k < i + 4 && (in[k] == ' ' || in[k] == '\t')) ++k;
        unsigned value = 0;
        for (int digit; k < i + 4 && (digit = hexValue(in[k])) >= 0; ++k)
          value = value * 16u + static_cast<unsigned>(digit);
        i += 4;
        if (value < 0x80) {
          ok = put(static_cast<unsigned char>(value));
        } else if (value < 0x800) {
          ok = put(static_cast<unsigned char>(0xC0 | (value >> 6))) &&
               put(static_cast<unsigned char>(0x80 | (value & 0x3F)));
        } else {
          ok = put(static_cast<unsigned char>(0xE0 | (value >> 12))) &&
               put(static_cast<unsigned char>(0x80 | ((value >> 6) & 0x3F))) &&
               put(static_cast<unsigned char>(0x80 | (value & 0x3F)));
        }
        break;
      }
      default:
        break;  // an unknown escape is dropped with its backslash
    }
  }
  if (ok) ok = flush();
  if (!ok) {
    out.truncateTo(lengthBefore);
    return false;
  }
  // As with appendBytes, zero bytes at the very end of the text do not count.
  std::uint32_t length = out.length();
  while (length > lengthBefore && out.charAt(length - 1) == '\0') --length;
  out.truncateTo(length);
  return true;
}

}  // namespace rozazar
