#include <gtest/gtest.h>

#include "foundation/text/EncodingConvert.h"
#include "foundation/text/StringBuffer.h"

namespace rozazar {
namespace {

class CharsetNames : public ::testing::Test {
 protected:
  void SetUp() override { pinAnsiCodePageForTesting(1251); }
  void TearDown() override { pinAnsiCodePageForTesting(0); }
};

TEST_F(CharsetNames, NamesAreNormalisedBeforeTheLookUp) {
  EXPECT_EQ(EncodingConvert::charsetToCodePage("  Windows_1252 "), 1252);
  EXPECT_EQ(EncodingConvert::charsetToCodePage("bom-utf-8"), 65001);
  EXPECT_EQ(EncodingConvert::charsetToCodePage("no-bom-utf-8"), 65001);
  EXPECT_EQ(EncodingConvert::charsetToCodePage("BOM_UTF-16LE"), 1200);
  EXPECT_EQ(EncodingConvert::charsetToCodePage("\"iso-8859-1\""), 28591);
  EXPECT_EQ(EncodingConvert::charsetToCodePage("'Shift_JIS'"), 932);
}

TEST_F(CharsetNames, ShortNamesAndAnsiGiveTheAnsiCodePage) {
  EXPECT_EQ(EncodingConvert::charsetToCodePage("xy"), 1251);
  EXPECT_EQ(EncodingConvert::charsetToCodePage(""), 1251);
  EXPECT_EQ(EncodingConvert::charsetToCodePage("ANSI"), 1251);
  EXPECT_EQ(EncodingConvert::charsetToCodePage("no-such-charset"), 0);
  EXPECT_EQ(EncodingConvert::charsetToCodePage("utf-8x"), 0);
}

TEST_F(CharsetNames, AliasesAndEncoderNames) {
  EXPECT_EQ(EncodingConvert::charsetToCodePage("ascii"), 20127);
  EXPECT_EQ(EncodingConvert::charsetToCodePage("ANSI_X3.4-1968"), 20127);
  EXPECT_EQ(EncodingConvert::charsetToCodePage("arabic"), 28596);
  EXPECT_EQ(EncodingConvert::charsetToCodePage("chinese"), 936);
  EXPECT_EQ(EncodingConvert::charsetToCodePage("cn-big5"), 950);
  EXPECT_EQ(EncodingConvert::charsetToCodePage("cyrillic"), 28595);
  EXPECT_EQ(EncodingConvert::charsetToCodePage("csISO2022JP"), 50221);
  EXPECT_EQ(EncodingConvert::charsetToCodePage("CCSID01140"), 1140);
  EXPECT_EQ(EncodingConvert::charsetToCodePage("csIBM037"), 37);
  EXPECT_EQ(EncodingConvert::charsetToCodePage("cp1251"), 1251);
  EXPECT_EQ(EncodingConvert::charsetToCodePage("utf-32"), 12000);
  EXPECT_EQ(EncodingConvert::charsetToCodePage("base64_mime"), 24);
  EXPECT_EQ(EncodingConvert::charsetToCodePage("base64url"), 20);
}

TEST_F(CharsetNames, EveryCanonicalNameLeadsBackToItsCodePage) {
  for (int codePage = 1; codePage < 66000; ++codePage) {
    StringBuffer name;
    if (!EncodingConvert::codePageToCharset(codePage, name)) continue;
    const int back = EncodingConvert::charsetToCodePage(name.text());
    if (name.length() < 3 || name.equalsText("ansi")) {
      EXPECT_EQ(back, 1251) << name.text();
    } else {
      // Some code pages share a canonical name; the name leads to one of them.
      StringBuffer again;
      ASSERT_TRUE(EncodingConvert::codePageToCharset(back, again)) << name.text();
      EXPECT_TRUE(again.equalsBuffer(name)) << name.text();
    }
  }
  StringBuffer name;
  EXPECT_TRUE(EncodingConvert::codePageToCharset(949, name));
  EXPECT_STREQ(name.text(), "ks_c_5601-1987");
  EXPECT_FALSE(EncodingConvert::codePageToCharset(65002, name));
  EXPECT_FALSE(EncodingConvert::codePageToCharset(5, name));
}

}  // namespace
}  // namespace rozazar
