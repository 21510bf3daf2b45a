#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/containers/DataBuffer.h"
#include "foundation/object/LogBase.h"
#include "foundation/text/EncodingConvert.h"
#include "tests/foundation/RecordingLog.h"

namespace rozazar {
namespace {

using testing::RecordingLog;

std::string text(const DataBuffer& b) {
  return std::string(reinterpret_cast<const char*>(b.data()), b.size());
}

bool convert(EncodingConvert& c, int from, int to, const std::string& in, DataBuffer& out,
             LogBase& log) {
  return c.EncConvert(from, to, reinterpret_cast<const unsigned char*>(in.data()), in.size(), out,
                      log);
}

TEST(EncConvert, EntryRules) {
  EncodingConvert c;
  LogNull log;
  DataBuffer out;
  EXPECT_TRUE(c.EncConvert(65001, 1251, nullptr, 5, out, log));
  EXPECT_EQ(out.size(), 0u);
  // PDF files pass unchanged.
  ASSERT_TRUE(convert(c, 65001, 1251, "%PDF-1.7 \xD0\xB6", out, log));
  EXPECT_EQ(text(out), "%PDF-1.7 \xD0\xB6");
  out.clear();
  // Target 0 and equal code pages copy; so does an unknown source 0.
  ASSERT_TRUE(convert(c, 932, 0, "\x82\xA0", out, log));
  ASSERT_TRUE(convert(c, 0, 1251, "\xFF", out, log));
  EXPECT_EQ(text(out), "\x82\xA0\xFF");
  // Encoder numbers are no code pages; pages without mapping data fail.
  EXPECT_FALSE(convert(c, 65001, 20, "a", out, log));
  EXPECT_FALSE(convert(c, 65001, 29001, "a", out, log));
  EXPECT_FALSE(c.lossy());
}

TEST(EncConvert, AppendsAndReportsLoss) {
  EncodingConvert c;
  LogNull log;
  DataBuffer out;
  ASSERT_TRUE(out.appendBytes(">", 1));
  ASSERT_TRUE(convert(c, 65001, 1251, "Я€é", out, log));
  EXPECT_EQ(text(out), ">\xDF\x88?");
  EXPECT_TRUE(c.lossy());
  c.clearLossy();
  EXPECT_FALSE(c.lossy());
}

TEST(EncConvert, LargeTextsConvertInOnePiece) {
  std::string in;
  for (int i = 0; i < 50000; ++i) in += "aЖ\xE4\xB8\xAD\xF0\x9F\x98\x80";
  EncodingConvert c;
  LogNull log;
  DataBuffer wide;
  ASSERT_TRUE(convert(c, 65001, 1200, in, wide, log));
  EXPECT_EQ(wide.size(), 50000u * 2 * 5);
  DataBuffer back;
  ASSERT_TRUE(c.EncConvert(1200, 65001, wide.data(), wide.size(), back, log));
  EXPECT_EQ(text(back), in);
  EXPECT_FALSE(c.lossy());
}

TEST(EncConvert, IllFormedInputBetweenUtf8AndTheWideForms) {
  const std::string illFormed(
      "a\xC0\xAF\xED\xA0\x80"
      "b\xE0\x80\xF0\x9F\x98\x80\xF8\xF0\x9F\x98",
      17);
  EncodingConvert c;
  LogNull log;
  DataBuffer wide;
  ASSERT_TRUE(convert(c, 65001, 1200, illFormed, wide, log));
  EXPECT_TRUE(c.lossy());
  std::string expected("a\0", 2);
  for (int i = 0; i < 5; ++i) expected += "\xFD\xFF";
  expected += std::string("b\0", 2);
  for (int i = 0; i < 2; ++i) expected += "\xFD\xFF";
  expected += std::string("\x3D\xD8\x00\xDE\xFD\xFF", 6);
  expected += "\xFD\xFF";  // the cut-off sequence at the end, once
  EXPECT_EQ(text(wide), expected);

  // Every wide form replaces the same bytes by the same U+FFFD characters.
  std::string replaced = "a";
  for (int i = 0; i < 5; ++i) replaced += "\xEF\xBF\xBD";
  replaced += "b\xEF\xBF\xBD\xEF\xBF\xBD\xF0\x9F\x98\x80\xEF\xBF\xBD\xEF\xBF\xBD";
  for (const int codePage : {1200, 1201, 12000, 12001, 65005, 65006}) {
    EncodingConvert there;
    DataBuffer units;
    ASSERT_TRUE(convert(there, 65001, codePage, illFormed, units, log)) << codePage;
    EXPECT_TRUE(there.lossy()) << codePage;
    EncodingConvert back;
    DataBuffer utf8;
    ASSERT_TRUE(back.EncConvert(codePage, 65001, units.data(), units.size(), utf8, log));
    EXPECT_FALSE(back.lossy()) << codePage;
    EXPECT_EQ(text(utf8), replaced) << codePage;
  }

  EncodingConvert d;
  DataBuffer utf8;
  const std::string units("\x3D\xD8x\0\x00\xDC\x3D\xD8\x00\xDE\x41", 11);
  ASSERT_TRUE(convert(d, 1200, 65001, units, utf8, log));
  EXPECT_TRUE(d.lossy());
  EXPECT_EQ(text(utf8), "\xEF\xBF\xBDx\xEF\xBF\xBD\xF0\x9F\x98\x80\xEF\xBF\xBD");
}

TEST(EncConvert, VerboseLogNamesTheCodePages) {
  EncodingConvert c;
  RecordingLog log;
  DataBuffer out;
  ASSERT_TRUE(convert(c, 65001, 1200, "a", out, log));
  EXPECT_TRUE(log.lines.empty());
  log.setVerbose(true);
  ASSERT_TRUE(convert(c, 65001, 1200, "a", out, log));
  const std::vector<std::string> expected = {"enter:EncConvert", "fromCodePage=65001",
                                             "toCodePage=1200", "leave"};
  EXPECT_EQ(log.lines, expected);
}

TEST(EncConvert, UnknownCharsetNamesAreTakenAsUtf8) {
  EncodingConvert c;
  RecordingLog log;
  DataBuffer out;
  const std::string in = "Ж";
  ASSERT_TRUE(c.convertFromCharset(
      "klingon-8", 1251, reinterpret_cast<const unsigned char*>(in.data()), in.size(), out, log));
  EXPECT_EQ(text(out), "\xC6");
  ASSERT_GE(log.lines.size(), 2u);
  EXPECT_EQ(log.lines[0], "error:Unrecognized fromCharset");
  EXPECT_EQ(log.lines[1], "charsetName=klingon-8");
  out.clear();
  ASSERT_TRUE(c.convertFromCharset("Windows-1251", 65001,
                                   reinterpret_cast<const unsigned char*>("\xC6"), 1, out, log));
  EXPECT_EQ(text(out), "Ж");
}

}  // namespace
}  // namespace rozazar
