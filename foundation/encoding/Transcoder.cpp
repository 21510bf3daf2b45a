#include "foundation/encoding/Transcoder.h"

#include <cstdint>
#include <cstring>

#include "foundation/encoding/CodePageTables.h"
#include "foundation/encoding/Gsm7.h"
#include "foundation/encoding/Iscii.h"
#include "foundation/encoding/Iso2022.h"
#include "foundation/encoding/TableCodec.h"
#include "foundation/encoding/Utf7.h"
#include "foundation/text/Utf8Codec.h"

namespace rozazar::encoding {

namespace {

constexpr std::uint32_t kReplacement = 0xFFFDu;

enum class Kind {
  Utf8,
  Utf16Le,
  Utf16Be,
  Utf32Le,
  Utf32Be,
  Utf7,
  Ascii,
  Latin1,
  Table,
  SevenBit,
  Iscii,
  Gsm
};

struct CodePage {
  int number = 0;
  Kind kind = Kind::Utf8;
  // Table and SevenBit: the tables the conversion runs on.
  const CodePageTables* tables = nullptr;
  bool gb18030 = false;
  SevenBitScheme scheme = SevenBitScheme::Iso2022Jp;
  // ISO-2022-JP: the EUC-JP tables for JIS X 0212 text, when available.
  const CodePageTables* jisX0212 = nullptr;
  // Gsm: the SMS page's tables.
  const GsmTables* gsm = nullptr;
};

// The table a stateful 7-bit encoding rests on, or 0 for another page.
int sevenBitBase(int codePage, SevenBitScheme& scheme) noexcept {
  switch (codePage) {
    case 50220:
    case 50221:
    case 50222:
      scheme = SevenBitScheme::Iso2022Jp;
      return 932;
    case 50225:
      scheme = SevenBitScheme::Iso2022Kr;
      return 949;
    case 50227:
      scheme = SevenBitScheme::Iso2022Cn;
      return 20936;
    case 52936:
      scheme = SevenBitScheme::Hz;
      return 20936;
    default:
      return 0;
  }
}

// With load false only tells whether the page is supported, without
// unpacking its tables.
bool classify(int codePage, CodePage& out, bool load) noexcept {
  out.number = codePage;
  switch (codePage) {
    case 65001:
      out.kind = Kind::Utf8;
      return true;
    case 1200:
      out.kind = Kind::Utf16Le;
      return true;
    case 1201:
      out.kind = Kind::Utf16Be;
      return true;
    case 12000:
    case 65005:
      out.kind = Kind::Utf32Le;
      return true;
    case 12001:
    case 65006:
      out.kind = Kind::Utf32Be;
      return true;
    case 65000:
      out.kind = Kind::Utf7;
      return true;
    case 20127:
      out.kind = Kind::Ascii;
      return true;
    case 28591:
      out.kind = Kind::Latin1;
      return true;
    default:
      break;
  }
  out.gsm = gsmTables(codePage);
  if (out.gsm != nullptr) {
    out.kind = Kind::Gsm;
    return true;
  }
  if (isIsciiPage(codePage)) {
    out.kind = Kind::Iscii;
    return true;
  }
  int tablePage = sevenBitBase(codePage, out.scheme);
  out.kind = tablePage != 0 ? Kind::SevenBit : Kind::Table;
  if (tablePage == 0) tablePage = codePage;
  out.gb18030 = codePage == 54936;
  if (!load) return hasCodePageData(tablePage);
  out.tables = codePageTables(tablePage);
  if (out.kind == Kind::SevenBit && out.scheme == SevenBitScheme::Iso2022Jp)
    out.jisX0212 = codePageTables(20932);
  return out.tables != nullptr;
}

bool isHighSurrogate(std::uint32_t u) noexcept { return u >= 0xD800u && u <= 0xDBFFu; }
bool isLowSurrogate(std::uint32_t u) noexcept { return u >= 0xDC00u && u <= 0xDFFFu; }
bool isSurrogate(std::uint32_t u) noexcept { return u >= 0xD800u && u <= 0xDFFFu; }

// Decodes the source bytes into code points, a block at a time. Lone UTF-16
// surrogates pass through as their own values; the encoders decide.
class Source {
 public:
  Source(const CodePage& codePage, const unsigned char* data, std::size_t n) noexcept
      : m_codePage(codePage),
        m_data(data),
        m_size(n),
        m_utf7(data, n),
        m_sevenBit(codePage.scheme, codePage.tables, codePage.jisX0212),
        m_iscii(codePage.number) {}

