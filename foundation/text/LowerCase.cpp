#include "foundation/text/LowerCase.h"

#include "foundation/encoding/LowerCaseTable.h"

namespace rozazar {

namespace {

// The alphabets where upper and lower case sit at a fixed distance. Each
// rule covers only the letters where that distance is right (in Latin
// Extended-A the pairing flips from even/odd to odd/even at U+0139 and back
// at U+014A); everything else goes to the table.
// scripts/generate-lowercase-table.py mirrors these rules.
enum class Parity : std::uint8_t { kAny, kEven, kOdd };

struct RangeRule {
  std::uint16_t first;
  std::uint16_t last;
  Parity parity;
  std::uint16_t add;
};

const RangeRule kRangeRules[] = {
    {0x0041, 0x005A, Parity::kAny, 0x20}, {0x00C0, 0x00D6, Parity::kAny, 0x20},
    {0x00D8, 0x00DE, Parity::kAny, 0x20}, {0x0100, 0x012F, Parity::kEven, 1},
    {0x0132, 0x0137, Parity::kEven, 1},   {0x0139, 0x0148, Parity::kOdd, 1},
    {0x014A, 0x0176, Parity::kEven, 1},   {0x0179, 0x017D, Parity::kOdd, 1},
    {0x0391, 0x03A1, Parity::kAny, 0x20}, {0x03A3, 0x03AA, Parity::kAny, 0x20},
    {0x0400, 0x040F, Parity::kAny, 0x50}, {0x0410, 0x042F, Parity::kAny, 0x20},
    {0x0460, 0x0481, Parity::kEven, 1},   {0x048A, 0x04BF, Parity::kEven, 1},
    {0x04C1, 0x04CD, Parity::kOdd, 1},    {0x04D0, 0x04FE, Parity::kEven, 1},
    {0x0500, 0x052E, Parity::kEven, 1},
};

// The lower-case unit by a range rule; false when no rule applies.
bool rangeRule(std::uint32_t c, std::uint32_t& lower) noexcept {
  if (c < 0x80u) {
    lower = (c >= 'A' && c <= 'Z') ? c + 0x20u : c;
    return true;
  }
  if (c > 0x052Eu) return false;
  for (const RangeRule& rule : kRangeRules) {
    if (c < rule.first || c > rule.last) continue;
    const bool even = (c & 1u) == 0;
    if ((rule.parity == Parity::kEven && !even) || (rule.parity == Parity::kOdd && even))
      return false;
    lower = c + rule.add;
    return true;
  }
  return false;
}

}  // namespace

std::uint16_t lowerCaseUnit(std::uint16_t unit) noexcept {
  std::uint32_t lower = 0;
  if (rangeRule(unit, lower)) return static_cast<std::uint16_t>(lower);
  const std::uint16_t* pair = encoding::kLowerCasePairs +
                              encoding::kLowerCaseBucketStart[unit % encoding::kLowerCaseBuckets];
  for (; pair[0] != 0; pair += 2) {
    if (pair[0] == unit) return pair[1];
  }
  return unit;
}

std::uint32_t lowerCaseCodePoint(std::uint32_t cp) noexcept {
  return cp <= 0xFFFFu ? lowerCaseUnit(static_cast<std::uint16_t>(cp)) : cp;
}

}  // namespace rozazar
