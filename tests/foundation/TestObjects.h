// Objects and switches shared by the foundation tests.
#pragma once

#include <atomic>
#include <climits>
#include <cstddef>
#include <new>

#include "foundation/object/Allocation.h"
#include "foundation/object/RozazarObject.h"

namespace rozazar::testing {

// Counts its own destructions into a counter the test owns.
class TrackedObject : public NonRefCountedObj {
 public:
  explicit TrackedObject(int* destroyed = nullptr, int id = 0) : m_destroyed(destroyed), m_id(id) {}
  ~TrackedObject() override {
    if (m_destroyed != nullptr) ++*m_destroyed;
  }
  int id() const { return m_id; }

 private:
  int* m_destroyed;
  int m_id;
};

// A TrackedObject built in storage the test owns and then destroyed in place:
// its memory stays readable but its signature is cleared, which is what a
// foundation container meets when an element dies behind its back.
class DeadObject {
 public:
  DeadObject() { m_object = new (m_storage) TrackedObject(); }
  RozazarObject* get() { return m_object; }
  void kill() { m_object->~TrackedObject(); }

 private:
  alignas(TrackedObject) unsigned char m_storage[sizeof(TrackedObject)];
  TrackedObject* m_object;
};

// While alive, refuses foundation allocations of at least minBytes, at most
// `times` times.
class AllocationRefusal {
 public:
  explicit AllocationRefusal(std::size_t minBytes = 0, int times = INT_MAX) {
    minBytesRefused() = minBytes;
    refusalsLeft() = times;
    setAllocationGate(&gate);
  }
  AllocationRefusal(const AllocationRefusal&) = delete;
  AllocationRefusal& operator=(const AllocationRefusal&) = delete;
  ~AllocationRefusal() { setAllocationGate(nullptr); }

 private:
  static std::atomic<std::size_t>& minBytesRefused() {
    static std::atomic<std::size_t> value{0};
    return value;
  }
  static std::atomic<int>& refusalsLeft() {
    static std::atomic<int> value{0};
    return value;
  }
  static bool gate(std::size_t bytes) {
    if (bytes < minBytesRefused() || refusalsLeft() <= 0) return true;
    --refusalsLeft();
    return false;
  }
};

}  // namespace rozazar::testing
