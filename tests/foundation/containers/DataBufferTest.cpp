// DataBuffer: growth tiers, owned and borrowed blocks, appending, reading and
// editing; and the StringBuffer operations that involve a byte buffer.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "foundation/containers/DataBuffer.h"
#include "foundation/text/StringBuffer.h"
#include "tests/foundation/TestObjects.h"

namespace rozazar {
namespace {

using testing::AllocationRefusal;

std::vector<unsigned char> bytes(const DataBuffer& buffer) {
  return std::vector<unsigned char>(buffer.data(), buffer.data() + buffer.size());
}

// A buffer that already holds size bytes in a block of exactly that size.
void fillExactly(DataBuffer& buffer, std::size_t size) {
  ASSERT_TRUE(buffer.reallocateExact(size));
  buffer.setSize(size);
  ASSERT_EQ(buffer.size(), size);
}

TEST(DataBufferGrowth, BulkAppendsToAnEmptyBufferAllocateTwentyThousandOrTheCount) {
  DataBuffer small;
  ASSERT_TRUE(small.appendBytes("abc", 3));
  EXPECT_EQ(small.size(), 3u);
  EXPECT_EQ(small.capacity(), 20000u);

  const std::string big(30000, 'b');
  DataBuffer large;
  ASSERT_TRUE(large.appendBytes(big.data(), big.size()));
  EXPECT_EQ(large.capacity(), 30000u);
}

TEST(DataBufferGrowth, TheSizeReachedPicksTheTierOfTheIncrement) {
  const std::vector<std::pair<std::size_t, std::size_t>> sizeAndIncrement = {
      {20000, 20000},     {50000, 50000},      {99999, 50000},     {100000, 100000},
      {1000000, 1000000}, {2000000, 2000000},  {3000000, 3000000}, {4000000, 4000000},
      {8000000, 8000000}, {12000000, 12000000}};
  for (const auto& [size, increment] : sizeAndIncrement) {
    DataBuffer bulk;
    fillExactly(bulk, size);
    ASSERT_TRUE(bulk.appendBytes("y", 1));
    EXPECT_EQ(bulk.capacity(), size + increment) << "size " << size;
  }
  // A large append beyond the size's tier grows by itself.
  DataBuffer buffer;
  fillExactly(buffer, 50000);
  const std::vector<char> chunk(1500000, 'c');
  ASSERT_TRUE(buffer.appendBytes(chunk.data(), chunk.size()));
  EXPECT_EQ(buffer.capacity(), 50000u + 1500000u);
}

TEST(DataBufferGrowth, ShortOfMemoryABulkAppendTakesJustFourHundredSpareBytes) {
  DataBuffer buffer;
  {
    AllocationRefusal refuse(20000, 1);
    ASSERT_TRUE(buffer.appendBytes("0123456789", 10));
  }
  EXPECT_EQ(buffer.capacity(), 410u);

  DataBuffer failing;
  AllocationRefusal refuseAll;
  EXPECT_FALSE(failing.appendBytes("x", 1));
  EXPECT_EQ(failing.size(), 0u);
  EXPECT_EQ(failing.data(), nullptr);
}

TEST(DataBufferGrowth, SingleBytesGrowInSmallSteps) {
  DataBuffer buffer;
  std::vector<std::uint32_t> capacities;
  for (int i = 0; i < 1400; ++i) {
    ASSERT_TRUE(buffer.appendChar(static_cast<unsigned char>(i)));
    if (capacities.empty() || capacities.back() != buffer.capacity())
      capacities.push_back(buffer.capacity());
  }
  EXPECT_EQ(capacities, (std::vector<std::uint32_t>{64, 320, 1344, 11344}));
  DataBuffer pairs;
  ASSERT_TRUE(pairs.appendTwoBytes(1, 2));
  EXPECT_EQ(pairs.capacity(), 64u);
  EXPECT_EQ(bytes(pairs), (std::vector<unsigned char>{1, 2}));
}

TEST(DataBufferGrowth, RunsBigEndianUnitsAndWideTextHaveTheirOwnRules) {
  DataBuffer run;
  ASSERT_TRUE(run.appendByteRun('r', 5));
  EXPECT_EQ(run.capacity(), 10005u);
  EXPECT_EQ(bytes(run), std::vector<unsigned char>(5, 'r'));

  DataBuffer units;
  ASSERT_TRUE(units.appendUInt16BigEndian(0x1234));
  EXPECT_EQ(units.capacity(), 20000u);
  EXPECT_EQ(bytes(units), (std::vector<unsigned char>{0x12, 0x34}));
  DataBuffer fallback;
  {
    AllocationRefusal refuse(20000, 1);
    ASSERT_TRUE(fallback.appendUInt16BigEndian(0xABCD));
  }
  EXPECT_EQ(fallback.capacity(), 402u);

  DataBuffer wide;
  ASSERT_TRUE(wide.appendWideText(nullptr));
  EXPECT_EQ(wide.capacity(), 10002u);
  const std::uint16_t text[] = {0x0041, 0x0416, 0};
  ASSERT_TRUE(wide.appendWideText(text));
  ASSERT_EQ(wide.size(), 8u);
  std::uint32_t index = 2;
  std::uint16_t unit = 0;
  std::vector<std::uint16_t> read;
  while (wide.readUInt16(index, true, unit)) {
    std::uint16_t host;
    std::memcpy(&host, wide.data() + index - 2, 2);
    read.push_back(host);
  }
  EXPECT_EQ(read, (std::vector<std::uint16_t>{0x0041, 0x0416, 0}));
}

TEST(DataBufferGrowth, SizesBeyondThirtyTwoBitsFailWithoutChange) {
  DataBuffer buffer;
  ASSERT_TRUE(buffer.appendBytes("abc", 3));
  EXPECT_FALSE(buffer.appendBytes("abc", static_cast<std::size_t>(-1)));
  EXPECT_FALSE(buffer.appendByteRun('x', static_cast<std::size_t>(-1)));
  EXPECT_FALSE(buffer.reallocateExact(0));
  EXPECT_EQ(bytes(buffer), (std::vector<unsigned char>{'a', 'b', 'c'}));
}

TEST(DataBufferBorrowed, GrowthCopiesAndTheBorrowedMemoryIsNeverWritten) {
  const unsigned char original[] = {1, 2, 3, 4, 5, 6};
  unsigned char memory[sizeof original];
  std::memcpy(memory, original, sizeof memory);

  DataBuffer buffer;
  buffer.borrow(memory, sizeof memory);
  EXPECT_TRUE(buffer.isBorrowed());
  EXPECT_EQ(buffer.capacity(), 6u);
  EXPECT_EQ(buffer.ownedHeapBytes(), 0u);
  EXPECT_EQ(buffer.mutableData(), nullptr);
  buffer.dropLast(3);
  ASSERT_TRUE(buffer.appendChar(9));  // fits the capacity, yet must not write there
  EXPECT_FALSE(buffer.isBorrowed());
  EXPECT_EQ(bytes(buffer), (std::vector<unsigned char>{1, 2, 3, 9}));
  EXPECT_EQ(std::memcmp(memory, original, sizeof memory), 0);

  DataBuffer edited;
  edited.borrow(memory, sizeof memory);
  edited.swapByteOrder16();
  edited.wipeContent();
  edited.borrow(memory, sizeof memory);
  edited.keepSevenBitOnly();
  edited.replaceUInt16(0x0201, 0x0707);
  EXPECT_EQ(std::memcmp(memory, original, sizeof memory), 0);
  EXPECT_FALSE(edited.isBorrowed());
}

TEST(DataBufferBorrowed, ClearingAndDestructionForgetTheMemory) {
  unsigned char memory[4] = {1, 2, 3, 4};
  DataBuffer buffer;
  buffer.borrow(memory, sizeof memory);
  buffer.clear();
  EXPECT_FALSE(buffer.isBorrowed());
  EXPECT_EQ(buffer.data(), nullptr);
  EXPECT_EQ(buffer.capacity(), 0u);
  // A borrowing buffer going out of scope frees nothing (ASan would report it).
  DataBuffer scoped;
  scoped.borrow(memory, sizeof memory);
  DataBuffer moved;
  moved.moveFrom(scoped);
  EXPECT_TRUE(moved.isBorrowed());
  EXPECT_EQ(moved.data(), memory);
  EXPECT_EQ(scoped.data(), nullptr);
}

TEST(DataBufferStorage, BlocksChangeHandsWithoutCopies) {
  DataBuffer first;
  ASSERT_TRUE(first.appendText("hello"));
  const unsigned char* block = first.data();
  DataBuffer second;
  ASSERT_TRUE(second.appendText("old"));
  second.moveFrom(first);
  EXPECT_EQ(second.data(), block);
  EXPECT_EQ(second.size(), 5u);
  EXPECT_EQ(first.data(), nullptr);

  DataBuffer empty;
  second.moveFrom(empty);  // an empty source just clears, keeping the block
  EXPECT_EQ(second.size(), 0u);
  EXPECT_EQ(second.data(), block);

  auto* adopted = new unsigned char[3]{7, 8, 9};
  second.adoptBlock(adopted, 3);
  EXPECT_EQ(second.data(), adopted);
  EXPECT_EQ(second.capacity(), 3u);
  unsigned char* taken = second.mutableData();
  second.detachBlock();
  EXPECT_EQ(second.data(), nullptr);
  delete[] taken;
}

TEST(DataBufferStorage, TakeStringBufferKeepsTheTerminatorBeyondTheSize) {
  StringBuffer heapText(std::string(100, 'h').c_str());
  DataBuffer buffer;
  ASSERT_TRUE(buffer.takeStringBuffer(heapText));
  EXPECT_EQ(buffer.size(), 100u);
  EXPECT_GT(buffer.capacity(), 100u);
  EXPECT_EQ(buffer.data()[100], 0);
  EXPECT_EQ(heapText.length(), 0u);

  StringBuffer inlineText("in");
  ASSERT_TRUE(buffer.takeStringBuffer(inlineText));
  EXPECT_EQ(buffer.size(), 2u);
  EXPECT_EQ(buffer.capacity(), 3u);
  EXPECT_EQ(buffer.data()[2], 0);
}

TEST(DataBufferStorage, ZeroTerminationLeavesExactlyOneZero) {
  DataBuffer buffer;
  ASSERT_TRUE(buffer.appendBytes("ab\0\0\0", 5));
  ASSERT_TRUE(buffer.ensureZeroTerminated());
  EXPECT_EQ(bytes(buffer), (std::vector<unsigned char>{'a', 'b', 0}));
  ASSERT_TRUE(buffer.ensureZeroTerminated());
  EXPECT_EQ(buffer.size(), 3u);
  DataBuffer plain;
  ASSERT_TRUE(plain.appendText("ab"));
  ASSERT_TRUE(plain.ensureZeroTerminated());
  EXPECT_EQ(bytes(plain), (std::vector<unsigned char>{'a', 'b', 0}));
  DataBuffer empty;
  ASSERT_TRUE(empty.ensureZeroTerminated());
  EXPECT_EQ(bytes(empty), (std::vector<unsigned char>{0}));
  DataBuffer zeros;
  ASSERT_TRUE(zeros.appendBytes("\0\0", 2));
  ASSERT_TRUE(zeros.ensureZeroTerminated());
  EXPECT_EQ(zeros.size(), 1u);
}

TEST(DataBufferStorage, SizeStaysWithinTheCapacity) {
  DataBuffer buffer;
  ASSERT_TRUE(buffer.reserve(10));
  EXPECT_EQ(buffer.capacity(), 10u);
  EXPECT_TRUE(buffer.reserve(0));
  EXPECT_TRUE(buffer.reserve(5));
  EXPECT_EQ(buffer.capacity(), 10u);
  buffer.setSize(50);
  EXPECT_EQ(buffer.size(), 10u);
  buffer.dropLast(4);
  EXPECT_EQ(buffer.size(), 6u);
  buffer.dropLast(40);
  EXPECT_EQ(buffer.size(), 0u);
  buffer.wipeAndRelease();
  EXPECT_EQ(buffer.capacity(), 0u);
}

TEST(DataBufferAppend, OwnContentCanBeAppendedAcrossGrowth) {
  DataBuffer buffer;
  fillExactly(buffer, 8);
  std::memcpy(buffer.mutableData(), "01234567", 8);
  ASSERT_TRUE(buffer.appendBytes(buffer.data() + 2, 4));
  ASSERT_TRUE(buffer.appendDataBuffer(buffer));
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(buffer.data()), buffer.size()),
            "012345672345012345672345");
}

