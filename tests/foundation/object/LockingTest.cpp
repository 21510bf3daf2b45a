#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "foundation/containers/LockedHolderList.h"
#include "foundation/object/RozazarCritSec.h"
#include "foundation/platform/Platform.h"
#include "tests/foundation/TestObjects.h"

namespace rozazar {
namespace {

using testing::TrackedObject;

class SingleThreadedSwitch : public ::testing::Test {
 protected:
  void TearDown() override { setSingleThreaded(false); }
};

TEST(CritSec, IsReentrantAndExcludesOtherThreads) {
  RozazarCritSec cs;
  ASSERT_TRUE(cs.enter());
  ASSERT_TRUE(cs.enter());
  ASSERT_TRUE(cs.leave());
  std::atomic<bool> entered{false};
  std::thread other([&] {
    cs.enter();
    entered = true;
    cs.leave();
  });
  platform::sleepMilliseconds(100);
  EXPECT_FALSE(entered.load()) << "another thread entered a held section";
  ASSERT_TRUE(cs.leave());
  other.join();
  EXPECT_TRUE(entered.load());
}

TEST(CritSec, GuardsSharedCounterAcrossThreads) {
  RozazarCritSec cs;
  long counter = 0;  // deliberately not atomic
  auto work = [&] {
    for (int i = 0; i < 50000; ++i) {
      CritSecExitor guard(&cs);
      counter = counter + 1;
    }
  };
  std::thread first(work);
  std::thread second(work);
  first.join();
  second.join();
  EXPECT_EQ(counter, 100000);
}

TEST(CritSec, ExitorHoldsForItsScope) {
  RozazarCritSec cs;
  std::atomic<bool> entered{false};
  std::thread other;
  {
    CritSecExitor guard(&cs);
    other = std::thread([&] {
      CritSecExitor inner(&cs);
      entered = true;
    });
    platform::sleepMilliseconds(100);
    EXPECT_FALSE(entered.load());
  }
  other.join();
  EXPECT_TRUE(entered.load());
  CritSecExitor nothing(nullptr);
}

TEST_F(SingleThreadedSwitch, TurnsLockingOff) {
  RozazarCritSec cs;
  setSingleThreaded(true);
  EXPECT_TRUE(isSingleThreaded());
  std::atomic<bool> entered{false};
  std::atomic<bool> release{false};
  std::thread holder([&] {
    cs.enter();
    entered = true;
    while (!release.load()) std::this_thread::yield();
    cs.leave();
  });
  while (!entered.load()) std::this_thread::yield();
  // The holder "holds" the section, yet entering returns at once.
  EXPECT_TRUE(cs.enter());
  EXPECT_TRUE(cs.leave());
  release = true;
  holder.join();

  // Switched back, the section excludes again.
  setSingleThreaded(false);
  ASSERT_TRUE(cs.enter());
  std::atomic<bool> enteredAfter{false};
  std::thread other([&] {
    CritSecExitor guard(&cs);
    enteredAfter = true;
  });
  platform::sleepMilliseconds(50);
  EXPECT_FALSE(enteredAfter.load());
  cs.leave();
  other.join();
}

class HolderList : public ::testing::TestWithParam<bool> {
 protected:
  RozazarCritSec m_lock;
  RozazarCritSec* lock() { return GetParam() ? &m_lock : nullptr; }
};

TEST_P(HolderList, HoldersOwnTheirPayloads) {
  int destroyed = 0;
  {
    LockedHolderList list(lock());
    for (int id = 1; id <= 4; ++id) ASSERT_TRUE(list.addPayload(new TrackedObject(&destroyed, id)));
    EXPECT_FALSE(list.addPayload(nullptr));
    EXPECT_EQ(list.countHolders(), 4);
    EXPECT_EQ(static_cast<TrackedObject*>(list.payloadAt(2))->id(), 3);
    EXPECT_EQ(list.payloadAt(4), nullptr);
    EXPECT_EQ(list.payloadAt(-1), nullptr);

    RozazarObject* taken = list.removePayloadAt(1);
    ASSERT_NE(taken, nullptr);
    EXPECT_EQ(static_cast<TrackedObject*>(taken)->id(), 2);
    EXPECT_EQ(destroyed, 0) << "the payload must outlive its holder";
    EXPECT_EQ(list.countHolders(), 3);
    EXPECT_EQ(list.removePayloadAt(3), nullptr);
    RozazarObject::deleteObject(taken);
    EXPECT_EQ(destroyed, 1);

    list.deleteAllHolders();
    EXPECT_EQ(destroyed, 4);
    EXPECT_EQ(list.countHolders(), 0);
    ASSERT_TRUE(list.addPayload(new TrackedObject(&destroyed, 5)));
  }
  EXPECT_EQ(destroyed, 5);
}

TEST_P(HolderList, PayloadMayUseTheListWhileDying) {
  // A payload whose destructor asks the list for its size, as an object that
  // unregisters itself would.
  class Unregistering : public NonRefCountedObj {
   public:
    Unregistering(LockedHolderList* list, int* seen) : m_list(list), m_seen(seen) {}
    ~Unregistering() override { *m_seen = m_list->countHolders(); }

   private:
    LockedHolderList* m_list;
    int* m_seen;
  };
  LockedHolderList list(lock());
  int seen = -1;
  ASSERT_TRUE(list.addPayload(new Unregistering(&list, &seen)));
  list.deleteAllHolders();
  EXPECT_EQ(seen, 0);
}

INSTANTIATE_TEST_SUITE_P(LockedAndUnlocked, HolderList, ::testing::Bool());

}  // namespace
}  // namespace rozazar
