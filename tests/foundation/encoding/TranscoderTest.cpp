#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/encoding/Transcoder.h"

namespace rozazar::encoding {
namespace {

using Bytes = std::vector<unsigned char>;

struct Result {
  bool ok = false;
  bool lossy = false;
  Bytes bytes;
};

bool collect(void* context, const unsigned char* data, std::size_t n) {
  auto* bytes = static_cast<Bytes*>(context);
  bytes->insert(bytes->end(), data, data + n);
  return true;
}

Result convert(int from, int to, const Bytes& input) {
  Result result;
  ByteSink sink(&collect, &result.bytes);
  result.ok = transcode(from, to, input.data(), input.size(), sink, result.lossy);
  return result;
}

Bytes bytesOf(const std::string& text) { return Bytes(text.begin(), text.end()); }

const std::string kBulgarian = "Здравей";
const Bytes kBulgarian1251 = {0xC7, 0xE4, 0xF0, 0xE0, 0xE2, 0xE5, 0xE9};

TEST(Transcode, Windows1251BothWays) {
  Result r = convert(65001, 1251, bytesOf(kBulgarian));
  EXPECT_TRUE(r.ok);
  EXPECT_FALSE(r.lossy);
  EXPECT_EQ(r.bytes, kBulgarian1251);
  r = convert(1251, 65001, kBulgarian1251);
  EXPECT_EQ(r.bytes, bytesOf(kBulgarian));
  EXPECT_FALSE(r.lossy);
}

TEST(Transcode, EveryDefinedSingleByteSurvivesARoundTrip) {
  for (int codePage = 1250; codePage <= 1258; ++codePage) {
    Bytes all;
    for (int b = 0; b < 256; ++b) all.push_back(static_cast<unsigned char>(b));
    const Result wide = convert(codePage, 1200, all);
    ASSERT_TRUE(wide.ok) << codePage;
    const Result back = convert(1200, codePage, wide.bytes);
    ASSERT_EQ(back.bytes.size(), 256u) << codePage;
    for (std::size_t b = 0; b < 256; ++b) {
      const unsigned unit = wide.bytes[2 * b] | (wide.bytes[2 * b + 1] << 8);
      if (unit == 0xFFFD) continue;  // undefined in this code page
      EXPECT_EQ(back.bytes[b], b) << "cp" << codePage << " byte " << b;
    }
  }
}

TEST(Transcode, UnmappableAndUndefinedCharactersAreReplacedAndReported) {
  Result r = convert(65001, 1251, bytesOf("é€"));
  EXPECT_TRUE(r.ok);
  EXPECT_TRUE(r.lossy);
  EXPECT_EQ(r.bytes, (Bytes{'?', 0x88}));  // the euro sign exists in 1251
  r = convert(1253, 65001, {0xAA});        // undefined in windows-1253
  EXPECT_TRUE(r.lossy);
  EXPECT_EQ(r.bytes, bytesOf("\xEF\xBF\xBD"));
  r = convert(1252, 65001, {0x81});  // a hole below 0xA0 keeps its C1 control
  EXPECT_FALSE(r.lossy);
  EXPECT_EQ(r.bytes, (Bytes{0xC2, 0x81}));
  r = convert(20127, 65001, {'a', 0x80});
  EXPECT_TRUE(r.lossy);
  EXPECT_EQ(r.bytes, bytesOf("a\xEF\xBF\xBD"));
  r = convert(65001, 28591, bytesOf("éĀ"));
  EXPECT_TRUE(r.lossy);
  EXPECT_EQ(r.bytes, (Bytes{0xE9, '?'}));
}

TEST(Transcode, IllFormedUtf8BecomesReplacementCharacters) {
  // Bad bytes one by one; a sequence cut off at the very end once.
  Result r = convert(65001, 1200, {'a', 0xC0, 0xAF, 0xED, 0xA0, 0x80, 'b', 0xF0, 0x9F, 0x98});
  EXPECT_TRUE(r.ok);
  EXPECT_TRUE(r.lossy);
  Bytes expected = {'a', 0};
  for (int i = 0; i < 5; ++i) expected.insert(expected.end(), {0xFD, 0xFF});
  expected.insert(expected.end(), {'b', 0, 0xFD, 0xFF});
  EXPECT_EQ(r.bytes, expected);
}

TEST(Transcode, OddLengthAndLoneSurrogatesInUtf16) {
  Result r = convert(1200, 65001, {'a', 0, 'b'});
  EXPECT_TRUE(r.lossy);
  EXPECT_EQ(r.bytes, bytesOf("a\xEF\xBF\xBD"));
  r = convert(1200, 65001, {0x3D, 0xD8, 'x', 0});  // high surrogate without its pair
  EXPECT_TRUE(r.lossy);
  EXPECT_EQ(r.bytes, bytesOf("\xEF\xBF\xBDx"));
  r = convert(1200, 65001, {0x3D, 0xD8, 0x00, 0xDE});
  EXPECT_FALSE(r.lossy);
  EXPECT_EQ(r.bytes, bytesOf("\xF0\x9F\x98\x80"));
  // Between the two byte orders units are swapped as they are.
  r = convert(1200, 1201, {0x3D, 0xD8, 'a', 0, 7});
  EXPECT_EQ(r.bytes, (Bytes{0xD8, 0x3D, 0, 'a', 7}));
}

TEST(Transcode, Utf32Forms) {
  Result r = convert(1200, 12001, {0x3D, 0xD8, 0x00, 0xDE, 'a', 0});
  EXPECT_EQ(r.bytes, (Bytes{0, 1, 0xF6, 0, 0, 0, 0, 'a'}));
  r = convert(65006, 65001, {0, 1, 0xF6, 0, 0, 0x11, 0, 0, 0, 0});
  EXPECT_TRUE(r.lossy);  // beyond U+10FFFF, then a cut-off unit
  EXPECT_EQ(r.bytes, bytesOf("\xF0\x9F\x98\x80\xEF\xBF\xBD\xEF\xBF\xBD"));
  r = convert(65001, 12000, {'a', 0xFF, 'b'});  // a bad byte becomes U+FFFD, as for UTF-16
  EXPECT_TRUE(r.ok);
  EXPECT_TRUE(r.lossy);
  EXPECT_EQ(r.bytes, (Bytes{'a', 0, 0, 0, 0xFD, 0xFF, 0, 0, 'b', 0, 0, 0}));
}

TEST(Transcode, Utf7) {
  Result r = convert(65000, 65001, bytesOf("Hi Mom -+Jjo--!"));
  EXPECT_FALSE(r.lossy);
  EXPECT_EQ(r.bytes, bytesOf("Hi Mom -\xE2\x98\xBA-!"));
  r = convert(65000, 65001, bytesOf("A+ImIDkQ."));
  EXPECT_EQ(r.bytes, bytesOf("A\xE2\x89\xA2\xCE\x91."));
  r = convert(65001, 65000, bytesOf("1+1=2 \xF0\x9F\x98\x80"));
  EXPECT_EQ(r.bytes, bytesOf("1+-1+AD0-2 +2D3eAA-"));
  const Result back = convert(65000, 65001, r.bytes);
  EXPECT_FALSE(back.lossy);
  EXPECT_EQ(back.bytes, bytesOf("1+1=2 \xF0\x9F\x98\x80"));
  r = convert(65000, 65001, {'+', 'A', 'G', '-', 0xE9});  // leftover bits, an 8-bit byte
  EXPECT_TRUE(r.lossy);
  EXPECT_EQ(r.bytes, bytesOf("\xEF\xBF\xBD"));
}

TEST(Transcode, LongTextsCrossTheWorkingBlocks) {
  // Long enough for many decoding blocks and output flushes, with
  // characters of every length at every offset.
  std::string text;
  for (int i = 0; i < 20000; ++i) text += (i % 3 == 0) ? "aЖ\xF0\x9F\x98\x80" : "жx+";
  const Bytes utf8 = bytesOf(text);
  for (const int codePage : {1200, 1201, 12000, 12001, 65000}) {
    const Result there = convert(65001, codePage, utf8);
    ASSERT_TRUE(there.ok) << codePage;
    EXPECT_FALSE(there.lossy) << codePage;
    const Result back = convert(codePage, 65001, there.bytes);
    EXPECT_FALSE(back.lossy) << codePage;
    EXPECT_TRUE(back.bytes == utf8) << codePage;
  }
  std::string cyrillic;
  for (int i = 0; i < 30000; ++i) cyrillic += "Щъ ";
  const Result ansi = convert(65001, 1251, bytesOf(cyrillic));
  ASSERT_EQ(ansi.bytes.size(), 90000u);
  EXPECT_EQ(convert(1251, 65001, ansi.bytes).bytes, bytesOf(cyrillic));
}

TEST(Transcode, UnsupportedCodePagesAreRefused) {
  // The one page of the name table without mapping data, and unknown
  // numbers next to known ones.
  for (const int codePage : {29001, 1249, 55005, 57001, 57012}) {
    EXPECT_FALSE(convert(codePage, 65001, {'a'}).ok) << codePage;
    EXPECT_FALSE(convert(65001, codePage, {'a'}).ok) << codePage;
    EXPECT_FALSE(isSupportedCodePage(codePage)) << codePage;
  }
  EXPECT_TRUE(isSupportedCodePage(1258));
  EXPECT_TRUE(isSupportedCodePage(54936));
}

}  // namespace
}  // namespace rozazar::encoding
