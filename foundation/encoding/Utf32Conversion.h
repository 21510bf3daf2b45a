// The UTF-8/UTF-32 conversions behind utf8ToUtf32 and utf32ToUtf8, written
// against a ByteSink so that any output can receive them.
#pragma once

#include <cstddef>
#include <cstdint>

#include "foundation/encoding/ByteSink.h"

namespace rozazar::encoding {

bool utf8ToUtf32Into(const unsigned char* data, std::size_t n, bool bigEndian,
                     ByteSink& sink) noexcept;
bool utf32ToUtf8Into(const std::uint32_t* data, std::size_t count, ByteSink& sink) noexcept;

}  // namespace rozazar::encoding
