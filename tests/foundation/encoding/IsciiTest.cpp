// The ISCII pages 57002-57011: known words of every script, script
// switching, the two-byte combinations, and loss on undefined input.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/encoding/Iscii.h"
#include "tests/foundation/encoding/CodePageTestSupport.h"

namespace rozazar::encoding {
namespace {

using namespace rozazar::encoding::testing;

std::vector<std::uint32_t> cpsOf(const std::u32string& text) {
  return std::vector<std::uint32_t>(text.begin(), text.end());
}

Converted fromText(int codePage, const std::u32string& text) {
  return convertBytes(12000, codePage, utf32Of(cpsOf(text)));
}

struct Decoded {
  bool lossy = false;
  std::u32string text;
};

Decoded toText(int codePage, const Bytes& bytes) {
  const Converted converted = convertBytes(codePage, 12000, bytes);
  EXPECT_TRUE(converted.ok) << codePage;
  Decoded out;
  out.lossy = converted.lossy;
  for (const std::uint32_t cp : codePointsOf(converted.bytes))
    out.text += static_cast<char32_t>(cp);
  return out;
}

struct Case {
  int codePage;
  std::u32string text;
  Bytes bytes;
};

// Each word in its own page; the bytes follow from the table's rows.
const std::vector<Case>& knownWords() {
  static const std::vector<Case> cases = {
      {57002, U"नमस्ते", {0xC6, 0xCC, 0xD7, 0xE8, 0xC2, 0xE1}},
      {57003, U"বাংলা", {0xCA, 0xDA, 0xA2, 0xD1, 0xDA}},
      {57004, U"தமிழ்", {0xC2, 0xCC, 0xDB, 0xD3, 0xE8}},
      {57005, U"తెలుగు", {0xC2, 0xE0, 0xD1, 0xDD, 0xB5, 0xDD}},
      {57006, U"অসমৰ", {0xA4, 0xD7, 0xCC, 0xCF}},
      {57007, U"ଓ\u0B5Cିଆ", {0xB0, 0xBF, 0xE9, 0xDB, 0xA5}},
      {57008, U"ಕನ್ನಡ", {0xB3, 0xC6, 0xE8, 0xC6, 0xBF}},
      {57009, U"മലയാളം", {0xCC, 0xD1, 0xCD, 0xDA, 0xD2, 0xA2}},
      {57010, U"ગુજરાતી", {0xB5, 0xDD, 0xBA, 0xCF, 0xDA, 0xC2, 0xDC}},
      {57011, U"ਗੁਰਮੁਖੀ", {0xB5, 0xDD, 0xCF, 0xCC, 0xDD, 0xB4, 0xDC}},
      {57002, U"Hi, ॐ १९४७।", {'H', 'i', ',', ' ', 0xA1, 0xE9, ' ', 0xF2, 0xFA, 0xF5, 0xF8, 0xEA}},
  };
  return cases;
}

TEST(Iscii, KnownWordsConvertBothWays) {
  for (const Case& c : knownWords()) {
    const Converted there = fromText(c.codePage, c.text);
    EXPECT_FALSE(there.lossy) << c.codePage;
    EXPECT_EQ(there.bytes, c.bytes) << c.codePage;
    const Decoded back = toText(c.codePage, c.bytes);
    EXPECT_FALSE(back.lossy) << c.codePage;
    EXPECT_TRUE(back.text == c.text) << c.codePage;
  }
}

// The Unicode block each page opens in.
const std::uint32_t kPageBlocks[] = {0x0900, 0x0980, 0x0B80, 0x0C00, 0x0980,
                                     0x0B00, 0x0C80, 0x0D00, 0x0A80, 0x0A00};

TEST(Iscii, EveryMappableCharacterSurvivesARoundTrip) {
  std::vector<std::uint32_t> candidates = {0x200C, 0x200D};
  for (std::uint32_t cp = 0x0900; cp < 0x0D80; ++cp) candidates.push_back(cp);
  int mappedOnFirstPage = -1;
  for (int codePage = kFirstIsciiPage; codePage <= kLastIsciiPage; ++codePage) {
    const std::uint32_t ownBlock = kPageBlocks[codePage - kFirstIsciiPage];
    int mapped = 0;
    for (const std::uint32_t cp : candidates) {
      const Converted there = convertBytes(12000, codePage, utf32Of({cp}));
      ASSERT_TRUE(there.ok);
      if (there.lossy) continue;
      ++mapped;
      // A character of the page's own script needs no switch (Assamese and
      // Bengali differ in RA and WA).
      const bool own = cp >= ownBlock && cp < ownBlock + 0x80 && cp != 0x09F0 && cp != 0x09F1 &&
                       !(codePage == 57006 && cp == 0x09B0);
      EXPECT_TRUE(!own || there.bytes[0] != 0xEF) << codePage << " U+" << std::hex << cp;
      const Converted back = convertBytes(codePage, 12000, there.bytes);
      EXPECT_FALSE(back.lossy) << codePage << " U+" << std::hex << cp;
      EXPECT_EQ(codePointsOf(back.bytes), std::vector<std::uint32_t>{cp})
          << codePage << " U+" << std::hex << cp;
    }
    // Every page reaches the letters of all scripts through ATR.
    if (mappedOnFirstPage < 0) mappedOnFirstPage = mapped;
    EXPECT_EQ(mapped, mappedOnFirstPage) << codePage;
  }
  EXPECT_GT(mappedOnFirstPage, 500);
}

TEST(Iscii, EveryDefinedSequenceSurvivesARoundTrip) {
  // ISCII -> UTF-32 -> ISCII for each byte and each pair a page defines.
  for (int codePage = kFirstIsciiPage; codePage <= kLastIsciiPage; ++codePage) {
    int defined = 0;
    for (unsigned first = 0xA1; first <= 0xFA; ++first) {
      for (unsigned second = 0; second <= 0xEE; second = second == 0 ? 0xA1 : second + 1) {
        // A halant and INV read as the halant and the joiner, which is
        // written as the soft halant.
        if (first == 0xE8 && second == 0xD9) continue;
        Bytes sequence = {static_cast<unsigned char>(first)};
        if (second != 0) sequence.push_back(static_cast<unsigned char>(second));
        const Converted text = convertBytes(codePage, 12000, sequence);
        if (text.lossy) continue;
        ++defined;
        const Converted back = convertBytes(12000, codePage, text.bytes);
        EXPECT_FALSE(back.lossy) << codePage << " " << std::hex << first << " " << second;
        EXPECT_EQ(back.bytes, sequence) << codePage << " " << std::hex << first << " " << second;
      }
    }
    EXPECT_GT(defined, 70) << codePage;
  }
}

TEST(Iscii, AtrSwitchesScriptsUntilTheLineEnds) {
  const struct {
    int codePage;
    std::u32string text;
    Bytes bytes;
  } cases[] = {
      // Each change of script writes ATR once; a new line starts in the
      // page's own script again.
      {57002,
       U"नमस्ते বাংলা",
       {0xC6, 0xCC, 0xD7, 0xE8, 0xC2, 0xE1, ' ', 0xEF, 0x43, 0xCA, 0xDA, 0xA2, 0xD1, 0xDA}},
      {57002, U"বা\nব न", {0xEF, 0x43, 0xCA, 0xDA, '\n', 0xEF, 0x43, 0xCA, ' ', 0xEF, 0x42, 0xC6}},
      {57002, U"ক\nन", {0xEF, 0x43, 0xB3, '\n', 0xC6}},
      // Bengali's RA is not Assamese's, and Bengali has no WA.
      {57003, U"অসমৰ", {0xA4, 0xD7, 0xCC, 0xEF, 0x46, 0xCF}},
      {57006, U"র\u09F1ক", {0xEF, 0x43, 0xCF, 0xEF, 0x46, 0xD4, 0xB3}},
      {57011, U"ਕक੧", {0xB3, 0xEF, 0x42, 0xB3, 0xEF, 0x4B, 0xF2}},
      {57004, U"கক", {0xB3, 0xEF, 0x43, 0xB3}},
  };
  for (const auto& c : cases) {
    const Converted there = fromText(c.codePage, c.text);
    EXPECT_FALSE(there.lossy) << c.codePage;
    EXPECT_EQ(there.bytes, c.bytes) << c.codePage;
    const Decoded back = toText(c.codePage, c.bytes);
    EXPECT_FALSE(back.lossy) << c.codePage;
    EXPECT_TRUE(back.text == c.text) << c.codePage;
  }
  // Display attributes are skipped, ATR DEF returns to the page's script,
  // and CR ends a line as LF does.
  const struct {
    Bytes bytes;
    std::u32string text;
  } reads[] = {
      {{0xEF, 0x30, 0xC6, 0xEF, 0x3F, 0xC6}, U"नन"},
      {{0xEF, 0x49, 0xC6, 0xEF, 0x40, 0xC6}, U"നन"},
      {{0xEF, 0x44, 0xC6, '\r', 0xC6}, U"ந\rन"},
  };
  for (const auto& r : reads) {
    const Decoded text = toText(57002, r.bytes);
    EXPECT_FALSE(text.lossy);
    EXPECT_TRUE(text.text == r.text) << text.text.size();
  }
}

TEST(Iscii, NuktaHalantDandaInvAndExtCombinations) {
  // Both ways on the Devanagari page unless noted.
  const struct {
    int codePage;
    Bytes bytes;
    std::u32string text;
  } pairs[] = {
      {57002, {0xA1, 0xE9}, U"\u0950"},
      {57002, {0xA6, 0xE9}, U"\u090C"},
      {57002, {0xA7, 0xE9}, U"\u0961"},
      {57002, {0xAA, 0xE9}, U"\u0960"},
      {57002, {0xDB, 0xE9}, U"\u0962"},
      {57002, {0xDC, 0xE9}, U"\u0963"},
      {57002, {0xDF, 0xE9}, U"\u0944"},
      {57002, {0xEA, 0xE9}, U"\u093D"},
      {57002, {0xB3, 0xE9}, U"\u0958"},
      {57002, {0xC9, 0xE9}, U"\u095E"},
      {57002, {0xC6, 0xE9}, U"\u0928\u093C"},
      {57002, {0xEA}, U"\u0964"},
      {57002, {0xEA, 0xEA}, U"\u0965"},
      {57002, {0xEA, 0xEA, 0xEA}, U"\u0965\u0964"},
      {57002, {0xB3, 0xE8, 0xE8, 0xB7}, U"\u0915\u094D\u200C\u0919"},
      {57002, {0xB3, 0xE8, 0xE9, 0xB7}, U"\u0915\u094D\u200D\u0919"},
      {57002, {0xD9, 0xDB}, U"\u200D\u093F"},
      {57002, {0xF0, 0xB8, 0xF0, 0xBF}, U"\u0952\u0970"},
      {57003, {0xBF, 0xE9, 0xA6, 0xE9}, U"\u09DC\u098C"},
      {57010, {0xA1, 0xE9, 0xB3, 0xE9}, U"\u0AD0\u0A95\u0ABC"},
      {57011, {0xB4, 0xE9, 0xBF, 0xE9}, U"\u0A59\u0A5C"},
      {57008, {0xC9, 0xE9}, U"\u0CDE"},
      {57004, {0xA1, 0xE9, 0xE8, 0xE8}, U"\u0BD0\u0BCD\u200C"},
  };
  for (const auto& p : pairs) {
    const Decoded text = toText(p.codePage, p.bytes);
    EXPECT_FALSE(text.lossy) << p.codePage << " " << std::hex << +p.bytes[0];
    EXPECT_TRUE(text.text == p.text) << p.codePage << " " << std::hex << +p.bytes[0];
    const Converted there = fromText(p.codePage, p.text);
    EXPECT_FALSE(there.lossy) << p.codePage << " " << std::hex << +p.bytes[0];
    EXPECT_EQ(there.bytes, p.bytes) << p.codePage;
  }
  // Text whose bytes would join into something else.
  const struct {
    int codePage;
    std::u32string text;
    Bytes bytes;
    bool lossy;
  } writes[] = {
      // The consonant and the nukta sign are the nukta letter by Unicode's
      // decomposition; they read back as it.
      {57002, U"\u0915\u093C", {0xB3, 0xE9}, false},
      {57003, U"\u09A1\u09BC", {0xBF, 0xE9}, false},
      // The rest have no form that reads back as written.
      {57002, U"\u0901\u093C", {0xA1, '?'}, true},
      {57002, U"\u0964\u0964", {0xEA, '?'}, true},
      {57002, U"\u0964\u093D", {0xEA, '?'}, true},
      {57002, U"\u094D\u094D", {0xE8, '?'}, true},
      {57002, U"\u094D\u093C", {0xE8, '?'}, true},
      {57011, U"\u0A21\u0A3C", {0xBF, '?'}, true},
      {57008, U"\u0CAB\u0CBC", {0xC9, '?'}, true},
      // Characters without an ISCII form.
      {57002, U"\u200Ca\u0951", {'?', 'a', '?'}, true},
      {57011, U"\u0A15\u0A70", {0xB3, '?'}, true},
      {57002, U"\u00E9\u0B81\U0001F600", {'?', '?', '?'}, true},
  };
  for (const auto& w : writes) {
    const Converted there = fromText(w.codePage, w.text);
    EXPECT_EQ(there.lossy, w.lossy) << w.codePage << " " << w.bytes.size();
    EXPECT_EQ(there.bytes, w.bytes) << w.codePage;
  }
}

TEST(Iscii, UndefinedAndCutOffBytesBecomeReplacements) {
  const struct {
    int codePage;
    Bytes bytes;
    std::u32string text;
  } cases[] = {
      {57002, {0xC6, 0xEF}, U"न\uFFFD"},
      {57002, {0xC6, 0xF0}, U"न\uFFFD"},
      {57002, {0xEF, 'A', 0xC6}, U"\uFFFDAन"},
      {57002, {0xEF, 0x4C, 0xC6}, U"\uFFFDLन"},
      {57002, {0xF0, 0xA5, 0xC6}, U"\uFFFDन"},
      {57002, {0xF0, 'x'}, U"\uFFFDx"},
      {57002, {0x80, 0xA0, 0xEB, 0xEE, 0xFB, 0xFF}, U"\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD"},
      {57004, {0xB4, 0xE9, 0xA1}, U"\uFFFD\uFFFD\uFFFD"},
      {57009, {0xB3, 0xE9}, U"\u0D15\uFFFD"},
      {57003, {0xD4, 0xEF, 0x46, 0xD4}, U"\uFFFD\u09F1"},
  };
  for (const auto& c : cases) {
    const Decoded text = toText(c.codePage, c.bytes);
    EXPECT_TRUE(text.lossy) << c.codePage << " " << std::hex << +c.bytes[0];
    EXPECT_TRUE(text.text == c.text) << c.codePage << " " << std::hex << +c.bytes[0];
  }
}

TEST(Iscii, PairsSurviveTheConvertersBlockBoundaries) {
  // The converter hands over 2048 code points at a time: the halant pairs
  // straddle that boundary both ways.
  std::u32string text(2047, U'क');
  text += U"\u094D\u200C\u0915\u094D\u200D";
  Bytes bytes(2047, 0xB3);
  for (const unsigned char b : {0xE8, 0xE8, 0xB3, 0xE8, 0xE9}) bytes.push_back(b);
  const Converted there = fromText(57002, text);
  EXPECT_FALSE(there.lossy);
  EXPECT_EQ(there.bytes, bytes);
  const Decoded back = toText(57002, bytes);
  EXPECT_FALSE(back.lossy);
  EXPECT_TRUE(back.text == text);
}

}  // namespace
}  // namespace rozazar::encoding
