// Every table-driven and stateful code page: the round trip of every
// mappable character, known texts, and loss on unmappable characters.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "tests/foundation/encoding/CodePageTestSupport.h"

namespace rozazar::encoding {
namespace {

using namespace rozazar::encoding::testing;

Bytes bytesOf(const std::string& text) { return Bytes(text.begin(), text.end()); }

// GB18030's four-byte sequences of the BMP, from its range data, plus a few
// of the supplementary planes.
std::vector<Bytes> fourByteSequences(const CodePageTables& tables) {
  std::vector<Bytes> out;
  auto add = [&out](std::uint32_t linear) {
    Bytes b(4);
    b[3] = static_cast<unsigned char>(0x30 + linear % 10);
    linear /= 10;
    b[2] = static_cast<unsigned char>(0x81 + linear % 126);
    linear /= 126;
    b[1] = static_cast<unsigned char>(0x30 + linear % 10);
    b[0] = static_cast<unsigned char>(0x81 + linear / 10);
    out.push_back(b);
  };
  for (std::size_t r = 0; r < tables.data->fourByteCount; ++r) {
    const std::uint16_t* range = tables.data->fourByte + 3 * r;
    for (std::uint32_t k = 0; k < range[1]; ++k) add(range[2] + k);
  }
  for (const std::uint32_t cp : {0x10000u, 0x1F600u, 0x10FFFFu}) add(189000u + cp - 0x10000u);
  return out;
}

TEST(CodePages, EveryMappableCharacterSurvivesARoundTrip) {
  for (const int codePage : tablePages()) {
    SCOPED_TRACE(codePage);
    const CodePageTables* tables = codePageTables(codePage);
    ASSERT_NE(tables, nullptr);
    std::vector<Bytes> sequences = definedSequences(*tables);
    if (codePage == 54936) {
      const std::vector<Bytes> four = fourByteSequences(*tables);
      sequences.insert(sequences.end(), four.begin(), four.end());
    }
    Bytes all;
    for (const Bytes& s : sequences) all.insert(all.end(), s.begin(), s.end());

    const Converted wide = convertBytes(codePage, 12000, all);
    ASSERT_TRUE(wide.ok);
    EXPECT_FALSE(wide.lossy);
    const std::vector<std::uint32_t> cps = codePointsOf(wide.bytes);
    ASSERT_EQ(cps.size(), sequences.size());

    const Converted back = convertBytes(12000, codePage, wide.bytes);
    EXPECT_FALSE(back.lossy);
    const Converted again = convertBytes(codePage, 12000, back.bytes);
    EXPECT_TRUE(again.bytes == wide.bytes) << "characters changed on the way back";
  }
}

// Where several sequences share one character the page writes only one of
// them; all other characters come back as the very same bytes.
TEST(CodePages, BytesOfUniqueCharactersComeBackUnchanged) {
  for (const int codePage : tablePages()) {
    SCOPED_TRACE(codePage);
    const CodePageTables* tables = codePageTables(codePage);
    ASSERT_NE(tables, nullptr);
    const std::vector<Bytes> sequences = definedSequences(*tables);
    Bytes all;
    std::vector<std::size_t> offsets;
    for (const Bytes& s : sequences) {
      offsets.push_back(all.size());
      all.insert(all.end(), s.begin(), s.end());
    }
    const std::vector<std::uint32_t> cps = codePointsOf(convertBytes(codePage, 12000, all).bytes);
    ASSERT_EQ(cps.size(), sequences.size());
    std::map<std::uint32_t, int> uses;
    for (const std::uint32_t cp : cps) ++uses[cp];
    std::vector<std::uint32_t> unique;
    Bytes expected;
    for (std::size_t i = 0; i < cps.size(); ++i) {
      if (uses[cps[i]] != 1) continue;
      unique.push_back(cps[i]);
      expected.insert(expected.end(), sequences[i].begin(), sequences[i].end());
    }
    EXPECT_TRUE(convertBytes(12000, codePage, utf32Of(unique)).bytes == expected);
  }
}

TEST(CodePages, UnmappableCharactersBecomeTheQuestionMarkAndReportLoss) {
  for (const int codePage : tablePages()) {
    SCOPED_TRACE(codePage);
    // A runic letter is in none of these pages; GB18030 holds every
    // character, so a lone surrogate stands in for it there.
    const Bytes missing = codePage == 54936 ? Bytes{'A', 0, 0x00, 0xD8} : Bytes{'A', 0, 0xA0, 0x16};
    const Converted out = convertBytes(1200, codePage, missing);
    EXPECT_TRUE(out.ok);
    EXPECT_TRUE(out.lossy);
    const Converted text = convertBytes(codePage, 65001, out.bytes);
    EXPECT_EQ(text.bytes, bytesOf("A?"));
    EXPECT_FALSE(text.lossy);
  }
}

TEST(CodePages, UndefinedSequencesDecodeToReplacementCharacters) {
  // A lead byte at the end; a lead byte before a line feed keeps the line
  // feed; an undefined pair counts once.
  Converted r = convertBytes(932, 65001, {'a', 0x82});
  EXPECT_TRUE(r.lossy);
  EXPECT_EQ(r.bytes, bytesOf("a\xEF\xBF\xBD"));
  r = convertBytes(936, 65001, {0x81, '\n', 0xA2, 0xA0, 'b'});
  EXPECT_TRUE(r.lossy);
  EXPECT_EQ(r.bytes, bytesOf("\xEF\xBF\xBD\n\xEF\xBF\xBD"
                             "b"));
  r = convertBytes(54936, 65001, {0x81, 0x30, 0x81});  // a cut-off four-byte sequence
  EXPECT_TRUE(r.lossy);
  r = convertBytes(20932, 65001, {0x8F, 0xA1});
  EXPECT_TRUE(r.lossy);
  EXPECT_EQ(r.bytes, bytesOf("\xEF\xBF\xBD\xEF\xBF\xBD"));
}

struct KnownText {
  int codePage;
  const char* utf8;
  Bytes bytes;
};

const KnownText kKnownTexts[] = {
    {866, "Привет, мир", {0x8F, 0xE0, 0xA8, 0xA2, 0xA5, 0xE2, 0x2C, 0x20, 0xAC, 0xA8, 0xE0}},
    {20866, "Привет, мир", {0xF0, 0xD2, 0xC9, 0xD7, 0xC5, 0xD4, 0x2C, 0x20, 0xCD, 0xC9, 0xD2}},
    {21866, "Привет, мир", {0xF0, 0xD2, 0xC9, 0xD7, 0xC5, 0xD4, 0x2C, 0x20, 0xCD, 0xC9, 0xD2}},
    {1251, "Привет, мир", {0xCF, 0xF0, 0xE8, 0xE2, 0xE5, 0xF2, 0x2C, 0x20, 0xEC, 0xE8, 0xF0}},
    {28595, "Привет, мир", {0xBF, 0xE0, 0xD8, 0xD2, 0xD5, 0xE2, 0x2C, 0x20, 0xDC, 0xD8, 0xE0}},
    {10007, "Привет, мир", {0x8F, 0xF0, 0xE8, 0xE2, 0xE5, 0xF2, 0x2C, 0x20, 0xEC, 0xE8, 0xF0}},
    {21866, "Ґґ", {0xBD, 0xAD}},
    {932,
     "日本語のテキスト",
     {0x93, 0xFA, 0x96, 0x7B, 0x8C, 0xEA, 0x82, 0xCC, 0x83, 0x65, 0x83, 0x4C, 0x83, 0x58, 0x83,
      0x67}},
    {932, "ｱ①", {0xB1, 0x87, 0x40}},
    {51932,
     "日本語のテキスト",
     {0xC6, 0xFC, 0xCB, 0xDC, 0xB8, 0xEC, 0xA4, 0xCE, 0xA5, 0xC6, 0xA5, 0xAD, 0xA5, 0xB9, 0xA5,
      0xC8}},
    {20932, "ｱ丂", {0x8E, 0xB1, 0x8F, 0xB0, 0xA1}},
    {50220, "日本語のテキスト", {0x1B, 0x24, 0x42, 0x46, 0x7C, 0x4B, 0x5C, 0x38, 0x6C, 0x24, 0x4E,
                                 0x25, 0x46, 0x25, 0x2D, 0x25, 0x39, 0x25, 0x48, 0x1B, 0x28, 0x42}},
    {936, "中文测试", {0xD6, 0xD0, 0xCE, 0xC4, 0xB2, 0xE2, 0xCA, 0xD4}},
    {936, "€", {0x80}},
    {950, "中文測試", {0xA4, 0xA4, 0xA4, 0xE5, 0xB4, 0xFA, 0xB8, 0xD5}},
    {54936, "中文测试", {0xD6, 0xD0, 0xCE, 0xC4, 0xB2, 0xE2, 0xCA, 0xD4}},
    {54936, "é€ᚠ😀", {0xA8, 0xA6, 0xA2, 0xE3, 0x81, 0x34, 0xAF, 0x36, 0x94, 0x39, 0xFC, 0x36}},
    {949,
     "한국어 텍스트",
     {0xC7, 0xD1, 0xB1, 0xB9, 0xBE, 0xEE, 0x20, 0xC5, 0xD8, 0xBD, 0xBA, 0xC6, 0xAE}},
    {51949,
     "한국어 텍스트",
     {0xC7, 0xD1, 0xB1, 0xB9, 0xBE, 0xEE, 0x20, 0xC5, 0xD8, 0xBD, 0xBA, 0xC6, 0xAE}},
    {50225, "한국어 텍스트", {0x1B, 0x24, 0x29, 0x43, 0x0E, 0x47, 0x51, 0x31, 0x39, 0x3E, 0x6E,
                              0x0F, 0x20, 0x0E, 0x45, 0x58, 0x3D, 0x3A, 0x46, 0x2E, 0x0F}},
    {52936,
     "汉字 ~ GB",
     {0x7E, 0x7B, 0x3A, 0x3A, 0x57, 0x56, 0x7E, 0x7D, 0x20, 0x7E, 0x7E, 0x20, 0x47, 0x42}},
    {37, "Hello?", {0xC8, 0x85, 0x93, 0x93, 0x96, 0x6F}},
    {20106, "Grüße", {0x47, 0x72, 0x7D, 0x7E, 0x65}},
    {10004, "سلام", {0xD3, 0xE4, 0xC7, 0xE5}},
    {10005, "שלום", {0xF9, 0xEC, 0xE5, 0xED}},
    {10021, "ไทย", {0xE4, 0xB7, 0xC2}},
    {20924, "Hello€", {0xC8, 0x85, 0x93, 0x93, 0x96, 0x9F}},
    {10001, "日本語", {0x93, 0xFA, 0x96, 0x7B, 0x8C, 0xEA}},
    {10002, "中文", {0xA4, 0xA4, 0xA4, 0xE5}},
    {10003, "한국", {0xC7, 0xD1, 0xB1, 0xB9}},
    {10008, "中文", {0xD6, 0xD0, 0xCE, 0xC4}},
    {20000, "中文", {0xC4, 0xE3, 0xC5, 0xC6}},
};

TEST(CodePages, KnownTextsBothWays) {
  for (const KnownText& known : kKnownTexts) {
    SCOPED_TRACE(known.codePage);
    const Converted encoded = convertBytes(65001, known.codePage, bytesOf(known.utf8));
    EXPECT_TRUE(encoded.ok);
    EXPECT_FALSE(encoded.lossy);
    EXPECT_EQ(encoded.bytes, known.bytes);
    const Converted decoded = convertBytes(known.codePage, 65001, known.bytes);
    EXPECT_FALSE(decoded.lossy);
    EXPECT_EQ(decoded.bytes, bytesOf(known.utf8));
  }
}

TEST(CodePages, MacArabicFoldsItsRightToLeftPunctuationOntoAscii) {
  // 0xA0-0xAF repeat space and ASCII punctuation for right-to-left text.
  const Converted r = convertBytes(10004, 65001, {0xA0, 0xA1, 0x20, 0x21, 0xAC});
  EXPECT_FALSE(r.lossy);
  EXPECT_EQ(r.bytes, bytesOf(" ! !\xD8\x8C"));
  EXPECT_EQ(convertBytes(65001, 10004, bytesOf(" !")).bytes, (Bytes{0x20, 0x21}));
}

// Every character of the underlying double-byte set must pass through the
// 7-bit form; characters outside it come back as "?" with loss reported.
struct SevenBitCase {
  int codePage;
  int base;
  std::size_t leastKept;  // the size of JIS X 0208, KS X 1001, GB 2312
};

TEST(CodePages, SevenBitFormsCarryTheirWholeCharacterSet) {
  for (const SevenBitCase& c :
       {SevenBitCase{50220, 932, 6879}, SevenBitCase{50221, 932, 6879},
        SevenBitCase{50222, 932, 6879}, SevenBitCase{50225, 949, 8224},
        SevenBitCase{50227, 20936, 7445}, SevenBitCase{52936, 20936, 7445}}) {
    SCOPED_TRACE(c.codePage);
    const CodePageTables* tables = codePageTables(c.base);
    ASSERT_NE(tables, nullptr);
    Bytes all;
    for (const Bytes& s : definedSequences(*tables)) all.insert(all.end(), s.begin(), s.end());
    // Shift and escape controls cannot be text in these forms.
    std::vector<std::uint32_t> cps;
    for (const std::uint32_t cp : codePointsOf(convertBytes(c.base, 12000, all).bytes)) {
      if (cp != 0x0E && cp != 0x0F && cp != 0x1B) cps.push_back(cp);
    }
    const Bytes wide = utf32Of(cps);
    const Converted seven = convertBytes(12000, c.codePage, wide);
    ASSERT_TRUE(seven.ok);
    for (const unsigned char b : seven.bytes) ASSERT_LT(b, 0x80);
    const Converted back = convertBytes(c.codePage, 12000, seven.bytes);
    EXPECT_FALSE(back.lossy);
    const std::vector<std::uint32_t> result = codePointsOf(back.bytes);
    ASSERT_EQ(result.size(), cps.size());
    std::size_t kept = 0;
    std::size_t lost = 0;
    for (std::size_t i = 0; i < cps.size(); ++i) {
      const bool halfWidth = cps[i] >= 0xFF61 && cps[i] <= 0xFF9F;
      if (result[i] == cps[i]) {
        ++kept;
      } else if (result[i] == '?') {
        ++lost;
      } else if (!(halfWidth && c.codePage == 50220)) {
        // Only 50220 may change a character: half-width katakana become
        // full-width ones.
        ADD_FAILURE() << std::hex << cps[i] << " came back as " << result[i];
      }
    }
    EXPECT_GE(kept, c.leastKept);
    EXPECT_EQ(seven.lossy, lost > 0);
  }
}

TEST(CodePages, Iso2022JpFlavoursOfHalfWidthKatakana) {
  const Bytes kana = bytesOf("ｱ");  // U+FF71
  EXPECT_EQ(convertBytes(65001, 50220, kana).bytes, bytesOf("\x1B$B%\"\x1B(B"));
  EXPECT_EQ(convertBytes(65001, 50221, kana).bytes, bytesOf("\x1B(I1\x1B(B"));
  EXPECT_EQ(convertBytes(65001, 50222, kana).bytes, bytesOf("\x0E"
                                                            "1\x0F"));
  for (const char* form : {"\x1B(I1\x1B(B",
                           "\x0E"
                           "1\x0F",
                           "\xB1"}) {
    EXPECT_EQ(convertBytes(50221, 65001, bytesOf(form)).bytes, kana) << form;
  }
  // JIS X 0212 text and an IBM extension character, which is written in
  // its NEC-selected position.
  EXPECT_EQ(convertBytes(50220, 65001, bytesOf("\x1B$(D0!\x1B(B")).bytes, bytesOf("丂"));
  EXPECT_EQ(convertBytes(65001, 50220, bytesOf("ⅰ")).bytes, bytesOf("\x1B$B|q\x1B(B"));
}

TEST(CodePages, SevenBitDecodingOfShiftsAndOddInput) {
  // HZ: "~" before a line end continues the line; "~~" is one tilde.
  EXPECT_EQ(convertBytes(52936, 65001, bytesOf("a~\nb~~c")).bytes, bytesOf("ab~c"));
  // A pair cut off by the end, or by a control, is lost; the control stays.
  Converted r = convertBytes(50225, 65001, bytesOf("\x1B$)C\x0EG\nQ"));
  EXPECT_TRUE(r.lossy);
  EXPECT_EQ(r.bytes, bytesOf("\xEF\xBF\xBD\n\xEF\xBF\xBD"));
  // ISO-2022-CN leaves GB 2312 at every line end.
  r = convertBytes(50227, 65001, bytesOf("\x1B$)A\x0E::\n::"));
  EXPECT_FALSE(r.lossy);
  EXPECT_EQ(r.bytes, bytesOf("\xE6\xB1\x89\n::"));
  // An escape sequence of no known designation passes as text.
  r = convertBytes(50220, 65001, bytesOf("\x1B(Zx"));
  EXPECT_FALSE(r.lossy);
  EXPECT_EQ(r.bytes, bytesOf("\x1B(Zx"));
}

// The SMS pages: every character of the locking and single shift tables
// comes back, in septets; the national tables are where the standard puts
// them.
TEST(CodePages, GsmPagesCarryBothTablesInSeptets) {
  for (const int codePage : {55000, 55001, 55002, 55003, 55004}) {
    SCOPED_TRACE(codePage);
    Bytes all;
    std::size_t sequences = 0;
    for (unsigned septet = 0; septet < 0x80; ++septet) {
      if (septet == 0x1B) continue;
      all.push_back(static_cast<unsigned char>(septet));
      ++sequences;
      const Bytes shifted = {0x1B, static_cast<unsigned char>(septet)};
      // Only defined positions of the single shift table decode losslessly.
      if (!convertBytes(codePage, 12000, shifted).lossy) {
        all.insert(all.end(), shifted.begin(), shifted.end());
        ++sequences;
      }
    }
    const Converted wide = convertBytes(codePage, 12000, all);
    ASSERT_TRUE(wide.ok);
    EXPECT_FALSE(wide.lossy);
    const std::vector<std::uint32_t> cps = codePointsOf(wide.bytes);
    ASSERT_EQ(cps.size(), sequences);
    const Converted back = convertBytes(12000, codePage, wide.bytes);
    EXPECT_FALSE(back.lossy);
    for (const unsigned char b : back.bytes) ASSERT_LT(b, 0x80);
    EXPECT_EQ(codePointsOf(convertBytes(codePage, 12000, back.bytes).bytes), cps);
  }
  const KnownText texts[] = {
      {55000,
       "@£$ Hello €[x]",
       {0x00, 0x01, 0x02, 0x20, 0x48, 0x65, 0x6C, 0x6C, 0x6F, 0x20, 0x1B, 0x65, 0x1B, 0x3C, 0x78,
        0x1B, 0x3E}},
      {55000, "ΔΣ ¿Ñ?", {0x10, 0x18, 0x20, 0x60, 0x5D, 0x3F}},
      {55001, "¿Ácido?", {0x60, 0x1B, 0x41, 0x63, 0x69, 0x64, 0x6F, 0x3F}},
      {55002, "Ação º", {0x41, 0x09, 0x7B, 0x6F, 0x20, 0x24}},
      {55002, "Φ€", {0x1B, 0x12, 0x18}},
      {55003, "Şişli ığ İ", {0x1C, 0x69, 0x1D, 0x6C, 0x69, 0x20, 0x07, 0x0C, 0x20, 0x40}},
      {55003, "ç€", {0x60, 0x04}},
  };
  for (const KnownText& known : texts) {
    SCOPED_TRACE(known.utf8);
    const Converted encoded = convertBytes(65001, known.codePage, bytesOf(known.utf8));
    EXPECT_FALSE(encoded.lossy);
    EXPECT_EQ(encoded.bytes, known.bytes);
    EXPECT_EQ(convertBytes(known.codePage, 65001, known.bytes).bytes, bytesOf(known.utf8));
  }
}

TEST(CodePages, GsmEscapesOddBytesAndGreekCapitals) {
  struct Case {
    int from;
    int to;
    const char* input;
    const char* output;
  };
  const Case cases[] = {
      // An escape before an undefined position shows that septet; a lone
      // escape or two in a row show a space; bytes above 0x7F are no septets.
      {55000, 65001,
       "\x1B"
       "A\x1B",
       "A "},
      {55000, 65001,
       "a\x1B\x1B"
       "b",
       "a b"},
      {55001, 65001, "\x1B\x80", " \xEF\xBF\xBD"},
      // Characters a page lacks become "?"; the Greek page writes Greek
      // letters as capitals, Latin look-alikes where the alphabet has none.
      {65001, 55000, "Жα", "??"},
      {65001, 55004, "Καλημέρα ψ",
       "KA\x14HME"
       "PA \x17"},
      {65001, 55004, "Ж", "?"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.input);
    const Converted r = convertBytes(c.from, c.to, bytesOf(c.input));
    EXPECT_TRUE(r.ok);
    EXPECT_TRUE(r.lossy);
    EXPECT_EQ(r.bytes, bytesOf(c.output));
  }
}

}  // namespace
}  // namespace rozazar::encoding
