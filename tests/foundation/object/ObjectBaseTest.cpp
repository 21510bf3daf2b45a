#include <gtest/gtest.h>

#include <cstring>

#include "foundation/object/RozazarObject.h"
#include "foundation/platform/Platform.h"
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
