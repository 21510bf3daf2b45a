#include "LowerCase.h"

#include "encoding/LowerCaseTable.h"

namespace rozazar {

namespace {

bool isEven(std::uint32_t c) noexcept { return (c & 1u) == 0; }

// The alphabets where upper and lower case sit at a fixed distance. Each
// rule covers only the letters where that distance is right (in Latin
// Extended-A the pairing flips from even/odd to odd/even at U+0139 and back
// at U+014A); everything else goes to the table. Returns false when no rule
// applies. scripts/generate-lowercase-table.py mirrors these rules.
bool rangeRule(std::uint32_t c, std::uint32_t& lower) noexcept {
  if (c < 0x80u) {
    lower = (c >= 'A' && c <= 'Z') ? c + 0x20u : c;
    return true;
  }
  std::uint32_t add = 0;
  if (c >= 0xC0u && c <= 0xDEu && c != 0xD7u) {
    add = 0x20u;
  } else if (c >= 0x100u && c <= 0x137u && isEven(c) && c != 0x130u) {
    add = 1;
  } else if (c >= 0x139u && c <= 0x148u && !isEven(c)) {
    add = 1;
  } else if (c >= 0x14Au && c <= 0x176u && isEven(c)) {
    add = 1;
  } else if (c >= 0x179u && c <= 0x17Du && !isEven(c)) {
    add = 1;
  } else if (c >= 0x391u && c <= 0x3AAu && c != 0x3A2u) {
    add = 0x20u;
  } else if (c >= 0x400u && c <= 0x40Fu) {
    add = 0x50u;
  } else if (c >= 0x410u && c <= 0x42Fu) {
    add = 0x20u;
  } else if (((c >= 0x460u && c <= 0x481u) || (c >= 0x48Au && c <= 0x4BFu) ||
              (c >= 0x4D0u && c <= 0x4FEu) || (c >= 0x500u && c <= 0x52Eu)) &&
             isEven(c)) {
    add = 1;
  } else if (c >= 0x4C1u && c <= 0x4CDu && !isEven(c)) {
    add = 1;
  } else {
    return false;
  }
  lower = c + add;
  return true;
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
