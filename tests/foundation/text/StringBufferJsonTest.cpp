// StringBuffer: JSON escaping and unescaping.
#include <gtest/gtest.h>

#include <string>

#include "foundation/text/StringBuffer.h"
#include "tests/foundation/TestObjects.h"

namespace rozazar {
namespace {

using testing::AllocationRefusal;

std::string contents(const StringBuffer& sb) { return std::string(sb.text(), sb.length()); }

std::string escaped(const std::string& text) {
  StringBuffer sb;
  sb.appendBytes(text.data(), text.size());
  EXPECT_TRUE(sb.escapeJsonInPlace());
  return contents(sb);
}

std::string unescaped(const std::string& json) {
  StringBuffer out;
  EXPECT_TRUE(StringBuffer::jsonUnescapeAppend(json.data(), json.size(), out));
  return contents(out);
}

TEST(JsonEscape, ControlQuoteAndBackslashEscapedSlashAndUtf8Kept) {
  EXPECT_EQ(escaped("\t\"\x01/\xC3\xA9"), "\\t\\\"\\u0001/\xC3\xA9");
  EXPECT_EQ(escaped("\b\f\n\r\\"), "\\b\\f\\n\\r\\\\");
  EXPECT_EQ(escaped("\x1F\x7F"), "\\u001F\x7F");
  EXPECT_EQ(escaped(std::string("a\0b", 3)), "a\\u0000b");
  // A four-byte sequence and stray continuation bytes pass unchanged.
  EXPECT_EQ(escaped("\xF0\x9F\x98\x80 \x80\xBF"), "\xF0\x9F\x98\x80 \x80\xBF");
}

TEST(JsonEscape, QuoteOrBackslashAfterAnInvalidLeadByteIsStillEscaped) {
  // A lead byte announces continuation bytes; a quote is not one.
  EXPECT_EQ(escaped("\xC3\"}"), "\xC3\\\"}");
  EXPECT_EQ(escaped("\xE2\x82\\"), "\xE2\x82\\\\");
  EXPECT_EQ(escaped("\xFC\x80\n"), "\xFC\x80\\n");
  // A lead byte at the very end copies nothing more.
  EXPECT_EQ(escaped("\"\xF0"), "\\\"\xF0");
}

TEST(JsonEscape, NothingToEscapeLeavesTheBufferUntouched) {
  StringBuffer sb("plain text / \xC3\xA9");
  const char* before = sb.text();
  ASSERT_TRUE(sb.escapeJsonInPlace());
  EXPECT_EQ(sb.text(), before);
  EXPECT_TRUE(sb.isInline());
}

TEST(JsonEscape, ResultBlockHoldsTheTextPlusFourSpareBytes) {
  StringBuffer sb("a\"b\x01");  // one short escape, one unicode escape
  ASSERT_TRUE(sb.escapeJsonInPlace());
  EXPECT_STREQ(sb.text(), "a\\\"b\\u0001");
  EXPECT_EQ(sb.ownedHeapBytes(), 4u + 1u + 5u + 4u);
}

TEST(JsonEscape, AllocationFailureLeavesTheText) {
  StringBuffer sb("tab\there");
  AllocationRefusal refuse;
  EXPECT_FALSE(sb.escapeJsonInPlace());
  EXPECT_STREQ(sb.text(), "tab\there");
}

TEST(JsonUnescape, SimpleEscapesAndUnknownOnesDropped) {
  EXPECT_EQ(unescaped("\\\"\\\\\\/\\b\\f\\n\\r\\t"), "\"\\/\b\f\n\r\t");
  EXPECT_EQ(unescaped("a\\qb"), "ab");
  EXPECT_EQ(unescaped("end\\"), "end");
  EXPECT_EQ(unescaped("end\\u"), "end");
}

TEST(JsonUnescape, UnicodeEscapesBecomeUtf8OneEscapeAtATime) {
  EXPECT_EQ(unescaped("\\u00e9"), "\xC3\xA9");
  EXPECT_EQ(unescaped("\\u0041\\u07FF\\u0800\\uFFFF"), "A\xDF\xBF\xE0\xA0\x80\xEF\xBF\xBF");
  // Each half of a surrogate pair is encoded by itself.
  EXPECT_EQ(unescaped("\\uD83D\\uDE00"), "\xED\xA0\xBD\xED\xB8\x80");
  // Leading blanks are skipped; reading stops at a non-digit; four bytes go.
  EXPECT_EQ(unescaped("\\u  41|"), "A|");
  EXPECT_EQ(unescaped("\\u4G00x"), "\x04x");
  EXPECT_EQ(unescaped("\\uzzzzx"), std::string("\0x", 2));  // no digits: value 0
  // Fewer than four bytes after \u: they are ordinary text.
  EXPECT_EQ(unescaped("\\u12"), "12");
}

TEST(JsonUnescape, ZeroBytesInTheMiddleSurviveTheStagingBoundary) {
  // The 200th staged byte is a decoded zero; the text continues after it.
  const std::string json = std::string(199, 'a') + "\\u0000" + "b";
  const std::string expected = std::string(199, 'a') + std::string(1, '\0') + "b";
  EXPECT_EQ(unescaped(json), expected);
  // At the very end zero bytes do not count, as with appendBytes.
  EXPECT_EQ(unescaped("ab\\u0000\\u0000"), "ab");
}

TEST(JsonUnescape, ZeroInputBytesAreDataAndOutputIsAppended) {
  StringBuffer out("pre:");
  const char data[] = {'x', '\0', 'y'};
  ASSERT_TRUE(StringBuffer::jsonUnescapeAppend(data, sizeof data, out));
  EXPECT_EQ(contents(out), std::string("pre:x\0y", 7));
  EXPECT_TRUE(StringBuffer::jsonUnescapeAppend(nullptr, 3, out));
}

TEST(JsonUnescape, LongInputsAreStagedAndFailureKeepsTheOldText) {
  std::string json;
  std::string expected;
  for (int i = 0; i < 500; ++i) {
    json += "\\n\\u00e9x";
    expected += "\n\xC3\xA9x";
  }
  EXPECT_EQ(unescaped(json), expected);

  StringBuffer out("kept");
  AllocationRefusal refuse;
  EXPECT_FALSE(StringBuffer::jsonUnescapeAppend(json.data(), json.size(), out));
  EXPECT_STREQ(out.text(), "kept");
}

TEST(JsonRoundTrip, UnescapingTheEscapedTextGivesItBack) {
  std::string all;
  for (int c = 1; c < 256; ++c) all += static_cast<char>(c);
  EXPECT_EQ(unescaped(escaped(all)), all);
  const std::string mixed = "\xC3\"\\\xE2\x82\n\x01\xF0\x9F\x98\x80";
  EXPECT_EQ(unescaped(escaped(mixed)), mixed);
}

}  // namespace
}  // namespace rozazar
