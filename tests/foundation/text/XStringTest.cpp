#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/object/LogBase.h"
#include "foundation/text/EncodingConvert.h"
#include "foundation/text/XString.h"
#include "tests/foundation/RecordingLog.h"
#include "tests/foundation/TestObjects.h"

namespace rozazar {
namespace {

using testing::AllocationRefusal;

std::u16string wide(XString& s) {
  const char16_t* text = s.getUtf16();
  return text != nullptr ? std::u16string(text) : std::u16string();
}

// Tests that touch the ANSI form pin the ANSI code page of a Bulgarian
// Windows, so they hold on every machine.
class XStringAnsi : public ::testing::Test {
 protected:
  void SetUp() override { pinAnsiCodePageForTesting(1251); }
  void TearDown() override { pinAnsiCodePageForTesting(0); }
};

const char kHello1251[] = "\xC7\xE4\xF0\xE0\xE2\xE5\xE9";  // Здравей

TEST(XString, StartsEmptyWithBothEightBitFormsCurrent) {
  XString s;
  EXPECT_TRUE(s.isValid());
  EXPECT_TRUE(s.isEmpty());
  EXPECT_TRUE(s.isUtf8Current());
  EXPECT_TRUE(s.isAnsiCurrent());
  EXPECT_FALSE(s.isWideCurrent());
  EXPECT_STREQ(s.getUtf8(), "");
  EXPECT_EQ(wide(s), u"");
  EXPECT_EQ(s.charCount(), 0u);
}

TEST(XString, ByteOrderMarksOfTheInputAreDropped) {
  XString s;
  ASSERT_TRUE(s.setFromUtf8("\xEF\xBB\xBFjson"));
  EXPECT_STREQ(s.getUtf8(), "json");
  ASSERT_TRUE(s.setFromUtf16(u"\uFEFFab"));
  EXPECT_EQ(wide(s), u"ab");
  ASSERT_TRUE(
      s.appendUtf8("\xEF\xBB\xBF"
                   "c"));
  EXPECT_STREQ(s.getUtf8(), "abc");
  const std::uint32_t units[] = {0x0000FEFFu, 'x', 0x1F600u, 0};
  XString w;
  ASSERT_TRUE(w.appendUtf32N(units, 3));
  const std::uint32_t* utf32 = w.getUtf32();
  ASSERT_NE(utf32, nullptr);
  EXPECT_EQ(utf32[0], static_cast<std::uint32_t>('x'));
  EXPECT_EQ(utf32[1], 0x1F600u);
  EXPECT_EQ(utf32[2], 0u);
  EXPECT_STREQ(w.getUtf8(), "x\xF0\x9F\x98\x80");
}

TEST(XString, ChangingOneFormMakesTheOthersStale) {
  XString s;
  ASSERT_TRUE(s.setFromUtf16(u"abc"));
  EXPECT_TRUE(s.isWideCurrent());
  EXPECT_FALSE(s.isUtf8Current());
  EXPECT_STREQ(s.getUtf8(), "abc");
  EXPECT_EQ(s.sizeUtf8(), 3u);
  EXPECT_TRUE(s.isWideCurrent() && s.isUtf8Current());
  ASSERT_TRUE(s.appendUtf8("d"));
  EXPECT_FALSE(s.isWideCurrent());
  EXPECT_EQ(wide(s), u"abcd");
  ASSERT_TRUE(s.appendUtf16(u"\u0436"));
  EXPECT_FALSE(s.isUtf8Current());
  EXPECT_STREQ(s.getUtf8(), "abcd\xD0\xB6");
}

TEST(XString, BothWideFormsReplaceIllFormedUtf8Alike) {
  XString s;
  ASSERT_TRUE(
      s.setFromUtf8("a\xFF"
                    "b\xE2\x82"));
  EXPECT_EQ(wide(s), u"a\uFFFDb\uFFFD");
  std::u32string utf32;
  for (const std::uint32_t* unit = s.getUtf32(); unit != nullptr && *unit != 0; ++unit)
    utf32 += static_cast<char32_t>(*unit);
  EXPECT_EQ(utf32, U"a\uFFFDb\uFFFD");
}

TEST(XString, TextThatLooksLikeAPdfIsStillConverted) {
  XString s;
  ASSERT_TRUE(s.setFromUtf8("%PDF-1.7 Ж"));
  EXPECT_EQ(wide(s), u"%PDF-1.7 Ж");
}

TEST(XString, CountsUtf16UnitsOutsideTheBmpTwice) {
  XString s;
  ASSERT_TRUE(s.setFromUtf8("\xF0\x9F\x98\x80"));
  EXPECT_EQ(s.charCount(), 2u);
  EXPECT_EQ(s.sizeUtf8(), 4u);
  EXPECT_EQ(wide(s), u"\U0001F600");
  ASSERT_TRUE(
      s.setFromUtf8("\xF0\x9F\x98\x80"
                    "ab"));
  EXPECT_EQ(s.indexOfUtf8("b"), 3);
  EXPECT_EQ(s.indexOfUtf8("z"), -1);
  EXPECT_EQ(s.indexOfUtf8(nullptr), -1);
}

TEST_F(XStringAnsi, AnsiTextMovesThroughTheCodePage) {
  XString s;
  ASSERT_TRUE(s.setFromAnsi(kHello1251));
  EXPECT_STREQ(s.getUtf8(), "Здравей");
  EXPECT_EQ(wide(s), u"Здравей");
  EXPECT_EQ(s.charCount(), 7u);  // ANSI is current: bytes
  XString t;
  ASSERT_TRUE(t.setFromUtf8("Здравей, свят"));
  EXPECT_STREQ(t.getAnsi(), "\xC7\xE4\xF0\xE0\xE2\xE5\xE9, \xF1\xE2\xFF\xF2");
  ASSERT_TRUE(t.appendAnsi(" \xE8"));  // ANSI current: appended as it is
  EXPECT_FALSE(t.isUtf8Current());
  EXPECT_STREQ(t.getUtf8(), "Здравей, свят и");
  ASSERT_TRUE(t.appendAnsi("\xE4"));  // now UTF-8 only: converted first
  EXPECT_STREQ(t.getUtf8(),
               "Здравей, свят и"
               "д");
}

TEST_F(XStringAnsi, AFailedAnsiConversionStaysStale) {
  pinAnsiCodePageForTesting(29001);  // a page without mapping data
  XString s;
  ASSERT_TRUE(s.setFromUtf8("abc"));
  EXPECT_STREQ(s.getAnsi(), "");
  EXPECT_FALSE(s.isAnsiCurrent());
  pinAnsiCodePageForTesting(1251);
  EXPECT_STREQ(s.getAnsi(), "abc");
  EXPECT_TRUE(s.isAnsiCurrent());
}

TEST(XString, LowerCasingUsesTheUnicodeMapping) {
  XString s;
  ASSERT_TRUE(s.setFromUtf16(u"\u0410\u00C9\u00D7\u00A1\u0141X"));
  ASSERT_TRUE(s.toLowerCase());
  EXPECT_EQ(wide(s), u"\u0430\u00E9\u00D7\u00A1\u0142x");
  ASSERT_TRUE(s.setFromUtf8("ДОБЪР ДЕН"));
  ASSERT_TRUE(s.toLowerCase());
  EXPECT_STREQ(s.getUtf8(), "добър ден");
}

TEST(XString, CaseInsensitiveComparisons) {
  XString s;
  ASSERT_TRUE(s.setFromUtf8("Добър Ден, World"));
  EXPECT_TRUE(s.equalsUtf8NoCase("ДОБЪР ден, world"));
  EXPECT_FALSE(s.equalsUtf8NoCase("ДОБЪР ден, worl"));
  EXPECT_FALSE(s.equalsUtf8("добър ден, world"));
  EXPECT_TRUE(
      s.equalsUtf8("\xEF\xBB\xBF"
                   "Добър Ден, World"));
  EXPECT_TRUE(s.startsWithUtf8("добър", true));
  EXPECT_FALSE(s.startsWithUtf8("добър", false));
  EXPECT_TRUE(s.endsWithUtf8("WORLD", true));
  EXPECT_TRUE(s.endsWithUtf8("", false));
  EXPECT_FALSE(s.endsWithUtf8("a much longer text than the string itself", true));
  EXPECT_TRUE(s.containsUtf8("Ден"));
  ASSERT_TRUE(s.setFromUtf8("\xC3\xA9"));
  EXPECT_FALSE(s.equalsUtf8NoCase("e"));  // ASCII never equals non-ASCII
  // A sequence cut off by the terminator ends the walk without reading on.
  ASSERT_TRUE(s.setFromUtf8N("\xE2\x82", 2));
  EXPECT_FALSE(s.equalsUtf8NoCase("\xE2\x82\xAC"));
  XString empty;
  EXPECT_TRUE(empty.equalsUtf8(nullptr));
  EXPECT_TRUE(empty.equalsUtf8NoCase(""));
}

TEST(XString, ContainsNoCaseFoldsLatin1InTheAnsiForm) {
  pinAnsiCodePageForTesting(1252);
  XString s;
  ASSERT_TRUE(s.setFromUtf8("Caf\xC3\xA9 CR\xC3\x88ME"));
  EXPECT_TRUE(s.containsNoCase("CAF\xC3\x89"));
  EXPECT_TRUE(s.containsNoCase("cr\xC3\xA8me"));
  EXPECT_FALSE(s.containsNoCase("tea"));
  pinAnsiCodePageForTesting(0);
}

TEST_F(XStringAnsi, CharacterEditsWorkOnTheCurrentForm) {
  XString s;
  ASSERT_TRUE(s.setFromAnsi("a-b-c"));
  ASSERT_TRUE(s.replaceChar('-', '+'));
  EXPECT_STREQ(s.getUtf8(), "a+b+c");
  ASSERT_TRUE(s.setFromUtf8("д-е-ж"));
  ASSERT_TRUE(s.removeChar('-'));
  EXPECT_TRUE(s.isWideCurrent());
  EXPECT_STREQ(s.getUtf8(), "деж");
  ASSERT_TRUE(s.replaceChar('\xE4', '\xE6'));  // д to ж in windows-1251
  EXPECT_STREQ(s.getUtf8(), "жеж");
  ASSERT_TRUE(s.replaceFirstUtf8("е", "X", false));
  ASSERT_TRUE(s.replaceFirstUtf8("x", "e", true));
  EXPECT_STREQ(s.getUtf8(), "жeж");
  EXPECT_FALSE(s.replaceLastUtf8("q", "x"));
  ASSERT_TRUE(s.replaceLastUtf8("ж", "y"));
  EXPECT_STREQ(s.getUtf8(), "жey");
}

TEST(XString, CopyingAndAppendingStrings) {
  XString a;
  ASSERT_TRUE(a.setFromUtf16(u"wide "));
  XString b;
  ASSERT_TRUE(b.copyFrom(a));
  EXPECT_TRUE(b.isWideCurrent());
  ASSERT_TRUE(b.appendXString(b));
  EXPECT_EQ(wide(b), u"wide wide ");
  XString c;
  ASSERT_TRUE(c.setFromUtf8("8bit "));
  ASSERT_TRUE(c.appendXString(a));
  EXPECT_STREQ(c.getUtf8(), "8bit wide ");
  ASSERT_TRUE(a.copyFrom(a));
  EXPECT_EQ(wide(a), u"wide ");
}

TEST_F(XStringAnsi, ItsOwnTextMayBeSetAndAppended) {
  XString s;
  ASSERT_TRUE(s.setFromUtf8("свое"));
  ASSERT_TRUE(s.setFromAnsi(s.getAnsi()));
  EXPECT_STREQ(s.getUtf8(), "свое");
  ASSERT_TRUE(s.setFromUtf8(s.getUtf8()));
  EXPECT_STREQ(s.getUtf8(), "свое");
  ASSERT_TRUE(s.setFromUtf16(s.getUtf16()));
  EXPECT_EQ(wide(s), u"свое");
  const std::string longer(3000, 'w');
  ASSERT_TRUE(s.appendUtf8(longer.c_str()));
  ASSERT_TRUE(s.appendUtf16(s.getUtf16()));  // grows while reading itself
  EXPECT_EQ(s.charCount(), 2 * (4 + 3000u));
  ASSERT_TRUE(s.appendUtf8(s.getUtf8()));
  EXPECT_EQ(s.sizeUtf8(), 4 * (8 + 3000u));
}

TEST_F(XStringAnsi, EncodedFormsInAnyCodePage) {
  XString s;
  ASSERT_TRUE(s.setFromUtf16(u"Яж"));
  DataBuffer out;
  ASSERT_TRUE(s.getEncoded(1200, out));  // copied, no terminator
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(out.data()), out.size()),
            std::string("\x2F\x04\x36\x04", 4));
  out.clear();
  ASSERT_TRUE(s.getEncoded(1251, out));
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(out.data()), out.size()), "\xDF\xE6");
  out.clear();
  ASSERT_TRUE(s.getEncoded(65001, out));
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(out.data()), out.size()), "Яж");
  EXPECT_FALSE(s.getEncoded(1, out));      // the encoder's numbers
  EXPECT_FALSE(s.getEncoded(29001, out));  // no mapping data
}

