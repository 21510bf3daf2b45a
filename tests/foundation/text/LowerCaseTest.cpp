#include <gtest/gtest.h>

#include "foundation/text/LowerCase.h"

namespace rozazar {
namespace {

TEST(LowerCase, RangeRulesAndTable) {
  EXPECT_EQ(lowerCaseUnit(0), 0);
  EXPECT_EQ(lowerCaseUnit('A'), 'a');
  EXPECT_EQ(lowerCaseUnit('['), '[');
  EXPECT_EQ(lowerCaseUnit(0x410), 0x430);  // А
  EXPECT_EQ(lowerCaseUnit(0x42F), 0x44F);  // Я
  EXPECT_EQ(lowerCaseUnit(0x401), 0x451);  // Ё
  EXPECT_EQ(lowerCaseUnit(0xC9), 0xE9);
  EXPECT_EQ(lowerCaseUnit(0xD7), 0xD7);  // multiplication sign
  EXPECT_EQ(lowerCaseUnit(0xA1), 0xA1);
  EXPECT_EQ(lowerCaseUnit(0x391), 0x3B1);    // Α
  EXPECT_EQ(lowerCaseUnit(0x10A0), 0x2D00);  // Georgian, from the table
  EXPECT_EQ(lowerCaseUnit(0xFF21), 0xFF41);  // full-width A, from the table
  EXPECT_EQ(lowerCaseUnit(0x1E9E), 0xDF);    // capital sharp s
  EXPECT_EQ(lowerCaseUnit(0xD83D), 0xD83D);
}

TEST(LowerCase, LowerCaseLettersStayLowerWhereThePairingFlips) {
  // Latin Extended-A pairs even/odd, then odd/even from U+0139 to U+0148.
  EXPECT_EQ(lowerCaseUnit(0x141), 0x142);  // Ł
  EXPECT_EQ(lowerCaseUnit(0x142), 0x142);  // ł
  EXPECT_EQ(lowerCaseUnit(0x148), 0x148);  // ň
  EXPECT_EQ(lowerCaseUnit(0x147), 0x148);  // Ň
  EXPECT_EQ(lowerCaseUnit(0x138), 0x138);  // ĸ has no upper case
  EXPECT_EQ(lowerCaseUnit(0x14A), 0x14B);  // Ŋ
  EXPECT_EQ(lowerCaseUnit(0x130), 'i');    // İ
  EXPECT_EQ(lowerCaseUnit(0x4C2), 0x4C2);  // ӂ
  EXPECT_EQ(lowerCaseUnit(0x4C0), 0x4CF);  // palochka
  EXPECT_EQ(lowerCaseUnit(0x483), 0x483);  // combining titlo
}

}  // namespace
}  // namespace rozazar
