#include <gtest/gtest.h>

#include <cstdint>
#include <utility>
#include <vector>

#include "foundation/object/UniqueHandle.h"

namespace rozazar {
namespace {

std::vector<std::intptr_t> closed;

void closeHandle(std::intptr_t handle) { closed.push_back(handle); }

// A handle type whose "none" is -1, like a file handle.
using Handle = UniqueHandle<std::intptr_t, &closeHandle, -1>;

TEST(UniqueHandle, ClosesEachHandleExactlyOnce) {
  closed.clear();
  {
    Handle empty;
    EXPECT_FALSE(empty);
    Handle zero(0);  // 0 is a valid handle here
    EXPECT_TRUE(zero);
    Handle first(7);
    Handle moved(std::move(first));
    EXPECT_FALSE(first);
    EXPECT_EQ(moved.get(), 7);
    Handle assigned(8);
    assigned = std::move(moved);  // closes 8, takes 7
    EXPECT_EQ(closed, (std::vector<std::intptr_t>{8}));
    Handle& same = assigned;
    assigned = std::move(same);  // moving into itself keeps the handle
    EXPECT_EQ(assigned.get(), 7);
  }
  EXPECT_EQ(closed, (std::vector<std::intptr_t>{8, 7, 0}));
}

TEST(UniqueHandle, ReleaseResetAndReceive) {
  closed.clear();
  Handle handle(3);
  EXPECT_EQ(handle.release(), 3);
  EXPECT_FALSE(handle);
  handle.reset(4);
  handle.reset(5);
  EXPECT_EQ(closed, (std::vector<std::intptr_t>{4}));
  std::intptr_t* slot = handle.receive();
  EXPECT_EQ(closed, (std::vector<std::intptr_t>{4, 5}));
  EXPECT_EQ(*slot, -1);
  *slot = 6;
  EXPECT_EQ(handle.get(), 6);
  handle.reset();
  EXPECT_EQ(closed, (std::vector<std::intptr_t>{4, 5, 6}));
}

}  // namespace
}  // namespace rozazar
