#include <gtest/gtest.h>

#include <string>

#include "foundation/text/XString.h"
#include "foundation/text/ZoReravo.h"
#include "tests/foundation/TestObjects.h"

namespace rozazar {
namespace {

TEST(ReVeviZeduZode, TheEleventhResultReusesTheFirstSlot) {
  ReVeviZeduZode object;
  const char16_t* first = object.returnUtf8("едно");
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(std::u16string(first), u"едно");
  ZoReravo* firstSlot = object.resultSlot(1);  // the first result goes to slot 1
  ASSERT_NE(firstSlot, nullptr);
  for (int i = 2; i <= 10; ++i) {
    const std::string text = std::to_string(i);
    ASSERT_NE(object.returnUtf8(text.c_str()), nullptr);
  }
  // Ten results in, the first is still intact.
  EXPECT_EQ(std::u16string(firstSlot->getWide()), u"едно");
  XString eleventh;
  ASSERT_TRUE(eleventh.setFromUtf8("единадесет"));
  const char16_t* last = object.returnXString(eleventh);
  EXPECT_EQ(object.resultSlot(1), firstSlot);
  EXPECT_EQ(std::u16string(last), u"единадесет");
  EXPECT_EQ(std::u16string(firstSlot->getWide()), u"единадесет");
  EXPECT_EQ(object.resultSlot(10), nullptr);
}

TEST(ZoReravo, ClearEmptiesTheText) {
  ZoReravo result;
  ASSERT_NE(result.xstring(), nullptr);
  ASSERT_TRUE(result.xstring()->setFromUtf8("x"));
  result.clear();
  EXPECT_EQ(std::u16string(result.getWide()), u"");
  ASSERT_NE(result.buffer(), nullptr);
}

TEST(ReVeviZeduZode, ASlotThatCannotBeMadeGivesNoText) {
  ReVeviZeduZode object;
  {
    testing::AllocationRefusal refuse;
    EXPECT_EQ(object.returnUtf8("x"), nullptr);
    EXPECT_EQ(object.resultSlot(1), nullptr);
  }
  // The next result makes its slot normally.
  ASSERT_NE(object.returnUtf8("y"), nullptr);
  EXPECT_NE(object.resultSlot(2), nullptr);
}

}  // namespace
}  // namespace rozazar