  // Fills out with up to capacity code points; 0 at the end of the input.
  std::size_t decode(std::uint32_t* out, std::size_t capacity) noexcept {
    switch (m_codePage.kind) {
      case Kind::Utf8:
        return decodeUtf8(out, capacity);
      case Kind::Utf16Le:
      case Kind::Utf16Be:
        return decodeUtf16(out, capacity, m_codePage.kind == Kind::Utf16Be);
      case Kind::Utf32Le:
      case Kind::Utf32Be:
        return decodeUtf32(out, capacity, m_codePage.kind == Kind::Utf32Be);
      case Kind::Utf7:
        return decodeUtf7(out, capacity);
      case Kind::Table:
        return TableDecoder(*m_codePage.tables, m_codePage.gb18030)
            .decode(m_data, m_size, m_pos, out, capacity, m_lossy);
      case Kind::SevenBit:
        return m_sevenBit.decode(m_data, m_size, m_pos, out, capacity, m_lossy);
      case Kind::Gsm:
        return GsmDecoder(*m_codePage.gsm).decode(m_data, m_size, m_pos, out, capacity, m_lossy);
      case Kind::Iscii:
        return m_iscii.decode(m_data, m_size, m_pos, out, capacity, m_lossy);
      default:
        return decodeAsciiOrLatin1(out, capacity);
    }
  }
  bool lossy() const noexcept { return m_lossy || m_utf7.lossy(); }

 private:
  std::size_t decodeUtf8(std::uint32_t* out, std::size_t capacity) noexcept {
    std::size_t count = 0;
    while (count < capacity && m_pos < m_size) {
      const unsigned char lead = m_data[m_pos];
      if (lead < 0x80) {
        // A run of ASCII, eight bytes at a time while it lasts.
        const std::size_t limit =
            (m_size - m_pos) < (capacity - count) ? (m_size - m_pos) : (capacity - count);
        const unsigned char* p = m_data + m_pos;
        std::size_t k = 0;
        while (k + 8 <= limit) {
          std::uint64_t word;
          std::memcpy(&word, p + k, sizeof word);
          if ((word & 0x8080808080808080ull) != 0) break;
          for (int j = 0; j < 8; ++j) out[count + k + j] = p[k + j];
          k += 8;
        }
        while (k < limit && p[k] < 0x80) {
          out[count + k] = p[k];
          ++k;
        }
        m_pos += k;
        count += k;
        continue;
      }
      const std::size_t remaining = m_size - m_pos;
      const int available = remaining > 4 ? 4 : static_cast<int>(remaining);
      const int length = utf8SequenceLength(m_data + m_pos, available);
      const int needed = 1 + utf8ContinuationCount(lead);
      if (length >= 2 && length == needed) {
        const unsigned char* p = m_data + m_pos;
        std::uint32_t cp;
        if (length == 2) {
          cp = ((p[0] & 0x1Fu) << 6) | (p[1] & 0x3Fu);
        } else if (length == 3) {
          cp = ((p[0] & 0x0Fu) << 12) | ((p[1] & 0x3Fu) << 6) | (p[2] & 0x3Fu);
        } else {
          cp = ((p[0] & 0x07u) << 18) | ((p[1] & 0x3Fu) << 12) | ((p[2] & 0x3Fu) << 6) |
               (p[3] & 0x3Fu);
        }
        out[count++] = cp;
        m_pos += static_cast<std::size_t>(length);
        continue;
      }
      // Ill-formed: one U+FFFD per bad byte, or one for a sequence cut off
      // by the end of the data.
      m_lossy = true;
      out[count++] = kReplacement;
      if (length == available && available < needed && lead >= 0xC2 && lead <= 0xF4 &&
          cutOffSequence(m_pos + 1)) {
        m_pos = m_size;
      } else {
        ++m_pos;
      }
    }
    return count;
  }

  // True when every byte from index to the end is a continuation byte.
  bool cutOffSequence(std::size_t index) const noexcept {
    for (; index < m_size; ++index) {
      if ((m_data[index] & 0xC0u) != 0x80u) return false;
    }
    return true;
  }

