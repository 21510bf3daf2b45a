#include "foundation/containers/ExtIntArray.h"

#include <cstring>
#include <limits>

#include "foundation/object/Allocation.h"

namespace rozazar {

ExtIntArray::~ExtIntArray() { delete[] m_values; }

bool ExtIntArray::grow() noexcept {
  if (m_growBy < 4) m_growBy = 4;
  constexpr std::int32_t kLargest = std::numeric_limits<std::int32_t>::max();
  std::int32_t newCapacity = m_capacity <= kLargest - m_growBy ? m_capacity + m_growBy : 0;
  std::int32_t* values =
      newCapacity > 0 ? newArray<std::int32_t>(static_cast<std::size_t>(newCapacity)) : nullptr;
  // A large step that cannot be had falls back to a small one.
  if (values == nullptr && m_growBy > 1000) {
    m_growBy = 20;
    if (m_capacity > kLargest - m_growBy) return false;
    newCapacity = m_capacity + m_growBy;
    values = newArray<std::int32_t>(static_cast<std::size_t>(newCapacity));
  }
  if (values == nullptr) return false;
  if (m_count > 0) {
    std::memcpy(values, m_values, static_cast<std::size_t>(m_count) * sizeof(std::int32_t));
  }
  delete[] m_values;
  m_values = values;
  m_capacity = newCapacity;
  if (m_growBy < kIncrementCap)
    m_growBy = newCapacity < kIncrementCap ? newCapacity : kIncrementCap;
  return true;
}

bool ExtIntArray::push(std::int32_t value) noexcept {
  if (m_count >= m_capacity && !grow()) return false;
  m_values[m_count++] = value;
  return true;
}

std::int32_t ExtIntArray::getAt(int index) const noexcept {
  if (index < 0 || index >= m_count) return 0;
  return m_values[index];
}

std::int32_t ExtIntArray::popLast() noexcept {
  if (m_count == 0) return 0;
  return m_values[--m_count];
}

}  // namespace rozazar
