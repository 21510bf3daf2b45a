#include "foundation/object/Allocation.h"

#include <atomic>

namespace rozazar {

namespace {
std::atomic<AllocationGate> g_allocationGate{nullptr};
}

void setAllocationGate(AllocationGate gate) noexcept { g_allocationGate.store(gate); }

bool allocationAllowed(std::size_t bytes) noexcept {
  const AllocationGate gate = g_allocationGate.load(std::memory_order_relaxed);
  return gate == nullptr || gate(bytes);
}

}  // namespace rozazar
