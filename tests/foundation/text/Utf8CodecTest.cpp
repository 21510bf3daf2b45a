#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "foundation/encoding/Utf32Conversion.h"
#include "foundation/text/Utf8Codec.h"

namespace rozazar {
namespace {

using Bytes = std::vector<unsigned char>;

Bytes encode(std::uint32_t cp) {
  unsigned char out[4] = {};
  int length = 0;
  EXPECT_TRUE(utf8EncodeCodePoint(cp, out, length));
  return Bytes(out, out + length);
}

TEST(Utf8Encode, WritesOneToFourBytesAndReplacesValuesBeyondTwentyOneBits) {
  EXPECT_EQ(encode(0x41), (Bytes{0x41}));
  EXPECT_EQ(encode(0x7FF), (Bytes{0xDF, 0xBF}));
  EXPECT_EQ(encode(0x20AC), (Bytes{0xE2, 0x82, 0xAC}));
  EXPECT_EQ(encode(0xD800), (Bytes{0xED, 0xA0, 0x80}));  // surrogates are not checked
  EXPECT_EQ(encode(0x1F600), (Bytes{0xF0, 0x9F, 0x98, 0x80}));
  EXPECT_EQ(encode(0x1FFFFF), (Bytes{0xF7, 0xBF, 0xBF, 0xBF}));
  EXPECT_EQ(encode(0x200000), (Bytes{0xEF, 0xBF, 0xBD}));
  int length = 0;
  EXPECT_FALSE(utf8EncodeCodePoint(0x41, nullptr, length));
}

TEST(Utf8Decode, PacksCharactersBeyondTheBmpAsASurrogatePair) {
  const unsigned char text[] = {'a', 0xC3, 0xA9, 0xE2, 0x82, 0xAC, 0xF0, 0x9F, 0x98, 0x80, 0};
  std::size_t index = 0;
  EXPECT_EQ(utf8DecodeCodePoint(text, index), 0x61u);
  EXPECT_EQ(utf8DecodeCodePoint(text, index), 0xE9u);
  EXPECT_EQ(index, 3u);
  EXPECT_EQ(utf8DecodeCodePoint(text, index), 0x20ACu);
  EXPECT_EQ(utf8DecodeCodePoint(text, index), 0xDE00D83Du);  // high in the low half
  EXPECT_EQ(index, 10u);
}

TEST(Utf8Decode, StopsAtTheTerminatorInsideASequence) {
  const unsigned char text[] = {0xE2, 0x82, 0, 'x', 0};
  std::size_t index = 0;
  EXPECT_EQ(utf8DecodeCodePoint(text, index), 0u);
  EXPECT_EQ(index, 3u);  // just past the zero byte
}

TEST(Utf8SequenceLength, ValidatesStrictly) {
  const auto length = [](Bytes bytes) {
    return utf8SequenceLength(bytes.data(), static_cast<int>(bytes.size()));
  };
  EXPECT_EQ(length({0xE2, 0x82, 0xAC}), 3);
  EXPECT_EQ(length({0xE0, 0x80, 0x80}), 1);        // overlong
  EXPECT_EQ(length({0xC1, 0xBF}), 1);              // overlong lead
  EXPECT_EQ(length({0xED, 0xA0, 0x80}), 1);        // surrogate
  EXPECT_EQ(length({0xF0, 0x8F, 0xBF, 0xBF}), 1);  // overlong
  EXPECT_EQ(length({0xF4, 0x90, 0x80, 0x80}), 1);  // beyond U+10FFFF
  EXPECT_EQ(length({0xF5, 0x80, 0x80, 0x80}), 1);
  EXPECT_EQ(length({0x80}), 1);
  EXPECT_EQ(length({0xE2, 0x41, 0xAC}), 1);
  EXPECT_EQ(length({0xF0, 0x9F, 0x98}), 3);  // cut off: what remains
  EXPECT_EQ(length({0x41}), 1);
  EXPECT_EQ(utf8SequenceLength(nullptr, 3), 0);
  const unsigned char a = 'a';
  EXPECT_EQ(utf8SequenceLength(&a, 0), 0);
}

struct Collected {
  Bytes bytes;
  static bool flush(void* context, const unsigned char* data, std::size_t n) {
    auto* self = static_cast<Collected*>(context);
    self->bytes.insert(self->bytes.end(), data, data + n);
    return true;
  }
};

Bytes toUtf32(const Bytes& input, bool bigEndian, bool& ok) {
  Collected out;
  encoding::ByteSink sink(&Collected::flush, &out);
  ok = encoding::utf8ToUtf32Into(input.data(), input.size(), bigEndian, sink);
  return out.bytes;
}

TEST(Utf8ToUtf32, SkipsInvalidBytesAndReportsThem) {
  bool ok = false;
  EXPECT_EQ(toUtf32({'a', 0xC3, 0xA9}, false, ok), (Bytes{'a', 0, 0, 0, 0xE9, 0, 0, 0}));
  EXPECT_TRUE(ok);
  EXPECT_EQ(toUtf32({0xF0, 0x9F, 0x98, 0x80}, true, ok), (Bytes{0, 0x01, 0xF6, 0x00}));
  EXPECT_TRUE(ok);
  EXPECT_EQ(toUtf32({'a', 0xFF, 0xC0, 0xAF, 'b'}, false, ok), (Bytes{'a', 0, 0, 0, 'b', 0, 0, 0}));
  EXPECT_FALSE(ok);
}

TEST(Utf8ToUtf32, ASequenceCutOffAtTheEndStopsTheConversion) {
  bool ok = true;
  EXPECT_EQ(toUtf32({'a', 0xE2, 0x82}, false, ok), (Bytes{'a', 0, 0, 0}));
  EXPECT_FALSE(ok);
  // A lead byte followed by something that is no continuation is just bad.
  EXPECT_EQ(toUtf32({0xE2, 'b'}, false, ok), (Bytes{'b', 0, 0, 0}));
  EXPECT_FALSE(ok);
}

TEST(Utf32ToUtf8, EncodesEveryUnitByTheSingleCharacterRules) {
  const std::uint32_t units[] = {0x41, 0x430, 0x1F600, 0x300000};
  Collected out;
  encoding::ByteSink sink(&Collected::flush, &out);
  ASSERT_TRUE(encoding::utf32ToUtf8Into(units, 4, sink));
  EXPECT_EQ(out.bytes, (Bytes{0x41, 0xD0, 0xB0, 0xF0, 0x9F, 0x98, 0x80, 0xEF, 0xBF, 0xBD}));
}

}  // namespace
}  // namespace rozazar