TEST(DataBufferAppend, OwnBytesBeyondTheSizeOrDecodedIntoTheBufferSurviveGrowth) {
  DataBuffer buffer;
  fillExactly(buffer, 6);
  std::memcpy(buffer.mutableData(), "a\0b\0cd", 6);
  ASSERT_TRUE(buffer.appendNonZeroBytes(buffer.data(), 6));
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(buffer.data()), buffer.size()),
            std::string("a\0b\0cdabcd", 10));

  DataBuffer hex;
  fillExactly(hex, 4);
  std::memcpy(hex.mutableData(), "abcd", 4);
  ASSERT_TRUE(StringBuffer::hexDecodeAppend(reinterpret_cast<const char*>(hex.data()), 4, hex));
  EXPECT_EQ(bytes(hex), (std::vector<unsigned char>{'a', 'b', 'c', 'd', 0xAB, 0xCD}));
}

TEST(DataBufferAppend, TextsBuffersAndNonZeroBytes) {
  DataBuffer buffer;
  EXPECT_TRUE(buffer.appendText(nullptr));
  EXPECT_TRUE(buffer.appendBytes(nullptr, 4));
  ASSERT_TRUE(buffer.appendText("ab"));
  StringBuffer sb("cd");
  ASSERT_TRUE(buffer.appendStringBuffer(sb));
  ASSERT_TRUE(buffer.appendNonZeroBytes("\0e\0f\0", 5));
  DataBuffer other;
  ASSERT_TRUE(other.appendText("gh"));
  ASSERT_TRUE(buffer.appendDataBuffer(other));
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(buffer.data()), buffer.size()), "abcdefgh");
}