  std::uint32_t unit16At(std::size_t index, bool bigEndian) const noexcept {
    const unsigned char a = m_data[index];
    const unsigned char b = m_data[index + 1];
    return bigEndian ? (static_cast<std::uint32_t>(a) << 8) | b
                     : (static_cast<std::uint32_t>(b) << 8) | a;
  }

  std::size_t decodeUtf16(std::uint32_t* out, std::size_t capacity, bool bigEndian) noexcept {
    std::size_t count = 0;
    while (count < capacity && m_pos + 1 < m_size) {
      std::uint32_t unit = unit16At(m_pos, bigEndian);
      m_pos += 2;
      if (isHighSurrogate(unit) && m_pos + 1 < m_size) {
        const std::uint32_t next = unit16At(m_pos, bigEndian);
        if (isLowSurrogate(next)) {
          unit = 0x10000u + ((unit - 0xD800u) << 10) + (next - 0xDC00u);
          m_pos += 2;
        }
      }
      out[count++] = unit;
    }
    if (count < capacity && m_pos < m_size && m_pos + 1 == m_size) {
      // An odd byte at the end cannot be a unit.
      m_lossy = true;
      out[count++] = kReplacement;
      m_pos = m_size;
    }
    return count;
  }

  std::size_t decodeUtf32(std::uint32_t* out, std::size_t capacity, bool bigEndian) noexcept {
    std::size_t count = 0;
    while (count < capacity && m_pos + 3 < m_size) {
      const unsigned char* p = m_data + m_pos;
      std::uint32_t cp = bigEndian ? (static_cast<std::uint32_t>(p[0]) << 24) |
                                         (static_cast<std::uint32_t>(p[1]) << 16) |
                                         (static_cast<std::uint32_t>(p[2]) << 8) | p[3]
                                   : (static_cast<std::uint32_t>(p[3]) << 24) |
                                         (static_cast<std::uint32_t>(p[2]) << 16) |
                                         (static_cast<std::uint32_t>(p[1]) << 8) | p[0];
      m_pos += 4;
      if (cp > 0x10FFFFu || isSurrogate(cp)) {
        m_lossy = true;
        cp = kReplacement;
      }
      out[count++] = cp;
    }
    if (count < capacity && m_pos < m_size && m_size - m_pos < 4) {
      m_lossy = true;
      out[count++] = kReplacement;
      m_pos = m_size;
    }
    return count;
  }

  std::size_t decodeUtf7(std::uint32_t* out, std::size_t capacity) noexcept {
    std::size_t count = 0;
    while (count < capacity) {
      std::uint16_t unit = 0;
      if (m_hasPending) {
        unit = m_pending;
        m_hasPending = false;
      } else if (!m_utf7.nextUnit(unit)) {
        break;
      }
      std::uint32_t cp = unit;
      if (isHighSurrogate(unit)) {
        std::uint16_t next = 0;
        if (m_utf7.nextUnit(next)) {
          if (isLowSurrogate(next)) {
            cp = 0x10000u + ((cp - 0xD800u) << 10) + (next - 0xDC00u);
          } else {
            m_pending = next;
            m_hasPending = true;
          }
        }
      }
      out[count++] = cp;
    }
    return count;
  }

  std::size_t decodeAsciiOrLatin1(std::uint32_t* out, std::size_t capacity) noexcept {
    std::size_t count = 0;
    const std::size_t limit = (m_size - m_pos) < capacity ? (m_size - m_pos) : capacity;
    const unsigned char* p = m_data + m_pos;
    for (; count < limit; ++count) {
      const unsigned char b = p[count];
      std::uint32_t cp = b;
      if (b >= 0x80 && m_codePage.kind == Kind::Ascii) {
        cp = kReplacement;
        m_lossy = true;
      }
      out[count] = cp;
    }
    m_pos += count;
    return count;
  }

  CodePage m_codePage;
  const unsigned char* m_data;
  std::size_t m_size;
  std::size_t m_pos = 0;
  bool m_lossy = false;
  Utf7Decoder m_utf7;
  SevenBitDecoder m_sevenBit;
  IsciiDecoder m_iscii;
  std::uint16_t m_pending = 0;
  bool m_hasPending = false;
};

// Writes code points in the target code page.
class Target {
 public:
  Target(const CodePage& codePage, ByteSink& sink) noexcept
      : m_codePage(codePage),
        m_sink(sink),
        m_sevenBit(codePage.scheme, codePage.number, codePage.tables),
        m_iscii(codePage.number) {}

