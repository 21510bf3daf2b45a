// StringBuffer: appending, reading, comparing and editing text.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

#include "foundation/platform/Platform.h"
#include "foundation/text/StringBuffer.h"

namespace rozazar {
namespace {

std::string contents(const StringBuffer& sb) { return std::string(sb.text(), sb.length()); }

TEST(StringBufferAppend, TrailingZeroBytesNeverCountButInnerOnesStay) {
  StringBuffer sb;
  ASSERT_TRUE(sb.appendBytes("ab\0\0", 4));
  EXPECT_EQ(sb.length(), 2u);
  ASSERT_TRUE(sb.appendBytes("\0\0\0", 3));
  EXPECT_EQ(sb.length(), 2u);
  ASSERT_TRUE(sb.appendBytes("\0c", 2));
  EXPECT_EQ(contents(sb), std::string("ab\0c", 4));

  StringBuffer zeros;
  ASSERT_TRUE(zeros.appendBytes("\0\0", 2));
  EXPECT_EQ(zeros.length(), 0u);
  EXPECT_TRUE(zeros.appendBytes(nullptr, 5));
  EXPECT_TRUE(zeros.appendText(nullptr));
  EXPECT_EQ(zeros.length(), 0u);
}

TEST(StringBufferAppend, IntegersInDecimalOverTheWholeRangeOfEachType) {
  StringBuffer sb;
  sb.appendInt32(std::numeric_limits<std::int32_t>::min());
  sb.appendChar(' ');
  sb.appendInt32(0);
  sb.appendChar(' ');
  sb.appendUInt32(std::numeric_limits<std::uint32_t>::max());
  sb.appendChar(' ');
  sb.appendInt64(std::numeric_limits<std::int64_t>::min());
  sb.appendChar(' ');
  sb.appendInt64(std::numeric_limits<std::int64_t>::max());
  sb.appendChar(' ');
  sb.appendInt32(-7);
  EXPECT_STREQ(sb.text(), "-2147483648 0 4294967295 -9223372036854775808 9223372036854775807 -7");
}

TEST(StringBufferAppend, CharRunsAboveTwelveMebibytesAreIgnored) {
  StringBuffer sb("x");
  EXPECT_TRUE(sb.appendCharRun('y', StringBuffer::kMaxCharRun + 1));
  EXPECT_STREQ(sb.text(), "x");
  EXPECT_TRUE(sb.appendCharRun('y', 3));
  EXPECT_STREQ(sb.text(), "xyyy");
  EXPECT_TRUE(sb.appendCharRun('z', StringBuffer::kMaxCharRun));
  EXPECT_EQ(sb.length(), 4u + StringBuffer::kMaxCharRun);
}

TEST(StringBufferAppend, TwoTextsWordsAndOtherBuffers) {
  StringBuffer sb;
  ASSERT_TRUE(sb.appendTwo("left", nullptr));
  ASSERT_TRUE(sb.appendTwo(nullptr, "-right"));
  ASSERT_TRUE(sb.appendTwo("+", "+"));
  EXPECT_STREQ(sb.text(), "left-right++");

  StringBuffer word;
  EXPECT_EQ(word.appendLeadingWord("first second"), 5u);
  EXPECT_EQ(word.appendLeadingWord("\tx"), 0u);
  EXPECT_EQ(word.appendLeadingWord("end\r\n"), 3u);
  EXPECT_EQ(word.appendLeadingWord(nullptr), 0u);
  EXPECT_STREQ(word.text(), "firstend");

  EXPECT_FALSE(sb.appendBuffer(sb));
  EXPECT_STREQ(sb.text(), "left-right++");
  StringBuffer other(std::string(90, 'o').c_str());
  StringBuffer empty;
  ASSERT_TRUE(empty.appendBuffer(other));
  EXPECT_EQ(contents(empty), std::string(90, 'o'));
}

TEST(StringBufferAppend, SystemErrorTextIsTheSystemsOwnTextTrimmed) {
  char expected[1024];
  const std::size_t n = platform::systemErrorText(2, expected, sizeof expected);
  StringBuffer sb("  ");
  ASSERT_TRUE(sb.appendSystemErrorText(2));
  if (n == 0) {
    EXPECT_STREQ(sb.text(), "x");
  } else {
    StringBuffer trimmed(expected);
    trimmed.trimSpace();
    EXPECT_STREQ(sb.text(), trimmed.text());
    EXPECT_GT(sb.length(), 0u);
  }
}

TEST(StringBufferRead, BoundsOfCharTextAndLastChar) {
  StringBuffer sb("abc");
  EXPECT_EQ(sb.charAt(2), 'c');
  EXPECT_EQ(sb.charAt(3), '\0');
  EXPECT_EQ(sb.charAt(1000), '\0');
  EXPECT_STREQ(sb.textAt(3), "");
  EXPECT_EQ(sb.textAt(4), nullptr);
  EXPECT_EQ(sb.lastChar(), 'c');
  StringBuffer empty;
  EXPECT_EQ(empty.lastChar(), '\0');
}

TEST(StringBufferRead, ToIntSkipsBlanksTakesOneSignAndStopsAtANonDigit) {
  EXPECT_EQ(StringBuffer("").toInt(), 0);
  EXPECT_EQ(StringBuffer(" \t-0042x7").toInt(), -42);
  EXPECT_EQ(StringBuffer("+17").toInt(), 17);
  EXPECT_EQ(StringBuffer("--1").toInt(), 0);
  EXPECT_EQ(StringBuffer("abc").toInt(), 0);
  EXPECT_EQ(StringBuffer("-2147483648").toInt(), std::numeric_limits<std::int32_t>::min());
  // No overflow check: the value wraps (without undefined behaviour).
  EXPECT_EQ(StringBuffer("4294967297").toInt(), 1);
}

TEST(StringBufferRead, SevenBitLimitedToTheFirstNBytes) {
  StringBuffer sb("ab\xC3\xA9");
  EXPECT_FALSE(sb.isSevenBit());
  EXPECT_TRUE(sb.isSevenBit(2));
  EXPECT_FALSE(sb.isSevenBit(3));
  EXPECT_FALSE(sb.isSevenBit(100));
  EXPECT_TRUE(StringBuffer().isSevenBit());
}

TEST(StringBufferCompare, NullTextsCountAsEmpty) {
  StringBuffer empty;
  StringBuffer abc("abc");
  EXPECT_TRUE(empty.equalsText(nullptr));
  EXPECT_TRUE(empty.equalsTextNoCase(nullptr));
  EXPECT_FALSE(abc.equalsText(nullptr));
  EXPECT_EQ(empty.compareText(nullptr), 0);
  EXPECT_GT(abc.compareText(nullptr), 0);
  EXPECT_LT(abc.compareTextNoCase("ABD"), 0);
  EXPECT_EQ(abc.compareTextNoCase("ABC"), 0);
  EXPECT_TRUE(abc.equalsTextNoCase("aBc"));
  EXPECT_FALSE(abc.equalsTextNoCase("abcd"));
  EXPECT_FALSE(abc.startsWith(nullptr));
  EXPECT_FALSE(abc.endsWith(nullptr));
  EXPECT_FALSE(abc.hasText(nullptr));
  EXPECT_FALSE(abc.startsWithN(nullptr, 0));
}

TEST(StringBufferCompare, PrefixesAndSuffixes) {
  StringBuffer sb("Report.XML");
  EXPECT_TRUE(sb.startsWith("Rep"));
  EXPECT_FALSE(sb.startsWith("rep"));
  EXPECT_TRUE(sb.startsWithNoCase("rEP"));
  EXPECT_TRUE(sb.startsWithN("Repair", 3));
  EXPECT_FALSE(sb.startsWithN("Repair", 4));
  EXPECT_TRUE(sb.startsWithN("anything", 0));
  EXPECT_TRUE(sb.endsWith(""));
  EXPECT_TRUE(sb.endsWith(".XML"));
  EXPECT_FALSE(sb.endsWith(".xml"));
  EXPECT_TRUE(sb.endsWithNoCase(".xml"));
  EXPECT_FALSE(sb.endsWith("A much longer text than the buffer"));
}

TEST(StringBufferCompare, EqualsBufferComparesLengthAndEveryByte) {
  StringBuffer a;
  StringBuffer b;
  a.appendBytes("x\0y", 3);
  b.appendBytes("x\0z", 3);
  EXPECT_FALSE(a.equalsBuffer(b));
  b.dropLast(1);
  b.appendChar('y');
  EXPECT_TRUE(a.equalsBuffer(b));
}

TEST(StringBufferSearch, CaseFoldingCoversAsciiAndLatinOneLetters) {
  StringBuffer sb("caf\xC9 au LAIT");  // "cafÉ au LAIT" in Latin-1
  EXPECT_TRUE(sb.hasTextNoCase("CAF\xE9"));
  EXPECT_TRUE(sb.hasTextNoCase("lait"));
  EXPECT_FALSE(sb.hasText("lait"));
  EXPECT_TRUE(sb.hasText("LAIT"));
  EXPECT_FALSE(sb.hasTextNoCase("laits"));
  EXPECT_EQ(StringBuffer::foldLatin1(0xFF), 0xFF);
  EXPECT_EQ(StringBuffer::foldLatin1(0xFE), 0xDE);
  EXPECT_EQ(StringBuffer::foldLatin1('{'), '{');
}

TEST(StringBufferSearch, CharactersAndCounts) {
  StringBuffer sb;
  sb.appendBytes("a,b\0,c", 6);
  EXPECT_TRUE(sb.hasChar(','));
  EXPECT_FALSE(sb.hasChar('c'));  // searches stop at the first zero byte
  EXPECT_FALSE(sb.hasChar('\0'));
  EXPECT_EQ(sb.countChar(','), 2u);  // counting covers the whole length
  EXPECT_FALSE(StringBuffer().hasChar('a'));
}

TEST(StringBufferEdit, SetTextAcceptsItsOwnStorage) {
  StringBuffer sb(std::string(100, 'a').append("tail").c_str());
  ASSERT_TRUE(sb.setText(sb.textAt(100)));
  EXPECT_STREQ(sb.text(), "tail");
  ASSERT_TRUE(sb.setText(sb.text()));
  EXPECT_STREQ(sb.text(), "tail");
  ASSERT_TRUE(sb.setText(nullptr));
  EXPECT_EQ(sb.length(), 0u);
  EXPECT_EQ(sb.growthIncrement(), 202u);
  ASSERT_TRUE(sb.setFromBuffer(sb));
  StringBuffer other("other");
  ASSERT_TRUE(sb.setFromBuffer(other));
  EXPECT_STREQ(sb.text(), "other");
}

TEST(StringBufferEdit, CuttingTruncatingAndDropping) {
  StringBuffer sb("a/b/c");
  EXPECT_TRUE(sb.cutAtLastChar('/'));
  EXPECT_STREQ(sb.text(), "a/b");
  EXPECT_TRUE(sb.cutAtChar('/'));
  EXPECT_STREQ(sb.text(), "a");
  EXPECT_FALSE(sb.cutAtChar('/'));
  sb.setText("abcdef");
  sb.truncateTo(10);
  EXPECT_STREQ(sb.text(), "abcdef");
  sb.truncateTo(4);
  sb.dropLast(1);
  EXPECT_STREQ(sb.text(), "abc");
  sb.dropLast(99);
  EXPECT_STREQ(sb.text(), "");
  sb.setText("key=value=x");
  sb.dropThroughChar('=', true);
  EXPECT_STREQ(sb.text(), "value=x");
  sb.dropThroughChar('=', false);
  EXPECT_STREQ(sb.text(), "=x");
  sb.dropThroughChar('#', true);
  EXPECT_STREQ(sb.text(), "=x");
}

TEST(StringBufferEdit, CharacterRemovalAndReplacementCount) {
  StringBuffer sb("a-b-c-");
  EXPECT_EQ(sb.replaceAllChar('-', '+'), 3u);
  EXPECT_STREQ(sb.text(), "a+b+c+");
  EXPECT_EQ(sb.removeAllChar('+'), 3u);
  EXPECT_STREQ(sb.text(), "abc");
  EXPECT_EQ(sb.length(), 3u);
  EXPECT_EQ(sb.removeAllChar('q'), 0u);
}

TEST(StringBufferEdit, ReplaceAllNeverOverlapsNorRescans) {
  StringBuffer sb("aaaa");
  EXPECT_EQ(sb.replaceAllText("aa", "a"), 2u);
  EXPECT_STREQ(sb.text(), "aa");
  sb.setText("aaa");
  EXPECT_EQ(sb.replaceAllText("a", "aa"), 3u);
  EXPECT_STREQ(sb.text(), "aaaaaa");
  sb.setText("x.y.z");
  EXPECT_EQ(sb.replaceAllText(".", nullptr), 2u);
  EXPECT_STREQ(sb.text(), "xyz");
  EXPECT_EQ(sb.replaceAllText("", "q"), 0u);
  EXPECT_EQ(sb.replaceAllText("w", "q"), 0u);
  // Growing well past the inline area.
  sb.setText(std::string(60, '.').c_str());
  EXPECT_EQ(sb.replaceAllText(".", "<dot>"), 60u);
  EXPECT_EQ(sb.length(), 300u);
  EXPECT_TRUE(sb.startsWith("<dot><dot>"));
}

TEST(StringBufferEdit, ReplaceFirstAndLastOccurrence) {
  StringBuffer sb("one TWO two two");
  EXPECT_TRUE(sb.replaceFirstText("two", "2"));
  EXPECT_STREQ(sb.text(), "one TWO 2 two");
  EXPECT_TRUE(sb.replaceFirstText("two", "II", true));
  EXPECT_STREQ(sb.text(), "one II 2 two");
  EXPECT_TRUE(sb.replaceLastText("two", "three"));
  EXPECT_STREQ(sb.text(), "one II 2 three");
  EXPECT_TRUE(sb.replaceFirstText("one", nullptr));
  EXPECT_STREQ(sb.text(), "one II 2 three");
  EXPECT_FALSE(sb.replaceFirstText("four", "4"));
  EXPECT_FALSE(sb.replaceLastText("four", "4"));
  EXPECT_FALSE(sb.replaceFirstText(nullptr, "4"));
  StringBuffer latin(
      "Gr\xC9"
      "ETING");
  EXPECT_TRUE(latin.replaceFirstText("gr\xE9", "X", true));
  EXPECT_STREQ(latin.text(), "XETING");
}

TEST(StringBufferEdit, XmlEntitiesAreEscapedOnce) {
  StringBuffer sb("a&b<c>\"d\"&amp;");
  ASSERT_TRUE(sb.escapeXmlEntities());
  EXPECT_STREQ(sb.text(), "a&amp;b&lt;c&gt;&quot;d&quot;&amp;amp;");
  StringBuffer plain("plain");
  ASSERT_TRUE(plain.escapeXmlEntities());
  EXPECT_STREQ(plain.text(), "plain");
}

TEST(StringBufferEdit, LowerCaseFoldsAsciiAndLatinOneCapitalsUpToAZero) {
  StringBuffer sb;
  sb.appendBytes("AbZ\xC0\xDF\xE0[\0Q", 9);
  sb.lowerCase();
  EXPECT_EQ(contents(sb), std::string("abz\xE0\xFF\xE0[\0Q", 9));
}

TEST(StringBufferEdit, TrimSpaceReportsTheBytesRemoved) {
  StringBuffer sb(" \t\r\n in the middle \n");
  EXPECT_EQ(sb.trimSpace(), 7u);
  EXPECT_STREQ(sb.text(), "in the middle");
  EXPECT_EQ(sb.trimSpace(), 0u);
  StringBuffer blank(" \t ");
  EXPECT_EQ(blank.trimSpace(), 3u);
  EXPECT_EQ(blank.length(), 0u);
}

}  // namespace
}  // namespace rozazar
