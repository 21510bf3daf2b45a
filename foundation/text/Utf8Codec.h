// UTF-8 helpers used throughout the text foundation: encoding and decoding
// one code point, strict validation of one sequence, and whole-text
// conversion between UTF-8 and UTF-32.
#pragma once

#include <cstddef>
#include <cstdint>

namespace rozazar {

class DataBuffer;

// Continuation bytes that follow a lead byte: 0xC0-0xDF one, 0xE0-0xEF two,
// 0xF0-0xF7 three, 0xF8-0xFB four, 0xFC-0xFF five, everything else none.
int utf8ContinuationCount(unsigned char lead) noexcept;

// Writes the UTF-8 form of cp (1 to 4 bytes) to out and its length to
// outLength. Values from 0x200000 up are written as U+FFFD; surrogate values
// are encoded as they are. out needs room for 4 bytes. False only when out is
// null.
bool utf8EncodeCodePoint(std::uint32_t cp, unsigned char* out, int& outLength) noexcept;

// Decodes the sequence at text[index] of a zero-terminated text and advances
// index past it. The lead byte alone decides the length; a zero byte where a
// continuation byte belongs gives 0 and leaves index just past that zero, so
// the walk never passes the terminator. A character beyond the Basic
// Multilingual Plane comes back as its UTF-16 pair packed in 32 bits: the high
// surrogate in the low half, the low surrogate in the high half. Values above
// U+10FFFF give U+FFFD.
std::uint32_t utf8DecodeCodePoint(const unsigned char* text, std::size_t& index) noexcept;

// Length of the well-formed sequence at data (n bytes available): its length
// when valid, 1 when invalid, n when the sequence needs more bytes than
// remain, 0 for null data or n <= 0.
int utf8SequenceLength(const unsigned char* data, int n) noexcept;

// Strict UTF-8 to UTF-32 (little- or big-endian units, no terminator),
// appended to out. An invalid byte is skipped and makes the result false; a
// sequence cut off by the end of the data ends the conversion with false.
// False too when out cannot grow.
bool utf8ToUtf32(const unsigned char* data, std::size_t n, bool bigEndian,
                 DataBuffer& out) noexcept;

// count UTF-32 units in host order to UTF-8, appended to out, each unit by
// the rules of utf8EncodeCodePoint. False only when out cannot grow.
bool utf32ToUtf8(const std::uint32_t* data, std::size_t count, DataBuffer& out) noexcept;

}  // namespace rozazar