  bool encode(const std::uint32_t* cps, std::size_t count) noexcept {
    switch (m_codePage.kind) {
      case Kind::Utf8:
        return encodeUtf8(cps, count);
      case Kind::Utf16Le:
      case Kind::Utf16Be:
        return encodeUtf16(cps, count, m_codePage.kind == Kind::Utf16Be);
      case Kind::Utf32Le:
      case Kind::Utf32Be:
        return encodeUtf32(cps, count, m_codePage.kind == Kind::Utf32Be);
      case Kind::Utf7:
        return encodeUtf7(cps, count);
      case Kind::Table:
        return TableEncoder(*m_codePage.tables, m_codePage.gb18030)
            .encode(cps, count, m_sink, m_lossy);
      case Kind::SevenBit:
        return m_sevenBit.encode(cps, count, m_sink, m_lossy);
      case Kind::Gsm:
        return GsmEncoder(*m_codePage.gsm).encode(cps, count, m_sink, m_lossy);
      case Kind::Iscii:
        return m_iscii.encode(cps, count, m_sink, m_lossy);
      default:
        return encodeAsciiOrLatin1(cps, count);
    }
  }
  bool finish() noexcept {
    if (m_codePage.kind == Kind::Utf7) return m_utf7.finish(m_sink);
    if (m_codePage.kind == Kind::SevenBit) return m_sevenBit.finish(m_sink);
    if (m_codePage.kind == Kind::Iscii) return m_iscii.finish(m_sink);
    return !m_sink.failed();
  }
  bool lossy() const noexcept { return m_lossy; }

 private:
  // Lone surrogates have no place in UTF-8 or UTF-32.
  std::uint32_t scalar(std::uint32_t cp) noexcept {
    if (isSurrogate(cp)) {
      m_lossy = true;
      return kReplacement;
    }
    return cp;
  }

  // Code points go out sixteen at a time, the most one reserve can hold
  // at four bytes each.
  static constexpr std::size_t kChunk = ByteSink::kMaxReserve / 4;

  bool encodeUtf8(const std::uint32_t* cps, std::size_t count) noexcept {
    for (std::size_t i = 0; i < count; i += kChunk) {
      const std::size_t end = (count - i) < kChunk ? count : i + kChunk;
      unsigned char* at = m_sink.reserve(ByteSink::kMaxReserve);
      if (at == nullptr) return false;
      std::size_t written = 0;
      for (std::size_t k = i; k < end; ++k) {
        const std::uint32_t cp = cps[k];
        if (cp < 0x80u) {
          at[written++] = static_cast<unsigned char>(cp);
          continue;
        }
        int length = 0;
        utf8EncodeCodePoint(scalar(cp), at + written, length);
        written += static_cast<std::size_t>(length);
      }
      m_sink.commit(written);
    }
    return true;
  }

  static void put16(unsigned char* at, std::uint32_t unit, bool bigEndian) noexcept {
    at[bigEndian ? 1 : 0] = static_cast<unsigned char>(unit);
    at[bigEndian ? 0 : 1] = static_cast<unsigned char>(unit >> 8);
  }

  bool encodeUtf16(const std::uint32_t* cps, std::size_t count, bool bigEndian) noexcept {
    for (std::size_t i = 0; i < count; i += kChunk) {
      const std::size_t end = (count - i) < kChunk ? count : i + kChunk;
      unsigned char* at = m_sink.reserve(ByteSink::kMaxReserve);
      if (at == nullptr) return false;
      std::size_t written = 0;
      for (std::size_t k = i; k < end; ++k) {
        const std::uint32_t cp = cps[k];
        if (cp < 0x10000u) {
          put16(at + written, cp, bigEndian);
          written += 2;
        } else {
          const std::uint32_t offset = cp - 0x10000u;
          put16(at + written, 0xD800u + (offset >> 10), bigEndian);
          put16(at + written + 2, 0xDC00u + (offset & 0x3FFu), bigEndian);
          written += 4;
        }
      }
      m_sink.commit(written);
    }
    return true;
  }

