#include "foundation/encoding/Iscii.h"

namespace rozazar::encoding {

namespace {

constexpr std::uint32_t kReplacement = 0xFFFDu;
constexpr std::uint32_t kZwnj = 0x200Cu;
constexpr std::uint32_t kZwj = 0x200Du;
constexpr std::uint32_t kDanda = 0x0964u;
constexpr std::uint32_t kDoubleDanda = 0x0965u;
constexpr std::uint32_t kAnudatta = 0x0952u;
constexpr std::uint32_t kAbbreviation = 0x0970u;
constexpr std::uint32_t kAssameseRa = 0x09F0u;
constexpr std::uint32_t kAssameseWa = 0x09F1u;
constexpr std::uint32_t kViramaOffset = 0x4Du;
constexpr std::uint32_t kNuktaOffset = 0x3Cu;

constexpr unsigned char kInvByte = 0xD9;  // the invisible consonant
constexpr unsigned char kHalantByte = 0xE8;
constexpr unsigned char kNuktaByte = 0xE9;
constexpr unsigned char kDandaByte = 0xEA;
constexpr unsigned char kAtrByte = 0xEF;
constexpr unsigned char kExtByte = 0xF0;
constexpr unsigned char kRaByte = 0xCF;
constexpr unsigned char kVaByte = 0xD4;
// What follows ATR: display attributes (skipped), the page's own script,
// and the scripts in page order.
constexpr unsigned char kFirstDisplayAttribute = 0x21;
constexpr unsigned char kLastDisplayAttribute = 0x3F;
constexpr unsigned char kDefaultScript = 0x40;
constexpr unsigned char kFirstScriptCode = 0x42;
// What follows EXT: the extended codes; of them only the Vedic anudatta and
// the abbreviation sign have a Unicode character.
constexpr unsigned char kFirstExtended = 0xA1;
constexpr unsigned char kLastExtended = 0xEE;
constexpr unsigned char kAnudattaCode = 0xB8;
constexpr unsigned char kAbbreviationCode = 0xBF;

// Scripts in the order of their ATR codes (0x42 + index) and of the pages
// (57002 + index).
enum Script {
  kDevanagari,
  kBengali,
  kTamil,
  kTelugu,
  kAssamese,
  kOriya,
  kKannada,
  kMalayalam,
  kGujarati,
  kPunjabi
};
constexpr int kScriptCount = 10;

// The Unicode blocks, one bit each in the masks below.
enum Block : std::uint16_t {
  D = 1 << 0,  // Devanagari U+0900
  B = 1 << 1,  // Bengali U+0980, also for Assamese
  G = 1 << 2,  // Gurmukhi U+0A00
  J = 1 << 3,  // Gujarati U+0A80
  O = 1 << 4,  // Oriya U+0B00
  T = 1 << 5,  // Tamil U+0B80
  L = 1 << 6,  // Telugu U+0C00
  K = 1 << 7,  // Kannada U+0C80
  M = 1 << 8,  // Malayalam U+0D00
};
constexpr std::uint16_t kAll = D | B | G | J | O | T | L | K | M;
constexpr std::uint32_t kFirstIndic = 0x0900u;
constexpr std::uint32_t kEndIndic = 0x0D80u;

struct ScriptBlock {
  std::uint32_t base;
  std::uint16_t block;
};
constexpr ScriptBlock kScriptBlocks[kScriptCount] = {
    {0x0900, D}, {0x0980, B}, {0x0B80, T}, {0x0C00, L}, {0x0980, B},
    {0x0B00, O}, {0x0C80, K}, {0x0D00, M}, {0x0A80, J}, {0x0A00, G}};

// The bytes 0xA1-0xFA: the letter's offset inside each Unicode block and
// the blocks that hold it. Offset 0 marks the bytes that are no letter of
// a block: INV, the danda, ATR, EXT and the unassigned 0xEB-0xEE.
//
// The offsets were checked byte by byte against a second public table, the
// ISCII converter of a general-purpose charset library: all 90 agree, and so
// do the nukta pairs below, INV as the zero width joiner and the two
// extended codes, as do the ATR codes (0x40 default, 0x42-0x4B scripts,
// display attributes below 0x40). Its per-script validity follows an older
// repertoire and leaves out letters the blocks have gained since (among them
// the avagraha outside Devanagari, the nukta in Gujarati, Telugu and
// Kannada, Tamil OM, RRA in Telugu and Kannada, Malayalam NNNA and the
// vocalic L and LL signs outside Devanagari and Bengali); here a position
// counts wherever the block has the same letter. Positions whose
// offset lands on a different character were left out by hand: the Telugu
// and Kannada letters at 0x58-0x5D, Malayalam's 0x3C (a virama, not a
// nukta) and its fractions and archaic letters at 0x58-0x5F.
struct Letter {
  std::uint8_t offset;
  std::uint16_t blocks;
};
constexpr Letter kLetters[90] = {
    {0x01, kAll & ~T},          // A1 candrabindu
    {0x02, kAll},               // A2 anusvara
    {0x03, kAll},               // A3 visarga
    {0x05, kAll},               // A4 a
    {0x06, kAll},               // A5 aa
    {0x07, kAll},               // A6 i
    {0x08, kAll},               // A7 ii
    {0x09, kAll},               // A8 u
    {0x0A, kAll},               // A9 uu
    {0x0B, kAll & ~(G | T)},    // AA vocalic r
    {0x0E, D | T | L | K | M},  // AB short e
    {0x0F, kAll},               // AC e
    {0x10, kAll},               // AD ai
    {0x0D, D | J},              // AE candra e
    {0x12, D | T | L | K | M},  // AF short o
    {0x13, kAll},               // B0 o
    {0x14, kAll},               // B1 au
    {0x11, D | J},              // B2 candra o
    {0x15, kAll},               // B3 ka
    {0x16, kAll & ~T},          // B4 kha
    {0x17, kAll & ~T},          // B5 ga
    {0x18, kAll & ~T},          // B6 gha
    {0x19, kAll},               // B7 nga
    {0x1A, kAll},               // B8 ca
    {0x1B, kAll & ~T},          // B9 cha
    {0x1C, kAll},               // BA ja
    {0x1D, kAll & ~T},          // BB jha
    {0x1E, kAll},               // BC nya
    {0x1F, kAll},               // BD tta
    {0x20, kAll & ~T},          // BE ttha
    {0x21, kAll & ~T},          // BF dda
    {0x22, kAll & ~T},          // C0 ddha
    {0x23, kAll},               // C1 nna
    {0x24, kAll},               // C2 ta
    {0x25, kAll & ~T},          // C3 tha
    {0x26, kAll & ~T},          // C4 da
    {0x27, kAll & ~T},          // C5 dha
    {0x28, kAll},               // C6 na
    {0x29, D | T | M},          // C7 nnna
    {0x2A, kAll},               // C8 pa
    {0x2B, kAll & ~T},          // C9 pha
    {0x2C, kAll & ~T},          // CA ba
    {0x2D, kAll & ~T},          // CB bha
    {0x2E, kAll},               // CC ma
    {0x2F, kAll},               // CD ya
    {0x5F, D | B | O},          // CE yya
    {0x30, kAll},               // CF ra
    {0x31, D | T | L | K | M},  // D0 rra
    {0x32, kAll},               // D1 la
    {0x33, kAll & ~B},          // D2 lla
    {0x34, D | T | L | M},      // D3 llla
    {0x35, kAll & ~B},          // D4 va
    {0x36, kAll},               // D5 sha
    {0x37, kAll & ~G},          // D6 ssa
    {0x38, kAll},               // D7 sa
    {0x39, kAll},               // D8 ha
    {0x00, 0},                  // D9 INV
    {0x3E, kAll},               // DA sign aa
    {0x3F, kAll},               // DB sign i
    {0x40, kAll},               // DC sign ii
    {0x41, kAll},               // DD sign u
    {0x42, kAll},               // DE sign uu
    {0x43, kAll & ~(G | T)},    // DF sign vocalic r
    {0x46, D | T | L | K | M},  // E0 sign short e
    {0x47, kAll},               // E1 sign e
    {0x48, kAll},               // E2 sign ai
    {0x45, D | J},              // E3 sign candra e
    {0x4A, D | T | L | K | M},  // E4 sign short o
    {0x4B, kAll},               // E5 sign o
    {0x4C, kAll},               // E6 sign au
    {0x49, D | J},              // E7 sign candra o
    {0x4D, kAll},               // E8 halant
    {0x3C, kAll & ~(T | M)},    // E9 nukta
    {0x00, 0},                  // EA danda
    {0x00, 0},                  // EB
    {0x00, 0},                  // EC
    {0x00, 0},                  // ED
    {0x00, 0},                  // EE
    {0x00, 0},                  // EF ATR
    {0x00, 0},                  // F0 EXT
    {0x66, kAll},               // F1 digit zero
    {0x67, kAll},               // F2
    {0x68, kAll},               // F3
    {0x69, kAll},               // F4
    {0x6A, kAll},               // F5
    {0x6B, kAll},               // F6
    {0x6C, kAll},               // F7
    {0x6D, kAll},               // F8
    {0x6E, kAll},               // F9
    {0x6F, kAll},               // FA digit nine
};

// A byte followed by the nukta byte: another letter where the block has
// it. composed: the blocks where that letter is by Unicode's own
// decomposition the consonant followed by the nukta sign.
struct NuktaPair {
  unsigned char first;
  std::uint8_t offset;
  std::uint16_t blocks;
  std::uint16_t composed;
};
constexpr NuktaPair kNuktaPairs[] = {
    {0xA1, 0x50, D | J | T, 0},              // om
    {0xA6, 0x0C, kAll & ~(G | T), 0},        // vocalic l
    {0xA7, 0x61, kAll & ~(G | T), 0},        // vocalic ll
    {0xAA, 0x60, kAll & ~(G | T), 0},        // vocalic rr
    {0xB3, 0x58, D, D},                      // qa
    {0xB4, 0x59, D | G, D | G},              // khha
    {0xB5, 0x5A, D | G, D | G},              // ghha
    {0xBA, 0x5B, D | G, D | G},              // za
    {0xBF, 0x5C, D | B | G | O, D | B | O},  // dddha, rra
    {0xC0, 0x5D, D | B | O, D | B | O},      // rha
    {0xC9, 0x5E, D | G | K, D | G},          // fa
    {0xDB, 0x62, kAll & ~(G | T), 0},        // sign vocalic l
    {0xDC, 0x63, kAll & ~(G | T), 0},        // sign vocalic ll
    {0xDF, 0x44, kAll & ~(G | T), 0},        // sign vocalic rr
    {kDandaByte, 0x3D, kAll & ~(G | T), 0},  // avagraha
};

// Bytes for each offset of a block, built from the two tables above.
struct Code {
  unsigned char first = 0;
  unsigned char second = 0;
  std::uint16_t blocks = 0;
};
struct ReverseTable {
  Code codes[0x80];
};
constexpr ReverseTable makeReverseTable() {
  ReverseTable table{};
  for (int i = 0; i < 90; ++i) {
    const Letter& letter = kLetters[i];
    if (letter.offset != 0)
      table.codes[letter.offset] = Code{static_cast<unsigned char>(0xA1 + i), 0, letter.blocks};
  }
  for (const NuktaPair& pair : kNuktaPairs)
    table.codes[pair.offset] = Code{pair.first, kNuktaByte, pair.blocks};
  return table;
}
constexpr ReverseTable kReverse = makeReverseTable();

int scriptOfPage(int codePage) noexcept {
  return isIsciiPage(codePage) ? codePage - kFirstIsciiPage : kDevanagari;
}

// The character of one byte in a script, or 0.
std::uint32_t letterOf(unsigned char b, int script) noexcept {
  if (b == kInvByte) return kZwj;
  if (b == kDandaByte) return kDanda;
  if (b < 0xA1 || b > 0xFA) return 0;
  if (script == kAssamese && b == kRaByte) return kAssameseRa;
  if (script == kAssamese && b == kVaByte) return kAssameseWa;
  const Letter& letter = kLetters[b - 0xA1];
  const ScriptBlock& block = kScriptBlocks[script];
  if (letter.offset == 0 || (letter.blocks & block.block) == 0) return 0;
  return block.base + letter.offset;
}

const NuktaPair* nuktaPairOf(unsigned char first, int script) noexcept {
  for (const NuktaPair& pair : kNuktaPairs) {
    if (pair.first == first && (pair.blocks & kScriptBlocks[script].block) != 0) return &pair;
  }
  return nullptr;
}

// The characters two adjacent bytes stand for together (out[0], and out[1]
// when there are two); 0 when the bytes do not join.
int joined(unsigned char first, unsigned char second, int script, std::uint32_t* out) noexcept {
  const std::uint32_t base = kScriptBlocks[script].base;
  if (first == kHalantByte && (second == kHalantByte || second == kNuktaByte)) {
    // Explicit halant (halant twice) and soft halant (halant and nukta).
    out[0] = base + kViramaOffset;
    out[1] = second == kHalantByte ? kZwnj : kZwj;
    return 2;
  }
  if (first == kDandaByte && second == kDandaByte) {
    out[0] = kDoubleDanda;
    return 1;
  }
  if (second != kNuktaByte) return 0;
  const NuktaPair* pair = nuktaPairOf(first, script);
  if (pair == nullptr) return 0;
  out[0] = base + pair->offset;
  return 1;
}

}  // namespace

IsciiDecoder::IsciiDecoder(int codePage) noexcept
    : m_home(scriptOfPage(codePage)), m_script(m_home) {}

std::size_t IsciiDecoder::decode(const unsigned char* data, std::size_t n, std::size_t& pos,
                                 std::uint32_t* out, std::size_t capacity, bool& lossy) noexcept {
  std::size_t count = 0;
  if (m_pending != 0 && count < capacity) {
    out[count++] = m_pending;
    m_pending = 0;
  }
  while (count < capacity && pos < n) {
    const unsigned char b = data[pos];
    const bool hasNext = pos + 1 < n;
    const unsigned char next = hasNext ? data[pos + 1] : 0;
    if (b < 0x80) {
      // A line end closes whatever ATR opened: a line read on its own
      // decodes as it does inside its file, and an encoder that starts
      // every line in the page's script is read correctly either way.
      if (b == '\n' || b == '\r') m_script = m_home;
      out[count++] = b;
      ++pos;
      continue;
    }
    if (b == kAtrByte && hasNext) {
      if (next >= kFirstScriptCode && next < kFirstScriptCode + kScriptCount) {
        m_script = next - kFirstScriptCode;
        pos += 2;
        continue;
      }
      if (next == kDefaultScript) {
        m_script = m_home;
        pos += 2;
        continue;
      }
      if (next >= kFirstDisplayAttribute && next <= kLastDisplayAttribute) {
        pos += 2;  // bold, italics and the like do not change the text
        continue;
      }
    }
    std::uint32_t cps[2] = {0, 0};
    int produced = 0;
    if (b == kExtByte && hasNext && next >= kFirstExtended && next <= kLastExtended) {
      // An extended code without a character still counts as one.
      cps[0] = next == kAnudattaCode       ? kAnudatta
               : next == kAbbreviationCode ? kAbbreviation
                                           : kReplacement;
      produced = 1;
      pos += 2;
    } else if (hasNext && (produced = joined(b, next, m_script, cps)) != 0) {
      pos += 2;
    } else {
      // A lone byte; ATR and EXT without a valid follower or cut off by the
      // end of the data land here as undefined.
      cps[0] = letterOf(b, m_script);
      produced = 1;
      ++pos;
    }
    for (int i = 0; i < produced; ++i) {
      std::uint32_t cp = cps[i];
      if (cp == 0 || cp == kReplacement) {
        cp = kReplacement;
        lossy = true;
      }
      if (count < capacity) {
        out[count++] = cp;
      } else {
        m_pending = cp;
      }
    }
  }
  return count;
}

IsciiEncoder::IsciiEncoder(int codePage) noexcept
    : m_home(scriptOfPage(codePage)), m_script(m_home) {}

bool IsciiEncoder::encodeOne(std::uint32_t cp, ByteSink& sink, bool& lossy) noexcept {
  if (cp < 0x80u) {
    if (cp == '\n' || cp == '\r') m_script = m_home;
    m_last = 0;
    return sink.putByte(static_cast<unsigned char>(cp));
  }
  unsigned char bytes[2] = {0, 0};
  int length = 0;
  int script = m_script;
  // True when the bytes are meant to join the halant written before them.
  bool continuesHalant = false;
  switch (cp) {
    case kDanda:
      bytes[0] = kDandaByte;
      length = 1;
      break;
    case kDoubleDanda:
      bytes[0] = bytes[1] = kDandaByte;
      length = 2;
      break;
    case kAnudatta:
    case kAbbreviation:
      bytes[0] = kExtByte;
      bytes[1] = cp == kAnudatta ? kAnudattaCode : kAbbreviationCode;
      length = 2;
      break;
    case kZwj:
      continuesHalant = m_last == kHalantByte;
      bytes[0] = continuesHalant ? kNuktaByte : kInvByte;
      length = 1;
      break;
    case kZwnj:
      // Only an explicit halant has a form; a lone ZWNJ has none.
      continuesHalant = m_last == kHalantByte;
      bytes[0] = kHalantByte;
      length = continuesHalant ? 1 : 0;
      break;
    case kAssameseRa:
    case kAssameseWa:
      script = kAssamese;
      bytes[0] = cp == kAssameseRa ? kRaByte : kVaByte;
      length = 1;
      break;
    default:
      if (cp >= kFirstIndic && cp < kEndIndic) {
        const std::uint16_t block = static_cast<std::uint16_t>(1u << ((cp - kFirstIndic) >> 7));
        const Code& code = kReverse.codes[cp & 0x7Fu];
        if ((code.blocks & block) == 0) break;
        // The script that holds the letter: the current one, else the
        // page's own, else the first in page order. Assamese shares the
        // Bengali block except for its own RA.
        auto holds = [&](int s) {
          return kScriptBlocks[s].block == block && !(s == kAssamese && cp == 0x09B0u);
        };
        if (!holds(script)) script = m_home;
        for (int s = 0; s < kScriptCount && !holds(script); ++s) {
          if (holds(s)) script = s;
        }
        bytes[0] = code.first;
        bytes[1] = code.second;
        length = code.second != 0 ? 2 : 1;
      }
      break;
  }
  if (length == 0) {
    lossy = true;
    m_last = 0;
    return sink.putByte('?');
  }
  if (script != m_script) {
    const unsigned char atr[2] = {kAtrByte, static_cast<unsigned char>(kFirstScriptCode + script)};
    if (!sink.put(atr, 2)) return false;
    m_script = script;
    m_last = 0;
  }
  if (m_last != 0 && !continuesHalant) {
    // The bytes would join the previous one into another character. A
    // consonant followed by the nukta sign may: its joined letter is the
    // same text by Unicode's decomposition.
    std::uint32_t would[2];
    if (joined(m_last, bytes[0], m_script, would) != 0) {
      const NuktaPair* pair = bytes[0] == kNuktaByte ? nuktaPairOf(m_last, m_script) : nullptr;
      const bool sameText = pair != nullptr && length == 1 &&
                            (pair->composed & kScriptBlocks[m_script].block) != 0 &&
                            (cp & 0x7Fu) == kNuktaOffset;
      if (!sameText) {
        lossy = true;
        m_last = 0;
        return sink.putByte('?');
      }
    }
  }
  m_last = length == 1 && !continuesHalant ? bytes[0] : 0;
  return sink.put(bytes, static_cast<std::size_t>(length));
}

bool IsciiEncoder::encode(const std::uint32_t* cps, std::size_t count, ByteSink& sink,
                          bool& lossy) noexcept {
  for (std::size_t i = 0; i < count; ++i) {
    if (!encodeOne(cps[i], sink, lossy)) return false;
  }
  return true;
}

}  // namespace rozazar::encoding
