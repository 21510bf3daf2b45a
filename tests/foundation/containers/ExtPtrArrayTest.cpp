#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "foundation/containers/ExtPtrArray.h"
#include "tests/foundation/TestObjects.h"

namespace rozazar {
namespace {

using testing::AllocationRefusal;
using testing::DeadObject;
using testing::TrackedObject;

int idAt(const ExtPtrArray& array, int index) {
  auto* object = static_cast<TrackedObject*>(array.getAt(index));
  return object != nullptr ? object->id() : -1;
}

std::vector<int> ids(const ExtPtrArray& array) {
  std::vector<int> result;
  result.reserve(static_cast<std::size_t>(array.count()));
  for (int i = 0; i < array.count(); ++i) result.push_back(idAt(array, i));
  return result;
}

// An owning array of tracked objects with the given ids.
void fill(ExtPtrArray& array, std::initializer_list<int> idList, int* destroyed = nullptr) {
  array.setOwnsElements(true);
  for (int id : idList) ASSERT_TRUE(array.append(new TrackedObject(destroyed, id)));
}

TEST(ExtPtrArray, CapacityDoublesFromFiveThenGrowsByOneHundredThousand) {
  ExtPtrArray array;
  EXPECT_EQ(array.capacity(), 0);
  // (count after the append that grew the array, capacity it grew to)
  std::vector<std::pair<int, int>> growth;
  int capacity = array.capacity();
  while (array.count() < 363841) {
    ASSERT_TRUE(array.append(nullptr));
    if (array.capacity() != capacity) {
      capacity = array.capacity();
      growth.emplace_back(array.count(), capacity);
    }
  }
  const std::vector<std::pair<int, int>> expected = {
      {1, 5},          {6, 10},          {11, 20},         {21, 40},         {41, 80},
      {81, 160},       {161, 320},       {321, 640},       {641, 1280},      {1281, 2560},
      {2561, 5120},    {5121, 10240},    {10241, 20480},   {20481, 40960},   {40961, 81920},
      {81921, 163840}, {163841, 263840}, {263841, 363840}, {363841, 463840},
  };
  EXPECT_EQ(growth, expected);
}

TEST(ExtPtrArray, IndicesOutOfRangeGiveNull) {
  ExtPtrArray array;
  EXPECT_EQ(array.getAt(0), nullptr);
  EXPECT_EQ(array.last(), nullptr);
  EXPECT_EQ(array.removeAt(0), nullptr);
  EXPECT_EQ(array.popLast(), nullptr);

  fill(array, {1, 2, 3});
  EXPECT_EQ(array.getAt(-1), nullptr);
  EXPECT_EQ(array.getAt(3), nullptr);
  EXPECT_EQ(array.removeAt(-1), nullptr);
  EXPECT_EQ(array.removeAt(3), nullptr);
  EXPECT_EQ(ids(array), (std::vector<int>{1, 2, 3}));
}

TEST(ExtPtrArray, InsertClampsTheIndexAndShiftsLaterElements) {
  ExtPtrArray array;
  fill(array, {1, 2, 3});
  ASSERT_TRUE(array.insertAt(100, new TrackedObject(nullptr, 4)));
  EXPECT_EQ(ids(array), (std::vector<int>{1, 2, 3, 4}));
  ASSERT_TRUE(array.insertAt(-5, new TrackedObject(nullptr, 0)));
  ASSERT_TRUE(array.insertAt(2, new TrackedObject(nullptr, 9)));
  ASSERT_TRUE(array.insertAt(6, new TrackedObject(nullptr, 5)));  // one past the end
  EXPECT_EQ(ids(array), (std::vector<int>{0, 1, 9, 2, 3, 4, 5}));
  EXPECT_EQ(idAt(array, 6), static_cast<TrackedObject*>(array.last())->id());
}

TEST(ExtPtrArray, RemoveTakesOutWithoutDeleting) {
  int destroyed = 0;
  ExtPtrArray array;
  fill(array, {1, 2, 3, 4}, &destroyed);
  RozazarObject* second = array.removeAt(1);
  RozazarObject* last = array.popLast();
  EXPECT_EQ(static_cast<TrackedObject*>(second)->id(), 2);
  EXPECT_EQ(static_cast<TrackedObject*>(last)->id(), 4);
  EXPECT_EQ(ids(array), (std::vector<int>{1, 3}));
  EXPECT_EQ(destroyed, 0);
  RozazarObject::deleteObject(second);
  RozazarObject::deleteObject(last);
  EXPECT_EQ(destroyed, 2);
}

TEST(ExtPtrArray, NullSlotsAreKept) {
  ExtPtrArray array;
  ASSERT_TRUE(array.append(nullptr));
  ASSERT_TRUE(array.insertAt(0, nullptr));
  EXPECT_EQ(array.count(), 2);
  EXPECT_EQ(array.getAt(1), nullptr);
  array.setOwnsElements(true);
  array.deleteAll();
  EXPECT_EQ(array.count(), 0);
}

TEST(ExtPtrArray, DeadObjectsAreRefusedAndNeverTouched) {
  DeadObject deadBeforehand;
  deadBeforehand.kill();
  ExtPtrArray array;
  fill(array, {1, 2});
  EXPECT_FALSE(array.append(deadBeforehand.get()));
  EXPECT_FALSE(array.insertAt(0, deadBeforehand.get()));
  EXPECT_EQ(ids(array), (std::vector<int>{1, 2}));

  // An element that dies while in the array reads as null, and removing it
  // drops the slot; the owning array never deletes it.
  DeadObject dying;
  ASSERT_TRUE(array.insertAt(1, dying.get()));
  DeadObject dyingLast;
  ASSERT_TRUE(array.append(dyingLast.get()));
  dying.kill();
  dyingLast.kill();
  EXPECT_EQ(array.getAt(1), nullptr);
  EXPECT_EQ(array.last(), nullptr);
  EXPECT_EQ(array.popLast(), nullptr);
  EXPECT_EQ(array.count(), 3);
  EXPECT_EQ(array.removeAt(1), nullptr);
  EXPECT_EQ(ids(array), (std::vector<int>{1, 2}));

  EXPECT_FALSE(array.append(dying.get()));  // dead now: refused
  EXPECT_EQ(array.count(), 2);
}

TEST(ExtPtrArray, OwnershipFlagsDecideWhatIsDeleted) {
  int destroyed = 0;
  {
    ExtPtrArray owning;
    fill(owning, {1, 2, 3}, &destroyed);
  }
  EXPECT_EQ(destroyed, 3);

  destroyed = 0;
  TrackedObject kept(&destroyed);
  {
    ExtPtrArray borrowing;
    ASSERT_TRUE(borrowing.append(&kept));
  }
  EXPECT_EQ(destroyed, 0);

  TrackedObject first(&destroyed);
  TrackedObject second(&destroyed);
  {
    ExtPtrArray protectedArray;
    protectedArray.setOwnsElements(true);
    protectedArray.setNeverDelete(true);
    ASSERT_TRUE(protectedArray.append(&first));
    ASSERT_TRUE(protectedArray.append(&second));
    protectedArray.deleteAll();
    EXPECT_EQ(protectedArray.count(), 0);
    ASSERT_TRUE(protectedArray.append(&first));
  }
  EXPECT_EQ(destroyed, 0);

  ExtPtrArray cleared;
  fill(cleared, {1, 2}, &destroyed);
  cleared.deleteAll();
  EXPECT_EQ(destroyed, 2);
  EXPECT_EQ(cleared.count(), 0);
  EXPECT_EQ(cleared.getAt(0), nullptr);
}

TEST(ExtPtrArray, TakeAllFromMovesLiveElements) {
  int destroyed = 0;
  DeadObject dead;
  ExtPtrArray target;
  fill(target, {1}, &destroyed);
  {
    ExtPtrArray source;
    fill(source, {2}, &destroyed);
    ASSERT_TRUE(source.append(nullptr));
    ASSERT_TRUE(source.append(dead.get()));
    ASSERT_TRUE(source.append(new TrackedObject(&destroyed, 3)));
    dead.kill();
    source.setNeverDelete(true);
    EXPECT_TRUE(target.takeAllFrom(source));
    EXPECT_EQ(source.count(), 0);
  }
  EXPECT_EQ(destroyed, 0);
  EXPECT_EQ(ids(target), (std::vector<int>{1, 2, 3}));
  EXPECT_TRUE(target.neverDelete());
  target.setNeverDelete(false);
}

TEST(ExtPtrArray, TakeAllFromLosesNothingWhenRoomRunsOut) {
  int destroyed = 0;
  ExtPtrArray target;
  fill(target, {1, 2, 3}, &destroyed);  // capacity 5: room for two more
  ExtPtrArray source;
  fill(source, {4, 5, 6, 7}, &destroyed);
  {
    AllocationRefusal refuse;
    EXPECT_FALSE(target.takeAllFrom(source));
  }
  EXPECT_EQ(ids(target), (std::vector<int>{1, 2, 3, 4, 5}));
  EXPECT_EQ(ids(source), (std::vector<int>{6, 7}));
  EXPECT_TRUE(target.takeAllFrom(source));
  EXPECT_EQ(ids(target), (std::vector<int>{1, 2, 3, 4, 5, 6, 7}));
  EXPECT_EQ(destroyed, 0);
}

TEST(ExtPtrArray, FailedGrowthLeavesTheArrayAsItWas) {
  ExtPtrArray empty;
  {
    AllocationRefusal refuse;
    EXPECT_FALSE(empty.append(nullptr));
    EXPECT_EQ(ExtPtrArray::createNew(), nullptr);
  }
  EXPECT_EQ(empty.capacity(), 0);
  EXPECT_EQ(empty.count(), 0);

  ExtPtrArray full;
  fill(full, {1, 2, 3, 4, 5});
  auto* extra = new TrackedObject(nullptr, 6);
  {
    AllocationRefusal refuse;
    EXPECT_FALSE(full.append(extra));
    EXPECT_FALSE(full.insertAt(0, extra));
  }
  EXPECT_EQ(full.capacity(), 5);
  EXPECT_EQ(ids(full), (std::vector<int>{1, 2, 3, 4, 5}));
  EXPECT_TRUE(full.insertAt(0, extra));
  EXPECT_EQ(ids(full), (std::vector<int>{6, 1, 2, 3, 4, 5}));

  ExtPtrArray* created = ExtPtrArray::createNew();
  ASSERT_NE(created, nullptr);
  EXPECT_EQ(created->count(), 0);
  RozazarObject::deleteObject(created);
}

}  // namespace
}  // namespace rozazar
