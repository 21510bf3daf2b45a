#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "foundation/object/RefCountedObject.h"
#include "foundation/platform/Platform.h"
#include "tests/foundation/TestObjects.h"

namespace rozazar {
namespace {

using testing::AllocationRefusal;

class TrackedCounted : public RefCountedObject {
 public:
  explicit TrackedCounted(int* destroyed) : m_destroyed(destroyed) {}

 protected:
  ~TrackedCounted() override { ++*m_destroyed; }

 private:
  int* m_destroyed;
};

TEST(RefCounting, LastReleaseDestroys) {
  int destroyed = 0;
  auto* object = new TrackedCounted(&destroyed);
  EXPECT_EQ(object->refCount(), 0);
  EXPECT_EQ(object->addRef(), 1);
  EXPECT_EQ(object->addRef(), 2);
  EXPECT_EQ(object->release(), 1);
  EXPECT_EQ(destroyed, 0);
  EXPECT_EQ(object->refCount(), 1);
  EXPECT_EQ(object->release(), 0);
  EXPECT_EQ(destroyed, 1);
}

TEST(RefCounting, ReleaseAtZeroChangesNothing) {
  int destroyed = 0;
  auto* object = new TrackedCounted(&destroyed);
  EXPECT_EQ(object->release(), 0);
  EXPECT_EQ(destroyed, 0);
  EXPECT_EQ(object->refCount(), 0);
  object->addRef();
  object->release();
  EXPECT_EQ(destroyed, 1);
}

TEST(RefCounting, ConcurrentReferencesBalance) {
  int destroyed = 0;
  auto* object = new TrackedCounted(&destroyed);
  object->addRef();
  auto churn = [object] {
    for (int i = 0; i < 20000; ++i) {
      object->addRef();
      object->release();
    }
  };
  std::thread first(churn);
  std::thread second(churn);
  first.join();
  second.join();
  EXPECT_EQ(object->refCount(), 1);
  EXPECT_EQ(destroyed, 0);
  object->release();
  EXPECT_EQ(destroyed, 1);
}

TEST(WeakPtr, StartsOwnedByItsCreator) {
  int target = 0;
  _ckWeakPtr* reference = _ckWeakPtr::create(&target);
  ASSERT_NE(reference, nullptr);
  EXPECT_EQ(reference->refCount(), 1);
  EXPECT_EQ(reference->lockTarget(), &target);
  reference->unlockTarget();
  reference->setTarget(nullptr);
  EXPECT_EQ(reference->lockTarget(), nullptr);
  EXPECT_EQ(reference->release(), 0);

  AllocationRefusal refuse;
  EXPECT_EQ(_ckWeakPtr::create(&target), nullptr);
}

TEST(WeakPtr, TargetIsClearedOnlyAfterTheHolderUnlocks) {
  int target = 0;
  _ckWeakPtr* reference = _ckWeakPtr::create(&target);
  ASSERT_EQ(reference->lockTarget(), &target);

  std::atomic<bool> cleared{false};
  std::thread owner([&] {
    reference->setTarget(nullptr);
    cleared = true;
  });
  platform::sleepMilliseconds(100);
  EXPECT_FALSE(cleared.load()) << "the target was cleared while a holder used it";
  reference->unlockTarget();
  owner.join();
  EXPECT_TRUE(cleared.load());
  EXPECT_EQ(reference->lockTarget(), nullptr);
  reference->release();
}

// A target that records its death. A holder that sees it dead while holding
// the lock has been handed a destroyed object.
struct Canary {
  std::atomic<bool> alive{true};
};

TEST(WeakPtr, HolderNeverSeesATargetDieUnderItsLock) {
  constexpr int kRounds = 40;
  int violations = 0;
  for (int round = 0; round < kRounds; ++round) {
    Canary canary;
    _ckWeakPtr* reference = _ckWeakPtr::create(&canary);
    ASSERT_NE(reference, nullptr);
    reference->addRef();  // the holder's reference
    std::atomic<bool> holding{false};

    std::thread holder([&] {
      for (;;) {
        auto* target = static_cast<Canary*>(reference->lockTarget());
        if (target == nullptr) break;
        holding = true;
        // Use the target for a while, as a real holder would.
        for (int i = 0; i < 50; ++i) {
          if (!target->alive.load()) ++violations;
          std::this_thread::yield();
        }
        reference->unlockTarget();
      }
      reference->release();
    });

    while (!holding.load()) std::this_thread::yield();
    // The target's owner clears the reference, then the target dies.
    reference->setTarget(nullptr);
    canary.alive = false;
    holder.join();
    EXPECT_EQ(reference->refCount(), 1);
    reference->release();
  }
  EXPECT_EQ(violations, 0);
}

}  // namespace
}  // namespace rozazar