TEST(DataBufferAppend, DecimalByteListsStopAtValuesAboveTwoFiftyFive) {
  DataBuffer buffer;
  ASSERT_TRUE(buffer.appendDecimalByteList("1, 2,3"));
  EXPECT_EQ(bytes(buffer), (std::vector<unsigned char>{1, 2, 3}));
  DataBuffer tooBig;
  EXPECT_FALSE(tooBig.appendDecimalByteList("300"));
  EXPECT_EQ(tooBig.size(), 0u);
  DataBuffer partial;
  EXPECT_FALSE(partial.appendDecimalByteList("\t255\r\n,,0 256 7"));
  EXPECT_EQ(bytes(partial), (std::vector<unsigned char>{255, 0}));
  DataBuffer junk;
  EXPECT_FALSE(junk.appendDecimalByteList("4;5"));
  EXPECT_EQ(bytes(junk), (std::vector<unsigned char>{4}));
  EXPECT_FALSE(junk.appendDecimalByteList("99999999999999999999"));
}

TEST(DataBufferRead, UnitsInEitherByteOrderWithinBounds) {
  DataBuffer buffer;
  ASSERT_TRUE(buffer.appendBytes("\x01\x02\x03", 3));
  std::uint32_t index = 0;
  std::uint16_t value = 0;
  ASSERT_TRUE(buffer.readUInt16(index, true, value));
  EXPECT_EQ(value, 0x0201);
  EXPECT_EQ(index, 2u);
  EXPECT_FALSE(buffer.readUInt16(index, false, value));  // one byte left
  EXPECT_EQ(value, 0);
  index = 1;
  ASSERT_TRUE(buffer.readUInt16(index, false, value));
  EXPECT_EQ(value, 0x0203);
  index = 100;
  EXPECT_FALSE(buffer.readUInt16(index, true, value));
  EXPECT_EQ(buffer.dataAt(3), nullptr);
  ASSERT_NE(buffer.dataAt(2), nullptr);
  EXPECT_EQ(*buffer.dataAt(2), 3);
  EXPECT_EQ(DataBuffer().dataAt(0), nullptr);
}

