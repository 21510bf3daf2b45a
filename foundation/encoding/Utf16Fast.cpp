#include "foundation/encoding/Utf16Fast.h"

#include <cstdint>
#include <cstring>

namespace rozazar::encoding {

namespace {

constexpr std::uint64_t kHighBits = 0x8080808080808080ull;
constexpr std::uint64_t kNonAsciiUnits = 0xFF80FF80FF80FF80ull;

inline void putUnit(unsigned char* out, std::uint32_t unit) noexcept {
  out[0] = static_cast<unsigned char>(unit);
  out[1] = static_cast<unsigned char>(unit >> 8);
}

inline std::uint32_t unitAt(const unsigned char* in) noexcept {
  return static_cast<std::uint32_t>(in[0]) | (static_cast<std::uint32_t>(in[1]) << 8);
}

// Whether the host stores a 16-bit value low byte first, as UTF-16LE does;
// the compiler folds this to a constant.
inline bool hostIsLittleEndian() noexcept {
  const std::uint16_t one = 1;
  unsigned char first;
  std::memcpy(&first, &one, 1);
  return first == 1;
}

// Four bytes in the low half of x become four 16-bit units, low byte first.
inline std::uint64_t spreadBytes(std::uint64_t x) noexcept {
  x = (x | (x << 16)) & 0x0000FFFF0000FFFFull;
  return (x | (x << 8)) & 0x00FF00FF00FF00FFull;
}

inline bool isContinuation(unsigned char b) noexcept { return (b & 0xC0u) == 0x80u; }

bool onlyContinuations(const unsigned char* p, std::size_t n) noexcept {
  for (std::size_t i = 0; i < n; ++i) {
    if (!isContinuation(p[i])) return false;
  }
  return true;
}

}  // namespace

std::size_t utf8ToUtf16Le(const unsigned char* in, std::size_t n, unsigned char* out,
                          bool& lossy) noexcept {
  std::size_t i = 0;
  unsigned char* o = out;
  while (i < n) {
    const unsigned char b0 = in[i];
    if (b0 < 0x80) {
      // ASCII, eight bytes at a time while it lasts.
      while (i + 8 <= n) {
        std::uint64_t word;
        std::memcpy(&word, in + i, 8);
        if ((word & kHighBits) != 0) break;
        if (hostIsLittleEndian()) {
          // Spread the eight bytes to eight 16-bit units in two words.
          const std::uint64_t units[2] = {spreadBytes(word & 0xFFFFFFFFu), spreadBytes(word >> 32)};
          std::memcpy(o, units, 16);
        } else {
          for (std::size_t k = 0; k < 8; ++k) {
            o[2 * k] = in[i + k];
            o[2 * k + 1] = 0;
          }
        }
        o += 16;
        i += 8;
      }
      while (i < n && in[i] < 0x80) {
        putUnit(o, in[i]);
        o += 2;
        ++i;
      }
      continue;
    }
    // Runs of two-byte characters (Cyrillic, Greek, accented Latin).
    while (i + 1 < n && in[i] >= 0xC2 && in[i] <= 0xDF && isContinuation(in[i + 1])) {
      putUnit(o, ((in[i] & 0x1Fu) << 6) | (in[i + 1] & 0x3Fu));
      o += 2;
      i += 2;
    }
    // Runs of three-byte characters (CJK and the rest of the BMP).
    while (i + 2 < n && (in[i] & 0xF0u) == 0xE0u && isContinuation(in[i + 1]) &&
           isContinuation(in[i + 2])) {
      const unsigned char lead = in[i];
      const unsigned char b1 = in[i + 1];
      if ((lead == 0xE0 && b1 < 0xA0) || (lead == 0xED && b1 > 0x9F)) break;
      putUnit(o, ((lead & 0x0Fu) << 12) | ((b1 & 0x3Fu) << 6) | (in[i + 2] & 0x3Fu));
      o += 2;
      i += 3;
    }
    if (i >= n || in[i] < 0x80) continue;
    const unsigned char lead = in[i];
    const std::size_t left = n - i;
    if (lead >= 0xF0 && lead <= 0xF4 && left >= 4) {
      const unsigned char b1 = in[i + 1];
      const bool secondOk = lead == 0xF0   ? (b1 >= 0x90 && b1 <= 0xBF)
                            : lead == 0xF4 ? (b1 >= 0x80 && b1 <= 0x8F)
                                           : isContinuation(b1);
      if (secondOk && isContinuation(in[i + 2]) && isContinuation(in[i + 3])) {
        const std::uint32_t cp = ((lead & 0x07u) << 18) | ((b1 & 0x3Fu) << 12) |
                                 ((in[i + 2] & 0x3Fu) << 6) | (in[i + 3] & 0x3Fu);
        const std::uint32_t offset = cp - 0x10000u;
        putUnit(o, 0xD800u + (offset >> 10));
        putUnit(o + 2, 0xDC00u + (offset & 0x3FFu));
        o += 4;
        i += 4;
        continue;
      }
    }
    if ((lead >= 0xC2 && lead <= 0xDF && left >= 2 && isContinuation(in[i + 1])) ||
        ((lead & 0xF0u) == 0xE0u && left >= 3 && isContinuation(in[i + 1]) &&
         isContinuation(in[i + 2]) && !(lead == 0xE0 && in[i + 1] < 0xA0) &&
         !(lead == 0xED && in[i + 1] > 0x9F))) {
      continue;  // a well-formed sequence the runs above take next time
    }
    // Ill-formed: one U+FFFD per bad byte, one for a sequence cut off by
    // the end of the data.
    lossy = true;
    putUnit(o, 0xFFFDu);
    o += 2;
    const std::size_t needed = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
    if (lead >= 0xC2 && lead <= 0xF4 && left < needed && onlyContinuations(in + i + 1, left - 1)) {
      i = n;
    } else {
      ++i;
    }
  }
  return static_cast<std::size_t>(o - out);
}

std::size_t utf16LeToUtf8Size(const unsigned char* in, std::size_t n) noexcept {
  // Every unit counts 1, 2 or 3 bytes by its value (a lone surrogate becomes
  // U+FFFD, three bytes); a surrogate pair counts 3 + 3 by that rule but
  // takes 4, so each pair gives 2 back. A low surrogate pairs only with the
  // unit just before it, so no pair is counted twice. The units are taken
  // in blocks the compiler can turn into vector code.
  const std::size_t units = n / 2;
  std::size_t size = 0;
  std::size_t pairs = 0;
  std::uint16_t block[1025];
  std::size_t k = 0;
  while (k < units) {
    const std::size_t count = units - k < 1024 ? units - k : 1024;
    // One unit beyond the block, for the pair test at its end.
    const std::size_t loaded = count < units - k ? count + 1 : count;
    if (hostIsLittleEndian()) {
      std::memcpy(block, in + 2 * k, 2 * loaded);
    } else {
      for (std::size_t j = 0; j < loaded; ++j)
        block[j] = static_cast<std::uint16_t>(in[2 * (k + j)] | (in[2 * (k + j) + 1] << 8));
    }
    if (loaded == count) block[count] = 0;
    std::uint32_t blockSize = 0;
    std::uint32_t blockPairs = 0;
    for (std::size_t j = 0; j < count; ++j) {
      const std::uint32_t u = block[j];
      blockSize += 1u + (u >= 0x80u ? 1u : 0u) + (u >= 0x800u ? 1u : 0u);
      blockPairs += ((u & 0xFC00u) == 0xD800u) & ((block[j + 1] & 0xFC00u) == 0xDC00u);
    }
    size += blockSize;
    pairs += blockPairs;
    k += count;
  }
  if ((n & 1u) != 0) size += 3;  // an odd byte at the end
  return size - 2 * pairs;
}

std::size_t utf16LeToUtf8(const unsigned char* in, std::size_t n, unsigned char* out,
                          bool& lossy) noexcept {
  unsigned char* o = out;
  std::size_t i = 0;
  while (i + 1 < n) {
    std::uint32_t cp = unitAt(in + i);
    if (cp < 0x80u) {
      // ASCII, four units at a time while it lasts.
      while (i + 8 <= n) {
        std::uint64_t word;
        std::memcpy(&word, in + i, 8);
        if ((word & kNonAsciiUnits) != 0) break;
        o[0] = in[i];
        o[1] = in[i + 2];
        o[2] = in[i + 4];
        o[3] = in[i + 6];
        o += 4;
        i += 8;
      }
      while (i + 1 < n && (cp = unitAt(in + i)) < 0x80u) {
        *o++ = static_cast<unsigned char>(cp);
        i += 2;
      }
      continue;
    }
    // Runs of two-byte characters.
    while (cp >= 0x80u && cp < 0x800u) {
      o[0] = static_cast<unsigned char>(0xC0u | (cp >> 6));
      o[1] = static_cast<unsigned char>(0x80u | (cp & 0x3Fu));
      o += 2;
      i += 2;
      if (i + 1 >= n) break;
      cp = unitAt(in + i);
    }
    // Runs of three-byte characters outside the surrogates.
    while (i + 1 < n && cp >= 0x800u && (cp < 0xD800u || cp > 0xDFFFu)) {
      o[0] = static_cast<unsigned char>(0xE0u | (cp >> 12));
      o[1] = static_cast<unsigned char>(0x80u | ((cp >> 6) & 0x3Fu));
      o[2] = static_cast<unsigned char>(0x80u | (cp & 0x3Fu));
      o += 3;
      i += 2;
      if (i + 1 >= n) break;
      cp = unitAt(in + i);
    }
    if (i + 1 >= n || cp < 0xD800u || cp > 0xDFFFu) continue;
    i += 2;
    const std::uint32_t next = i + 1 < n ? unitAt(in + i) : 0;
    if (cp <= 0xDBFFu && next >= 0xDC00u && next <= 0xDFFFu) {
      cp = 0x10000u + ((cp - 0xD800u) << 10) + (next - 0xDC00u);
      i += 2;
      o[0] = static_cast<unsigned char>(0xF0u | (cp >> 18));
      o[1] = static_cast<unsigned char>(0x80u | ((cp >> 12) & 0x3Fu));
      o[2] = static_cast<unsigned char>(0x80u | ((cp >> 6) & 0x3Fu));
      o[3] = static_cast<unsigned char>(0x80u | (cp & 0x3Fu));
      o += 4;
      continue;
    }
    // A lone surrogate.
    lossy = true;
    o[0] = 0xEF;
    o[1] = 0xBF;
    o[2] = 0xBD;
    o += 3;
  }
  if (i < n) {
    lossy = true;
    o[0] = 0xEF;
    o[1] = 0xBF;
    o[2] = 0xBD;
    o += 3;
  }
  return static_cast<std::size_t>(o - out);
}

}  // namespace rozazar::encoding