TEST(XString, ClearingKeepsOrReleasesStorage) {
  XString s;
  std::string big(5000, 'x');
  ASSERT_TRUE(s.setFromUtf8(big.c_str()));
  ASSERT_NE(s.getUtf16(), nullptr);
  s.clear();
  EXPECT_TRUE(s.isEmpty());
  EXPECT_TRUE(s.isUtf8Current() && s.isAnsiCurrent() && !s.isWideCurrent());
  ASSERT_TRUE(s.setFromUtf8(big.c_str()));
  s.wipeAndRelease();
  EXPECT_STREQ(s.getUtf8(), "");
  EXPECT_EQ(s.getUtf8Buffer()->ownedHeapBytes(), 0u);
}

TEST(XString, AllocationFailureLeavesTheTextAsItWas) {
  XString s;
  ASSERT_TRUE(s.setFromUtf8("keep"));
  const std::string big(100000, 'y');
  {
    AllocationRefusal refuse;
    EXPECT_FALSE(s.appendUtf8(big.c_str()));
  }
  EXPECT_STREQ(s.getUtf8(), "keep");
  EXPECT_EQ(wide(s), u"keep");
}

TEST(XString, LogsItsUtf8Text) {
  XString s;
  ASSERT_TRUE(s.setFromUtf16(u"път"));
  testing::RecordingLog log;
  EXPECT_TRUE(log.logDataXString("path", s));
  ASSERT_EQ(log.lines.size(), 1u);
  EXPECT_EQ(log.lines[0], "path=път");
  log.setSuppressed(true);
  EXPECT_TRUE(log.logDataXString("path", s));
  EXPECT_EQ(log.lines.size(), 1u);
}

TEST_F(XStringAnsi, ReplacingACharacterInUtf8Text) {
  StringBuffer sb("а-б-в");
  EXPECT_EQ(sb.replaceAllCharUtf8('-', '+'), 2u);
  EXPECT_STREQ(sb.text(), "а+б+в");
  EXPECT_EQ(sb.replaceAllCharUtf8('\xE1', '\xE3'), 1u);  // б to г in windows-1251
  EXPECT_STREQ(sb.text(), "а+г+в");
  StringBuffer ascii("x.y.z");
  EXPECT_EQ(ascii.replaceAllCharUtf8('.', '/'), 2u);
  EXPECT_STREQ(ascii.text(), "x/y/z");
}

}  // namespace
}  // namespace rozazar