TEST(DataBufferEdit, SixteenBitUnitsAndSevenBitFiltering) {
  auto units = [](DataBuffer& buffer, std::initializer_list<std::uint16_t> list, bool oddTail) {
    for (std::uint16_t u : list) buffer.appendBytes(&u, 2);
    if (oddTail) buffer.appendChar(0x77);
  };
  auto hostUnits = [](const DataBuffer& buffer) {
    std::vector<std::uint16_t> out(buffer.size() / 2);
    std::memcpy(out.data(), buffer.data(), out.size() * 2);
    return out;
  };
  DataBuffer removal;
  units(removal, {1, 0xFEFF, 2, 0xFEFF}, true);
  removal.removeUInt16(0xFEFF);
  EXPECT_EQ(removal.size(), 4u);  // the odd byte went too
  EXPECT_EQ(hostUnits(removal), (std::vector<std::uint16_t>{1, 2}));
  removal.removeUInt16(0);
  EXPECT_EQ(removal.size(), 4u);

  DataBuffer replacing;
  units(replacing, {5, 6, 5}, true);
  replacing.replaceUInt16(5, 9);
  replacing.replaceUInt16(6, 0);  // no-op
  EXPECT_EQ(replacing.size(), 7u);
  EXPECT_EQ(hostUnits(replacing), (std::vector<std::uint16_t>{9, 6, 9}));

  DataBuffer swapping;
  swapping.appendBytes("\x01\x02\x03\x04\x05", 5);
  swapping.swapByteOrder16();
  EXPECT_EQ(bytes(swapping), (std::vector<unsigned char>{2, 1, 4, 3, 5}));

  DataBuffer mixed;
  mixed.appendBytes("a\0\xC3\xA9z\x7F\x80", 7);
  mixed.keepSevenBitOnly();
  EXPECT_EQ(bytes(mixed), (std::vector<unsigned char>{'a', 'z', 0x7F}));
}

