// Reading a decimal number out of zero-terminated text.
#pragma once

#include <cstdint>

namespace rozazar {

// Skips leading blanks and tabs, takes an optional sign and the digits up to
// the first other character. Unsigned arithmetic makes an overflow wrap
// instead of being undefined; text without digits reads as 0.
inline std::int32_t decimalToInt32(const char* p) noexcept {
  while (*p == ' ' || *p == '\t') ++p;
  bool negative = false;
  if (*p == '+' || *p == '-') negative = *p++ == '-';
  std::uint32_t value = 0;
  while (*p >= '0' && *p <= '9') value = value * 10u + static_cast<std::uint32_t>(*p++ - '0');
  if (negative) value = 0u - value;
  return static_cast<std::int32_t>(value);
}

}  // namespace rozazar
