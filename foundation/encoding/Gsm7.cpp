#include "foundation/encoding/Gsm7.h"

#include <algorithm>

#include "foundation/encoding/GsmData.h"

namespace rozazar::encoding {

namespace {

constexpr std::uint16_t kEscape = 0x1B;
constexpr std::uint16_t kUndefined = 0xFFFD;
constexpr std::uint32_t kReplacement = 0xFFFDu;
constexpr unsigned char kQuestionMark = 0x3F;
constexpr std::size_t kSeptets = 128;

// A character and its code: a septet, or 0x1B00 | septet for one behind
// the escape.
struct CodeOf {
  std::uint16_t codePoint;
  std::uint16_t code;
};

bool byCodePoint(const CodeOf& a, const CodeOf& b) noexcept { return a.codePoint < b.codePoint; }

}  // namespace

struct GsmTables {
  const GsmPageData* data = nullptr;
  std::uint16_t locking[kSeptets] = {};
  std::uint16_t shift[kSeptets] = {};
  // Every character of the page, sorted by code point; where a character
  // has several codes the locking table's comes first.
  CodeOf codes[2 * kSeptets] = {};
  std::size_t codeCount = 0;
};

namespace {

void build(const GsmPageData& data, GsmTables& tables) noexcept {
  tables.data = &data;
  std::copy(gsmDefaultAlphabet(), gsmDefaultAlphabet() + kSeptets, tables.locking);
  std::copy(gsmDefaultExtension(), gsmDefaultExtension() + kSeptets, tables.shift);
  for (std::size_t k = 0; k < data.changeCount; ++k) {
    const std::uint16_t code = static_cast<std::uint16_t>(data.changes[k] >> 16);
    const std::uint16_t codePoint = static_cast<std::uint16_t>(data.changes[k]);
    std::uint16_t* table = (code >> 8) == kEscape ? tables.shift : tables.locking;
    table[code & 0x7Fu] = codePoint;
  }
  std::size_t count = 0;
  for (std::uint16_t septet = 0; septet < kSeptets; ++septet) {
    const std::uint16_t codePoint = tables.locking[septet];
    if (septet != kEscape) tables.codes[count++] = {codePoint, septet};
  }
  for (std::uint16_t septet = 0; septet < kSeptets; ++septet) {
    const std::uint16_t codePoint = tables.shift[septet];
    if (codePoint != kUndefined)
      tables.codes[count++] = {codePoint, static_cast<std::uint16_t>((kEscape << 8) | septet)};
  }
  // Stable: the locking table's code stays ahead of a shifted one.
  std::stable_sort(tables.codes, tables.codes + count, byCodePoint);
  tables.codeCount = count;
}

// The code of cp in the page, the locking table's first; 0xFFFF if none.
std::uint16_t codeOf(const GsmTables& tables, std::uint32_t cp) noexcept {
  if (cp > 0xFFFFu) return 0xFFFF;
  const CodeOf key{static_cast<std::uint16_t>(cp), 0};
  const CodeOf* end = tables.codes + tables.codeCount;
  const CodeOf* found = std::lower_bound(tables.codes, end, key, byCodePoint);
  return found != end && found->codePoint == cp ? found->code : 0xFFFF;
}

// The septet standing in for cp on a page with look-alike letters.
bool fallbackOf(const GsmPageData& data, std::uint32_t cp, std::uint16_t& code) noexcept {
  const std::uint32_t* end = data.fallbacks + data.fallbackCount;
  const std::uint32_t* found = std::lower_bound(data.fallbacks, end, cp << 16);
  if (found == end || (*found >> 16) != cp) return false;
  code = static_cast<std::uint16_t>(*found & 0x7Fu);
  return true;
}

}  // namespace

const GsmTables* gsmTables(int codePage) noexcept {
  // Five small pages, built together the first time any is asked for.
  struct AllPages {
    GsmTables pages[5];
    std::size_t count = 0;
    AllPages() noexcept {
      for (int page = 55000; page <= 55004; ++page) {
        const GsmPageData* data = findGsmPage(page);
        if (data != nullptr && count < 5) build(*data, pages[count++]);
      }
    }
  };
  static const AllPages all;
  for (std::size_t k = 0; k < all.count; ++k) {
    if (all.pages[k].data->codePage == codePage) return &all.pages[k];
  }
  return nullptr;
}

std::size_t GsmDecoder::decode(const unsigned char* data, std::size_t n, std::size_t& pos,
                               std::uint32_t* out, std::size_t capacity,
                               bool& lossy) const noexcept {
  std::size_t count = 0;
  while (count < capacity && pos < n) {
    const unsigned char b = data[pos++];
    if (b >= kSeptets) {
      lossy = true;
      out[count++] = kReplacement;
      continue;
    }
    if (b != kEscape) {
      out[count++] = m_tables.locking[b];
      continue;
    }
    if (pos == n || data[pos] == kEscape || data[pos] >= kSeptets) {
      // A lone escape, or two in a row (reserved for a further table),
      // shows as a space.
      lossy = true;
      out[count++] = ' ';
      if (pos < n && data[pos] == kEscape) ++pos;
      continue;
    }
    const unsigned char septet = data[pos++];
    const std::uint16_t shifted = m_tables.shift[septet];
    if (shifted != kUndefined) {
      out[count++] = shifted;
    } else {
      lossy = true;
      out[count++] = m_tables.locking[septet];
    }
  }
  return count;
}

bool GsmEncoder::encode(const std::uint32_t* cps, std::size_t count, ByteSink& sink,
                        bool& lossy) const noexcept {
  for (std::size_t i = 0; i < count; ++i) {
    std::uint16_t code = codeOf(m_tables, cps[i]);
    if (code == 0xFFFF) {
      lossy = true;
      if (!fallbackOf(*m_tables.data, cps[i], code)) code = kQuestionMark;
    }
    unsigned char* at = sink.reserve(2);
    if (at == nullptr) return false;
    if (code >> 8) {
      at[0] = kEscape;
      at[1] = static_cast<unsigned char>(code & 0x7Fu);
      sink.commit(2);
    } else {
      at[0] = static_cast<unsigned char>(code);
      sink.commit(1);
    }
  }
  return true;
}

}  // namespace rozazar::encoding
