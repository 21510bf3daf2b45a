#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "foundation/containers/ExtIntArray.h"
#include "tests/foundation/TestObjects.h"

namespace rozazar {
namespace {

using testing::AllocationRefusal;

std::vector<int> capacitiesWhilePushing(ExtIntArray& array, int values) {
  std::vector<int> capacities;
  for (int i = 0; i < values; ++i) {
    EXPECT_TRUE(array.push(i));
    if (capacities.empty() || capacities.back() != array.capacity())
      capacities.push_back(array.capacity());
  }
  return capacities;
}

TEST(ExtIntArray, CapacityDoublesFromFiftyThenGrowsByHalfAMillion) {
  ExtIntArray array;
  const std::vector<int> expected = {50,    100,   200,   400,    800,    1600,   3200,   6400,
                                     12800, 25600, 51200, 102400, 204800, 409600, 819200, 1319200};
  EXPECT_EQ(capacitiesWhilePushing(array, 819201), expected);
  // Every value survived the copies.
  for (int i = 0; i < array.count(); i += 4099) ASSERT_EQ(array.getAt(i), i);
  EXPECT_EQ(array.getAt(819200), 819200);
}

TEST(ExtIntArray, ReadsOutsideTheValuesGiveZero) {
  ExtIntArray array;
  EXPECT_EQ(array.popLast(), 0);
  EXPECT_EQ(array.getAt(0), 0);
  ASSERT_TRUE(array.push(-7));
  ASSERT_TRUE(array.push(INT32_MIN));
  EXPECT_EQ(array.getAt(-1), 0);
  EXPECT_EQ(array.getAt(2), 0);
  EXPECT_EQ(array.popLast(), INT32_MIN);
  EXPECT_EQ(array.popLast(), -7);
  EXPECT_EQ(array.popLast(), 0);
  EXPECT_EQ(array.count(), 0);

  ASSERT_TRUE(array.push(1));
  array.clear();
  EXPECT_EQ(array.count(), 0);
  EXPECT_EQ(array.getAt(0), 0);
  EXPECT_EQ(array.capacity(), 50);
}

TEST(ExtIntArray, LargeStepThatFailsFallsBackToTwenty) {
  ExtIntArray array;
  capacitiesWhilePushing(array, 1600);
  ASSERT_EQ(array.capacity(), 1600);
  {
    // The doubling step (to 3200 values) is refused once; 1620 is allowed.
    AllocationRefusal refuse(3200 * sizeof(std::int32_t), 1);
    ASSERT_TRUE(array.push(1600));
  }
  EXPECT_EQ(array.capacity(), 1620);
  EXPECT_EQ(array.getAt(1599), 1599);
  EXPECT_EQ(array.getAt(1600), 1600);
  // The increment follows the new capacity again.
  for (int i = 1601; i <= 1620; ++i) ASSERT_TRUE(array.push(i));
  EXPECT_EQ(array.capacity(), 3240);
}

TEST(ExtIntArray, FailedGrowthLeavesTheArrayAsItWas) {
  ExtIntArray array;
  {
    AllocationRefusal refuse;
    EXPECT_FALSE(array.push(1));
  }
  EXPECT_EQ(array.count(), 0);
  capacitiesWhilePushing(array, 50);
  {
    AllocationRefusal refuse;
    EXPECT_FALSE(array.push(50));
  }
  EXPECT_EQ(array.count(), 50);
  EXPECT_EQ(array.capacity(), 50);
  EXPECT_EQ(array.getAt(49), 49);
}

}  // namespace
}  // namespace rozazar