TEST(DataBufferFailure, RefusedAllocationsLeaveTheContent) {
  DataBuffer buffer;
  ASSERT_TRUE(buffer.appendText("keep"));
  fillExactly(buffer, 4);
  AllocationRefusal refuse;
  EXPECT_FALSE(buffer.appendChar('x'));
  EXPECT_FALSE(buffer.appendTwoBytes('x', 'y'));
  EXPECT_FALSE(buffer.appendByteRun('x', 3));
  EXPECT_FALSE(buffer.appendUInt16BigEndian(1));
  EXPECT_FALSE(buffer.appendWideText(nullptr));
  EXPECT_FALSE(buffer.reserve(100));
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(buffer.data()), buffer.size()), "keep");
}

TEST(StringBufferWithData, AdoptTakesTheBlockAsTheText) {
  DataBuffer buffer;
  ASSERT_TRUE(buffer.appendText("adopted text"));
  const unsigned char* block = buffer.data();
  StringBuffer sb(std::string(200, 'o').c_str());
  ASSERT_TRUE(sb.adoptDataBuffer(buffer));
  EXPECT_STREQ(sb.text(), "adopted text");
  EXPECT_EQ(sb.length(), 12u);
  EXPECT_EQ(reinterpret_cast<const unsigned char*>(sb.text()), block);
  EXPECT_EQ(buffer.data(), nullptr);
  ASSERT_TRUE(sb.appendText(" and more"));
  EXPECT_STREQ(sb.text(), "adopted text and more");

  DataBuffer onlyZero;
  ASSERT_TRUE(onlyZero.appendChar(0));
  StringBuffer empty("x");
  ASSERT_TRUE(empty.adoptDataBuffer(onlyZero));
  EXPECT_EQ(empty.length(), 0u);
  EXPECT_TRUE(empty.isInline());
}

