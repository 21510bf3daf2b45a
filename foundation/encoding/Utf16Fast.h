// Direct UTF-8 <-> UTF-16LE conversion into memory the caller has sized:
// the path every XString takes between its UTF-8 and wide forms. Results
// equal those of transcode (U+FFFD for ill-formed input, lossy set).
#pragma once

#include <cstddef>

namespace rozazar::encoding {

// Output needs room for 2 * n bytes (the most n bytes of UTF-8 can become).
std::size_t utf8ToUtf16Le(const unsigned char* in, std::size_t n, unsigned char* out,
                          bool& lossy) noexcept;

// Exact UTF-8 size of n bytes of UTF-16LE.
std::size_t utf16LeToUtf8Size(const unsigned char* in, std::size_t n) noexcept;
// Output needs room for utf16LeToUtf8Size(in, n) bytes.
std::size_t utf16LeToUtf8(const unsigned char* in, std::size_t n, unsigned char* out,
                          bool& lossy) noexcept;

}  // namespace rozazar::encoding