  bool encodeUtf32(const std::uint32_t* cps, std::size_t count, bool bigEndian) noexcept {
    for (std::size_t i = 0; i < count; ++i) {
      unsigned char* at = m_sink.reserve(4);
      if (at == nullptr) return false;
      const std::uint32_t cp = scalar(cps[i]);
      for (int j = 0; j < 4; ++j) {
        at[bigEndian ? 3 - j : j] = static_cast<unsigned char>(cp >> (8 * j));
      }
      m_sink.commit(4);
    }
    return true;
  }

  bool encodeUtf7(const std::uint32_t* cps, std::size_t count) noexcept {
    for (std::size_t i = 0; i < count; ++i) {
      const std::uint32_t cp = cps[i];
      if (cp < 0x10000u) {
        if (!m_utf7.encodeUnit(static_cast<std::uint16_t>(cp), m_sink)) return false;
      } else {
        const std::uint32_t offset = cp - 0x10000u;
        if (!m_utf7.encodeUnit(static_cast<std::uint16_t>(0xD800u + (offset >> 10)), m_sink) ||
            !m_utf7.encodeUnit(static_cast<std::uint16_t>(0xDC00u + (offset & 0x3FFu)), m_sink))
          return false;
      }
    }
    return true;
  }

  unsigned char asciiOrLatin1(std::uint32_t cp) noexcept {
    if (cp < 0x80u) return static_cast<unsigned char>(cp);
    if (m_codePage.kind == Kind::Latin1 && cp <= 0xFFu) return static_cast<unsigned char>(cp);
    m_lossy = true;
    return '?';
  }

  bool encodeAsciiOrLatin1(const std::uint32_t* cps, std::size_t count) noexcept {
    std::size_t i = 0;
    while (i < count) {
      const std::size_t step =
          (count - i) < ByteSink::kMaxReserve ? (count - i) : ByteSink::kMaxReserve;
      unsigned char* at = m_sink.reserve(step);
      if (at == nullptr) return false;
      for (std::size_t j = 0; j < step; ++j) at[j] = asciiOrLatin1(cps[i + j]);
      m_sink.commit(step);
      i += step;
    }
    return true;
  }

  CodePage m_codePage;
  ByteSink& m_sink;
  Utf7Encoder m_utf7;
  SevenBitEncoder m_sevenBit;
  IsciiEncoder m_iscii;
  bool m_lossy = false;
};

bool swapUtf16(const unsigned char* data, std::size_t n, ByteSink& sink) noexcept {
  std::size_t i = 0;
  while (i + 1 < n) {
    std::size_t step = (n - i) & ~static_cast<std::size_t>(1);
    if (step > ByteSink::kMaxReserve) step = ByteSink::kMaxReserve;
    unsigned char* at = sink.reserve(step);
    if (at == nullptr) return false;
    for (std::size_t j = 0; j < step; j += 2) {
      at[j] = data[i + j + 1];
      at[j + 1] = data[i + j];
    }
    sink.commit(step);
    i += step;
  }
  // A trailing odd byte stays as it is.
  if (i < n && !sink.putByte(data[i])) return false;
  return sink.flush();
}

}  // namespace

bool isSupportedCodePage(int codePage) noexcept {
  CodePage info;
  return classify(codePage, info, false);
}

bool transcode(int from, int to, const unsigned char* data, std::size_t n, ByteSink& sink,
               bool& lossy) noexcept {
  CodePage source;
  CodePage target;
  if (!classify(from, source, true) || !classify(to, target, true)) return false;
  if (data == nullptr || n == 0) return true;
  if (from == to) return sink.put(data, n) && sink.flush();
  const bool sourceUtf16 = source.kind == Kind::Utf16Le || source.kind == Kind::Utf16Be;
  const bool targetUtf16 = target.kind == Kind::Utf16Le || target.kind == Kind::Utf16Be;
  if (sourceUtf16 && targetUtf16) return swapUtf16(data, n, sink);

  Source decoder(source, data, n);
  Target encoder(target, sink);
  std::uint32_t block[2048];
  for (;;) {
    const std::size_t count = decoder.decode(block, sizeof block / sizeof block[0]);
    if (count == 0) break;
    if (!encoder.encode(block, count)) return false;
  }
  if (!encoder.finish()) return false;
  if (decoder.lossy() || encoder.lossy()) lossy = true;
  return sink.flush();
}

}  // namespace rozazar::encoding
