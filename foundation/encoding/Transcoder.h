// Conversion between the character sets the foundation carries tables or
// rules for: UTF-8 (65001), UTF-16LE/BE (1200, 1201), UTF-32LE/BE (12000,
// 12001, 65005, 65006), UTF-7 (65000), US-ASCII (20127), ISO-8859-1 (28591),
// the table-driven single- and multi-byte pages (SingleByteTables.cpp,
// MultiByteTables.cpp) and the 7-bit stateful encodings ISO-2022-JP
// (50220-50222), ISO-2022-KR (50225), ISO-2022-CN (50227) and HZ (52936)
// on top of them, the SMS pages (GSM 7-bit, 55000-55004) and ISCII
// (57002-57011).
#pragma once

#include <cstddef>

#include "foundation/encoding/ByteSink.h"

namespace rozazar::encoding {

bool isSupportedCodePage(int codePage) noexcept;

// Converts n bytes from one supported code page to another into sink.
// Characters the target cannot hold become "?" (U+FFFD in the Unicode
// forms); ill-formed input becomes U+FFFD (or "?"), by the same rule for
// every target; either sets lossy. The result is false for an unsupported
// code page and a failed output. Equal code pages copy the bytes unchanged.
bool transcode(int from, int to, const unsigned char* data, std::size_t n, ByteSink& sink,
               bool& lossy) noexcept;

}  // namespace rozazar::encoding