TEST(StringBufferWithData, AdoptingBorrowedMemoryCopiesIt) {
  const char memory[] = "borrowed";  // with its zero terminator
  DataBuffer buffer;
  buffer.borrow(memory, sizeof memory);
  StringBuffer sb;
  ASSERT_TRUE(sb.adoptDataBuffer(buffer));
  EXPECT_STREQ(sb.text(), "borrowed");
  EXPECT_NE(sb.text(), memory);
  // Destroying sb frees its own copy; freeing memory would be reported by ASan.
}

TEST(StringBufferWithData, AppendDataBufferGoesThroughAppendBytes) {
  DataBuffer buffer;
  buffer.appendBytes("xy\0\0", 4);
  StringBuffer sb("<");
  ASSERT_TRUE(sb.appendDataBuffer(buffer));
  EXPECT_EQ(sb.length(), 3u);
  EXPECT_STREQ(sb.text(), "<xy");
}

std::vector<unsigned char> hexDecoded(const char* text) {
  DataBuffer buffer;
  EXPECT_TRUE(StringBuffer::hexDecodeAppend(text, text != nullptr ? std::strlen(text) : 0, buffer));
  return bytes(buffer);
}

TEST(HexDecode, PairsAfterAnOptionalPrefixWithAnOddLeadingDigit) {
  EXPECT_EQ(hexDecoded("0A1bFF"), (std::vector<unsigned char>{0x0A, 0x1B, 0xFF}));
  EXPECT_EQ(hexDecoded("0xabc"), (std::vector<unsigned char>{0x0A, 0xBC}));
  EXPECT_EQ(hexDecoded("0x"), std::vector<unsigned char>{});
  EXPECT_EQ(hexDecoded("f"), (std::vector<unsigned char>{0x0F}));
  EXPECT_EQ(hexDecoded(""), std::vector<unsigned char>{});
  EXPECT_EQ(hexDecoded(nullptr), std::vector<unsigned char>{});
  // Other characters are read as their code minus 55, without rejection.
  EXPECT_EQ(hexDecoded("G0"), (std::vector<unsigned char>{0x00}));
}

TEST(HexDecode, LongTextsCrossTheStagingBlockAndStopAtTheTerminator) {
  std::string hex;
  std::vector<unsigned char> expected;
  for (int i = 0; i < 1234; ++i) {
    static const char digits[] = "0123456789abcdef";
    hex += digits[(i >> 4) & 15];
    hex += digits[i & 15];
    expected.push_back(static_cast<unsigned char>(i));
  }
  StringBuffer sb(hex.c_str());
  DataBuffer buffer;
  ASSERT_TRUE(buffer.appendText("pre"));
  ASSERT_TRUE(sb.hexDecodeInto(buffer));
  expected.insert(expected.begin(), {'p', 'r', 'e'});
  EXPECT_EQ(bytes(buffer), expected);

  DataBuffer shortText;
  ASSERT_TRUE(StringBuffer::hexDecodeAppend("abcd\0ef", 7, shortText));
  EXPECT_EQ(bytes(shortText), (std::vector<unsigned char>{0xAB, 0xCD}));
}

}  // namespace
}  // namespace rozazar
