#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

#include "foundation/containers/DataBuffer.h"
#include "foundation/object/RozazarObject.h"
#include "foundation/platform/Platform.h"
#include "foundation/text/StringBuffer.h"
#include "foundation/text/XString.h"
#include "tests/foundation/TestObjects.h"

namespace rozazar {
namespace {

using testing::TrackedObject;

TEST(ObjectBase, DeleteObjectDestroysOnlyLiveObjects) {
  RozazarObject::deleteObject(nullptr);

  int destroyed = 0;
  RozazarObject::deleteObject(new TrackedObject(&destroyed));
  EXPECT_EQ(destroyed, 1);

  // A destroyed object still occupies its storage here; deleting it must not
  // run its destructor again nor free storage that was never allocated.
  int destroyedInPlace = 0;
  alignas(TrackedObject) unsigned char storage[sizeof(TrackedObject)];
  auto* object = new (storage) TrackedObject(&destroyedInPlace);
  EXPECT_TRUE(RozazarObject::isValid(object));
  object->~TrackedObject();
  EXPECT_EQ(destroyedInPlace, 1);
  EXPECT_FALSE(RozazarObject::isValid(object));
  RozazarObject::deleteObject(object);
  EXPECT_EQ(destroyedInPlace, 1);
}

constexpr std::size_t kNotFound = static_cast<std::size_t>(-1);

// Where an object keeps its validity marker: the one copy of the marker's
// bytes outside the leading vtable pointer and the pointers the object is
// known to hold (whose bytes may read as anything); kNotFound unless there
// is exactly one.
std::size_t markerOffset(const void* object, std::size_t size, const void* marker,
                         std::size_t markerSize, std::initializer_list<const void*> held) {
  const auto* bytes = static_cast<const unsigned char*>(object);
  std::vector<bool> skip(size, false);
  for (std::size_t i = 0; i < sizeof(void*); ++i) skip[i] = true;
  for (const void* pointer : held) {
    for (std::size_t at = 0; at + sizeof pointer <= size; at += alignof(void*)) {
      if (std::memcmp(bytes + at, &pointer, sizeof pointer) != 0) continue;
      for (std::size_t i = 0; i < sizeof pointer; ++i) skip[at + i] = true;
    }
  }
  std::size_t found = kNotFound;
  int count = 0;
  for (std::size_t at = 0; at + markerSize <= size; ++at) {
    if (std::memcmp(bytes + at, marker, markerSize) != 0) continue;
    bool inPointer = false;
    for (std::size_t i = 0; i < markerSize; ++i) inPointer = inPointer || skip[at + i];
    if (inPointer) continue;
    found = at;
    ++count;
  }
  return count == 1 ? found : kNotFound;
}

// Buffers and strings whose marker was overwritten (as a stray write or a
// use after destruction leaves them) refuse every change and free nothing,
// not even when destroyed: their pointers can't be trusted.
TEST(ObjectBase, ObjectsWithAnOverwrittenMarkerRefuseChangesAndFreeNothing) {
  alignas(DataBuffer) unsigned char dataStorage[sizeof(DataBuffer)] = {};
  auto* data = new (dataStorage) DataBuffer();
  ASSERT_TRUE(data->appendBytes("0123456789", 10));
  const unsigned char* block = data->data();
  const std::size_t dataMarker =
      markerOffset(data, sizeof *data, &DataBuffer::kLiveMarker, 1, {block});
  ASSERT_NE(dataMarker, kNotFound);
  dataStorage[dataMarker] = 0;
  EXPECT_FALSE(data->isValid());
  EXPECT_FALSE(data->appendBytes("x", 1));
  DataBuffer source;
  ASSERT_TRUE(source.appendBytes("s", 1));
  data->moveFrom(source);
  EXPECT_EQ(source.size(), 1u);
  data->clear();
  data->clearAndRelease();
  data->wipeAndRelease();
  data->detachBlock();
  ASSERT_EQ(data->data(), block);
  EXPECT_EQ(data->size(), 10u);
  data->~DataBuffer();
  EXPECT_EQ(std::memcmp(block, "0123456789", 10), 0);
  delete[] block;

  const std::string longText(100, 't');
  alignas(StringBuffer) unsigned char textStorage[sizeof(StringBuffer)] = {};
  auto* text = new (textStorage) StringBuffer();
  ASSERT_TRUE(text->appendText(longText.c_str()));
  const char* heap = text->text();
  const std::size_t textMarker =
      markerOffset(text, sizeof *text, &StringBuffer::kLiveMarker, 1, {heap});
  ASSERT_NE(textMarker, kNotFound);
  textStorage[textMarker] = 0;
  EXPECT_FALSE(text->isValid());
  EXPECT_FALSE(text->appendText(std::string(300, 'g').c_str()));
  StringBuffer other("o");
  text->moveFrom(other);
  EXPECT_STREQ(other.text(), "o");
  std::uint32_t length = 0;
  std::uint32_t capacity = 0;
  EXPECT_EQ(text->releaseStorage(length, capacity), nullptr);
  text->clear();
  text->clearAndRelease();
  text->wipeAndRelease();
  ASSERT_EQ(text->text(), heap);
  EXPECT_EQ(text->length(), 100u);
  text->~StringBuffer();
  EXPECT_EQ(std::string(heap), longText);
  delete[] heap;

  XString string;
  ASSERT_TRUE(string.setFromUtf8(longText.c_str()));
  const char16_t* wide = string.getUtf16();
  const std::size_t stringMarker =
      markerOffset(&string, sizeof string, &XString::kStringSignature,
                   sizeof XString::kStringSignature, {string.getUtf8(), wide});
  ASSERT_NE(stringMarker, kNotFound);
  auto* stringBytes = reinterpret_cast<unsigned char*>(&string);
  std::memset(stringBytes + stringMarker, 0, sizeof XString::kStringSignature);
  EXPECT_FALSE(string.isValid());
  EXPECT_FALSE(string.setFromUtf8("other"));
  EXPECT_FALSE(string.appendUtf8("more"));
  string.clear();
  string.clearAndRelease();
  string.wipeAndRelease();
  EXPECT_EQ(string.getUtf8(), nullptr);
  std::memcpy(stringBytes + stringMarker, &XString::kStringSignature,
              sizeof XString::kStringSignature);
  EXPECT_STREQ(string.getUtf8(), longText.c_str());
  EXPECT_EQ(string.getUtf16(), wide);
}

TEST(ObjectBase, CopyIsAnObjectOfItsOwn) {
  int destroyed = 0;
  TrackedObject original(&destroyed, 7);
  auto* copy = new TrackedObject(original);
  EXPECT_TRUE(RozazarObject::isValid(copy));
  EXPECT_EQ(copy->id(), 7);
  RozazarObject::deleteObject(copy);
  EXPECT_TRUE(RozazarObject::isValid(&original));
}

TEST(ObjectBase, ByteArrayOwnerReleasesWhatItHolds) {
  ByteArrayOwner owner(new unsigned char[16]);
  owner.adopt(new unsigned char[32]);  // the first block is released here
  owner.block()[31] = 1;
  unsigned char* kept = owner.detach();
  EXPECT_EQ(owner.block(), nullptr);
  delete[] kept;
  owner.adopt(new unsigned char[8]);  // released by the destructor
}

TEST(PlatformSeam, SystemErrorTextIsTrimmedAndFits) {
  // Error 2 is "file not found" on both kinds of system.
  char text[512];
  const std::size_t length = platform::systemErrorText(2, text, sizeof text);
  ASSERT_GT(length, 0u);
  EXPECT_EQ(std::strlen(text), length);
  EXPECT_NE(text[length - 1], '\n');
  EXPECT_NE(text[length - 1], '\r');
  EXPECT_NE(text[length - 1], ' ');

  char small[6];
  const std::size_t cut = platform::systemErrorText(2, small, sizeof small);
  EXPECT_LE(cut, 5u);
  EXPECT_EQ(std::strlen(small), cut);
  EXPECT_EQ(std::string(text, cut), std::string(small));

  EXPECT_EQ(platform::systemErrorText(2, nullptr, 0), 0u);
}

TEST(PlatformSeam, TickCountAdvancesOverASleep) {
  const std::uint32_t start = platform::tickCount();
  platform::sleepMilliseconds(60);
  const std::uint32_t elapsed = platform::tickCount() - start;
  // Windows tick counts move in steps of up to about 16 ms.
  EXPECT_GE(elapsed, 40u);
}

}  // namespace
}  // namespace rozazar
