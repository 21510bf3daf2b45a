// StringBuffer: inline and heap storage, growth, release and failure.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "foundation/text/StringBuffer.h"
#include "tests/foundation/TestObjects.h"

namespace rozazar {
namespace {

using testing::AllocationRefusal;

std::string contents(const StringBuffer& sb) { return std::string(sb.text(), sb.length()); }

TEST(StringBufferStorage, EightyOneBytesStayInlineTheEightySecondMovesToTheHeap) {
  StringBuffer sb;
  for (int i = 0; i < 81; ++i) ASSERT_TRUE(sb.appendChar('a'));
  EXPECT_TRUE(sb.isInline());
  EXPECT_EQ(sb.ownedHeapBytes(), 0u);
  ASSERT_TRUE(sb.appendChar('b'));
  EXPECT_FALSE(sb.isInline());
  EXPECT_EQ(sb.ownedHeapBytes(), 82u + 1u + 202u);
  EXPECT_EQ(sb.growthIncrement(), 202u);  // the first move keeps the increment
  EXPECT_EQ(contents(sb), std::string(81, 'a') + "b");
  EXPECT_EQ(sb.text()[sb.length()], '\0');
}

TEST(StringBufferStorage, HeapGrowthHalvesTheNewCapacityIntoTheIncrementUpToTheCap) {
  StringBuffer sb;
  std::uint32_t capacity = 0;
  std::uint32_t increment = sb.growthIncrement();
  int reallocations = 0;
  while (sb.length() < 3000000) {
    const std::uint32_t lengthBefore = sb.length();
    ASSERT_TRUE(sb.appendChar('x'));
    if (sb.capacity() != capacity && !sb.isInline()) {
      if (capacity != 0) {
        // need = lengthBefore + 1; new capacity = need + 1 + old increment
        ASSERT_EQ(sb.capacity(), lengthBefore + 2 + increment);
        const std::uint32_t expected = std::min<std::uint32_t>(sb.capacity() / 2, 500000u);
        ASSERT_EQ(sb.growthIncrement(), increment >= 500000u ? 500000u : expected);
      }
      capacity = sb.capacity();
      increment = sb.growthIncrement();
      ++reallocations;
    }
  }
  EXPECT_EQ(sb.growthIncrement(), 500000u);
  EXPECT_GT(reallocations, 20);  // about 1.5 times per step below 1 MB, then +500000
  sb.clear();
  EXPECT_EQ(sb.growthIncrement(), 202u);
}

TEST(StringBufferStorage, ClearKeepsTheHeapBlockAndReleaseReturnsInline) {
  StringBuffer sb(std::string(100, 'q').c_str());
  const std::size_t heapBytes = sb.ownedHeapBytes();
  sb.clear();
  EXPECT_EQ(sb.length(), 0u);
  EXPECT_STREQ(sb.text(), "");
  EXPECT_EQ(sb.ownedHeapBytes(), heapBytes);
  ASSERT_TRUE(sb.appendText("short"));
  EXPECT_FALSE(sb.isInline());  // still writing into the kept block
  sb.clearAndRelease();
  EXPECT_TRUE(sb.isInline());
  EXPECT_EQ(sb.ownedHeapBytes(), 0u);
  EXPECT_STREQ(sb.text(), "");
}

TEST(StringBufferStorage, CompactStorageMovesShortTextInlineAndTrimsSpareHeapBytes) {
  StringBuffer sb(std::string(200, 'z').c_str());
  sb.truncateTo(81);
  sb.compactStorage();
  EXPECT_TRUE(sb.isInline());
  EXPECT_EQ(contents(sb), std::string(81, 'z'));

  StringBuffer big(std::string(2000, 'y').c_str());
  big.truncateTo(1000);
  ASSERT_GT(big.ownedHeapBytes(), 1000u + 256u);
  big.compactStorage();
  EXPECT_EQ(big.ownedHeapBytes(), 1001u);
  EXPECT_EQ(contents(big), std::string(1000, 'y'));

  // Within 256 spare bytes the block stays as it is.
  StringBuffer near(std::string(82, 'w').c_str());
  const std::size_t before = near.ownedHeapBytes();
  near.compactStorage();
  EXPECT_EQ(near.ownedHeapBytes(), before);
}

TEST(StringBufferStorage, ReleaseStorageHandsOverHeapAndInlineText) {
  StringBuffer sb(std::string(300, 'h').c_str());
  const std::uint32_t heapCapacity = sb.capacity();
  std::uint32_t length = 0;
  std::uint32_t capacity = 0;
  char* block = sb.releaseStorage(length, capacity);
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(length, 300u);
  EXPECT_EQ(capacity, heapCapacity);
  EXPECT_EQ(std::string(block), std::string(300, 'h'));
  delete[] block;
  EXPECT_TRUE(sb.isInline());
  EXPECT_EQ(sb.length(), 0u);
  EXPECT_EQ(sb.growthIncrement(), 202u);

  StringBuffer small("abc");
  block = small.releaseStorage(length, capacity);
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(length, 3u);
  EXPECT_EQ(capacity, 4u);
  EXPECT_STREQ(block, "abc");
  delete[] block;
  EXPECT_STREQ(small.text(), "");
}

TEST(StringBufferStorage, MoveFromTakesHeapBlockOrCopiesInlineText) {
  StringBuffer source(std::string(500, 'm').c_str());
  const char* block = source.text();
  StringBuffer target("old");
  target.moveFrom(source);
  EXPECT_EQ(target.text(), block);
  EXPECT_EQ(target.length(), 500u);
  EXPECT_TRUE(source.isInline());
  EXPECT_EQ(source.length(), 0u);

  StringBuffer inlineSource("tiny");
  target.moveFrom(inlineSource);
  EXPECT_TRUE(target.isInline());
  EXPECT_STREQ(target.text(), "tiny");
  EXPECT_STREQ(inlineSource.text(), "");

  target.moveFrom(target);
  EXPECT_STREQ(target.text(), "tiny");
}

TEST(StringBufferStorage, WipeAndReleaseLeavesEmptyInlineBuffer) {
  StringBuffer sb(std::string(150, 's').c_str());
  sb.wipeAndRelease();
  EXPECT_TRUE(sb.isInline());
  EXPECT_EQ(sb.length(), 0u);
  EXPECT_STREQ(sb.text(), "");
  ASSERT_TRUE(sb.appendText("again"));
  EXPECT_STREQ(sb.text(), "again");
}

TEST(StringBufferStorage, AllocationFailureLeavesTextCapacityAndIncrementUnchanged) {
  StringBuffer sb(std::string(100, 'a').c_str());
  const std::uint32_t capacity = sb.capacity();
  const std::uint32_t increment = sb.growthIncrement();
  {
    AllocationRefusal refuse;
    EXPECT_FALSE(sb.appendCharRun('b', 1000));
    EXPECT_FALSE(sb.appendText(std::string(1000, 'c').c_str()));
    EXPECT_FALSE(sb.appendTwo(std::string(100, 'd').c_str(), std::string(200, 'e').c_str()));
    EXPECT_FALSE(sb.setText(std::string(1000, 'f').c_str()));
    EXPECT_EQ(sb.duplicateText(), nullptr);
    EXPECT_EQ(StringBuffer::createNew("x"), nullptr);
  }
  EXPECT_EQ(contents(sb), std::string(100, 'a'));
  EXPECT_EQ(sb.capacity(), capacity);
  EXPECT_EQ(sb.growthIncrement(), increment);

  StringBuffer small("abc");
  AllocationRefusal refuse;
  std::uint32_t length = 7;
  std::uint32_t outCapacity = 7;
  EXPECT_EQ(small.releaseStorage(length, outCapacity), nullptr);
  EXPECT_STREQ(small.text(), "abc");  // nothing handed over, nothing lost
  // Appends that fit need no allocation.
  EXPECT_TRUE(small.appendText("def"));
}

TEST(StringBufferStorage, SizesBeyondThirtyTwoBitsFailWithoutChange) {
  StringBuffer sb("abc");
  EXPECT_FALSE(sb.appendBytes("x", static_cast<std::size_t>(-1)));
  EXPECT_FALSE(sb.ensureSpaceFor(0xFFFFFFFFu));
  EXPECT_STREQ(sb.text(), "abc");
}

// A heap text whose block is full, so that the next append must replace it.
void fillToCapacity(StringBuffer& sb) {
  ASSERT_TRUE(sb.appendCharRun('s', 100));
  while (sb.length() + 1 < sb.capacity()) ASSERT_TRUE(sb.appendChar('s'));
}

TEST(StringBufferStorage, SourcesInsideTheOwnStorageSurviveItsGrowth) {
  StringBuffer sb;
  fillToCapacity(sb);
  const std::string before = contents(sb);
  ASSERT_TRUE(sb.appendText(sb.text()));
  EXPECT_EQ(contents(sb), before + before);

  StringBuffer two;
  fillToCapacity(two);
  const std::string start = contents(two);
  ASSERT_TRUE(two.appendTwo(two.textAt(1), two.text()));
  EXPECT_EQ(contents(two), start + start.substr(1) + start);

  StringBuffer replaced("[x]");
  ASSERT_TRUE(replaced.appendCharRun('-', 200));
  const std::string whole = contents(replaced);
  ASSERT_TRUE(replaced.replaceFirstText("x", replaced.text()));
  EXPECT_EQ(contents(replaced), "[" + whole + whole.substr(2));

  StringBuffer json;
  fillToCapacity(json);
  json.setText("a\\b");
  fillToCapacity(json);
  const std::string escaped = contents(json);
  ASSERT_TRUE(StringBuffer::jsonUnescapeAppend(json.text(), json.length(), json));
  // The backslash and b decode to a backspace.
  EXPECT_EQ(contents(json), escaped + "a\b" + escaped.substr(3));
}

TEST(StringBufferStorage, CreateNewAndDuplicateTextCopyTheText) {
  StringBuffer* sb = StringBuffer::createNew("created");
  ASSERT_NE(sb, nullptr);
  EXPECT_STREQ(sb->text(), "created");
  char* copy = sb->duplicateText();
  ASSERT_NE(copy, nullptr);
  EXPECT_STREQ(copy, "created");
  EXPECT_NE(copy, sb->text());
  delete[] copy;
  RozazarObject::deleteObject(sb);
}

}  // namespace
}  // namespace rozazar
