// Lower-casing of one UTF-16 unit by Unicode's simple mapping, for the
// case-insensitive operations of XString. Locale-independent.
#pragma once

#include <cstdint>

namespace rozazar {

// The lower-case form of unit, or unit itself when it has none. Surrogates
// and characters outside the Basic Multilingual Plane are left unchanged.
std::uint16_t lowerCaseUnit(std::uint16_t unit) noexcept;

// lowerCaseUnit for a code point; values beyond the Basic Multilingual Plane
// are returned unchanged.
std::uint32_t lowerCaseCodePoint(std::uint32_t cp) noexcept;

}  // namespace rozazar
