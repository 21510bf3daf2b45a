#include "foundation/encoding/TableCodec.h"

namespace rozazar::encoding {

namespace {

constexpr std::uint32_t kReplacement = 0xFFFDu;
// What the decoding steps return for an undefined sequence; U+FFFD itself
// is a character of GB18030.
constexpr std::uint32_t kInvalid = 0xFFFFFFFFu;
// GB18030's four-byte sequences count from 81 30 81 30; the BMP part ends
// before 84 31 A5 30 and the supplementary planes begin at 90 30 81 30.
constexpr std::uint32_t kFourByteBmpEnd = 39420u;
constexpr std::uint32_t kFourByteSupplementaryStart = 189000u;

bool isDigit(unsigned char b) noexcept { return b >= 0x30 && b <= 0x39; }
bool isFourByteThird(unsigned char b) noexcept { return b >= 0x81 && b <= 0xFE; }

}  // namespace

std::size_t writeTableCode(std::uint16_t code, unsigned char* out) noexcept {
  if (code < 0x100u) {
    out[0] = static_cast<unsigned char>(code);
    return 1;
  }
  if (code >= 0x8000u) {
    out[0] = static_cast<unsigned char>(code >> 8);
    out[1] = static_cast<unsigned char>(code);
    return 2;
  }
  out[0] = 0x8F;
  out[1] = static_cast<unsigned char>((code >> 8) | 0x80u);
  out[2] = static_cast<unsigned char>(code | 0x80u);
  return 3;
}

std::size_t TableDecoder::decode(const unsigned char* data, std::size_t n, std::size_t& pos,
                                 std::uint32_t* out, std::size_t capacity,
                                 bool& lossy) const noexcept {
  std::size_t count = 0;
  const bool folds = m_tables.data->foldCount != 0;
  if (!m_tables.hasLeads && !folds) {
    // One lookup per byte; an undefined byte reads as U+FFFD already.
    const std::size_t limit = (n - pos) < capacity ? (n - pos) : capacity;
    const unsigned char* p = data + pos;
    bool undefined = false;
    for (; count < limit; ++count) {
      const std::uint16_t cp = m_tables.singles[p[count]];
      undefined |= cp == CodePageTables::kUndefined;
      out[count] = cp;
    }
    pos += count;
    if (undefined) lossy = true;
    return count;
  }
  while (count < capacity && pos < n) {
    unsigned char b = data[pos];
    if (folds && b >= 0x80 && m_tables.fold[b - 0x80] != 0) b = m_tables.fold[b - 0x80];
    std::uint32_t cp = m_tables.singles[b];
    if (cp == CodePageTables::kLead) {
      cp = decodeLead(data, n, pos);
    } else {
      if (cp == CodePageTables::kUndefined) cp = kInvalid;
      ++pos;
    }
    if (cp == kInvalid) {
      lossy = true;
      cp = kReplacement;
    }
    out[count++] = cp;
  }
  return count;
}

// A lead byte at data[pos]: a pair, a three-byte EUC-JP sequence or a
// four-byte GB18030 sequence. An undefined sequence gives kInvalid; a trail
// byte below 0x40 (never a trail in these pages) is left for the next
// character, so that line ends and delimiters are not swallowed.
std::uint32_t TableDecoder::decodeLead(const unsigned char* data, std::size_t n,
                                       std::size_t& pos) const noexcept {
  const unsigned char lead = data[pos];
  if (pos + 1 >= n) {
    ++pos;
    return kInvalid;
  }
  const unsigned char trail = data[pos + 1];
  if (m_gb18030 && isDigit(trail)) {
    if (pos + 3 < n && isFourByteThird(data[pos + 2]) && isDigit(data[pos + 3])) {
      const std::uint32_t cp = decodeFourByte(data + pos);
      pos += 4;
      return cp;
    }
    ++pos;
    return kInvalid;
  }
  if (lead == 0x8F && m_tables.triples != nullptr) {
    if (pos + 2 < n) {
      const std::uint16_t cp = m_tables.triples[(trail << 8) | data[pos + 2]];
      if (cp != CodePageTables::kUndefined) {
        pos += 3;
        return cp;
      }
    }
    ++pos;
    return kInvalid;
  }
  const std::uint16_t cp =
      m_tables.pairs != nullptr ? m_tables.pairs[(lead << 8) | trail] : CodePageTables::kUndefined;
  if (cp != CodePageTables::kUndefined) {
    pos += 2;
    return cp;
  }
  pos += trail < 0x40 ? 1 : 2;
  return kInvalid;
}

std::uint32_t TableDecoder::decodeFourByte(const unsigned char* p) const noexcept {
  const std::uint32_t linear =
      ((static_cast<std::uint32_t>(p[0] - 0x81) * 10 + (p[1] - 0x30)) * 126 + (p[2] - 0x81)) * 10 +
      (p[3] - 0x30);
  if (linear >= kFourByteSupplementaryStart) {
    const std::uint32_t cp = 0x10000u + (linear - kFourByteSupplementaryStart);
    return cp <= 0x10FFFFu ? cp : kInvalid;
  }
  if (linear >= kFourByteBmpEnd) return kInvalid;
  // The last range that starts at or before linear.
  const std::uint16_t* ranges = m_tables.data->fourByte;
  std::size_t low = 0;
  std::size_t high = m_tables.data->fourByteCount;
  while (low < high) {
    const std::size_t middle = low + (high - low) / 2;
    if (ranges[3 * middle + 2] <= linear) {
      low = middle + 1;
    } else {
      high = middle;
    }
  }
  if (low == 0) return kInvalid;
  const std::uint16_t* range = ranges + 3 * (low - 1);
  const std::uint32_t offset = linear - range[2];
  return offset < range[1] ? range[0] + offset : kInvalid;
}

bool TableEncoder::encodeFourByte(std::uint32_t cp, unsigned char* out) const noexcept {
  std::uint32_t linear = 0;
  if (cp >= 0x10000u && cp <= 0x10FFFFu) {
    linear = kFourByteSupplementaryStart + (cp - 0x10000u);
  } else if (cp < 0x10000u && (cp < 0xD800u || cp > 0xDFFFu)) {
    // The last range that starts at or before cp.
    const std::uint16_t* ranges = m_tables.data->fourByte;
    std::size_t low = 0;
    std::size_t high = m_tables.data->fourByteCount;
    while (low < high) {
      const std::size_t middle = low + (high - low) / 2;
      if (ranges[3 * middle] <= cp) {
        low = middle + 1;
      } else {
        high = middle;
      }
    }
    if (low == 0) return false;
    const std::uint16_t* range = ranges + 3 * (low - 1);
    if (cp - range[0] >= range[1]) return false;
    linear = range[2] + (cp - range[0]);
  } else {
    return false;
  }
  out[3] = static_cast<unsigned char>(0x30 + linear % 10);
  linear /= 10;
  out[2] = static_cast<unsigned char>(0x81 + linear % 126);
  linear /= 126;
  out[1] = static_cast<unsigned char>(0x30 + linear % 10);
  out[0] = static_cast<unsigned char>(0x81 + linear / 10);
  return true;
}

std::size_t TableEncoder::encodeOne(std::uint32_t cp, unsigned char* out,
                                    bool& lossy) const noexcept {
  const std::uint16_t code = codeOf(cp);
  if (code != 0 || cp == 0) return writeTableCode(code, out);
  if (m_gb18030 && encodeFourByte(cp, out)) return 4;
  lossy = true;
  return writeTableCode(m_tables.replacement, out);
}

bool TableEncoder::encode(const std::uint32_t* cps, std::size_t count, ByteSink& sink,
                          bool& lossy) const noexcept {
  constexpr std::size_t kStep = ByteSink::kMaxReserve / 4;
  std::size_t i = 0;
  while (i < count) {
    const std::size_t step = (count - i) < kStep ? (count - i) : kStep;
    unsigned char* at = sink.reserve(4 * step);
    if (at == nullptr) return false;
    std::size_t written = 0;
    for (std::size_t j = 0; j < step; ++j) written += encodeOne(cps[i + j], at + written, lossy);
    sink.commit(written);
    i += step;
  }
  return true;
}

}  // namespace rozazar::encoding
